#pragma once

#include "platform/KivTimeZone.h"
#include "support/KivDate.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// Conversions between moments (seconds since 1970-01-01 00:00:00), dates, hh:mm:ss time texts,
// SYSTEMTIME fields and the packed MS-DOS dates and times that files carry.

// A UTC moment as local time under the zone record (or the host's zone). The result stays
// within 0 and 0xFFFFFFFF instead of wrapping. Daylight saving follows the record's yearly
// change-overs, honouring their weekday, and compares each change-over in the time frame it is
// given in; a zone whose daylight period spans the new year (southern hemisphere) has daylight
// saving before its standard change-over and after its daylight one.
uint32_t KivGMTUnixTimeToLocalUnixTime(uint32_t gmtSeconds, const KivTimeZoneInformation& zone);
uint32_t KivGMTUnixTimeToLocalUnixTime(uint32_t gmtSeconds);

// The reverse: the UTC moment a local time stands for. A local time that occurs twice (the hour
// repeated when daylight saving ends) is taken as standard time; one that does not occur (the
// hour skipped when it starts) as standard time too, which lands after the skip.
uint32_t KivLocalUnixTimeToGMTUnixTime(uint32_t localSeconds, const KivTimeZoneInformation& zone);
uint32_t KivLocalUnixTimeToGMTUnixTime(uint32_t localSeconds);

// Hours, minutes and seconds as seconds since midnight (hours past 23 are kept).
uint32_t KivSystemTimeToVOTime(const KivSystemTime& time);
// The date of the year, month and day fields; the null date when they name no day.
KivDate KivSystemTimeToVODate(const KivSystemTime& time);

// The first and the last day of the month of inMonth that fall on the weekday (1 = Sunday to
// 7 = Saturday); the null date for a null date or another weekday number.
KivDate KivGetFirstDOW(int dayOfWeek, const KivDate& inMonth);
KivDate KivGetLastDOW(int dayOfWeek, const KivDate& inMonth);

// The time separator the run-time puts between hours, minutes and seconds in KivTString.
char KivGetTimeSep();
void KivSetTimeSep(char separator);

// Seconds of a day as hh:mm:ss with the current time separator; counts of a day or more are
// taken modulo 86400.
std::string KivTString(uint32_t seconds);

// The (date, time text) pair a moment is shown as: 1970-01-01 plus its whole days, and the rest
// of the day as KivTString gives it. The moment is used as it is, without zone conversion.
std::pair<KivDate, std::string> KivUnixTimeToDateTime(uint32_t seconds);

// MS-DOS packed date: day in bits 0-4, month in bits 5-8, year - 1980 in bits 9-15. A date the
// format cannot hold (null, before 1980 or after 2107) gives 0.
uint16_t KivDate2PackedWord(const KivDate& date);
// MS-DOS packed time: seconds / 2 in bits 0-4, minutes in bits 5-10, hours in bits 11-15. The
// fields are read by position (characters 1-2, 4-5 and 7-8) as numbers; a field outside its range
// is held to it (hours 0-23, minutes and seconds 0-59), so it never spills into its neighbour.
uint16_t KivTime2PackedWord(std::string_view time);
// The reverse of the two above; a word that names no day gives the null date.
KivDate KivPackedWord2Date(uint16_t word);
std::string KivPackedWord2Time(uint16_t word);
