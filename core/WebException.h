#pragma once

#include <cstdint>

#include "core/CoreApi.h"
#include "core/Exception.h"

namespace System {
namespace Net {

// A failed web download. Carries the server's HTTP status when the server answered with a
// failure, or the WinINet or system error code when the exchange itself failed.
class VAPCORE_API WebException : public InvalidOperationException {
public:
    WebException(const String& message, int statusCode, uint32_t errorCode, Exception* innerException = nullptr);

    // The HTTP status the server answered with, or 0 when no failing status was received.
    int GetStatusCode() const { return statusCode_; }
    // The WinINet or operating-system error code, or 0.
    uint32_t GetErrorCode() const { return errorCode_; }
    String GetTypeName() const override;

private:
    int statusCode_;
    uint32_t errorCode_;
};

}  // namespace Net
}  // namespace System
