#include "testing/TempFolder.h"

#include "testing/FileBytes.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

namespace TestSupport {

TempFolder::TempFolder()
{
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (;;) {
        wchar_t name[64];
        swprintf(name, 64, L"vela-test-%lu-%u-%lu", GetCurrentProcessId(), counter++, GetTickCount());
        path_ = std::wstring(temp) + name;
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create a temporary folder");
    }
}

TempFolder::~TempFolder() { DeleteTree(path_); }

std::wstring TempFolder::WriteFile(const std::wstring& name, const std::string& bytes) const
{
    std::wstring path = *this / name;
    if (!WriteFileBytes(path, bytes)) throw std::runtime_error("cannot write a test file");
    return path;
}

std::string TempFolder::ReadFile(const std::wstring& name) const
{
    std::wstring path = *this / name;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) throw std::runtime_error("cannot open a test file");
    return ReadFileBytes(path);
}

void DeleteTree(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            bool isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (isFolder && !isLink) {
                DeleteTree(child);
            } else if (isFolder) {
                RemoveDirectoryW(child.c_str());
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace TestSupport
