#include "installer/RunningPrograms.h"

#include <tlhelp32.h>

#include <algorithm>
#include <set>

#include "core/UniqueResource.h"

namespace Setup {

namespace {

using System::UniqueHandle;

constexpr ULONGLONG kAskAgainMs = 200;

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
    const std::vector<DWORD>* processIds;
    std::set<HWND>* asked;
};

BOOL CALLBACK AskWindowToClose(HWND window, LPARAM parameter)
{
    auto* request = reinterpret_cast<CloseRequest*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    // Owned windows (message boxes, tools laid over the console) close with their owner.
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) || request->asked->count(window)) return TRUE;
    const std::vector<DWORD>& ids = *request->processIds;
    if (std::find(ids.begin(), ids.end(), owner) != ids.end() && PostMessageW(window, WM_CLOSE, 0, 0))
        request->asked->insert(window);
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
    std::vector<RunningProgram> running;
    std::vector<UniqueHandle> processes;
    for (const RunningProgram& program : FindProgramsIn(folder)) {
        UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, program.processId));
        // A process that cannot be opened any more has ended.
        if (!process) continue;
        running.push_back(program);
        processes.push_back(std::move(process));
    }
    std::set<HWND> asked;
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        for (size_t i = running.size(); i-- > 0;) {
            if (WaitForSingleObject(processes[i].Get(), 0) == WAIT_OBJECT_0) {
                running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
                processes.erase(processes.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        if (running.empty()) return running;
        // A program that is still starting shows its window later: ask every window as it appears.
        std::vector<DWORD> processIds;
        for (const RunningProgram& program : running) processIds.push_back(program.processId);
        CloseRequest request{&processIds, &asked};
        EnumWindows(AskWindowToClose, reinterpret_cast<LPARAM>(&request));
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return running;
        std::vector<HANDLE> handles;
        for (size_t i = 0; i < processes.size() && i < MAXIMUM_WAIT_OBJECTS; ++i) handles.push_back(processes[i].Get());
        DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kAskAgainMs));
        WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, slice);
    }
}

}  // namespace Setup
