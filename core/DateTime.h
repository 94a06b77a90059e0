#pragma once

#include <cstdint>

#include "core/CoreApi.h"
#include "core/String.h"

namespace System {

// A point in time as 100-nanosecond ticks since 0001-01-01 00:00, with a kind label
// (0 unspecified, 1 UTC, 2 local). The kind labels the ticks; it never shifts them.
class VAPCORE_API DateTime {
public:
    enum Kind { Unspecified = 0, Utc = 1, Local = 2 };
    static constexpr int64_t TicksPerMillisecond = 10000;
    static constexpr int64_t TicksPerSecond = 1000 * TicksPerMillisecond;
    static constexpr int64_t TicksPerDay = 86400 * TicksPerSecond;
    // 9999-12-31 23:59:59.9999999
    static constexpr int64_t MaxTicks = 3652059 * TicksPerDay - 1;

    DateTime() = default;
    // Ticks outside 0..MaxTicks or an unknown kind raise ArgumentOutOfRangeException.
    explicit DateTime(int64_t ticks, int kind = Unspecified);
    DateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int millisecond = 0,
             int kind = Unspecified);

    static DateTime GetNow();
    static DateTime GetUtcNow();
    static DateTime GetToday();

    int64_t GetTicks() const { return ticks_; }
    int GetKind() const { return kind_; }
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const { return static_cast<int>(ticks_ / (3600 * TicksPerSecond) % 24); }
    int GetMinute() const { return static_cast<int>(ticks_ / (60 * TicksPerSecond) % 60); }
    int GetSecond() const { return static_cast<int>(ticks_ / TicksPerSecond % 60); }
    int GetMillisecond() const { return static_cast<int>(ticks_ / TicksPerMillisecond % 1000); }
    // 0 Sunday to 6 Saturday.
    int GetDayOfWeek() const { return static_cast<int>((ticks_ / TicksPerDay + 1) % 7); }
    // Midnight of the same day, same kind.
    DateTime GetDate() const { return DateTime(ticks_ - ticks_ % TicksPerDay, kind_); }
    DateTime AddDays(int days) const { return DateTime(ticks_ + days * TicksPerDay, kind_); }

    bool operator==(const DateTime& other) const { return ticks_ == other.ticks_; }
    bool operator!=(const DateTime& other) const { return ticks_ != other.ticks_; }
    bool operator<(const DateTime& other) const { return ticks_ < other.ticks_; }
    bool operator<=(const DateTime& other) const { return ticks_ <= other.ticks_; }
    bool operator>(const DateTime& other) const { return ticks_ > other.ticks_; }
    bool operator>=(const DateTime& other) const { return ticks_ >= other.ticks_; }

    // "yyyy-MM-dd HH:mm:ss"
    String ToString() const;

private:
    void GetCivilDate(int& year, int& month, int& day) const;

    int64_t ticks_ = 0;
    int kind_ = Unspecified;
};

}  // namespace System
