#include "testing/FolderLink.h"

#include <windows.h>

#include <cstring>

#include "core/String.h"
#include "core/UniqueResource.h"
#include "testing/TestPrefixGuard.h"

namespace TestSupport {

namespace {

std::wstring UnixPath(const std::wstring& path)
{
    using ToUnix = char*(CDECL*)(const wchar_t*);
    FARPROC address = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(address));
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    if (!unix) return std::wstring();
    std::wstring wide = System::String::FromUtf8(unix, static_cast<int>(strlen(unix))).GetStdString();
    HeapFree(GetProcessHeap(), 0, unix);
    return wide;
}

bool RunAndWait(std::wstring command, const std::wstring& link)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) return false;
    System::UniqueHandle thread(process.hThread), handle(process.hProcess);
    // Wine hands back no handle to wait on for a Unix process: there the link itself is awaited.
    if (handle && !IsWine()) WaitForSingleObject(handle.Get(), 10000);
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        Sleep(10);
    }
    return false;
}

bool RunLn(const std::wstring& unixTarget, const std::wstring& unixLink, const std::wstring& link)
{
    return RunAndWait(L"Z:\\bin\\ln -s \"" + unixTarget + L"\" \"" + unixLink + L"\"", link);
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"/")); }

}  // namespace

std::wstring HostNameOf(const std::wstring& path) { return IsWine() ? UnixPath(path) : std::wstring(); }

bool RunHostShell(const std::wstring& command)
{
    if (!IsWine()) return false;
    // Wine hands back no handle to wait on for a Unix process: it leaves a marker when it succeeded.
    wchar_t temp[MAX_PATH + 1] = {};
    wchar_t marker[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length > MAX_PATH || !GetTempFileNameW(temp, L"vsh", 0, marker) || !DeleteFileW(marker)) return false;
    std::wstring unixMarker = UnixPath(marker);
    if (unixMarker.empty()) return false;
    bool done = RunAndWait(L"Z:\\bin\\sh -c \"" + command + L" && touch '" + unixMarker + L"'\"", marker);
    DeleteFileW(marker);
    return done;
}

bool MakeFolderLink(const std::wstring& target, const std::wstring& link, FolderLinkKind kind)
{
    if (!IsWine()) {
        if (kind == FolderLinkKind::SymbolicLink) {
            return CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) != 0;
        }
        return RunAndWait(L"cmd.exe /c mklink /J \"" + link + L"\" \"" + target + L"\"", link);
    }
    std::wstring unixTarget = UnixPath(target), unixLink = UnixPath(link);
    if (unixTarget.empty() || unixLink.empty()) return false;
    if (kind == FolderLinkKind::SymbolicLink && FolderOf(unixTarget) == FolderOf(FolderOf(unixLink))) {
        unixTarget = L"../" + unixTarget.substr(unixTarget.find_last_of(L"/") + 1);
    }
    return RunLn(unixTarget, unixLink, link);
}

bool MakeFileLink(const std::wstring& target, const std::wstring& link)
{
    if (!IsWine()) return CreateSymbolicLinkW(link.c_str(), target.c_str(), 0) != 0;
    std::wstring unixTarget = UnixPath(target), unixLink = UnixPath(link);
    if (unixTarget.empty() || unixLink.empty()) return false;
    return RunLn(unixTarget, unixLink, link);
}

}  // namespace TestSupport
