#include "core/Exception.h"

namespace System {

Exception::Exception(const String& message, Exception* innerException)
    : message_(message), inner_(innerException)
{
}

Exception::~Exception() { delete inner_; }

String Exception::GetTypeName() const { return L"System.Exception"; }

String Exception::ToString() const
{
    String text = GetTypeName();
    if (!message_.IsEmpty()) text += L": " + message_;
    if (inner_) text += L" ---> " + inner_->ToString();
    return text;
}

COMException::COMException(const String& message, int32_t errorCode, Exception* innerException)
    : SystemException(message, innerException), errorCode_(errorCode)
{
}

String COMException::GetTypeName() const { return L"System.Runtime.InteropServices.COMException"; }

void _Throw(int code)
{
    switch (code) {
    case ThrowArgument:
        throw new ArgumentException(L"The argument is not valid.");
    case ThrowIndexOutOfRange:
        throw new ArgumentOutOfRangeException(L"Index was out of range.");
    case ThrowArgumentNull:
        throw new ArgumentNullException(L"The argument is null.");
    case ThrowInvalidOperation:
        throw new InvalidOperationException(L"The operation is not valid in the object's current state.");
    case ThrowKeyNotFound:
        throw new KeyNotFoundException(L"The key was not present.");
    case ThrowNotSupported:
        throw new NotSupportedException(L"The operation is not supported.");
    case ThrowNotImplemented:
        throw new NotImplementedException(L"The operation is not implemented.");
    case ThrowNullReference:
        throw new NullReferenceException(L"Object reference not set to an instance of an object.");
    case ThrowEnumerationNotPositioned:
        throw new InvalidOperationException(L"The enumerator is not positioned on an element.");
    case ThrowCollectionModified:
        throw new InvalidOperationException(L"The collection was modified while it was enumerated.");
    default:
        throw new SystemException(String::Format(L"Internal error %d.", code));
    }
}

}  // namespace System
