#include "core/Environment.h"

#include <shlobj.h>

#include <vector>

#include "core/Exception.h"
#include "core/Win32Exception.h"

namespace System {

namespace {

using Microsoft::Win32::Win32Exception;

// False when the variable is not set; a variable set to an empty text answers true.
bool TryGetVariable(const std::wstring& name, std::wstring& value)
{
    std::vector<wchar_t> buffer(256);
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        DWORD length = GetEnvironmentVariableW(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (GetLastError() != ERROR_SUCCESS) return false;
            value.clear();
            return true;
        }
        if (length < buffer.size()) {
            value.assign(buffer.data(), length);
            return true;
        }
        // Too small: length is the size needed, NUL included. Ask again, as the value may change.
        buffer.resize(length);
    }
}

// The shell folder of each ESpecialFolder code, in code order.
const int kShellFolders[] = {
    CSIDL_APPDATA,
    CSIDL_COMMON_APPDATA,
    CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_COOKIES,
    CSIDL_DESKTOP,
    CSIDL_DESKTOPDIRECTORY,
    CSIDL_FAVORITES,
    CSIDL_HISTORY,
    CSIDL_INTERNET_CACHE,
    CSIDL_LOCAL_APPDATA,
    CSIDL_DRIVES,
    CSIDL_MYMUSIC,
    CSIDL_MYPICTURES,
    CSIDL_PERSONAL,
    CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAMS,
    CSIDL_RECENT,
    CSIDL_SENDTO,
    CSIDL_STARTMENU,
    CSIDL_STARTUP,
    CSIDL_SYSTEM,
    CSIDL_TEMPLATES,
    CSIDL_WINDOWS,
    CSIDL_COMMON_DESKTOPDIRECTORY,
    CSIDL_COMMON_PROGRAMS,
    CSIDL_COMMON_STARTMENU,
    CSIDL_COMMON_STARTUP,
    CSIDL_COMMON_DOCUMENTS,
    CSIDL_PROFILE,
};
constexpr int kShellFolderCount = static_cast<int>(sizeof kShellFolders / sizeof kShellFolders[0]);

OperatingSystem ReadOperatingSystem()
{
    OSVERSIONINFOEXW info = Environment::GetVersionRecord();
    int revision = (static_cast<int>(info.wServicePackMajor) << 16) | info.wServicePackMinor;
    Version version(static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion),
                    static_cast<int>(info.dwBuildNumber), revision);
    return OperatingSystem(static_cast<PlatformID>(info.dwPlatformId), version, String(info.szCSDVersion));
}

}  // namespace

String Environment::ExpandEnvironmentVariables(const String& text)
{
    // Done here rather than by ExpandEnvironmentStrings, which stops at 32K characters.
    const std::wstring& source = text.GetStdString();
    std::wstring result;
    size_t position = 0;
    while (position < source.size()) {
        size_t open = source.find(L'%', position);
        if (open == std::wstring::npos) {
            result.append(source, position, std::wstring::npos);
            break;
        }
        result.append(source, position, open - position);
        size_t close = source.find(L'%', open + 1);
        if (close == std::wstring::npos) {
            result.append(source, open, std::wstring::npos);
            break;
        }
        std::wstring value;
        if (close > open + 1 && TryGetVariable(source.substr(open + 1, close - open - 1), value)) {
            result += value;
        } else {
            result.append(source, open, close - open + 1);
        }
        position = close + 1;
    }
    return String(std::move(result));
}

String Environment::GetEnvironmentVariable(const String& name)
{
    std::wstring value;
    if (name.IsEmpty() || !TryGetVariable(name.GetStdString(), value)) return String();
    return String(std::move(value));
}

String Environment::GetFolderPath(int specialFolder)
{
    if (specialFolder < 0 || specialFolder >= kShellFolderCount)
        throw new ArgumentOutOfRangeException(
            String::Format(L"The special folder code %d is outside 0 to %d.", specialFolder, kShellFolderCount - 1));
    wchar_t path[MAX_PATH] = L"";
    // A folder that does not exist yet still has a path; callers that walk it find it empty.
    HRESULT result = SHGetFolderPathW(nullptr, kShellFolders[specialFolder] | CSIDL_FLAG_DONT_VERIFY, nullptr,
                                      SHGFP_TYPE_CURRENT, path);
    if (FAILED(result)) return String();
    std::wstring folder(path);
    // A drive's root keeps its backslash: "C:" alone would mean that drive's current folder.
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return String(std::move(folder));
}

OSVERSIONINFOEXW Environment::GetVersionRecord()
{
    // RtlGetVersion tells the true version; GetVersionEx reports an older one to programs
    // that do not declare the newer systems in a manifest.
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    FARPROC address = ntdll ? GetProcAddress(ntdll, "RtlGetVersion") : nullptr;
    if (!address) Win32Exception::ThrowLastError(L"Cannot find RtlGetVersion in ntdll.dll");
    auto getVersion = reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(address));
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (getVersion(&info) < 0)
        Win32Exception::Throw(ERROR_NOT_SUPPORTED, L"The operating system did not report its version");
    return info;
}

const OperatingSystem* Environment::GetOSVersion()
{
    static const OperatingSystem operatingSystem = ReadOperatingSystem();
    return &operatingSystem;
}

}  // namespace System
