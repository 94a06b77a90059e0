#include "core/DriveInfo.h"

#include <vector>

#include "core/Exception.h"
#include "core/Win32Exception.h"

namespace System {
namespace IO {

namespace {

// An empty removable drive must answer with an error, not with a system dialog box.
class CriticalErrorBoxesOff {
public:
    CriticalErrorBoxesOff() : changed_(SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_) != FALSE) {}
    ~CriticalErrorBoxesOff()
    {
        if (changed_) SetThreadErrorMode(previous_, nullptr);
    }
    CriticalErrorBoxesOff(const CriticalErrorBoxesOff&) = delete;
    CriticalErrorBoxesOff& operator=(const CriticalErrorBoxesOff&) = delete;

private:
    DWORD previous_ = 0;
    bool changed_;
};

bool IsRootName(const String& name)
{
    int length = name.GetLength();
    if (length < 1 || length > 3) return false;
    wchar_t letter = name[0];
    if (!((letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z'))) return false;
    if (length >= 2 && name[1] != L':') return false;
    return length < 3 || name[2] == L'\\';
}

}  // namespace

DriveInfo::DriveInfo(const String& driveName)
{
    if (!IsRootName(driveName))
        throw new ArgumentException(String::Format(L"driveName: \"%s\" is not a drive letter.", driveName.GetBuffer()));
    name_ = driveName.Substring(0, 1).ToUpper() + L":\\";
}

Array<DriveInfo> DriveInfo::GetDrives()
{
    std::vector<wchar_t> buffer(128);
    for (;;) {
        DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) Microsoft::Win32::Win32Exception::ThrowLastError(L"Cannot list the drives");
        if (length < buffer.size()) break;
        buffer.resize(length + 1);
    }
    std::vector<DriveInfo> drives;
    for (const wchar_t* root = buffer.data(); *root; root += wcslen(root) + 1) drives.push_back(DriveInfo(root));
    return Array<DriveInfo>(std::move(drives));
}

int DriveInfo::GetDriveType() const { return static_cast<int>(::GetDriveTypeW(name_.GetBuffer())); }

bool DriveInfo::IsReady() const
{
    CriticalErrorBoxesOff quiet;
    return GetVolumeInformationW(name_.GetBuffer(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0) != FALSE;
}

int64_t DriveInfo::GetTotalSize() const { return QuerySpace().total; }

int64_t DriveInfo::GetAvailableFreeSpace() const { return QuerySpace().available; }

int64_t DriveInfo::GetTotalFreeSpace() const { return QuerySpace().free; }

String DriveInfo::GetVolumeLabel() const { return QueryVolume().label; }

String DriveInfo::GetDriveFormat() const { return QueryVolume().format; }

uint32_t DriveInfo::GetVolumeSerialNumber() const { return QueryVolume().serialNumber; }

DriveInfo::Space DriveInfo::QuerySpace() const
{
    CriticalErrorBoxesOff quiet;
    ULARGE_INTEGER available, total, free;
    if (!GetDiskFreeSpaceExW(name_.GetBuffer(), &available, &total, &free))
        Microsoft::Win32::Win32Exception::ThrowLastError(
            String::Format(L"Cannot read the free space of the drive %s", name_.GetBuffer()));
    return Space{static_cast<int64_t>(available.QuadPart), static_cast<int64_t>(total.QuadPart),
                 static_cast<int64_t>(free.QuadPart)};
}

DriveInfo::Volume DriveInfo::QueryVolume() const
{
    CriticalErrorBoxesOff quiet;
    wchar_t label[MAX_PATH + 1];
    wchar_t format[MAX_PATH + 1];
    DWORD serialNumber = 0;
    if (!GetVolumeInformationW(name_.GetBuffer(), label, MAX_PATH + 1, &serialNumber, nullptr, nullptr, format, MAX_PATH + 1))
        Microsoft::Win32::Win32Exception::ThrowLastError(
            String::Format(L"Cannot read the volume information of the drive %s", name_.GetBuffer()));
    return Volume{String(label), String(format), static_cast<uint32_t>(serialNumber)};
}

}  // namespace IO
}  // namespace System
