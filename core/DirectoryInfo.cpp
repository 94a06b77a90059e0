#include "core/DirectoryInfo.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/Exception.h"
#include "core/UniqueResource.h"
#include "core/Win32Exception.h"

namespace System {
namespace IO {

using Microsoft::Win32::Win32Exception;

DirectoryInfo::DirectoryInfo(const String& path) : FileSystemInfo(path) {}

DirectoryInfo::DirectoryInfo(const String& fullPath, uint32_t attributes) : FileSystemInfo(fullPath, attributes, 0) {}

bool DirectoryInfo::Exists() const { return IsDirectory(); }

template <class Visit>
void DirectoryInfo::List(const String& pattern, Visit visit) const
{
    // A pattern naming another folder would list items this object would then misplace.
    if (pattern.IsEmpty() || pattern.IndexOf(L'\\') >= 0 || pattern.IndexOf(L'/') >= 0)
        throw new ArgumentException(String::Format(L"pattern: \"%s\" is not a file name pattern.", pattern.GetBuffer()));
    const String& folder = GetFullName();
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileExW(Combine(folder, pattern).GetBuffer(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        DWORD error = GetLastError();
        // The same answer comes for a folder without a match and for some missing folders.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) {
            DWORD attributes = GetFileAttributesW(folder.GetBuffer());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
            error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_DIRECTORY;
        }
        Win32Exception::Throw(error, String::Format(L"Cannot list the folder \"%s\"", folder.GetBuffer()));
    }
    do {
        const wchar_t* name = found.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
        int64_t length = static_cast<int64_t>((static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
        visit(Combine(folder, name), static_cast<uint32_t>(found.dwFileAttributes), length);
    } while (FindNextFileW(find.Get(), &found));
    DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES)
        Win32Exception::Throw(error, String::Format(L"Cannot list the folder \"%s\"", folder.GetBuffer()));
}

Array<FileInfo> DirectoryInfo::GetFiles(const String& pattern) const
{
    std::vector<FileInfo> files;
    List(pattern, [&files](const String& fullPath, uint32_t attributes, int64_t length) {
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(FileInfo(fullPath, attributes, length));
    });
    return Array<FileInfo>(std::move(files));
}

Array<DirectoryInfo> DirectoryInfo::GetDirectories(const String& pattern) const
{
    std::vector<DirectoryInfo> folders;
    List(pattern, [&folders](const String& fullPath, uint32_t attributes, int64_t) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(DirectoryInfo(fullPath, attributes));
    });
    return Array<DirectoryInfo>(std::move(folders));
}

void DirectoryInfo::GetEntries(Array<FileInfo>& files, Array<DirectoryInfo>& folders, const String& pattern) const
{
    std::vector<FileInfo> foundFiles;
    std::vector<DirectoryInfo> foundFolders;
    List(pattern, [&](const String& fullPath, uint32_t attributes, int64_t length) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            foundFolders.push_back(DirectoryInfo(fullPath, attributes));
        } else {
            foundFiles.push_back(FileInfo(fullPath, attributes, length));
        }
    });
    // Assigned only after the whole listing succeeded, so a failure leaves the caller's arrays as they were.
    files = Array<FileInfo>(std::move(foundFiles));
    folders = Array<DirectoryInfo>(std::move(foundFolders));
}

void DirectoryInfo::Create()
{
    Invalidate();
    std::vector<String> missing;
    for (String path = GetFullName(); !path.IsEmpty(); path = GetParentPath(path)) {
        DWORD attributes = GetFileAttributesW(path.GetBuffer());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            missing.push_back(path);
            continue;
        }
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            Win32Exception::Throw(ERROR_ALREADY_EXISTS, String::Format(L"Cannot create the folder \"%s\": \"%s\" is a file",
                                                                       GetFullName().GetBuffer(), path.GetBuffer()));
        break;
    }
    for (auto path = missing.rbegin(); path != missing.rend(); ++path) {
        if (CreateDirectoryW(path->GetBuffer(), nullptr)) continue;
        DWORD error = GetLastError();
        // Another process may have made it meanwhile.
        DWORD attributes = GetFileAttributesW(path->GetBuffer());
        if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        Win32Exception::Throw(error, String::Format(L"Cannot create the folder \"%s\"", path->GetBuffer()));
    }
}

void DirectoryInfo::Delete()
{
    Invalidate();
    const wchar_t* path = GetFullName().GetBuffer();
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        Win32Exception::ThrowLastError(String::Format(L"Cannot delete the folder \"%s\"", path));
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        Win32Exception::Throw(ERROR_DIRECTORY, String::Format(L"Cannot delete the folder \"%s\"", path));
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (!RemoveDirectoryW(path)) Win32Exception::ThrowLastError(String::Format(L"Cannot delete the folder \"%s\"", path));
        return;
    }

    // A link is removed through a handle to the link itself. Some platforms (Wine) resolve the
    // link even when asked not to, and would remove the target: such a handle is refused.
    UniqueHandle link(CreateFileW(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!link) Win32Exception::ThrowLastError(String::Format(L"Cannot open the folder link \"%s\"", path));
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(link.Get(), FileBasicInfo, &basic, sizeof basic))
        Win32Exception::ThrowLastError(String::Format(L"Cannot read the folder link \"%s\"", path));
    if (!(basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        Win32Exception::Throw(ERROR_NOT_SUPPORTED,
                              String::Format(L"Cannot delete the folder link \"%s\" without its target", path));
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (!SetFileInformationByHandle(link.Get(), FileDispositionInfo, &disposition, sizeof disposition))
        Win32Exception::ThrowLastError(String::Format(L"Cannot delete the folder link \"%s\"", path));
}

}  // namespace IO
}  // namespace System
