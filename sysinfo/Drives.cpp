#include "sysinfo/Drives.h"

#include <windows.h>
#include <winioctl.h>

#include <memory>
#include <vector>

#include "core/Trace.h"
#include "core/UniqueResource.h"

using System::String;
using System::Diagnostics::Trace;

const wchar_t* const FixedDriveText = L"로컬 고정 드라이브";
const wchar_t* const NoLabelText = L"없음";

namespace {

// The answer of the media-type query: a GET_MEDIA_TYPES with room for the media it lists.
constexpr DWORD MediaTypesAnswerSize = 328;
constexpr DWORD DvdDeviceType = 51;

String SystemMessage(DWORD error)
{
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    String message = length ? String(text, static_cast<int>(length)).Trim() : String::Format(L"error %lu", error);
    if (text) LocalFree(text);
    return message;
}

// "C:\" without its backslash.
String DriveName(const String& root) { return root.EndsWith(L"\\") ? root.Substring(0, root.GetLength() - 1) : root; }

// Critical-error boxes stay away while a scope asks empty drives about themselves.
class QuietDriveErrors {
public:
    QuietDriveErrors() : saved_(SetErrorMode(SEM_FAILCRITICALERRORS)) { SetErrorMode(saved_ | SEM_FAILCRITICALERRORS); }
    ~QuietDriveErrors() { SetErrorMode(saved_); }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

private:
    UINT saved_;
};

}  // namespace

String GetOpticalDriveText(const String& root)
{
    String text = L"CD-ROM 드라이브";
    String device = L"\\\\.\\" + DriveName(root);
    Trace::WriteLine(device);
    System::UniqueHandle handle(CreateFileW(device.GetBuffer(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    if (!handle) {
        Trace::WriteLine(device + L": " + SystemMessage(GetLastError()));
        return text;
    }
    alignas(GET_MEDIA_TYPES) BYTE answer[MediaTypesAnswerSize] = {};
    DWORD returned = 0;
    if (!DeviceIoControl(handle.Get(), IOCTL_STORAGE_GET_MEDIA_TYPES_EX, nullptr, 0, answer, sizeof answer, &returned,
                         nullptr)) {
        Trace::WriteLine(device + L": " + SystemMessage(GetLastError()));
        return text;
    }
    return reinterpret_cast<const GET_MEDIA_TYPES*>(answer)->DeviceType == DvdDeviceType ? L"DVD 드라이브"
                                                                                          : L"CD_ROM 드라이브";
}

String GetDriveTypeText(const String& root)
{
    switch (GetDriveTypeW(root.GetBuffer())) {
    case DRIVE_NO_ROOT_DIR: return L"루트 디렉토리가 아님";
    case DRIVE_REMOVABLE: return L"이동식 드라이브";
    case DRIVE_FIXED: return FixedDriveText;
    case DRIVE_REMOTE: return L"네트워크 드라이브";
    case DRIVE_CDROM: return GetOpticalDriveText(root);
    case DRIVE_RAMDISK: return L"메모리 드라이브";
    default: return L"알 수 없는 형식";
    }
}

System::Array<DriveInfo*> GetDrives()
{
    std::vector<wchar_t> roots(256);
    for (;;) {
        DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data());
        if (length == 0) {
            Trace::WriteLine(String::Format(L"GetLogicalDriveStringsW failed (error %lu)", GetLastError()));
            return System::Array<DriveInfo*>();
        }
        if (length < roots.size()) break;
        roots.resize(length + 1);
    }

    QuietDriveErrors quiet;
    std::vector<std::unique_ptr<DriveInfo>> drives;
    for (const wchar_t* root = roots.data(); *root; root += wcslen(root) + 1) {
        auto drive = std::make_unique<DriveInfo>();
        drive->name = DriveName(root);
        drive->type = GetDriveTypeText(root);
        wchar_t label[MAX_PATH + 1] = {};
        wchar_t fileSystem[MAX_PATH + 1] = {};
        DWORD serial = 0;
        if (GetVolumeInformationW(root, label, MAX_PATH + 1, &serial, nullptr, nullptr, fileSystem, MAX_PATH + 1)) {
            drive->fileSystem = fileSystem;
            if (serial != 0) drive->serial = String::Format(L"%X", serial);
        } else {
            Trace::WriteLine(String::Format(L"GetVolumeInformationW(%s) failed (error %lu)", root, GetLastError()));
        }
        drive->label = label[0] ? String(label) : String(NoLabelText);
        ULARGE_INTEGER total = {}, totalFree = {};
        if (GetDiskFreeSpaceExW(root, nullptr, &total, &totalFree)) {
            drive->totalBytes = total.QuadPart;
            drive->totalFreeBytes = totalFree.QuadPart;
        } else {
            Trace::WriteLine(String::Format(L"GetDiskFreeSpaceExW(%s) failed (error %lu)", root, GetLastError()));
        }
        drives.push_back(std::move(drive));
    }
    std::vector<DriveInfo*> result;
    for (auto& drive : drives) result.push_back(drive.release());
    return System::Array<DriveInfo*>(std::move(result));
}
