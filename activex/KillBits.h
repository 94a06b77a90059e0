#pragma once

#include <windows.h>

#include <cstdint>

#include "core/String.h"

// The kill bits of ActiveX controls: one key per class, named by its class identifier, under a
// parent key of the local machine, with the DWORD "Compatibility Flags". A 32-bit browser reads
// the 32-bit registry view and a 64-bit one the native view, so a kill bit is written to both.
// Only a class identifier in registry form ever names a key, since it comes from the network.
class KillBits {
public:
    static const wchar_t* const DefaultParentPath;
    static const wchar_t* const FlagsValueName;
    static const int32_t KillBit = 0x400;

    // parentPath is relative to HKEY_LOCAL_MACHINE.
    explicit KillBits(const System::String& parentPath = DefaultParentPath);

    // The key of the browser itself, shared by every entry that is not told otherwise.
    static const KillBits& Default();

    // "{" 8-4-4-4-12 hexadecimal digits "}": 38 characters and nothing else.
    static bool IsRegistryClassId(const System::String& clsid);

    // True when the native view holds exactly the kill bit for clsid (other bits besides it do not
    // count); always false for an identifier that is not in registry form.
    bool IsBlocked(const System::String& clsid) const;
    // Writes the kill bit alone into the class's key of every view whose parent key exists.
    // False, writing nothing, when clsid is not in registry form or the native view lacks the
    // parent key. Registry failures other than missing keys raise Win32Exception.
    bool Block(const System::String& clsid) const;
    // Deletes the class's key with all it holds from every view. False, touching nothing, when
    // clsid is not in registry form.
    bool Unblock(const System::String& clsid) const;

    const System::String& GetParentPath() const { return parentPath_; }

private:
    System::String parentPath_;
};
