#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/RegistryKey.h"
#include "core/String.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"

// Empties whole registry keys (recent-file lists, typed addresses): every subkey and value below
// each listed key goes, the listed keys themselves stay.
class RegistrySweeper : public Sweeper {
public:
    // keyPaths: full registry paths joined by ";".
    RegistrySweeper(const System::String& name, const System::String& keyPaths);

    void Reset(bool keepFindings) override;
    void Run(bool sweep) override;
    int64_t GetSize() const override;
    int32_t GetCount() const override;
    int GetProgress() const override;

    // Counts (or removes) everything below key. Null raises ArgumentNullException.
    void SweepKey(bool sweep, Microsoft::Win32::RegistryKey* key);

private:
    System::Array<System::String> keyPaths_;
    SweepCounters counters_;
};
