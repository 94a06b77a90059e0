#include "core/FileInfo.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/UniqueResource.h"
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

namespace {

using Microsoft::Win32::Win32Exception;

// The file's name as the object manager knows it ("\??\C:\..."), in the extended-length form
// ("\\?\C:\...").
String ObjectPath(HANDLE handle, const String& path)
{
    struct ObjectName {
        USHORT length;
        USHORT maximumLength;
        PWSTR buffer;
    };
    using QueryObject = LONG(NTAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    const int objectNameInformation = 1;
    std::vector<uint8_t> buffer(sizeof(ObjectName) + 32768 * sizeof(wchar_t));
    ULONG size = 0;
    if (!query || query(handle, objectNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &size) < 0)
        Win32Exception::Throw(ERROR_MORE_DATA, String::Format(L"Cannot resolve \"%s\"", path.GetBuffer()));
    const auto* name = reinterpret_cast<const ObjectName*>(buffer.data());
    std::wstring text(name->buffer, name->length / sizeof(wchar_t));
    if (text.compare(0, 4, L"\\??\\") == 0) text.replace(0, 4, L"\\\\?\\");
    return String(std::move(text));
}

String FinalPath(HANDLE handle, const String& path)
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetFinalPathNameByHandleW(handle, &buffer[0], static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
        // Windows answers a short buffer with the size it needs; Wine cannot name a path longer
        // than MAX_PATH this way and fails with ERROR_MORE_DATA: the object's own name tells it.
        if (length == 0 && GetLastError() == ERROR_MORE_DATA) return ObjectPath(handle, path);
        if (length == 0) Win32Exception::ThrowLastError(String::Format(L"Cannot resolve \"%s\"", path.GetBuffer()));
        if (length < buffer.size()) return String(buffer.substr(0, length));
        buffer.resize(length);
    }
}

String TrimmedName(const String& name)
{
    std::wstring text = name.GetStdString();
    while (!text.empty() && (text.back() == L'.' || text.back() == L' ')) text.pop_back();
    return String(std::move(text));
}

String FolderFinalPath(const String& folder)
{
    UniqueHandle handle(CreateFileW(folder.GetBuffer(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) Win32Exception::ThrowLastError(String::Format(L"Cannot open the folder \"%s\"", folder.GetBuffer()));
    return FinalPath(handle.Get(), folder);
}

}  // namespace

void FileInfo::Delete()
{
    Invalidate();
    const String& path = GetFullName();
    // The file is deleted through the very handle that was checked, so nothing can swap it meanwhile.
    UniqueHandle file(CreateFileW(path.GetBuffer(), DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        // With its folder gone the file is gone too.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
        Win32Exception::Throw(error, String::Format(L"Cannot delete \"%s\"", path.GetBuffer()));
    }
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(file.Get(), FileBasicInfo, &basic, sizeof basic))
        Win32Exception::ThrowLastError(String::Format(L"Cannot read \"%s\"", path.GetBuffer()));
    // A link that shows as one (Windows) is opened as itself above; deleting it leaves its target.
    // Some platforms (Wine) show a link to a file as an ordinary file and resolve it on every open,
    // even this one: its final path then names the target elsewhere, which must not be deleted.
    if (!(basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        String folder = FolderFinalPath(GetDirectoryName());
        String finalPath = FinalPath(file.Get(), path);
        // Wine names "name." and "name " without their trailing dots and spaces there.
        if (!finalPath.Equals(Combine(folder, GetName()), true) && !finalPath.Equals(Combine(folder, TrimmedName(GetName())), true)) {
            Win32Exception::Throw(ERROR_NOT_SUPPORTED, String::Format(L"Cannot delete the file link \"%s\" without its target \"%s\"",
                                                                      path.GetBuffer(), finalPath.GetBuffer()));
        }
    }
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (!SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof disposition))
        Win32Exception::ThrowLastError(String::Format(L"Cannot delete \"%s\"", path.GetBuffer()));
}

}  // namespace IO
}  // namespace System
