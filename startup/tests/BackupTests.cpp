#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/DirectoryInfo.h"
#include "core/Environment.h"
#include "startup/BackupManager.h"
#include "startup/tests/StartupTestSupport.h"
#include "testing/LibraryAssertions.h"

using StartupTestSupport::OwnedEntries;
using System::String;

namespace {

String Program(const wchar_t* name) { return System::Environment::GetFolderPath(System::Environment::System) + L"\\" + name; }

class BackupTests : public ::testing::Test {
protected:
    BackupTests() : store_(logon_.DataFolder().c_str(), logon_.Group()), backups_(store_) {}

    std::vector<std::wstring> BackupNames()
    {
        std::vector<std::wstring> names;
        System::IO::DirectoryInfo folder(store_.GetBackupFolder());
        if (!folder.Exists()) return names;
        for (const auto& file : folder.GetFiles(L"*.vsb")) names.push_back(file.GetName().GetStdString());
        std::sort(names.begin(), names.end());
        return names;
    }
    void PlaceEmptyBackups(int count)
    {
        CreateDirectoryW(store_.GetBackupFolder().GetBuffer(), nullptr);
        for (int i = 1; i <= count; ++i) {
            String path = store_.GetBackupFolder() + String::Format(L"\\200001010000%02d.vsb", i);
            CloseHandle(CreateFileW(path.GetBuffer(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        }
    }
    String NewestDescription()
    {
        System::Array<BackupEntry*> loaded = backups_.LoadBackups();
        String description = loaded.GetLength() ? loaded[loaded.GetLength() - 1]->GetDescription() : String();
        DestroyBackups(loaded);
        return description;
    }

    StartupTestSupport::ProgramInfoScope info_;
    StartupTestSupport::IsolatedLogon logon_;
    StartupStore store_;
    BackupManager backups_;
};

TEST_F(BackupTests, WithTenBackupsNoneIsDeleted)
{
    PlaceEmptyBackups(10);
    backups_.AutoBackup(L"수동", true);
    std::vector<std::wstring> names = BackupNames();
    EXPECT_EQ(names.size(), 11u);
    EXPECT_EQ(names.front(), L"20000101000001.vsb");
}

TEST_F(BackupTests, WithElevenBackupsTheOldestGoes)
{
    PlaceEmptyBackups(11);
    backups_.AutoBackup(L"수동", true);
    std::vector<std::wstring> names = BackupNames();
    EXPECT_EQ(names.size(), 11u);
    EXPECT_EQ(names.front(), L"20000101000002.vsb");
}

TEST_F(BackupTests, StartsWithoutChangesWriteOneBackupAndChangesAreListed)
{
    logon_.SetRun(false, L"Old", Program(L"notepad.exe"));
    logon_.SetRun(false, L"Same", Program(L"cmd.exe"));
    backups_.AutoBackup(L"자동 백업 파일", false);
    backups_.AutoBackup(L"자동 백업 파일", false);
    EXPECT_EQ(BackupNames().size(), 1u);
    EXPECT_EQ(NewestDescription(), String(L"자동 백업 파일"));

    logon_.DeleteRun(false, L"Old");
    logon_.SetRun(true, L"New", Program(L"regedit.exe"));
    backups_.AutoBackup(L"자동 백업 파일", false);
    EXPECT_EQ(BackupNames().size(), 2u);
    EXPECT_EQ(NewestDescription(), String(L"자동 백업 파일: New 추가, Old 삭제"));
}

TEST_F(BackupTests, BackupsWrittenInOneSecondNeverReplaceEachOther)
{
    System::Array<StartupEntry*> none;
    String first = backups_.CreateBackup(L"하나", none);
    String second = backups_.CreateBackup(L"둘", none);
    EXPECT_NE(first, second);
    EXPECT_EQ(BackupNames().size(), 2u);
    EXPECT_EQ(NewestDescription(), String(L"둘"));
}

TEST_F(BackupTests, LoadsEmptyAndDamagedFiles)
{
    PlaceEmptyBackups(1);
    String path = store_.GetBackupFolder() + L"\\20000101000001.vsb";
    std::unique_ptr<BackupEntry> empty(backups_.LoadBackupFile(L"20000101000001.vsb", path));
    EXPECT_EQ(empty->GetDescription(), String());
    EXPECT_EQ(empty->GetEntries().GetCount(), 0);
    EXPECT_EQ(empty->GetTime().GetTicks(), 0);

    logon_.SetRun(false, L"Tool", Program(L"notepad.exe"));
    String written = backups_.CreateBackup(L"설명", OwnedEntries(store_.GetStartupEntries(L"Logon")).List().ToArray());
    std::unique_ptr<BackupEntry> loaded(backups_.LoadBackupFile(L"x.vsb", written));
    EXPECT_EQ(loaded->GetDescription(), String(L"설명"));
    ASSERT_EQ(loaded->GetEntries().GetCount(), 1);
    EXPECT_EQ(loaded->GetEntries()[0]->GetName(), String(L"Tool"));
    System::DateTime now = System::DateTime::GetNow();
    EXPECT_LE(now.GetTicks() - loaded->GetTime().GetTicks(), 60 * System::DateTime::TicksPerSecond);
    EXPECT_EQ(BackupEntry(L"a", L"b").GetTimeText(), String(L"   1-01-01 00시 00분 00초"));

    HANDLE file = CreateFileW(path.GetBuffer(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char damaged[] = "\0\0\0\0\0\0\0\0\0\xFF\xFF\xFF\xFF";
    DWORD count = 0;
    WriteFile(file, damaged, 13, &count, nullptr);
    CloseHandle(file);
    TestSupport::ExpectThrows<System::FormatException>([&] { delete backups_.LoadBackupFile(L"bad.vsb", path); });
}

TEST_F(BackupTests, RestoreReplacesTheCurrentSetAndTheStore)
{
    logon_.SetRun(false, L"Active", Program(L"notepad.exe") + L" /active");
    logon_.SetRun(false, L"Paused", Program(L"cmd.exe") + L" /paused");
    {
        OwnedEntries shown(store_.GetStartupEntries(L"Logon"));
        store_.DisableEntry(shown.Find(L"Paused"), shown.List(), L"Logon", false);
    }
    backups_.AutoBackup(L"복원 지점", true);

    // Later: Active is deleted, Paused enabled again, Later added.
    {
        OwnedEntries shown(store_.GetStartupEntries(L"Logon"));
        store_.EnableEntry(shown.Find(L"Paused"), shown.List(), L"Logon", false);
    }
    logon_.DeleteRun(false, L"Active");
    logon_.SetRun(true, L"Later", Program(L"regedit.exe"));

    EXPECT_FALSE(backups_.RestoreBackup(nullptr));
    EXPECT_NE(logon_.GetRun(true, L"Later"), L"<missing>");

    System::Array<BackupEntry*> loaded = backups_.LoadBackups();
    ASSERT_EQ(loaded.GetLength(), 1);
    EXPECT_TRUE(backups_.RestoreBackup(loaded[0]));
    DestroyBackups(loaded);

    EXPECT_EQ(logon_.GetRun(true, L"Later"), L"<missing>");
    EXPECT_EQ(logon_.GetRun(false, L"Paused"), L"<missing>");
    EXPECT_EQ(logon_.GetRun(false, L"Active"), std::wstring((Program(L"notepad.exe") + L" /active").GetBuffer()));
    OwnedEntries after(store_.GetStartupEntries(L"Logon"));
    EXPECT_EQ(after.Names(), (std::vector<std::wstring>{L"Active", L"Paused"}));
    EXPECT_EQ(after.Find(L"Paused")->GetEnabled(), 0);
}

}  // namespace
