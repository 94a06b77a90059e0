#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "process/tests/TestChildProcess.h"
#include "testing/ScratchRegistryKey.h"
#include "testing/TempFolder.h"

// A child holding a file, a registry key, a named event and windows open, until the test ends.
class HoldingChild : public ::testing::Test {
protected:
    void SetUp() override
    {
        file_ = folder_ / L"held-open.txt";
        HANDLE created = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(created, INVALID_HANDLE_VALUE);
        CloseHandle(created);
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        ready_ = CreateEventW(&inherit, TRUE, FALSE, nullptr);
        ASSERT_NE(ready_, nullptr);
        std::wstring arguments = L"hold " + std::to_wstring(reinterpret_cast<ULONG_PTR>(ready_)) + L" \"" + file_ +
                                 L"\" \"" + key_.Path() + L"\"";
        child_ = std::make_unique<TestChildProcess>(arguments, true);
        ASSERT_TRUE(child_->Started());
        HANDLE waits[] = {ready_, child_->Handle()};
        ASSERT_EQ(WaitForMultipleObjects(2, waits, FALSE, 10000), WAIT_OBJECT_0) << "the child did not get ready";
    }
    void TearDown() override
    {
        child_.reset();
        if (ready_) CloseHandle(ready_);
    }

    std::wstring KeyLeaf() const { return key_.Path().substr(key_.Path().find_last_of(L'\\') + 1); }

    TestSupport::TempFolder folder_;
    TestSupport::ScratchRegistryKey key_;
    std::wstring file_;
    HANDLE ready_ = nullptr;
    std::unique_ptr<TestChildProcess> child_;
};
