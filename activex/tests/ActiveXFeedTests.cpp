#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "activex/ActiveXFeed.h"
#include "startup/ProgramInfoLoader.h"
#include "testing/HttpServer.h"
#include "testing/TempFolder.h"

using System::DateTime;
using System::String;

namespace {

// One feed item; fields left empty are left out of the document.
std::string Item(const std::string& title, const std::string& type, const std::string& rating = "0",
                 const std::string& updated = "")
{
    std::string item = "  <item>\n    <title>" + title + "</title>\n    <name>" + title + "-name</name>\n";
    if (!type.empty()) item += "    <type>" + type + "</type>\n";
    item += "    <rating>" + rating + "</rating>\n";
    if (!updated.empty()) item += "    <updated>" + updated + "</updated>\n";
    return item + "  </item>\n";
}

std::string Feed(const std::string& items) { return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss>\n" + items + "</rss>\n"; }

std::vector<String> Strings(std::initializer_list<const wchar_t*> texts) { return std::vector<String>(texts.begin(), texts.end()); }

class ActiveXFeedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = ProgramInfoLoader::SetFailureNotice([this](const String& text, const String&) { notices_.push_back(text); });
    }
    void TearDown() override { ProgramInfoLoader::SetFailureNotice(previous_); }

    String Cache() const { return String((folder_ / L"vaaxm.dat").c_str()); }
    String Url() const { return String(server_.Url("/net/ActiveXRSS.aspx").c_str()); }
    void Serve(const std::string& body)
    {
        TestSupport::HttpServer::Response response;
        response.body = body;
        server_.Serve("/net/ActiveXRSS.aspx", response);
    }
    std::vector<String> Titles() const
    {
        std::vector<String> titles;
        for (const ActiveXEntry* entry : feed_.GetEntries()) titles.push_back(entry->GetTitle());
        return titles;
    }

    KillBits nowhere_{L"SOFTWARE\\Vela\\Tests\\NoSuchCompatibilityKey"};
    ActiveXFeed feed_{nowhere_};
    TestSupport::TempFolder folder_;
    TestSupport::HttpServer server_;
    ProgramInfoLoader::FailureNotice previous_;
    std::vector<String> notices_;
};

TEST_F(ActiveXFeedTest, EveryFieldOfAnItemReachesItsEntry)
{
    Serve("<rss><channel><title>feed</title><item><title>플래시</title><description>설명</description>"
          "<author>Maker</author><name>flash.ocx</name><clsid>{D27CDB6E-AE6D-11CF-96B8-444553540000}</clsid>"
          "<dscr>짧은 설명</dscr><type>멀티미디어</type><rating>-1</rating><updated>633000000000000000</updated>"
          "<unknown>x</unknown></item><item><title>둘째</title></item></channel></rss>");
    ASSERT_EQ(feed_.Load(Url(), Cache()), 2);
    const ActiveXEntry& entry = *feed_.GetEntries()[0];
    EXPECT_EQ(entry.GetTitle(), String(L"플래시"));
    EXPECT_EQ(entry.GetDescription(), String(L"설명"));
    EXPECT_EQ(entry.GetAuthor(), String(L"Maker"));
    EXPECT_EQ(entry.GetName(), String(L"flash.ocx"));
    EXPECT_EQ(entry.GetClsid(), String(L"{D27CDB6E-AE6D-11CF-96B8-444553540000}"));
    EXPECT_EQ(entry.GetDscr(), String(L"짧은 설명"));
    EXPECT_EQ(entry.GetType(), String(L"멀티미디어"));
    EXPECT_EQ(entry.GetRating(), -1);
    EXPECT_EQ(entry.GetUpdated().GetTicks(), 633000000000000000LL);
    // The fields of one item never leak into the next.
    EXPECT_EQ(feed_.GetEntries()[1]->GetName(), String());
    EXPECT_EQ(feed_.GetEntries()[1]->GetType(), String());
    EXPECT_TRUE(notices_.empty());
}

TEST_F(ActiveXFeedTest, CategoriesFollowTheFirstAppearanceOfEachType)
{
    Serve(Feed(Item("a", "멀티미디어") + Item("b", "일반") + Item("c", "") + Item("d", "보안") + Item("e", "멀티미디어") +
               Item("f", "일반")));
    ASSERT_EQ(feed_.Load(Url(), Cache()), 6);
    EXPECT_EQ(feed_.GetCategories(), Strings({L"전체", L"일반", L"멀티미디어", L"보안", L"새로 추가된 항목"}));
    EXPECT_EQ(feed_.GetDistinctTypes().GetLength(), 3);
    // Indentation never reaches a field.
    EXPECT_EQ(feed_.GetEntries()[0]->GetTitle(), String(L"a"));

    TestSupport::TempFolder other;
    Serve(Feed(Item("x", "") + Item("y", "")));
    ASSERT_EQ(feed_.Load(Url(), String((other / L"vaaxm.dat").c_str())), 2);
    EXPECT_EQ(feed_.GetCategories(), Strings({L"전체", L"일반"}));
}

TEST(ActiveXFeedDates, TheCutoffIsMidnightAWeekBeforeToday)
{
    auto cutoff = [](int year, int month, int day) {
        DateTime date = ActiveXFeed::NewCutoff(DateTime(year, month, day, 15, 30));
        EXPECT_EQ(date.GetTicks() % DateTime::TicksPerDay, 0);
        return std::to_string(date.GetYear()) + "-" + std::to_string(date.GetMonth()) + "-" + std::to_string(date.GetDay());
    };
    EXPECT_EQ(cutoff(2026, 3, 3), "2026-2-24");
    EXPECT_EQ(cutoff(2024, 3, 3), "2024-2-25");
    EXPECT_EQ(cutoff(2026, 1, 8), "2026-1-1");
    EXPECT_EQ(cutoff(2026, 1, 5), "2025-12-29");

    KillBits nowhere(L"SOFTWARE\\Vela\\Tests\\NoSuchCompatibilityKey");
    DateTime today(2026, 3, 3);
    auto entry = [&](int64_t ticks) {
        return ActiveXEntry(L"t", L"", L"", L"", L"", L"", L"", L"0", ticks < 0 ? String() : String(std::to_wstring(ticks)), nowhere);
    };
    int64_t edge = DateTime(2026, 2, 24).GetTicks();
    EXPECT_TRUE(ActiveXFeed::IsNewlyAdded(entry(edge), today));
    EXPECT_FALSE(ActiveXFeed::IsNewlyAdded(entry(edge - 1), today));
    EXPECT_TRUE(ActiveXFeed::IsNewlyAdded(entry(DateTime(2026, 3, 3, 23, 0).GetTicks()), today));
    EXPECT_FALSE(ActiveXFeed::IsNewlyAdded(entry(-1), today));
}

TEST_F(ActiveXFeedTest, NoNetworkAndNoCacheGivesTheMessageAndNoEntries)
{
    String refused = String(L"http://127.0.0.1:") + std::to_wstring(TestSupport::HttpServer::UnusedPort()).c_str() +
                     L"/net/ActiveXRSS.aspx";
    Serve(Feed(Item("old", "보안")));
    ASSERT_EQ(feed_.Load(Url(), Cache()), 1);
    folder_.WriteFile(L"vaaxm.dat", "");

    EXPECT_EQ(feed_.Load(refused, Cache()), 0);
    EXPECT_TRUE(feed_.GetEntries().empty());
    ASSERT_EQ(notices_.size(), 1u);
    EXPECT_EQ(notices_[0], String(L"인터넷에 접속할 수 없습니다.\r\n프로그램 정보를 다운 받을 수 없습니다."));
    EXPECT_EQ(feed_.GetCategories(), Strings({L"전체", L"일반"}));
}

TEST_F(ActiveXFeedTest, ACutFeedKeepsTheItemsCompletedBeforeTheBreak)
{
    std::string whole = Feed(Item("first", "a") + Item("second", "b") + Item("third", "c"));
    size_t third = whole.find("<title>third");
    // Inside a text, after a field, and after the last field of the item, short of its end tag.
    const size_t cuts[] = {third + 10, whole.find("</title>", third) + 9, whole.find("</rating>", third) + 10};
    for (size_t cut : cuts) {
        folder_.WriteFile(L"vaaxm.dat", "");
        Serve(whole.substr(0, cut));
        EXPECT_EQ(feed_.Load(Url(), Cache()), 2) << whole.substr(0, cut);
        EXPECT_EQ(Titles(), Strings({L"first", L"second"}));
    }
}

TEST_F(ActiveXFeedTest, TheDownloadAtStartReplacesTheCacheAndAFailureKeepsIt)
{
    Serve(Feed(Item("cached", "a")));
    ActiveXFeed::DownloadAtStart(Url(), Cache());
    std::string frame = folder_.ReadFile(L"vaaxm.dat");
    std::string body = Feed(Item("cached", "a"));
    ASSERT_EQ(frame.size(), body.size() + 4);
    EXPECT_EQ(static_cast<unsigned char>(frame[0]) | static_cast<unsigned char>(frame[1]) << 8, static_cast<int>(body.size()));
    EXPECT_EQ(frame.substr(4), body);

    // The load reads the cache and does not ask again.
    ASSERT_EQ(feed_.Load(Url(), Cache()), 1);
    EXPECT_EQ(server_.Requests().size(), 1u);

    TestSupport::HttpServer::Response broken;
    broken.dropConnection = true;
    server_.Serve("/net/ActiveXRSS.aspx", broken);
    ActiveXFeed::DownloadAtStart(Url(), Cache());
    EXPECT_EQ(folder_.ReadFile(L"vaaxm.dat"), frame);
    EXPECT_TRUE(notices_.empty());
}

}  // namespace
