#include "platform/KivTimeZone.h"
#include "support/KivDateTime.h"

#include <cstdlib>
#include <string_view>

namespace {

// What every record from the parser must hold, whatever the text was.
void Check(const KivTimeZoneInformation& zone) {
    for (const KivSystemTime* st : {&zone.StandardDate, &zone.DaylightDate}) {
        if (st->wYear != 0 || st->wMonth > 12 || st->wDay > 5 || st->wDayOfWeek > 6 || st->wHour > 167 ||
            st->wMinute > 59 || st->wSecond > 59)
            std::abort();
    }
    if (zone.Bias < -24 * 60 || zone.Bias > 24 * 60)
        std::abort();
    // The conversions must take any record the parser gives, at both ends of the range; without
    // change-overs, local time and back is the identity wherever nothing was clamped.
    for (uint32_t t : {0u, 86400u * 365 * 30, 86400u * 365 * 55 + 3600 * 13, 0xFFFFFFFFu}) {
        const uint32_t local = KivGMTUnixTimeToLocalUnixTime(t, zone);
        const uint32_t back = KivLocalUnixTimeToGMTUnixTime(local, zone);
        if (zone.StandardDate.wMonth == 0 && local != 0 && local != 0xFFFFFFFFu && back != t)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (auto footer = kiv::tz::TZifFooter(bytes)) {
        if (auto zone = kiv::tz::ParseRule(*footer, 2024))
            Check(*zone);
    }
    // The same bytes as a rule, in a common and in a leap year.
    for (int year : {2023, 2024}) {
        if (auto zone = kiv::tz::ParseRule(bytes, year))
            Check(*zone);
    }
    return 0;
}
