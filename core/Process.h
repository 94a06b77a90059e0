#pragma once

#include "core/CoreApi.h"

namespace System {
namespace Diagnostics {

class VAPCORE_API Process {
public:
    // Enables SeDebugPrivilege on the process token, so that other users' processes can be
    // opened. Raises Win32Exception when the token lacks the privilege.
    static void EnterDebugMode();
};

}  // namespace Diagnostics
}  // namespace System
