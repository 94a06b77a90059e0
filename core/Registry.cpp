#include "core/Registry.h"

namespace Microsoft {
namespace Win32 {

RegistryKey* Registry::GetClassesRoot()
{
    static RegistryKey root(HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT");
    return &root;
}

RegistryKey* Registry::GetCurrentUser()
{
    static RegistryKey root(HKEY_CURRENT_USER, L"HKEY_CURRENT_USER");
    return &root;
}

RegistryKey* Registry::GetLocalMachine()
{
    static RegistryKey root(HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE");
    return &root;
}

RegistryKey* Registry::GetUsers()
{
    static RegistryKey root(HKEY_USERS, L"HKEY_USERS");
    return &root;
}

RegistryKey* Registry::GetCurrentConfig()
{
    static RegistryKey root(HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG");
    return &root;
}

RegistryKey* Registry::GetPerformanceData()
{
    static RegistryKey root(HKEY_PERFORMANCE_DATA, L"HKEY_PERFORMANCE_DATA");
    return &root;
}

RegistryKey* Registry::GetDynData()
{
    static RegistryKey root(HKEY_DYN_DATA, L"HKEY_DYN_DATA");
    return &root;
}

}  // namespace Win32
}  // namespace Microsoft
