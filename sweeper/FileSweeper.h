#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/DirectoryInfo.h"
#include "core/String.h"
#include "sweeper/CountingSweeper.h"

// Empties folders (temporary files, recent documents, history); the folders themselves stay.
class FileSweeper : public CountingSweeper {
public:
    // folderPaths: full folder paths joined by ";".
    FileSweeper(const System::String& name, const System::String& folderPaths);

    void Run(bool sweep) override;
    // A sweep counts down from what the analysis found; the totals shown stop at zero.
    int64_t GetSize() const override;
    int32_t GetCount() const override;

    void SweepFolder(bool sweep, const System::IO::DirectoryInfo* folder);

private:
    System::Array<System::String> folderPaths_;
};
