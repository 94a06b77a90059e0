#pragma once

#include <cstdint>

#include "core/CoreApi.h"
#include "core/FileSystemInfo.h"
#include "core/String.h"

namespace System {
namespace IO {

class DirectoryInfo;

class VAPCORE_API FileInfo : public FileSystemInfo {
public:
    explicit FileInfo(const String& path);

    // True for an existing file, false for a folder or nothing.
    bool Exists() const override;
    // Raises Win32Exception when there is no such file.
    int64_t GetLength() const;
    // Full path of the folder that holds the file.
    String GetDirectoryName() const;
    // A file that is already gone is not an error; any other failure raises Win32Exception. A link
    // is removed without its target; where the platform cannot remove a link to a file without its
    // target (Wine), the link is refused with ERROR_NOT_SUPPORTED.
    void Delete();

private:
    friend class DirectoryInfo;
    FileInfo(const String& fullPath, uint32_t attributes, int64_t length);
};

}  // namespace IO
}  // namespace System
