#pragma once

#include "core/CoreApi.h"
#include "core/RegistryKey.h"

namespace Microsoft {
namespace Win32 {

// The predefined root keys. Each is one object that the library owns for the whole process:
// callers never delete a root, and closing one does nothing.
class VAPCORE_API Registry {
public:
    static RegistryKey* GetClassesRoot();
    static RegistryKey* GetCurrentUser();
    static RegistryKey* GetLocalMachine();
    static RegistryKey* GetUsers();
    static RegistryKey* GetCurrentConfig();
    static RegistryKey* GetPerformanceData();
    static RegistryKey* GetDynData();
};

}  // namespace Win32
}  // namespace Microsoft
