#pragma once

#include "core/RegistryKey.h"
#include "core/String.h"

// The default browser's display name, a blank and its version ("인터넷 익스플로러 11.0.9600"):
// the start-menu browser of the current user, else of the machine; "알수없음" when neither names one.
System::String GetDefaultBrowser();

// The same read below two stand-ins for HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
System::String GetDefaultBrowser(const Microsoft::Win32::RegistryKey& currentUser,
                                 const Microsoft::Win32::RegistryKey& localMachine);
