#include "testing/HostPath.h"

#include <windows.h>

#include <algorithm>

namespace TestSupport {

std::wstring HostPath(const std::string& buildMachinePath)
{
    std::wstring path(buildMachinePath.begin(), buildMachinePath.end());
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    return program.substr(0, program.find_last_of(L'\\'));
}

}  // namespace TestSupport
