#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/String.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"

// Removes single named registry values, such as a messenger's saved user name and password.
class RegistryValueSweeper : public Sweeper {
public:
    // valuePaths: full registry key paths followed by "\" and the value name, joined by ";".
    RegistryValueSweeper(const System::String& name, const System::String& valuePaths);

    void Reset(bool keepFindings) override;
    void Run(bool sweep) override;
    int64_t GetSize() const override;
    int32_t GetCount() const override;
    int GetProgress() const override;

private:
    System::Array<System::String> valuePaths_;
    SweepCounters counters_;
};
