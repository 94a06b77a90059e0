#pragma once

#include <windows.h>

#include <string>

namespace UpdaterTests {

// The folder of the running test program, where the helper programs and libraries are built.
inline std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

inline bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Polls for a file for at most timeoutMs; processes started through the shell finish on their own time.
inline bool WaitForFile(const std::wstring& path, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        if (FileExists(path)) return true;
        Sleep(50);
    }
    return false;
}

}  // namespace UpdaterTests
