#pragma once

#include "core/String.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"

// Removes class registrations whose in-process server is named by a full path to a file that is
// gone. Bare file names, found through the search path, are never judged.
class RegistryCLSIDSweeper : public Sweeper {
public:
    explicit RegistryCLSIDSweeper(const System::String& name);

    void Reset(bool keepFindings) override;
    void Run(bool sweep) override;
    int64_t GetSize() const override;
    int32_t GetCount() const override;
    int GetProgress() const override;

private:
    SweepCounters counters_;
};
