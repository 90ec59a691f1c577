#include "exportfiles/KivRecordDamageText.h"

#include "support/KivStringUtil.h"

std::string KivRecordDamageText(std::string_view what, KivRecordDamage damage, size_t offset) {
    std::string text = "Damaged ";
    text += what;
    switch (damage) {
    case KivRecordDamage::TruncatedHead:
        text += ": the file ends inside a record head at offset ";
        break;
    case KivRecordDamage::LengthPastEnd:
        text += ": the record at offset ";
        text += std::to_string(offset);
        text += " runs past the end of the file";
        return text;
    case KivRecordDamage::NoEndRecord:
    case KivRecordDamage::None:
        text += ": no end record, the file ends at offset ";
        break;
    }
    text += std::to_string(offset);
    return text;
}

bool KivModuleNameRule::Take(std::string_view name, size_t offset) {
    if (!m_fault.empty())
        return false;
    if (name.empty())
        m_fault = "a module without a name at offset " + std::to_string(offset);
    else if (!m_names.insert(KivUpper(name)).second)
        m_fault = "two modules named " + std::string(name);
    return m_fault.empty();
}
