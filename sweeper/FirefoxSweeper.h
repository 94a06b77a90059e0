#pragma once

#include "core/DirectoryInfo.h"
#include "core/String.h"
#include "sweeper/CountingSweeper.h"

// Works on every Firefox profile of the user: mode 0 empties the "cache" folder; modes 1 to 4
// remove "cookies.txt", "downloads.rdf", "formhistory.dat" and "history.dat".
class FirefoxSweeper : public CountingSweeper {
public:
    // A mode outside 0 to 4 raises ArgumentOutOfRangeException.
    FirefoxSweeper(const System::String& name, int mode);

    void Run(bool sweep) override;
    // A sweep counts down from what the analysis found; the totals shown stop at zero.
    int64_t GetSize() const override;
    int32_t GetCount() const override;

    void SweepFolder(bool sweep, const System::IO::DirectoryInfo* folder);

private:
    void SweepProfileFile(bool sweep, const System::IO::DirectoryInfo& profile, const System::String& fileName);

    int mode_;
};
