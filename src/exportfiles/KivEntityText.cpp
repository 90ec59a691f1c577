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

// The type word as written: the first word, or the second after a word that may precede it.
std::string_view TypeWord(std::string_view prototype) {
    const std::string_view word = KivTokenView(prototype, 1, " ");
    return IsTypePrefix(word) ? KivTokenView(prototype, 2, " ") : word;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Compares type words as text: making symbols of them would add every odd first word of a
// source to the process-wide atom table for good. The words are read in place: this runs for
// every entity of a source that is split.
std::string InfoOfType(std::string_view prototype, bool member, bool textBlock) {
    thread_local std::string text;
    text.assign(prototype);
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '(' || c == ')'; }, ' ');
    std::string_view name;
    if (IsTypePrefix(KivTokenView(text, 1, " "))) {
        name = KivTokenView(text, 3, " ");
        if (KivEqualsIgnoringCase(name, "DIM"))
            name = KivToken2View(text, 4, "[ ");
    } else {
        name = KivTokenView(text, 2, " ");
        if (KivEqualsIgnoringCase(name, "DIM"))
            name = KivToken2View(text, 3, "[ ");
    }

    if (member) {
        constexpr std::string_view kClause = " CLASS ";
        size_t at = 0;
        while (at + kClause.size() <= prototype.size() &&
               !KivEqualsIgnoringCase(prototype.substr(at, kClause.size()), kClause))
            ++at;
        // A member without a CLASS clause has no class to name; show the bare name rather
        // than a piece of the prototype.
        if (at + kClause.size() > prototype.size())
            return std::string(name);
        // The class is the first word after the clause, up to a blank or a semicolon.
        const std::string_view rest = Trimmed(prototype.substr(at + kClause.size()));
        const size_t start = std::min(rest.find_first_not_of(" ;"), rest.size());
        const std::string_view owner = rest.substr(start, rest.find_first_of(" ;", start) - start);
        std::string info;
        info.reserve(owner.size() + 1 + name.size());
        info.append(owner).append(1, ':').append(name);
        return info;
    }
    if (textBlock)
        return prototype.size() > 10 ? std::string(Trimmed(prototype.substr(10))) : std::string();
    return std::string(name);
}

std::string InfoOfType(std::string_view prototype, std::string_view type, bool anyCase) {
    const auto is = [&](std::string_view word) {
        return anyCase ? KivEqualsIgnoringCase(type, word) : type == word;
    };
    return InfoOfType(prototype, is("METHOD") || is("ACCESS") || is("ASSIGN"), is("TEXTBLOCK"));
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
    upper.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        upper[i] = static_cast<char>(c - (static_cast<unsigned char>(c - 'a') < 26 ? 'a' - 'A' : 0));
    }
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
    for (; present != 0; present &= present - 1) {
        const std::string_view keyword = kKeywords[static_cast<size_t>(std::countr_zero(present))];
        // The abbreviation of each length, followed by a blank, is looked for as a whole, and its
        // first occurrence counts. One pass finds them all: an occurrence of the first four
        // letters is the abbreviation of the length that reaches the next blank, if any.
        constexpr size_t kNone = std::string::npos;
        std::array<size_t, 16> first;
        first.fill(kNone);
        for (size_t at = 0; at + 4 < upper.size(); ++at) {
            if (upper[at] != keyword[0] || std::memcmp(upper.data() + at, keyword.data(), 4) != 0)
                continue;
            size_t length = 4;
            while (length < keyword.size() && at + length < upper.size() && upper[at + length] == keyword[length])
                ++length;
            if (at + length < upper.size() && upper[at + length] == ' ' && first[length] == kNone)
                first[length] = at;
        }
        for (size_t length = 4; length <= keyword.size(); ++length) {
            const size_t at = first[length];
            // Only the first occurrence counts: one glued to a longer word blocks this length.
            if (at != kNone && (at == 0 || IsBlank(upper[at - 1]))) {
                // The blank after it stays.
                text.replace(at, length, keyword);
                upper.replace(at, length, keyword);
                break;
            }
        }
    }
    if (text.find(":=") == std::string::npos)
        return text;
    return ReplaceAll(text, ":=", " :=");
}

KivSymbol KivPrototypeType(std::string_view prototype) {
    return KivSymbol(KivUpper(TypeWord(prototype)));
}

KivSymbol KivPrototypeVisibility(std::string_view prototype) {
    const std::string word = KivUpper(KivGetToken(prototype, 1, " "));
    if (word == "STATIC" || word == "HIDDEN" || word == "PROTECT")
        return KivSymbol(word);
    return KivSymbol("PUBLIC");
}

std::string KivEntityInfo(std::string_view prototype) {
    return InfoOfType(prototype, TypeWord(prototype), true);
}

std::string KivEntityInfo(std::string_view prototype, KivSymbol type) {
    return InfoOfType(prototype, type.Name(), false);
}
