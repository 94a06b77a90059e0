#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Programs of the suite still running from its install folder, found so that setup can ask them
// to close before it replaces or removes their files.
namespace Setup {

struct RunningProgram {
    DWORD processId = 0;
    std::wstring path;
};

// True when path names folder itself or something below it (compared without case, whatever the
// trailing backslashes).
bool IsInFolder(const std::wstring& path, const std::wstring& folder);

// Every process, the calling one excepted, whose executable lies in folder or below it.
// Processes that cannot be inspected (another user's, protected ones) are left out.
std::vector<RunningProgram> FindProgramsIn(const std::wstring& folder);

// Asks every program running from folder to close as its window's close box would (WM_CLOSE to
// its visible top-level windows that have no owner) and waits up to timeoutMs for them to end.
// A program is never ended by force: it may hold the user's unsaved work. Returns those still
// running.
std::vector<RunningProgram> CloseProgramsIn(const std::wstring& folder, DWORD timeoutMs);

}  // namespace Setup
