#include "core/WebClient.h"

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <climits>
#include <vector>

#include "core/Exception.h"
#include "core/UniqueResource.h"
#include "core/WebException.h"
#include "core/Win32Exception.h"

namespace System {
namespace Net {

namespace {

const DWORD ChunkSize = 64 * 1024;

using Clock = std::chrono::steady_clock;

struct Target {
    bool secure = false;
    String host;
    INTERNET_PORT port = 0;
    String object;
};

String DescribeError(DWORD code)
{
    switch (code) {
    case ERROR_INTERNET_TIMEOUT:
        return L"the operation timed out";
    case ERROR_INTERNET_CANNOT_CONNECT:
        return L"the connection to the server was refused or failed";
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
        return L"the server name could not be resolved";
    case ERROR_INTERNET_CONNECTION_ABORTED:
        return L"the connection was aborted";
    case ERROR_INTERNET_CONNECTION_RESET:
        return L"the connection was reset";
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
        return L"the server closed the connection without a valid response";
    case ERROR_INTERNET_INVALID_URL:
        return L"the address is not valid";
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
        return L"the address has an unrecognised scheme";
    case ERROR_INTERNET_OPERATION_CANCELLED:
        return L"the operation was cancelled";
    }
    if (code >= INTERNET_ERROR_BASE && code <= INTERNET_ERROR_LAST) {
        wchar_t* text = nullptr;
        DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      GetModuleHandleW(L"wininet.dll"), code, 0, reinterpret_cast<wchar_t*>(&text),
                                      0, nullptr);
        String message = length ? String(text, static_cast<int>(length)).Trim() : String();
        LocalFree(text);
        if (!message.IsEmpty()) return message;
        return String::Format(L"WinINet error %lu", static_cast<unsigned long>(code));
    }
    return Microsoft::Win32::Win32Exception::GetSystemMessage(code);
}

[[noreturn]] void ThrowError(const String& url, const wchar_t* what, DWORD code)
{
    throw new WebException(String::Format(L"Cannot download %s: %s (%s, error %lu).", url.GetBuffer(), what,
                                          DescribeError(code).GetBuffer(), static_cast<unsigned long>(code)),
                           0, code);
}

[[noreturn]] void ThrowLastError(const String& url, const wchar_t* what) { ThrowError(url, what, GetLastError()); }

[[noreturn]] void ThrowFailure(const String& url, const String& what)
{
    throw new WebException(String::Format(L"Cannot download %s: %s.", url.GetBuffer(), what.GetBuffer()), 0, 0);
}

// Wine reports a time-out while waiting for the answer as an aborted connection, and one while
// reading the body as the socket's own WSAETIMEDOUT; callers see the one time-out code either way.
// A refused connection fails at once, so one that fails only after the time-out timed out too.
DWORD Classify(DWORD code, Clock::time_point started, int timeout)
{
    // Nine tenths, because the system's timers and this clock tick at different rates.
    bool waitedOut = Clock::now() - started >= std::chrono::milliseconds(timeout) * 9 / 10;
    if (code == WSAETIMEDOUT) return ERROR_INTERNET_TIMEOUT;
    if (waitedOut && (code == ERROR_INTERNET_CONNECTION_ABORTED || code == ERROR_INTERNET_CANNOT_CONNECT)) {
        return ERROR_INTERNET_TIMEOUT;
    }
    return code;
}

bool MustEscape(unsigned char byte)
{
    if (byte <= 0x20 || byte >= 0x7F) return true;
    switch (byte) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
        return true;
    }
    return false;
}

// Servers expect a request target in ASCII with everything else percent-encoded as UTF-8; WinINet
// would otherwise convert the text through the process code page. Existing escapes stay as given.
String EscapeRequestTarget(const String& target)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string escaped;
    for (unsigned char byte : target.ToUtf8()) {
        if (MustEscape(byte)) {
            escaped += '%';
            escaped += hex[byte >> 4];
            escaped += hex[byte & 0x0F];
        } else {
            escaped += static_cast<char>(byte);
        }
    }
    return String::FromUtf8(escaped);
}

Target CrackUrl(const String& url)
{
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (url.IsEmpty() || !InternetCrackUrlW(url.GetBuffer(), 0, 0, &parts)) {
        ThrowError(url, L"the address is malformed", url.IsEmpty() ? ERROR_INTERNET_INVALID_URL : GetLastError());
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        ThrowError(url, L"only http and https addresses can be downloaded", ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    }
    if (!parts.lpszHostName || parts.dwHostNameLength == 0) {
        ThrowError(url, L"the address names no server", ERROR_INTERNET_INVALID_URL);
    }
    // WinINet keeps only the low 16 bits of a port number that is too large.
    const wchar_t* portText = parts.lpszHostName + parts.dwHostNameLength;
    if (*portText == L':') {
        unsigned long port = 0;
        int digits = 0;
        for (++portText; *portText >= L'0' && *portText <= L'9' && port <= 65535; ++portText, ++digits) {
            port = port * 10 + static_cast<unsigned long>(*portText - L'0');
        }
        if (digits == 0 || port == 0 || port > 65535) {
            ThrowError(url, L"the port number is not valid", ERROR_INTERNET_INVALID_URL);
        }
    }
    Target target;
    target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    target.host = String(parts.lpszHostName, static_cast<int>(parts.dwHostNameLength));
    target.port = parts.nPort;
    String object;
    if (parts.lpszUrlPath) object = String(parts.lpszUrlPath, static_cast<int>(parts.dwUrlPathLength));
    if (parts.lpszExtraInfo) object += String(parts.lpszExtraInfo, static_cast<int>(parts.dwExtraInfoLength));
    // The fragment belongs to the reader of the document, never to the server.
    int fragment = object.IndexOf(L'#');
    if (fragment >= 0) object = object.Substring(0, fragment);
    if (object.IsEmpty() || object[0] != L'/') object = L"/" + object;
    target.object = EscapeRequestTarget(object);
    return target;
}

void SetTimeouts(HINTERNET handle, const String& url, int milliseconds)
{
    DWORD value = static_cast<DWORD>(milliseconds);
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        if (!InternetSetOptionW(handle, option, &value, sizeof value)) ThrowLastError(url, L"cannot set the time-out");
    }
}

DWORD QueryStatusCode(HINTERNET request, const String& url)
{
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        ThrowLastError(url, L"cannot read the response status");
    }
    return status;
}

String QueryText(HINTERNET request, DWORD query)
{
    wchar_t text[256];
    DWORD size = sizeof text;
    if (!HttpQueryInfoW(request, query, text, &size, nullptr)) return String();
    return String(text, static_cast<int>(size / sizeof(wchar_t)));
}

// The announced body length, or -1 when the response announces none (or one that is not a number).
long long QueryContentLength(HINTERNET request)
{
    String text = QueryText(request, HTTP_QUERY_CONTENT_LENGTH).Trim();
    if (text.IsEmpty() || text.GetLength() > 18) return -1;
    long long length = 0;
    for (wchar_t digit : text.GetStdString()) {
        if (digit < L'0' || digit > L'9') return -1;
        length = length * 10 + (digit - L'0');
    }
    return length;
}

}  // namespace

WebClient::WebClient() : timeout_(DefaultTimeout), userAgent_(L"Vela Toolbox") {}

void WebClient::SetTimeout(int milliseconds)
{
    if (milliseconds <= 0) {
        throw new ArgumentOutOfRangeException(L"The time-out must be a positive number of milliseconds.");
    }
    timeout_ = milliseconds;
}

Array<uint8_t> WebClient::DownloadData(const String& url)
{
    Target target = CrackUrl(url);

    UniqueInternetHandle session(
        InternetOpenW(userAgent_.GetBuffer(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) ThrowLastError(url, L"cannot open an Internet session");
    SetTimeouts(session.Get(), url, timeout_);

    UniqueInternetHandle connection(InternetConnectW(session.Get(), target.host.GetBuffer(), target.port, nullptr,
                                                     nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) ThrowLastError(url, L"cannot connect to the server");

    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_NO_UI | (target.secure ? INTERNET_FLAG_SECURE : 0);
    UniqueInternetHandle request(HttpOpenRequestW(connection.Get(), L"GET", target.object.GetBuffer(), nullptr,
                                                  nullptr, acceptTypes, flags, 0));
    if (!request) ThrowLastError(url, L"cannot create the request");
    SetTimeouts(request.Get(), url, timeout_);

    Clock::time_point started = Clock::now();
    if (!HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0)) {
        ThrowError(url, L"the request failed", Classify(GetLastError(), started, timeout_));
    }

    DWORD status = QueryStatusCode(request.Get(), url);
    // WinINet takes a connection closed without a status line for an answer with status 0.
    if (status == 0) ThrowError(url, L"the server sent no answer", ERROR_HTTP_INVALID_SERVER_RESPONSE);
    if (status < 200 || status > 299) {
        String reason = QueryText(request.Get(), HTTP_QUERY_STATUS_TEXT);
        throw new WebException(String::Format(L"Cannot download %s: the server answered %lu %s.", url.GetBuffer(),
                                              static_cast<unsigned long>(status), reason.GetBuffer()),
                               static_cast<int>(status), 0);
    }

    long long announced = QueryContentLength(request.Get());
    std::vector<uint8_t> body;
    std::vector<uint8_t> chunk(ChunkSize);
    for (;;) {
        DWORD read = 0;
        started = Clock::now();
        if (!InternetReadFile(request.Get(), chunk.data(), ChunkSize, &read)) {
            ThrowError(url, L"the connection failed while the body was received",
                       Classify(GetLastError(), started, timeout_));
        }
        if (read == 0) break;
        if (body.size() + read > static_cast<size_t>(INT_MAX)) ThrowFailure(url, L"the body is too large");
        body.insert(body.end(), chunk.begin(), chunk.begin() + read);
    }
    if (announced >= 0 && static_cast<long long>(body.size()) != announced) {
        ThrowFailure(url, String::Format(L"the connection closed after %I64d of the %I64d announced bytes",
                                         static_cast<long long>(body.size()), announced));
    }
    return Array<uint8_t>(std::move(body));
}

}  // namespace Net
}  // namespace System
