#include <windows.h>

#include <gtest/gtest.h>

#include "core/Convert.h"
#include "core/DateTime.h"
#include "core/Version.h"
#include "testing/LibraryAssertions.h"

namespace {

using namespace System;
using TestSupport::ExpectThrows;

TEST(ConvertTest, ParsesDecimalIntegersStrictly)
{
    EXPECT_EQ(Convert::ToInt32(L"42"), 42);
    EXPECT_EQ(Convert::ToInt32(L" -2147483648 "), INT32_MIN);
    EXPECT_EQ(Convert::ToInt32(L"+2147483647"), INT32_MAX);
    EXPECT_EQ(Convert::ToInt64(L"-9223372036854775808"), INT64_MIN);
    ExpectThrows<FormatException>([] { Convert::ToInt32(L"2147483648"); });
    ExpectThrows<FormatException>([] { Convert::ToInt64(L"9223372036854775808"); });
    ExpectThrows<FormatException>([] { Convert::ToInt32(L"12abc"); });
    ExpectThrows<FormatException>([] { Convert::ToInt32(L""); });
    ExpectThrows<FormatException>([] { Convert::ToInt32(L"-"); });
}

TEST(ConvertTest, FormatsInTheCommonBases)
{
    EXPECT_EQ(Convert::ToString(1024, 10), String(L"1024"));
    EXPECT_EQ(Convert::ToString(-5, 10), String(L"-5"));
    EXPECT_EQ(Convert::ToString(255, 16), String(L"ff"));
    EXPECT_EQ(Convert::ToString(5, 2), String(L"101"));
    EXPECT_EQ(Convert::ToString(-1, 16), String(L"ffffffff"));
    EXPECT_EQ(Convert::ToString(static_cast<int64_t>(-1), 16), String(L"ffffffffffffffff"));
    ExpectThrows<ArgumentException>([] { Convert::ToString(1, 7); });
}

TEST(VersionTest, ComparesPartByPartWithMissingPartsFirst)
{
    EXPECT_TRUE(Version(6, 0, 0, 0) <= Version(6, 1, 7601, 65536));
    EXPECT_FALSE(Version(6, 0, 0, 0) <= Version(5, 1, 2600, 0));
    EXPECT_TRUE(Version(L"7.6.7600.256") < Version(L"7.6.7600.320"));
    EXPECT_TRUE(Version(L"1.2") < Version(L"1.2.0"));
    EXPECT_EQ(Version(L"10.0.1"), Version(10, 0, 1));
    EXPECT_EQ(Version(L"3.0.12.4").ToString(), String(L"3.0.12.4"));
    EXPECT_EQ(Version(2, 5).ToString(), String(L"2.5"));
    ExpectThrows<ArgumentException>([] { Version(L"1"); });
    ExpectThrows<ArgumentException>([] { Version(L"1.2.3.4.5"); });
    ExpectThrows<ArgumentException>([] { Version(L"1.-2"); });
    ExpectThrows<ArgumentException>([] { Version(L"1.x"); });
}

TEST(DateTimeTest, FieldsFollowTheGregorianCalendar)
{
    DateTime leapDay(2024, 2, 29, 13, 45, 30, 250);
    EXPECT_EQ(leapDay.GetYear(), 2024);
    EXPECT_EQ(leapDay.GetMonth(), 2);
    EXPECT_EQ(leapDay.GetDay(), 29);
    EXPECT_EQ(leapDay.GetHour(), 13);
    EXPECT_EQ(leapDay.GetMinute(), 45);
    EXPECT_EQ(leapDay.GetSecond(), 30);
    EXPECT_EQ(leapDay.GetMillisecond(), 250);
    EXPECT_EQ(leapDay.GetDayOfWeek(), 4);
    EXPECT_EQ(DateTime(1, 1, 1).GetTicks(), 0);
    EXPECT_EQ(DateTime(2000, 12, 31).GetDay(), 31);
    EXPECT_EQ(DateTime(2100, 3, 1).AddDays(-1).GetDay(), 28);
    EXPECT_EQ(DateTime(9999, 12, 31, 23, 59, 59, 999).GetYear(), 9999);
    // The tick scale of the common .NET layout: 2001-01-01 is 631139040000000000.
    EXPECT_EQ(DateTime(2001, 1, 1).GetTicks(), 631139040000000000ll);
    EXPECT_EQ(leapDay.ToString(), String(L"2024-02-29 13:45:30"));
    ExpectThrows<ArgumentOutOfRangeException>([] { DateTime(2023, 2, 29); });
    ExpectThrows<ArgumentOutOfRangeException>([] { DateTime(-1, 1); });
    ExpectThrows<ArgumentOutOfRangeException>([] { DateTime(DateTime::MaxTicks + 1, 1); });
}

TEST(DateTimeTest, NowMatchesTheSystemClock)
{
    SYSTEMTIME local;
    GetLocalTime(&local);
    DateTime now = DateTime::GetNow();
    EXPECT_EQ(now.GetKind(), DateTime::Local);
    EXPECT_EQ(now.GetYear(), local.wYear);
    EXPECT_EQ(now.GetMonth(), local.wMonth);
    DateTime rebuilt(now.GetTicks(), DateTime::Utc);
    EXPECT_EQ(rebuilt, now);
    EXPECT_EQ(rebuilt.GetKind(), DateTime::Utc);
    EXPECT_TRUE(DateTime::GetToday() <= now);
    EXPECT_EQ(DateTime::GetToday().GetHour(), 0);
}

}  // namespace
