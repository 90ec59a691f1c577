#include "platform/KivSymbol.h"

#include <gtest/gtest.h>

TEST(KivSymbol, InternsUpperCaseNames) {
    KivSymbol a("Init"), b("INIT"), c("init2");
    EXPECT_EQ(a, b);
    EXPECT_FALSE(a == c);
    EXPECT_EQ(a.Name(), "INIT");
    EXPECT_EQ(KivSymbol::FromId(a.Id()), a);
    // Bytes above 127 are kept as they are; only ASCII letters change case.
    EXPECT_EQ(KivSymbol("gr\xfc\xdf").Name(), "GR\xfc\xdf");
}

TEST(KivSymbol, NullSymbol) {
    KivSymbol none, empty("");
    EXPECT_TRUE(none.IsNull());
    EXPECT_TRUE(empty.IsNull());
    EXPECT_EQ(none, empty);
    EXPECT_EQ(none.Name(), "");
    EXPECT_TRUE(KivSymbol::FromId(0xFFFFFFF0u).IsNull());
}
