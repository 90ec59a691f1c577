#include "exportfiles/KivEntityText.h"

#include "support/KivStringUtil.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::array<std::string_view, 16> kKeywords{
    "CLASS",  "METHOD", "ACCESS", "ASSIGN",  "INHERIT", "FUNCTION",  "PROCEDURE", "RESOURCE",
    "STATIC", "DEFINE", "HIDDEN", "PROTECT", "UNION",   "STRUCTURE", "TEXTBLOCK", "GLOBAL"};

const std::vector<std::string>& Keywords() {
    static const std::vector<std::string> keywords(kKeywords.begin(), kKeywords.end());
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
    std::string text(prototype);
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '(' || c == ')'; }, ' ');
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
    std::string text;
    // Room for the keywords written out and the blanks before ":=", so that they grow nothing.
    text.reserve(voPrototype.size() + 16);
    text.assign(voPrototype);
    // The upper-cased text is kept in step with each replacement (the keywords are upper case),
    // so it is made once, not once per keyword, in a buffer kept from one call to the next.
    thread_local std::string upper;
    upper.assign(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    // Every abbreviation holds the keyword's first four letters: one pass over the text notes
    // which keywords have them at the start of a word, and only those are looked for. Only an
    // abbreviation at the start of a word is written out, and a keyword whose first occurrence
    // is inside a word is not written out at all: so only word starts are looked at.
    static constexpr auto byFirstLetter = [] {
        std::array<uint32_t, 256> table{};
        for (size_t k = 0; k < kKeywords.size(); ++k)
            table[static_cast<unsigned char>(kKeywords[k][0])] |= 1u << k;
        return table;
    }();
    uint32_t present = 0;
    const size_t size = upper.size();
    for (size_t i = 0; i + 4 <= size;) {
        for (uint32_t candidates = byFirstLetter[static_cast<unsigned char>(upper[i])]; candidates != 0;
             candidates &= candidates - 1) {
            const int k = std::countr_zero(candidates);
            if (std::memcmp(upper.data() + i, kKeywords[k].data(), 4) == 0)
                present |= 1u << k;
        }
        // On to the next word start: past this word and the blanks after it.
        while (i < size && !IsBlank(upper[i]))
            ++i;
        while (i < size && IsBlank(upper[i]))
            ++i;
    }
    for (size_t index = 0; index < kKeywords.size(); ++index) {
        if ((present & (1u << index)) == 0)
            continue;
        const std::string_view keyword = kKeywords[index];
        // The abbreviation and one blank.
        char pattern[16];
        keyword.copy(pattern, keyword.size());
        for (size_t k = 4; k <= keyword.size(); ++k) {
            const char kept = pattern[k];
            pattern[k] = ' ';
            const size_t at = upper.find(std::string_view(pattern, k + 1));
            pattern[k] = kept;
            if (at == std::string::npos)
                continue;
            // Only the first occurrence counts: one glued to a longer word blocks this length.
            if (at == 0 || IsBlank(upper[at - 1])) {
                // The blank after it stays.
                text.replace(at, k, keyword);
                upper.replace(at, k, keyword);
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
