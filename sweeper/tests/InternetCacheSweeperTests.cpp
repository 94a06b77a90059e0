#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/String.h"
#include "core/UniqueResource.h"
#include "sweeper/InternetCacheSweeper.h"
#include "testing/TestPrefixGuard.h"

using System::String;

namespace {

std::string Narrow(const std::wstring& text) { return String(text).ToUtf8(); }

bool StartsWith(const wchar_t* text, const wchar_t* prefix) { return text && std::wstring(text).rfind(prefix, 0) == 0; }

bool EntryExists(const std::wstring& url)
{
    DWORD size = 0;
    if (GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size)) return true;
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

struct Tally {
    int32_t count = 0;
    int64_t bytes = 0;
};

// Every entry of every container, sorted by the kind its URL names: the tests' own account of
// what each mode should find, made without the sweeper's search patterns.
struct CacheContents {
    Tally pages, cookies, visited;
};

CacheContents ReadWholeCache()
{
    CacheContents contents;
    std::vector<uint64_t> buffer(8192);
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(uint64_t));
    System::UniqueUrlCacheFindHandle find(FindFirstUrlCacheEntryW(nullptr, entry, &size));
    if (!find) {
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
        return contents;
    }
    do {
        Tally& tally = StartsWith(entry->lpszSourceUrlName, L"Cookie:")    ? contents.cookies
                       : StartsWith(entry->lpszSourceUrlName, L"Visited:") ? contents.visited
                                                                           : contents.pages;
        ++tally.count;
        tally.bytes += static_cast<int64_t>(entry->dwSizeHigh) << 32 | entry->dwSizeLow;
        size = static_cast<DWORD>(buffer.size() * sizeof(uint64_t));
    } while (FindNextUrlCacheEntryW(find.Get(), entry, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    return contents;
}

bool PatternFinds(const wchar_t* pattern, const std::wstring& url)
{
    std::vector<uint64_t> buffer(8192);
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(uint64_t));
    System::UniqueUrlCacheFindHandle find(FindFirstUrlCacheEntryW(pattern, entry, &size));
    if (!find) return false;
    do {
        if (url == entry->lpszSourceUrlName) return true;
        size = static_cast<DWORD>(buffer.size() * sizeof(uint64_t));
    } while (FindNextUrlCacheEntryW(find.Get(), entry, &size));
    return false;
}

int32_t Analyse(InternetCacheSweeper& sweeper)
{
    sweeper.Reset(false);
    sweeper.Run(false);
    return sweeper.GetCount();
}

// The URL cache is the user's own: the tests run only in a throw-away store, commit entries of
// the three kinds under URLs unique to the run, and remove what is left of them afterwards.
class InternetCacheSweeperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring why = TestSupport::WhyDestructiveTestsAreRefused();
        if (!why.empty()) GTEST_SKIP() << Narrow(why);
        std::wstring run = std::to_wstring(GetCurrentProcessId());
        page = Commit(L"http://vela.test/" + run + L"/page.html", NORMAL_CACHE_ENTRY, 100);
        image = Commit(L"http://vela.test/" + run + L"/image.gif", NORMAL_CACHE_ENTRY, 250);
        cookie = Commit(L"Cookie:vela@vela.test/" + run + L"/", COOKIE_CACHE_ENTRY, 30);
        // A header larger than the sweeper's first buffer makes its entry need a bigger one.
        bigCookie = Commit(L"Cookie:vela@big.vela.test/" + run + L"/", COOKIE_CACHE_ENTRY, 45, std::wstring(6000, L'h'));
        visited = Commit(L"Visited:vela@http://vela.test/" + run + L"/page.html", URLHISTORY_CACHE_ENTRY, 7);
    }
    void TearDown() override
    {
        for (const std::wstring& url : committed) DeleteUrlCacheEntryW(url.c_str());
    }

    std::wstring Commit(const std::wstring& url, DWORD type, int bytes, const std::wstring& header = std::wstring())
    {
        wchar_t file[MAX_PATH];
        if (!CreateUrlCacheEntryW(url.c_str(), static_cast<DWORD>(bytes), L"dat", file, 0)) {
            ADD_FAILURE() << "CreateUrlCacheEntryW failed with " << GetLastError();
            return url;
        }
        System::UniqueHandle handle(CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::string content(static_cast<size_t>(bytes), 'x');
        DWORD written = 0;
        EXPECT_TRUE(handle && WriteFile(handle.Get(), content.data(), static_cast<DWORD>(bytes), &written, nullptr));
        handle.Reset();
        FILETIME never = {};
        std::wstring headerText = header;
        EXPECT_TRUE(CommitUrlCacheEntryW(url.c_str(), file, never, never, type, headerText.empty() ? nullptr : &headerText[0],
                                         static_cast<DWORD>(headerText.size()), nullptr, nullptr))
            << "CommitUrlCacheEntryW failed with " << GetLastError();
        committed.push_back(url);
        return url;
    }

    std::wstring page, image, cookie, bigCookie, visited;
    std::vector<std::wstring> committed;
};

}  // namespace

TEST(InternetCacheSweeperModeTest, RefusesAModeOutsideZeroToTwo)
{
    for (int mode : {-1, 3}) {
        try {
            InternetCacheSweeper sweeper(L"IECache", mode);
            ADD_FAILURE() << "mode " << mode << " was accepted";
        } catch (System::Exception* caught) {
            std::unique_ptr<System::Exception> exception(caught);
            EXPECT_NE(dynamic_cast<System::ArgumentOutOfRangeException*>(caught), nullptr) << caught->ToString().ToUtf8();
        }
    }
}

TEST_F(InternetCacheSweeperTest, CookieModeCountsEveryCookieWithItsBytesAndSweepsOnlyCookies)
{
    CacheContents contents = ReadWholeCache();
    ASSERT_GE(contents.cookies.count, 2);
    InternetCacheSweeper sweeper(L"IECookie", 1);
    EXPECT_EQ(Analyse(sweeper), contents.cookies.count);
    EXPECT_EQ(sweeper.GetSize(), contents.cookies.bytes);
    EXPECT_EQ(sweeper.GetProgress(), 100);
    EXPECT_TRUE(EntryExists(cookie));

    sweeper.Reset(true);
    sweeper.Run(true);
    EXPECT_EQ(sweeper.GetCount(), 0);
    EXPECT_EQ(sweeper.GetSize(), 0);
    EXPECT_FALSE(EntryExists(cookie));
    EXPECT_FALSE(EntryExists(bigCookie));
    EXPECT_TRUE(EntryExists(page));
    EXPECT_TRUE(EntryExists(visited));
    EXPECT_EQ(Analyse(sweeper), 0);
}

TEST_F(InternetCacheSweeperTest, VisitedModeCountsVisitedRecordsWithTheirBytesAndSweepsOnlyThem)
{
    CacheContents contents = ReadWholeCache();
    ASSERT_GE(contents.visited.count, 1);
    InternetCacheSweeper sweeper(L"IESiteVisited", 2);
    EXPECT_EQ(Analyse(sweeper), contents.visited.count);
    EXPECT_EQ(sweeper.GetSize(), contents.visited.bytes);

    sweeper.Reset(true);
    sweeper.Run(true);
    EXPECT_EQ(sweeper.GetCount(), 0);
    EXPECT_FALSE(EntryExists(visited));
    EXPECT_TRUE(EntryExists(page));
    EXPECT_TRUE(EntryExists(cookie));
}

TEST_F(InternetCacheSweeperTest, CachedPagesModeNeverTouchesCookiesOrVisitedRecords)
{
    InternetCacheSweeper sweeper(L"IECache", 0);
    Analyse(sweeper);
    sweeper.Reset(true);
    sweeper.Run(true);
    EXPECT_TRUE(sweeper.IsDone());
    EXPECT_TRUE(EntryExists(cookie));
    EXPECT_TRUE(EntryExists(bigCookie));
    EXPECT_TRUE(EntryExists(visited));
}

TEST_F(InternetCacheSweeperTest, CachedPagesModeCountsPagesWithTheirBytesAndSweepsThem)
{
    if (!PatternFinds(L"normal:", page)) {
        GTEST_SKIP() << "the URL cache does not answer the \"normal:\" pattern with its pages"
                     << (TestSupport::IsWine() ? " (Wine names its page container by an empty prefix and matches patterns exactly)" : "");
    }
    CacheContents contents = ReadWholeCache();
    InternetCacheSweeper sweeper(L"IECache", 0);
    EXPECT_EQ(Analyse(sweeper), contents.pages.count);
    EXPECT_EQ(sweeper.GetSize(), contents.pages.bytes);

    sweeper.Reset(true);
    sweeper.Run(true);
    EXPECT_EQ(sweeper.GetCount(), 0);
    EXPECT_FALSE(EntryExists(page));
    EXPECT_FALSE(EntryExists(image));
    EXPECT_TRUE(EntryExists(cookie));
}
