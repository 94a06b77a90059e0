#pragma once

#include <functional>

#include "core/DirectoryInfo.h"
#include "core/String.h"
#include "sweeper/SweepCounters.h"

// The depth-first folder walk of the file leaves: counts, or removes, everything inside a folder
// but never the folder itself. It never descends into a junction or symbolic link: the link is
// one item, and a sweep removes the link only, leaving its target alone.
class FolderWalk {
public:
    // tracePaths: a failing item is traced with its path before the failure.
    FolderWalk(SweepCounters& counters, std::function<void()> raiseProgress, bool tracePaths);

    // Null raises ArgumentNullException.
    void SweepFolder(bool sweep, const System::IO::DirectoryInfo* folder);

    // Refuses (ArgumentException) what must never be walked as a configured folder: a path that
    // is not a full one (an empty path would mean the current folder) and a folder link.
    static void CheckConfiguredFolder(const System::IO::DirectoryInfo& folder, const System::String& path);

private:
    template <class Work>
    void Guard(const System::String& path, Work&& work);

    SweepCounters& counters_;
    std::function<void()> raiseProgress_;
    bool tracePaths_;
};
