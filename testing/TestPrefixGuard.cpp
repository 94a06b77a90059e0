#include "testing/TestPrefixGuard.h"

#include <windows.h>

#include <vector>

namespace TestSupport {

namespace {

std::wstring Variable(const wchar_t* name)
{
    DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0) return std::wstring();
    std::vector<wchar_t> value(length);
    DWORD written = GetEnvironmentVariableW(name, value.data(), length);
    return written < length ? std::wstring(value.data(), written) : std::wstring();
}

std::wstring WithoutTrailingSlashes(std::wstring path)
{
    while (path.size() > 1 && (path.back() == L'/' || path.back() == L'\\')) path.pop_back();
    return path;
}

}  // namespace

bool IsWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

std::wstring WhyDestructiveTestsAreRefused()
{
    if (!IsWine()) {
        if (Variable(L"VELA_ALLOW_DESTRUCTIVE_TESTS") == L"1") return std::wstring();
        return L"changes fixed machine locations: on Windows it runs only with VELA_ALLOW_DESTRUCTIVE_TESTS=1";
    }
    std::wstring testPrefix = WithoutTrailingSlashes(Variable(L"VELA_TEST_PREFIX"));
    if (testPrefix.empty()) return L"changes fixed machine locations: runs only in a test run's own prefix (VELA_TEST_PREFIX unset)";
    std::wstring prefix = WithoutTrailingSlashes(Variable(L"WINEPREFIX"));
    if (prefix != testPrefix) {
        return L"changes fixed machine locations: WINEPREFIX \"" + prefix + L"\" is not the test prefix \"" + testPrefix + L"\"";
    }
    return std::wstring();
}

std::wstring WhyEmptyingTheRecycleBinIsRefused()
{
    if (!IsWine()) return L"empties the recycle bin, which on Windows holds the user's own deleted files";
    std::wstring why = WhyDestructiveTestsAreRefused();
    if (!why.empty()) return why;
    std::wstring data = Variable(L"XDG_DATA_HOME");
    std::wstring prefix = WithoutTrailingSlashes(Variable(L"WINEPREFIX")) + L"/";
    if (data.compare(0, prefix.size(), prefix) != 0) {
        return L"empties the recycle bin: XDG_DATA_HOME \"" + data + L"\" does not keep the trash inside the test prefix";
    }
    return std::wstring();
}

}  // namespace TestSupport
