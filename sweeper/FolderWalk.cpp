#include "sweeper/FolderWalk.h"

#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "core/FileInfo.h"
#include "core/Trace.h"

using System::String;
using System::IO::DirectoryInfo;
using System::IO::FileInfo;

namespace {

bool IsFullPath(const String& path)
{
    if (path.GetLength() >= 3 && path[1] == L':' && path[2] == L'\\') return true;
    return path.StartsWith(L"\\\\");
}

}  // namespace

FolderWalk::FolderWalk(SweepCounters& counters, std::function<void()> raiseProgress, bool tracePaths)
    : counters_(counters), raiseProgress_(std::move(raiseProgress)), tracePaths_(tracePaths)
{
}

template <class Work>
void FolderWalk::Guard(const String& path, Work&& work)
{
    try {
        work();
    } catch (System::Exception* caught) {
        System::ExceptionHolder exception(caught);
        if (tracePaths_) System::Diagnostics::Trace::WriteLine(path);
        System::Diagnostics::Trace::WriteLine(exception->ToString());
    }
}

void FolderWalk::CheckConfiguredFolder(const DirectoryInfo& folder, const String& path)
{
    if (!IsFullPath(path)) throw new System::ArgumentException(L"Not a full folder path: \"" + path + L"\".");
    if (folder.Exists() && folder.IsReparsePoint()) {
        throw new System::ArgumentException(L"The folder is a link and is not swept: \"" + path + L"\".");
    }
}

void FolderWalk::SweepFolder(bool sweep, const DirectoryInfo* folder)
{
    if (!folder) throw new System::ArgumentNullException(L"folder");

    // One listing per folder gives both arrays: listing it twice would double the walk's cost.
    System::Array<FileInfo> files;
    System::Array<DirectoryInfo> subfolders;
    folder->GetEntries(files, subfolders, L"*");
    counters_.AddToProcess(subfolders.GetLength());
    for (DirectoryInfo& subfolder : subfolders) {
        raiseProgress_();
        Guard(subfolder.GetFullName(), [&] {
            if (subfolder.IsReparsePoint()) {
                System::Diagnostics::Trace::WriteLine(L"Not following the link " + subfolder.GetFullName());
            } else {
                SweepFolder(sweep, &subfolder);
            }
            // Deleting a link removes the link and never its target.
            if (sweep) subfolder.Delete();
            counters_.Count(sweep);
        });
        counters_.AddProcessed();
    }
    raiseProgress_();

    counters_.AddToProcess(files.GetLength());
    raiseProgress_();
    for (FileInfo& file : files) {
        Guard(file.GetFullName(), [&] {
            int64_t length = file.GetLength();
            if (sweep) file.Delete();
            counters_.Count(sweep, length);
        });
        counters_.AddProcessed();
        raiseProgress_();
    }
}
