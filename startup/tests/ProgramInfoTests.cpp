#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "startup/NetMemoryStream.h"
#include "startup/ProgramInfoLoader.h"
#include "startup/StartupEntryInfo.h"
#include "startup/tests/StartupTestSupport.h"
#include "testing/HttpServer.h"
#include "testing/LibraryAssertions.h"
#include "testing/TempFolder.h"

using System::String;

namespace {

const char* Document = R"(<?xml version="1.0" encoding="utf-8"?>
<items>
  <item>
    <name>Tray</name>
    <rating>2</rating>
    <description>필수 프로그램입니다</description>
  </item>
  <item>
    <name>Unrated</name>
    <description>등급 없음</description>
  </item>
  <item>
    <rating>-2</rating>
  </item>
  <item><name>Word</name><rating>high</rating><description/></item>
  <item><name>Tray</name><rating>1</rating><description>나중 것</description></item>
</items>
)";

struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
using StreamPtr = std::unique_ptr<NetMemoryStream, Releaser>;

StreamPtr StreamOver(const std::string& bytes)
{
    return StreamPtr(new NetMemoryStream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

// Records the failure notices instead of showing a box.
class NoticeRecorder {
public:
    NoticeRecorder()
    {
        previous_ = ProgramInfoLoader::SetFailureNotice([this](const String& text, const String& caption) {
            texts_.push_back(text);
            EXPECT_EQ(caption, String(L"Vela 툴박스"));
        });
    }
    ~NoticeRecorder() { ProgramInfoLoader::SetFailureNotice(previous_); }
    const std::vector<String>& Texts() const { return texts_; }

private:
    ProgramInfoLoader::FailureNotice previous_;
    std::vector<String> texts_;
};

TEST(NetMemoryStreamTests, ReadsUpToTheEndAndStaysThere)
{
    auto stream = StreamOver("abcdef");
    char buffer[8];
    ULONG read = 99;
    EXPECT_EQ(stream->Read(buffer, 4, &read), S_OK);
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(stream->Read(buffer, 8, &read), S_OK);
    EXPECT_EQ(read, 2u);
    EXPECT_EQ(std::string(buffer, 8), std::string("ef\0\0\0\0\0\0", 8));
    EXPECT_EQ(stream->Read(buffer, 8, &read), S_OK);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(stream->GetPosition(), 6u);
}

TEST(NetMemoryStreamTests, SeeksStatsAndAnswersOnlyItsInterfaces)
{
    auto stream = StreamOver("abcdef");
    LARGE_INTEGER move;
    move.QuadPart = 2;
    ULARGE_INTEGER position;
    EXPECT_EQ(stream->Seek(move, STREAM_SEEK_SET, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 2u);
    EXPECT_EQ(stream->Seek(move, STREAM_SEEK_CUR, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 4u);
    move.QuadPart = 0;
    EXPECT_EQ(stream->Seek(move, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 6u);
    move.QuadPart = -7;
    EXPECT_EQ(stream->Seek(move, STREAM_SEEK_END, &position), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Seek(move, 3, &position), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->GetPosition(), 6u);

    STATSTG statistics;
    EXPECT_EQ(stream->Stat(&statistics, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(statistics.cbSize.QuadPart, 6u);
    EXPECT_EQ(StreamOver("")->Stat(&statistics, STATFLAG_NONAME), S_FALSE);
    EXPECT_EQ(stream->Write("x", 1, nullptr), E_NOTIMPL);
    EXPECT_EQ(stream->Clone(nullptr), E_NOTIMPL);

    IStream* other = nullptr;
    ASSERT_EQ(stream->QueryInterface(__uuidof(ISequentialStream), reinterpret_cast<void**>(&other)), S_OK);
    EXPECT_EQ(other->Release(), 1u);
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(stream->QueryInterface(__uuidof(IPersist), &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
}

TEST(ProgramInfoParseTests, EveryItemBecomesAnEntryOfTheTable)
{
    StartupTestSupport::ProgramInfoScope scope;
    auto stream = StreamOver(Document);
    EXPECT_EQ(ProgramInfoLoader::Parse(stream.get()), 5);
    ASSERT_EQ(ProgramInfoTable::GetCount(), 4);
    // Indentation never reaches a field; the later item of a name wins.
    EXPECT_EQ(ProgramInfoTable::Find(L"Tray")->GetRating(), 1);
    EXPECT_EQ(ProgramInfoTable::Find(L"Tray")->GetDescription(), String(L"나중 것"));
    EXPECT_EQ(ProgramInfoTable::Find(L"Unrated")->GetRating(), 0);
    EXPECT_EQ(ProgramInfoTable::Find(L"Unrated")->GetDescription(), String(L"등급 없음"));
    EXPECT_EQ(ProgramInfoTable::Find(L"")->GetRating(), -2);
    EXPECT_EQ(ProgramInfoTable::Find(L"Word")->GetRating(), 0);
    EXPECT_EQ(ProgramInfoTable::Find(L"Word")->GetDescription(), String());
}

TEST(ProgramInfoParseTests, AMalformedDocumentKeepsTheItemsBeforeTheError)
{
    StartupTestSupport::ProgramInfoScope scope;
    auto stream = StreamOver("<items><item><name>First</name><rating>1</rating></item><item><name>Broken</nam></item>");
    EXPECT_EQ(ProgramInfoLoader::Parse(stream.get()), 1);
    EXPECT_NE(ProgramInfoTable::Find(L"First"), nullptr);
    EXPECT_EQ(ProgramInfoTable::Find(L"Broken"), nullptr);
}

class FetchTests : public ::testing::Test {
protected:
    String Cache() const { return String((folder_ / L"vasui.xml").c_str()); }
    String Url() const { return String(server_.Url("/net/getAutoruns.aspx").c_str()); }
    void WriteCache(const std::string& bytes) { folder_.WriteFile(L"vasui.xml", bytes); }

    StartupTestSupport::ProgramInfoScope scope_;
    TestSupport::TempFolder folder_;
    TestSupport::HttpServer server_;
    NoticeRecorder notices_;
};

TEST_F(FetchTests, AnEmptyCacheDownloadsAndKeepsTheDocument)
{
    TestSupport::HttpServer::Response response;
    response.body = Document;
    server_.Serve("/net/getAutoruns.aspx", response);
    WriteCache("");

    EXPECT_EQ(ProgramInfoLoader::Load(Url(), Cache()), 5);
    ASSERT_EQ(server_.Requests().size(), 1u);
    EXPECT_EQ(server_.Requests()[0].method, "GET");
    EXPECT_EQ(server_.Requests()[0].path, "/net/getAutoruns.aspx");
    std::string cached = folder_.ReadFile(L"vasui.xml");
    ASSERT_GE(cached.size(), 4u);
    EXPECT_EQ(cached.size() - 4, std::string(Document).size());
    EXPECT_EQ(cached.substr(4), Document);
    EXPECT_TRUE(notices_.Texts().empty());

    // Once cached, the server is never asked again.
    ProgramInfoTable::Clear();
    EXPECT_EQ(ProgramInfoLoader::Load(Url(), Cache()), 5);
    EXPECT_EQ(server_.Requests().size(), 1u);
}

TEST_F(FetchTests, ANonEmptyCacheIsUsedWithoutTheServer)
{
    std::string body = "<items><item><name>Cached</name><rating>1</rating></item></items>";
    std::string frame(4, '\0');
    frame[0] = static_cast<char>(body.size());
    WriteCache(frame + body);
    EXPECT_EQ(ProgramInfoLoader::Load(Url(), Cache()), 1);
    EXPECT_NE(ProgramInfoTable::Find(L"Cached"), nullptr);
    EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(FetchTests, ADamagedCacheIsFetchedAgain)
{
    TestSupport::HttpServer::Response response;
    response.body = Document;
    server_.Serve("/net/getAutoruns.aspx", response);
    WriteCache(std::string("\xFF\xFF\xFF\x7F", 4) + "abc");
    TestSupport::ExpectThrows<System::FormatException>([&] { ProgramInfoLoader::ReadCache(Cache()); });
    EXPECT_EQ(ProgramInfoLoader::Load(Url(), Cache()), 5);
    EXPECT_EQ(server_.Requests().size(), 1u);
    EXPECT_EQ(ProgramInfoLoader::ReadCache(Cache()).GetLength(), static_cast<int>(std::string(Document).size()));
}

TEST_F(FetchTests, AFailedDownloadIsShownOnceAndYieldsNoStream)
{
    NetMemoryStream* stream = reinterpret_cast<NetMemoryStream*>(1);
    EXPECT_EQ(ProgramInfoLoader::Fetch(Url(), Cache(), &stream), 1);
    EXPECT_EQ(stream, nullptr);
    ASSERT_EQ(notices_.Texts().size(), 1u);
    EXPECT_EQ(notices_.Texts()[0], String(L"인터넷에 접속할 수 없습니다.\r\n프로그램 정보를 다운 받을 수 없습니다."));
    EXPECT_EQ(ProgramInfoTable::GetCount(), 0);
    EXPECT_EQ(folder_.ReadFile(L"vasui.xml"), "");
}

}  // namespace
