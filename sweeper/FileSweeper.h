#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/DirectoryInfo.h"
#include "core/String.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"

// Empties folders (temporary files, recent documents, history); the folders themselves stay.
class FileSweeper : public Sweeper {
public:
    // folderPaths: full folder paths joined by ";".
    FileSweeper(const System::String& name, const System::String& folderPaths);

    void Reset(bool keepFindings) override;
    void Run(bool sweep) override;
    int64_t GetSize() const override;
    int32_t GetCount() const override;
    int GetProgress() const override;

    void SweepFolder(bool sweep, const System::IO::DirectoryInfo* folder);

private:
    System::Array<System::String> folderPaths_;
    SweepCounters counters_;
};
