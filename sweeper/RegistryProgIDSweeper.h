#pragma once

#include "core/String.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"

// Removes program identifiers whose class is registered nowhere under the classes root.
class RegistryProgIDSweeper : public Sweeper {
public:
    explicit RegistryProgIDSweeper(const System::String& name);

    void Reset(bool keepFindings) override;
    void Run(bool sweep) override;
    int64_t GetSize() const override;
    int32_t GetCount() const override;
    int GetProgress() const override;

private:
    SweepCounters counters_;
};
