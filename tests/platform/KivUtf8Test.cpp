#include "platform/KivUtf8.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

TEST(KivUtf8, EveryByteComesBackUnchanged) {
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        bytes += static_cast<char>(b);
    const std::string text = KivAnsiToUtf8(bytes);
    EXPECT_EQ(KivAnsiToUtf8("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(KivUtf8ToAnsi(text), bytes);
}

// Nothing is stored garbled: the first character without a byte is named, or the text is not UTF-8.
TEST(KivUtf8, RefusesWhatTheCodePageCannotHold) {
    const std::vector<std::tuple<std::string, std::string, std::optional<char32_t>>> cases{
        {"\xCE\xA9mega", "\xCE\xA9", U'\u03A9'},
        {"ab\xE6\x97\xA5", "\xE6\x97\xA5", U'\u65E5'},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", U'\U0001F600'},
        {"Caf\xE9", "\xE9", std::nullopt},      // Windows-1252 given where UTF-8 belongs
        {"\xC0\xAF", "\xC0", std::nullopt},     // overlong
        {"\xED\xA0\x80", "\xED", std::nullopt}, // surrogate
        {"\xC3", "\xC3", std::nullopt},         // cut short
    };
    for (const auto& [text, character, codePoint] : cases) {
        KivUnmappable refused;
        EXPECT_FALSE(KivUtf8ToAnsi(text, &refused)) << text;
        EXPECT_EQ(refused.character, character) << text;
        EXPECT_EQ(refused.codePoint, codePoint) << text;
    }
}
