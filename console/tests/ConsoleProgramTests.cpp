#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Application.h"
#include "core/String.h"
#include "core/UniqueResource.h"
#include "testing/TempFolder.h"

namespace {

using System::String;

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }
std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring ThisProgram()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// Copied beside the console as its updater, this program answers as vapup does: it appends its
// command line to updater.txt beside itself and ends with 1 ("an update is due") for check.
bool ActAsUpdater()
{
    std::wstring self = ThisProgram();
    if (_wcsicmp(FileName(self).c_str(), L"vapup.exe") != 0) return false;
    std::wstring commandLine = GetCommandLineW();
    std::string line = String(commandLine.c_str()).ToUtf8() + "\n";
    System::UniqueHandle log(CreateFileW((Folder(self) + L"\\updater.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (log) WriteFile(log.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    log.Reset();
    ExitProcess(commandLine.find(L" check ") != std::wstring::npos ? 1 : 0);
}

const bool actedAsUpdater = ActAsUpdater();

template <class Done>
bool WaitUntil(Done done, DWORD timeoutMs = 20000)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    // The console's tools are windows it owns; the console itself and its question have no owner.
    if (owner != search->processId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) ||
        wcscmp(className, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

// The console program, copied into a folder of its own beside a catalogue with the test add-on.
class ConsoleProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(actedAsUpdater);
        bin_ = Folder(ThisProgram());
        console_ = folder_ / L"vtcon.exe";
        ASSERT_TRUE(CopyFileW((bin_ + L"\\vtcon.exe").c_str(), console_.c_str(), FALSE));
        std::wstring addon = bin_ + L"\\console_test_addon.dll";
        folder_.WriteFile(L"vtaddons3.xml",
                          String((L"<addons><item><id>01</id><name>시험 도구</name><category>시험</category>"
                                  L"<moduleFileName>" + addon + L"</moduleFileName></item></addons>").c_str())
                              .ToUtf8());
        moments_ = folder_ / L"moments.txt";
        SetEnvironmentVariableW(L"VTCON_MOMENTS_FILE", moments_.c_str());
        wchar_t path[32767];
        DWORD length = GetEnvironmentVariableW(L"PATH", path, 32767);
        savedPath_ = length > 0 && length < 32767 ? path : L"";
        // The copy finds the suite's libraries where the tests are.
        SetEnvironmentVariableW(L"PATH", (bin_ + L";" + savedPath_).c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"VTCON_MOMENTS_FILE", nullptr);
        SetEnvironmentVariableW(L"PATH", savedPath_.c_str());
        if (process_) {
            TerminateProcess(process_.Get(), 1);
            WaitForSingleObject(process_.Get(), 5000);
        }
    }

    void Start(const std::wstring& arguments)
    {
        std::wstring commandLine = L"\"" + console_ + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessW(console_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder_.Path().c_str(), &startup, &process))
            << GetLastError();
        process_.Reset(process.hProcess);
        CloseHandle(process.hThread);
        processId_ = process.dwProcessId;
    }
    bool Reported(const char* moment)
    {
        std::string text = ReadShared(moments_);
        return text.find(std::string(moment) + " ") != std::string::npos;
    }
    HWND VisibleWindow(const wchar_t* className)
    {
        WindowSearch search{processId_, className, nullptr};
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // Ends the console as the task bar's close does, and returns its exit code.
    DWORD Close()
    {
        HWND console = VisibleWindow(L"#32770");
        EXPECT_NE(console, nullptr);
        if (console) PostMessageW(console, WM_CLOSE, 0, 0);
        return WaitForExit();
    }
    DWORD WaitForExit()
    {
        EXPECT_EQ(WaitForSingleObject(process_.Get(), 20000), WAIT_OBJECT_0);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.Get(), &code);
        process_.Reset();
        return code;
    }
    static std::string ReadShared(const std::wstring& path)
    {
        System::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::string bytes;
        char buffer[4096];
        DWORD read = 0;
        while (file && ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
            bytes.append(buffer, read);
        return bytes;
    }
    void InstallUpdater() { ASSERT_TRUE(CopyFileW(ThisProgram().c_str(), (folder_ / L"vapup.exe").c_str(), FALSE)); }
    // Answers the console's update question.
    void Answer(int button)
    {
        HWND question = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (question = VisibleWindow(L"#32770")) != nullptr; }));
        wchar_t text[256] = {};
        GetDlgItemTextW(question, 0xFFFF, text, 256);
        EXPECT_STREQ(text, L"새로운 버전의 소프트웨어가 사용 가능합니다. 업데이트하시겠습니까?");
        PostMessageW(question, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
    std::string UpdateAddress() const
    {
        String server = System::Application::GetServerUrl(System::Application::Server::Update);
        return (server + L"/app/vt/update.xml").ToUtf8();
    }

    TestSupport::TempFolder folder_;
    std::wstring bin_;
    std::wstring console_;
    std::wstring moments_;
    std::wstring savedPath_;
    System::UniqueHandle process_;
    DWORD processId_ = 0;
};

TEST_F(ConsoleProgramTest, OpensTheToolOfItsCommandLineLogsAndEndsCleanly)
{
    Start(L" 01 ");
    ASSERT_TRUE(WaitUntil([&] { return Reported("tool"); }));
    EXPECT_TRUE(Reported("home"));
    EXPECT_EQ(Close(), 0u);

    std::string log = ReadShared(folder_ / L"vtcon.exe.log");
    EXPECT_NE(log.find("\n01 \r\n"), std::string::npos) << "the command line is traced as given: " << log;
}

TEST_F(ConsoleProgramTest, DeclinedUpdateLeavesTheConsoleRunning)
{
    InstallUpdater();
    Start(L"");
    Answer(IDNO);
    ASSERT_TRUE(WaitUntil([&] { return Reported("home"); }));
    EXPECT_EQ(Close(), 0u);
    std::string calls = folder_.ReadFile(L"updater.txt");
    EXPECT_NE(calls.find(" check \"" + UpdateAddress() + "\" \"" + String(folder_.Path().c_str()).ToUtf8() + "\""),
              std::string::npos)
        << calls;
    EXPECT_EQ(calls.find(" update "), std::string::npos);
}

TEST_F(ConsoleProgramTest, AcceptedUpdateHandsOverToTheUpdaterAndEnds)
{
    InstallUpdater();
    Start(L"");
    Answer(IDYES);
    WaitForExit();
    EXPECT_FALSE(Reported("home")) << "the console's window never opens";
    std::string calls;
    EXPECT_TRUE(WaitUntil([&] {
        calls = ReadShared(folder_ / L"updater.txt");
        return calls.find(" update ") != std::string::npos;
    }));
    EXPECT_NE(calls.find(" update \"" + UpdateAddress() + "\" \"" + String(folder_.Path().c_str()).ToUtf8() + "\" \"" +
                         String(console_.c_str()).ToUtf8() + "\""),
              std::string::npos)
        << calls;
}

}  // namespace
