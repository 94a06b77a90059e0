#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/RegistryKey.h"
#include "core/String.h"
#include "sweeper/CountingSweeper.h"

// Empties whole registry keys (recent-file lists, typed addresses): every subkey and value below
// each listed key goes, the listed keys themselves stay.
class RegistrySweeper : public CountingSweeper {
public:
    // keyPaths: full registry paths joined by ";".
    RegistrySweeper(const System::String& name, const System::String& keyPaths);

    void Run(bool sweep) override;

    // Counts (or removes) everything below key. Null raises ArgumentNullException.
    void SweepKey(bool sweep, Microsoft::Win32::RegistryKey* key);

private:
    System::Array<System::String> keyPaths_;
};
