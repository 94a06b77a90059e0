#include <winsock2.h>
#include <windows.h>

#include "testing/HttpServer.h"

#include <atomic>
#include <list>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "core/UniqueResource.h"

namespace TestSupport {

namespace {

struct SocketTraits {
    using Type = SOCKET;
    static Type Invalid() { return INVALID_SOCKET; }
    static bool IsValid(Type value) { return value != INVALID_SOCKET; }
    static void Close(Type value) { closesocket(value); }
};

using UniqueSocket = System::UniqueResource<SocketTraits>;

// A client gets this long to send its request head; it bounds every connection's life.
const DWORD RequestTimeLimitMs = 5000;
const size_t RequestHeadLimit = 64 * 1024;
const DWORD SendTimeoutMs = 5000;

[[noreturn]] void Fail(const char* what)
{
    throw std::runtime_error(std::string("HttpServer: ") + what + " failed with error " +
                             std::to_string(WSAGetLastError()));
}

class WinsockUse {
public:
    WinsockUse()
    {
        WSADATA data;
        int result = WSAStartup(MAKEWORD(2, 2), &data);
        if (result != 0) throw std::runtime_error("HttpServer: WSAStartup failed with error " + std::to_string(result));
    }
    ~WinsockUse() { WSACleanup(); }
    WinsockUse(const WinsockUse&) = delete;
    WinsockUse& operator=(const WinsockUse&) = delete;
};

// A socket bound to 127.0.0.1 at a port the system picks.
UniqueSocket BindLoopback(uint16_t& port)
{
    UniqueSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!socket) Fail("socket");
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (bind(socket.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) Fail("bind");
    int size = sizeof address;
    if (getsockname(socket.Get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) Fail("getsockname");
    port = ntohs(address.sin_port);
    return socket;
}

System::UniqueHandle NewEvent()
{
    System::UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) throw std::runtime_error("HttpServer: CreateEvent failed with error " + std::to_string(GetLastError()));
    return event;
}

std::string ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

// Parses "METHOD target version" and the header lines of a request head that ends in an empty line.
bool ParseRequest(const std::string& head, HttpServer::Request& request)
{
    size_t lineEnd = head.find("\r\n");
    std::string line = head.substr(0, lineEnd);
    size_t firstSpace = line.find(' ');
    size_t secondSpace = firstSpace == std::string::npos ? std::string::npos : line.find(' ', firstSpace + 1);
    if (secondSpace == std::string::npos || firstSpace == 0 || secondSpace == firstSpace + 1) return false;
    request.method = line.substr(0, firstSpace);
    request.path = line.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    for (size_t start = lineEnd + 2; start < head.size();) {
        size_t end = head.find("\r\n", start);
        if (end == std::string::npos || end == start) break;
        line = head.substr(start, end - start);
        size_t colon = line.find(':');
        if (colon != std::string::npos) {
            request.headers.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
        }
        start = end + 2;
    }
    return true;
}

bool SendAll(SOCKET socket, const char* data, size_t size)
{
    while (size > 0) {
        int chunk = static_cast<int>(size < 65536 ? size : 65536);
        int sent = send(socket, data, chunk, 0);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

}  // namespace

std::string HttpServer::Request::Header(const std::string& name) const
{
    for (const auto& header : headers) {
        if (EqualsIgnoringCase(header.first, name)) return header.second;
    }
    return std::string();
}

struct HttpServer::State {
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    WinsockUse winsock;
    System::UniqueHandle stop = NewEvent();
    System::UniqueHandle acceptable = NewEvent();
    UniqueSocket listener;
    uint16_t port = 0;

    mutable std::mutex mutex;
    std::map<std::string, Response> responses;
    std::vector<Request> requests;
    std::atomic<int> stalls{0};

    // Touched by the accepting thread only, and by the destructor once that thread has ended.
    std::list<Worker> workers;
    std::thread acceptor;

    void Accept();
    void ReapFinishedWorkers();
    void Answer(SOCKET connection);
    bool ReceiveHead(SOCKET connection, std::string& head);
};

void HttpServer::State::Accept()
{
    for (;;) {
        HANDLE handles[] = {stop.Get(), acceptable.Get()};
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
        WSANETWORKEVENTS events;
        if (WSAEnumNetworkEvents(listener.Get(), acceptable.Get(), &events) != 0) return;
        for (;;) {
            UniqueSocket connection(accept(listener.Get(), nullptr, nullptr));
            if (!connection) break;
            ReapFinishedWorkers();
            auto done = std::make_shared<std::atomic<bool>>(false);
            std::thread thread(
                [this, done](UniqueSocket socket) {
                    Answer(socket.Get());
                    *done = true;
                },
                std::move(connection));
            workers.push_back(Worker{std::move(thread), done});
        }
    }
}

void HttpServer::State::ReapFinishedWorkers()
{
    for (auto worker = workers.begin(); worker != workers.end();) {
        if (*worker->done) {
            worker->thread.join();
            worker = workers.erase(worker);
        } else {
            ++worker;
        }
    }
}

// Reads up to the empty line that ends the request head, giving up when the server stops, the
// client closes, or the time limit passes.
bool HttpServer::State::ReceiveHead(SOCKET connection, std::string& head)
{
    System::UniqueHandle readable(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!readable || WSAEventSelect(connection, readable.Get(), FD_READ | FD_CLOSE) != 0) return false;
    ULONGLONG deadline = GetTickCount64() + RequestTimeLimitMs;
    bool closed = false;
    while (head.find("\r\n\r\n") == std::string::npos) {
        ULONGLONG now = GetTickCount64();
        if (closed || head.size() > RequestHeadLimit || now >= deadline) return false;
        HANDLE handles[] = {stop.Get(), readable.Get()};
        if (WaitForMultipleObjects(2, handles, FALSE, static_cast<DWORD>(deadline - now)) != WAIT_OBJECT_0 + 1) {
            return false;
        }
        WSANETWORKEVENTS events;
        if (WSAEnumNetworkEvents(connection, readable.Get(), &events) != 0) return false;
        for (;;) {
            char buffer[4096];
            int received = recv(connection, buffer, sizeof buffer, 0);
            if (received > 0) {
                head.append(buffer, static_cast<size_t>(received));
            } else {
                closed = received == 0 || WSAGetLastError() != WSAEWOULDBLOCK;
                break;
            }
        }
    }
    // The answer is sent with plain blocking calls, bounded by a send time-out.
    u_long blocking = 0;
    DWORD sendTimeout = SendTimeoutMs;
    return WSAEventSelect(connection, nullptr, 0) == 0 && ioctlsocket(connection, FIONBIO, &blocking) == 0 &&
           setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout),
                      sizeof sendTimeout) == 0;
}

void HttpServer::State::Answer(SOCKET connection)
{
    std::string head;
    Request request;
    if (!ReceiveHead(connection, head) || !ParseRequest(head, request)) return;

    Response response;
    {
        std::lock_guard<std::mutex> lock(mutex);
        requests.push_back(request);
        auto served = responses.find(request.path.substr(0, request.path.find('?')));
        if (served != responses.end()) {
            response = served->second;
        } else {
            response.status = 404;
            response.body = "Not Found";
            response.contentType = "text/plain";
        }
    }

    if (response.delayMs > 0 && WaitForSingleObject(stop.Get(), static_cast<DWORD>(response.delayMs)) != WAIT_TIMEOUT) {
        return;
    }
    if (response.dropConnection) return;

    std::string answer = "HTTP/1.1 " + std::to_string(response.status) + " " + ReasonPhrase(response.status) + "\r\n";
    answer += "Content-Type: " + response.contentType + "\r\n";
    answer += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    answer += "Connection: close\r\n";
    for (const auto& header : response.headers) answer += header.first + ": " + header.second + "\r\n";
    answer += "\r\n";
    bool half = response.shortBody || response.stallBody;
    size_t bodySize = half ? response.body.size() / 2 : response.body.size();
    bool stallAfter = response.stallAfter >= 0 && static_cast<uint64_t>(response.stallAfter) <= response.body.size();
    if (stallAfter) bodySize = static_cast<size_t>(response.stallAfter);
    if (!SendAll(connection, answer.data(), answer.size()) || !SendAll(connection, response.body.data(), bodySize)) {
        return;
    }
    if (stallAfter) ++stalls;
    if (response.stallBody || stallAfter) WaitForSingleObject(stop.Get(), INFINITE);
    shutdown(connection, SD_SEND);
}

HttpServer::HttpServer() : state_(new State)
{
    state_->listener = BindLoopback(state_->port);
    if (listen(state_->listener.Get(), SOMAXCONN) != 0) Fail("listen");
    if (WSAEventSelect(state_->listener.Get(), state_->acceptable.Get(), FD_ACCEPT) != 0) Fail("WSAEventSelect");
    state_->acceptor = std::thread(&State::Accept, state_.get());
}

HttpServer::~HttpServer()
{
    SetEvent(state_->stop.Get());
    state_->acceptor.join();
    for (auto& worker : state_->workers) worker.thread.join();
}

uint16_t HttpServer::GetPort() const { return state_->port; }

std::wstring HttpServer::Url(const std::string& path) const
{
    std::string url = "http://127.0.0.1:" + std::to_string(state_->port) + path;
    int length = MultiByteToWideChar(CP_UTF8, 0, url.data(), static_cast<int>(url.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, url.data(), static_cast<int>(url.size()), &wide[0], length);
    return wide;
}

void HttpServer::Serve(const std::string& path, Response response)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->responses[path] = std::move(response);
}

std::vector<HttpServer::Request> HttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->requests;
}

int HttpServer::Stalls() const { return state_->stalls; }

uint16_t HttpServer::UnusedPort()
{
    // Bound for the whole run but never listening: connections are refused, and no other socket,
    // such as a server of a test running in parallel, can take the port meanwhile.
    struct Reservation {
        WinsockUse winsock;
        uint16_t port = 0;
        UniqueSocket socket = BindLoopback(port);
    };
    static const Reservation reservation;
    return reservation.port;
}

}  // namespace TestSupport
