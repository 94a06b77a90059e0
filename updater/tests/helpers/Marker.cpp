#include <windows.h>

// Started by the updater tests: writes its working directory to the file named by its first
// parameter, or to "started.txt" in the working directory.
int wmain(int argc, wchar_t** argv)
{
    wchar_t directory[MAX_PATH] = {};
    DWORD length = GetCurrentDirectoryW(MAX_PATH, directory);
    const wchar_t* target = argc > 1 ? argv[1] : L"started.txt";
    HANDLE file = CreateFileW(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, directory, length * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}
