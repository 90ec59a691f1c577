#include "exportfiles/KivMEFEntity.h"

#include "exportfiles/KivEntityText.h"
#include "support/KivDateTime.h"
#include "support/KivRecordStream.h"

#include <algorithm>

namespace {

// Blanks at both ends of the cleaned text are dropped as it is made: these run for every entity
// of a file, and a text shifted after the fact costs a second copy.
std::string_view TrimBlanks(std::string_view text) {
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

std::string CleanName(std::string_view text) {
    std::string out(TrimBlanks(text));
    std::replace(out.begin(), out.end(), '\t', ' ');
    return out;
}

// Parentheses stand apart so that the words of the prototype are found by blanks alone.
std::string CleanPrototype(std::string_view text) {
    text = TrimBlanks(text);
    size_t parentheses = 0;
    for (char c : text)
        parentheses += c == '(' || c == ')';
    std::string out(text.size() + 2 * parentheses, ' ');
    char* to = out.data();
    for (char c : text) {
        if (c == '(' || c == ')') {
            to[1] = c;
            to += 3;
        } else {
            *to++ = c == '\t' ? ' ' : c;
        }
    }
    // A parenthesis at either end leaves a blank there.
    const size_t start = out.find_first_not_of(' ');
    if (start == std::string::npos)
        return {};
    const size_t end = out.find_last_not_of(' ');
    if (start != 0 || end + 1 != out.size())
        return out.substr(start, end - start + 1);
    return out;
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
