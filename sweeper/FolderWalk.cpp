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

// The extended-length form of a full path ("\\?\C:\..." or "\\?\UNC\server\..."), which the
// system takes name by name.
String ExtendedLengthPath(const String& fullPath)
{
    if (fullPath.StartsWith(L"\\\\?\\") || fullPath.StartsWith(L"\\\\.\\")) return fullPath;
    if (fullPath.StartsWith(L"\\\\")) return L"\\\\?\\UNC\\" + fullPath.Substring(2);
    return L"\\\\?\\" + fullPath;
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
    // Every item is reached through its extended-length path: plain paths lose trailing dots and
    // spaces of names (and so name another item or none), turn CON or NUL into devices and stop at
    // 260 characters. The folders below inherit the form from the listing.
    String extended = ExtendedLengthPath(folder->GetFullName());
    if (extended != folder->GetFullName()) {
        DirectoryInfo same(extended);
        SweepFolder(sweep, &same);
        return;
    }

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
