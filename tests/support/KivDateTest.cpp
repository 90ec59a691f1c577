#include "support/KivDate.h"

#include <gtest/gtest.h>

TEST(KivDate, CalendarFieldsAndDayNumbers) {
    KivDate epoch = KivDate::FromDays(0);
    EXPECT_EQ(epoch.Year(), 1970);
    EXPECT_EQ(epoch.Month(), 1);
    EXPECT_EQ(epoch.Day(), 1);
    EXPECT_EQ(epoch.DayOfWeek(), 5); // Thursday
    EXPECT_EQ(KivDate::FromYMD(2000, 2, 29).DToS(), "20000229");
    EXPECT_EQ(KivDate::FromYMD(2000, 3, 1) - 1, KivDate::FromYMD(2000, 2, 29));
    EXPECT_EQ(KivDate::FromYMD(2106, 2, 7).DaysSince1970(), 49710);
    EXPECT_EQ(KivDate::FromYMD(1969, 12, 31).DaysSince1970(), -1);
    EXPECT_EQ(KivDate::FromYMD(1969, 12, 31).DayOfWeek(), 4);
    EXPECT_EQ(KivDate::FromYMD(2026, 12, 8).ToIso(), "2026-12-08");
}

TEST(KivDate, InvalidFieldsAndTextsGiveTheNullDate) {
    EXPECT_TRUE(KivDate::FromYMD(1900, 2, 29).IsNull());
    EXPECT_TRUE(KivDate::FromYMD(2001, 13, 1).IsNull());
    EXPECT_TRUE(KivDate::FromYMD(2001, 4, 31).IsNull());
    EXPECT_TRUE(KivDate::FromDToS("2001043").IsNull());
    EXPECT_TRUE(KivDate::FromDToS("2001-4-1").IsNull());
    EXPECT_TRUE(KivDate::FromDToS("        ").IsNull());
    EXPECT_EQ(KivDate::FromDToS("20001014"), KivDate::FromYMD(2000, 10, 14));
    KivDate null;
    EXPECT_EQ(null.DToS(), "        ");
    EXPECT_TRUE((null + 5).IsNull());
    EXPECT_TRUE(null < KivDate::FromDays(-100000));
    EXPECT_EQ(null.DayOfWeek(), 0);
}
