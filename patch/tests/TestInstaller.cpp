// Stands in for the agent's installer: writes its command line to "<its own path>.ran" and ends.
#include <windows.h>

#include <string>

int wmain()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 2;
    std::wstring marker = std::wstring(path, length) + L".ran";
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const wchar_t* command = GetCommandLineW();
    DWORD written = 0;
    WriteFile(file, command, static_cast<DWORD>(wcslen(command) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return 0;
}
