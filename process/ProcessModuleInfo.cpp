#include "process/ProcessModuleInfo.h"

#include <windows.h>
#include <psapi.h>

#include <vector>

#include "core/UniqueResource.h"

System::Array<ProcessModuleInfo*> GetProcessModules(uint32_t processId)
{
    System::UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) return {};
    HMODULE modules[1024];
    DWORD needed = 0;
    if (!EnumProcessModules(process.Get(), modules, sizeof modules, &needed)) return {};
    DWORD count = std::min<DWORD>(needed / sizeof(HMODULE), 1024);
    std::vector<ProcessModuleInfo*> result;
    result.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        wchar_t path[1024] = {}, name[1024] = {};
        GetModuleFileNameExW(process.Get(), modules[i], path, 1024);
        GetModuleBaseNameW(process.Get(), modules[i], name, 1024);
        result.push_back(new ProcessModuleInfo(path, name));
    }
    return System::Array<ProcessModuleInfo*>(std::move(result));
}
