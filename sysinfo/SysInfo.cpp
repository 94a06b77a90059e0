#include "sysinfo/SysInfo.h"

#include <memory>

#include "core/Environment.h"
#include "core/ExceptionGuard.h"
#include "core/Registry.h"
#include "core/Trace.h"

using Microsoft::Win32::Registry;
using Microsoft::Win32::RegistryKey;
using System::String;
using System::Diagnostics::Trace;

namespace {

constexpr DWORD UserNameLength = 150;

// The first of the digits 1 to 9, tried in that order, that occurs in the service-pack text.
int ServicePackNumber(const String& text)
{
    for (wchar_t digit = L'1'; digit <= L'9'; ++digit) {
        if (text.IndexOf(digit) >= 0) return digit - L'0';
    }
    return 0;
}

String Windows9xName(int minor)
{
    switch (minor) {
    case 0: return L"Windows 95";
    case 10: return L"Windows 98";
    case 90: return L"Windows ME";
    default: return String();
    }
}

// Windows 10 and 11 share 10.0; the server releases differ by build.
String Windows10Name(bool workstation, int build)
{
    if (workstation) return build >= 22000 ? L"Windows 11" : L"Windows 10";
    if (build >= 26100) return L"Windows Server 2025";
    if (build >= 20348) return L"Windows Server 2022";
    if (build >= 17763) return L"Windows Server 2019";
    return L"Windows Server 2016";
}

String WindowsNTName(int major, int minor, int build, bool workstation)
{
    switch (major) {
    case 4: return L"Windows NT 4.0";
    case 5:
        switch (minor) {
        case 0: return L"Windows 2000";
        case 1: return L"Windows XP";
        case 2: return L"Windows Server 2003";
        default: return String();
        }
    case 6:
        switch (minor) {
        case 0: return workstation ? L"Windows Vista" : L"Windows Server 2008";
        case 1: return workstation ? L"Windows 7" : L"Windows Server 2008 R2";
        case 2: return workstation ? L"Windows 8" : L"Windows Server 2012";
        case 3: return workstation ? L"Windows 8.1" : L"Windows Server 2012 R2";
        default: return String();
        }
    case 10: return minor == 0 ? Windows10Name(workstation, build) : String();
    default: return String();
    }
}

// The edition words of NT 4.0 and 5.x; the later names already tell client from server.
String EditionSuffix(const OSVERSIONINFOEXW& record)
{
    DWORD major = record.dwMajorVersion;
    DWORD minor = record.dwMinorVersion;
    WORD suites = record.wSuiteMask;
    String suffix;
    if (record.wProductType == VER_NT_WORKSTATION) {
        if (major == 5 && minor == 1) suffix += (suites & VER_SUITE_PERSONAL) ? L" Home Edition" : L" Professional Edition";
        else if (major == 5 && minor == 0) suffix += L" Professional";
        else if (major == 4) suffix += L" Workstation";
        return suffix;
    }
    if (record.wProductType != VER_NT_SERVER && record.wProductType != VER_NT_DOMAIN_CONTROLLER) return suffix;
    if (major == 5) {
        if (suites & VER_SUITE_ENTERPRISE) suffix += L" Advanced";
        if (suites & VER_SUITE_DATACENTER) suffix += L" DataCenter";
        if (suites & VER_SUITE_TERMINAL) suffix += L" Terminal";
        if (suites & VER_SUITE_BACKOFFICE) suffix += L" BackOffice";
        suffix += L" Server";
    } else if (major == 4 && minor == 0) {
        suffix += L" Server";
    }
    if (record.wProductType == VER_NT_DOMAIN_CONTROLLER && (major == 4 || major == 5)) suffix += L" Domain Controller";
    return suffix;
}

}  // namespace

void CSysInfo::Collect()
{
    CollectOperatingSystem();
    CollectProcessor();
    CollectMemory();
    CollectUserName();
}

void CSysInfo::CollectOperatingSystem()
{
    System::TraceExceptions([&] { SetOperatingSystem(System::Environment::GetVersionRecord()); });
}

void CSysInfo::SetOperatingSystem(const OSVERSIONINFOEXW& record)
{
    String servicePackText(record.szCSDVersion);
    major_ = static_cast<int>(record.dwMajorVersion);
    minor_ = static_cast<int>(record.dwMinorVersion);
    isNT_ = record.dwPlatformId == VER_PLATFORM_WIN32_NT;
    servicePack_ = 0;
    if (!isNT_) {
        // The high word of a Windows 9x build number repeats the version.
        build_ = static_cast<int>(LOWORD(record.dwBuildNumber));
        osName_ = Windows9xName(minor_) + servicePackText;
        return;
    }
    build_ = static_cast<int>(record.dwBuildNumber);
    servicePack_ = ServicePackNumber(servicePackText);
    Trace::WriteLine(String::Format(L"%d", major_));
    osName_ = WindowsNTName(major_, minor_, build_, record.wProductType == VER_NT_WORKSTATION);
    // Before NT 4.0 Service Pack 6 the system kept no product type or suites.
    if (major_ >= 5 || servicePack_ >= 6) osName_ += EditionSuffix(record);
    if (servicePack_ > 0) osName_ += L" " + servicePackText;
}

void CSysInfo::CollectProcessor()
{
    processorName_ = String();
    System::TraceExceptions([&] {
        std::unique_ptr<RegistryKey> key(
            Registry::GetLocalMachine()->OpenSubKey(L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0"));
        if (!key) {
            Trace::WriteLine(L"CSysInfo: the processor has no description key");
            return;
        }
        key->GetValue(L"ProcessorNameString", processorName_, false);
    });
}

void CSysInfo::CollectMemory()
{
    totalPhysical_ = 0;
    totalPageFile_ = 0;
    // Looked up by name: the 32-bit figures of GlobalMemoryStatus stop at 4 GB.
    using GlobalMemoryStatusExFunction = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    FARPROC address = kernel ? GetProcAddress(kernel, "GlobalMemoryStatusEx") : nullptr;
    if (address) {
        MEMORYSTATUSEX status = {};
        status.dwLength = sizeof status;
        if (reinterpret_cast<GlobalMemoryStatusExFunction>(reinterpret_cast<void*>(address))(&status)) {
            totalPhysical_ = status.ullTotalPhys;
            totalPageFile_ = status.ullTotalPageFile;
            return;
        }
        Trace::WriteLine(String::Format(L"CSysInfo: GlobalMemoryStatusEx failed (error %lu)", GetLastError()));
    }
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    totalPhysical_ = status.dwTotalPhys;
    totalPageFile_ = status.dwTotalPageFile;
}

void CSysInfo::CollectUserName()
{
    wchar_t name[UserNameLength] = {};
    DWORD length = UserNameLength;
    if (GetUserNameW(name, &length)) {
        userName_ = name;
    } else {
        userName_ = String();
        Trace::WriteLine(String::Format(L"CSysInfo: GetUserNameW failed (error %lu)", GetLastError()));
    }
}

String CSysInfo::GetOSText() const
{
    return String::Format(L"%s Build %d %d.%d", osName_.GetBuffer(), build_, major_, minor_);
}

String CSysInfo::GetProcessorText() const
{
    const std::wstring& name = processorName_.GetStdString();
    size_t first = name.find_first_not_of(L' ');
    return first == std::wstring::npos ? String() : String(name.substr(first));
}
