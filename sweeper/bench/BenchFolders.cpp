#include "sweeper/bench/BenchFolders.h"

#include <windows.h>

namespace BenchFolders {
namespace {

bool WriteSmallFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, "0123456789", 10, &written, nullptr);
    CloseHandle(file);
    return ok != FALSE;
}

bool MakeFolderWithFiles(const std::wstring& path)
{
    if (!CreateDirectoryW(path.c_str(), nullptr)) return false;
    for (int i = 0; i < FilesPerFolder; ++i) {
        if (!WriteSmallFile(path + L"\\file" + std::to_wstring(i) + L".tmp")) return false;
    }
    return true;
}

}  // namespace

bool Build(const std::wstring& root)
{
    for (int top = 0; top < TopFolders; ++top) {
        std::wstring folder = root + L"\\top" + std::to_wstring(top);
        if (!MakeFolderWithFiles(folder)) return false;
        for (int sub = 0; sub < SubfoldersEach; ++sub) {
            if (!MakeFolderWithFiles(folder + L"\\sub" + std::to_wstring(sub))) return false;
        }
    }
    return true;
}

}  // namespace BenchFolders
