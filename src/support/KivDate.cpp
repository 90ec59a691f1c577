#include "support/KivDate.h"

#include <cstdio>

namespace {

// Days from 1970-01-01 to a civil date and back (H. Hinnant's algorithms).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(y + (m <= 2));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Year, month and day of a day count.
struct Civil {
    int year = 0;
    int month = 0;
    int day = 0;
};

Civil CivilOf(int64_t days) {
    Civil civil;
    CivilFromDays(days, civil.year, civil.month, civil.day);
    return civil;
}

// The day's year, month and day through a printf format.
std::string Printed(int64_t days, const char* format) {
    const Civil civil = CivilOf(days);
    char buf[16];
    std::snprintf(buf, sizeof buf, format, civil.year, civil.month, civil.day);
    return buf;
}

} // namespace

KivDate KivDate::FromYMD(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return KivDate();
    return FromDays(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)));
}

KivDate KivDate::FromDays(int64_t daysSince1970) {
    KivDate d;
    d.m_null = false;
    d.m_days = daysSince1970;
    return d;
}

KivDate KivDate::FromDToS(const std::string& text) {
    if (text.size() != 8)
        return KivDate();
    for (char c : text)
        if (c < '0' || c > '9')
            return KivDate();
    int y = std::stoi(text.substr(0, 4)), m = std::stoi(text.substr(4, 2)), d = std::stoi(text.substr(6, 2));
    return FromYMD(y, m, d);
}

int KivDate::Year() const {
    return m_null ? 0 : CivilOf(m_days).year;
}

int KivDate::Month() const {
    return m_null ? 0 : CivilOf(m_days).month;
}

int KivDate::Day() const {
    return m_null ? 0 : CivilOf(m_days).day;
}

int KivDate::DayOfWeek() const {
    if (m_null)
        return 0;
    // 1970-01-01 was a Thursday (5 in the 1 = Sunday count).
    int64_t w = (m_days + 4) % 7;
    if (w < 0)
        w += 7;
    return static_cast<int>(w) + 1;
}

std::string KivDate::DToS() const {
    return m_null ? std::string(8, ' ') : Printed(m_days, "%04d%02d%02d");
}

std::string KivDate::ToIso() const {
    return m_null ? std::string() : Printed(m_days, "%04d-%02d-%02d");
}
