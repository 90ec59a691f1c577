#include "exportfiles/KivPrgScan.h"

#include "exportfiles/KivEntityText.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// The line as its first words and its prototype are read from (see KivCleanPrototypeText).
std::string CleanLine(std::string_view line) {
    std::string out;
    KivCleanPrototypeText(line, out);
    return out;
}

// True when the line holds "/*". Every line of every source is searched, sixteen bytes at a time.
bool OpensComment(std::string_view line) {
    using Bytes = char __attribute__((vector_size(16)));
    const char* const data = line.data();
    const size_t size = line.size();
    if (size > 16) {
        const auto found = [data](size_t at) {
            Bytes here;
            Bytes next;
            std::memcpy(&here, data + at, sizeof here);
            std::memcpy(&next, data + at + 1, sizeof next);
            const auto pairs = (here == '/') & (next == '*');
            uint64_t half[2];
            std::memcpy(half, &pairs, sizeof half);
            return (half[0] | half[1]) != 0;
        };
        // The last block may overlap the one before it: it ends with the line's last pair.
        for (size_t at = 0;; at += 16) {
            if (at + 17 >= size)
                return found(size - 17);
            if (found(at))
                return true;
        }
    }
    for (size_t i = 1; i < size; ++i)
        if (data[i] == '*' && data[i - 1] == '/')
            return true;
    return false;
}

bool IsWordEnd(char c) {
    return c == ' ' || c == '\t' || c == '(' || c == ')';
}

// The word at the start of the text after blanks and tabs, as the line's first word looks once
// the line is cleaned (see CleanLine): empty where a parenthesis stands.
std::string_view WordAt(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    size_t end = start;
    while (end < text.size() && !IsWordEnd(text[end]))
        ++end;
    return text.substr(start, end - start);
}

// True when the word has at least four letters and, upper-cased, begins one of the words.
template <typename Words> bool BeginsOneOf(std::string_view word, const Words& words) {
    if (word.size() < 4)
        return false;
    return std::any_of(std::begin(words), std::end(words), [&](std::string_view w) {
        if (w.size() < word.size())
            return false;
        for (size_t k = 0; k < word.size(); ++k) {
            const char c = word[k];
            if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != w[k])
                return false;
        }
        return true;
    });
}

constexpr std::string_view kModifiers[] = {"HIDDEN", "PROTECT", "STATIC", "_DLL"};

// The first word of a line, or its second after a modifier, begins a keyword. The words are those
// of the cleaned line, found here without making it.
bool BeginsEntity(std::string_view line, const std::vector<std::string>& keywords) {
    std::string_view word = WordAt(line);
    if (BeginsOneOf(word, kModifiers))
        word = WordAt(line.substr(static_cast<size_t>(word.data() + word.size() - line.data())));
    return BeginsOneOf(word, keywords);
}

// A quick look at a line outside a comment: false when its first word cannot begin an entity
// (shorter than four letters, or its first four letters begin no keyword and no modifier), so
// that most lines are passed over with a look at their first bytes.
bool MayBeginEntity(std::string_view line) {
    // The first word's first four letters, upper-cased, as one number: this runs for every line
    // of every source.
    static constexpr auto Word = [](const char* w) {
        return static_cast<uint32_t>(static_cast<unsigned char>(w[0])) |
               static_cast<uint32_t>(static_cast<unsigned char>(w[1])) << 8 |
               static_cast<uint32_t>(static_cast<unsigned char>(w[2])) << 16 |
               static_cast<uint32_t>(static_cast<unsigned char>(w[3])) << 24;
    };
    static constexpr uint32_t kStarts[] = {
        Word("CLAS"), Word("METH"), Word("ACCE"), Word("ASSI"), Word("INHE"), Word("FUNC"),
        Word("PROC"), Word("RESO"), Word("STAT"), Word("DEFI"), Word("HIDD"), Word("PROT"),
        Word("UNIO"), Word("STRU"), Word("TEXT"), Word("GLOB"), Word("_DLL")};
    // The letters that begin a keyword or a modifier, so that most lines are passed over at
    // their first letter.
    static constexpr auto kFirst = [] {
        std::array<bool, 256> first{};
        for (uint32_t start : kStarts) {
            const auto c = static_cast<unsigned char>(start & 0xFF);
            first[c] = true;
            if (c >= 'A' && c <= 'Z')
                first[c - 'A' + 'a'] = true;
        }
        return first;
    }();
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (line.size() - i < 4 || !kFirst[static_cast<unsigned char>(line[i])])
        return false;
    char head[4];
    for (size_t k = 0; k < 4; ++k) {
        const char c = line[i + k];
        if (IsWordEnd(c))
            return false;
        head[k] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    const uint32_t word = Word(head);
    for (uint32_t start : kStarts)
        if (word == start)
            return true;
    return false;
}

template <typename Line>
std::string BuildPrototype(const std::vector<Line>& lines, uint32_t first, uint32_t last) {
    std::string prototype;
    for (uint32_t i = first; i <= last; ++i) {
        // A cleaned line holds no tab and no blank at either end.
        std::string line = CleanLine(lines[i - 1]);
        if (i == first && line.find("/*") != std::string::npos) {
            // "/* note */ FUNCTION F()" begins an entity; its prototype starts after the comment.
            bool inComment = false;
            KivExpurgateLine(line, inComment);
            line = KivAllTrim(line);
        }
        const size_t comment = line.find("//");
        if (comment != std::string::npos) {
            line.resize(comment);
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
        }
        if (line.empty() || line.back() != ';') {
            // Most prototypes are one line: that line is the prototype.
            if (prototype.empty())
                return line;
            prototype += line;
            break;
        }
        line.pop_back();
        prototype += line;
        prototype += ' ';
    }
    return prototype;
}

} // namespace

void KivExpurgateLine(std::string& line, bool& inComment) {
    std::string result;
    result.reserve(line.size());
    bool inQuote = false;
    if (!line.empty() && !inComment) {
        result += line[0];
        // A quote inside a comment is comment text: taking it for a quote would hide the
        // comment's end and swallow the rest of the file.
        if (IsQuote(line[0]))
            inQuote = true;
    }
    // A character belongs to one comment mark at most: the "/" that ends "*/" cannot begin
    // "/*" (it was never copied, so there is nothing to take back), nor can "/*/" end at once.
    bool previousFree = true;
    for (size_t i = 1; i < line.size(); ++i) {
        const char c = line[i];
        const bool pairsWithPrevious = previousFree;
        const char p = line[i - 1];
        previousFree = true;
        if (!inComment) {
            if (!inQuote && pairsWithPrevious && c == '/' && p == '/') {
                // A line comment: what follows is its text, and a "/*" in it opens nothing.
                // Taken for a block comment it would hide every entity down to the next "*/".
                result.append(line, i, std::string::npos);
                break;
            }
            result += c;
            if (IsQuote(c)) {
                inQuote = !inQuote;
                continue;
            }
        }
        if (inQuote || !pairsWithPrevious)
            continue;
        if (c == '/' && p == '*') {
            inComment = false;
            previousFree = false;
        } else if (c == '*' && p == '/' && !inComment) {
            inComment = true;
            previousFree = false;
            result.resize(result.size() - 2);
        }
    }
    line = std::move(result);
}

namespace {

template <typename Line> std::vector<KivPrgSpan> ScanLines(const std::vector<Line>& lines) {
    const std::vector<std::string> keywords = KivGetKeywords();
    std::vector<KivPrgSpan> spans;
    const uint32_t count = static_cast<uint32_t>(std::min<size_t>(lines.size(), UINT32_MAX));
    uint32_t start = 0;
    bool inComment = false;
    // Line i begins an entity, which ends the one before it.
    const auto begin = [&](uint32_t i) {
        if (start != 0)
            spans.push_back({start, i - 1, BuildPrototype(lines, start, i - 1)});
        start = i;
    };

    for (uint32_t i = 1; i <= count; ++i) {
        const std::string_view text(lines[i - 1]);
        // A line that opens a comment or lies in one gets the full look below, which keeps the
        // comment state; any other line is looked at in place.
        if (!inComment && !OpensComment(text)) {
            if (MayBeginEntity(text) && BeginsEntity(text, keywords))
                begin(i);
            continue;
        }
        std::string line = CleanLine(text);
        if (line.empty())
            continue;
        if ((!inComment && line.find("/*") != std::string::npos) ||
            (inComment && line.find("*/") != std::string::npos)) {
            KivExpurgateLine(line, inComment);
            // A comment before the first word leaves blanks there; without this trim the line's
            // first word would be empty and "/* x */ FUNCTION F" would begin no entity.
            line = KivAllTrim(line);
            if (line.empty())
                continue;
        }
        if (inComment)
            continue;
        if (BeginsEntity(line, keywords))
            begin(i);
    }
    if (start != 0)
        spans.push_back({start, count, BuildPrototype(lines, start, count)});
    return spans;
}

} // namespace

std::vector<KivPrgSpan> KivScanPrgLines(const std::vector<std::string>& lines) {
    return ScanLines(lines);
}

std::vector<KivPrgSpan> KivScanPrgLineViews(const std::vector<std::string_view>& lines) {
    return ScanLines(lines);
}

std::vector<std::string> KivSplitSourceLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(pos));
            break;
        }
        size_t length = end - pos;
        if (length > 0 && text[end - 1] == '\r')
            --length;
        lines.emplace_back(text.substr(pos, length));
        pos = end + 1;
    }
    return lines;
}

std::vector<std::string_view> KivSplitFileLines(std::string_view text, size_t maximum) {
    std::vector<std::string_view> lines;
    // Room for lines of some 32 bytes, as code has, so that a long list is not copied as it grows.
    lines.reserve(text.size() / 32 + 1);
    // Every line takes at least one byte, so the walk always moves on.
    maximum = std::clamp<size_t>(maximum, 1, SIZE_MAX - 2);
    size_t pos = 0;
    while (pos < text.size()) {
        const std::string_view rest = text.substr(pos);
        // A line end is looked for no further than a line of maximum bytes and its CR LF.
        const size_t window = std::min(rest.size(), maximum + 2);
        const void* lf = std::memchr(rest.data(), '\n', window);
        if (lf != nullptr) {
            const size_t n = static_cast<size_t>(static_cast<const char*>(lf) - rest.data());
            const size_t length = n > 0 && rest[n - 1] == '\r' ? n - 1 : n;
            if (length <= maximum) {
                lines.emplace_back(rest.substr(0, length));
                pos += n + 1;
                continue;
            }
        } else if (rest.size() <= maximum) {
            // The file's last line, without a line end.
            const size_t length = rest.back() == '\r' ? rest.size() - 1 : rest.size();
            lines.emplace_back(rest.substr(0, length));
            break;
        } else if (rest.size() == maximum + 1) {
            // A full line and one byte more: a CR there still ends the line.
            lines.emplace_back(rest.substr(0, maximum));
            pos += rest.back() == '\r' ? maximum + 1 : maximum;
            continue;
        }
        lines.emplace_back(rest.substr(0, maximum));
        pos += maximum;
    }
    return lines;
}

namespace {

template <typename Line>
std::string JoinLines(const std::vector<Line>& lines, uint32_t first, uint32_t last) {
    std::string out;
    const size_t from = std::max<uint32_t>(first, 1);
    const size_t to = std::min<size_t>(last, lines.size());
    for (size_t i = from; i <= to; ++i) {
        out += lines[i - 1];
        out += "\r\n";
    }
    return out;
}

} // namespace

std::string KivJoinSourceLines(const std::vector<std::string>& lines, uint32_t first, uint32_t last) {
    return JoinLines(lines, first, last);
}

std::string KivJoinSourceLineViews(const std::vector<std::string_view>& lines, uint32_t first,
                                   uint32_t last) {
    return JoinLines(lines, first, last);
}
