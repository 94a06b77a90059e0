#include "sysinfo/SystemTexts.h"

#include <windows.h>

#include <vector>

#include "core/Trace.h"

using System::String;
using System::Diagnostics::Trace;

namespace {

constexpr double Gibibyte = 1073741824.0;
constexpr double Mebibyte = 1048576.0;
constexpr DWORD LanguageNameLength = 260;

void TraceFailure(const wchar_t* function)
{
    Trace::WriteLine(String::Format(L"%s failed (error %lu)", function, GetLastError()));
}

// A folder from a function that answers the length it wrote, or the length it needs.
template <class Query>
String ReadFolder(Query query, const wchar_t* name)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        UINT length = query(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) {
            TraceFailure(name);
            return String();
        }
        if (length < buffer.size()) return String(buffer.data(), static_cast<int>(length));
        buffer.resize(length + 1);
    }
}

}  // namespace

String FormatSize(uint64_t bytes)
{
    double value = static_cast<double>(bytes);
    if (value >= Gibibyte) return String::Format(L"%.1f GB", value / Gibibyte);
    return String::Format(L"%.1f MB", value / Mebibyte);
}

String GetComputerNameText()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &length)) {
        TraceFailure(L"GetComputerNameW");
        return String();
    }
    return String(name, static_cast<int>(length));
}

String GetWindowsFolder()
{
    return ReadFolder([](wchar_t* buffer, UINT size) { return GetWindowsDirectoryW(buffer, size); }, L"GetWindowsDirectoryW");
}

String GetSystemFolder()
{
    return ReadFolder([](wchar_t* buffer, UINT size) { return GetSystemDirectoryW(buffer, size); }, L"GetSystemDirectoryW");
}

String GetKeyboardCountry()
{
    LANGID language = LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0)));
    LCID locale = MAKELCID(language, SORT_DEFAULT);
    int length = GetLocaleInfoW(locale, LOCALE_SENGCOUNTRY, nullptr, 0);
    if (length <= 0) {
        TraceFailure(L"GetLocaleInfoW");
        return String();
    }
    std::vector<wchar_t> name(static_cast<size_t>(length));
    if (GetLocaleInfoW(locale, LOCALE_SENGCOUNTRY, name.data(), length) <= 0) {
        TraceFailure(L"GetLocaleInfoW");
        return String();
    }
    return String(name.data());
}

String GetSystemLanguage()
{
    wchar_t name[LanguageNameLength] = {};
    DWORD length = VerLanguageNameW(GetSystemDefaultLangID(), name, LanguageNameLength);
    // Some systems count the terminating NUL in the answer; the text ends at it either way.
    if (length == 0 || length > LanguageNameLength || name[0] == 0) {
        Trace::WriteLine(String::Format(L"VerLanguageNameW gave no usable name (length %lu)", length));
        return String();
    }
    return String(name);
}

String GetDisplayAdapters()
{
    using EnumDisplayDevicesFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, PDISPLAY_DEVICEW, DWORD);
    HMODULE user = GetModuleHandleW(L"User32.dll");
    FARPROC address = user ? GetProcAddress(user, "EnumDisplayDevicesW") : nullptr;
    if (!address) {
        TraceFailure(L"GetProcAddress(EnumDisplayDevicesW)");
        return String();
    }
    auto enumerate = reinterpret_cast<EnumDisplayDevicesFunction>(reinterpret_cast<void*>(address));
    String names;
    String previous;
    DISPLAY_DEVICEW device = {};
    device.cb = sizeof device;
    for (DWORD index = 0; enumerate(nullptr, index, &device, 0); ++index) {
        String name(device.DeviceString);
        // An adapter lists once per output; the summary names each adapter once.
        if (!name.IsEmpty() && name != previous) {
            if (!names.IsEmpty()) names += L"\t\n";
            names += name;
        }
        previous = name;
        device = {};
        device.cb = sizeof device;
    }
    return names;
}
