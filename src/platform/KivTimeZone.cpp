#include "platform/KivTimeZone.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <mutex>

namespace kiv::tz {
namespace {

constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;
// Zone files are a few kilobytes; anything far larger is not one.
constexpr size_t kMaxZoneFile = 4 * 1024 * 1024;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAlpha(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsLeap(int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// Days from 1970-01-01 to a civil date and back (H. Hinnant's algorithms); platform cannot use
// the support library's date type.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
}

class Cursor {
public:
    explicit Cursor(std::string_view text) : m_text(text) {}
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }
    bool Take(char c) {
        if (Peek() != c || AtEnd())
            return false;
        ++m_pos;
        return true;
    }

    // A zone name: three or more letters, or "<...>" with letters, digits, '+' and '-'.
    bool Name(std::string& name) {
        size_t start = m_pos;
        if (Take('<')) {
            start = m_pos;
            while (!AtEnd() && m_text[m_pos] != '>') {
                char c = m_text[m_pos];
                if (!IsAlpha(c) && !IsDigit(c) && c != '+' && c != '-')
                    return false;
                ++m_pos;
            }
            if (AtEnd())
                return false;
            name.assign(m_text.substr(start, m_pos - start));
            ++m_pos;
        } else {
            while (!AtEnd() && IsAlpha(m_text[m_pos]))
                ++m_pos;
            name.assign(m_text.substr(start, m_pos - start));
        }
        return name.size() >= 3;
    }

    // Up to three digits, within [0, max].
    bool Number(int max, int& value) {
        if (!IsDigit(Peek()))
            return false;
        value = 0;
        int digits = 0;
        while (IsDigit(Peek())) {
            if (++digits > 3)
                return false;
            value = value * 10 + (m_text[m_pos++] - '0');
        }
        return value <= max;
    }

    // [+|-]hh[:mm[:ss]] in seconds, hours at most maxHours.
    bool Time(int maxHours, int64_t& seconds) {
        int sign = 1;
        if (Take('-'))
            sign = -1;
        else
            Take('+');
        int h = 0, m = 0, s = 0;
        if (!Number(maxHours, h))
            return false;
        if (Take(':')) {
            if (!Number(59, m))
                return false;
            if (Take(':') && !Number(59, s))
                return false;
        }
        seconds = sign * (h * kHour + m * 60 + s);
        return true;
    }

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

struct RuleDate {
    enum Kind { kJulian1, kJulian0, kMonthWeekDay } kind = kMonthWeekDay;
    int a = 0, b = 0, c = 0;
    int64_t time = 2 * kHour;
};

bool ParseRuleDate(Cursor& cur, RuleDate& date) {
    if (cur.Take('J')) {
        date.kind = RuleDate::kJulian1;
        if (!cur.Number(365, date.a) || date.a < 1)
            return false;
    } else if (cur.Take('M')) {
        date.kind = RuleDate::kMonthWeekDay;
        if (!cur.Number(12, date.a) || date.a < 1 || !cur.Take('.') || !cur.Number(5, date.b) || date.b < 1 ||
            !cur.Take('.') || !cur.Number(6, date.c))
            return false;
    } else {
        date.kind = RuleDate::kJulian0;
        if (!cur.Number(365, date.a))
            return false;
    }
    if (cur.Take('/'))
        return cur.Time(167, date.time);
    return true;
}

KivSystemTime ToSystemTime(const RuleDate& date, int referenceYear) {
    KivSystemTime st;
    if (date.kind == RuleDate::kMonthWeekDay) {
        st.wMonth = static_cast<uint16_t>(date.a);
        st.wDay = static_cast<uint16_t>(date.b);
        st.wDayOfWeek = static_cast<uint16_t>(date.c);
    } else {
        // A fixed day of the year: its week and weekday in the reference year.
        const bool leap = IsLeap(referenceYear);
        int yday = date.a; // 0-based
        if (date.kind == RuleDate::kJulian1)
            yday = date.a - 1 + (leap && date.a >= 60 ? 1 : 0);
        else if (!leap && yday > 364)
            yday = 364;
        const int64_t days = DaysFromCivil(referenceYear, 1, 1) + yday;
        int month = 1, day = 1;
        CivilFromDays(days, month, day);
        int64_t weekday = (days + 4) % 7; // 1970-01-01 was a Thursday
        if (weekday < 0)
            weekday += 7;
        st.wMonth = static_cast<uint16_t>(month);
        st.wDay = static_cast<uint16_t>((day - 1) / 7 + 1);
        st.wDayOfWeek = static_cast<uint16_t>(weekday);
    }
    const int64_t time = date.time < 0 ? 0 : date.time;
    st.wHour = static_cast<uint16_t>(time / kHour);
    st.wMinute = static_cast<uint16_t>(time % kHour / 60);
    st.wSecond = static_cast<uint16_t>(time % 60);
    return st;
}

// Offsets from UTC reach at most 24 hours either way.
bool WithinADay(int64_t offset) {
    return offset >= -kDay && offset <= kDay;
}

int32_t RoundToMinutes(int64_t seconds) {
    const int64_t rounded = seconds >= 0 ? (seconds + 30) / 60 : -((-seconds + 30) / 60);
    return static_cast<int32_t>(rounded);
}

int CurrentYear() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    if (!gmtime_r(&now, &utc))
        return 2000;
    return utc.tm_year + 1900;
}

uint32_t BigEndian32(std::string_view bytes, size_t at) {
    auto b = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])); };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

// Length of a TZif data block after its 44-byte header; timeSize is 4 (version 1 block) or 8.
bool DataBlockLength(std::string_view bytes, size_t header, uint64_t timeSize, uint64_t& length) {
    if (bytes.size() < header + 44 || bytes.substr(header, 4) != "TZif")
        return false;
    const uint64_t isutcnt = BigEndian32(bytes, header + 20);
    const uint64_t isstdcnt = BigEndian32(bytes, header + 24);
    const uint64_t leapcnt = BigEndian32(bytes, header + 28);
    const uint64_t timecnt = BigEndian32(bytes, header + 32);
    const uint64_t typecnt = BigEndian32(bytes, header + 36);
    const uint64_t charcnt = BigEndian32(bytes, header + 40);
    // Each count is below 2^32, so the sum cannot overflow 64 bits.
    length = timecnt * (timeSize + 1) + typecnt * 6 + charcnt + leapcnt * (timeSize + 4) + isstdcnt + isutcnt;
    return true;
}

std::optional<std::string> ReadZoneFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes;
    char chunk[16384];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<size_t>(in.gcount()));
        if (bytes.size() > kMaxZoneFile)
            return std::nullopt;
    }
    return bytes;
}

std::optional<KivTimeZoneInformation> FromZoneFile(std::string name) {
    if (name.empty())
        return std::nullopt;
    if (name.front() != '/') {
        const char* dir = std::getenv("TZDIR");
        name = std::string(dir && *dir ? dir : "/usr/share/zoneinfo") + "/" + name;
    }
    auto bytes = ReadZoneFile(name);
    if (!bytes)
        return std::nullopt;
    auto footer = TZifFooter(*bytes);
    if (!footer)
        return std::nullopt;
    return ParseRule(*footer);
}

} // namespace

std::optional<KivTimeZoneInformation> ParseRule(std::string_view rule, int referenceYear) {
    Cursor cur(rule);
    KivTimeZoneInformation info;
    int64_t stdOffset = 0;
    if (!cur.Name(info.StandardName) || !cur.Time(24, stdOffset) || !WithinADay(stdOffset))
        return std::nullopt;
    info.Bias = RoundToMinutes(stdOffset);
    if (cur.AtEnd()) {
        info.DaylightName.clear();
        return info;
    }

    if (!cur.Name(info.DaylightName))
        return std::nullopt;
    int64_t dstOffset = stdOffset - kHour;
    if (!cur.AtEnd() && cur.Peek() != ',' && (!cur.Time(24, dstOffset) || !WithinADay(dstOffset)))
        return std::nullopt;
    RuleDate start, end;
    if (cur.Take(',')) {
        if (!ParseRuleDate(cur, start) || !cur.Take(',') || !ParseRuleDate(cur, end))
            return std::nullopt;
    } else {
        start.a = 3, start.b = 2, start.c = 0;
        end.a = 11, end.b = 1, end.c = 0;
    }
    if (!cur.AtEnd())
        return std::nullopt;

    const int64_t saving = stdOffset - dstOffset;
    const bool startsAtNewYear = (start.kind == RuleDate::kJulian0 && start.a == 0) ||
                                 (start.kind == RuleDate::kJulian1 && start.a == 1);
    const bool endsAtNewYear = end.kind == RuleDate::kJulian1 && end.a == 365;
    if (startsAtNewYear && start.time <= 0 && endsAtNewYear && end.time >= kDay + saving) {
        info.Bias = RoundToMinutes(dstOffset);
        return info;
    }

    info.DaylightBias = RoundToMinutes(dstOffset) - info.Bias;
    info.DaylightDate = ToSystemTime(start, referenceYear);
    info.StandardDate = ToSystemTime(end, referenceYear);
    return info;
}

std::optional<KivTimeZoneInformation> ParseRule(std::string_view rule) {
    return ParseRule(rule, CurrentYear());
}

std::optional<std::string> TZifFooter(std::string_view fileBytes) {
    if (fileBytes.size() < 44 || fileBytes.substr(0, 4) != "TZif")
        return std::nullopt;
    const char version = fileBytes[4];
    if (version < '2' || version > '9')
        return std::nullopt;
    uint64_t v1Length = 0, v2Length = 0;
    if (!DataBlockLength(fileBytes, 0, 4, v1Length) || v1Length > fileBytes.size())
        return std::nullopt;
    const size_t secondHeader = 44 + static_cast<size_t>(v1Length);
    if (!DataBlockLength(fileBytes, secondHeader, 8, v2Length) || v2Length > fileBytes.size())
        return std::nullopt;
    const uint64_t footer = secondHeader + 44 + v2Length;
    if (footer >= fileBytes.size() || fileBytes[footer] != '\n')
        return std::nullopt;
    const size_t begin = static_cast<size_t>(footer) + 1;
    const size_t newline = fileBytes.find('\n', begin);
    if (newline == std::string_view::npos)
        return std::nullopt;
    return std::string(fileBytes.substr(begin, newline - begin));
}

KivTimeZoneInformation FromTZVariable(const char* value) {
    std::optional<KivTimeZoneInformation> info;
    if (value == nullptr)
        info = FromZoneFile("/etc/localtime");
    else if (*value == ':')
        info = FromZoneFile(value + 1);
    else if (*value != '\0') {
        info = ParseRule(value);
        if (!info)
            info = FromZoneFile(value);
    }
    return info ? *info : KivTimeZoneInformation();
}

KivTimeZoneInformation Local() {
    static std::mutex mutex;
    static bool loaded = false;
    static std::optional<std::string> loadedFor;
    static KivTimeZoneInformation cached;

    const char* value = std::getenv("TZ");
    std::optional<std::string> key;
    if (value)
        key = value;
    std::lock_guard<std::mutex> lock(mutex);
    if (!loaded || key != loadedFor) {
        cached = FromTZVariable(value);
        loadedFor = key;
        loaded = true;
    }
    return cached;
}

} // namespace kiv::tz
