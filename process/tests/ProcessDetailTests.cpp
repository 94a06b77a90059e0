#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>

#include "process/ProcessHandleNames.h"
#include "process/ProcessModuleInfo.h"
#include "process/WindowInfoManager.h"
#include "process/tests/HoldingChild.h"

namespace {

bool AnyEndsWith(const System::Array<System::String>& names, const std::wstring& tail)
{
    return std::any_of(names.begin(), names.end(), [&](const System::String& name) { return name.EndsWith(tail.c_str(), true); });
}

bool AnyContains(const System::Array<System::String>& names, const std::wstring& part)
{
    return std::any_of(names.begin(), names.end(), [&](const System::String& name) { return name.Contains(part.c_str()); });
}

TEST_F(HoldingChild, WindowsListTitledAndUntitledWindowsWithTheirChildren)
{
    WindowInfoManager manager;
    System::Array<WindowsInfo*> windows = manager.GetWindows(child_->Id());
    // The system may add windows of its own (an input-method window) to a thread with windows.
    WindowsInfo* titled = nullptr;
    int untitled = 0;
    for (WindowsInfo* window : windows) {
        if (window->GetTitle() == L"VtpsmTitledWindow") titled = window;
        if (window->GetTitle() == L"<이름 없음>" && window->GetChildren().GetLength() == 0) ++untitled;
    }
    ASSERT_NE(titled, nullptr);
    ASSERT_EQ(titled->GetChildren().GetLength(), 2);
    EXPECT_EQ(titled->GetChildren()[0].GetStdString(), L"VtpsmChildText");
    EXPECT_EQ(titled->GetChildren()[1].GetStdString(), L"<이름 없음>");
    EXPECT_EQ(untitled, 1);
    for (WindowsInfo* window : windows) delete window;

    EXPECT_EQ(manager.GetWindows(GetCurrentProcessId()).GetLength(), 0);
}

TEST_F(HoldingChild, ModulesIncludeTheProgramAndKernel32)
{
    System::Array<ProcessModuleInfo*> modules = GetProcessModules(child_->Id());
    ASSERT_GT(modules.GetLength(), 1);
    EXPECT_TRUE(modules[0]->GetPath().EndsWith(L"process_test_child.exe", true));
    bool kernel32 = std::any_of(modules.begin(), modules.end(), [](ProcessModuleInfo* module) {
        return module->GetName().Equals(L"kernel32.dll", true) && module->GetPath().EndsWith(L"\\kernel32.dll", true);
    });
    EXPECT_TRUE(kernel32);
    for (ProcessModuleInfo* module : modules) delete module;

    EXPECT_EQ(GetProcessModules(0xFFFFFFF0u).GetLength(), 0);
}

TEST_F(HoldingChild, HandlesNameTheHeldFileAndKeyButNoEvents)
{
    System::Array<System::String> names = GetProcessHandleNames(child_->Id());
    EXPECT_TRUE(AnyEndsWith(names, L"\\held-open.txt"));
    EXPECT_TRUE(AnyEndsWith(names, L"\\" + KeyLeaf()));
    EXPECT_FALSE(AnyContains(names, L"VtpsmTestChildEvent"));
}

TEST_F(HoldingChild, BlockingNameQueryIsLeftOutAfterAboutOneSecondAndStopsFurtherQueries)
{
    // Wine answers every file-name query at once, so a query that waits for ever stands in for a
    // handle whose query blocks.
    auto calls = std::make_shared<std::atomic<int>>(0);
    HandleNameOptions options;
    options.maxAbandonedQueries = 1;
    options.query = [calls](FWHandleToNameInfo&) {
        ++*calls;
        Sleep(INFINITE);
    };
    ULONGLONG start = GetTickCount64();
    System::Array<System::String> names = GetProcessHandleNames(child_->Id(), options);
    ULONGLONG elapsed = GetTickCount64() - start;

    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 3000u);
    EXPECT_EQ(calls->load(), 1);
    EXPECT_FALSE(AnyEndsWith(names, L"\\held-open.txt"));
    EXPECT_TRUE(AnyEndsWith(names, L"\\" + KeyLeaf()));
}

}  // namespace
