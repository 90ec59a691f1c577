#include "platform/KivTimeZone.h"
#include "common/KivTestHome.h"

#include <cstdlib>
#include <optional>

using namespace kiv;

namespace {

KivSystemTime Rule(uint16_t month, uint16_t week, uint16_t weekday, uint16_t hour, uint16_t minute = 0) {
    KivSystemTime st;
    st.wMonth = month;
    st.wDay = week;
    st.wDayOfWeek = weekday;
    st.wHour = hour;
    st.wMinute = minute;
    return st;
}

struct ParseCase {
    const char* rule;
    int32_t bias;
    int32_t daylightBias;
    KivSystemTime daylightDate;
    KivSystemTime standardDate;
};

// A TZif file of the given version with empty data blocks of the sizes the counts ask for.
std::string MakeTZif(char version, uint32_t timecnt, uint32_t typecnt, uint32_t charcnt,
                     const std::string& tail) {
    auto header = [&](uint32_t times) {
        std::string h = "TZif";
        h += version;
        h += std::string(15, '\0');
        for (uint32_t count : {0u, 0u, 0u, times, typecnt, charcnt}) {
            h += static_cast<char>(count >> 24);
            h += static_cast<char>(count >> 16);
            h += static_cast<char>(count >> 8);
            h += static_cast<char>(count);
        }
        return h;
    };
    std::string file = header(timecnt) + std::string(timecnt * 5 + typecnt * 6 + charcnt, '\x01');
    file += header(timecnt) + std::string(timecnt * 9 + typecnt * 6 + charcnt, '\x02');
    return file + tail;
}

// Sets TZ and TZDIR for one test and puts the previous values back.
class ScopedEnv {
public:
    explicit ScopedEnv(const char* name) : m_name(name) {
        if (const char* v = std::getenv(name))
            m_previous = v;
    }
    ~ScopedEnv() {
        if (m_previous)
            setenv(m_name, m_previous->c_str(), 1);
        else
            unsetenv(m_name);
    }
    void Set(const std::string& value) { setenv(m_name, value.c_str(), 1); }

private:
    const char* m_name;
    std::optional<std::string> m_previous;
};

} // namespace

class TimeZoneParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(TimeZoneParse, RuleMapsOntoTheWindowsRecord) {
    const ParseCase& c = GetParam();
    auto info = tz::ParseRule(c.rule, 2021);
    ASSERT_TRUE(info) << c.rule;
    EXPECT_EQ(info->Bias, c.bias);
    EXPECT_EQ(info->StandardBias, 0);
    EXPECT_EQ(info->DaylightBias, c.daylightBias);
    EXPECT_EQ(info->DaylightDate, c.daylightDate);
    EXPECT_EQ(info->StandardDate, c.standardDate);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TimeZoneParse,
    ::testing::Values(
        ParseCase{"CET-1CEST,M3.5.0,M10.5.0/3", -60, -60, Rule(3, 5, 0, 2), Rule(10, 5, 0, 3)},
        ParseCase{"<+0330>-3:30", -210, 0, {}, {}}, ParseCase{"UTC0", 0, 0, {}, {}},
        ParseCase{"EST5EDT,M3.2.0,M11.1.0", 300, -60, Rule(3, 2, 0, 2), Rule(11, 1, 0, 2)},
        ParseCase{"AEST-10AEDT,M10.1.0,M4.1.0/3", -600, -60, Rule(10, 1, 0, 2), Rule(4, 1, 0, 3)},
        // An explicit daylight offset, and a change-over time with minutes.
        ParseCase{"NZST-12NZDT-13,M9.5.0,M4.1.0/2:45", -720, -60, Rule(9, 5, 0, 2), Rule(4, 1, 0, 2, 45)},
        ParseCase{"<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", -630, -30, Rule(10, 1, 0, 2), Rule(4, 1, 0, 2)},
        // Without a rule the C library's US default applies.
        ParseCase{"EST5EDT", 300, -60, Rule(3, 2, 0, 2), Rule(11, 1, 0, 2)},
        // Hours past a day stay in wHour; negative times start the rule's day.
        ParseCase{"IST-2IDT,M3.4.4/26,M10.5.0", -120, -60, Rule(3, 4, 4, 26), Rule(10, 5, 0, 2)},
        ParseCase{"<-02>2<-01>,M3.5.0/-1,M10.5.0/0", 120, -60, Rule(3, 5, 0, 0), Rule(10, 5, 0, 0)},
        // Fixed days of the year take their week and weekday in the reference year (2021):
        // J79 is Saturday 20 March, J263 Monday 20 September.
        ParseCase{"<+0330>-3:30<+0430>,J79/24,J263/24", -210, -60, Rule(3, 3, 6, 24), Rule(9, 3, 1, 24)},
        ParseCase{"ABC1DEF,58,300", 60, -60, Rule(2, 4, 0, 2), Rule(10, 4, 4, 2)}));

TEST(TimeZone, AllYearDaylightSavingBecomesAFixedOffset) {
    auto info = tz::ParseRule("EST5EDT,0/0,J365/25", 2021);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Bias, 240);
    EXPECT_EQ(info->StandardDate.wMonth, 0);
    EXPECT_EQ(info->DaylightBias, 0);
}

TEST(TimeZone, FixedDayCountsTheLeapDayOnlyInTheZeroBasedForm) {
    // 2024 is a leap year: day 59 (0-based) is 29 February, J60 is 1 March.
    auto info = tz::ParseRule("ABC1DEF,59,J60", 2024);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->DaylightDate, Rule(2, 5, 4, 2)); // Thursday 29 February
    EXPECT_EQ(info->StandardDate, Rule(3, 1, 5, 2)); // Friday 1 March
}

TEST(TimeZone, MalformedRulesAreRefused) {
    for (const char* rule : {"",
                             "CE-1",
                             "CET",
                             "CET25",
                             "<+03",
                             "<+0 3>-3",
                             "CET-1 ",
                             "Europe/Berlin",
                             "CET-1CEST,M3.5.0",
                             "CET-1CEST,M13.1.0,M10.5.0",
                             "CET-1CEST,M3.6.0,M10.5.0",
                             "CET-1CEST,M3.5.7,M10.5.0",
                             "CET-1CEST,M3.0.0,M10.5.0",
                             "CET-1CEST,M3.5.0,M10.5.0/168",
                             "CET-1CEST,J0,J365",
                             "CET-1CEST,366,1",
                             "CET-1:60",
                             "<+30>24:33",
                             "CET-1CEST-24:00:01",
                             "CET-1CEST,M3.5.0,M10.5.0/3x",
                             "CET-0001CEST"})
        EXPECT_FALSE(tz::ParseRule(rule, 2021)) << rule;
}

TEST(TimeZone, FooterOfAVersion2FileIsItsLastLine) {
    EXPECT_EQ(tz::TZifFooter(MakeTZif('2', 3, 2, 8, "\nCET-1CEST,M3.5.0,M10.5.0/3\n")),
              "CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(tz::TZifFooter(MakeTZif('4', 0, 1, 4, "\nUTC0\n")), "UTC0");
    EXPECT_EQ(tz::TZifFooter(MakeTZif('3', 0, 1, 4, "\n\n")), "");
}

TEST(TimeZone, DamagedOrOldZoneFilesHaveNoFooter) {
    const std::string good = MakeTZif('2', 3, 2, 8, "\nUTC0\n");
    EXPECT_FALSE(tz::TZifFooter(MakeTZif('\0', 3, 2, 8, "\nUTC0\n"))); // version 1
    EXPECT_FALSE(tz::TZifFooter(good.substr(0, good.size() - 1)));     // no closing newline
    EXPECT_FALSE(tz::TZifFooter(good.substr(0, 100)));                 // cut in the data
    EXPECT_FALSE(tz::TZifFooter("TZif2"));
    EXPECT_FALSE(tz::TZifFooter(""));
    EXPECT_FALSE(tz::TZifFooter(MakeTZif('2', 0, 0, 0, "UTC0\n"))); // no newline before the rule
    std::string huge = good;
    huge[32] = huge[33] = huge[34] = huge[35] = '\xff'; // a time count far past the file's end
    EXPECT_FALSE(tz::TZifFooter(huge));
}

class TimeZoneHost : public KivTestHome {};

TEST_F(TimeZoneHost, TZVariableNamesARuleOrAZoneFile) {
    WriteFile(Scratch() / "Europe" / "Berlin", MakeTZif('2', 1, 1, 4, "\nCET-1CEST,M3.5.0,M10.5.0/3\n"));
    WriteFile(Scratch() / "broken", "not a zone file");
    ScopedEnv tzdir("TZDIR");
    tzdir.Set(Scratch().string());

    EXPECT_EQ(tz::FromTZVariable("EST5").Bias, 300);
    EXPECT_EQ(tz::FromTZVariable("Europe/Berlin").DaylightDate, Rule(3, 5, 0, 2));
    EXPECT_EQ(tz::FromTZVariable((":" + (Scratch() / "Europe" / "Berlin").string()).c_str()).Bias, -60);
    // An empty value, a missing file and a file without a rule all mean UTC.
    const KivTimeZoneInformation utc;
    EXPECT_EQ(tz::FromTZVariable(""), utc);
    EXPECT_EQ(tz::FromTZVariable("Nowhere/Town"), utc);
    EXPECT_EQ(tz::FromTZVariable(":broken"), utc);
    EXPECT_EQ(tz::FromTZVariable(":"), utc);
}

TEST_F(TimeZoneHost, LocalZoneFollowsChangesOfTZ) {
    ScopedEnv tzVar("TZ");
    tzVar.Set("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(tz::Local().Bias, 300);
    tzVar.Set("AEST-10AEDT,M10.1.0,M4.1.0/3");
    EXPECT_EQ(tz::Local().Bias, -600);
    EXPECT_EQ(tz::Local().StandardDate, Rule(4, 1, 0, 3));
}
