#include "core/DateTime.h"

#include <windows.h>

#include "core/Exception.h"

namespace System {

namespace {

// Days between 0001-01-01 and 1601-01-01, the start of the platform's FILETIME.
constexpr int64_t FileTimeEpochTicks = 584388 * DateTime::TicksPerDay;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days from 0001-01-01 to the given date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int year, int month, int day)
{
    int64_t y = year - 1;
    int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    return days + day - 1;
}

DateTime FromFileTime(const FILETIME& time, int kind)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return DateTime(static_cast<int64_t>(value.QuadPart) + FileTimeEpochTicks, kind);
}

}  // namespace

DateTime::DateTime(int64_t ticks, int kind) : ticks_(ticks), kind_(kind)
{
    if (ticks < 0 || ticks > MaxTicks) throw new ArgumentOutOfRangeException(L"ticks");
    if (kind < Unspecified || kind > Local) throw new ArgumentOutOfRangeException(L"kind");
}

DateTime::DateTime(int year, int month, int day, int hour, int minute, int second, int millisecond, int kind)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        throw new ArgumentOutOfRangeException(L"The date and time are not valid.");
    if (kind < Unspecified || kind > Local) throw new ArgumentOutOfRangeException(L"kind");
    ticks_ = DaysFromCivil(year, month, day) * TicksPerDay +
             ((hour * 60 + minute) * 60 + second) * TicksPerSecond + millisecond * TicksPerMillisecond;
    kind_ = kind;
}

DateTime DateTime::GetNow()
{
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    SYSTEMTIME local;
    FILETIME time;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) || !SystemTimeToFileTime(&local, &time))
        return GetUtcNow();
    return FromFileTime(time, Local);
}

DateTime DateTime::GetUtcNow()
{
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    return FromFileTime(time, Utc);
}

DateTime DateTime::GetToday() { return GetNow().GetDate(); }

void DateTime::GetCivilDate(int& year, int& month, int& day) const
{
    int64_t days = ticks_ / TicksPerDay;
    // 400 years hold 146097 days; then centuries, four-year groups and single years.
    int64_t y400 = days / 146097;
    days %= 146097;
    int64_t y100 = days / 36524;
    if (y100 == 4) y100 = 3;
    days -= y100 * 36524;
    int64_t y4 = days / 1461;
    days %= 1461;
    int64_t y1 = days / 365;
    if (y1 == 4) y1 = 3;
    days -= y1 * 365;
    year = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
    month = 1;
    while (days >= DaysInMonth(year, month)) {
        days -= DaysInMonth(year, month);
        ++month;
    }
    day = static_cast<int>(days) + 1;
}

int DateTime::GetYear() const
{
    int year, month, day;
    GetCivilDate(year, month, day);
    return year;
}

int DateTime::GetMonth() const
{
    int year, month, day;
    GetCivilDate(year, month, day);
    return month;
}

int DateTime::GetDay() const
{
    int year, month, day;
    GetCivilDate(year, month, day);
    return day;
}

String DateTime::ToString() const
{
    int year, month, day;
    GetCivilDate(year, month, day);
    return String::Format(L"%04d-%02d-%02d %02d:%02d:%02d", year, month, day, GetHour(), GetMinute(), GetSecond());
}

}  // namespace System
