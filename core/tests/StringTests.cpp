#include <gtest/gtest.h>

#include "core/Exception.h"
#include "core/String.h"
#include "testing/LibraryAssertions.h"

using System::String;
using TestSupport::ExpectThrows;

namespace {

TEST(StringTest, EqualityIsOrdinalAndCaseSensitive)
{
    EXPECT_EQ(String(L"abc"), String(L"abc"));
    EXPECT_NE(String(L"abc"), String(L"ABC"));
    EXPECT_EQ(String::Compare(L"abc", L"ABC", true), 0);
    EXPECT_LT(String::Compare(L"abc", L"abd", false), 0);
    EXPECT_GT(String::Compare(L"b", L"a", true), 0);
    EXPECT_TRUE(String(L"임시파일").Equals(L"임시파일", false));
}

TEST(StringTest, SearchesAndSlices)
{
    String text = L"HKEY_CURRENT_USER\\Software\\Vela";
    EXPECT_EQ(text.IndexOf(L"\\"), 17);
    EXPECT_EQ(text.IndexOf(L'\\', 18), 26);
    EXPECT_EQ(text.LastIndexOf(L'\\'), 26);
    EXPECT_EQ(text.IndexOf(L"missing"), -1);
    EXPECT_EQ(text.Substring(18, 8), String(L"Software"));
    EXPECT_EQ(text.Substring(27), String(L"Vela"));
    EXPECT_TRUE(text.StartsWith(L"hkey_", true));
    EXPECT_FALSE(text.StartsWith(L"hkey_"));
    EXPECT_TRUE(text.EndsWith(L"Vela"));
    EXPECT_TRUE(text.Contains(L"Software"));
    ExpectThrows<System::ArgumentOutOfRangeException>([&] { text.Substring(30, 10); });
    ExpectThrows<System::ArgumentOutOfRangeException>([&] { text.Substring(-1); });
    ExpectThrows<System::ArgumentOutOfRangeException>([&] { text[100]; });
}

TEST(StringTest, SplitKeepsEmptyPiecesAndSplitsAtEveryListedCharacter)
{
    auto pieces = String(L"a;;b,c;").Split(L";,");
    ASSERT_EQ(pieces.GetLength(), 5);
    EXPECT_EQ(pieces[0], String(L"a"));
    EXPECT_EQ(pieces[1], String(L""));
    EXPECT_EQ(pieces[2], String(L"b"));
    EXPECT_EQ(pieces[3], String(L"c"));
    EXPECT_EQ(pieces[4], String(L""));
    EXPECT_EQ(String(L"").Split(L";").GetLength(), 1);
}

TEST(StringTest, ReplaceLowerUpperTrim)
{
    EXPECT_EQ(String(L"a.b.c").Replace(L".", L"::"), String(L"a::b::c"));
    EXPECT_EQ(String(L"aaa").Replace(L"aa", L"b"), String(L"ba"));
    ExpectThrows<System::ArgumentException>([] { String(L"x").Replace(L"", L"y"); });
    EXPECT_EQ(String(L"C:\\WINDOWS\\Temp").ToLower(), String(L"c:\\windows\\temp"));
    EXPECT_EQ(String(L"abc").ToUpper(), String(L"ABC"));
    EXPECT_EQ(String(L" \t 벨라 \r\n").Trim(), String(L"벨라"));
}

TEST(StringTest, FormatUsesWideStringsForPercentS)
{
    EXPECT_EQ(String::Format(L"%s=%d (%04X)", L"값", 42, 0x1b), String(L"값=42 (001B)"));
    EXPECT_EQ(String::Format(L"업데이트 중...%d%%", 40), String(L"업데이트 중...40%"));
    EXPECT_EQ(String::Format(L"%I64d", 1234567890123ll), String(L"1234567890123"));
    String longText(std::wstring(5000, L'가'));
    EXPECT_EQ(String::Format(L"<%s>", longText.GetBuffer()).GetLength(), 5002);
}

TEST(StringTest, Utf8RoundTripOfKorean)
{
    String text = L"벨라 툴박스 – 임시파일";
    std::string bytes = text.ToUtf8();
    EXPECT_EQ(bytes.size(), 33u);
    EXPECT_EQ(String::FromUtf8(bytes), text);
    EXPECT_EQ(String::FromUtf8("", 0), String());
}

TEST(StringTest, HashFollowsEquality)
{
    EXPECT_EQ(String(L"Disk.Temp").GetHashCode(), String(L"Disk").operator+(L".Temp").GetHashCode());
    EXPECT_NE(String(L"Disk.Temp").GetHashCode(), String(L"disk.temp").GetHashCode());
}

}  // namespace
