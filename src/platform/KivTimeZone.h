#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The fields of a Win32 SYSTEMTIME. As a change-over moment of a time-zone record with wYear 0 it
// is a yearly rule: month wMonth, week wDay of that month (1 to 4, 5 = the last), weekday
// wDayOfWeek (0 = Sunday), at wHour:wMinute:wSecond local time.
struct KivSystemTime {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;

    friend bool operator==(const KivSystemTime&, const KivSystemTime&) = default;
};

// The Win32 TIME_ZONE_INFORMATION the date conversions work from. All biases are minutes with
// the Windows sign: UTC = local time + Bias + StandardBias (or + DaylightBias while daylight
// saving is in effect). StandardDate.wMonth 0 means the zone has no change-overs.
// DaylightDate's time of day is in local standard time, StandardDate's in local daylight time.
struct KivTimeZoneInformation {
    int32_t Bias = 0;
    std::string StandardName = "UTC";
    KivSystemTime StandardDate;
    int32_t StandardBias = 0;
    std::string DaylightName;
    KivSystemTime DaylightDate;
    int32_t DaylightBias = 0;

    friend bool operator==(const KivTimeZoneInformation&, const KivTimeZoneInformation&) = default;
};

// The host's time-zone rule as that record. The host keeps it as a POSIX TZ rule: in the TZ
// variable, or as the last line of the TZif file behind /etc/localtime.
namespace kiv::tz {

// The record for a POSIX TZ rule such as "CET-1CEST,M3.5.0,M10.5.0/3"; empty when the text is
// not such a rule. POSIX forms that a Windows record cannot hold are mapped like this:
// - a change-over time of 24 hours or more (up to 167, "M3.4.4/26") keeps its extra hours in
//   wHour, which the conversions add to the rule's day, so such rules stay exact;
// - a negative change-over time ("M3.5.0/-1") is taken as 00:00 of the rule's day;
// - a fixed day of the year ("Jn", "n") becomes the week and weekday that day has in
//   referenceYear: exact in that year, at most six days off in others;
// - daylight saving all year ("0/0,J365/25", as zic writes it) becomes a zone without
//   change-overs whose Bias already holds the daylight offset;
// - a daylight name without a rule gets the rule "M3.2.0,M11.1.0", as the C library assumes;
// - seconds in an offset are rounded to the nearest minute.
std::optional<KivTimeZoneInformation> ParseRule(std::string_view rule, int referenceYear);
// The same with the current year (UTC) as referenceYear.
std::optional<KivTimeZoneInformation> ParseRule(std::string_view rule);

// The POSIX rule at the end of a TZif file of version 2 or later (the text between the two
// newlines after the second data block); empty for anything else, including a version 1 file.
std::optional<std::string> TZifFooter(std::string_view fileBytes);

// The record for a value of the TZ variable (nullptr: unset). Unset means the TZif file behind
// /etc/localtime; an empty value means UTC; ":name" and a value that is no rule name a TZif file
// (absolute, or below $TZDIR or /usr/share/zoneinfo). No file or no rule gives UTC.
KivTimeZoneInformation FromTZVariable(const char* value);

// The record the program converts with: FromTZVariable of the current TZ variable. It is read
// again only when TZ changes, as the C library does.
KivTimeZoneInformation Local();

} // namespace kiv::tz
