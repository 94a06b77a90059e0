#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Application.h"
#include "core/Environment.h"
#include "core/Process.h"
#include "core/Registry.h"
#include "core/Version.h"
#include "testing/LibraryAssertions.h"
#include "testing/TempFolder.h"

using Microsoft::Win32::Registry;
using Microsoft::Win32::RegistryKey;
using System::Application;
using System::String;

namespace {

const wchar_t kFakeLog[] = L"VELA_FAKE_UPDATER_LOG";
const wchar_t kFakeExit[] = L"VELA_FAKE_UPDATER_EXIT";
const wchar_t kSuiteKey[] = L"Software\\Vela\\Toolbox";

// The update tests start this very program as the updater. Started so, it writes the arguments
// it received, one UTF-8 line each, to the file that the environment names, and exits with the
// code asked for before any test runs.
const bool runAsFakeUpdater = [] {
    wchar_t log[MAX_PATH];
    if (!GetEnvironmentVariableW(kFakeLog, log, MAX_PATH)) return false;
    wchar_t exitCode[16] = L"0";
    GetEnvironmentVariableW(kFakeExit, exitCode, 16);
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string lines;
    for (int i = 1; i < count; ++i) lines += String(arguments[i]).ToUtf8() + "\n";
    LocalFree(arguments);
    std::wstring partial = std::wstring(log) + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(partial.c_str(), log, MOVEFILE_REPLACE_EXISTING);
    ExitProcess(static_cast<UINT>(_wtoi(exitCode)));
}();

bool IsFolder(const String& path)
{
    DWORD attributes = GetFileAttributesW(path.GetBuffer());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(ApplicationTest, ExecutableAndStartupPathsNameThisProgram)
{
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    String executable = Application::GetExecutablePath();
    EXPECT_EQ(executable, String(module));
    EXPECT_TRUE(executable.EndsWith(L"\\core_ApplicationTests.exe", true)) << executable.ToUtf8();
    String startup = Application::GetStartupPath();
    EXPECT_EQ(startup + L"\\core_ApplicationTests.exe", executable);
    EXPECT_TRUE(IsFolder(startup));
}

TEST(ApplicationTest, CommonAppDataPathIsCreatedUnderCommonApplicationData)
{
    // The folder is shared with other test programs running meanwhile, so it is not removed first.
    String common = System::Environment::GetFolderPath(System::Environment::CommonApplicationData);
    String path = Application::GetCommonAppDataPath();
    EXPECT_EQ(path, common + L"\\Vela\\Toolbox");
    EXPECT_TRUE(IsFolder(path));
}

TEST(ApplicationTest, SuiteRegistryKeysAreWritable)
{
    std::unique_ptr<RegistryKey> common(Application::GetCommonAppDataRegistry());
    std::unique_ptr<RegistryKey> user(Application::GetUserAppDataRegistry());
    ASSERT_NE(common, nullptr);
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(common->GetName(), String(L"HKEY_LOCAL_MACHINE\\Software\\Vela\\Toolbox"));
    EXPECT_EQ(user->GetName(), String(L"HKEY_CURRENT_USER\\Software\\Vela\\Toolbox"));
    String name = String::Format(L"ApplicationTests-%lu", GetCurrentProcessId());
    for (RegistryKey* key : {common.get(), user.get()}) {
        key->SetValue(name, 1);
        int32_t value = 0;
        EXPECT_TRUE(key->GetValue(name, value));
        key->DeleteValue(name);
    }
}

TEST(ApplicationTest, ProductVersionHasFourNumbers)
{
    System::Version version(Application::GetProductVersion());
    EXPECT_GE(version.GetRevision(), 0) << Application::GetProductVersion().ToUtf8();
}

TEST(ProcessTest, EnterDebugModeEnablesTheDebugPrivilege)
{
    System::Diagnostics::Process::EnterDebugMode();
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    LUID debug;
    ASSERT_TRUE(LookupPrivilegeValueW(nullptr, SE_DEBUG_NAME, &debug));
    PRIVILEGE_SET wanted = {1, PRIVILEGE_SET_ALL_NECESSARY, {{debug, 0}}};
    BOOL enabled = FALSE;
    ASSERT_TRUE(PrivilegeCheck(token, &wanted, &enabled));
    CloseHandle(token);
    EXPECT_TRUE(enabled);
}

// Keeps the machine's server settings as they were before the test.
class ServerUrlTest : public ::testing::Test {
protected:
    static constexpr const wchar_t* kNames[] = {L"InformationServer", L"UpdateServer", L"HomePage", L"GuideServer",
                                                L"RedistributableServer"};
    void SetUp() override
    {
        key.reset(Registry::GetLocalMachine()->CreateSubKey(kSuiteKey));
        HKEY raw = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSuiteKey, 0, KEY_READ, &raw), ERROR_SUCCESS);
        for (const wchar_t* name : kNames) {
            Saved value{name, false, REG_NONE, {}};
            DWORD size = 0;
            if (RegQueryValueExW(raw, name, nullptr, &value.kind, nullptr, &size) == ERROR_SUCCESS) {
                value.data.resize(size);
                value.present = RegQueryValueExW(raw, name, nullptr, &value.kind, value.data.data(), &size) ==
                                ERROR_SUCCESS;
            }
            saved.push_back(value);
            key->DeleteValue(name, false);
        }
        RegCloseKey(raw);
    }
    void TearDown() override
    {
        HKEY raw = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSuiteKey, 0, KEY_SET_VALUE, &raw), ERROR_SUCCESS);
        for (const Saved& value : saved) {
            key->DeleteValue(value.name, false);
            if (value.present)
                RegSetValueExW(raw, value.name, 0, value.kind, value.data.data(),
                               static_cast<DWORD>(value.data.size()));
        }
        RegCloseKey(raw);
    }

    struct Saved {
        const wchar_t* name;
        bool present;
        DWORD kind;
        std::vector<uint8_t> data;
    };
    std::vector<Saved> saved;
    std::unique_ptr<RegistryKey> key;
};

TEST_F(ServerUrlTest, DefaultsApplyWhenUnset)
{
    using Server = Application::Server;
    EXPECT_EQ(Application::GetServerUrl(Server::Information), String(L"http://info.velatoolbox.co.kr"));
    EXPECT_EQ(Application::GetServerUrl(Server::Update), String(L"http://update.velatoolbox.co.kr"));
    EXPECT_EQ(Application::GetServerUrl(Server::HomePage), String(L"http://www.velatoolbox.co.kr"));
    EXPECT_EQ(Application::GetServerUrl(Server::Guide), String(L"http://www.velatoolbox.co.kr/guide"));
    EXPECT_EQ(Application::GetServerUrl(Server::Redistributable), String(L"http://download.windowsupdate.com"));
}

TEST_F(ServerUrlTest, TextValuesOverrideWithoutTrailingSlash)
{
    using Server = Application::Server;
    key->SetValue(L"UpdateServer", String(L"http://127.0.0.1:8080/"));
    key->SetValue(L"GuideServer", String(L" http://127.0.0.1:8080/안내// "));
    key->SetValue(L"HomePage", String(L""));
    key->SetValue(L"InformationServer", 80);
    EXPECT_EQ(Application::GetServerUrl(Server::Update), String(L"http://127.0.0.1:8080"));
    EXPECT_EQ(Application::GetServerUrl(Server::Guide), String(L"http://127.0.0.1:8080/안내"));
    EXPECT_EQ(Application::GetServerUrl(Server::HomePage), String(L"http://www.velatoolbox.co.kr"));
    EXPECT_EQ(Application::GetServerUrl(Server::Information), String(L"http://info.velatoolbox.co.kr"));
    EXPECT_EQ(Application::GetServerUrl(Server::Redistributable), String(L"http://download.windowsupdate.com"));
}

// Points the updater at this program, acting as the fake updater above.
class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override { Application::SetUpdaterPath(Application::GetExecutablePath()); }
    void TearDown() override
    {
        Application::SetUpdateUrl(L"");
        Application::SetUpdaterPath(L"");
        SetEnvironmentVariableW(kFakeLog, nullptr);
        SetEnvironmentVariableW(kFakeExit, nullptr);
    }
    void FakeAnswers(int exitCode)
    {
        DeleteFileW(LogPath().c_str());
        SetEnvironmentVariableW(kFakeLog, LogPath().c_str());
        SetEnvironmentVariableW(kFakeExit, std::to_wstring(exitCode).c_str());
    }
    std::wstring LogPath() const { return temp / L"received.txt"; }
    bool Started() const { return GetFileAttributesW(LogPath().c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::vector<String> Received() const
    {
        std::vector<String> arguments;
        std::string text = temp.ReadFile(L"received.txt");
        for (size_t begin = 0, end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1)
            arguments.push_back(String::FromUtf8(text.substr(begin, end - begin)));
        return arguments;
    }

    TestSupport::TempFolder temp;
};

TEST_F(UpdaterTest, DefaultUpdaterIsVapupBesideTheExecutable)
{
    Application::SetUpdaterPath(L"");
    EXPECT_EQ(Application::GetUpdaterPath(), Application::GetStartupPath() + L"\\vapup.exe");
}

TEST_F(UpdaterTest, HasUpdateOnlyWhenTheUpdaterExitsWithOne)
{
    Application::SetUpdateUrl(L"http://127.0.0.1:8080/app/vt/update.xml");
    EXPECT_EQ(Application::GetUpdateUrl(), String(L"http://127.0.0.1:8080/app/vt/update.xml"));
    FakeAnswers(1);
    EXPECT_TRUE(Application::HasUpdate());
    EXPECT_EQ(Received(), (std::vector<String>{L"check", L"http://127.0.0.1:8080/app/vt/update.xml",
                                               Application::GetStartupPath()}));
    FakeAnswers(0);
    EXPECT_FALSE(Application::HasUpdate());
    EXPECT_TRUE(Started());
    FakeAnswers(2);
    EXPECT_FALSE(Application::HasUpdate());
    EXPECT_TRUE(Started());
}

TEST_F(UpdaterTest, NothingStartsWithoutAnAddressOrAnUpdater)
{
    FakeAnswers(1);
    EXPECT_FALSE(Application::HasUpdate());
    EXPECT_FALSE(Application::Update(true));
    EXPECT_FALSE(Started());
    Application::SetUpdateUrl(L"http://127.0.0.1:8080/app/vt/update.xml");
    Application::SetUpdaterPath(temp / L"vapup.exe");
    EXPECT_FALSE(Application::HasUpdate());
    EXPECT_FALSE(Application::Update(true));
    Application::SetUpdaterPath(temp.Path());
    EXPECT_FALSE(Application::HasUpdate());
}

TEST_F(UpdaterTest, ValuesEndingInBackslashesOrHoldingQuotesArriveIntact)
{
    const String address = L"C:\\업데이트 폴더\\\"따옴표\"\\\\";
    Application::SetUpdateUrl(address);
    FakeAnswers(1);
    EXPECT_TRUE(Application::HasUpdate());
    EXPECT_EQ(Received(), (std::vector<String>{L"check", address, Application::GetStartupPath()}));
}

TEST_F(UpdaterTest, UpdateHandsOverAddressStartupFolderAndExecutable)
{
    Application::SetUpdateUrl(L"http://127.0.0.1:8080/app/vt/update.xml");
    FakeAnswers(0);
    EXPECT_TRUE(Application::Update(true));
    EXPECT_EQ(Received(), (std::vector<String>{L"update", L"http://127.0.0.1:8080/app/vt/update.xml",
                                               Application::GetStartupPath(), Application::GetExecutablePath()}));
}

TEST_F(UpdaterTest, UpdateWithoutWaitingLeavesTheUpdaterRunning)
{
    Application::SetUpdateUrl(L"http://127.0.0.1:8080/app/vt/update.xml");
    FakeAnswers(0);
    EXPECT_TRUE(Application::Update(false));
    for (int i = 0; i < 200 && !Started(); ++i) Sleep(50);
    ASSERT_TRUE(Started());
    EXPECT_EQ(Received().size(), 4u);
}

}  // namespace
