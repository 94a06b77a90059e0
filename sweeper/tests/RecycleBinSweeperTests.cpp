#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "core/DriveInfo.h"
#include "core/String.h"
#include "sweeper/RecycleBinSweeper.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"

using System::String;

namespace {

std::string Narrow(const std::wstring& text) { return String(text).ToUtf8(); }

struct BinContents {
    int64_t items = 0;
    int64_t bytes = 0;
};

// The bins of every drive, asked of the shell directly.
BinContents QueryAllBins()
{
    BinContents total;
    for (const System::IO::DriveInfo& drive : System::IO::DriveInfo::GetDrives()) {
        SHQUERYRBINFO info = {};
        info.cbSize = sizeof info;
        if (FAILED(SHQueryRecycleBinW(drive.GetName().GetBuffer(), &info))) continue;
        total.items += info.i64NumItems;
        total.bytes += info.i64Size;
    }
    return total;
}

}  // namespace

// Only the analysis is tested: emptying the bin destroys the user's own deleted files.
TEST(RecycleBinSweeperTest, AnalysisCountsAFileDeletedWithUndoAndItsBytes)
{
    // Wine keeps the bin in the trash folder of the Linux user running it, outside the test
    // prefix: a test there would read, and a sweep would destroy, real files of the machine.
    if (TestSupport::IsWine()) {
        GTEST_SKIP() << "under Wine the recycle bin is the Linux user's own trash folder, outside the test prefix";
    }
    std::wstring why = TestSupport::WhyDestructiveTestsAreRefused();
    if (!why.empty()) GTEST_SKIP() << Narrow(why);

    TestSupport::TempFolder folder;
    folder.WriteFile(L"recycled.txt", std::string(1234, 'r'));
    std::wstring from = folder / L"recycled.txt";
    from.push_back(L'\0');  // the shell's list ends with an empty name
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    ASSERT_EQ(SHFileOperationW(&operation), 0);
    ASSERT_FALSE(operation.fAnyOperationsAborted);

    BinContents before = QueryAllBins();
    ASSERT_GE(before.items, 1);
    ASSERT_GE(before.bytes, 1234);
    RecycleBinSweeper sweeper(L"RecycleBin");
    sweeper.Reset(false);
    sweeper.Run(false);
    EXPECT_EQ(sweeper.GetCount(), static_cast<int32_t>(before.items));
    EXPECT_EQ(sweeper.GetSize(), before.bytes);
    EXPECT_EQ(sweeper.GetProgress(), 100);
    EXPECT_EQ(QueryAllBins().items, before.items);
}
