#include "sweeper/RecycleBinSweeper.h"

#include <windows.h>
#include <shellapi.h>

#include "core/DriveInfo.h"
#include "core/Exception.h"
#include "core/ExceptionGuard.h"

using System::String;
using System::IO::DriveInfo;

namespace {

SHQUERYRBINFO QueryRecycleBin(const String& drive)
{
    SHQUERYRBINFO info = {};
    info.cbSize = sizeof info;
    HRESULT result = SHQueryRecycleBinW(drive.GetBuffer(), &info);
    if (FAILED(result)) throw new System::COMException(L"Cannot query the recycle bin of " + drive, result);
    return info;
}

}  // namespace

RecycleBinSweeper::RecycleBinSweeper(const String& name) : CountingSweeper(name) {}

void RecycleBinSweeper::Run(bool sweep)
{
    counters_.Reset(true);
    SetDone(false);
    System::Array<DriveInfo> drives = DriveInfo::GetDrives();
    for (const DriveInfo& drive : drives) {
        System::TraceExceptions([&] { counters_.AddToProcess(static_cast<int32_t>(QueryRecycleBin(drive.GetName()).i64NumItems)); });
    }
    for (const DriveInfo& drive : drives) {
        int32_t items = 0;
        System::TraceExceptions([&] {
            SHQUERYRBINFO info = QueryRecycleBin(drive.GetName());
            items = static_cast<int32_t>(info.i64NumItems);
            // An empty bin is left alone: some systems answer an error for emptying nothing.
            if (sweep && items > 0) {
                HRESULT result = SHEmptyRecycleBinW(nullptr, drive.GetName().GetBuffer(),
                                                    SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
                if (FAILED(result)) throw new System::COMException(L"Cannot empty the recycle bin of " + drive.GetName(), result);
            }
            counters_.Count(sweep, info.i64Size, items);
        });
        counters_.AddProcessed(items);
        RaiseProgress();
    }
    SetDone(true);
    RaiseCompleted();
}

