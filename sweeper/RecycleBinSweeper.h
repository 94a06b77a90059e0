#pragma once

#include "core/String.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"

// Empties the recycle bins of all drives.
class RecycleBinSweeper : public Sweeper {
public:
    explicit RecycleBinSweeper(const System::String& name);

    void Reset(bool keepFindings) override;
    void Run(bool sweep) override;
    int64_t GetSize() const override;
    int32_t GetCount() const override;
    int GetProgress() const override;

private:
    SweepCounters counters_;
};
