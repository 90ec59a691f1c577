#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Small text routines shared by the entity classes, the PRG reader and the information files.
// Texts are bytes; nothing here looks at code pages.

// The elements joined by the separator, none after the last.
std::string KivArray2String(const std::vector<std::string>& items, std::string_view separator = ",");

// Splits at every occurrence of the separator. Empty parts between separators are kept; a rest
// after the last separator is kept only when it is not empty and not all blanks.
std::vector<std::string> KivString2Array(std::string_view text, std::string_view separator);

// The n-th token (1-based) of the text cut at the whole delimiter text. A run of delimiters
// counts as one, but a delimiter at the very start gives an empty first token.
std::string KivGetToken(std::string_view text, int n = 1, std::string_view delimiter = " ");
// The same token as a view into the text.
std::string_view KivTokenView(std::string_view text, int n = 1, std::string_view delimiter = " ");

// The n-th token of the text cut at any character of the set, runs skipped. Only tokens followed
// by a delimiter count: callers append one to reach the last word.
std::string KivGetToken2(std::string_view text, int n, std::string_view delimiters);
std::string_view KivToken2View(std::string_view text, int n, std::string_view delimiters);

// Blanks and tabs removed at the end, at the start, or both.
std::string KivRTrim(std::string_view text);
std::string KivLTrim(std::string_view text);
std::string KivAllTrim(std::string_view text);

// 1-based position of the first character of the given line of a CR LF text; the start of the
// last line when the text has fewer lines.
size_t KivCharPosLine(std::string_view text, size_t line);

// The characters up to the first zero byte; empty for no buffer.
std::string KivGetStringInPsz(const char* buffer);
// Consecutive zero-terminated strings up to the first empty one.
std::vector<std::string> KivGetStringArrayInPsz(const char* buffer);
// A buffer of each element followed by a zero byte, then one more zero byte; empty for an empty
// array. Its size() is the length the caller hands on.
std::string KivArray2Psz2(const std::vector<std::string>& items);
std::string KivArray2Psz(const std::vector<std::string>& items);
// Copies the text and its zero byte into a buffer of the given capacity, cut to fit; nothing
// happens for a null buffer or a capacity of 0.
void KivPszCopy(char* target, size_t capacity, std::string_view source);

// The rightmost digits of the number's eight upper-case hexadecimal digits.
std::string KivIntToHex(uint32_t number, int digits);

// ASCII case changes; bytes above 127 are kept.
std::string KivUpper(std::string_view text);
std::string KivLower(std::string_view text);
// Inline: type words and keywords are compared so for every entity of a file.
inline bool KivEqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (x != y)
            return false;
    }
    return true;
}
