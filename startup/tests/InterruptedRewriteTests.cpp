#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/DirectoryInfo.h"
#include "core/Environment.h"
#include "core/Win32Exception.h"
#include "startup/BackupManager.h"
#include "startup/ProgramInfoLoader.h"
#include "startup/SpannerSettings.h"
#include "startup/tests/StartupTestSupport.h"
#include "testing/InterruptedRewrite.h"
#include "testing/WriteFault.h"

using StartupTestSupport::OwnedEntries;
using System::String;

namespace {

class InterruptedRewriteTests : public ::testing::Test {
protected:
    InterruptedRewriteTests() : store_(logon_.DataFolder().c_str(), logon_.Group()), backups_(store_)
    {
        String system = System::Environment::GetFolderPath(System::Environment::System);
        logon_.SetRun(false, L"메모장", L"\"" + system + L"\\notepad.exe\" /a");
        logon_.SetRun(false, L"Calc", system + L"\\calc.exe");
        logon_.SetRun(true, L"Write", system + L"\\write.exe");
    }

    std::string Read(const String& path)
    {
        HANDLE file = CreateFileW(path.GetBuffer(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "<missing>";
        std::string bytes(static_cast<size_t>(GetFileSize(file, nullptr)), '\0');
        DWORD read = 0;
        ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        return bytes;
    }

    // Files of the data folder and its backup folder, other than the store and *.vsb.
    std::vector<std::wstring> Strays()
    {
        std::vector<std::wstring> strays;
        for (const String& folder : {store_.GetDataFolder(), store_.GetBackupFolder()}) {
            if (!System::IO::DirectoryInfo(folder).Exists()) continue;
            for (const auto& file : System::IO::DirectoryInfo(folder).GetFiles(L"*")) {
                std::wstring name = file.GetName().GetStdString();
                if (name != L"disabledentry.vsd" && !file.GetName().EndsWith(L".vsb")) strays.push_back(name);
            }
        }
        return strays;
    }

    StartupTestSupport::ProgramInfoScope info_;
    StartupTestSupport::IsolatedLogon logon_;
    StartupStore store_;
    BackupManager backups_;
};

}  // namespace

TEST_F(InterruptedRewriteTests, StoreFailingAtEveryByteKeepsTheOldStoreWholeAndReadable)
{
    OwnedEntries entries(store_.GetStartupEntries(L"Logon"));
    ASSERT_EQ(entries.List().GetCount(), 3);
    entries.List()[0]->SetEnabled(0);
    System::List<StartupEntry*> oldSet(4);
    oldSet.Add(entries.List()[0]);
    store_.SaveDisabledEntries(oldSet);
    std::string before = Read(store_.GetStorePath());
    for (StartupEntry* entry : entries.List()) entry->SetEnabled(0);

    int interrupted = 0;
    for (int64_t k = 0;; ++k) {
        bool failed = false;
        try {
            TestSupport::WriteFault fault(k);
            store_.SaveDisabledEntries(entries.List());
        } catch (System::Exception* caught) {
            std::wstring text = caught->ToString().GetBuffer();
            delete caught;
            ASSERT_NE(text.find(L"Disk full"), std::wstring::npos) << std::string(text.begin(), text.end());
            failed = true;
        }
        std::string after = Read(store_.GetStorePath());
        OwnedEntries reread{System::Array<StartupEntry*>()};
        ASSERT_NO_THROW({
            System::List<StartupEntry*> disabled(4);
            store_.AddDisabledEntries(L"Logon", disabled);
            for (StartupEntry* entry : disabled) reread.List().Add(entry);
        }) << "at byte " << k;
        ASSERT_TRUE(Strays().empty()) << "at byte " << k;
        if (!failed) {
            EXPECT_EQ(reread.List().GetCount(), 3);
            break;
        }
        ++interrupted;
        ASSERT_EQ(after, before) << "at byte " << k;
        ASSERT_EQ(reread.List().GetCount(), 1) << "at byte " << k;
    }
    EXPECT_GT(interrupted, 100);
    std::cout << "disabled-entry store: " << interrupted << " interrupted rewrites, previous store intact each time"
              << std::endl;
}

TEST_F(InterruptedRewriteTests, BackupFailingAtEveryByteLeavesNoFileAndEveryBackupLoads)
{
    OwnedEntries entries(store_.GetStartupEntries(L"Logon"));
    backups_.CreateBackup(L"처음", entries.List().ToArray());
    int interrupted = 0;
    for (int64_t k = 0;; ++k) {
        bool failed = false;
        try {
            TestSupport::WriteFault fault(k);
            backups_.CreateBackup(L"자동 백업: 메모장 추가", entries.List().ToArray());
        } catch (System::Exception* caught) {
            std::wstring text = caught->ToString().GetBuffer();
            delete caught;
            ASSERT_NE(text.find(L"Disk full"), std::wstring::npos) << std::string(text.begin(), text.end());
            failed = true;
        }
        System::Array<BackupEntry*> loaded;
        ASSERT_NO_THROW(loaded = backups_.LoadBackups()) << "at byte " << k;
        int count = loaded.GetLength();
        int newestEntries = count ? loaded[count - 1]->GetEntries().GetCount() : 0;
        DestroyBackups(loaded);
        ASSERT_TRUE(Strays().empty()) << "at byte " << k;
        ASSERT_EQ(newestEntries, 3) << "at byte " << k;
        if (!failed) {
            EXPECT_EQ(count, 2);
            break;
        }
        ++interrupted;
        ASSERT_EQ(count, 1) << "at byte " << k;
    }
    EXPECT_GT(interrupted, 100);
    std::cout << "backup file: " << interrupted << " interrupted writes, no partial backup left" << std::endl;
}

TEST_F(InterruptedRewriteTests, WindowSettingsFailingAtEveryByteKeepTheOldValue)
{
    String path = SpannerSettings::PathIn(store_.GetDataFolder());
    SpannerSettings::Write(path, 7);
    TestSupport::InterruptedRewrites report = TestSupport::InterruptEveryByte(
        path.GetStdString(),
        [&] {
            SpannerSettings::Write(path, 8);
            return true;
        },
        [&] { return SpannerSettings::Read(path) == 7 || SpannerSettings::Read(path) == 8; });
    EXPECT_EQ(report.problem, "");
    EXPECT_EQ(report.interrupted, 4);
    EXPECT_EQ(SpannerSettings::Read(path), 8);
    std::cout << "velaspanner.cfg: " << report.interrupted << " interrupted rewrites, previous value intact each time"
              << std::endl;
}

TEST_F(InterruptedRewriteTests, ProgramInformationCacheFailingAtEveryByteKeepsThePreviousCache)
{
    String path = store_.GetDataFolder() + L"\\vasui.xml";
    std::string older = "<items><item><name>Calc</name><rating>1</rating></item></items>";
    std::string newer = "<items><item><name>Calc</name><rating>2</rating><description>\xEA\xB3\x84\xEC\x82\xB0\xEA\xB8\xB0"
                        "</description></item><item><name>Write</name><rating>-1</rating></item></items>";
    auto bytes = [](const std::string& text) { return System::Array<uint8_t>(std::vector<uint8_t>(text.begin(), text.end())); };
    ProgramInfoLoader::WriteCache(path, bytes(older));
    TestSupport::InterruptedRewrites report = TestSupport::InterruptEveryByte(
        path.GetStdString(),
        [&] {
            ProgramInfoLoader::WriteCache(path, bytes(newer));
            return true;
        },
        [&] { return ProgramInfoLoader::ReadCache(path).GetLength() > 0; });
    EXPECT_EQ(report.problem, "");
    EXPECT_EQ(report.interrupted, static_cast<int>(newer.size()) + 4);
    EXPECT_EQ(ProgramInfoLoader::ReadCache(path).GetLength(), static_cast<int>(newer.size()));
    std::cout << "program information cache: " << report.interrupted
              << " interrupted rewrites, previous cache intact each time" << std::endl;
}
