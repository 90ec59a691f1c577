#include "platform/KivUtf8.h"

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void Append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::optional<unsigned char> AnsiByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (unsigned i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

// The length of the UTF-8 sequence at `at` and its code point; 0 when the bytes there are not
// UTF-8 (a stray continuation byte, a cut or overlong sequence, a surrogate).
size_t Decode(std::string_view text, size_t at, char32_t& c) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80   ? 1
                          : lead < 0xC2 ? 0
                          : lead < 0xE0 ? 2
                          : lead < 0xF0 ? 3
                          : lead < 0xF5 ? 4
                                        : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

std::string KivAnsiToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    // Runs of ASCII bytes, most of any source, are copied as they are.
    size_t plain = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80)
            continue;
        out.append(bytes.data() + plain, i - plain);
        Append(out, byte < 0xA0 ? kHigh[byte - 0x80] : char32_t(byte));
        plain = i + 1;
    }
    out.append(bytes.data() + plain, bytes.size() - plain);
    return out;
}

std::optional<std::string> KivUtf8ToAnsi(std::string_view text, KivUnmappable* refused) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const size_t length = Decode(text, at, c);
        const std::optional<unsigned char> byte = length ? AnsiByte(c) : std::nullopt;
        if (!byte) {
            if (refused) {
                refused->character = std::string(text.substr(at, length ? length : 1));
                refused->codePoint = length ? std::optional<char32_t>(c) : std::nullopt;
            }
            return std::nullopt;
        }
        out += static_cast<char>(*byte);
        at += length;
    }
    return out;
}

bool KivIsUtf8(std::string_view bytes) {
    for (size_t at = 0; at < bytes.size();) {
        char32_t c = 0;
        const size_t length = Decode(bytes, at, c);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}
