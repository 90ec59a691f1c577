#include "support/KivStringList.h"

#include "support/KivStringUtil.h"

#include <algorithm>

// The element type every list of names and lines uses is compiled once here.
template class KivArray<std::string>;

void KivStringList::Init(std::string_view text, bool tabsToBlanks) {
    m_tabsToBlanks = tabsToBlanks;
    TextValue(text);
}

std::string KivStringList::TextValue() const {
    std::string out;
    for (const std::string& line : Contents()) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void KivStringList::TextValue(std::string_view text) {
    std::vector<std::string> lines = KivString2Array(text, "\r\n");
    if (m_tabsToBlanks)
        for (std::string& line : lines)
            std::replace(line.begin(), line.end(), '\t', ' ');
    KivArray<std::string>::Init(std::move(lines));
}

std::string KivStringList::_Store(std::string value) const {
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
            ++i;
            continue;
        }
        out += (m_tabsToBlanks && value[i] == '\t') ? ' ' : value[i];
    }
    return out;
}
