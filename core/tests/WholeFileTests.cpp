#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "core/Exception.h"
#include "core/WholeFile.h"
#include "core/Win32Exception.h"
#include "testing/TempFolder.h"
#include "testing/WriteFault.h"

using System::String;

namespace {

void WriteText(System::IO::Stream& file, const std::string& text)
{
    // Several small writes, as record writers make them, so a failure can fall between two.
    for (size_t at = 0; at < text.size(); at += 7) {
        size_t length = std::min<size_t>(7, text.size() - at);
        file.Write(reinterpret_cast<const uint8_t*>(text.data() + at), static_cast<int>(length));
    }
}

}  // namespace

TEST(WriteFileWhole, AFailureAtEveryByteLeavesThePreviousFileAndNoPartialOne)
{
    TestSupport::TempFolder folder;
    std::string previous = "previous contents";
    std::string next(700, 'n');
    next += "end";
    std::wstring path = folder.WriteFile(L"settings.cfg", previous);
    int failures = 0;
    for (int64_t k = 0; k <= static_cast<int64_t>(next.size()); ++k) {
        bool failed = false;
        {
            TestSupport::WriteFault fault(k);
            try {
                System::IO::WriteFileWhole(path.c_str(), [&](System::IO::Stream& file) { WriteText(file, next); });
            } catch (System::Exception* caught) {
                std::wstring text = caught->ToString().GetBuffer();
                delete caught;
                ASSERT_NE(text.find(L"Disk full"), std::wstring::npos) << std::string(text.begin(), text.end());
                failed = true;
            }
        }
        std::string now = folder.ReadFile(L"settings.cfg");
        if (failed) {
            ++failures;
            ASSERT_EQ(now, previous) << "failure at byte " << k;
        } else {
            ASSERT_EQ(now, next) << "write with " << k << " bytes allowed";
            folder.WriteFile(L"settings.cfg", previous);
        }
        ASSERT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES) << "at byte " << k;
    }
    EXPECT_EQ(failures, static_cast<int>(next.size()));
}

TEST(WriteFileWhole, TheWritersOwnFailureAndAnUnreplaceableTargetKeepThePreviousFile)
{
    TestSupport::TempFolder folder;
    std::wstring path = folder.WriteFile(L"store.vsd", "old");
    bool raised = false;
    try {
        System::IO::WriteFileWhole(path.c_str(), [](System::IO::Stream& file) {
            WriteText(file, "half");
            throw new System::IO::IOException(L"record failed");
        });
    } catch (System::IO::IOException* caught) {
        delete caught;
        raised = true;
    }
    EXPECT_TRUE(raised);
    EXPECT_EQ(folder.ReadFile(L"store.vsd"), "old");

    // A target held open without delete sharing cannot be replaced.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    raised = false;
    try {
        System::IO::WriteFileWhole(path.c_str(), [](System::IO::Stream& file) { WriteText(file, "new"); });
    } catch (Microsoft::Win32::Win32Exception* caught) {
        delete caught;
        raised = true;
    }
    CloseHandle(held);
    EXPECT_TRUE(raised);
    EXPECT_EQ(folder.ReadFile(L"store.vsd"), "old");
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
}
