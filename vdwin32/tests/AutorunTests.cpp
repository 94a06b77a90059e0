#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/BinaryWriter.h"
#include "core/Environment.h"
#include "core/ExceptionGuard.h"
#include "core/FileStream.h"
#include "testing/LibraryAssertions.h"
#include "testing/ScratchRegistryKey.h"
#include "testing/TempFolder.h"
#include "vdwin32/Autorun.h"

using System::String;
using namespace Vela::Win32::Autoruns;

namespace {

const wchar_t* RunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

using EntryList = std::vector<std::unique_ptr<AutorunEntry>>;

EntryList Take(System::Array<AutorunEntry*> entries)
{
    EntryList owned;
    for (AutorunEntry* entry : entries) owned.emplace_back(entry);
    return owned;
}

// Names unique to this process, so tests running beside ours never see or touch them.
String UniqueName(const wchar_t* stem) { return String::Format(L"VelaAutorunTest_%s_%lu", stem, GetCurrentProcessId()); }

String SystemProgram(const wchar_t* name)
{
    return System::Environment::GetFolderPath(System::Environment::System) + L"\\" + name;
}

const AutorunEntry* Find(const EntryList& entries, const String& name)
{
    for (const auto& entry : entries)
        if (entry->GetName() == name) return entry.get();
    return nullptr;
}

bool ReadValue(HKEY root, const String& subKey, const String& name, DWORD& kind, std::wstring& data)
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(root, subKey.GetBuffer(), name.GetBuffer(), RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &kind,
                     buffer, &size) != ERROR_SUCCESS)
        return false;
    data = buffer;
    return true;
}

// A file-backed stream holding what the writer put in, opened again for reading.
class RecordFile {
public:
    explicit RecordFile(const TestSupport::TempFolder& folder) : path_(folder / L"records.bin") {}
    std::unique_ptr<System::IO::FileStream> Create() const
    {
        return std::make_unique<System::IO::FileStream>(path_.c_str(), 1, 2);
    }
    std::unique_ptr<System::IO::FileStream> Open() const
    {
        return std::make_unique<System::IO::FileStream>(path_.c_str(), 3, 1);
    }

private:
    std::wstring path_;
};

class AutorunRecordTests : public ::testing::Test {
protected:
    TestSupport::TempFolder folder_;
    RecordFile file_{folder_};
};

TEST_F(AutorunRecordTests, RecordsOfEveryKindFollowOneAnotherInOneStream)
{
    ShortcutData link;
    link.targetPath = L"C:\\Program Files\\Tool\\tool.exe";
    link.arguments = L"/quiet /tray";
    link.workingDirectory = L"C:\\Program Files\\Tool";
    link.description = L"도구 시작";
    link.iconPath = L"C:\\Program Files\\Tool\\tool.ico";
    link.iconIndex = 3;
    link.showCommand = SW_SHOWMINNOACTIVE;
    RegistryAutorunEntry value(L"Logon.CurrentUser.Registry.Run", HKEY_CURRENT_USER, L"Software\\X", KEY_WOW64_32KEY,
                               L"값 이름", REG_EXPAND_SZ, L"%SystemRoot%\\x.exe -a");
    ShortcutAutorunEntry shortcut(L"Logon.AllUser.Startup", L"C:\\Startup", L"Tool.lnk", link);
    std::wstring scriptPath = folder_.WriteFile(L"start.cmd", std::string("echo \0hi", 8));
    FolderFileAutorunEntry script(L"Logon.CurrentUser.Startup", folder_.Path().c_str(), L"start.cmd");
    {
        auto stream = file_.Create();
        value.SerializeObject(stream.get());
        shortcut.SerializeObject(stream.get());
        script.SerializeObject(stream.get());
        stream->Close();
    }
    DeleteFileW(scriptPath.c_str());

    auto stream = file_.Open();
    std::unique_ptr<AutorunEntry> first(AutorunEntry::DeserializeObject(stream.get()));
    std::unique_ptr<AutorunEntry> second(AutorunEntry::DeserializeObject(stream.get()));
    std::unique_ptr<AutorunEntry> third(AutorunEntry::DeserializeObject(stream.get()));
    EXPECT_EQ(stream->GetPosition(), stream->GetLength());

    auto* readValue = dynamic_cast<RegistryAutorunEntry*>(first.get());
    ASSERT_NE(readValue, nullptr);
    EXPECT_EQ(readValue->GetDomain(), value.GetDomain());
    EXPECT_EQ(readValue->GetName(), String(L"값 이름"));
    EXPECT_EQ(readValue->GetRoot(), HKEY_CURRENT_USER);
    EXPECT_EQ(readValue->GetSubKey(), String(L"Software\\X"));
    EXPECT_EQ(readValue->GetView(), static_cast<REGSAM>(KEY_WOW64_32KEY));
    EXPECT_EQ(readValue->GetValueKind(), static_cast<uint32_t>(REG_EXPAND_SZ));
    EXPECT_EQ(readValue->GetData(), String(L"%SystemRoot%\\x.exe -a"));
    EXPECT_EQ(readValue->GetCommandLineW(), value.GetCommandLineW());
    EXPECT_EQ(readValue->GetImagePath(), value.GetImagePath());

    auto* readShortcut = dynamic_cast<ShortcutAutorunEntry*>(second.get());
    ASSERT_NE(readShortcut, nullptr);
    EXPECT_EQ(readShortcut->GetName(), String(L"Tool"));
    EXPECT_EQ(readShortcut->GetFolder(), String(L"C:\\Startup"));
    EXPECT_EQ(readShortcut->GetFileName(), String(L"Tool.lnk"));
    EXPECT_EQ(readShortcut->GetShortcut().targetPath, link.targetPath);
    EXPECT_EQ(readShortcut->GetShortcut().arguments, link.arguments);
    EXPECT_EQ(readShortcut->GetShortcut().workingDirectory, link.workingDirectory);
    EXPECT_EQ(readShortcut->GetShortcut().description, link.description);
    EXPECT_EQ(readShortcut->GetShortcut().iconPath, link.iconPath);
    EXPECT_EQ(readShortcut->GetShortcut().iconIndex, 3);
    EXPECT_EQ(readShortcut->GetShortcut().showCommand, SW_SHOWMINNOACTIVE);
    EXPECT_EQ(readShortcut->GetCommandLineW(), String(L"\"C:\\Program Files\\Tool\\tool.exe\" /quiet /tray"));

    // The file's bytes travel in the record, so the deleted file can be written back.
    ASSERT_NE(dynamic_cast<FolderFileAutorunEntry*>(third.get()), nullptr);
    third->Register();
    EXPECT_EQ(folder_.ReadFile(L"start.cmd"), std::string("echo \0hi", 8));
}

TEST_F(AutorunRecordTests, DamagedRecordsRaiseWithoutAllocatingTheirLength)
{
    RegistryAutorunEntry value(L"Logon.CurrentUser.Registry.Run", HKEY_CURRENT_USER, L"Software\\X", 0, L"a", REG_SZ,
                               L"a.exe");
    auto write = [&](auto fill) {
        auto stream = file_.Create();
        fill(stream.get());
        stream->Close();
    };
    auto read = [&] {
        auto stream = file_.Open();
        delete AutorunEntry::DeserializeObject(stream.get());
    };

    write([&](System::IO::Stream* stream) {
        System::IO::BinaryWriter writer(stream);
        writer.WriteInt32(1);
        writer.WriteInt32(1);
        writer.WriteInt32(-5);
    });
    TestSupport::ExpectThrows<System::FormatException>(read);

    write([&](System::IO::Stream* stream) {
        System::IO::BinaryWriter writer(stream);
        writer.WriteInt32(1);
        writer.WriteInt32(1);
        writer.WriteInt32(0x7FFFFFF0);
    });
    TestSupport::ExpectThrows<System::IO::EndOfStreamException>(read);

    write([&](System::IO::Stream* stream) {
        System::IO::BinaryWriter writer(stream);
        writer.WriteInt32(2);
    });
    TestSupport::ExpectThrows<System::NotSupportedException>(read);

    // Cut a good record short.
    write([&](System::IO::Stream* stream) { value.SerializeObject(stream); });
    {
        HANDLE file = CreateFileW((folder_ / L"records.bin").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        SetFilePointer(file, 20, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
    }
    TestSupport::ExpectThrows<System::IO::IOException>(read);
}

TEST(ImagePathTests, FindsTheProgramACommandLineStarts)
{
    TestSupport::TempFolder folder;
    CreateDirectoryW((folder / L"My Tools").c_str(), nullptr);
    folder.WriteFile(L"My Tools\\run me.exe", "MZ");
    String spaced = String((folder / L"My Tools\\run me.exe").c_str());

    EXPECT_EQ(ImagePathFromCommandLine(L"\"" + spaced + L"\" /a /b"), spaced);
    EXPECT_EQ(ImagePathFromCommandLine(spaced + L" /a"), spaced);
    // The loader's rule: an extension-less name is tried with ".exe".
    EXPECT_EQ(ImagePathFromCommandLine(String((folder / L"My Tools\\run me").c_str()) + L" -x"), spaced);
    EXPECT_TRUE(ImagePathFromCommandLine(L"%SystemRoot%\\system32\\notepad.exe x").Equals(SystemProgram(L"notepad.exe"), true));
    EXPECT_TRUE(ImagePathFromCommandLine(L"notepad /p").Equals(SystemProgram(L"notepad.exe"), true));
    EXPECT_TRUE(ImagePathFromCommandLine(SystemProgram(L"userinit.exe") + L",").EndsWith(L"userinit.exe", true));
    EXPECT_EQ(ImagePathFromCommandLine(L"C:\\nowhere\\gone.exe -q"), String(L"C:\\nowhere\\gone.exe"));
    EXPECT_EQ(ImagePathFromCommandLine(L"   "), String());
}

class AutorunGroupTests : public ::testing::Test {
protected:
    AutorunLocation KeyValues(const wchar_t* domain)
    {
        AutorunLocation location;
        location.kind = AutorunLocation::RegistryKeyValues;
        location.domain = domain;
        location.root = HKEY_CURRENT_USER;
        location.subKey = String(key_.Path().c_str()) + L"\\Run";
        return location;
    }
    void SetText(const wchar_t* subKey, const wchar_t* name, DWORD kind, const std::wstring& text)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(key_.Handle(), subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, kind, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    TestSupport::ScratchRegistryKey key_;
    TestSupport::TempFolder folder_;
};

TEST_F(AutorunGroupTests, ListsStringValuesAndFolderFilesOfItsLocations)
{
    SetText(L"Run", L"Beta", REG_SZ, L"beta.exe");
    SetText(L"Run", L"Alpha", REG_EXPAND_SZ, L"%SystemRoot%\\alpha.exe");
    SetText(L"Run", L"", REG_SZ, L"default.exe");
    DWORD number = 7;
    RegSetKeyValueW(key_.Handle(), L"Run", L"Number", REG_DWORD, &number, sizeof number);
    SetText(L"Winlogon", L"Shell", REG_SZ, L"explorer.exe");
    folder_.WriteFile(L"desktop.ini", "[.ShellClassInfo]");
    folder_.WriteFile(L"script.cmd", "echo");

    AutorunLocation shell;
    shell.kind = AutorunLocation::RegistryValue;
    shell.domain = L"Test.Shell";
    shell.root = HKEY_CURRENT_USER;
    shell.subKey = String(key_.Path().c_str()) + L"\\Winlogon";
    shell.valueName = L"Shell";
    AutorunLocation missing = KeyValues(L"Test.Missing");
    missing.subKey = missing.subKey + L"\\Nothing";
    AutorunLocation files;
    files.kind = AutorunLocation::Folder;
    files.domain = L"Test.Folder";
    files.folder = folder_.Path().c_str();
    AutorunLocation noFolder = files;
    noFolder.folder = String((folder_ / L"absent").c_str());
    Autorun group(L"Test", {KeyValues(L"Test.Run"), missing, shell, files, noFolder});

    EntryList entries = Take(group.GetEntries());
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0]->GetName(), String(L"Alpha"));
    EXPECT_EQ(entries[0]->GetCommandLineW(),
              System::Environment::GetEnvironmentVariable(L"SystemRoot") + L"\\alpha.exe");
    EXPECT_EQ(entries[1]->GetName(), String(L"Beta"));
    EXPECT_EQ(entries[1]->GetDomain(), String(L"Test.Run"));
    EXPECT_EQ(entries[2]->GetName(), String(L"Shell"));
    EXPECT_EQ(entries[2]->GetDomain(), String(L"Test.Shell"));
    EXPECT_EQ(entries[3]->GetName(), String(L"script.cmd"));
    EXPECT_EQ(entries[3]->GetImagePath(), String((folder_ / L"script.cmd").c_str()));
}

TEST_F(AutorunGroupTests, AFolderFileComesBackWithItsBytesAfterUnregister)
{
    folder_.WriteFile(L"tool.bat", "@echo tool");
    AutorunLocation files;
    files.kind = AutorunLocation::Folder;
    files.domain = L"Test.Folder";
    files.folder = folder_.Path().c_str();
    EntryList entries = Take(Autorun(L"Test", {files}).GetEntries());
    ASSERT_EQ(entries.size(), 1u);

    entries[0]->Unregister();
    EXPECT_EQ(GetFileAttributesW((folder_ / L"tool.bat").c_str()), INVALID_FILE_ATTRIBUTES);
    entries[0]->Unregister();
    entries[0]->Register();
    EXPECT_EQ(folder_.ReadFile(L"tool.bat"), "@echo tool");
}

TEST(LogonGroupTests, OnlyLogonExists)
{
    EXPECT_EQ(Autorun::GetAutorun(L"Logon"), Autorun::GetAutorun(L"Logon"));
    TestSupport::ExpectThrows<System::ArgumentException>([] { Autorun::GetAutorun(L"Services"); });
}

// Real Run keys and Startup folders of the test prefix; every registration made here is removed.
class LogonLocationTests : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const auto& entry : made_) System::TraceExceptions([&] { entry->Unregister(); });
    }
    AutorunEntry* Made(AutorunEntry* entry)
    {
        made_.emplace_back(entry);
        entry->Register();
        return entry;
    }
    String StartupFolder(int which) { return System::Environment::GetFolderPath(which); }

    EntryList made_;
};

TEST_F(LogonLocationTests, EnumeratesEachLocationUnderItsDomain)
{
    String notepad = SystemProgram(L"notepad.exe");
    Made(new RegistryAutorunEntry(L"", HKEY_CURRENT_USER, RunKey, 0, UniqueName(L"User"), REG_SZ, notepad + L" /user"));
    Made(new RegistryAutorunEntry(L"", HKEY_LOCAL_MACHINE, RunKey, 0, UniqueName(L"Machine"), REG_SZ, L"\"" + notepad + L"\""));
    ShortcutData link;
    link.targetPath = notepad;
    link.arguments = L"readme.txt";
    Made(new ShortcutAutorunEntry(L"", StartupFolder(System::Environment::Startup), UniqueName(L"UserLink") + L".lnk", link));
    Made(new ShortcutAutorunEntry(L"", StartupFolder(System::Environment::CommonStartup),
                                  UniqueName(L"CommonLink") + L".lnk", link));

    EntryList entries = Take(Autorun::GetAutorun(L"Logon")->GetEntries());
    const AutorunEntry* user = Find(entries, UniqueName(L"User"));
    const AutorunEntry* machine = Find(entries, UniqueName(L"Machine"));
    const AutorunEntry* userLink = Find(entries, UniqueName(L"UserLink"));
    const AutorunEntry* commonLink = Find(entries, UniqueName(L"CommonLink"));
    ASSERT_TRUE(user && machine && userLink && commonLink);
    EXPECT_EQ(user->GetDomain(), String(L"Logon.CurrentUser.Registry.Run"));
    EXPECT_EQ(machine->GetDomain(), String(L"Logon.AllUser.Registry.Run"));
    EXPECT_EQ(userLink->GetDomain(), String(L"Logon.CurrentUser.Startup"));
    EXPECT_EQ(commonLink->GetDomain(), String(L"Logon.AllUser.Startup"));
    EXPECT_TRUE(user->GetImagePath().Equals(notepad, true));
    EXPECT_TRUE(userLink->GetImagePath().Equals(notepad, true));
    EXPECT_TRUE(userLink->GetCommandLineW().EndsWith(L" readme.txt"));
    int machineCount = 0;
    for (const auto& entry : entries) {
        if (entry->GetName() == UniqueName(L"Machine")) ++machineCount;
        if (entry->GetName() == L"Shell") {
            EXPECT_EQ(entry->GetDomain(), String(L"Logon.AllUser.Registry.Shell"));
        }
        if (entry->GetName() == L"Userinit") {
            EXPECT_EQ(entry->GetDomain(), String(L"Logon.AllUser.Registry.UserInit"));
        }
    }
    // The 32-bit view, where the system keeps one, is a different key: no value is listed twice.
    EXPECT_EQ(machineCount, 1);
}

TEST_F(LogonLocationTests, UnregisterThenRegisterRestoresTheExactRegistration)
{
    String name = UniqueName(L"Exact");
    String data = L"%SystemRoot%\\system32\\notepad.exe /a \"b c\"";
    Made(new RegistryAutorunEntry(L"", HKEY_CURRENT_USER, RunKey, 0, name, REG_EXPAND_SZ, data));
    ShortcutData link;
    link.targetPath = SystemProgram(L"notepad.exe");
    link.arguments = L"/p \"my file.txt\"";
    link.workingDirectory = L"C:\\windows";
    link.description = L"메모장";
    Made(new ShortcutAutorunEntry(L"", StartupFolder(System::Environment::Startup), name + L".lnk", link));

    EntryList entries = Take(Autorun::GetAutorun(L"Logon")->GetEntries());
    AutorunEntry* value = const_cast<AutorunEntry*>(Find(entries, name));
    ASSERT_NE(value, nullptr);
    AutorunEntry* shortcut = nullptr;
    for (auto& entry : entries)
        if (entry->GetName() == name && entry.get() != value) shortcut = entry.get();
    ASSERT_NE(shortcut, nullptr);

    value->Unregister();
    shortcut->Unregister();
    EntryList after = Take(Autorun::GetAutorun(L"Logon")->GetEntries());
    EXPECT_EQ(Find(after, name), nullptr);

    value->Register();
    shortcut->Register();
    DWORD kind = 0;
    std::wstring stored;
    ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, RunKey, name, kind, stored));
    EXPECT_EQ(kind, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(String(stored), data);
    std::unique_ptr<ShortcutAutorunEntry> reread(
        ShortcutAutorunEntry::FromFile(L"x", StartupFolder(System::Environment::Startup), name + L".lnk"));
    EXPECT_TRUE(reread->GetShortcut().targetPath.Equals(link.targetPath, true));
    EXPECT_EQ(reread->GetShortcut().arguments, link.arguments);
    EXPECT_EQ(reread->GetShortcut().workingDirectory, link.workingDirectory);
    EXPECT_EQ(reread->GetShortcut().description, link.description);
}

}  // namespace
