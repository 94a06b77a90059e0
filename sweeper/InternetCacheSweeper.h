#pragma once

#include "core/String.h"
#include "sweeper/CountingSweeper.h"

// Deletes Internet Explorer's URL cache entries: mode 0 cached pages (cookies excluded), mode 1
// cookies, mode 2 visited-site records.
class InternetCacheSweeper : public CountingSweeper {
public:
    // A mode outside 0 to 2 raises ArgumentOutOfRangeException.
    InternetCacheSweeper(const System::String& name, int mode);

    void Run(bool sweep) override;
    // A sweep counts down from what the analysis found; the totals shown stop at zero.
    int64_t GetSize() const override;
    int32_t GetCount() const override;

private:
    int mode_;
};
