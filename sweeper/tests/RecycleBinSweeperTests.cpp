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

// Deletes a file of a temporary folder with undo, so that it lands in the recycle bin.
void RecycleFile(TestSupport::TempFolder& folder, const std::wstring& name, size_t bytes)
{
    folder.WriteFile(name, std::string(bytes, 'r'));
    std::wstring from = folder / name;
    from.push_back(L'\0');  // the shell's list ends with an empty name
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    ASSERT_EQ(SHFileOperationW(&operation), 0);
    ASSERT_FALSE(operation.fAnyOperationsAborted);
}

}  // namespace

// Outside the test prefix only the analysis is tested: emptying the bin destroys the user's own
// deleted files. The test prefix keeps its trash inside itself, so there the sweep runs too.
TEST(RecycleBinSweeperTest, AnalysisCountsARecycledFileAndASweepEmptiesTheBin)
{
    std::wstring why = TestSupport::WhyDestructiveTestsAreRefused();
    if (!why.empty()) GTEST_SKIP() << Narrow(why);
    std::wstring whyNotEmptied = TestSupport::WhyEmptyingTheRecycleBinIsRefused();
    // A bin that is not the test's own is read only where it is the platform's: under Wine it would
    // be the Linux user's trash.
    if (TestSupport::IsWine() && !whyNotEmptied.empty()) GTEST_SKIP() << Narrow(whyNotEmptied);

    TestSupport::TempFolder folder;
    ASSERT_NO_FATAL_FAILURE(RecycleFile(folder, L"recycled.txt", 1234));
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
    if (!whyNotEmptied.empty()) GTEST_SKIP() << "the sweep: " << Narrow(whyNotEmptied);

    sweeper.Reset(true);
    sweeper.Run(true);
    EXPECT_TRUE(sweeper.IsDone());
    EXPECT_EQ(sweeper.GetProgress(), 100);
    EXPECT_EQ(QueryAllBins().items, 0);
}
