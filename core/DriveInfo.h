#pragma once

// The member GetDriveType meets windows.h's macro of that name: every user must see the same
// spelling, so the header brings the macro with it.
#include <windows.h>

#include <cstdint>

#include "core/Array.h"
#include "core/CoreApi.h"
#include "core/Object.h"
#include "core/String.h"

namespace System {
namespace IO {

// A drive letter. The size, label, format and serial getters raise Win32Exception for a drive
// that is not ready (an empty optical drive, a letter without a drive).
class VAPCORE_API DriveInfo : public Object {
public:
    // "C", "C:" or "C:\", in either case.
    explicit DriveInfo(const String& driveName);

    // Every logical drive, in the platform's order.
    static Array<DriveInfo> GetDrives();

    // The root, such as "C:\".
    const String& GetName() const { return name_; }
    // The platform's DRIVE_* value.
    int GetDriveType() const;
    bool IsReady() const;
    int64_t GetTotalSize() const;
    // Free bytes the current user may use (quotas apply).
    int64_t GetAvailableFreeSpace() const;
    // Free bytes on the volume.
    int64_t GetTotalFreeSpace() const;
    String GetVolumeLabel() const;
    // File system name, such as "NTFS".
    String GetDriveFormat() const;
    uint32_t GetVolumeSerialNumber() const;

private:
    struct Space {
        int64_t available;
        int64_t total;
        int64_t free;
    };
    struct Volume {
        String label;
        String format;
        uint32_t serialNumber;
    };
    Space QuerySpace() const;
    Volume QueryVolume() const;

    String name_;
};

}  // namespace IO
}  // namespace System
