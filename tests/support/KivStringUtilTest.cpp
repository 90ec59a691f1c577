#include "support/KivStringUtil.h"

#include <gtest/gtest.h>

using Strings = std::vector<std::string>;

TEST(KivStringUtil, JoinAndSplit) {
    EXPECT_EQ(KivArray2String({}), "");
    EXPECT_EQ(KivArray2String({"a", "b", "c"}), "a,b,c");
    EXPECT_EQ(KivArray2String({"a", ""}, "\r\n"), "a\r\n");
    EXPECT_EQ(KivString2Array("A,,B", ","), (Strings{"A", "", "B"}));
    EXPECT_EQ(KivString2Array("A,", ","), (Strings{"A"}));
    EXPECT_EQ(KivString2Array("A, ", ","), (Strings{"A"}));
    EXPECT_EQ(KivString2Array("", ","), Strings{});
    EXPECT_EQ(KivString2Array("whole text", ","), (Strings{"whole text"}));
    EXPECT_EQ(KivString2Array(",x", ","), (Strings{"", "x"}));
    EXPECT_EQ(KivString2Array("l1\r\nl2\r\n", "\r\n"), (Strings{"l1", "l2"}));
}

TEST(KivStringUtil, GetTokenCountsRunsOnceButNotAtTheStart) {
    EXPECT_EQ(KivGetToken("a  b", 2), "b");
    EXPECT_EQ(KivGetToken(" a", 1), "");
    EXPECT_EQ(KivGetToken(" a", 2), "a");
    EXPECT_EQ(KivGetToken("a b c", 3), "c");
    EXPECT_EQ(KivGetToken("a b c", 4), "");
    EXPECT_EQ(KivGetToken("", 1), "");
    EXPECT_EQ(KivGetToken("x::y::::z", 3, "::"), "z");
    EXPECT_EQ(KivGetToken("a b ", 3), "");
}

TEST(KivStringUtil, GetToken2NeedsAFollowingDelimiter) {
    EXPECT_EQ(KivGetToken2("a b", 2, " "), "");
    EXPECT_EQ(KivGetToken2("a b ", 2, " "), "b");
    EXPECT_EQ(KivGetToken2("  DIM  aList[10] ", 2, "[ "), "aList");
    EXPECT_EQ(KivGetToken2("Foo;bar ", 1, " ;"), "Foo");
    EXPECT_EQ(KivGetToken2("", 1, " "), "");
}

TEST(KivStringUtil, TrimsTouchBlanksAndTabsOnly) {
    EXPECT_EQ(KivRTrim(" \ta b \t "), " \ta b");
    EXPECT_EQ(KivLTrim(" \ta b \t "), "a b \t ");
    EXPECT_EQ(KivAllTrim(" \ta\r\n "), "a\r\n");
    EXPECT_EQ(KivAllTrim("   "), "");
}

TEST(KivStringUtil, CharPosLine) {
    std::string text = "ab\r\ncd\r\nef";
    EXPECT_EQ(KivCharPosLine(text, 1), 1u);
    EXPECT_EQ(KivCharPosLine(text, 2), 5u);
    EXPECT_EQ(KivCharPosLine(text, 3), 9u);
    EXPECT_EQ(KivCharPosLine(text, 10), 9u);
    EXPECT_EQ(KivCharPosLine("", 4), 1u);
}

TEST(KivStringUtil, ZeroSeparatedBuffers) {
    std::string buffer = KivArray2Psz2({"one", "two"});
    EXPECT_EQ(buffer, std::string("one\0two\0\0", 9));
    EXPECT_EQ(KivGetStringArrayInPsz(buffer.c_str()), (Strings{"one", "two"}));
    EXPECT_EQ(KivArray2Psz2({}), "");
    EXPECT_EQ(KivGetStringArrayInPsz(nullptr), Strings{});
    EXPECT_EQ(KivGetStringInPsz("abc\0def"), "abc");

    char small[4] = {'x', 'x', 'x', 'x'};
    KivPszCopy(small, sizeof small, "abcdef");
    EXPECT_STREQ(small, "abc");
    KivPszCopy(small, sizeof small, "");
    EXPECT_STREQ(small, "");
    KivPszCopy(nullptr, 10, "abc");
}

TEST(KivStringUtil, IntToHexAndCase) {
    EXPECT_EQ(KivIntToHex(0xABCDEF12u, 4), "EF12");
    EXPECT_EQ(KivIntToHex(255, 8), "000000FF");
    EXPECT_EQ(KivIntToHex(255, 12), "000000FF");
    EXPECT_EQ(KivIntToHex(255, 0), "");
    EXPECT_EQ(KivUpper("abc\xe9z"), "ABC\xe9Z");
    EXPECT_TRUE(KivEqualsIgnoringCase("Module001", "MODULE001"));
    EXPECT_FALSE(KivEqualsIgnoringCase("Module001", "MODULE01"));
}
