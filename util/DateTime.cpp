#include "util/DateTime.h"

#include <cmath>

namespace {

constexpr std::int64_t MsPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil calendar algorithms).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

} // namespace

CalendarTime DecodeDateTime(double dateTime) {
    // The time of day is the fraction's distance from the whole day, also for dates before
    // 1899, where the whole part is negative and the fraction still counts forward.
    double whole = std::trunc(dateTime);
    std::int64_t ms = std::llround(std::fabs(dateTime - whole) * MsPerDay);
    if (ms >= MsPerDay) { // rounding reached midnight of the next day
        ms -= MsPerDay;
        whole += dateTime < 0 ? -1 : 1;
    }
    CalendarTime t;
    CivilFromDays(static_cast<std::int64_t>(whole) - UnixEpochDays, t.Year, t.Month, t.Day);
    t.Hour = static_cast<int>(ms / 3600000);
    t.Minute = static_cast<int>(ms / 60000 % 60);
    t.Second = static_cast<int>(ms / 1000 % 60);
    t.Millisecond = static_cast<int>(ms % 1000);
    return t;
}

double EncodeDateTime(const CalendarTime& t) {
    const double days = static_cast<double>(
        DaysFromCivil(t.Year, static_cast<unsigned>(t.Month), static_cast<unsigned>(t.Day)) +
        UnixEpochDays);
    const double time =
        ((t.Hour * 60.0 + t.Minute) * 60.0 + t.Second) * 1000.0 + t.Millisecond;
    // Before 1899 the fraction counts forward from a negative whole day.
    return days >= 0 ? days + time / MsPerDay : days - time / MsPerDay;
}
