#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

// A small HTTP/1.1 server on 127.0.0.1 at a port the system picks, answering from a background
// thread until it is destroyed. Every answer closes its connection.
class HttpServer {
public:
    struct Response {
        int status = 200;
        std::string body;
        std::string contentType = "application/octet-stream";
        std::vector<std::pair<std::string, std::string>> headers;
        // Wait before answering; the destructor cuts the wait short.
        int delayMs = 0;
        // Close the connection without answering.
        bool dropConnection = false;
        // Announce the whole Content-Length, send half of the body, then close.
        bool shortBody = false;
        // Announce the whole Content-Length, send half of the body, then wait until the server
        // is destroyed.
        bool stallBody = false;
        // Announce the whole Content-Length, send this many bytes of the body, count the answer in
        // Stalls(), then wait until the server is destroyed; -1 sends the body as the flags above say.
        int64_t stallAfter = -1;
    };

    struct Request {
        std::string method;
        // The request target as received, query included.
        std::string path;
        std::vector<std::pair<std::string, std::string>> headers;

        // The value of the first header named name (compared without case), or "" when absent.
        std::string Header(const std::string& name) const;
    };

    HttpServer();
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    uint16_t GetPort() const;
    // "http://127.0.0.1:<port>" followed by path (UTF-8).
    std::wstring Url(const std::string& path) const;

    // Answers requests for path (matched without the query) with response from now on, replacing
    // an earlier answer. Paths never served answer 404.
    void Serve(const std::string& path, Response response);
    // Every request received so far, oldest first.
    std::vector<Request> Requests() const;
    // How many answers have sent their stallAfter bytes and now wait.
    int Stalls() const;

    // A loopback port where nothing listens, for refused-connection tests.
    static uint16_t UnusedPort();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace TestSupport
