#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "process/CCpuUsage.h"
#include "process/ProcessManager.h"
#include "process/tests/TestChildProcess.h"

namespace {

bool Contains(const System::Array<ProcessInfo*>& entries, uint32_t processId)
{
    return std::any_of(entries.begin(), entries.end(), [&](ProcessInfo* info) { return info->GetProcessId() == processId; });
}

std::wstring CurrentUser()
{
    wchar_t name[260];
    DWORD length = 260;
    return GetUserNameW(name, &length) ? name : L"";
}

TEST(ProcessManagerTests, NewChildAppearsOnceWithPathUserAndProcessNameAsDescription)
{
    ProcessManager manager;
    manager.GetProcesses();
    TestChildProcess child(L"wait");
    ASSERT_TRUE(child.Started());

    System::Array<ProcessInfo*> created = manager.GetProcesses();
    ASSERT_TRUE(Contains(created, child.Id()));
    ProcessInfo* info = nullptr;
    ASSERT_TRUE(manager.TryGetProcess(child.Id(), info));
    EXPECT_TRUE(info->GetPath().EndsWith(L"process_test_child.exe", true)) << info->GetPath().ToUtf8();
    EXPECT_EQ(info->GetImageName().GetStdString(), L"process_test_child.exe");
    // The child has no version resource, so its process name describes it.
    EXPECT_EQ(info->GetDescription().GetStdString(), L"process_test_child.exe");
    EXPECT_EQ(info->GetUser().GetStdString(), CurrentUser());
    EXPECT_EQ(info->GetCpu(), 0);
    EXPECT_GT(info->GetMemory(), 0u);
    EXPECT_EQ(info->GetRating(), -3);
    EXPECT_EQ(info->GetRatingText().GetStdString(), L"정보가 없습니다");

    EXPECT_FALSE(Contains(manager.GetProcesses(), child.Id()));
    EXPECT_TRUE(manager.TryGetProcess(child.Id(), info));
}

TEST(ProcessManagerTests, SpinningChildLoadsAboveHalfAndIdleIsHundredMinusCappedTotal)
{
    ProcessManager manager;
    TestChildProcess child(L"spin");
    ASSERT_TRUE(child.Started());
    manager.GetProcesses();
    Sleep(1000);
    manager.GetProcesses();

    ProcessInfo* info = nullptr;
    ASSERT_TRUE(manager.TryGetProcess(child.Id(), info));
    // Four spinning threads win more than half a processor even on a machine that is busy.
    EXPECT_GT(info->GetCpu(), 50) << "source " << static_cast<int>(manager.GetCpuSource());
    int total = 0;
    for (uint32_t id : manager.GetProcessIds()) {
        ASSERT_TRUE(manager.TryGetProcess(id, info));
        if (id != 0) total += info->GetCpu();
    }
    ProcessInfo* idle = nullptr;
    ASSERT_TRUE(manager.TryGetProcess(0, idle));
    EXPECT_EQ(idle->GetCpu(), 100 - std::min(total, 100));
    EXPECT_EQ(idle->GetMemory(), 16384u);
    EXPECT_EQ(GetProcessorLoad(manager), std::min(total, 100));
}

TEST(ProcessManagerTests, EndedChildDisappearsAtNextEnumeration)
{
    ProcessManager manager;
    TestChildProcess child(L"wait");
    ASSERT_TRUE(child.Started());
    manager.GetProcesses();
    ProcessInfo* info = nullptr;
    ASSERT_TRUE(manager.TryGetProcess(child.Id(), info));
    child.End();
    manager.GetProcesses();
    EXPECT_FALSE(manager.TryGetProcess(child.Id(), info));
    EXPECT_TRUE(manager.TryGetProcess(0, info));
}

TEST(ProcessManagerTests, EndProcessEndsChildButNeverTheManagerItself)
{
    ProcessManager manager;
    EXPECT_EQ(manager.EndProcess(GetCurrentProcessId()), ProcessManager::EndResult::OwnProcess);
    EXPECT_FALSE(ProcessManager::GetEndResultText(ProcessManager::EndResult::OwnProcess).IsEmpty());

    TestChildProcess child(L"wait");
    ASSERT_TRUE(child.Started());
    EXPECT_EQ(manager.EndProcess(child.Id()), ProcessManager::EndResult::Ended);
    EXPECT_EQ(WaitForSingleObject(child.Handle(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(manager.EndProcess(0xFFFFFFF0u), ProcessManager::EndResult::Failed);
    EXPECT_FALSE(ProcessManager::GetEndResultText(ProcessManager::EndResult::Failed).IsEmpty());
}

TEST(ProcessInfoTests, OnlyRealChangesAskForARedrawAndTheCopyKeepsWhatTheSheetShows)
{
    ProcessInfo info(42, L"a.exe", L"A", L"NETWORK SERVICE", 5, 4096, L"C:\\a.exe");
    EXPECT_TRUE(info.IsChanged());
    info.ClearChanged();
    info.SetCpu(5);
    info.SetMemory(4096);
    EXPECT_FALSE(info.IsChanged());
    info.SetMemory(5ull << 32);
    EXPECT_TRUE(info.IsChanged());
    EXPECT_EQ(info.GetMemory(), 5ull << 32);

    ProcessInfo copy(0, L"", L"", L"", 0, 0, L"");
    copy.CopyFrom(info);
    EXPECT_EQ(copy.GetProcessId(), 42u);
    EXPECT_EQ(copy.GetPath().GetStdString(), L"C:\\a.exe");
    EXPECT_EQ(copy.GetUser().GetStdString(), L"NETWORK SERVICE");
    EXPECT_EQ(copy.GetCpu(), 5);

    EXPECT_TRUE(info.IsSystemAccount());
    EXPECT_TRUE(ProcessInfo(1, L"", L"", L"SYSTEM", 0, 0, L"").IsSystemAccount());
    EXPECT_TRUE(ProcessInfo(1, L"", L"", L"LOCAL SERVICE", 0, 0, L"").IsSystemAccount());
    EXPECT_FALSE(ProcessInfo(1, L"", L"", L"system", 0, 0, L"").IsSystemAccount());
    EXPECT_EQ(ProcessInfo::GetRatingText(-2).GetStdString(), L"매우위험");
    EXPECT_EQ(ProcessInfo::GetRatingText(-3).GetStdString(), L"지정되지 않음");
}

TEST(ProcessFiguresTests, SizesAndMemoryCellsTruncateWithoutWrapping)
{
    EXPECT_EQ(FormatSize(1073741823ull).GetStdString(), L"1023 MB");
    EXPECT_EQ(FormatSize(1073741824ull).GetStdString(), L"1 GB");
    EXPECT_EQ(FormatSize(5ull << 30).GetStdString(), L"5 GB");
    EXPECT_EQ(FormatMemoryCell(1023).GetStdString(), L"0 KB");
    EXPECT_EQ(FormatMemoryCell(16384).GetStdString(), L"16 KB");
    EXPECT_EQ(FormatMemoryCell(5ull << 30).GetStdString(), L"5242880 KB");

    MemoryLoad load = ComputeMemoryLoad(8ull << 30, 6ull << 30);
    EXPECT_EQ(load.usedBytes, 2ull << 30);
    EXPECT_EQ(load.percent, 25);
    EXPECT_EQ(ComputeMemoryLoad(1000, 995).percent, 2);
}

TEST(CpuUsageTests, LoadFormulaClampsNonsenseToZeroAndOverloadToHundred)
{
    EXPECT_EQ(CCpuUsage::Load(0, 5000000, 0, 10000000), 50);
    EXPECT_EQ(CCpuUsage::Load(7, 7, 100, 100), 0);
    EXPECT_EQ(CCpuUsage::Load(100, 50, 0, 1000), 0);
    EXPECT_EQ(CCpuUsage::Load(0, 1, 0, 0), 0);
    EXPECT_EQ(CCpuUsage::Load(0, 20000000, 0, 10000000), 100);
}

}  // namespace
