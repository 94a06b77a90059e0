#include "installer/RunningPrograms.h"

#include <tlhelp32.h>

#include <algorithm>

#include "core/UniqueResource.h"

namespace Setup {

namespace {

using System::UniqueHandle;

std::wstring FullPath(const std::wstring& path)
{
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (length == 0 || length >= full.size()) return path;
    full.resize(length);
    return full;
}

std::wstring WithoutTrailingBackslashes(std::wstring path)
{
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

bool SameTextIgnoringCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength)
{
    return CompareStringOrdinal(a, aLength, b, bLength, TRUE) == CSTR_EQUAL;
}

std::wstring ImagePath(HANDLE process)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        if (QueryFullProcessImageNameW(process, 0, buffer.data(), &length)) return std::wstring(buffer.data(), length);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || buffer.size() >= 32768) return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

struct CloseRequest {
    const std::vector<RunningProgram>* programs;
    int windowsAsked = 0;
};

BOOL CALLBACK AskWindowToClose(HWND window, LPARAM parameter)
{
    auto* request = reinterpret_cast<CloseRequest*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    // Owned windows (message boxes, tools laid over the console) close with their owner.
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
    for (const RunningProgram& program : *request->programs) {
        if (program.processId == owner && PostMessageW(window, WM_CLOSE, 0, 0)) ++request->windowsAsked;
    }
    return TRUE;
}

}  // namespace

bool IsInFolder(const std::wstring& path, const std::wstring& folder)
{
    std::wstring base = WithoutTrailingBackslashes(FullPath(folder));
    std::wstring full = WithoutTrailingBackslashes(FullPath(path));
    if (base.empty() || full.size() < base.size()) return false;
    if (!SameTextIgnoringCase(full.c_str(), static_cast<int>(base.size()), base.c_str(), static_cast<int>(base.size())))
        return false;
    // "C:\Program Files\Vela Toolbox 2" is not inside "C:\Program Files\Vela Toolbox".
    return full.size() == base.size() || full[base.size()] == L'\\';
}

std::vector<RunningProgram> FindProgramsIn(const std::wstring& folder)
{
    std::vector<RunningProgram> found;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return found;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId() || entry.th32ProcessID == 0) continue;
        UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (!process) continue;
        std::wstring path = ImagePath(process.Get());
        if (!path.empty() && IsInFolder(path, folder)) found.push_back({entry.th32ProcessID, path});
    }
    return found;
}

std::vector<RunningProgram> CloseProgramsIn(const std::wstring& folder, DWORD timeoutMs)
{
    std::vector<RunningProgram> programs = FindProgramsIn(folder);
    if (programs.empty()) return programs;
    CloseRequest request{&programs};
    EnumWindows(AskWindowToClose, reinterpret_cast<LPARAM>(&request));

    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    std::vector<RunningProgram> running;
    for (const RunningProgram& program : programs) {
        UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, program.processId));
        // A process that cannot be opened any more has ended.
        if (!process) continue;
        ULONGLONG now = GetTickCount64();
        DWORD wait = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        if (WaitForSingleObject(process.Get(), wait) != WAIT_OBJECT_0) running.push_back(program);
    }
    return running;
}

}  // namespace Setup
