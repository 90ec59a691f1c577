#include "exportfiles/KivEntityText.h"

#include "support/KivStringUtil.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

const std::vector<std::string>& Keywords() {
    static const std::vector<std::string> keywords{
        "CLASS",  "METHOD", "ACCESS", "ASSIGN",  "INHERIT", "FUNCTION",  "PROCEDURE", "RESOURCE",
        "STATIC", "DEFINE", "HIDDEN", "PROTECT", "UNION",   "STRUCTURE", "TEXTBLOCK", "GLOBAL"};
    return keywords;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Words that may stand before the type word of a prototype.
bool IsTypePrefix(std::string_view upperWord) {
    return upperWord == "STATIC" || upperWord == "HIDDEN" || upperWord == "PROTECT" || upperWord == "_DLL";
}

std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
    std::string out;
    size_t pos = 0;
    for (;;) {
        size_t at = text.find(what, pos);
        if (at == std::string_view::npos)
            break;
        out.append(text.substr(pos, at - pos));
        out.append(with);
        pos = at + what.size();
    }
    out.append(text.substr(pos));
    return out;
}

// The type word in upper case: the first word, or the second after a word that may precede it.
std::string TypeWord(std::string_view prototype) {
    std::string word = KivUpper(KivGetToken(prototype, 1, " "));
    if (IsTypePrefix(word))
        word = KivUpper(KivGetToken(prototype, 2, " "));
    return word;
}

// Compares type words as text: making symbols of them would add every odd first word of a
// source to the process-wide atom table for good.
std::string InfoOfType(std::string_view prototype, std::string_view type) {
    const std::string text = ReplaceAll(ReplaceAll(prototype, "(", " "), ")", " ");
    std::string name;
    if (IsTypePrefix(KivUpper(KivGetToken(text, 1, " ")))) {
        name = KivGetToken(text, 3, " ");
        if (KivUpper(name) == "DIM")
            name = KivGetToken2(text, 4, "[ ");
    } else {
        name = KivGetToken(text, 2, " ");
        if (KivUpper(name) == "DIM")
            name = KivGetToken2(text, 3, "[ ");
    }

    if (type == "METHOD" || type == "ACCESS" || type == "ASSIGN") {
        const std::string upper = KivUpper(prototype);
        const size_t at = upper.find(" CLASS ");
        // A member without a CLASS clause has no class to name; show the bare name rather
        // than a piece of the prototype.
        if (at == std::string::npos)
            return name;
        const std::string rest = KivAllTrim(prototype.substr(at + 7)) + ' ';
        return KivGetToken2(rest, 1, " ;") + ':' + name;
    }
    if (type == "TEXTBLOCK")
        return prototype.size() > 10 ? KivAllTrim(prototype.substr(10)) : std::string();
    return name;
}

} // namespace

void KivInitEntityMarkers() {
    Keywords();
}

std::vector<std::string> KivGetKeywords() {
    return Keywords();
}

std::string KivNormalisePrototype(std::string_view voPrototype) {
    std::string text(voPrototype);
    // The upper-cased text is kept in step with each replacement (the keywords are upper case),
    // so it is made once, not once per keyword.
    std::string upper = KivUpper(text);
    // Every abbreviation holds the keyword's first four letters: one pass over the text notes
    // which keywords have them somewhere, and only those are looked for.
    const std::vector<std::string>& keywords = Keywords();
    static const auto byFirstLetter = [&keywords] {
        std::array<uint32_t, 256> table{};
        for (size_t k = 0; k < keywords.size(); ++k)
            table[static_cast<unsigned char>(keywords[k][0])] |= 1u << k;
        return table;
    }();
    uint32_t present = 0;
    for (size_t i = 0; i + 4 <= upper.size(); ++i) {
        for (uint32_t candidates = byFirstLetter[static_cast<unsigned char>(upper[i])]; candidates != 0;
             candidates &= candidates - 1) {
            const int k = std::countr_zero(candidates);
            if (std::memcmp(upper.data() + i, keywords[k].data(), 4) == 0)
                present |= 1u << k;
        }
    }
    for (size_t index = 0; index < keywords.size(); ++index) {
        if ((present & (1u << index)) == 0)
            continue;
        const std::string& keyword = keywords[index];
        std::string pattern = keyword.substr(0, 3);
        for (size_t k = 4; k <= keyword.size(); ++k) {
            pattern.resize(k - 1);
            pattern += keyword[k - 1];
            pattern += ' ';
            const size_t at = upper.find(pattern);
            if (at == std::string::npos)
                continue;
            // Only the first occurrence counts: one glued to a longer word blocks this length.
            if (at == 0 || IsBlank(upper[at - 1])) {
                pattern.assign(keyword).push_back(' ');
                text.replace(at, k + 1, pattern);
                upper.replace(at, k + 1, pattern);
                break;
            }
        }
    }
    if (text.find(":=") == std::string::npos)
        return text;
    return ReplaceAll(text, ":=", " :=");
}

KivSymbol KivPrototypeType(std::string_view prototype) {
    return KivSymbol(TypeWord(prototype));
}

KivSymbol KivPrototypeVisibility(std::string_view prototype) {
    const std::string word = KivUpper(KivGetToken(prototype, 1, " "));
    if (word == "STATIC" || word == "HIDDEN" || word == "PROTECT")
        return KivSymbol(word);
    return KivSymbol("PUBLIC");
}

std::string KivEntityInfo(std::string_view prototype) {
    return InfoOfType(prototype, TypeWord(prototype));
}

std::string KivEntityInfo(std::string_view prototype, KivSymbol type) {
    return InfoOfType(prototype, type.Name());
}
