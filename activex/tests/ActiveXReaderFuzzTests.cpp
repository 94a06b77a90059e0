// The ActiveX manager's readers of stored and downloaded data fed damaged inputs, and its files
// rewritten with a write failing at every byte.
#include <gtest/gtest.h>
#include <windows.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "activex/ActiveXFeed.h"
#include "activex/AxmSettings.h"
#include "startup/NetMemoryStream.h"
#include "startup/ProgramInfoLoader.h"
#include "testing/FileBytes.h"
#include "testing/FuzzRun.h"
#include "testing/HttpServer.h"
#include "testing/InterruptedRewrite.h"
#include "testing/TempFolder.h"

using System::String;
using TestSupport::FuzzReport;

namespace {

const char Feed[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss><channel><title>feed</title>\n"
    "<item><title>\xED\x94\x8C\xEB\x9E\x98\xEC\x8B\x9C</title><description>d</description><author>Maker</author>"
    "<name>flash.ocx</name><clsid>{D27CDB6E-AE6D-11CF-96B8-444553540000}</clsid><dscr>s</dscr>"
    "<type>\xEB\xA9\x80\xED\x8B\xB0</type><rating>-1</rating><updated>633000000000000000</updated></item>\n"
    "<item><title>two</title><clsid>not a class id</clsid><rating>2</rating><updated>x</updated></item>\n"
    "</channel></rss>\n";

std::string Frame(const std::string& body)
{
    std::string frame(4, '\0');
    for (int i = 0; i < 4; ++i) frame[i] = static_cast<char>(body.size() >> (8 * i));
    return frame + body;
}

System::Array<uint8_t> Bytes(const std::string& text) { return System::Array<uint8_t>(std::vector<uint8_t>(text.begin(), text.end())); }

std::string CountOutcome(int entries) { return entries == 2 ? "all items" : entries ? "some items" : "no item"; }

class ActiveXReaderFuzzTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = ProgramInfoLoader::SetFailureNotice([this](const String&, const String&) { ++notices_; });
    }
    void TearDown() override { ProgramInfoLoader::SetFailureNotice(previous_); }

    // Nothing listens there: a cache the reader refuses is fetched again, and that fails at once.
    String Unreachable() const
    {
        return String(L"http://127.0.0.1:") + String(std::to_wstring(TestSupport::HttpServer::UnusedPort()).c_str()) +
               L"/net/ActiveXRSS.aspx";
    }

    KillBits nowhere_{L"SOFTWARE\\Vela\\Tests\\NoSuchCompatibilityKey"};
    TestSupport::TempFolder folder_;
    const std::wstring cache_ = folder_ / L"vaaxm.dat";
    const std::wstring settings_ = folder_ / L"vaaxm.cfg";
    ProgramInfoLoader::FailureNotice previous_;
    int notices_ = 0;
};

}  // namespace

TEST_F(ActiveXReaderFuzzTest, FeedCacheAndFeedDocument)
{
    ActiveXFeed feed(nowhere_);
    FuzzReport cached = TestSupport::RunFuzz("vaaxm.dat", {Frame(Feed)}, TestSupport::FuzzInputs(300),
                                             TestSupport::FuzzSeed(51), [&](const std::string& bytes) {
                                                 EXPECT_TRUE(TestSupport::WriteFileBytes(cache_, bytes));
                                                 return CountOutcome(feed.Load(Unreachable(), cache_.c_str()));
                                             });
    TestSupport::ExpectSeveralDocumentedOutcomes(cached);

    FuzzReport documents = TestSupport::RunFuzz(
        "ActiveX feed document", {Feed}, TestSupport::FuzzInputs(300), TestSupport::FuzzSeed(52),
        [&](const std::string& bytes) {
            ActiveXFeed parsed(nowhere_);
            std::unique_ptr<NetMemoryStream, void (*)(NetMemoryStream*)> stream(
                new NetMemoryStream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                [](NetMemoryStream* s) { s->Release(); });
            int entries = parsed.Parse(stream.get(), folder_.Path().c_str());
            // Every entry answers what the window asks of it.
            for (const ActiveXEntry* entry : parsed.GetEntries()) {
                ActiveXFeed::IsNewlyAdded(*entry);
                entry->GetRating();
            }
            parsed.GetCategories();
            return CountOutcome(entries);
        });
    TestSupport::ExpectSeveralDocumentedOutcomes(documents);
}

TEST_F(ActiveXReaderFuzzTest, SettingsFile)
{
    AxmSettings::WriteNoNoteFlag(settings_.c_str(), 1);
    std::string settings = TestSupport::ReadFileBytes(settings_);
    ASSERT_EQ(settings.size(), 12u);
    FuzzReport report = TestSupport::RunFuzz("vaaxm.cfg", {settings}, TestSupport::FuzzInputs(300),
                                             TestSupport::FuzzSeed(53), [&](const std::string& bytes) {
                                                 EXPECT_TRUE(TestSupport::WriteFileBytes(settings_, bytes));
                                                 System::DateTime time = AxmSettings::ReadReferenceTime(settings_.c_str());
                                                 int32_t flag = AxmSettings::ReadNoNoteFlag(settings_.c_str());
                                                 std::string outcome = time.GetTicks() == 0 ? "stored time" : "other time";
                                                 return outcome + (flag == 1 ? ", flag 1" : flag ? ", other flag" : ", flag 0");
                                             });
    TestSupport::ExpectSeveralDocumentedOutcomes(report);
}

TEST_F(ActiveXReaderFuzzTest, SettingsAndFeedCacheFailingAtEveryByteKeepThePreviousFile)
{
    AxmSettings::WriteNoNoteFlag(settings_.c_str(), 0);
    TestSupport::InterruptedRewrites settings = TestSupport::InterruptEveryByte(
        settings_,
        [&] {
            AxmSettings::WriteNoNoteFlag(settings_.c_str(), 1);
            return true;
        },
        [&] { return AxmSettings::ReadReferenceTime(settings_.c_str()).GetTicks() == 0; });
    EXPECT_EQ(settings.problem, "");
    EXPECT_EQ(settings.interrupted, 12);
    EXPECT_EQ(AxmSettings::ReadNoNoteFlag(settings_.c_str()), 1);

    ProgramInfoLoader::WriteCache(cache_.c_str(), Bytes(std::string(Feed, 40)));
    std::string fresh = Feed;
    ActiveXFeed feed(nowhere_);
    TestSupport::InterruptedRewrites cache = TestSupport::InterruptEveryByte(
        cache_,
        [&] {
            ProgramInfoLoader::WriteCache(cache_.c_str(), Bytes(fresh));
            return true;
        },
        [&] { return ProgramInfoLoader::ReadCache(cache_.c_str()).GetLength() > 0; });
    EXPECT_EQ(cache.problem, "");
    EXPECT_EQ(cache.interrupted, static_cast<int>(fresh.size()) + 4);
    EXPECT_EQ(feed.Load(Unreachable(), cache_.c_str()), 2);
    EXPECT_EQ(notices_, 0);
    std::cout << "vaaxm.cfg: " << settings.interrupted << " interrupted rewrites; vaaxm.dat: " << cache.interrupted
              << " interrupted rewrites; the previous file intact each time" << std::endl;
}
