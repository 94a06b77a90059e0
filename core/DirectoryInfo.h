#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/CoreApi.h"
#include "core/FileInfo.h"
#include "core/FileSystemInfo.h"
#include "core/String.h"

namespace System {
namespace IO {

class VAPCORE_API DirectoryInfo : public FileSystemInfo {
public:
    explicit DirectoryInfo(const String& path);

    // True for an existing folder, false for a file or nothing.
    bool Exists() const override;
    // The files, or the subfolders, whose names match pattern ("*", "*.vsb"), in the order the
    // file system lists them; never "." or "..". A folder link is listed among the subfolders,
    // with IsReparsePoint true. A missing or unreadable folder raises Win32Exception.
    Array<FileInfo> GetFiles(const String& pattern = L"*") const;
    Array<DirectoryInfo> GetDirectories(const String& pattern = L"*") const;
    // Both at once from one listing of the folder, with the same rules: a walk that needs both
    // asks the file system once per folder instead of twice.
    void GetEntries(Array<FileInfo>& files, Array<DirectoryInfo>& folders, const String& pattern = L"*") const;
    // Creates the folder and any missing parents; an existing folder is left as it is.
    void Create();
    // Removes the folder, which must be empty; for a link, removes the link and never its target.
    // Failure raises Win32Exception.
    void Delete();

private:
    DirectoryInfo(const String& fullPath, uint32_t attributes);

    // Calls visit(fullPath, attributes, length) for each listed item.
    template <class Visit>
    void List(const String& pattern, Visit visit) const;
};

}  // namespace IO
}  // namespace System
