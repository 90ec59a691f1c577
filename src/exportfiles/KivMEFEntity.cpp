#include "exportfiles/KivMEFEntity.h"

#include "exportfiles/KivEntityText.h"
#include "support/KivDateTime.h"
#include "support/KivRecordStream.h"

#include <algorithm>

namespace {

// Tabs as blanks, trimmed. These texts are cleaned for every entity of a file each time they are
// read: blanks at both ends are passed over rather than copied and cut.
std::string CleanName(std::string_view text) {
    size_t start = 0;
    size_t end = text.size();
    while (start < end && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    std::string out(text.substr(start, end - start));
    std::replace(out.begin(), out.end(), '\t', ' ');
    return out;
}

} // namespace

KivMEFEntity::KivMEFEntity(std::string_view name, std::string_view prototype, std::string_view source,
                           uint32_t lastBuild, uint32_t created)
    : m_storedName(name), m_storedPrototype(prototype), m_source(source), m_lastBuild(lastBuild),
      m_created(created) {}

std::string KivMEFEntity::Name() const {
    return CleanName(m_storedName);
}

std::string KivMEFEntity::Prototype() const {
    if (!m_prototypeKnown) {
        if (m_cleanedKnown) {
            m_prototype = KivNormalisePrototype(m_cleaned);
        } else {
            thread_local std::string cleaned;
            KivCleanPrototypeText(m_storedPrototype, cleaned);
            m_prototype = KivNormalisePrototype(cleaned);
        }
        m_prototypeKnown = true;
    }
    return m_prototype;
}

std::string KivMEFEntity::VOPrototype() const {
    if (!m_cleanedKnown) {
        KivCleanPrototypeText(m_storedPrototype, m_cleaned);
        m_cleanedKnown = true;
    }
    return m_cleaned;
}

KivDate KivMEFEntity::CreateDate() const {
    return KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(m_created)).first;
}

std::string KivMEFEntity::CreateTime() const {
    return KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(m_created)).second;
}

KivDate KivMEFEntity::LastBuildDate() const {
    return KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(m_lastBuild)).first;
}

std::string KivMEFEntity::LastBuildTime() const {
    return KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(m_lastBuild)).second;
}

std::string KivMEFEntity::Source() const {
    return std::string(SourceText());
}

std::string_view KivMEFEntity::SourceText() const {
    if (m_source.data() == nullptr)
        return {};
    return KivRecordText(m_source);
}

KivSymbol KivMEFEntity::Type() const {
    return KivPrototypeType(Prototype());
}

KivSymbol KivMEFEntity::Visibility() const {
    return KivPrototypeVisibility(Prototype());
}
