#pragma once

#include "core/String.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"

// Removes shared-library reference counts of files that are gone.
class RegistrySharedDllSweeper : public Sweeper {
public:
    explicit RegistrySharedDllSweeper(const System::String& name);

    void Reset(bool keepFindings) override;
    void Run(bool sweep) override;
    int64_t GetSize() const override;
    int32_t GetCount() const override;
    int GetProgress() const override;

private:
    SweepCounters counters_;
};
