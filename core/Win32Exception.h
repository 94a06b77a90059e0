#pragma once

#include <cstdint>

#include "core/CoreApi.h"
#include "core/Exception.h"

namespace Microsoft {
namespace Win32 {

// A failed operating-system call: its error code and a message that says what was being done.
class VAPCORE_API Win32Exception : public System::SystemException {
public:
    // The message is the system's text for the error code.
    explicit Win32Exception(uint32_t errorCode);
    Win32Exception(uint32_t errorCode, const System::String& message, System::Exception* innerException = nullptr);

    // Raises one for GetLastError(), with "<what>: <system text>" as its message.
    [[noreturn]] static void ThrowLastError(const System::String& what);
    // Raises one for errorCode, with "<what>: <system text>" as its message.
    [[noreturn]] static void Throw(uint32_t errorCode, const System::String& what);
    static System::String GetSystemMessage(uint32_t errorCode);

    uint32_t GetNativeErrorCode() const { return errorCode_; }
    System::String GetTypeName() const override;

private:
    uint32_t errorCode_;
};

}  // namespace Win32
}  // namespace Microsoft
