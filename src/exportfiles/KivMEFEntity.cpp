#include "exportfiles/KivMEFEntity.h"

#include "exportfiles/KivEntityText.h"
#include "support/KivDateTime.h"
#include "support/KivRecordStream.h"

#include <algorithm>

namespace {

// Trims blanks at both ends in place.
std::string Trimmed(std::string text) {
    const size_t end = text.find_last_not_of(' ');
    if (end == std::string::npos)
        return {};
    text.erase(end + 1);
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

std::string CleanName(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '\t', ' ');
    return Trimmed(std::move(out));
}

// Parentheses stand apart so that the words of the prototype are found by blanks alone.
std::string CleanPrototype(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\t')
            out += ' ';
        else if (c == '(')
            out += " ( ";
        else if (c == ')')
            out += " ) ";
        else
            out += c;
    }
    return Trimmed(std::move(out));
}

} // namespace

KivMEFEntity::KivMEFEntity(std::string_view name, std::string_view prototype, std::string_view source,
                           uint32_t lastBuild, uint32_t created, std::shared_ptr<const void> keepAlive)
    : KivEntityAbstract(CleanName(name), CleanPrototype(prototype)), m_source(source), m_lastBuild(lastBuild),
      m_created(created), m_keepAlive(std::move(keepAlive)) {}

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
    if (m_source.data() == nullptr)
        return {};
    return std::string(KivRecordText(m_source));
}

KivSymbol KivMEFEntity::Type() const {
    return KivPrototypeType(Prototype());
}

KivSymbol KivMEFEntity::Visibility() const {
    return KivPrototypeVisibility(Prototype());
}
