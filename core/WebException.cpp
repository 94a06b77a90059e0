#include "core/WebException.h"

namespace System {
namespace Net {

WebException::WebException(const String& message, int statusCode, uint32_t errorCode, Exception* innerException)
    : InvalidOperationException(message, innerException), statusCode_(statusCode), errorCode_(errorCode)
{
}

String WebException::GetTypeName() const { return L"System.Net.WebException"; }

}  // namespace Net
}  // namespace System
