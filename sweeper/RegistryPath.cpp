#include "sweeper/RegistryPath.h"

#include "core/Exception.h"
#include "core/Registry.h"

using Microsoft::Win32::Registry;
using Microsoft::Win32::RegistryKey;
using System::String;

RegistryKey* OpenRegistryPath(const String& path, bool writable)
{
    int separator = path.IndexOf(L'\\');
    if (separator < 1 || separator >= path.GetLength() - 1) {
        throw new System::ArgumentException(L"Not a registry path: \"" + path + L"\".");
    }
    String rootName = path.Substring(0, separator);
    String rest = path.Substring(separator + 1);

    struct Root {
        const wchar_t* name;
        RegistryKey* (*get)();
    };
    static const Root roots[] = {
        {L"HKEY_CLASSES_ROOT", &Registry::GetClassesRoot},   {L"HKEY_CURRENT_CONFIG", &Registry::GetCurrentConfig},
        {L"HKEY_CURRENT_USER", &Registry::GetCurrentUser},   {L"HKEY_DYN_DATA", &Registry::GetDynData},
        {L"HKEY_LOCAL_MACHINE", &Registry::GetLocalMachine}, {L"HKEY_PERFORMANCE_DATA", &Registry::GetPerformanceData},
        {L"HKEY_USERS", &Registry::GetUsers},
    };
    for (const Root& root : roots) {
        if (rootName == root.name) return root.get()->OpenSubKey(rest, writable);
    }
    throw new System::ArgumentException(L"Unknown registry root \"" + rootName + L"\" in \"" + path + L"\".");
}
