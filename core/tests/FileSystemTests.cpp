#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/DirectoryInfo.h"
#include "core/DriveInfo.h"
#include "core/Exception.h"
#include "core/FileInfo.h"
#include "core/FileStream.h"
#include "core/Win32Exception.h"
#include "testing/FolderLink.h"
#include "testing/LibraryAssertions.h"
#include "testing/TestPrefixGuard.h"
#include "testing/TempFolder.h"

using System::Array;
using System::String;
using System::IO::DirectoryInfo;
using System::IO::DriveInfo;
using System::IO::FileInfo;
using TestSupport::ExpectThrows;
using TestSupport::ExpectWin32Error;

namespace {

template <class Item>
std::vector<std::wstring> SortedNames(const Array<Item>& items)
{
    std::vector<std::wstring> names;
    for (const Item& item : items) names.push_back(item.GetName().GetStdString());
    std::sort(names.begin(), names.end());
    return names;
}

bool MakeFolderLink(const std::wstring& target, const std::wstring& link)
{
    return TestSupport::MakeFolderLink(target, link, TestSupport::FolderLinkKind::SymbolicLink);
}

class FileSystemTest : public ::testing::Test {
protected:
    String PathOf(const wchar_t* name) const { return String(folder / name); }

    TestSupport::TempFolder folder;
};

TEST_F(FileSystemTest, FileInfoDescribesAFileAndRaisesWithThePathForAMissingOne)
{
    folder.WriteFile(L"임시파일.txt", std::string(1234, 'x'));
    FileInfo file(PathOf(L"임시파일.txt"));
    EXPECT_TRUE(file.Exists());
    EXPECT_EQ(file.GetLength(), 1234);
    EXPECT_EQ(file.GetName(), String(L"임시파일.txt"));
    EXPECT_EQ(file.GetFullName(), PathOf(L"임시파일.txt"));
    EXPECT_EQ(file.GetDirectoryName(), String(folder.Path()));
    EXPECT_FALSE(file.IsReparsePoint());
    EXPECT_EQ(file.GetAttributes() & FILE_ATTRIBUTE_DIRECTORY, 0u);

    FileInfo missing(PathOf(L"없는파일.txt"));
    EXPECT_FALSE(missing.Exists());
    EXPECT_FALSE(missing.IsReparsePoint());
    EXPECT_EQ(ExpectWin32Error(missing.GetFullName(), [&] { missing.GetLength(); }), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    ExpectWin32Error(missing.GetFullName(), [&] { missing.GetAttributes(); });

    FileInfo aFolder(String(folder.Path()));
    EXPECT_FALSE(aFolder.Exists());
    ExpectWin32Error(aFolder.GetFullName(), [&] { aFolder.GetLength(); });
    EXPECT_TRUE(DirectoryInfo(String(folder.Path())).Exists());
    EXPECT_FALSE(DirectoryInfo(PathOf(L"임시파일.txt")).Exists());
}

TEST_F(FileSystemTest, InformationIsReadOnFirstUseAndKeptUntilRefresh)
{
    FileInfo file(PathOf(L"나중에.txt"));
    folder.WriteFile(L"나중에.txt", "12345");
    EXPECT_EQ(file.GetLength(), 5);
    folder.WriteFile(L"나중에.txt", "1234567890");
    EXPECT_EQ(file.GetLength(), 5);
    file.Refresh();
    EXPECT_EQ(file.GetLength(), 10);
    DeleteFileW(file.GetFullName().GetBuffer());
    EXPECT_TRUE(file.Exists());
    file.Refresh();
    EXPECT_FALSE(file.Exists());
}

TEST_F(FileSystemTest, PathsBecomeFullPathsWithoutTrailingSeparators)
{
    EXPECT_EQ(DirectoryInfo(PathOf(L"가\\..\\나\\")).GetFullName(), PathOf(L"나"));
    EXPECT_EQ(DirectoryInfo(PathOf(L"가\\..\\나\\")).GetName(), String(L"나"));
    EXPECT_EQ(FileInfo(PathOf(L"가/다.txt")).GetFullName(), PathOf(L"가\\다.txt"));
    EXPECT_EQ(FileInfo(PathOf(L"가/다.txt")).GetDirectoryName(), PathOf(L"가"));
    DirectoryInfo root(L"c:\\");
    EXPECT_EQ(root.GetFullName(), String(L"c:\\"));
    EXPECT_EQ(root.GetName(), String(L"c:\\"));
    EXPECT_TRUE(root.Exists());
    EXPECT_EQ(FileInfo(L"C:\\a.txt").GetDirectoryName(), String(L"C:\\"));
    ExpectThrows<System::ArgumentException>([] { FileInfo(L""); });
}

TEST_F(FileSystemTest, FileDeleteRemovesTheFileAndIgnoresAMissingOne)
{
    folder.WriteFile(L"지울파일.tmp", "x");
    FileInfo file(PathOf(L"지울파일.tmp"));
    EXPECT_TRUE(file.Exists());
    file.Delete();
    EXPECT_FALSE(file.Exists());
    EXPECT_EQ(GetFileAttributesW(file.GetFullName().GetBuffer()), INVALID_FILE_ATTRIBUTES);
    file.Delete();
    FileInfo(PathOf(L"없는폴더\\없는파일.tmp")).Delete();

    folder.WriteFile(L"사용중.tmp", "x");
    System::IO::FileStream inUse(PathOf(L"사용중.tmp"), 3, 1, 1);
    FileInfo locked(PathOf(L"사용중.tmp"));
    EXPECT_NE(ExpectWin32Error(locked.GetFullName(), [&] { locked.Delete(); }), 0u);
    EXPECT_TRUE(locked.Exists());
}

// Each once refused as a file link under Wine: the final path of "dot." names "dot", and a final
// path over MAX_PATH could not be read at all.
TEST_F(FileSystemTest, FileDeleteThroughExtendedPathsRemovesTrailingDotNamesAndFilesBeyondMaxPath)
{
    std::wstring root = L"\\\\?\\" + folder.Path();
    std::wstring deep = root;
    for (int level = 0; level < 3; ++level) {
        deep += L"\\" + std::wstring(100, static_cast<wchar_t>(L'a' + level));
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    for (const std::wstring& path : {root + L"\\dot.", root + L"\\space ", deep + L"\\far.txt"}) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << String(path).ToUtf8();
        CloseHandle(file);
    }
    folder.WriteFile(L"dot", "kept");
    for (const std::wstring& path : {root + L"\\dot.", root + L"\\space ", deep + L"\\far.txt"}) {
        FileInfo(String(path)).Delete();
        EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << String(path).ToUtf8();
    }
    EXPECT_EQ(folder.ReadFile(L"dot"), "kept");
}

class FolderListingTest : public FileSystemTest {
protected:
    void SetUp() override
    {
        folder.WriteFile(L"가.txt", std::string(10, 'a'));
        folder.WriteFile(L"20240101120000.vsb", std::string(20, 'b'));
        folder.WriteFile(L"20240102120000.vsb", std::string(30, 'c'));
        folder.WriteFile(L"설명", "");
        CreateDirectoryW((folder / L"하위폴더").c_str(), nullptr);
        CreateDirectoryW((folder / L"backup").c_str(), nullptr);
        folder.WriteFile(L"하위폴더\\안쪽.txt", "inner");
    }
};

TEST_F(FolderListingTest, ListsFilesAndSubfoldersApartWithTheirData)
{
    DirectoryInfo root(String(folder.Path()));
    Array<FileInfo> files = root.GetFiles();
    EXPECT_EQ(SortedNames(files), (std::vector<std::wstring>{L"20240101120000.vsb", L"20240102120000.vsb", L"가.txt", L"설명"}));
    int64_t total = 0;
    for (const FileInfo& file : files) {
        EXPECT_TRUE(file.Exists());
        EXPECT_EQ(file.GetFullName(), root.GetFullName() + L"\\" + file.GetName());
        total += file.GetLength();
    }
    EXPECT_EQ(total, 60);

    Array<DirectoryInfo> folders = root.GetDirectories();
    EXPECT_EQ(SortedNames(folders), (std::vector<std::wstring>{L"backup", L"하위폴더"}));
    for (const DirectoryInfo& sub : folders) {
        EXPECT_TRUE(sub.Exists());
        EXPECT_FALSE(sub.IsReparsePoint());
    }
    EXPECT_EQ(SortedNames(DirectoryInfo(PathOf(L"하위폴더")).GetFiles()), (std::vector<std::wstring>{L"안쪽.txt"}));
    EXPECT_EQ(DirectoryInfo(PathOf(L"backup")).GetFiles().GetLength(), 0);
    EXPECT_EQ(DirectoryInfo(PathOf(L"backup")).GetDirectories().GetLength(), 0);
}

TEST_F(FolderListingTest, GetEntriesGivesFilesAndSubfoldersFromOneListingLikeTheSeparateCalls)
{
    DirectoryInfo root(String(folder.Path()));
    Array<FileInfo> files;
    Array<DirectoryInfo> folders;
    root.GetEntries(files, folders);
    EXPECT_EQ(SortedNames(files), SortedNames(root.GetFiles()));
    EXPECT_EQ(SortedNames(folders), (std::vector<std::wstring>{L"backup", L"하위폴더"}));
    int64_t total = 0;
    for (const FileInfo& file : files) total += file.GetLength();
    EXPECT_EQ(total, 60);
    for (const DirectoryInfo& sub : folders) EXPECT_TRUE(sub.Exists());

    root.GetEntries(files, folders, L"*.vsb");
    EXPECT_EQ(SortedNames(files), (std::vector<std::wstring>{L"20240101120000.vsb", L"20240102120000.vsb"}));
    EXPECT_EQ(folders.GetLength(), 0);
    ExpectThrows<System::ArgumentException>([&] { root.GetEntries(files, folders, L"하위폴더\\*"); });
}

TEST_F(FolderListingTest, GetEntriesOfAMissingFolderRaisesAndLeavesTheArraysAsTheyWere)
{
    DirectoryInfo root(String(folder.Path()));
    Array<FileInfo> files;
    Array<DirectoryInfo> folders;
    root.GetEntries(files, folders);
    DirectoryInfo missing(PathOf(L"없는폴더"));
    EXPECT_EQ(ExpectWin32Error(missing.GetFullName(), [&] { missing.GetEntries(files, folders); }),
              static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(files.GetLength(), 4);
    EXPECT_EQ(folders.GetLength(), 2);
}

TEST_F(FolderListingTest, PatternsSelectByName)
{
    DirectoryInfo root(String(folder.Path()));
    EXPECT_EQ(SortedNames(root.GetFiles(L"*.vsb")), (std::vector<std::wstring>{L"20240101120000.vsb", L"20240102120000.vsb"}));
    EXPECT_EQ(SortedNames(root.GetFiles(L"가*")), (std::vector<std::wstring>{L"가.txt"}));
    EXPECT_EQ(root.GetFiles(L"*.없음").GetLength(), 0);
    EXPECT_EQ(SortedNames(root.GetDirectories(L"하위*")), (std::vector<std::wstring>{L"하위폴더"}));
    ExpectThrows<System::ArgumentException>([&] { root.GetFiles(L"하위폴더\\*"); });
    ExpectThrows<System::ArgumentException>([&] { root.GetFiles(L""); });
}

TEST_F(FolderListingTest, ListedItemsCarryTheListingDataWithoutAskingAgain)
{
    Array<FileInfo> files = DirectoryInfo(String(folder.Path())).GetFiles(L"가.txt");
    ASSERT_EQ(files.GetLength(), 1);
    FileInfo listed = files[0];
    folder.WriteFile(L"가.txt", std::string(99, 'a'));
    EXPECT_EQ(listed.GetLength(), 10);
    listed.Refresh();
    EXPECT_EQ(listed.GetLength(), 99);
}

TEST_F(FolderListingTest, ListingAMissingFolderOrAFileRaisesWithThePath)
{
    DirectoryInfo missing(PathOf(L"없는폴더"));
    EXPECT_FALSE(missing.Exists());
    EXPECT_EQ(ExpectWin32Error(missing.GetFullName(), [&] { missing.GetFiles(); }), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(ExpectWin32Error(missing.GetFullName(), [&] { missing.GetDirectories(); }), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
    DirectoryInfo aFile(PathOf(L"가.txt"));
    EXPECT_NE(ExpectWin32Error(aFile.GetFullName(), [&] { aFile.GetFiles(); }), 0u);
}

TEST_F(FileSystemTest, CreateMakesMissingParentsAndDeleteNeedsAnEmptyFolder)
{
    DirectoryInfo deep(PathOf(L"벨라\\툴박스\\backup"));
    EXPECT_FALSE(deep.Exists());
    deep.Create();
    EXPECT_TRUE(deep.Exists());
    deep.Create();

    folder.WriteFile(L"벨라\\파일", "x");
    DirectoryInfo blocked(PathOf(L"벨라\\파일\\아래"));
    ExpectWin32Error(blocked.GetFullName(), [&] { blocked.Create(); });

    DirectoryInfo parent(PathOf(L"벨라\\툴박스"));
    EXPECT_EQ(ExpectWin32Error(parent.GetFullName(), [&] { parent.Delete(); }), static_cast<uint32_t>(ERROR_DIR_NOT_EMPTY));
    EXPECT_TRUE(parent.Exists());
    deep.Delete();
    EXPECT_FALSE(deep.Exists());
    parent.Delete();
    EXPECT_FALSE(parent.Exists());
    EXPECT_NE(ExpectWin32Error(parent.GetFullName(), [&] { parent.Delete(); }), 0u);
}

TEST_F(FileSystemTest, AFolderLinkIsListedAsAReparsePointAndDeletingItNeverTouchesTheTarget)
{
    std::wstring target = folder / L"대상";
    CreateDirectoryW(target.c_str(), nullptr);
    std::wstring walk = folder / L"걷기";
    CreateDirectoryW(walk.c_str(), nullptr);
    std::wstring link = walk + L"\\링크";
    if (!MakeFolderLink(target, link)) GTEST_SKIP() << "no folder link can be made here";

    DirectoryInfo root((String(walk)));
    Array<DirectoryInfo> folders = root.GetDirectories();
    ASSERT_EQ(folders.GetLength(), 1);
    EXPECT_EQ(folders[0].GetName(), String(L"링크"));
    EXPECT_TRUE(folders[0].IsReparsePoint());
    EXPECT_EQ(folders[0].GetAttributes() & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
              static_cast<uint32_t>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    EXPECT_EQ(root.GetFiles().GetLength(), 0);
    Array<FileInfo> files;
    Array<DirectoryInfo> entries;
    root.GetEntries(files, entries);
    EXPECT_EQ(files.GetLength(), 0);
    ASSERT_EQ(entries.GetLength(), 1);
    EXPECT_TRUE(entries[0].IsReparsePoint());
    DirectoryInfo direct((String(link)));
    EXPECT_TRUE(direct.IsReparsePoint());
    EXPECT_TRUE(direct.Exists());

    // The target is empty: a delete that followed the link would remove it.
    DirectoryInfo linked = folders[0];
    if (TestSupport::IsWine()) {
        // Wine resolves the link even when asked to open the link itself, so only the target
        // could be removed: the delete is refused.
        EXPECT_EQ(ExpectWin32Error(linked.GetFullName(), [&] { linked.Delete(); }), static_cast<uint32_t>(ERROR_NOT_SUPPORTED));
        EXPECT_NE(GetFileAttributesW(link.c_str()), INVALID_FILE_ATTRIBUTES);
    } else {
        linked.Delete();
        EXPECT_FALSE(linked.Exists());
        EXPECT_EQ(GetFileAttributesW(link.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_TRUE(DirectoryInfo(String(target)).Exists());
}

TEST(DriveInfoTest, DriveCIsAReadyFixedDriveWithSizes)
{
    Array<DriveInfo> drives = DriveInfo::GetDrives();
    auto c = std::find_if(drives.begin(), drives.end(), [](const DriveInfo& drive) { return drive.GetName() == String(L"C:\\"); });
    ASSERT_NE(c, drives.end());
    EXPECT_TRUE(c->IsReady());
    EXPECT_EQ(c->GetDriveType(), DRIVE_FIXED);
    EXPECT_GT(c->GetTotalSize(), 0);
    EXPECT_GT(c->GetAvailableFreeSpace(), 0);
    EXPECT_LE(c->GetAvailableFreeSpace(), c->GetTotalFreeSpace());
    EXPECT_LE(c->GetTotalFreeSpace(), c->GetTotalSize());
    EXPECT_FALSE(c->GetDriveFormat().IsEmpty());
    c->GetVolumeLabel();
    c->GetVolumeSerialNumber();
}

TEST(DriveInfoTest, AMissingDriveIsNotReadyAndItsVolumeQueriesRaise)
{
    DWORD present = GetLogicalDrives();
    int letter = 25;
    while (letter >= 0 && (present & (1u << letter))) --letter;
    ASSERT_GE(letter, 0);
    DriveInfo drive(String::Format(L"%c:", L'a' + letter));
    EXPECT_EQ(drive.GetName(), String::Format(L"%c:\\", L'A' + letter));
    EXPECT_FALSE(drive.IsReady());
    EXPECT_EQ(drive.GetDriveType(), DRIVE_NO_ROOT_DIR);
    ExpectWin32Error(drive.GetName(), [&] { drive.GetTotalSize(); });
    ExpectWin32Error(drive.GetName(), [&] { drive.GetAvailableFreeSpace(); });
    ExpectWin32Error(drive.GetName(), [&] { drive.GetVolumeLabel(); });
    ExpectWin32Error(drive.GetName(), [&] { drive.GetDriveFormat(); });
}

TEST(DriveInfoTest, NamesOtherThanADriveLetterAreRejected)
{
    EXPECT_EQ(DriveInfo(L"c").GetName(), String(L"C:\\"));
    EXPECT_EQ(DriveInfo(L"C:\\").GetName(), String(L"C:\\"));
    for (const wchar_t* name : {L"", L"CC", L"1:", L"C:/", L"C:\\Windows", L"\\\\server\\share"})
        ExpectThrows<System::ArgumentException>([&] { DriveInfo drive(name); });
}

}  // namespace
