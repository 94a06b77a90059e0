#pragma once

// GetMessage is a macro of the platform's headers; including them here renames the member the same
// way in every file that sees this class.
#include <windows.h>

#include <cstdint>

#include "core/CoreApi.h"
#include "core/Object.h"
#include "core/String.h"

namespace System {

// Failures are thrown as heap objects (throw new ArgumentException(...)) and caught as
// System::Exception*; the catcher owns the object and deletes it. An exception owns its inner one.
class VAPCORE_API Exception : public Object {
public:
    explicit Exception(const String& message = String(), Exception* innerException = nullptr);
    ~Exception() override;
    Exception(const Exception&) = delete;
    Exception& operator=(const Exception&) = delete;

    const String& GetMessage() const { return message_; }
    Exception* GetInnerException() const { return inner_; }
    // The kind's full name, such as "System.ArgumentException".
    virtual String GetTypeName() const;
    // "Kind: message", followed by " ---> " and the inner exception's text.
    String ToString() const override;

private:
    String message_;
    Exception* inner_;
};

#define VAPCORE_EXCEPTION_KIND(Kind, Base, TypeName)                                        \
    class VAPCORE_API Kind : public Base {                                                  \
    public:                                                                                 \
        explicit Kind(const String& message = String(), Exception* innerException = nullptr) \
            : Base(message, innerException) {}                                              \
        String GetTypeName() const override { return TypeName; }                            \
    };

VAPCORE_EXCEPTION_KIND(SystemException, Exception, L"System.SystemException")
VAPCORE_EXCEPTION_KIND(ApplicationException, Exception, L"System.ApplicationException")
VAPCORE_EXCEPTION_KIND(ArgumentException, SystemException, L"System.ArgumentException")
VAPCORE_EXCEPTION_KIND(ArgumentNullException, ArgumentException, L"System.ArgumentNullException")
VAPCORE_EXCEPTION_KIND(ArgumentOutOfRangeException, ArgumentException, L"System.ArgumentOutOfRangeException")
VAPCORE_EXCEPTION_KIND(InvalidOperationException, SystemException, L"System.InvalidOperationException")
VAPCORE_EXCEPTION_KIND(InvalidCastException, SystemException, L"System.InvalidCastException")
VAPCORE_EXCEPTION_KIND(FormatException, SystemException, L"System.FormatException")
VAPCORE_EXCEPTION_KIND(NotImplementedException, SystemException, L"System.NotImplementedException")
VAPCORE_EXCEPTION_KIND(NotSupportedException, SystemException, L"System.NotSupportedException")
VAPCORE_EXCEPTION_KIND(NullReferenceException, SystemException, L"System.NullReferenceException")
VAPCORE_EXCEPTION_KIND(KeyNotFoundException, SystemException, L"System.Collections.Generic.KeyNotFoundException")

namespace IO {
VAPCORE_EXCEPTION_KIND(IOException, SystemException, L"System.IO.IOException")
VAPCORE_EXCEPTION_KIND(EndOfStreamException, IOException, L"System.IO.EndOfStreamException")
}  // namespace IO

#undef VAPCORE_EXCEPTION_KIND

// A failed COM call, with its HRESULT.
class VAPCORE_API COMException : public SystemException {
public:
    COMException(const String& message, int32_t errorCode, Exception* innerException = nullptr);
    int32_t GetErrorCode() const { return errorCode_; }
    String GetTypeName() const override;

private:
    int32_t errorCode_;
};

}  // namespace System
