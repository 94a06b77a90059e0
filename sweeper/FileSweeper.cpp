#include "sweeper/FileSweeper.h"

#include "core/ExceptionGuard.h"
#include "sweeper/FolderWalk.h"

using System::String;
using System::IO::DirectoryInfo;

FileSweeper::FileSweeper(const String& name, const String& folderPaths)
    : CountingSweeper(name), folderPaths_(folderPaths.Split(L";"))
{
}

void FileSweeper::Run(bool sweep)
{
    counters_.Reset(true);
    SetDone(false);
    for (const String& path : folderPaths_) {
        System::TraceExceptions([&] {
            DirectoryInfo folder(path);
            FolderWalk::CheckConfiguredFolder(folder, path);
            SweepFolder(sweep, &folder);
        });
    }
    SetDone(true);
    RaiseCompleted();
}

void FileSweeper::SweepFolder(bool sweep, const DirectoryInfo* folder)
{
    FolderWalk(counters_, [this] { RaiseProgress(); }, true).SweepFolder(sweep, folder);
}

int64_t FileSweeper::GetSize() const { return counters_.GetFoundBytes() < 0 ? 0 : counters_.GetFoundBytes(); }
int32_t FileSweeper::GetCount() const { return counters_.GetFound() < 0 ? 0 : counters_.GetFound(); }
