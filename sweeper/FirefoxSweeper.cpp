#include "sweeper/FirefoxSweeper.h"

#include "core/Environment.h"
#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "core/FileInfo.h"
#include "core/Trace.h"
#include "sweeper/FolderWalk.h"

using System::String;
using System::IO::DirectoryInfo;
using System::IO::FileInfo;

FirefoxSweeper::FirefoxSweeper(const String& name, int mode) : CountingSweeper(name), mode_(mode)
{
    if (mode < 0 || mode > 4) throw new System::ArgumentOutOfRangeException(L"mode");
}

void FirefoxSweeper::Run(bool sweep)
{
    static const wchar_t* const fileNames[] = {L"", L"cookies.txt", L"downloads.rdf", L"formhistory.dat", L"history.dat"};
    counters_.Reset(true);
    SetDone(false);

    String appData = System::Environment::GetFolderPath(System::Environment::ApplicationData);
    DirectoryInfo profilesFolder(appData + L"\\Mozilla\\Firefox\\profiles");
    if (!appData.IsEmpty() && profilesFolder.Exists()) {
        System::Array<DirectoryInfo> profiles = profilesFolder.GetDirectories(L"*");
        if (mode_ != 0) counters_.AddToProcess(profiles.GetLength());
        for (const DirectoryInfo& profile : profiles) {
            // A linked profile belongs to someone else's tree: its files are not ours to remove.
            if (profile.IsReparsePoint()) {
                System::Diagnostics::Trace::WriteLine(L"Not following the link " + profile.GetFullName());
                continue;
            }
            if (mode_ == 0) {
                System::TraceExceptions([&] {
                    DirectoryInfo cache(profile.GetFullName() + L"\\cache");
                    FolderWalk::CheckConfiguredFolder(cache, cache.GetFullName());
                    SweepFolder(sweep, &cache);
                });
            } else {
                SweepProfileFile(sweep, profile, fileNames[mode_]);
            }
        }
    }
    SetDone(true);
    RaiseCompleted();
}

void FirefoxSweeper::SweepProfileFile(bool sweep, const DirectoryInfo& profile, const String& fileName)
{
    bool present = true;
    System::TraceExceptions([&] {
        FileInfo file(profile.GetFullName() + L"\\" + fileName);
        if (!file.Exists()) {
            present = false;
            return;
        }
        int64_t length = file.GetLength();
        if (sweep) file.Delete();
        counters_.Count(sweep, length);
    });
    if (present) counters_.AddProcessed();
}

void FirefoxSweeper::SweepFolder(bool sweep, const DirectoryInfo* folder)
{
    FolderWalk(counters_, [this] { RaiseProgress(); }, false).SweepFolder(sweep, folder);
}

int64_t FirefoxSweeper::GetSize() const { return counters_.GetFoundBytes() < 0 ? 0 : counters_.GetFoundBytes(); }
int32_t FirefoxSweeper::GetCount() const { return counters_.GetFound() < 0 ? 0 : counters_.GetFound(); }
