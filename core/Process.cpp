#include "core/Process.h"

#include <windows.h>

#include "core/UniqueResource.h"
#include "core/Win32Exception.h"

namespace System {
namespace Diagnostics {

using Microsoft::Win32::Win32Exception;

void Process::EnterDebugMode()
{
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive()))
        Win32Exception::ThrowLastError(L"Cannot open the process token");
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, SE_DEBUG_NAME, &privileges.Privileges[0].Luid))
        Win32Exception::ThrowLastError(L"Cannot look up SeDebugPrivilege");
    if (!AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof privileges, nullptr, nullptr))
        Win32Exception::ThrowLastError(L"Cannot enable SeDebugPrivilege");
    // Success with ERROR_NOT_ALL_ASSIGNED means the token does not hold the privilege at all.
    DWORD error = GetLastError();
    if (error != ERROR_SUCCESS) Win32Exception::Throw(error, L"Cannot enable SeDebugPrivilege");
}

}  // namespace Diagnostics
}  // namespace System
