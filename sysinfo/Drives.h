#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/String.h"

// One logical drive as the summary shows it.
struct DriveInfo {
    // The root without its backslash, such as "C:".
    System::String name;
    System::String type;
    // "없음" when the volume has no label.
    System::String label;
    System::String fileSystem;
    // Upper-case hexadecimal; empty when the serial number is 0.
    System::String serial;
    // 0 when the sizes are not available.
    uint64_t totalBytes = 0;
    uint64_t totalFreeBytes = 0;
};

// The type text of the drive at root ("C:\"); an optical drive gives its optical text.
System::String GetDriveTypeText(const System::String& root);
// "DVD 드라이브" or "CD_ROM 드라이브" from the drive's media types, "CD-ROM 드라이브" when it does
// not tell them.
System::String GetOpticalDriveText(const System::String& root);
// Every logical drive, in the platform's order, without critical-error boxes for empty drives.
// The caller owns the records.
System::Array<DriveInfo*> GetDrives();

// The texts of the drive kinds that the summary sorts by.
extern const wchar_t* const FixedDriveText;
extern const wchar_t* const NoLabelText;
