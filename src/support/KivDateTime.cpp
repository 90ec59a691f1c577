#include "support/KivDateTime.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

constexpr int64_t kDay = 86400;
char g_timeSeparator = ':';

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

uint32_t Clamp32(int64_t seconds) {
    return static_cast<uint32_t>(std::clamp<int64_t>(seconds, 0, int64_t{0xFFFFFFFF}));
}

// The local moment (seconds since 1970) of a change-over in the given year; empty when the
// record's fields name no day.
std::optional<int64_t> ChangeOverLocal(const KivSystemTime& moment, int year) {
    KivDate day;
    if (moment.wYear != 0) {
        day = KivSystemTimeToVODate(moment);
    } else {
        const KivDate first = KivDate::FromYMD(year, moment.wMonth, 1);
        if (first.IsNull())
            return std::nullopt;
        const int weekday = moment.wDayOfWeek % 7 + 1;
        const KivDate firstMatch = KivGetFirstDOW(weekday, first);
        const KivDate lastMatch = KivGetLastDOW(weekday, first);
        // Week 5 stands for the last such weekday, as in Windows; so does any week past it.
        day = firstMatch + (std::max<int>(moment.wDay, 1) - 1) * 7;
        if (day > lastMatch)
            day = lastMatch;
    }
    if (day.IsNull())
        return std::nullopt;
    return day.DaysSince1970() * kDay + KivSystemTimeToVOTime(moment);
}

// The bias in minutes (UTC = local + bias) in effect at a UTC moment.
int64_t BiasAt(int64_t utc, const KivTimeZoneInformation& zone) {
    if (zone.StandardDate.wMonth == 0 || zone.DaylightDate.wMonth == 0)
        return zone.Bias;
    const int64_t standard = int64_t{zone.Bias} + zone.StandardBias;
    const int64_t daylight = int64_t{zone.Bias} + zone.DaylightBias;
    const int year = KivDate::FromDays(FloorDiv(utc - standard * 60, kDay)).Year();
    const auto start = ChangeOverLocal(zone.DaylightDate, year);
    const auto end = ChangeOverLocal(zone.StandardDate, year);
    if (!start || !end)
        return zone.Bias;
    // Daylight saving starts at a local standard time and ends at a local daylight time.
    const int64_t startUtc = *start + standard * 60;
    const int64_t endUtc = *end + daylight * 60;
    const bool inDaylight =
        startUtc <= endUtc ? (utc >= startUtc && utc <= endUtc) : (utc <= endUtc || utc >= startUtc);
    return inDaylight ? daylight : standard;
}

// The leading number of a field of up to two characters at pos, as the run-time's Val reads it.
int FieldValue(std::string_view text, size_t pos) {
    if (pos >= text.size())
        return 0;
    std::string_view field = text.substr(pos, 2);
    size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    int sign = 1;
    if (i < field.size() && (field[i] == '-' || field[i] == '+'))
        sign = field[i++] == '-' ? -1 : 1;
    int value = 0;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9')
        value = value * 10 + (field[i++] - '0');
    return sign * value;
}

} // namespace

uint32_t KivGMTUnixTimeToLocalUnixTime(uint32_t gmtSeconds, const KivTimeZoneInformation& zone) {
    return Clamp32(int64_t{gmtSeconds} - BiasAt(gmtSeconds, zone) * 60);
}

uint32_t KivGMTUnixTimeToLocalUnixTime(uint32_t gmtSeconds) {
    return KivGMTUnixTimeToLocalUnixTime(gmtSeconds, kiv::tz::Local());
}

uint32_t KivLocalUnixTimeToGMTUnixTime(uint32_t localSeconds, const KivTimeZoneInformation& zone) {
    const int64_t local = localSeconds;
    const int64_t standard = int64_t{zone.Bias} + zone.StandardBias;
    const int64_t daylight = int64_t{zone.Bias} + zone.DaylightBias;
    for (int64_t bias : {standard, daylight, int64_t{zone.Bias}}) {
        if (BiasAt(local + bias * 60, zone) == bias)
            return Clamp32(local + bias * 60);
    }
    return Clamp32(local + standard * 60);
}

uint32_t KivLocalUnixTimeToGMTUnixTime(uint32_t localSeconds) {
    return KivLocalUnixTimeToGMTUnixTime(localSeconds, kiv::tz::Local());
}

uint32_t KivSystemTimeToVOTime(const KivSystemTime& time) {
    return uint32_t{time.wHour} * 3600 + uint32_t{time.wMinute} * 60 + time.wSecond;
}

KivDate KivSystemTimeToVODate(const KivSystemTime& time) {
    return KivDate::FromYMD(time.wYear, time.wMonth, time.wDay);
}

KivDate KivGetFirstDOW(int dayOfWeek, const KivDate& inMonth) {
    if (inMonth.IsNull() || dayOfWeek < 1 || dayOfWeek > 7)
        return KivDate();
    const KivDate first = KivDate::FromYMD(inMonth.Year(), inMonth.Month(), 1);
    return first + (dayOfWeek - first.DayOfWeek() + 7) % 7;
}

KivDate KivGetLastDOW(int dayOfWeek, const KivDate& inMonth) {
    if (inMonth.IsNull() || dayOfWeek < 1 || dayOfWeek > 7)
        return KivDate();
    const int year = inMonth.Year() + (inMonth.Month() == 12 ? 1 : 0);
    const int month = inMonth.Month() % 12 + 1;
    const KivDate last = KivDate::FromYMD(year, month, 1) - 1;
    if (last.IsNull()) // December of the year 9999
        return KivDate();
    return last - (last.DayOfWeek() - dayOfWeek + 7) % 7;
}

char KivGetTimeSep() {
    return g_timeSeparator;
}

void KivSetTimeSep(char separator) {
    g_timeSeparator = separator;
}

std::string KivTString(uint32_t seconds) {
    seconds %= kDay;
    char text[16];
    std::snprintf(text, sizeof text, "%02u%c%02u%c%02u", seconds / 3600, g_timeSeparator, seconds / 60 % 60,
                  g_timeSeparator, seconds % 60);
    return text;
}

std::pair<KivDate, std::string> KivUnixTimeToDateTime(uint32_t seconds) {
    return {KivDate::FromDays(seconds / kDay), KivTString(seconds % kDay)};
}

uint16_t KivDate2PackedWord(const KivDate& date) {
    if (date.IsNull() || date.Year() < 1980 || date.Year() > 2107)
        return 0;
    return static_cast<uint16_t>((date.Year() - 1980) << 9 | date.Month() << 5 | date.Day());
}

uint16_t KivTime2PackedWord(std::string_view time) {
    const int hours = std::clamp(FieldValue(time, 0), 0, 23);
    const int minutes = std::clamp(FieldValue(time, 3), 0, 59);
    const int seconds = std::clamp(FieldValue(time, 6), 0, 59);
    return static_cast<uint16_t>(hours << 11 | minutes << 5 | seconds / 2);
}

KivDate KivPackedWord2Date(uint16_t word) {
    return KivDate::FromYMD((word >> 9) + 1980, (word >> 5) & 0x0F, word & 0x1F);
}

std::string KivPackedWord2Time(uint16_t word) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned{word} >> 11, (unsigned{word} >> 5) & 0x3F,
                  (unsigned{word} & 0x1F) * 2);
    return text;
}
