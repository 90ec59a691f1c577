#include "support/KivDateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

// Seconds since 1970 of a UTC (or local) wall-clock moment.
uint32_t At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return static_cast<uint32_t>(KivDate::FromYMD(y, mo, d).DaysSince1970() * 86400 + h * 3600 + mi * 60 + s);
}

KivTimeZoneInformation Zone(const char* rule) {
    return *kiv::tz::ParseRule(rule, 2024);
}

// Hours the local time is ahead of UTC at a UTC moment.
double Offset(uint32_t utc, const KivTimeZoneInformation& zone) {
    return (static_cast<double>(KivGMTUnixTimeToLocalUnixTime(utc, zone)) - utc) / 3600.0;
}

} // namespace

TEST(KivDateTime, MomentsBecomeDateAndTimeText) {
    EXPECT_EQ(KivUnixTimeToDateTime(0),
              std::make_pair(KivDate::FromYMD(1970, 1, 1), std::string("00:00:00")));
    EXPECT_EQ(KivUnixTimeToDateTime(86399),
              std::make_pair(KivDate::FromYMD(1970, 1, 1), std::string("23:59:59")));
    EXPECT_EQ(KivUnixTimeToDateTime(86400),
              std::make_pair(KivDate::FromYMD(1970, 1, 2), std::string("00:00:00")));
    EXPECT_EQ(KivUnixTimeToDateTime(0xFFFFFFFF),
              std::make_pair(KivDate::FromYMD(2106, 2, 7), std::string("06:28:15")));
    EXPECT_EQ(KivTString(3661), "01:01:01");
    EXPECT_EQ(KivTString(86400 + 5), "00:00:05");
    KivSetTimeSep('.');
    EXPECT_EQ(KivTString(45296), "12.34.56");
    KivSetTimeSep(':');
    EXPECT_EQ(KivGetTimeSep(), ':');
}

TEST(KivDateTime, PackedDosDatesAndTimes) {
    const uint16_t word = KivTime2PackedWord("13:45:30");
    EXPECT_EQ(word & 0x1F, 15);
    EXPECT_EQ(word, 13 << 11 | 45 << 5 | 15);
    EXPECT_EQ(KivPackedWord2Time(word), "13:45:30");
    EXPECT_EQ(KivPackedWord2Time(KivTime2PackedWord("13:45:31")), "13:45:30");

    EXPECT_EQ(KivDate2PackedWord(KivDate::FromYMD(1979, 12, 31)), 0);
    EXPECT_EQ(KivDate2PackedWord(KivDate::FromYMD(1980, 1, 1)), 0x0021);
    EXPECT_EQ(KivDate2PackedWord(KivDate::FromYMD(2107, 12, 31)), 127 << 9 | 12 << 5 | 31);
    EXPECT_EQ(KivDate2PackedWord(KivDate::FromYMD(2108, 1, 1)), 0);
    EXPECT_EQ(KivDate2PackedWord(KivDate()), 0);
    EXPECT_EQ(KivPackedWord2Date(0x0021), KivDate::FromYMD(1980, 1, 1));
    EXPECT_EQ(KivPackedWord2Date(KivDate2PackedWord(KivDate::FromYMD(2024, 2, 29))),
              KivDate::FromYMD(2024, 2, 29));
    EXPECT_TRUE(KivPackedWord2Date(0).IsNull());           // month 0
    EXPECT_TRUE(KivPackedWord2Date(2 << 5 | 30).IsNull()); // 30 February 1980
}

TEST(KivDateTime, TimeFieldsAreReadByPositionAndKeptInRange) {
    EXPECT_EQ(KivPackedWord2Time(KivTime2PackedWord("7")), "07:00:00");
    EXPECT_EQ(KivPackedWord2Time(KivTime2PackedWord(" 9: 5: 8")), "09:05:08");
    EXPECT_EQ(KivPackedWord2Time(KivTime2PackedWord("99:99:99")), "23:59:58");
    EXPECT_EQ(KivPackedWord2Time(KivTime2PackedWord("-1:xx:4")), "00:00:04");
    EXPECT_EQ(KivTime2PackedWord(""), 0);
    // Fields beyond their range in a word from outside are shown, not cut.
    EXPECT_EQ(KivPackedWord2Time(0xFFFF), "31:63:62");
}

TEST(KivDateTime, SystemTimeFieldsAndWeekdaysOfAMonth) {
    KivSystemTime st;
    st.wYear = 2024, st.wMonth = 3, st.wDay = 31, st.wHour = 2, st.wMinute = 30, st.wSecond = 15;
    EXPECT_EQ(KivSystemTimeToVODate(st), KivDate::FromYMD(2024, 3, 31));
    EXPECT_EQ(KivSystemTimeToVOTime(st), 2u * 3600 + 30 * 60 + 15);
    st.wMonth = 2;
    EXPECT_TRUE(KivSystemTimeToVODate(st).IsNull());

    const KivDate march = KivDate::FromYMD(2024, 3, 17);
    EXPECT_EQ(KivGetFirstDOW(1, march), KivDate::FromYMD(2024, 3, 3));
    EXPECT_EQ(KivGetLastDOW(1, march), KivDate::FromYMD(2024, 3, 31));
    EXPECT_EQ(KivGetFirstDOW(6, march), KivDate::FromYMD(2024, 3, 1)); // a Friday
    EXPECT_EQ(KivGetLastDOW(7, KivDate::FromYMD(2024, 12, 1)), KivDate::FromYMD(2024, 12, 28));
    EXPECT_TRUE(KivGetFirstDOW(0, march).IsNull());
    EXPECT_TRUE(KivGetLastDOW(8, march).IsNull());
    EXPECT_TRUE(KivGetFirstDOW(1, KivDate()).IsNull());
}

TEST(KivDateTime, ZoneWithoutDaylightSavingAndTheLimits) {
    const auto tehran = Zone("<+0330>-3:30");
    EXPECT_EQ(KivGMTUnixTimeToLocalUnixTime(At(2024, 7, 1, 12), tehran), At(2024, 7, 1, 15, 30));
    EXPECT_EQ(KivGMTUnixTimeToLocalUnixTime(0, tehran), 12600u);
    // No wrap at either end of the unsigned range.
    EXPECT_EQ(KivGMTUnixTimeToLocalUnixTime(100, Zone("EST5")), 0u);
    EXPECT_EQ(KivGMTUnixTimeToLocalUnixTime(0xFFFFFF00u, tehran), 0xFFFFFFFFu);
    EXPECT_EQ(KivLocalUnixTimeToGMTUnixTime(0xFFFFFF00u, Zone("EST5")), 0xFFFFFFFFu);
    EXPECT_EQ(KivLocalUnixTimeToGMTUnixTime(100, tehran), 0u);
    EXPECT_EQ(KivGMTUnixTimeToLocalUnixTime(12345, KivTimeZoneInformation()), 12345u);
}

TEST(KivDateTime, CentralEuropeAroundBothChangeOvers) {
    const auto cet = Zone("CET-1CEST,M3.5.0,M10.5.0/3");
    // Daylight saving starts on 31 March 2024 at 02:00 CET (01:00 UTC).
    EXPECT_EQ(KivGMTUnixTimeToLocalUnixTime(At(2024, 3, 31, 0, 59, 59), cet), At(2024, 3, 31, 1, 59, 59));
    EXPECT_EQ(KivGMTUnixTimeToLocalUnixTime(At(2024, 3, 31, 1), cet), At(2024, 3, 31, 3));
    // It ends on 27 October 2024 at 03:00 CEST (01:00 UTC); the hour from 02:00 is shown twice.
    EXPECT_EQ(KivGMTUnixTimeToLocalUnixTime(At(2024, 10, 27, 0, 59, 59), cet), At(2024, 10, 27, 2, 59, 59));
    EXPECT_EQ(KivGMTUnixTimeToLocalUnixTime(At(2024, 10, 27, 1, 0, 1), cet), At(2024, 10, 27, 2, 0, 1));
    EXPECT_EQ(Offset(At(2024, 1, 15, 12), cet), 1);
    EXPECT_EQ(Offset(At(2024, 7, 15, 12), cet), 2);
    EXPECT_EQ(Offset(At(2024, 12, 31, 23, 30), cet), 1);
    // 2015: March has five Sundays, the rule's "week 5" is the 29th.
    EXPECT_EQ(Offset(At(2015, 3, 29, 0, 59), cet), 1);
    EXPECT_EQ(Offset(At(2015, 3, 29, 1), cet), 2);
}

TEST(KivDateTime, SouthernZoneKeepsDaylightSavingAcrossNewYear) {
    const auto sydney = Zone("AEST-10AEDT,M10.1.0,M4.1.0/3");
    EXPECT_EQ(Offset(At(2024, 12, 31, 23), sydney), 11);
    EXPECT_EQ(Offset(At(2025, 1, 1, 1), sydney), 11);
    EXPECT_EQ(Offset(At(2025, 6, 30, 12), sydney), 10);
    // Standard time from Sunday 6 April 2025, 03:00 AEDT (16:00 UTC the day before).
    EXPECT_EQ(Offset(At(2025, 4, 5, 15, 59, 59), sydney), 11);
    EXPECT_EQ(Offset(At(2025, 4, 5, 16, 0, 1), sydney), 10);
    // Daylight saving again from Sunday 5 October 2025, 02:00 AEST (16:00 UTC the day before).
    EXPECT_EQ(Offset(At(2025, 10, 4, 15, 59, 59), sydney), 10);
    EXPECT_EQ(Offset(At(2025, 10, 4, 16), sydney), 11);
}

TEST(KivDateTime, ChangeOverWeekdayAndWeekAreHonoured) {
    // The Friday after the fourth Thursday of March at 02:00 (00:00 UTC): 29 March 2024, 24 March 2023.
    const auto israel = Zone("IST-2IDT,M3.4.4/26,M10.5.0");
    EXPECT_EQ(Offset(At(2024, 3, 28, 23, 59, 59), israel), 2);
    EXPECT_EQ(Offset(At(2024, 3, 29, 0), israel), 3);
    EXPECT_EQ(Offset(At(2023, 3, 23, 23, 59, 59), israel), 2);
    EXPECT_EQ(Offset(At(2023, 3, 24, 0), israel), 3);
    // The fifth Sunday of February 2015, which has four, is the last one, the 22nd.
    const auto feb = Zone("AAA0BBB,M2.5.0,M10.5.0");
    EXPECT_EQ(Offset(At(2015, 2, 22, 1, 59, 59), feb), 0);
    EXPECT_EQ(Offset(At(2015, 2, 22, 2), feb), 1);
}

TEST(KivDateTime, AbsoluteAndMalformedChangeOvers) {
    KivTimeZoneInformation zone = Zone("CET-1CEST,M3.5.0,M10.5.0/3");
    zone.DaylightDate = {2024, 3, 0, 31, 2, 0, 0, 0};
    zone.StandardDate = {2024, 10, 0, 27, 3, 0, 0, 0};
    EXPECT_EQ(Offset(At(2024, 7, 1), zone), 2);
    EXPECT_EQ(Offset(At(2025, 7, 1), zone), 1); // the dates given hold for 2024 only
    zone.DaylightDate = {0, 13, 9, 9, 0, 0, 0, 0};
    EXPECT_EQ(Offset(At(2024, 7, 1), zone), 1);
}

TEST(KivDateTime, LocalTimeBackToUtc) {
    const auto cet = Zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(KivLocalUnixTimeToGMTUnixTime(At(2024, 7, 1, 12), cet), At(2024, 7, 1, 10));
    EXPECT_EQ(KivLocalUnixTimeToGMTUnixTime(At(2024, 1, 1, 12), cet), At(2024, 1, 1, 11));
    // The repeated hour is taken as standard time, the skipped one lands after the skip.
    EXPECT_EQ(KivLocalUnixTimeToGMTUnixTime(At(2024, 10, 27, 2, 30), cet), At(2024, 10, 27, 1, 30));
    EXPECT_EQ(KivLocalUnixTimeToGMTUnixTime(At(2024, 3, 31, 2, 30), cet), At(2024, 3, 31, 1, 30));
    const auto sydney = Zone("AEST-10AEDT,M10.1.0,M4.1.0/3");
    for (uint32_t utc = At(2024, 1, 1); utc < At(2025, 1, 1); utc += 7 * 3600 + 13) {
        const uint32_t local = KivGMTUnixTimeToLocalUnixTime(utc, sydney);
        ASSERT_EQ(KivGMTUnixTimeToLocalUnixTime(KivLocalUnixTimeToGMTUnixTime(local, sydney), sydney), local);
    }
}

TEST(KivDateTime, HostZoneComesFromTZ) {
    std::optional<std::string> previous;
    if (const char* v = std::getenv("TZ"))
        previous = v;
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    EXPECT_EQ(KivGMTUnixTimeToLocalUnixTime(At(2024, 7, 1, 12)), At(2024, 7, 1, 8));
    EXPECT_EQ(KivLocalUnixTimeToGMTUnixTime(At(2024, 1, 1, 7)), At(2024, 1, 1, 12));
    if (previous)
        setenv("TZ", previous->c_str(), 1);
    else
        unsetenv("TZ");
}
