#pragma once

#include "core/RegistryKey.h"
#include "core/String.h"

// Opens "HKEY_CURRENT_USER\Software\..." and the like; the caller deletes the key. Null when the
// key does not exist; ArgumentException for a path without a root name or without anything after
// it, and for a root name that is not spelled out in full.
Microsoft::Win32::RegistryKey* OpenRegistryPath(const System::String& path, bool writable);
