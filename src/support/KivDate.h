#pragma once

#include <cstdint>
#include <string>

// A calendar day of the proleptic Gregorian calendar, or the null date. Held as a day number
// counted from 1970-01-01, so dates before 1970 and far after 2038 work alike.
class KivDate {
public:
    KivDate() = default; // the null date

    // Null when the fields do not name a real day.
    static KivDate FromYMD(int year, int month, int day);
    static KivDate FromDays(int64_t daysSince1970);
    // Eight digits YYYYMMDD; null for anything else (also for "        ").
    static KivDate FromDToS(const std::string& text);

    bool IsNull() const { return m_null; }
    int Year() const;
    int Month() const;
    int Day() const;
    // 1 = Sunday ... 7 = Saturday, as the run-time counts; 0 for the null date.
    int DayOfWeek() const;
    int64_t DaysSince1970() const { return m_days; }

    // Eight digits YYYYMMDD, or eight blanks for the null date.
    std::string DToS() const;
    // YYYY-MM-DD, or an empty text for the null date.
    std::string ToIso() const;

    // Adding days to the null date gives the null date.
    KivDate operator+(int64_t days) const { return m_null ? KivDate() : FromDays(m_days + days); }
    KivDate operator-(int64_t days) const { return *this + (-days); }

    friend bool operator==(const KivDate& a, const KivDate& b) {
        return a.m_null == b.m_null && (a.m_null || a.m_days == b.m_days);
    }
    // The null date sorts before every real date.
    friend bool operator<(const KivDate& a, const KivDate& b) {
        if (a.m_null || b.m_null)
            return a.m_null && !b.m_null;
        return a.m_days < b.m_days;
    }
    friend bool operator>(const KivDate& a, const KivDate& b) { return b < a; }
    friend bool operator<=(const KivDate& a, const KivDate& b) { return !(b < a); }
    friend bool operator>=(const KivDate& a, const KivDate& b) { return !(a < b); }

private:
    bool m_null = true;
    int64_t m_days = 0;
};
