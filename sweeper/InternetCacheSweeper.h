#pragma once

#include "core/String.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"

// Deletes Internet Explorer's URL cache entries: mode 0 cached pages (cookies excluded), mode 1
// cookies, mode 2 visited-site records.
class InternetCacheSweeper : public Sweeper {
public:
    // A mode outside 0 to 2 raises ArgumentOutOfRangeException.
    InternetCacheSweeper(const System::String& name, int mode);

    void Reset(bool keepFindings) override;
    void Run(bool sweep) override;
    int64_t GetSize() const override;
    int32_t GetCount() const override;
    int GetProgress() const override;

private:
    SweepCounters counters_;
    int mode_;
};
