#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "core/Environment.h"
#include "core/UniqueResource.h"
#include "sweeper/Catalogue.h"
#include "sweeper/FileSweeper.h"
#include "sweeper/FirefoxSweeper.h"
#include "sweeper/RecycleBinSweeper.h"
#include "testing/FolderLink.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"

using System::String;

namespace {

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolder(const std::wstring& path) { ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS); }

class FileSweeperTest : public ::testing::Test {
protected:
    FileSweeperTest()
    {
        MakeFolder(folder / L"swept");
        MakeFolder(folder / L"swept\\sub");
        folder.WriteFile(L"swept\\sub\\ten.txt", std::string(10, 'a'));
        folder.WriteFile(L"swept\\sub\\twenty.txt", std::string(20, 'b'));
    }
    String Swept() const { return String(folder / L"swept"); }

    TestSupport::TempFolder folder;
};

}  // namespace

TEST_F(FileSweeperTest, AnalysisCountsFoldersAndFilesWithTheirBytes)
{
    FileSweeper sweeper(L"Temp", Swept());
    sweeper.Reset(false);
    sweeper.Run(false);
    EXPECT_EQ(sweeper.GetCount(), 3);
    EXPECT_EQ(sweeper.GetSize(), 30);
    EXPECT_EQ(sweeper.GetProgress(), 100);
    EXPECT_TRUE(FileExists(folder / L"swept\\sub\\ten.txt"));
}

TEST_F(FileSweeperTest, SweepLeavesALockedFileAndItsFolderCountedAndRemovesTheRest)
{
    FileSweeper sweeper(L"Temp", Swept());
    sweeper.Reset(false);
    sweeper.Run(false);
    System::UniqueHandle locked(CreateFileW((folder / L"swept\\sub\\twenty.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked.IsValid());
    sweeper.Reset(true);
    sweeper.Run(true);
    EXPECT_EQ(sweeper.GetCount(), 2);
    EXPECT_EQ(sweeper.GetSize(), 20);
    EXPECT_FALSE(FileExists(folder / L"swept\\sub\\ten.txt"));
    EXPECT_TRUE(FileExists(folder / L"swept\\sub\\twenty.txt"));
    locked.Reset();

    sweeper.Reset(true);
    sweeper.Run(true);
    EXPECT_EQ(sweeper.GetCount(), 0);
    EXPECT_EQ(sweeper.GetSize(), 0);
    EXPECT_TRUE(FileExists(folder / L"swept"));
    EXPECT_FALSE(FileExists(folder / L"swept\\sub"));
}

TEST_F(FileSweeperTest, EmptyMissingAndRelativeFoldersFindNothingAndEndDone)
{
    MakeFolder(folder / L"empty");
    for (const String& paths : {String(folder / L"empty"), String(folder / L"missing"), String(L""), String(L"swept"), String(L"\\Temp")}) {
        FileSweeper sweeper(L"Temp", paths);
        sweeper.Reset(false);
        sweeper.Run(false);
        EXPECT_EQ(sweeper.GetCount(), 0) << paths.ToUtf8();
        EXPECT_EQ(sweeper.GetProgress(), 100);
    }
}

TEST_F(FileSweeperTest, NeverDescendsIntoJunctionsOrSymbolicLinks)
{
    MakeFolder(folder / L"target_junction");
    MakeFolder(folder / L"target_symlink");
    folder.WriteFile(L"target_junction\\keep1.txt", "keep");
    folder.WriteFile(L"target_symlink\\keep2.txt", "keep");
    if (!TestSupport::MakeFolderLink(folder / L"target_junction", folder / L"swept\\junction", TestSupport::FolderLinkKind::Junction) ||
        !TestSupport::MakeFolderLink(folder / L"target_symlink", folder / L"swept\\symlink", TestSupport::FolderLinkKind::SymbolicLink)) {
        GTEST_SKIP() << "folder links cannot be made here (on Windows creating them needs the privilege)";
    }
    // The configured folder itself being a link is refused outright.
    FileSweeper linkedRoot(L"Temp", String(folder / L"swept\\junction"));
    linkedRoot.Reset(false);
    linkedRoot.Run(true);
    EXPECT_TRUE(FileExists(folder / L"target_junction\\keep1.txt"));

    FileSweeper sweeper(L"Temp", Swept());
    sweeper.Reset(false);
    sweeper.Run(false);
    EXPECT_EQ(sweeper.GetCount(), 5);  // sub, its two files, and the two links themselves
    EXPECT_EQ(sweeper.GetSize(), 30);
    sweeper.Reset(true);
    sweeper.Run(true);

    EXPECT_TRUE(FileExists(folder / L"target_junction\\keep1.txt"));
    EXPECT_TRUE(FileExists(folder / L"target_symlink\\keep2.txt"));
    if (TestSupport::IsWine()) {
        // Wine's folder delete would remove the target, so the library refuses: the links stay, counted.
        EXPECT_EQ(sweeper.GetCount(), 2);
    } else {
        EXPECT_EQ(sweeper.GetCount(), 0);
        EXPECT_FALSE(FileExists(folder / L"swept\\junction"));
    }
    TestSupport::DeleteTree(folder / L"swept");
}

TEST_F(FileSweeperTest, SweepLeavesALinkToAFileOutsideAndItsTarget)
{
    folder.WriteFile(L"outside.txt", "keep");
    if (!TestSupport::MakeFileLink(folder / L"outside.txt", folder / L"swept\\link.txt")) {
        GTEST_SKIP() << "file links cannot be made here (on Windows creating them needs the privilege)";
    }
    FileSweeper sweeper(L"Temp", Swept());
    sweeper.Reset(false);
    sweeper.Run(false);
    EXPECT_EQ(sweeper.GetCount(), 4);  // sub, its two files and the link
    sweeper.Reset(true);
    sweeper.Run(true);

    EXPECT_EQ(folder.ReadFile(L"outside.txt"), "keep");
    EXPECT_FALSE(FileExists(folder / L"swept\\sub"));
    // Where the link cannot be told from its target on delete (Wine), it stays, counted.
    EXPECT_EQ(FileExists(folder / L"swept\\link.txt"), TestSupport::IsWine());
    EXPECT_EQ(sweeper.GetCount(), TestSupport::IsWine() ? 1 : 0);
}

namespace {

// Profiles under the user's roaming application data: a fixed location of the machine.
class FirefoxSweeperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring why = TestSupport::WhyDestructiveTestsAreRefused();
        if (!why.empty()) GTEST_SKIP() << std::string(why.begin(), why.end());
        profiles = System::Environment::GetFolderPath(System::Environment::ApplicationData).GetStdString() + L"\\Mozilla\\Firefox\\profiles";
        mozilla = System::Environment::GetFolderPath(System::Environment::ApplicationData).GetStdString() + L"\\Mozilla";
        TestSupport::DeleteTree(mozilla);
    }
    void TearDown() override
    {
        if (!mozilla.empty()) TestSupport::DeleteTree(mozilla);
    }
    void Write(const std::wstring& relative, size_t size)
    {
        std::wstring path = profiles + L"\\" + relative;
        for (size_t at = path.find(L'\\', mozilla.size()); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
            MakeFolder(path.substr(0, at));
        }
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::string bytes(size, 'x');
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    std::wstring profiles;
    std::wstring mozilla;
};

}  // namespace

TEST_F(FirefoxSweeperTest, WithoutAProfilesFolderEveryModeFindsNothing)
{
    for (int mode = 0; mode <= 4; ++mode) {
        FirefoxSweeper sweeper(L"FF", mode);
        sweeper.Reset(false);
        sweeper.Run(false);
        EXPECT_EQ(sweeper.GetCount(), 0);
        EXPECT_EQ(sweeper.GetProgress(), 100);
    }
}

TEST_F(FirefoxSweeperTest, FileModesCountOnlyProfilesThatHaveTheFile)
{
    Write(L"one.default\\cookies.txt", 40);
    Write(L"two.default\\history.dat", 7);
    MakeFolder(profiles + L"\\two.default");
    FirefoxSweeper cookies(L"FFCookie", 1);
    cookies.Reset(false);
    cookies.Run(false);
    EXPECT_EQ(cookies.GetCount(), 1);
    EXPECT_EQ(cookies.GetSize(), 40);
    cookies.Reset(true);
    cookies.Run(true);
    EXPECT_EQ(cookies.GetCount(), 0);
    EXPECT_FALSE(FileExists(profiles + L"\\one.default\\cookies.txt"));
    EXPECT_TRUE(FileExists(profiles + L"\\two.default\\history.dat"));
}

TEST_F(FirefoxSweeperTest, CacheModeEmptiesEachProfilesCacheFolderOnly)
{
    Write(L"one.default\\cache\\A\\entry1", 100);
    Write(L"one.default\\cache\\entry2", 50);
    Write(L"one.default\\cookies.txt", 5);
    Write(L"two.default\\prefs.js", 5);
    FirefoxSweeper cache(L"FFCache", 0);
    cache.Reset(false);
    cache.Run(false);
    EXPECT_EQ(cache.GetCount(), 3);
    EXPECT_EQ(cache.GetSize(), 150);
    cache.Reset(true);
    cache.Run(true);
    EXPECT_EQ(cache.GetCount(), 0);
    EXPECT_TRUE(FileExists(profiles + L"\\one.default\\cache"));
    EXPECT_FALSE(FileExists(profiles + L"\\one.default\\cache\\entry2"));
    EXPECT_TRUE(FileExists(profiles + L"\\one.default\\cookies.txt"));
}

namespace {

// Sweeps the whole Disk category of the catalogue with a hostile Temp value and checks that a
// file in the named folder survives.
void SweepDiskWithTemp(const String& temp, const std::wstring& sentinel)
{
    SCOPED_TRACE(temp.ToUtf8());
    ASSERT_TRUE(SetEnvironmentVariableW(L"Temp", temp.GetBuffer()));
    std::unique_ptr<Sweeper> root(BuildCatalogue());
    Sweeper* disk = root->GetChildren()[0];
    disk->SetSelected(true);
    // Under Wine the recycle bin is the host user's own trash, outside the test prefix.
    Sweeper* recycleBin = nullptr;
    for (Sweeper* item : disk->GetChildren()) {
        bool isRecycleBin = dynamic_cast<RecycleBinSweeper*>(item) != nullptr;
        if (isRecycleBin) recycleBin = item;
        item->SetSelected(!isRecycleBin);
    }
    ASSERT_NE(recycleBin, nullptr);
    ASSERT_FALSE(recycleBin->IsSelected());
    root->Reset(false);
    root->Run(false);
    root->Reset(true);
    root->Run(true);
    EXPECT_TRUE(root->IsDone());
    EXPECT_FALSE(recycleBin->IsDone());  // never ran
    EXPECT_TRUE(FileExists(sentinel));
}

}  // namespace

TEST(HostileTempTest, SweepingDiskNeverEmptiesTheProfileADriveRootOrTheWindowsFolder)
{
    std::wstring why = TestSupport::WhyDestructiveTestsAreRefused();
    if (!why.empty()) GTEST_SKIP() << std::string(why.begin(), why.end());
    String saved = System::Environment::GetEnvironmentVariable(L"Temp");
    String profile = System::Environment::GetFolderPath(System::Environment::UserProfile);
    String windows = System::Environment::GetFolderPath(System::Environment::Windows);
    String drive = windows.Substring(0, 3);
    struct Case {
        String temp;
        std::wstring sentinel;
    } cases[] = {
        {profile, profile.GetStdString() + L"\\vela-sentinel.txt"},
        {drive, drive.GetStdString() + L"vela-sentinel.txt"},
        {windows.ToUpper() + L"\\", windows.GetStdString() + L"\\vela-sentinel.txt"},
    };
    for (const Case& item : cases) {
        HANDLE file = CreateFileW(item.sentinel.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
        SweepDiskWithTemp(item.temp, item.sentinel);
        DeleteFileW(item.sentinel.c_str());
    }
    SetEnvironmentVariableW(L"Temp", saved.GetBuffer());
}
