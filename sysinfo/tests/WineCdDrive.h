#pragma once

// A CD drive declared for a test under Wine: a free letter mapped to a folder through Wine's mount
// manager, as Wine's own configuration tool declares drives. Wine answers the drive's media-type
// query with a failure, like a drive that cannot tell its media. Only for the test run's own
// prefix: the caller checks TestPrefixGuard first.
#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <string>
#include <vector>

namespace SysinfoTests {

class WineCdDrive {
public:
    // folder: a Windows path; empty Letter() when the drive could not be declared (why()).
    explicit WineCdDrive(const std::wstring& folder)
    {
        std::string unixPath = UnixPath(folder);
        if (unixPath.empty()) {
            why_ = "Wine cannot name the folder's Unix path";
            return;
        }
        DWORD used = GetLogicalDrives();
        wchar_t letter = 0;
        for (wchar_t candidate = L'M'; candidate <= L'Y' && !letter; ++candidate) {
            if (!(used & (1u << (candidate - L'A')))) letter = candidate;
        }
        if (!letter) {
            why_ = "no free drive letter from M: to Y:";
            return;
        }
        if (!Define(letter, unixPath)) {
            why_ = "the mount manager refused the drive, error " + std::to_string(GetLastError());
            return;
        }
        letter_ = letter;
    }
    ~WineCdDrive()
    {
        if (!letter_) return;
        Define(letter_, std::string());
        // The mount manager also leaves the letter itself defined, which would keep it listed.
        DefineDosDeviceW(DDD_REMOVE_DEFINITION, Name().c_str(), nullptr);
        // The mount manager leaves the drive's type in the registry; the prefix goes back as it was.
        HKEY drives = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Wine\\Drives", 0, KEY_SET_VALUE, &drives) == ERROR_SUCCESS) {
            wchar_t name[] = {static_cast<wchar_t>(letter_ - L'A' + L'a'), L':', 0};
            RegDeleteValueW(drives, name);
            RegCloseKey(drives);
        }
    }
    WineCdDrive(const WineCdDrive&) = delete;
    WineCdDrive& operator=(const WineCdDrive&) = delete;

    wchar_t Letter() const { return letter_; }
    // "M:" and "M:\".
    std::wstring Name() const { return std::wstring(1, letter_) + L":"; }
    std::wstring Root() const { return Name() + L"\\"; }
    const std::string& Why() const { return why_; }

private:
    // Wine's DEFINE_UNIX_DRIVE request; the mount point follows the record.
    struct UnixDrive {
        ULONG size;
        ULONG type;
        ULONG fsType;
        DWORD serial;
        ULONGLONG unixDevice;
        WCHAR letter;
        USHORT mountPointOffset;
        USHORT deviceOffset;
        USHORT labelOffset;
    };
    static constexpr DWORD DefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

    static std::string UnixPath(const std::wstring& folder)
    {
        using UnixFileName = char*(CDECL*)(LPCWSTR);
        auto convert = reinterpret_cast<UnixFileName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        if (!convert) return std::string();
        char* path = convert(folder.c_str());
        if (!path) return std::string();
        std::string result(path);
        HeapFree(GetProcessHeap(), 0, path);
        return result;
    }

    // An empty mount point removes the drive.
    static bool Define(wchar_t letter, const std::string& mountPoint)
    {
        HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (manager == INVALID_HANDLE_VALUE) return false;
        size_t size = sizeof(UnixDrive) + (mountPoint.empty() ? 0 : mountPoint.size() + 1);
        std::vector<char> request(size, 0);
        auto* drive = reinterpret_cast<UnixDrive*>(request.data());
        drive->size = static_cast<ULONG>(size);
        drive->type = DRIVE_CDROM;
        drive->letter = static_cast<WCHAR>(letter - L'A' + L'a');
        if (!mountPoint.empty()) {
            drive->mountPointOffset = sizeof(UnixDrive);
            std::memcpy(request.data() + sizeof(UnixDrive), mountPoint.c_str(), mountPoint.size() + 1);
        }
        DWORD returned = 0;
        BOOL done = DeviceIoControl(manager, DefineUnixDrive, request.data(), static_cast<DWORD>(size), nullptr, 0,
                                    &returned, nullptr);
        DWORD error = GetLastError();
        CloseHandle(manager);
        SetLastError(error);
        return done != FALSE;
    }

    wchar_t letter_ = 0;
    std::string why_;
};

}  // namespace SysinfoTests
