#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/UniqueResource.h"
#include "installer/RunningPrograms.h"
#include "testing/TempFolder.h"

namespace {

using Setup::RunningProgram;
using System::UniqueHandle;

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    return program.substr(0, program.find_last_of(L'\\'));
}

bool Lists(const std::vector<RunningProgram>& programs, DWORD processId)
{
    return std::any_of(programs.begin(), programs.end(),
                       [&](const RunningProgram& program) { return program.processId == processId; });
}

// Copies of the test window program started from a folder of their own; whatever still runs at
// the end is ended.
class RunningProgramsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = temp_ / L"Vela Toolbox";
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((folder_ + L"\\sub").c_str(), nullptr));
    }
    void TearDown() override
    {
        for (UniqueHandle& process : processes_) {
            if (WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
                TerminateProcess(process.Get(), 9);
                WaitForSingleObject(process.Get(), 5000);
            }
        }
    }

    // Starts a copy of the window program at path; returns its process id once its window is up.
    DWORD Start(const std::wstring& path, const wchar_t* argument = L"")
    {
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            EXPECT_TRUE(CopyFileW((ProgramFolder() + L"\\setup_test_window.exe").c_str(), path.c_str(), TRUE));
        }
        return Run(L"\"" + path + L"\" " + argument);
    }
    DWORD Run(std::wstring commandLine)
    {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            ADD_FAILURE() << "cannot start a program, error " << GetLastError();
            return 0;
        }
        CloseHandle(process.hThread);
        processes_.emplace_back(process.hProcess);
        WaitForInputIdle(process.hProcess, 10000);
        return process.dwProcessId;
    }
    DWORD ExitCodeOf(std::wstring commandLine)
    {
        Run(std::move(commandLine));
        HANDLE process = processes_.back().Get();
        EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process, &code);
        return code;
    }
    bool HasEnded(DWORD processId)
    {
        UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
        return !process || WaitForSingleObject(process.Get(), 5000) == WAIT_OBJECT_0;
    }

    TestSupport::TempFolder temp_;
    std::wstring folder_;
    std::vector<UniqueHandle> processes_;
};

TEST(RunningProgramsFolderTest, ComparesWholeFolderNamesWithoutCase)
{
    const std::wstring folder = L"C:\\Program Files\\Vela Toolbox";
    EXPECT_TRUE(Setup::IsInFolder(L"C:\\Program Files\\Vela Toolbox\\vtcon.exe", folder));
    EXPECT_TRUE(Setup::IsInFolder(L"c:\\PROGRAM FILES\\vela toolbox\\icons\\x.exe", folder));
    EXPECT_TRUE(Setup::IsInFolder(L"C:\\Program Files\\Vela Toolbox\\vtcon.exe", folder + L"\\"));
    EXPECT_FALSE(Setup::IsInFolder(L"C:\\Program Files\\Vela Toolbox 2\\vtcon.exe", folder));
    EXPECT_FALSE(Setup::IsInFolder(L"C:\\Program Files\\Vela\\vtcon.exe", folder));
    EXPECT_FALSE(Setup::IsInFolder(L"C:\\Windows\\notepad.exe", folder));
    EXPECT_TRUE(Setup::IsInFolder(L"C:\\Program Files\\Vela Toolbox\\..\\Vela Toolbox\\vtcon.exe", folder));
}

TEST_F(RunningProgramsTest, FindsOnlyProgramsStartedFromTheFolderOrBelowIt)
{
    DWORD inside = Start(folder_ + L"\\sub\\tool.exe");
    DWORD outside = Start(temp_ / L"tool.exe");
    std::vector<RunningProgram> found = Setup::FindProgramsIn(folder_);
    EXPECT_TRUE(Lists(found, inside));
    EXPECT_FALSE(Lists(found, outside));
    EXPECT_FALSE(Lists(found, GetCurrentProcessId()));
    EXPECT_TRUE(Setup::FindProgramsIn(temp_ / L"Vela").empty());
}

TEST_F(RunningProgramsTest, ClosesProgramsThatAgreeAndReportsOnesThatRefuseWithoutEndingThem)
{
    DWORD agrees = Start(folder_ + L"\\vtcon.exe");
    DWORD refuses = Start(folder_ + L"\\sub\\busy.exe", L"stay");
    std::vector<RunningProgram> running = Setup::CloseProgramsIn(folder_, 5000);
    EXPECT_TRUE(HasEnded(agrees));
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0].processId, refuses);
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, refuses));
    ASSERT_TRUE(process);
    EXPECT_EQ(WaitForSingleObject(process.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "it was not ended by force";
}

TEST_F(RunningProgramsTest, HelperProgramAnswersThroughItsExitCode)
{
    std::wstring helper = L"\"" + ProgramFolder() + L"\\setuphelper.exe\" ";
    std::wstring folderArgument = L"\"" + folder_ + L"\"";
    EXPECT_EQ(ExitCodeOf(helper + L"query " + folderArgument), 0u);
    DWORD console = Start(folder_ + L"\\vtcon.exe");
    EXPECT_EQ(ExitCodeOf(helper + L"query " + folderArgument), 1u);
    EXPECT_EQ(ExitCodeOf(helper + L"close " + folderArgument), 0u);
    EXPECT_TRUE(HasEnded(console));
    EXPECT_EQ(ExitCodeOf(helper + L"query " + folderArgument), 0u);
    EXPECT_EQ(ExitCodeOf(helper + L"remove " + folderArgument), 2u);
    EXPECT_EQ(ExitCodeOf(helper + L"query"), 2u);
}

}  // namespace
