#include "core/Win32Exception.h"

#include <windows.h>

namespace Microsoft {
namespace Win32 {

using System::String;

Win32Exception::Win32Exception(uint32_t errorCode) : Win32Exception(errorCode, GetSystemMessage(errorCode)) {}

Win32Exception::Win32Exception(uint32_t errorCode, const String& message, System::Exception* innerException)
    : SystemException(message, innerException), errorCode_(errorCode)
{
}

void Win32Exception::ThrowLastError(const String& what) { Throw(GetLastError(), what); }

void Win32Exception::Throw(uint32_t errorCode, const String& what)
{
    throw new Win32Exception(errorCode, what + L": " + GetSystemMessage(errorCode));
}

String Win32Exception::GetSystemMessage(uint32_t errorCode)
{
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    String message = length ? String(text, static_cast<int>(length)).Trim() : String();
    LocalFree(text);
    if (message.IsEmpty()) message = String::Format(L"Error %lu", static_cast<unsigned long>(errorCode));
    return message;
}

String Win32Exception::GetTypeName() const { return L"System.ComponentModel.Win32Exception"; }

}  // namespace Win32
}  // namespace Microsoft
