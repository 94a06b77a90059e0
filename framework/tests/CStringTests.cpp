#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/CException.h"
#include "framework/CString.h"
#include "framework/ModuleState.h"

// Shows texts in failure messages.
void PrintTo(const CString& text, std::ostream* out) { *out << ::testing::PrintToString(std::wstring(text.GetString())); }

namespace {

// Runs work, expecting a framework exception of kind Kind; deletes it as a catcher must.
template <class Kind, class Work>
void ExpectFrameworkException(Work&& work)
{
    try {
        work();
    } catch (CException* caught) {
        EXPECT_NE(dynamic_cast<Kind*>(caught), nullptr);
        caught->Delete();
        return;
    }
    ADD_FAILURE() << "nothing was thrown";
}

TEST(CStringConstruction, TakesWideAndNarrowText)
{
    EXPECT_EQ(CString(L"벨라"), L"벨라");
    EXPECT_EQ(CString(L"abcdef", 3), L"abc");
    EXPECT_EQ(CString("plain ascii"), L"plain ascii");
    EXPECT_EQ(CString(L'-', 4), L"----");
    EXPECT_TRUE(CString(static_cast<LPCWSTR>(nullptr)).IsEmpty());
    EXPECT_TRUE(CString(static_cast<LPCSTR>(nullptr)).IsEmpty());

    // A narrow byte above 0x7F is read in the ANSI code page, as the system reads it.
    const char narrow[] = "caf\xE9";
    wchar_t expected[8] = {};
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, narrow, -1, expected, 8), 0);
    EXPECT_EQ(CString(narrow), expected);
}

TEST(CStringConstruction, CopiesAreIndependentAndSelfAssignmentKeepsText)
{
    CString original(L"C:\\Program Files\\Vela");
    CString copy(original);
    copy.SetAt(0, L'D');
    EXPECT_EQ(original, L"C:\\Program Files\\Vela");
    EXPECT_EQ(copy, L"D:\\Program Files\\Vela");

    CString& alias = original;
    original = alias;
    EXPECT_EQ(original, L"C:\\Program Files\\Vela");
    original = static_cast<LPCWSTR>(original) + 3;
    EXPECT_EQ(original, L"Program Files\\Vela");
    original += original;
    EXPECT_EQ(original, L"Program Files\\VelaProgram Files\\Vela");
}

TEST(CStringFormat, UsesWideStringsForPercentSIncludingKorean)
{
    CString text;
    text.Format(L"업데이트 중...%d%%", 45);
    EXPECT_EQ(text, L"업데이트 중...45%");
    text.Format(L"/_update \"%s\" \"%s\" \"%s\"", L"http://127.0.0.1/update.xml", L"C:\\벨라", L"");
    EXPECT_EQ(text, L"/_update \"http://127.0.0.1/update.xml\" \"C:\\벨라\" \"\"");
    text.Format(L"%04X%04X", 0x412, 0x4b0);
    EXPECT_EQ(text, L"041204B0");
    text.Format(L"%.1fMB", 1.26);
    EXPECT_EQ(text, L"1.3MB");
}

TEST(CStringFormat, PassesCStringArgumentsAsTheirText)
{
    CString name(L"프로세스");
    CString text;
    text.Format(L"%s 정보 - %s", name, CString(L"설명"));
    EXPECT_EQ(text, L"프로세스 정보 - 설명");
}

TEST(CStringFormat, ProducesLongResultsWhole)
{
    std::wstring piece(3000, L'가');
    CString text;
    text.Format(L"[%s|%s|%s]", piece.c_str(), piece.c_str(), piece.c_str());
    ASSERT_EQ(text.GetLength(), 9004);
    EXPECT_EQ(text.GetAt(0), L'[');
    EXPECT_EQ(text.GetAt(3001), L'|');
    EXPECT_EQ(text.GetAt(9003), L']');
    EXPECT_EQ(text.Find(L'|', 3002), 6002);
}

TEST(CStringFormat, MayFormatItselfAndAppend)
{
    CString text(L"원본");
    text.Format(L"<%s><%s>", text, static_cast<LPCWSTR>(text));
    EXPECT_EQ(text, L"<원본><원본>");
    text.AppendFormat(L" %d개 %s", 3, text);
    EXPECT_EQ(text, L"<원본><원본> 3개 <원본><원본>");
}

TEST(CStringSearch, FindsFromPositionsAndRejectsPositionsOutside)
{
    CString text(L"http://host/app/update.xml");
    EXPECT_EQ(text.Find(L"://"), 4);
    EXPECT_EQ(text.Find(L'/', 7), 11);
    EXPECT_EQ(text.Find(L"/", 12), 15);
    EXPECT_EQ(text.ReverseFind(L'/'), 15);
    EXPECT_EQ(text.Find(L"missing"), -1);
    EXPECT_EQ(text.Find(L'h', -1), -1);
    EXPECT_EQ(text.Find(L'l', text.GetLength()), -1);
    EXPECT_EQ(text.Find(L"", text.GetLength()), text.GetLength());
    EXPECT_EQ(text.Find(L"x", text.GetLength() + 1), -1);
    EXPECT_EQ(text.Find(static_cast<LPCWSTR>(nullptr)), -1);
    EXPECT_EQ(CString().ReverseFind(L'/'), -1);
    EXPECT_EQ(CString().Find(L'a'), -1);
}

TEST(CStringSlicing, ClampsPositionsAndCountsToTheText)
{
    CString text(L"a.dll");
    EXPECT_EQ(text.Left(1), L"a");
    EXPECT_EQ(text.Left(0), L"");
    EXPECT_EQ(text.Left(-3), L"");
    EXPECT_EQ(text.Left(99), L"a.dll");
    EXPECT_EQ(text.Mid(2), L"dll");
    EXPECT_EQ(text.Mid(2, 1), L"d");
    EXPECT_EQ(text.Mid(-2, 2), L"a.");
    EXPECT_EQ(text.Mid(3, 99), L"ll");
    EXPECT_EQ(text.Mid(5), L"");
    EXPECT_EQ(text.Mid(99), L"");
    EXPECT_EQ(text.Mid(1, -1), L"");
    EXPECT_EQ(text.Mid(1, 0x7fffffff), L".dll");
    EXPECT_EQ(text.Right(3), L"dll");
    EXPECT_EQ(text.Right(-1), L"");
    EXPECT_EQ(text.Right(99), L"a.dll");
}

TEST(CStringAccess, ReadsTheTerminatorButNothingBeyond)
{
    CString text(L"ab");
    EXPECT_EQ(text[1], L'b');
    EXPECT_EQ(text.GetAt(2), L'\0');
    ExpectFrameworkException<CInvalidArgException>([&] { text.GetAt(3); });
    ExpectFrameworkException<CInvalidArgException>([&] { text.GetAt(-1); });
    ExpectFrameworkException<CInvalidArgException>([&] { text.SetAt(2, L'c'); });
}

TEST(CStringTrim, TrimsWhiteSpaceOrTheGivenCharacters)
{
    CString text(L" \t 벨라 툴박스 \r\n");
    EXPECT_EQ(text.Trim(), L"벨라 툴박스");
    EXPECT_EQ(CString(L"  x  ").TrimLeft(), L"x  ");
    EXPECT_EQ(CString(L"  x  ").TrimRight(), L"  x");
    EXPECT_EQ(CString(L"\\\\/dir/a.dll").TrimLeft(L"\\/"), L"dir/a.dll");
    EXPECT_EQ(CString(L"path\\\\").TrimRight(L'\\'), L"path");
    EXPECT_EQ(CString(L"--x--").Trim(L'-'), L"x");
    EXPECT_EQ(CString(L"xyzzyx").Trim(L"xy"), L"zz");
    EXPECT_EQ(CString(L"   ").Trim(), L"");
    EXPECT_EQ(CString(L"abc").Trim(L""), L"abc");
}

TEST(CStringCase, ChangesAndComparesCase)
{
    EXPECT_EQ(CString(L"C:\\WINDOWS\\Temp").MakeLower(), L"c:\\windows\\temp");
    EXPECT_EQ(CString(L"check").MakeUpper(), L"CHECK");
    EXPECT_EQ(CString(L"Check").Compare(L"check"), -1);
    EXPECT_EQ(CString(L"check").Compare(L"check"), 0);
    EXPECT_EQ(CString(L"checks").Compare(L"check"), 1);
    EXPECT_EQ(CString(L"Check").CompareNoCase(L"cHECK"), 0);
    EXPECT_LT(CString(L"abc").CompareNoCase(L"ABD"), 0);
    EXPECT_GT(CString(L"b").CompareNoCase(L"A"), 0);
    EXPECT_EQ(CString().Compare(nullptr), 0);
    EXPECT_TRUE(CString(L"update") != L"Update");
    EXPECT_TRUE(CString(L"a") < CString(L"b"));
    EXPECT_TRUE(L"b" > CString(L"a"));
}

TEST(CStringEditing, ReplaceAndRemoveReturnTheirCounts)
{
    CString text(L"a/b/c/");
    EXPECT_EQ(text.Replace(L'/', L'\\'), 3);
    EXPECT_EQ(text, L"a\\b\\c\\");
    EXPECT_EQ(text.Replace(L'x', L'y'), 0);
    EXPECT_EQ(text.Replace(L'a', L'a'), 0);

    CString repeated(L"aaaa");
    EXPECT_EQ(repeated.Replace(L"aa", L"b"), 2);
    EXPECT_EQ(repeated, L"bb");
    CString path(L"x\\..\\y\\..\\z");
    EXPECT_EQ(path.Replace(L"\\..\\", L"\\"), 2);
    EXPECT_EQ(path, L"x\\y\\z");
    EXPECT_EQ(path.Replace(L"", L"q"), 0);
    EXPECT_EQ(path.Replace(L"\\", nullptr), 2);
    EXPECT_EQ(path, L"xyz");
    CString growing(L"%1-%1");
    EXPECT_EQ(growing.Replace(L"%1", L"업데이트"), 2);
    EXPECT_EQ(growing, L"업데이트-업데이트");

    CString spaced(L" a b  c ");
    EXPECT_EQ(spaced.Remove(L' '), 5);
    EXPECT_EQ(spaced, L"abc");
    EXPECT_EQ(spaced.Remove(L'q'), 0);
}

TEST(CStringEditing, InsertAndDeleteClampTheirPositions)
{
    CString text(L"ac");
    EXPECT_EQ(text.Insert(1, L'b'), 3);
    EXPECT_EQ(text.Insert(-5, L"<"), 4);
    EXPECT_EQ(text.Insert(99, L">"), 5);
    EXPECT_EQ(text, L"<abc>");
    EXPECT_EQ(text.Insert(2, text), 10);
    EXPECT_EQ(text, L"<a<abc>bc>");

    EXPECT_EQ(text.Delete(0), 9);
    EXPECT_EQ(text.Delete(-3, 2), 7);
    EXPECT_EQ(text, L"abc>bc>");
    EXPECT_EQ(text.Delete(5, 99), 5);
    EXPECT_EQ(text.Delete(99, 1), 5);
    EXPECT_EQ(text.Delete(1, -1), 5);
    EXPECT_EQ(text, L"abc>b");
}

TEST(CStringTokenize, SkipsRunsOfDelimitersAndEnds)
{
    CString text(L";;check;http://host/u.xml;;C:\\dir;");
    int position = 0;
    EXPECT_EQ(text.Tokenize(L";", position), L"check");
    EXPECT_EQ(text.Tokenize(L";", position), L"http://host/u.xml");
    EXPECT_EQ(text.Tokenize(L";", position), L"C:\\dir");
    EXPECT_EQ(text.Tokenize(L";", position), L"");
    EXPECT_EQ(position, -1);

    position = 0;
    EXPECT_EQ(CString(L"a b\tc").Tokenize(L" \t", position), L"a");
    EXPECT_EQ(position, 2);
    position = 3;
    EXPECT_EQ(CString(L"abc").Tokenize(L";", position), L"");
    EXPECT_EQ(position, -1);
    ExpectFrameworkException<CInvalidArgException>([&] {
        int negative = -1;
        text.Tokenize(L";", negative);
    });
}

TEST(CStringTokenize, WithoutDelimitersGivesTheRestOnceSoLoopsEnd)
{
    CString text(L"abc");
    int position = 1;
    int tokens = 0;
    for (CString token = text.Tokenize(L"", position); position != -1; token = text.Tokenize(L"", position)) {
        EXPECT_EQ(token, L"bc");
        ASSERT_LT(++tokens, 2);
    }
    EXPECT_EQ(tokens, 1);
}

TEST(CStringBuffer, ReleaseTakesTheLengthUpToTheZeroOrAsGiven)
{
    CString text(L"keep");
    LPWSTR buffer = text.GetBuffer(MAX_PATH);
    EXPECT_EQ(text.GetLength(), 4);
    EXPECT_STREQ(buffer, L"keep");
    DWORD length = GetTempPathW(MAX_PATH, buffer);
    ASSERT_GT(length, 0u);
    text.ReleaseBuffer();
    EXPECT_EQ(text.GetLength(), static_cast<int>(length));
    EXPECT_EQ(text.Right(1), L"\\");

    buffer = text.GetBuffer(10);
    wcscpy(buffer, L"abcdef");
    text.ReleaseBuffer(3);
    EXPECT_EQ(text, L"abc");

    // A buffer filled to its last character without a terminating zero ends at its own end, and
    // a length beyond the buffer is cut to it.
    CString unterminated;
    buffer = unterminated.GetBuffer(4);
    wmemset(buffer, L'x', 5);
    unterminated.ReleaseBuffer();
    EXPECT_EQ(unterminated, L"xxxx");
    unterminated.GetBuffer(4);
    unterminated.ReleaseBuffer(1000);
    EXPECT_EQ(unterminated, L"xxxx");

    CString empty;
    empty.ReleaseBuffer();
    EXPECT_TRUE(empty.IsEmpty());
    ExpectFrameworkException<CInvalidArgException>([&] { empty.GetBuffer(-1); });
}

TEST(CStringBuffer, SetLengthKeepsTheStartAndZeroTerminates)
{
    CString text(L"abcdef");
    LPWSTR buffer = text.GetBufferSetLength(3);
    EXPECT_EQ(text.GetLength(), 3);
    EXPECT_STREQ(buffer, L"abc");
    text.ReleaseBuffer();
    EXPECT_EQ(text, L"abc");
}

TEST(CStringConcatenation, JoinsTextsAndCharacters)
{
    CString directory(L"C:\\벨라");
    CString path = directory + L"\\" + CString(L"a.dll");
    EXPECT_EQ(path, L"C:\\벨라\\a.dll");
    EXPECT_EQ(L'[' + directory + L']', L"[C:\\벨라]");
    path += L'!';
    path += static_cast<LPCWSTR>(nullptr);
    EXPECT_EQ(path, L"C:\\벨라\\a.dll!");
    path.Empty();
    EXPECT_TRUE(path.IsEmpty());
    EXPECT_STREQ(static_cast<LPCWSTR>(path), L"");
}

TEST(CStringSystemString, CopiesTheWholeText)
{
    CString text(L"업데이트");
    BSTR copy = text.AllocSysString();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(SysStringLen(copy), 4u);
    EXPECT_STREQ(copy, L"업데이트");
    SysFreeString(copy);
}

TEST(CStringResources, LoadsAStringOfAModuleAndKeepsTheTextWhenMissing)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    ASSERT_NE(user32, nullptr);
    // Any string the module has, read the plain way as the expected value.
    UINT id = 0;
    wchar_t expected[512] = {};
    for (UINT candidate = 1; candidate < 0x10000 && id == 0; ++candidate) {
        if (LoadStringW(user32, candidate, expected, 512) > 0) id = candidate;
    }
    if (id == 0) GTEST_SKIP() << "user32.dll has no string table here";

    CString text(L"unchanged");
    ASSERT_TRUE(text.LoadString(user32, id));
    EXPECT_EQ(text, expected);

    text = L"unchanged";
    EXPECT_FALSE(text.LoadString(GetModuleHandleW(nullptr), 0xfff0));
    EXPECT_EQ(text, L"unchanged");

    // Without a module, the current resource module is searched.
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(user32);
    CString current;
    BOOL loaded = current.LoadString(id);
    BOOL missing = text.LoadString(0xfff0);
    AfxSetResourceHandle(previous);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(current, expected);
    EXPECT_FALSE(missing);
    EXPECT_EQ(text, L"unchanged");
}

}  // namespace
