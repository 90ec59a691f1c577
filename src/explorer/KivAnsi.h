#pragma once

#include <QString>

#include <string>
#include <string_view>

// The model keeps texts as Windows-1252 bytes; widgets show QStrings. These two convert at that
// boundary. The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the
// control characters of the same number, as Windows maps them, so every byte string survives the
// round trip unchanged.
QString KivFromAnsi(std::string_view bytes);
// Characters Windows-1252 cannot hold become "?".
std::string KivToAnsi(const QString& text);
