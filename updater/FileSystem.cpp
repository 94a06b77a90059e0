#include "updater/FileSystem.h"

#include "core/UniqueResource.h"

namespace {

BOOL IsSeparator(WCHAR character) { return character == L'\\' || character == L'/'; }

BOOL IsDirectory(const CString& path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

BOOL CreateDirectories(const CString& path)
{
    for (int i = 1; i < path.GetLength(); ++i) {
        // The separator after a drive or at the start of a UNC name is no directory of its own.
        if (!IsSeparator(path[i]) || IsSeparator(path[i - 1]) || path[i - 1] == L':') continue;
        CString prefix = path.Left(i);
        if (!IsDirectory(prefix)) CreateDirectoryW(prefix, nullptr);
    }
    if (!IsDirectory(path)) CreateDirectoryW(path, nullptr);
    return IsDirectory(path);
}

CString ParentPath(const CString& path)
{
    for (int i = path.GetLength() - 1; i >= 0; --i) {
        if (IsSeparator(path[i])) return path.Left(i);
    }
    return CString();
}

BOOL DeleteTree(const CString& path)
{
    BOOL complete = TRUE;
    WIN32_FIND_DATAW data;
    System::UniqueFindHandle find(FindFirstFileW(path + L"\\*", &data));
    if (find) {
        do {
            CString name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            CString child = path + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
                SetFileAttributesW(child, data.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            }
            BOOL isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !isLink) {
                if (!DeleteTree(child)) complete = FALSE;
            } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (!RemoveDirectoryW(child)) complete = FALSE;
            } else if (!DeleteFileW(child)) {
                complete = FALSE;
            }
        } while (FindNextFileW(find.Get(), &data));
    }
    if (!RemoveDirectoryW(path)) complete = FALSE;
    return complete;
}
