#pragma once

#include <string>
#include <string_view>

// Repository texts are Windows-1252 bytes; JSON wants UTF-8. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the code points of the same number, so every
// byte string has a text.
std::string KivAnsiToUtf8(std::string_view bytes);
