#pragma once

#include <cstdint>

#include "core/CoreApi.h"
#include "core/Object.h"
#include "core/String.h"

namespace System {
namespace IO {

// A file or folder named by its full path. Its attributes are read on first use and kept until
// Refresh; items listed by DirectoryInfo carry what the listing found, so a walk asks the file
// system once per folder rather than once per item.
class VAPCORE_API FileSystemInfo : public Object {
public:
    // The platform's full path, without a trailing backslash except at a root ("C:\").
    const String& GetFullName() const { return fullPath_; }
    // The last component; the full path for a root.
    String GetName() const;
    virtual bool Exists() const = 0;
    // FILE_ATTRIBUTE_* bits; raises Win32Exception when the item cannot be found.
    uint32_t GetAttributes() const;
    // True for junctions and symbolic links, which a walk must not descend into.
    bool IsReparsePoint() const;
    // Reads the attributes again now.
    void Refresh();

protected:
    explicit FileSystemInfo(const String& path);
    // An item found by a listing, with the listing's data.
    FileSystemInfo(const String& fullPath, uint32_t attributes, int64_t length);

    // False when the item is missing or could not be read.
    bool IsPresent() const;
    bool IsDirectory() const;
    int64_t GetCachedLength() const;
    [[noreturn]] void ThrowNotFound(const wchar_t* what) const;
    // Makes the next query read the file system again.
    void Invalidate() { loaded_ = false; }

    static String GetParentPath(const String& fullPath);
    static String Combine(const String& folder, const String& name);

private:
    void Load() const;

    String fullPath_;
    mutable bool loaded_ = false;
    // The OS error of the last read, 0 when the fields below are valid.
    mutable uint32_t error_ = 0;
    mutable uint32_t attributes_ = 0;
    mutable int64_t length_ = 0;
};

}  // namespace IO
}  // namespace System
