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

constexpr size_t kLongestKeyword =
    std::max_element(kKeywords.begin(), kKeywords.end(), [](auto a, auto b) { return a.size() < b.size(); })->size();

const std::vector<std::string>& Keywords() {
    static const std::vector<std::string> keywords(kKeywords.begin(), kKeywords.end());
    return keywords;
}

// Eight bytes at once: a one in each, and the high bit of each.
constexpr uint64_t kOnes = 0x0101010101010101;
constexpr uint64_t kHigh = 0x8080808080808080;

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
        size_t at = prototype.find(' ');
        while (at != std::string_view::npos && !KivEqualsIgnoringCase(prototype.substr(at, kClause.size()), kClause))
            at = prototype.find(' ', at + 1);
        // A member without a CLASS clause has no class to name; show the bare name rather
        // than a piece of the prototype.
        if (at == std::string_view::npos)
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

void KivCleanPrototypeText(std::string_view text, std::string& out) {
    // Written through a pointer into room for the longest result: this runs for every entity of
    // every file read. Eight bytes without a tab or a parenthesis, most of a prototype, are
    // copied at once.
    enum : uint8_t { kPlain, kBlank, kParenthesis };
    static constexpr auto kinds = [] {
        std::array<uint8_t, 256> table{};
        table[' '] = table['\t'] = kBlank;
        table['('] = table[')'] = kParenthesis;
        return table;
    }();
    const auto holds = [](uint64_t bytes, char c) {
        const uint64_t v = bytes ^ (kOnes * static_cast<unsigned char>(c));
        return ((v - kOnes) & ~v & kHigh) != 0;
    };
    out.resize(3 * text.size());
    char* const begin = out.data();
    char* to = begin;
    const char* from = text.data();
    const char* const stop = from + text.size();
    while (from != stop && kinds[static_cast<unsigned char>(*from)] == kBlank)
        ++from;
    while (from != stop) {
        // The next eight bytes, or the rest: copied at once, or byte by byte.
        const char* const next = stop - from >= 8 ? from + 8 : stop;
        if (next - from == 8) {
            uint64_t bytes;
            std::memcpy(&bytes, from, 8);
            if (!holds(bytes, '\t') && !holds(bytes, '(') && !holds(bytes, ')')) {
                std::memcpy(to, from, 8);
                to += 8;
                from = next;
                continue;
            }
        }
        for (; from != next; ++from) {
            const char c = *from;
            switch (kinds[static_cast<unsigned char>(c)]) {
            case kPlain:
                *to++ = c;
                break;
            case kBlank:
                *to++ = ' ';
                break;
            default:
                // Only a parenthesis that begins the text has no blank before it.
                if (to != begin)
                    *to++ = ' ';
                *to++ = c;
                *to++ = ' ';
                break;
            }
        }
    }
    while (to != begin && to[-1] == ' ')
        --to;
    out.resize(static_cast<size_t>(to - begin));
}

std::string KivNormalisePrototype(std::string_view voPrototype) {
    std::string text;
    // Room for the keywords written out and the blanks before ":=", so that they grow nothing.
    text.reserve(voPrototype.size() + 16);
    text.assign(voPrototype);
    // This runs for every entity of every file read, so the text is read once: upper-cased in a
    // buffer kept from one call to the next, eight bytes at a time, and then passed over once
    // for the occurrences of every keyword's first four letters.
    thread_local std::string upper;
    upper.assign(voPrototype);
    const size_t size = upper.size();
    char* const u = upper.data();
    {
        size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            uint64_t x;
            std::memcpy(&x, u + i, 8);
            // Bit 7 of each byte says whether its low seven bits are at least 'a', at most 'z'.
            const uint64_t low = x & ~kHigh;
            const uint64_t lower = (low + (0x80 - 'a') * kOnes) & ~(low + (0x80 - 'z' - 1) * kOnes) & ~x & kHigh;
            x ^= lower >> 2;
            std::memcpy(u + i, &x, 8);
        }
        for (; i < size; ++i)
            if (u[i] >= 'a' && u[i] <= 'z')
                u[i] = static_cast<char>(u[i] - 'a' + 'A');
    }
    // For each of the first four places, the keywords that have each letter there: the keywords
    // whose first four letters stand at a place are the intersection of four rows.
    static constexpr auto byLetter = [] {
        std::array<std::array<uint16_t, 256>, 4> table{};
        for (size_t k = 0; k < kKeywords.size(); ++k)
            for (size_t place = 0; place < 4; ++place)
                table[place][static_cast<unsigned char>(kKeywords[k][place])] |= static_cast<uint16_t>(1u << k);
        return table;
    }();
    // Every abbreviation holds the keyword's first four letters. An abbreviation of one length
    // followed by a blank is looked for as a whole, and only its first occurrence counts: it is
    // written out when it starts a word, and one glued to a longer word blocks that length. So
    // each occurrence of the four letters is noted with the length it reaches, up to a blank.
    // Writing a keyword out moves the text after it but makes and breaks no other occurrence (no
    // keyword holds the first four letters of another), so the notes stay good.
    struct Occurrence {
        size_t at;
        uint32_t keyword;
        uint32_t length; // 0 when no blank follows the letters of the keyword
        bool wordStart;
    };
    thread_local std::vector<Occurrence> found;
    found.clear();
    // The keywords that start a word somewhere, as the text was given.
    uint32_t present = 0;
    for (size_t i = 0; i + 4 <= size; ++i) {
        uint32_t candidates = byLetter[0][static_cast<unsigned char>(u[i])];
        if (candidates == 0)
            continue;
        candidates &= byLetter[1][static_cast<unsigned char>(u[i + 1])] &
                      byLetter[2][static_cast<unsigned char>(u[i + 2])] &
                      byLetter[3][static_cast<unsigned char>(u[i + 3])];
        // No two keywords share their first four letters.
        if (candidates == 0)
            continue;
        const auto k = static_cast<uint32_t>(std::countr_zero(candidates));
        const std::string_view keyword = kKeywords[k];
        size_t length = 4;
        while (length < keyword.size() && i + length < size && u[i + length] == keyword[length])
            ++length;
        const bool wordStart = i == 0 || IsBlank(u[i - 1]);
        if (wordStart)
            present |= 1u << k;
        found.push_back(
            {i, k, i + length < size && u[i + length] == ' ' ? static_cast<uint32_t>(length) : 0, wordStart});
    }
    // Where each keyword was written out, and by how much it grew the text there.
    size_t writtenAt[kKeywords.size()];
    size_t writtenGrowth[kKeywords.size()];
    size_t writtenCount = 0;
    for (; present != 0; present &= present - 1) {
        const auto k = static_cast<uint32_t>(std::countr_zero(present));
        const std::string_view keyword = kKeywords[k];
        // The first occurrence of each length.
        std::array<const Occurrence*, kLongestKeyword + 1> first{};
        for (const Occurrence& occurrence : found)
            if (occurrence.keyword == k && occurrence.length != 0 && first[occurrence.length] == nullptr)
                first[occurrence.length] = &occurrence;
        for (size_t length = 4; length <= keyword.size(); ++length) {
            if (first[length] == nullptr || !first[length]->wordStart)
                continue;
            size_t at = first[length]->at;
            for (size_t w = 0; w < writtenCount; ++w)
                if (writtenAt[w] < first[length]->at)
                    at += writtenGrowth[w];
            // The blank after it stays.
            text.replace(at, length, keyword);
            writtenAt[writtenCount] = first[length]->at;
            writtenGrowth[writtenCount++] = keyword.size() - length;
            break;
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
