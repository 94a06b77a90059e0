#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <memory>
#include <string>

#include "core/WebClient.h"
#include "core/WebException.h"
#include "testing/HttpServer.h"
#include "testing/LibraryAssertions.h"

using System::String;
using System::Net::WebClient;
using System::Net::WebException;
using TestSupport::ExpectThrows;
using TestSupport::HttpServer;

namespace {

std::string ToBytes(const System::Array<uint8_t>& data)
{
    return std::string(reinterpret_cast<const char*>(data.GetData()), static_cast<size_t>(data.GetLength()));
}

HttpServer::Response Answer(const std::string& body, int status = 200)
{
    HttpServer::Response response;
    response.status = status;
    response.body = body;
    return response;
}

class WebClientTest : public testing::Test {
protected:
    // The WebException that downloading url raises; the test fails when another kind or nothing
    // is raised.
    std::unique_ptr<WebException> DownloadFailure(const String& url)
    {
        try {
            client.DownloadData(url);
        } catch (System::Exception* caught) {
            std::unique_ptr<System::Exception> exception(caught);
            auto web = dynamic_cast<WebException*>(caught);
            if (!web) {
                ADD_FAILURE() << "expected a WebException, got " << exception->ToString().ToUtf8();
                return nullptr;
            }
            exception.release();
            return std::unique_ptr<WebException>(web);
        }
        ADD_FAILURE() << "the download of " << url.ToUtf8() << " succeeded";
        return nullptr;
    }

    static bool Mentions(const WebException& exception, const String& text)
    {
        return exception.ToString().Contains(text);
    }

    HttpServer server;
    WebClient client;
};

TEST_F(WebClientTest, ReturnsTheExactBytesOfTheBody)
{
    std::string korean = u8"<item><name>시작 프로그램</name><rating>-2</rating></item>\r\n\xEF\xBF\xBD";
    server.Serve("/net/getAutoruns.aspx", Answer(korean));
    EXPECT_EQ(ToBytes(client.DownloadData(server.Url("/net/getAutoruns.aspx"))), korean);

    server.Serve("/empty", Answer(""));
    EXPECT_EQ(client.DownloadData(server.Url("/empty")).GetLength(), 0);
}

TEST_F(WebClientTest, ReturnsALargeBodyWhole)
{
    std::string large(1024 * 1024, '\0');
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>((i * 7 + i / 251) % 256);
    server.Serve("/large.bin", Answer(large));
    EXPECT_EQ(ToBytes(client.DownloadData(server.Url("/large.bin"))), large);
}

TEST_F(WebClientTest, FailingStatusRaisesWithTheStatusAndTheAddress)
{
    String missing = server.Url("/net/missing.aspx");
    auto notFound = DownloadFailure(missing);
    ASSERT_TRUE(notFound);
    EXPECT_EQ(notFound->GetStatusCode(), 404);
    EXPECT_TRUE(Mentions(*notFound, L"404")) << notFound->ToString().ToUtf8();
    EXPECT_TRUE(Mentions(*notFound, missing)) << notFound->ToString().ToUtf8();

    server.Serve("/net/ActiveXRSS.aspx", Answer("<html>error page</html>", 500));
    auto serverError = DownloadFailure(server.Url("/net/ActiveXRSS.aspx"));
    ASSERT_TRUE(serverError);
    EXPECT_EQ(serverError->GetStatusCode(), 500);
    EXPECT_TRUE(Mentions(*serverError, L"500"));
    EXPECT_TRUE(Mentions(*serverError, server.Url("/net/ActiveXRSS.aspx")));
}

TEST_F(WebClientTest, RefusedConnectionRaises)
{
    String url = L"http://127.0.0.1:" + String(std::to_wstring(HttpServer::UnusedPort())) + L"/x";
    auto failure = DownloadFailure(url);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->GetStatusCode(), 0);
    EXPECT_EQ(failure->GetErrorCode(), static_cast<uint32_t>(ERROR_INTERNET_CANNOT_CONNECT));
    EXPECT_TRUE(Mentions(*failure, url));
}

TEST_F(WebClientTest, ServerSlowerThanTheTimeoutRaisesATimeOut)
{
    HttpServer::Response slow = Answer("late");
    slow.delayMs = 10000;
    server.Serve("/slow", slow);
    client.SetTimeout(400);

    auto started = std::chrono::steady_clock::now();
    auto failure = DownloadFailure(server.Url("/slow"));
    auto elapsed = std::chrono::steady_clock::now() - started;

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->GetErrorCode(), static_cast<uint32_t>(ERROR_INTERNET_TIMEOUT));
    EXPECT_TRUE(Mentions(*failure, L"timed out")) << failure->ToString().ToUtf8();
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST_F(WebClientTest, BodyStalledLongerThanTheTimeoutRaisesATimeOut)
{
    HttpServer::Response stalled = Answer(std::string(1000, 'x'));
    stalled.stallBody = true;
    server.Serve("/stalled", stalled);
    client.SetTimeout(400);

    auto started = std::chrono::steady_clock::now();
    auto failure = DownloadFailure(server.Url("/stalled"));
    auto elapsed = std::chrono::steady_clock::now() - started;

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->GetErrorCode(), static_cast<uint32_t>(ERROR_INTERNET_TIMEOUT));
    EXPECT_TRUE(Mentions(*failure, L"timed out")) << failure->ToString().ToUtf8();
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST_F(WebClientTest, ConnectionDroppedBeforeTheAnswerRaises)
{
    HttpServer::Response dropped;
    dropped.dropConnection = true;
    server.Serve("/dropped", dropped);
    auto failure = DownloadFailure(server.Url("/dropped"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->GetStatusCode(), 0);
    EXPECT_NE(failure->GetErrorCode(), 0u);
    EXPECT_TRUE(Mentions(*failure, server.Url("/dropped")));
}

TEST_F(WebClientTest, BodyShorterThanItsContentLengthRaises)
{
    HttpServer::Response cut = Answer(std::string(100000, 'x'));
    cut.shortBody = true;
    server.Serve("/cut", cut);
    auto failure = DownloadFailure(server.Url("/cut"));
    ASSERT_TRUE(failure);
    EXPECT_TRUE(Mentions(*failure, server.Url("/cut")));
}

TEST_F(WebClientTest, MalformedAddressesRaise)
{
    for (const wchar_t* url :
         {L"", L"not an address", L"http://", L"http://127.0.0.1:99999/x", L"ftp://127.0.0.1/file.txt"}) {
        auto failure = DownloadFailure(url);
        ASSERT_TRUE(failure) << String(url).ToUtf8();
        EXPECT_TRUE(Mentions(*failure, url));
    }
}

TEST_F(WebClientTest, SendsAGetWithThePathAndTheUserAgent)
{
    server.Serve("/net/getAutoruns.aspx", Answer("a"));
    client.DownloadData(server.Url("/net/getAutoruns.aspx"));
    client.SetUserAgent(L"Vela Updater");
    client.DownloadData(server.Url("/net/getAutoruns.aspx?lang=ko#top"));

    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/net/getAutoruns.aspx");
    EXPECT_EQ(requests[0].Header("User-Agent"), "Vela Toolbox");
    EXPECT_EQ(requests[1].path, "/net/getAutoruns.aspx?lang=ko");
    EXPECT_EQ(requests[1].Header("User-Agent"), "Vela Updater");
}

TEST_F(WebClientTest, SendsKoreanTextOfTheAddressPercentEncodedAsUtf8)
{
    server.Serve("/%ED%8C%8C%EC%9D%BC%20%EB%AA%A9%EB%A1%9D.xml", Answer("list"));
    EXPECT_EQ(ToBytes(client.DownloadData(server.Url(u8"/파일 목록.xml?q=가"))), "list");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/%ED%8C%8C%EC%9D%BC%20%EB%AA%A9%EB%A1%9D.xml?q=%EA%B0%80");
}

TEST_F(WebClientTest, EveryDownloadAsksTheServerAfresh)
{
    HttpServer::Response cacheable = Answer("first");
    cacheable.headers = {{"Cache-Control", "max-age=3600"}, {"Last-Modified", "Mon, 01 Jan 2024 00:00:00 GMT"}};
    server.Serve("/feed.xml", cacheable);
    std::wstring url = server.Url("/feed.xml");
    EXPECT_EQ(ToBytes(client.DownloadData(url)), "first");
    DWORD size = 0;
    EXPECT_FALSE(GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    cacheable.body = "second";
    server.Serve("/feed.xml", cacheable);
    EXPECT_EQ(ToBytes(WebClient().DownloadData(url)), "second");
    EXPECT_EQ(server.Requests().size(), 2u);
}

TEST(WebClientSettingsTest, RejectsATimeOutThatIsNotPositive)
{
    WebClient client;
    EXPECT_EQ(client.GetTimeout(), 30000);
    ExpectThrows<System::ArgumentOutOfRangeException>([&] { client.SetTimeout(0); });
    ExpectThrows<System::ArgumentOutOfRangeException>([&] { client.SetTimeout(-1); });
    EXPECT_EQ(client.GetTimeout(), 30000);
}

}  // namespace
