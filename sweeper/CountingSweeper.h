#pragma once

#include <cstdint>

#include "core/String.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"

// A leaf of the sweep tree: what it found and how far it got are its own counters. A sweep counts
// its findings down.
class CountingSweeper : public Sweeper {
public:
    explicit CountingSweeper(const System::String& name) : Sweeper(name) {}

    void Reset(bool keepFindings) override;
    int64_t GetSize() const override;
    int32_t GetCount() const override;
    int GetProgress() const override;

protected:
    SweepCounters counters_;
};
