// Drive texts on real drives: the prefix's C: and CD drives declared for the test, whose media-type
// query fails as Wine answers it.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/String.h"
#include "sysinfo/Drives.h"
#include "sysinfo/tests/WineCdDrive.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"

namespace {

using System::String;

std::vector<std::unique_ptr<DriveInfo>> AllDrives()
{
    std::vector<std::unique_ptr<DriveInfo>> drives;
    for (DriveInfo* drive : GetDrives()) drives.emplace_back(drive);
    return drives;
}

const DriveInfo* Find(const std::vector<std::unique_ptr<DriveInfo>>& drives, const std::wstring& name)
{
    for (const auto& drive : drives) {
        if (drive->name.GetStdString() == name) return drive.get();
    }
    return nullptr;
}

std::string Utf8(const String& text) { return text.ToUtf8(); }

}  // namespace

TEST(DriveTest, SystemDriveIsALocalFixedDriveWithItsSizesAndFileSystem)
{
    wchar_t windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 2u);
    std::wstring name(windows, 2);
    EXPECT_EQ(Utf8(GetDriveTypeText(name + L"\\")), "로컬 고정 드라이브");

    auto drives = AllDrives();
    const DriveInfo* system = Find(drives, name);
    ASSERT_NE(system, nullptr) << "drives are named by their root without the backslash";
    EXPECT_EQ(Utf8(system->type), "로컬 고정 드라이브");
    EXPECT_FALSE(system->fileSystem.IsEmpty());
    EXPECT_GT(system->totalBytes, 0u);
    EXPECT_LE(system->totalFreeBytes, system->totalBytes);
    EXPECT_FALSE(system->label.IsEmpty()) << "an empty label reads \"없음\"";
    if (!system->serial.IsEmpty()) {
        EXPECT_EQ(system->serial.ToUpper(), system->serial);
    }
}

TEST(DriveTest, MissingDriveHasNoRootDirectory)
{
    DWORD used = GetLogicalDrives();
    wchar_t letter = 0;
    for (wchar_t candidate = L'Y'; candidate >= L'D' && !letter; --candidate) {
        if (!(used & (1u << (candidate - L'A')))) letter = candidate;
    }
    ASSERT_NE(letter, 0);
    EXPECT_EQ(Utf8(GetDriveTypeText(std::wstring(1, letter) + L":\\")), "루트 디렉토리가 아님");
}

TEST(DriveTest, CdDrivesShowTheirOpticalTextAndTheirLabelsAsTheyAre)
{
    std::wstring refused = TestSupport::WhyDestructiveTestsAreRefused();
    if (!refused.empty()) GTEST_SKIP() << String(refused).ToUtf8();
    if (!TestSupport::IsWine()) GTEST_SKIP() << "declares its drives through Wine's mount manager";

    TestSupport::TempFolder labelled;
    labelled.WriteFile(L".windows-label", "<b>x</b>");
    TestSupport::TempFolder unlabelled;
    SysinfoTests::WineCdDrive first(labelled.Path());
    ASSERT_NE(first.Letter(), 0) << first.Why();
    SysinfoTests::WineCdDrive second(unlabelled.Path());
    ASSERT_NE(second.Letter(), 0) << second.Why();

    // The device opens but cannot tell its media types: the text stays the generic one.
    EXPECT_EQ(Utf8(GetOpticalDriveText(first.Root())), "CD-ROM 드라이브");
    EXPECT_EQ(Utf8(GetDriveTypeText(first.Root())), "CD-ROM 드라이브");

    auto drives = AllDrives();
    const DriveInfo* withLabel = Find(drives, first.Name());
    const DriveInfo* withoutLabel = Find(drives, second.Name());
    ASSERT_NE(withLabel, nullptr);
    ASSERT_NE(withoutLabel, nullptr);
    EXPECT_EQ(Utf8(withLabel->type), "CD-ROM 드라이브");
    EXPECT_EQ(Utf8(withLabel->label), "<b>x</b>");
    EXPECT_EQ(Utf8(withoutLabel->label), "없음");
    EXPECT_EQ(Utf8(withoutLabel->type), "CD-ROM 드라이브");
}
