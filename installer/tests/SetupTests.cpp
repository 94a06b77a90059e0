// The setup program as a user or an administrator meets it, in the test prefix: silent install of
// the built VelaToolboxSetup.exe into Program Files, the console started from there, an upgrade by
// a newer setup (made by the installer_MakeNewerSetup step) over a running console, the live
// updater replacing an installed file from a loopback server, and the silent uninstall.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ComPtr.h"
#include "core/UniqueResource.h"
#include "installer/RunningPrograms.h"
#include "testing/FileBytes.h"
#include "testing/HttpServer.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"

namespace {

using System::UniqueHandle;

const wchar_t kSuiteKey[] = L"Software\\Vela\\Toolbox";
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VelaToolbox";
const wchar_t kProduct[] = L"벨라 툴박스";
const std::wstring kVersion = TEXT(VELA_VERSION);
const std::wstring kNextVersion = TEXT(VELA_NEXT_VERSION);
// The C++ runtime ships beside the suite but is not the suite's own.
const std::vector<std::wstring> kRuntimeLibraries = {L"libstdc++-6.dll", L"libgcc_s_seh-1.dll",
                                                     L"libwinpthread-1.dll"};

std::wstring HostPath(std::string unixPath)
{
    std::wstring path(unixPath.begin(), unixPath.end());
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return L"Z:" + path;
}

TestSupport::HttpServer::Response Reply(const std::string& body, const char* contentType)
{
    TestSupport::HttpServer::Response response;
    response.body = body;
    response.contentType = contentType;
    return response;
}

std::wstring BuildFolder() { return HostPath(INSTALLER_BUILD_DIR); }

// Paths and versions of the suite are ASCII.
std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

void WriteAll(const std::wstring& path, const std::string& bytes)
{
    ASSERT_TRUE(TestSupport::WriteFileBytes(path, bytes)) << "cannot write a test file, error " << GetLastError();
}

// Paths of every file below root, relative to it.
void ListFiles(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW found;
    std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListFiles(root, path, files);
        } else {
            files.push_back(path);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The FileVersion text of the file's version resource, as the live updater compares it.
std::wstring FileVersionOf(const std::wstring& path)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return L"";
    std::vector<BYTE> block(size);
    WORD* translation = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < 4)
        return L"";
    wchar_t query[64];
    swprintf(query, 64, L"\\StringFileInfo\\%04X%04X\\FileVersion", translation[0], translation[1]);
    wchar_t* text = nullptr;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&text), &length) || !text) return L"";
    return text;
}

// A value of the machine's registry, as the 64-bit suite sees it; found tells whether it exists.
std::wstring MachineText(const wchar_t* key, const wchar_t* name, bool* found = nullptr)
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr,
                                  buffer, &size);
    if (found) *found = status == ERROR_SUCCESS;
    return status == ERROR_SUCCESS ? buffer : L"";
}

DWORD MachineNumber(const wchar_t* key, const wchar_t* name)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

bool MachineKeyExists(const wchar_t* key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

std::wstring ShortcutTarget(const std::wstring& link)
{
    System::ComPtr<IShellLinkW> shortcut;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shortcut.Receive()))))
        return L"";
    System::ComPtr<IPersistFile> file;
    if (FAILED(shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))) ||
        FAILED(file->Load(link.c_str(), STGM_READ)))
        return L"";
    wchar_t target[MAX_PATH] = {};
    return SUCCEEDED(shortcut->GetPath(target, MAX_PATH, nullptr, 0)) ? target : L"";
}

// The process's exit code, or STILL_ACTIVE when it did not end within timeoutMs.
DWORD WaitForExit(HANDLE process, DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    return code;
}

UniqueHandle Start(std::wstring commandLine, const std::wstring& folder = L"")
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start a program, error " << GetLastError();
        return UniqueHandle();
    }
    CloseHandle(process.hThread);
    return UniqueHandle(process.hProcess);
}

DWORD RunAndWait(const std::wstring& commandLine)
{
    UniqueHandle process = Start(commandLine);
    return process ? WaitForExit(process.Get(), 120000) : STILL_ACTIVE;
}

std::wstring TempFolderPath()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp;
}

// The uninstaller and the updater both hand over to a copy of themselves in the temporary folder
// and end at once; the work is done when those copies have ended.
bool WaitForTemporaryCopies(DWORD timeoutMs = 60000)
{
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!Setup::FindProgramsIn(TempFolderPath()).empty()) {
        if (GetTickCount64() > deadline) return false;
        Sleep(100);
    }
    return true;
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleTree(HWND window, LPARAM parameter)
{
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (!IsWindowVisible(window) || wcscmp(className, WC_TREEVIEWW) != 0) return TRUE;
    *reinterpret_cast<HWND*>(parameter) = window;
    return FALSE;
}

// The check box a tree item shows: the index of its state image.
UINT CheckImageOf(HWND tree, HTREEITEM item)
{
    return (static_cast<UINT>(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                           TVIS_STATEIMAGEMASK)) &
            TVIS_STATEIMAGEMASK) >>
           12;
}

// The visible top-level window of a process that no other window owns.
BOOL CALLBACK FindMainWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
    search->found = window;
    return FALSE;
}

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring refusal = TestSupport::WhyDestructiveTestsAreRefused();
        if (!refusal.empty()) GTEST_SKIP() << Narrow(refusal);
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        comStarted_ = true;
        setup_ = BuildFolder() + L"\\VelaToolboxSetup.exe";
        newerSetup_ = BuildFolder() + L"\\installer\\next\\VelaToolboxSetup.exe";
        dist_ = BuildFolder() + L"\\dist";
        ASSERT_TRUE(Exists(setup_)) << "tools/build makes the setup program after installing dist/";
        ASSERT_TRUE(Exists(newerSetup_)) << "the installer_MakeNewerSetup step makes it";
        installFolder_ = ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Vela Toolbox";
        dataFolder_ = ShellFolder(CSIDL_COMMON_APPDATA) + L"\\Vela\\Toolbox";
        menuShortcut_ = ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + kProduct + L"\\" + kProduct + L".lnk";
        desktopShortcut_ = ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + kProduct + L".lnk";
        // The console asks the update server at every start: here it hears of no update.
        server_.Serve("/app/vt/update.xml", Reply("<update><objects/></update>", "text/xml"));
        // An install left by a run that was cut short goes first.
        if (MachineKeyExists(kUninstallKey)) Uninstall();
    }
    void TearDown() override
    {
        if (console_) {
            TerminateProcess(console_.Get(), 1);
            WaitForSingleObject(console_.Get(), 5000);
        }
        if (!comStarted_) return;
        if (!WaitForTemporaryCopies()) {
            for (const Setup::RunningProgram& program : Setup::FindProgramsIn(TempFolderPath())) {
                UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, program.processId));
                if (process) TerminateProcess(process.Get(), 1);
            }
        }
        if (MachineKeyExists(kUninstallKey)) Uninstall();
        for (const std::wstring& name : written_) DeleteFileW((dataFolder_ + L"\\" + name).c_str());
        CoUninitialize();
    }

    void Install(const std::wstring& setup, const std::wstring& options = L"")
    {
        EXPECT_EQ(RunAndWait(L"\"" + setup + L"\" /S " + options), 0u) << "setup's exit code";
    }
    std::wstring ServerOption() const { return L"/UpdateServer=" + server_.Url(""); }
    void Uninstall()
    {
        std::wstring quiet = MachineText(kUninstallKey, L"QuietUninstallString");
        ASSERT_FALSE(quiet.empty());
        EXPECT_EQ(RunAndWait(quiet), 0u) << "uninstaller's exit code";
        EXPECT_TRUE(WaitForTemporaryCopies()) << "the uninstaller's copy did not end";
    }
    // A file of the suite's data folder, as the startup manager leaves it; removed at the end.
    std::string WriteData(const std::wstring& name)
    {
        std::string bytes = "data of " + Narrow(name) + " that the user must not lose";
        SHCreateDirectoryExW(nullptr, (dataFolder_ + L"\\backup").c_str(), nullptr);
        WriteAll(dataFolder_ + L"\\" + name, bytes);
        written_.push_back(name);
        return bytes;
    }
    // Starts the installed console from its shortcut's folder and waits for its filled home page.
    void StartConsole()
    {
        std::wstring moments = moments_ / L"moments.txt";
        SetEnvironmentVariableW(L"VTCON_MOMENTS_FILE", moments.c_str());
        console_ = Start(L"\"" + installFolder_ + L"\\vtcon.exe\"", installFolder_);
        SetEnvironmentVariableW(L"VTCON_MOMENTS_FILE", nullptr);
        ASSERT_TRUE(console_);
        ULONGLONG deadline = GetTickCount64() + 30000;
        while (TestSupport::ReadFileBytes(moments).find("home ") == std::string::npos) {
            ASSERT_LT(GetTickCount64(), deadline) << "the console did not show its home page";
            ASSERT_EQ(WaitForSingleObject(console_.Get(), 50), static_cast<DWORD>(WAIT_TIMEOUT)) << "the console ended";
        }
    }
    // A modal console shows its window at its first idle moment, which can come after the home page.
    HWND ConsoleWindow() { return MainWindowOf(GetProcessId(console_.Get()), 30000); }
    static HWND MainWindowOf(DWORD processId, DWORD timeoutMs = 0)
    {
        ULONGLONG deadline = GetTickCount64() + timeoutMs;
        WindowSearch search{processId, nullptr};
        for (;;) {
            EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
            if (search.found || GetTickCount64() >= deadline) return search.found;
            Sleep(100);
        }
    }
    static std::wstring TitleOf(HWND window)
    {
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        // The uninstaller's caption ends with a space.
        std::wstring text = title;
        while (!text.empty() && text.back() == L' ') text.pop_back();
        return text;
    }

    TestSupport::HttpServer server_;
    TestSupport::TempFolder moments_;
    bool comStarted_ = false;
    std::wstring setup_;
    std::wstring newerSetup_;
    std::wstring dist_;
    std::wstring installFolder_;
    std::wstring dataFolder_;
    std::wstring menuShortcut_;
    std::wstring desktopShortcut_;
    std::vector<std::wstring> written_;
    UniqueHandle console_;
};

TEST_F(SetupTest, SilentInstallPutsEveryFileInPlaceAndTheConsoleShowsItsHomePage)
{
    Install(setup_, ServerOption());

    std::vector<std::wstring> files;
    ListFiles(dist_, L"", files);
    ASSERT_GT(files.size(), 10u);
    unsigned long long bytes = 0;
    for (const std::wstring& file : files) {
        std::string packed = TestSupport::ReadFileBytes(dist_ + L"\\" + file);
        bytes += packed.size();
        EXPECT_TRUE(TestSupport::ReadFileBytes(installFolder_ + L"\\" + file) == packed) << "not installed whole: " << Narrow(file);
        bool binary = file.size() > 4 && (EqualIgnoringCase(file.substr(file.size() - 4), L".exe") ||
                                          EqualIgnoringCase(file.substr(file.size() - 4), L".dll"));
        bool runtime = false;
        for (const std::wstring& library : kRuntimeLibraries) runtime = runtime || EqualIgnoringCase(file, library);
        if (binary && !runtime) {
            EXPECT_EQ(FileVersionOf(installFolder_ + L"\\" + file), kVersion)
                << "version resource of " << Narrow(file);
        }
    }
    EXPECT_TRUE(Exists(installFolder_ + L"\\uninstall.exe"));

    EXPECT_TRUE(EqualIgnoringCase(MachineText(kSuiteKey, L"InstallPath"), installFolder_));
    EXPECT_EQ(MachineText(kSuiteKey, L"Version"), kVersion);
    EXPECT_EQ(MachineText(kSuiteKey, L"UpdateServer"), server_.Url(""));
    bool found = true;
    MachineText(kSuiteKey, L"InformationServer", &found);
    EXPECT_FALSE(found) << "settings not given keep the suite's built-in defaults";

    EXPECT_EQ(MachineText(kUninstallKey, L"DisplayName"), kProduct);
    EXPECT_EQ(MachineText(kUninstallKey, L"DisplayVersion"), kVersion);
    EXPECT_EQ(MachineText(kUninstallKey, L"Publisher"), L"Vela");
    EXPECT_TRUE(EqualIgnoringCase(MachineText(kUninstallKey, L"DisplayIcon"), installFolder_ + L"\\vtcon.exe,0"));
    std::wstring uninstaller = L"\"" + installFolder_ + L"\\uninstall.exe\"";
    EXPECT_TRUE(EqualIgnoringCase(MachineText(kUninstallKey, L"UninstallString"), uninstaller));
    EXPECT_TRUE(EqualIgnoringCase(MachineText(kUninstallKey, L"QuietUninstallString"), uninstaller + L" /S"));
    EXPECT_EQ(MachineNumber(kUninstallKey, L"EstimatedSize"), (bytes + 1023) / 1024);

    EXPECT_TRUE(EqualIgnoringCase(ShortcutTarget(menuShortcut_), installFolder_ + L"\\vtcon.exe"));
    EXPECT_TRUE(EqualIgnoringCase(ShortcutTarget(desktopShortcut_), installFolder_ + L"\\vtcon.exe"));

    StartConsole();
    HWND console = ConsoleWindow();
    ASSERT_NE(console, nullptr);
    EXPECT_TRUE(TestSupport::SaveWindowImage(console, BuildFolder() + L"\\installed_console_home.png"));
    PostMessageW(console, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(console_.Get(), 20000), 0u);
}

TEST_F(SetupTest, NewerSetupClosesTheConsoleReplacesProgramFilesAndKeepsTheData)
{
    Install(setup_, ServerOption());
    std::string store = WriteData(L"disabledentry.vsd");
    std::string backup = WriteData(L"backup\\setup-test.dat");
    std::wstring catalogue = installFolder_ + L"\\vtaddons3.xml";
    WriteAll(catalogue, "damaged");
    StartConsole();

    Install(newerSetup_);

    EXPECT_EQ(WaitForExit(console_.Get(), 0), 0u) << "the running console was asked to close";
    EXPECT_TRUE(Setup::FindProgramsIn(installFolder_).empty());
    EXPECT_EQ(TestSupport::ReadFileBytes(catalogue), TestSupport::ReadFileBytes(dist_ + L"\\vtaddons3.xml"));
    EXPECT_EQ(MachineText(kUninstallKey, L"DisplayVersion"), kNextVersion);
    EXPECT_EQ(MachineText(kSuiteKey, L"Version"), kNextVersion);
    EXPECT_EQ(MachineText(kSuiteKey, L"UpdateServer"), server_.Url("")) << "deployment settings survive upgrades";
    EXPECT_EQ(TestSupport::ReadFileBytes(dataFolder_ + L"\\disabledentry.vsd"), store);
    EXPECT_EQ(TestSupport::ReadFileBytes(dataFolder_ + L"\\backup\\setup-test.dat"), backup);
}

TEST_F(SetupTest, LiveUpdaterReplacesAnInstalledFileAndUninstallRemovesWhatItAdded)
{
    Install(setup_, ServerOption());
    std::string newer = TestSupport::ReadFileBytes(HostPath(INSTALLER_BIN_DIR) + L"\\setup_test_vdwin32_next.dll");
    ASSERT_FALSE(newer.empty());
    // The update replaces vdwin32.dll and brings a library the setup did not install.
    std::string manifest = "<update><objects><file name=\"vdwin32.dll\" fileVersion=\"" + Narrow(kNextVersion) +
                           "\"/><file name=\"vtnew.dll\" url=\"vdwin32.dll\"/></objects></update>";
    server_.Serve("/vt/update.xml", Reply(manifest, "text/xml"));
    server_.Serve("/vt/vdwin32.dll", Reply(newer, "application/octet-stream"));
    std::wstring updater = L"\"" + installFolder_ + L"\\vapup.exe\" ";
    std::wstring arguments = L"\"" + server_.Url("/vt/update.xml") + L"\" \"" + installFolder_ + L"\"";

    EXPECT_EQ(RunAndWait(updater + L"check " + arguments), 1u) << "the installed file is older";
    EXPECT_EQ(RunAndWait(updater + L"update " + arguments), 0u);
    ASSERT_TRUE(WaitForTemporaryCopies()) << "the updater's copy did not end";

    EXPECT_EQ(FileVersionOf(installFolder_ + L"\\vdwin32.dll"), kNextVersion);
    EXPECT_TRUE(TestSupport::ReadFileBytes(installFolder_ + L"\\vdwin32.dll") == newer);
    EXPECT_TRUE(Exists(installFolder_ + L"\\vtnew.dll"));
    EXPECT_EQ(RunAndWait(updater + L"check " + arguments), 0u) << "nothing is left to update";

    Uninstall();
    EXPECT_FALSE(Exists(installFolder_)) << "the updated and the added library went too";
}

TEST_F(SetupTest, SilentUninstallRemovesProgramFilesShortcutsAndEntryButKeepsTheData)
{
    Install(setup_, ServerOption());
    std::string store = WriteData(L"disabledentry.vsd");
    ASSERT_TRUE(Exists(installFolder_ + L"\\vtcon.exe"));

    Uninstall();

    EXPECT_FALSE(Exists(installFolder_)) << "no program file is left";
    EXPECT_FALSE(Exists(menuShortcut_));
    EXPECT_FALSE(Exists(ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + kProduct));
    EXPECT_FALSE(Exists(desktopShortcut_));
    EXPECT_FALSE(MachineKeyExists(kUninstallKey));
    EXPECT_FALSE(MachineKeyExists(kSuiteKey));
    EXPECT_EQ(TestSupport::ReadFileBytes(dataFolder_ + L"\\disabledentry.vsd"), store) << "the data folder stays";
}

TEST_F(SetupTest, SetupAndUninstallerWindowsSpeakKoreanAndTheUninstallerStopsAtItsComponents)
{
    UniqueHandle setup = Start(L"\"" + setup_ + L"\"");
    ASSERT_TRUE(setup);
    HWND welcome = MainWindowOf(GetProcessId(setup.Get()), 30000);
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(TitleOf(welcome), std::wstring(kProduct) + L" 설치");
    EXPECT_TRUE(TestSupport::SaveWindowImage(welcome, BuildFolder() + L"\\setup_welcome.png"));
    // Nothing is written before the install page: ending it at its welcome page changes nothing.
    TerminateProcess(setup.Get(), 1);
    WaitForSingleObject(setup.Get(), 5000);
    EXPECT_FALSE(Exists(installFolder_));

    Install(setup_);
    EXPECT_EQ(RunAndWait(L"\"" + installFolder_ + L"\\uninstall.exe\""), 0u) << "hands over to its copy";
    std::vector<Setup::RunningProgram> copies = Setup::FindProgramsIn(TempFolderPath());
    ASSERT_EQ(copies.size(), 1u);
    HWND uninstaller = MainWindowOf(copies[0].processId, 30000);
    ASSERT_NE(uninstaller, nullptr);
    EXPECT_EQ(TitleOf(uninstaller), std::wstring(kProduct) + L" 제거");
    // From the confirmation page to the components page, where the data folder's box is left off.
    PostMessageW(uninstaller, WM_COMMAND, IDOK, 0);
    HWND components = nullptr;
    ULONGLONG deadline = GetTickCount64() + 20000;
    while (!components && GetTickCount64() < deadline) {
        Sleep(100);
        EnumChildWindows(uninstaller, FindVisibleTree, reinterpret_cast<LPARAM>(&components));
    }
    ASSERT_NE(components, nullptr) << "the components page did not show";
    EXPECT_EQ(SendMessageW(components, TVM_GETCOUNT, 0, 0), 2);
    auto program = reinterpret_cast<HTREEITEM>(SendMessageW(components, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    auto data = reinterpret_cast<HTREEITEM>(SendMessageW(components, TVM_GETNEXTITEM, TVGN_NEXT,
                                                         reinterpret_cast<LPARAM>(program)));
    // The setup library's check images: 1 is an empty box, 5 a ticked box the user cannot change.
    EXPECT_EQ(CheckImageOf(components, program), 5u) << "program files always go";
    EXPECT_EQ(CheckImageOf(components, data), 1u) << "the data folder's box is off";
    EXPECT_TRUE(TestSupport::SaveWindowImage(uninstaller, BuildFolder() + L"\\uninstall_components.png"));
    PostMessageW(uninstaller, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitForTemporaryCopies(20000)) << "cancelling ends the uninstaller";
    EXPECT_TRUE(Exists(installFolder_ + L"\\vtcon.exe")) << "a cancelled uninstall removes nothing";
}

}  // namespace
