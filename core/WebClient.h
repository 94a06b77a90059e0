#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/CoreApi.h"
#include "core/String.h"

namespace System {
namespace Net {

// Downloads documents over HTTP and HTTPS with WinINet, always from the server (the URL cache is
// neither read nor written).
class VAPCORE_API WebClient {
public:
    static constexpr int DefaultTimeout = 30000;

    WebClient();

    // The response body of a GET request for url. Raises WebException when the address is
    // malformed, the server cannot be reached, a time-out passes, the server answers with a
    // status outside 200-299, or the body ends early.
    Array<uint8_t> DownloadData(const String& url);

    // The longest wait, in milliseconds, for connecting, sending the request, and each receipt
    // of data; must be positive.
    void SetTimeout(int milliseconds);
    int GetTimeout() const { return timeout_; }
    void SetUserAgent(const String& userAgent) { userAgent_ = userAgent; }

private:
    int timeout_;
    String userAgent_;
};

}  // namespace Net
}  // namespace System
