#include "support/KivStringUtil.h"

#include <algorithm>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text with the ASCII letters of one case (from 'a' or 'A' on) put into the other; every other
// byte, those of Windows-1252 letters too, stays.
std::string ShiftCase(std::string_view text, char from, char to) {
    std::string out(text);
    for (char& c : out)
        if (c >= from && c <= from + ('z' - 'a'))
            c = static_cast<char>(c - from + to);
    return out;
}
} // namespace

std::string KivArray2String(const std::vector<std::string>& items, std::string_view separator) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += separator;
        out += items[i];
    }
    return out;
}

std::vector<std::string> KivString2Array(std::string_view text, std::string_view separator) {
    std::vector<std::string> out;
    if (text.empty())
        return out;
    if (separator.empty()) {
        out.emplace_back(text);
        return out;
    }
    for (;;) {
        size_t at = text.find(separator);
        if (at == std::string_view::npos) {
            if (!text.empty() && std::any_of(text.begin(), text.end(), [](char c) { return c != ' '; }))
                out.emplace_back(text);
            return out;
        }
        out.emplace_back(text.substr(0, at));
        text.remove_prefix(at + separator.size());
    }
}

std::string_view KivTokenView(std::string_view text, int n, std::string_view delimiter) {
    if (text.empty() || n < 1)
        return {};
    if (delimiter.empty())
        return n == 1 ? text : std::string_view();
    if (delimiter.size() == 1) {
        // The common case, a blank, by the character: this cuts the words of every prototype.
        const char d = delimiter.front();
        size_t pos = 0;
        for (int k = 1;; ++k) {
            const size_t at = text.find(d, pos);
            if (k == n)
                return text.substr(pos, at == std::string_view::npos ? std::string_view::npos : at - pos);
            if (at == std::string_view::npos)
                return {};
            pos = at + 1;
            while (pos < text.size() && text[pos] == d)
                ++pos;
        }
    }
    size_t pos = 0;
    for (int k = 1;; ++k) {
        size_t at = text.find(delimiter, pos);
        if (k == n)
            return text.substr(pos, at == std::string_view::npos ? std::string_view::npos : at - pos);
        if (at == std::string_view::npos)
            return {};
        pos = at + delimiter.size();
        while (text.compare(pos, delimiter.size(), delimiter) == 0 && pos < text.size())
            pos += delimiter.size();
    }
}

std::string KivGetToken(std::string_view text, int n, std::string_view delimiter) {
    return std::string(KivTokenView(text, n, delimiter));
}

std::string_view KivToken2View(std::string_view text, int n, std::string_view delimiters) {
    int count = 0;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (delimiters.find(text[i]) == std::string_view::npos)
            continue;
        if (i > start && ++count == n)
            return text.substr(start, i - start);
        start = i + 1;
    }
    return {};
}

std::string KivGetToken2(std::string_view text, int n, std::string_view delimiters) {
    return std::string(KivToken2View(text, n, delimiters));
}

std::string KivRTrim(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return std::string(text.substr(0, end));
}

std::string KivLTrim(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start]))
        ++start;
    return std::string(text.substr(start));
}

std::string KivAllTrim(std::string_view text) { return KivLTrim(KivRTrim(text)); }

size_t KivCharPosLine(std::string_view text, size_t line) {
    size_t start = 0;
    for (size_t current = 1; current < line; ++current) {
        size_t at = text.find("\r\n", start);
        if (at == std::string_view::npos)
            break;
        start = at + 2;
    }
    return start + 1;
}

std::string KivGetStringInPsz(const char* buffer) { return buffer ? std::string(buffer) : std::string(); }

std::vector<std::string> KivGetStringArrayInPsz(const char* buffer) {
    std::vector<std::string> out;
    if (!buffer)
        return out;
    while (*buffer) {
        out.emplace_back(buffer);
        buffer += out.back().size() + 1;
    }
    return out;
}

std::string KivArray2Psz2(const std::vector<std::string>& items) {
    std::string out;
    if (items.empty())
        return out;
    for (const auto& item : items) {
        out += item;
        out += '\0';
    }
    out += '\0';
    return out;
}

std::string KivArray2Psz(const std::vector<std::string>& items) { return KivArray2Psz2(items); }

void KivPszCopy(char* target, size_t capacity, std::string_view source) {
    if (!target || capacity == 0)
        return;
    size_t n = std::min(source.size(), capacity - 1);
    std::copy_n(source.data(), n, target);
    target[n] = '\0';
}

std::string KivIntToHex(uint32_t number, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    std::string all(8, '0');
    for (int i = 7; i >= 0; --i, number >>= 4)
        all[static_cast<size_t>(i)] = hex[number & 0xF];
    digits = std::clamp(digits, 0, 8);
    return all.substr(static_cast<size_t>(8 - digits));
}

std::string KivUpper(std::string_view text) {
    return ShiftCase(text, 'a', 'A');
}

std::string KivLower(std::string_view text) {
    return ShiftCase(text, 'A', 'a');
}

