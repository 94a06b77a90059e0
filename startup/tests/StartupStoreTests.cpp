#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "core/BinaryWriter.h"
#include "core/Environment.h"
#include "core/ExceptionGuard.h"
#include "core/FileStream.h"
#include "startup/StartupStore.h"
#include "startup/tests/StartupTestSupport.h"
#include "testing/LibraryAssertions.h"
#include "testing/TempFolder.h"

using StartupTestSupport::OwnedEntries;
using System::String;
using Vela::Win32::Autoruns::RegistryAutorunEntry;
using Vela::Win32::Autoruns::ShortcutAutorunEntry;
using Vela::Win32::Autoruns::ShortcutData;

namespace {

String Notepad() { return System::Environment::GetFolderPath(System::Environment::System) + L"\\notepad.exe"; }

class StartupStoreTests : public ::testing::Test {
protected:
    StartupStoreTests() : store_(logon_.DataFolder().c_str(), logon_.Group()) {}

    void WriteStoreBytes(const std::string& bytes)
    {
        HANDLE file = CreateFileW(store_.GetStorePath().GetBuffer(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::string ReadStoreBytes()
    {
        TestSupport::TempFolder unused;
        HANDLE file = CreateFileW(store_.GetStorePath().GetBuffer(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE) return std::string();
        std::string bytes(GetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        return bytes;
    }

    StartupTestSupport::ProgramInfoScope info_;
    StartupTestSupport::IsolatedLogon logon_;
    StartupStore store_;
};

TEST_F(StartupStoreTests, ListsEntriesByCategoryAndNeverTheShellOrUserinit)
{
    logon_.SetRun(true, L"MachineTool", Notepad() + L" /m");
    logon_.SetRun(false, L"UserTool", Notepad() + L" /u");
    logon_.SetValue(L"Winlogon", L"Shell", L"explorer.exe");
    logon_.SetValue(L"Winlogon", L"Userinit", L"C:\\windows\\system32\\userinit.exe,");
    TestSupport::TempFolder unused;
    std::wstring script = logon_.StartupFolder(false) + L"\\tool.cmd";
    CloseHandle(CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    EXPECT_EQ(OwnedEntries(store_.GetStartupEntries(L"Logon")).Names(),
              (std::vector<std::wstring>{L"MachineTool", L"UserTool", L"tool.cmd"}));
    EXPECT_EQ(OwnedEntries(store_.GetStartupEntries(L"Logon.AllUser")).Names(), std::vector<std::wstring>{L"MachineTool"});
    EXPECT_EQ(OwnedEntries(store_.GetStartupEntries(L"Logon.AllUser.Registry")).Names(),
              std::vector<std::wstring>{L"MachineTool"});
    EXPECT_EQ(OwnedEntries(store_.GetStartupEntries(L"Logon.CurrentUser")).Names(),
              (std::vector<std::wstring>{L"UserTool", L"tool.cmd"}));
    EXPECT_EQ(OwnedEntries(store_.GetStartupEntries(L"Logon.CurrentUser.Startup")).Names(),
              std::vector<std::wstring>{L"tool.cmd"});
    EXPECT_TRUE(OwnedEntries(store_.GetStartupEntries(L"Logon.AllUser.Startup")).Names().empty());
}

TEST_F(StartupStoreTests, DisabledEntriesFollowTheRegisteredOnesAndLeaveWhenRegisteredAgain)
{
    logon_.SetRun(false, L"Stays", Notepad() + L" /stay");
    logon_.SetRun(false, L"Paused", L"\"" + Notepad() + L"\" /paused");
    {
        OwnedEntries shown(store_.GetStartupEntries(L"Logon"));
        store_.DisableEntry(shown.Find(L"Paused"), shown.List(), L"Logon", false);
    }
    EXPECT_EQ(logon_.GetRun(false, L"Paused"), L"<missing>");
    {
        // Sharing its program with the active "Stays" does not hide it.
        OwnedEntries listed(store_.GetStartupEntries(L"Logon"));
        EXPECT_EQ(listed.Names(), (std::vector<std::wstring>{L"Stays", L"Paused"}));
        ASSERT_NE(listed.Find(L"Paused"), nullptr);
        EXPECT_EQ(listed.Find(L"Paused")->GetEnabled(), 0);
        EXPECT_TRUE(OwnedEntries(store_.GetStartupEntries(L"Logon.AllUser")).Names().empty());
    }

    // Registered again outside the suite, in another location.
    logon_.SetRun(true, L"Paused", Notepad());
    std::string storeBefore = ReadStoreBytes();
    EXPECT_EQ(OwnedEntries(store_.GetStartupEntries(L"Logon")).Names(),
              (std::vector<std::wstring>{L"Paused", L"Stays"}));
    EXPECT_EQ(OwnedEntries(store_.GetStartupEntries(L"Logon")).List()[0]->GetEnabled(), 1);
    // Only the list changes; the store keeps the record until it is next rewritten.
    EXPECT_EQ(ReadStoreBytes(), storeBefore);
}

TEST_F(StartupStoreTests, DisableThenEnableRestoresTheExactRegistration)
{
    std::wstring data = L"%SystemRoot%\\system32\\notepad.exe /a \"b c\"";
    logon_.SetRun(true, L"Expanded", data, REG_EXPAND_SZ);
    {
        OwnedEntries shown(store_.GetStartupEntries(L"Logon.AllUser"));
        ASSERT_EQ(shown.List().GetCount(), 1);
        store_.DisableEntry(shown.List()[0], shown.List(), L"Logon.AllUser", false);
        EXPECT_EQ(logon_.GetRun(true, L"Expanded"), L"<missing>");
    }
    OwnedEntries shown(store_.GetStartupEntries(L"Logon.AllUser"));
    ASSERT_EQ(shown.List().GetCount(), 1);
    store_.EnableEntry(shown.List()[0], shown.List(), L"Logon.AllUser", false);
    EXPECT_EQ(logon_.GetRun(true, L"Expanded"), data);
    OwnedEntries after(store_.GetStartupEntries(L"Logon"));
    ASSERT_EQ(after.List().GetCount(), 1);
    EXPECT_EQ(after.List()[0]->GetEnabled(), 1);
}

TEST_F(StartupStoreTests, SavingFromTheListKeepsDisabledEntriesItDoesNotShow)
{
    ProgramInfoTable::Add(new StartupEntryInfo(L"Essential", 2, L"필수 프로그램"));
    logon_.SetRun(true, L"OtherCategory", Notepad() + L" 1");
    logon_.SetRun(false, L"Essential", Notepad() + L" 2");
    logon_.SetRun(false, L"Ordinary", Notepad() + L" 3");
    {
        OwnedEntries all(store_.GetStartupEntries(L"Logon"));
        for (StartupEntry* entry : all.List()) store_.DisableEntry(entry, all.List(), L"Logon", false);
    }
    // The window shows the user's registry entries with essential programs hidden.
    OwnedEntries all(store_.GetStartupEntries(L"Logon.CurrentUser"));
    System::List<StartupEntry*> shown;
    for (StartupEntry* entry : all.List())
        if (!entry->IsEssential()) shown.Add(entry);
    ASSERT_EQ(shown.GetCount(), 1);
    store_.EnableEntry(shown[0], shown, L"Logon.CurrentUser", true);

    OwnedEntries after(store_.GetStartupEntries(L"Logon"));
    EXPECT_EQ(after.Names(), (std::vector<std::wstring>{L"Ordinary", L"OtherCategory", L"Essential"}));
    EXPECT_EQ(after.Find(L"OtherCategory")->GetEnabled(), 0);
    EXPECT_EQ(after.Find(L"Essential")->GetEnabled(), 0);
    EXPECT_EQ(after.Find(L"Essential")->GetDescription(), String(L"필수 프로그램"));
}

TEST_F(StartupStoreTests, DeletesSelectedEntriesFromTheBottomUp)
{
    logon_.SetRun(false, L"A", Notepad() + L" a");
    logon_.SetRun(false, L"B", Notepad() + L" b");
    logon_.SetRun(false, L"C", Notepad() + L" c");
    logon_.SetRun(false, L"D", Notepad() + L" d");
    {
        OwnedEntries all(store_.GetStartupEntries(L"Logon"));
        store_.DisableEntry(all.Find(L"B"), all.List(), L"Logon", false);
        store_.DisableEntry(all.Find(L"D"), all.List(), L"Logon", false);
    }
    OwnedEntries shown(store_.GetStartupEntries(L"Logon"));
    ASSERT_EQ(shown.Names(), (std::vector<std::wstring>{L"A", L"C", L"B", L"D"}));
    std::vector<int> removed;
    store_.DeleteEntries(shown.List(), {0, 2, 3}, L"Logon", false, [&](int index) { removed.push_back(index); });

    EXPECT_EQ(removed, (std::vector<int>{3, 2, 0}));
    EXPECT_EQ(shown.Names(), std::vector<std::wstring>{L"C"});
    EXPECT_EQ(logon_.GetRun(false, L"A"), L"<missing>");
    EXPECT_NE(logon_.GetRun(false, L"C"), L"<missing>");
    EXPECT_EQ(OwnedEntries(store_.GetStartupEntries(L"Logon")).Names(), std::vector<std::wstring>{L"C"});
}

TEST_F(StartupStoreTests, AnInterruptedWriteLeavesTheStoreIntact)
{
    logon_.SetRun(false, L"Kept", Notepad() + L" kept");
    {
        OwnedEntries all(store_.GetStartupEntries(L"Logon"));
        store_.DisableEntry(all.List()[0], all.List(), L"Logon", false);
    }
    std::string before = ReadStoreBytes();
    ASSERT_FALSE(before.empty());

    StartupEntry failing(L"Logon.CurrentUser.Registry.Run", L"Failing", L"", L"", -3, L"", L"", 0,
                         new StartupTestSupport::FailingAutorunEntry());
    OwnedEntries stored(store_.GetStartupEntries(L"Logon"));
    System::List<StartupEntry*> entries;
    entries.Add(stored.List()[0]);
    entries.Add(&failing);
    TestSupport::ExpectThrows<System::IO::IOException>([&] { store_.SaveDisabledEntries(entries); });

    EXPECT_EQ(ReadStoreBytes(), before);
    EXPECT_EQ(GetFileAttributesW((store_.GetStorePath() + L".new").GetBuffer()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(OwnedEntries(store_.GetStartupEntries(L"Logon")).Names(), std::vector<std::wstring>{L"Kept"});
}

TEST_F(StartupStoreTests, AFailedStoreWriteKeepsTheEntryRegistered)
{
    logon_.SetRun(false, L"Fragile", Notepad() + L" f");
    OwnedEntries shown(store_.GetStartupEntries(L"Logon"));
    StartupEntry failing(L"Logon.CurrentUser.Registry.Run", L"Failing", L"", L"", -3, L"", L"", 0,
                         new StartupTestSupport::FailingAutorunEntry());
    shown.List().Add(&failing);
    TestSupport::ExpectThrows<System::IO::IOException>(
        [&] { store_.DisableEntry(shown.List()[0], shown.List(), L"Logon", false); });
    shown.List().RemoveAt(1);

    EXPECT_NE(logon_.GetRun(false, L"Fragile"), L"<missing>");
    EXPECT_EQ(shown.List()[0]->GetEnabled(), 1);
}

TEST_F(StartupStoreTests, DamagedStoresStopTheReadKeepingEarlierRecords)
{
    logon_.SetRun(false, L"Only", Notepad() + L" only");
    {
        OwnedEntries all(store_.GetStartupEntries(L"Logon"));
        store_.DisableEntry(all.List()[0], all.List(), L"Logon", false);
    }
    std::string good = ReadStoreBytes();

    // A count far beyond the records present.
    std::string inflated = good;
    inflated[0] = '\x00';
    inflated[1] = '\x00';
    inflated[2] = '\x00';
    inflated[3] = '\x70';
    WriteStoreBytes(inflated);
    System::List<StartupEntry*> list;
    TestSupport::ExpectThrows<System::IO::EndOfStreamException>([&] { store_.AddDisabledEntries(L"Logon", list); });
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list[0]->GetName(), String(L"Only"));
    DestroyEntries(list);

    WriteStoreBytes(std::string("\xFF\xFF\xFF\xFF", 4) + good.substr(4));
    System::List<StartupEntry*> none;
    TestSupport::ExpectThrows<System::FormatException>([&] { store_.AddDisabledEntries(L"Logon", none); });
    EXPECT_EQ(none.GetCount(), 0);

    WriteStoreBytes(std::string());
    EXPECT_EQ(OwnedEntries(store_.GetStartupEntries(L"Logon")).Names().size(), 0u);
}

// The real logon locations of the test prefix, with names no other test uses.
class RealLogonTests : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (auto& entry : made_) System::TraceExceptions([&] { entry->Unregister(); });
    }
    String Unique(const wchar_t* stem) { return String::Format(L"VelaStartupTest_%s_%lu", stem, GetCurrentProcessId()); }

    TestSupport::TempFolder data_;
    StartupStore store_{data_.Path().c_str()};
    std::vector<std::unique_ptr<Vela::Win32::Autoruns::AutorunEntry>> made_;
};

TEST_F(RealLogonTests, DisableThenEnableRestoresValueAndShortcut)
{
    String name = Unique(L"Real");
    String data = L"\"" + Notepad() + L"\" /real";
    made_.emplace_back(new RegistryAutorunEntry(L"", HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                                0, name, REG_SZ, data));
    ShortcutData link;
    link.targetPath = Notepad();
    link.arguments = L"/p \"notes.txt\"";
    String startup = System::Environment::GetFolderPath(System::Environment::Startup);
    made_.emplace_back(new ShortcutAutorunEntry(L"", startup, name + L"Link.lnk", link));
    for (auto& entry : made_) entry->Register();

    {
        OwnedEntries shown(store_.GetStartupEntries(L"Logon"));
        for (StartupEntry* entry : shown.List()) {
            EXPECT_NE(entry->GetDomain(), String(L"Logon.AllUser.Registry.Shell"));
            EXPECT_NE(entry->GetDomain(), String(L"Logon.AllUser.Registry.UserInit"));
        }
        ASSERT_TRUE(shown.Find(name) && shown.Find(name + L"Link"));
        EXPECT_EQ(shown.Find(name)->GetDomain(), String(L"Logon.CurrentUser.Registry.Run"));
        EXPECT_EQ(shown.Find(name + L"Link")->GetDomain(), String(L"Logon.CurrentUser.Startup"));
        store_.DisableEntry(shown.Find(name), shown.List(), L"Logon", false);
        store_.DisableEntry(shown.Find(name + L"Link"), shown.List(), L"Logon", false);
    }
    {
        auto* registrations = Vela::Win32::Autoruns::Autorun::GetAutorun(L"Logon");
        for (auto* entry : registrations->GetEntries()) {
            EXPECT_FALSE(entry->GetName() == name || entry->GetName() == name + L"Link");
            delete entry;
        }
    }
    OwnedEntries shown(store_.GetStartupEntries(L"Logon.CurrentUser"));
    ASSERT_TRUE(shown.Find(name) && shown.Find(name + L"Link"));
    store_.EnableEntry(shown.Find(name), shown.List(), L"Logon.CurrentUser", false);
    store_.EnableEntry(shown.Find(name + L"Link"), shown.List(), L"Logon.CurrentUser", false);

    OwnedEntries after(store_.GetStartupEntries(L"Logon"));
    ASSERT_TRUE(after.Find(name) && after.Find(name + L"Link"));
    EXPECT_EQ(after.Find(name)->GetEnabled(), 1);
    auto* value = dynamic_cast<RegistryAutorunEntry*>(after.Find(name)->GetAutorunEntry());
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->GetData(), data);
    auto* shortcut = dynamic_cast<ShortcutAutorunEntry*>(after.Find(name + L"Link")->GetAutorunEntry());
    ASSERT_NE(shortcut, nullptr);
    EXPECT_TRUE(shortcut->GetShortcut().targetPath.Equals(link.targetPath, true));
    EXPECT_EQ(shortcut->GetShortcut().arguments, link.arguments);
}

}  // namespace
