#include "activex/KillBits.h"

#include <cwctype>
#include <vector>

#include "core/UniqueResource.h"
#include "core/Win32Exception.h"

using System::String;

namespace {

// The view flags to work in, the native one first; the other one only where it exists.
std::vector<REGSAM> Views()
{
#ifdef _WIN64
    return {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
#else
    BOOL wow64 = FALSE;
    if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) return {KEY_WOW64_32KEY, KEY_WOW64_64KEY};
    return {0};
#endif
}

String ViewName(REGSAM view)
{
    return view == KEY_WOW64_32KEY ? L" (32-bit view)" : view == KEY_WOW64_64KEY ? L" (64-bit view)" : L"";
}

// The key, or an invalid holder when it does not exist.
System::UniqueRegistryKey Open(const String& path, REGSAM access, REGSAM view)
{
    System::UniqueRegistryKey key;
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.GetBuffer(), 0, access | view, key.Receive());
    if (status == ERROR_FILE_NOT_FOUND) return System::UniqueRegistryKey();
    if (status != ERROR_SUCCESS)
        Microsoft::Win32::Win32Exception::Throw(status, L"Opening HKEY_LOCAL_MACHINE\\" + path + ViewName(view));
    return key;
}

}  // namespace

const wchar_t* const KillBits::DefaultParentPath = L"SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility";
const wchar_t* const KillBits::FlagsValueName = L"Compatibility Flags";

KillBits::KillBits(const String& parentPath) : parentPath_(parentPath) {}

const KillBits& KillBits::Default()
{
    static const KillBits browser;
    return browser;
}

bool KillBits::IsRegistryClassId(const String& clsid)
{
    if (clsid.GetLength() != 38 || clsid[0] != L'{' || clsid[37] != L'}') return false;
    for (int i = 1; i < 37; ++i) {
        wchar_t c = clsid[i];
        bool hyphenPlace = i == 9 || i == 14 || i == 19 || i == 24;
        if (hyphenPlace ? c != L'-' : !iswxdigit(c) || c > 0x7F) return false;
    }
    return true;
}

bool KillBits::IsBlocked(const String& clsid) const
{
    if (!IsRegistryClassId(clsid)) return false;
    String path = parentPath_ + L"\\" + clsid;
    System::UniqueRegistryKey key = Open(path, KEY_QUERY_VALUE, Views().front());
    if (!key) return false;
    DWORD kind = 0;
    DWORD flags = 0;
    DWORD size = sizeof flags;
    LSTATUS status = RegQueryValueExW(key.Get(), FlagsValueName, nullptr, &kind, reinterpret_cast<BYTE*>(&flags), &size);
    if (status == ERROR_FILE_NOT_FOUND) return false;
    // A value of another kind or size is not a kill bit; the browser ignores it too.
    if (status == ERROR_MORE_DATA) return false;
    if (status != ERROR_SUCCESS)
        Microsoft::Win32::Win32Exception::Throw(status, L"Reading " + path + L"\\" + FlagsValueName);
    return kind == REG_DWORD && size == sizeof flags && flags == static_cast<DWORD>(KillBit);
}

bool KillBits::Block(const String& clsid) const
{
    if (!IsRegistryClassId(clsid)) return false;
    std::vector<REGSAM> views = Views();
    if (!Open(parentPath_, KEY_CREATE_SUB_KEY, views.front())) return false;
    for (REGSAM view : views) {
        System::UniqueRegistryKey parent = Open(parentPath_, KEY_CREATE_SUB_KEY, view);
        if (!parent) continue;
        System::UniqueRegistryKey key;
        LSTATUS status = RegCreateKeyExW(parent.Get(), clsid.GetBuffer(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_SET_VALUE | view, nullptr, key.Receive(), nullptr);
        if (status != ERROR_SUCCESS)
            Microsoft::Win32::Win32Exception::Throw(status, L"Creating " + parentPath_ + L"\\" + clsid + ViewName(view));
        DWORD flags = KillBit;
        status = RegSetValueExW(key.Get(), FlagsValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&flags), sizeof flags);
        if (status != ERROR_SUCCESS)
            Microsoft::Win32::Win32Exception::Throw(status, L"Writing " + parentPath_ + L"\\" + clsid + ViewName(view));
    }
    return true;
}

bool KillBits::Unblock(const String& clsid) const
{
    if (!IsRegistryClassId(clsid)) return false;
    for (REGSAM view : Views()) {
        System::UniqueRegistryKey parent = Open(parentPath_, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE, view);
        if (!parent) continue;
        LSTATUS status = RegDeleteTreeW(parent.Get(), clsid.GetBuffer());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            Microsoft::Win32::Win32Exception::Throw(status, L"Deleting " + parentPath_ + L"\\" + clsid + ViewName(view));
    }
    return true;
}
