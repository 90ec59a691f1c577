#include "explorer/KivAnsi.h"

#include <gtest/gtest.h>

TEST(AnsiTest, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    QString text = KivFromAnsi(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(KivToAnsi(text), all);
}

TEST(AnsiTest, DecodesTheWindowsLettersAndSigns) {
    EXPECT_EQ(KivFromAnsi("Caf\xe9 \x80 \x93quoted\x94 \x8a\x9e"), QString::fromUtf8("Café € “quoted” Šž"));
    EXPECT_EQ(KivToAnsi(QString::fromUtf8("Café € “quoted” Šž")), "Caf\xe9 \x80 \x93quoted\x94 \x8a\x9e");
}

TEST(AnsiTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    // A Cyrillic letter, a CJK one and one outside the basic plane (a surrogate pair): one "?" each.
    EXPECT_EQ(KivToAnsi(QString::fromUtf8("a\xd0\x96"
                                          "b\xe6\x97\xa5"
                                          "c\xf0\x9f\x98\x80"
                                          "d")),
              "a?b?c?d");
    // A lone surrogate is one character too.
    QString lone = QStringLiteral("x");
    lone += QChar(0xD800);
    EXPECT_EQ(KivToAnsi(lone), "x?");
}
