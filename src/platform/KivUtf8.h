#pragma once

#include <optional>
#include <string>
#include <string_view>

// The model keeps texts as Windows-1252 bytes; the terminal and JSON speak UTF-8. These two
// convert at kivrepo's edge (the window converts through Qt's codec). The five bytes the code page
// leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the code points of the same number
// both ways, so every byte string has a text and comes back unchanged.
std::string KivAnsiToUtf8(std::string_view bytes);

// The first character of a UTF-8 text that has no Windows-1252 byte: its UTF-8 form and its code
// point. A text that is not UTF-8 at all gives the offending byte as text and no code point.
struct KivUnmappable {
    std::string character;
    std::optional<char32_t> codePoint;
};

// The Windows-1252 bytes of a UTF-8 text; nothing when a character cannot be stored, which is
// then told in `refused`. Nothing is ever replaced by a look-alike or a question mark.
std::optional<std::string> KivUtf8ToAnsi(std::string_view text, KivUnmappable* refused = nullptr);

// True when the bytes are UTF-8 throughout (no stray, cut or overlong sequence, no surrogate).
bool KivIsUtf8(std::string_view bytes);
