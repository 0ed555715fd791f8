// Date-times as the product stores them: an IEEE double counting days since 30 December 1899,
// the fraction being the time of day, in local time.
#pragma once

#include <cstdint>

struct CalendarTime {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// Whole milliseconds, rounded, as the date-time carries them.
CalendarTime DecodeDateTime(double dateTime);
// The inverse for valid calendar values (no range checks beyond what the arithmetic needs).
double EncodeDateTime(const CalendarTime& t);
// Days between 30 December 1899 and 1 January 1970.
inline constexpr int UnixEpochDays = 25569;
