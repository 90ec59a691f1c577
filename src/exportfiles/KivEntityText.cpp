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

// Words that may stand before the type word of a prototype, in any case.
bool IsTypePrefix(std::string_view word) {
    return KivEqualsIgnoringCase(word, "STATIC") || KivEqualsIgnoringCase(word, "HIDDEN") ||
           KivEqualsIgnoringCase(word, "PROTECT") || KivEqualsIgnoringCase(word, "_DLL");
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
    std::string_view word = KivGetTokenView(prototype, 1, " ");
    if (IsTypePrefix(word))
        word = KivGetTokenView(prototype, 2, " ");
    return KivUpper(word);
}

// Where " CLASS " first stands in the text, in any case.
size_t FindClassClause(std::string_view text) {
    constexpr std::string_view clause = " CLASS ";
    for (size_t at = text.find(' '); at != std::string_view::npos && at + clause.size() <= text.size();
         at = text.find(' ', at + 1))
        if (KivEqualsIgnoringCase(text.substr(at, clause.size()), clause))
            return at;
    return std::string_view::npos;
}

// Compares type words as text: making symbols of them would add every odd first word of a
// source to the process-wide atom table for good.
std::string InfoOfType(std::string_view prototype, std::string_view type) {
    // The words are taken from a copy with the parentheses made blanks, kept from one call to the
    // next: a catalogue of every entity asks once per entity.
    thread_local std::string text;
    text.assign(prototype);
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '(' || c == ')'; }, ' ');
    const int nameToken = IsTypePrefix(KivGetTokenView(text, 1, " ")) ? 3 : 2;
    std::string_view name = KivGetTokenView(text, nameToken, " ");
    std::string dimmed;
    if (KivEqualsIgnoringCase(name, "DIM")) {
        dimmed = KivGetToken2(text, nameToken + 1, "[ ");
        name = dimmed;
    }

    if (type == "METHOD" || type == "ACCESS" || type == "ASSIGN") {
        const size_t at = FindClassClause(prototype);
        // A member without a CLASS clause has no class to name; show the bare name rather
        // than a piece of the prototype.
        if (at == std::string::npos)
            return std::string(name);
        // The class: the first word after the clause, up to a blank or a semicolon.
        const std::string_view rest = KivAllTrimView(prototype.substr(at + 7));
        const size_t begin = rest.find_first_not_of(" ;");
        std::string info;
        if (begin != std::string_view::npos)
            info = rest.substr(begin, rest.find_first_of(" ;", begin) - begin);
        info += ':';
        info += name;
        return info;
    }
    if (type == "TEXTBLOCK")
        return prototype.size() > 10 ? KivAllTrim(prototype.substr(10)) : std::string();
    return std::string(name);
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
    // Every abbreviation holds the keyword's first four letters: one pass over the text notes
    // which keywords have them at the start of a word, and only those are looked for. Only an
    // abbreviation at the start of a word is written out, and a keyword whose first occurrence
    // is inside a word is not written out at all: so only word starts are looked at. A word that
    // is the keyword already, in capitals, would be written out as itself: most prototypes hold
    // nothing else and are then done here.
    static constexpr auto byFirstLetter = [] {
        std::array<uint32_t, 256> table{};
        for (size_t k = 0; k < kKeywords.size(); ++k) {
            table[static_cast<unsigned char>(kKeywords[k][0])] |= 1u << k;
            table[static_cast<unsigned char>(kKeywords[k][0] - 'A' + 'a')] |= 1u << k;
        }
        return table;
    }();
    uint32_t present = 0;
    const size_t size = text.size();
    for (size_t i = 0; i + 4 <= size;) {
        size_t end = i;
        while (end < size && !IsBlank(text[end]))
            ++end;
        const std::string_view word(text.data() + i, end - i);
        // Only a word with a blank after it can be an abbreviation that is written out.
        if (end < size && text[end] == ' ')
            for (uint32_t candidates = word.size() >= 4 ? byFirstLetter[static_cast<unsigned char>(word[0])] : 0;
                 candidates != 0; candidates &= candidates - 1) {
                const int k = std::countr_zero(candidates);
                if (word.size() <= kKeywords[k].size() && word != kKeywords[k] &&
                    KivEqualsIgnoringCase(word, kKeywords[k].substr(0, word.size())))
                    present |= 1u << k;
            }
        // On to the next word start: past this word and the blanks after it.
        i = end;
        while (i < size && IsBlank(text[i]))
            ++i;
    }
    // The upper-cased text is kept in step with each replacement (the keywords are upper case),
    // so it is made once, not once per keyword, in a buffer kept from one call to the next.
    thread_local std::string upper;
    if (present != 0) {
        upper.assign(text);
        for (char& c : upper)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
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
