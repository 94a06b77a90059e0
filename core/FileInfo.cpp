#include "core/FileInfo.h"

#include <windows.h>

#include "core/Win32Exception.h"

namespace System {
namespace IO {

FileInfo::FileInfo(const String& path) : FileSystemInfo(path) {}

FileInfo::FileInfo(const String& fullPath, uint32_t attributes, int64_t length)
    : FileSystemInfo(fullPath, attributes, length)
{
}

bool FileInfo::Exists() const { return IsPresent() && !IsDirectory(); }

int64_t FileInfo::GetLength() const
{
    if (!Exists()) ThrowNotFound(L"Cannot read the length of the file");
    return GetCachedLength();
}

String FileInfo::GetDirectoryName() const { return GetParentPath(GetFullName()); }

void FileInfo::Delete()
{
    Invalidate();
    if (DeleteFileW(GetFullName().GetBuffer())) return;
    DWORD error = GetLastError();
    // With its folder gone the file is gone too.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
    Microsoft::Win32::Win32Exception::Throw(error, String::Format(L"Cannot delete \"%s\"", GetFullName().GetBuffer()));
}

}  // namespace IO
}  // namespace System
