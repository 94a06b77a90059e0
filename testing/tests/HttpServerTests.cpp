#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "testing/HttpServer.h"

using TestSupport::HttpServer;

namespace {

// A raw client, so that the server is checked without the web client under test elsewhere.
class RawConnection {
public:
    explicit RawConnection(uint16_t port)
    {
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        DWORD timeout = 3000;
        setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        connected_ = connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawConnection() { closesocket(socket_); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool IsConnected() const { return connected_; }
    void Send(const std::string& text)
    {
        ASSERT_EQ(send(socket_, text.data(), static_cast<int>(text.size()), 0), static_cast<int>(text.size()));
    }
    // Everything up to the server's close (or the receive time-out).
    std::string ReceiveAll()
    {
        std::string text;
        char buffer[4096];
        int received;
        while ((received = recv(socket_, buffer, sizeof buffer, 0)) > 0) {
            text.append(buffer, static_cast<size_t>(received));
        }
        return text;
    }

private:
    SOCKET socket_;
    bool connected_ = false;
};

std::string Get(uint16_t port, const std::string& target)
{
    RawConnection connection(port);
    EXPECT_TRUE(connection.IsConnected());
    connection.Send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Test: yes\r\n\r\n");
    return connection.ReceiveAll();
}

class HttpServerTest : public testing::Test {
protected:
    void SetUp() override
    {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
        server = std::make_unique<HttpServer>();
    }
    void TearDown() override
    {
        server.reset();
        WSACleanup();
    }

    std::unique_ptr<HttpServer> server;
};

TEST_F(HttpServerTest, AnswersServedPathsWithoutTheQueryAnd404Otherwise)
{
    HttpServer::Response response;
    response.body = "hello";
    response.contentType = "text/xml";
    response.headers = {{"X-Extra", "1"}};
    server->Serve("/feed.xml", response);

    std::string answer = Get(server->GetPort(), "/feed.xml?x=1");
    EXPECT_EQ(answer.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << answer;
    EXPECT_NE(answer.find("Content-Type: text/xml\r\n"), std::string::npos);
    EXPECT_NE(answer.find("Content-Length: 5\r\n"), std::string::npos);
    EXPECT_NE(answer.find("Connection: close\r\n"), std::string::npos);
    EXPECT_NE(answer.find("X-Extra: 1\r\n"), std::string::npos);
    EXPECT_EQ(answer.substr(answer.size() - 9), "\r\n\r\nhello");

    EXPECT_EQ(Get(server->GetPort(), "/other").rfind("HTTP/1.1 404 ", 0), 0u);

    auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/feed.xml?x=1");
    EXPECT_EQ(requests[0].Header("x-test"), "yes");
    EXPECT_EQ(requests[1].path, "/other");
}

TEST_F(HttpServerTest, ShortBodyAnnouncesAllAndSendsHalf)
{
    HttpServer::Response response;
    response.body = "0123456789";
    response.shortBody = true;
    server->Serve("/cut", response);
    std::string answer = Get(server->GetPort(), "/cut");
    EXPECT_NE(answer.find("Content-Length: 10\r\n"), std::string::npos);
    EXPECT_EQ(answer.substr(answer.find("\r\n\r\n") + 4), "01234");
}

TEST_F(HttpServerTest, DroppedConnectionAnswersNothing)
{
    HttpServer::Response response;
    response.dropConnection = true;
    server->Serve("/drop", response);
    EXPECT_EQ(Get(server->GetPort(), "/drop"), "");
    EXPECT_EQ(server->Requests().size(), 1u);
}

TEST_F(HttpServerTest, SilentClientDoesNotHoldUpOthers)
{
    RawConnection silent(server->GetPort());
    ASSERT_TRUE(silent.IsConnected());
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Get(server->GetPort(), "/").rfind("HTTP/1.1 404 ", 0), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

TEST_F(HttpServerTest, StopsPromptlyWhileAnAnswerIsDelayedOrAClientIsSilent)
{
    HttpServer::Response response;
    response.delayMs = 30000;
    server->Serve("/slow", response);
    RawConnection silent(server->GetPort());
    RawConnection waiting(server->GetPort());
    waiting.Send("GET /slow HTTP/1.1\r\n\r\n");
    for (int i = 0; i < 200 && server->Requests().empty(); ++i) Sleep(10);
    ASSERT_EQ(server->Requests().size(), 1u);

    auto started = std::chrono::steady_clock::now();
    server.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_EQ(waiting.ReceiveAll(), "");
}

TEST_F(HttpServerTest, UnusedPortRefusesConnections)
{
    uint16_t port = HttpServer::UnusedPort();
    EXPECT_NE(port, 0);
    EXPECT_NE(port, server->GetPort());
    EXPECT_FALSE(RawConnection(port).IsConnected());
}

}  // namespace
