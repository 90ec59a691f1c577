#include "exportfiles/KivMEFEntity.h"

#include "exportfiles/KivEntityText.h"
#include "support/KivDateTime.h"
#include "support/KivRecordStream.h"
#include "support/KivStringUtil.h"

#include <algorithm>

namespace {

std::string TabsToBlanks(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '\t', ' ');
    return out;
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
    return KivAllTrim(out);
}

} // namespace

KivMEFEntity::KivMEFEntity(std::string_view name, std::string_view prototype, std::string_view source,
                           uint32_t lastBuild, uint32_t created, std::shared_ptr<const void> keepAlive)
    : KivEntityAbstract(KivAllTrim(TabsToBlanks(name)), CleanPrototype(prototype)), m_source(source),
      m_lastBuild(KivGMTUnixTimeToLocalUnixTime(lastBuild)),
      m_created(KivGMTUnixTimeToLocalUnixTime(created)), m_keepAlive(std::move(keepAlive)) {}

KivDate KivMEFEntity::CreateDate() const {
    return KivUnixTimeToDateTime(m_created).first;
}

std::string KivMEFEntity::CreateTime() const {
    return KivUnixTimeToDateTime(m_created).second;
}

KivDate KivMEFEntity::LastBuildDate() const {
    return KivUnixTimeToDateTime(m_lastBuild).first;
}

std::string KivMEFEntity::LastBuildTime() const {
    return KivUnixTimeToDateTime(m_lastBuild).second;
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
