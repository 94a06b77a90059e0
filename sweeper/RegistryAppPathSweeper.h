#pragma once

#include "core/String.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"

// Removes App Paths entries whose program is gone (an entry without a program path is valid).
class RegistryAppPathSweeper : public Sweeper {
public:
    explicit RegistryAppPathSweeper(const System::String& name);

    void Reset(bool keepFindings) override;
    void Run(bool sweep) override;
    int64_t GetSize() const override;
    int32_t GetCount() const override;
    int GetProgress() const override;

private:
    SweepCounters counters_;
};
