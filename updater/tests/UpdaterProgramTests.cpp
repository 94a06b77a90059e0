#include <gtest/gtest.h>

#include <string>

#include "testing/HttpServer.h"
#include "testing/TempFolder.h"
#include "updater/FileVersionInfo.h"
#include "updater/UpdateCommandLineInfo.h"
#include "updater/UpdateDlg.h"
#include "testing/FileBytes.h"
#include "updater/tests/helpers/TestFiles.h"
#include "updater/tests/helpers/ZipWriter.h"

using TestSupport::HttpServer;
using UpdaterTests::ProgramFolder;
using TestSupport::ReadFileBytes;

namespace {

constexpr DWORD kProgramWait = 30000;
constexpr const wchar_t* kInstallFolder = L"Vela Toolbox";

// Runs vapup.exe with the parameters and returns its exit code, or -1 when it did not end in time.
int RunUpdater(const std::wstring& parameters)
{
    std::wstring commandLine = L"\"" + ProgramFolder() + L"\\vapup.exe\" " + parameters;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return -1;
    }
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, kProgramWait) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

HttpServer::Response Body(const std::string& body)
{
    HttpServer::Response response;
    response.body = body;
    return response;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

TEST(UpdateCommandLine, FillsFourPositionsInOrderAndIgnoresTheRest)
{
    CUpdateCommandLineInfo info;
    info.ParseParam(L"update", TRUE, FALSE);
    info.ParseParam(L"http://host/update.xml", FALSE, FALSE);
    info.ParseParam(L"C:\\Program Files\\Vela", FALSE, FALSE);
    info.ParseParam(L"C:\\Program Files\\Vela\\vtcon.exe", FALSE, FALSE);
    info.ParseParam(L"extra", FALSE, TRUE);
    EXPECT_EQ(CString(L"update"), info.GetCommand());
    EXPECT_EQ(CString(L"http://host/update.xml"), info.GetUrl());
    EXPECT_EQ(CString(L"C:\\Program Files\\Vela"), info.GetDirectory());
    EXPECT_EQ(CString(L"C:\\Program Files\\Vela\\vtcon.exe"), info.GetProgram());

    CUpdateCommandLineInfo two;
    two.ParseParam(L"_update", TRUE, FALSE);
    two.ParseParam(L"http://host/update.xml", FALSE, TRUE);
    EXPECT_EQ(CString(), two.GetDirectory());
    EXPECT_EQ(CString(), two.GetProgram());
}

TEST(UpdateWindow, ShowsOneFramePerFivePercentAndTheDoneFrameAtTheEnd)
{
    EXPECT_EQ(0, CUpdateDlg::FrameForPercent(0));
    EXPECT_EQ(0, CUpdateDlg::FrameForPercent(4));
    EXPECT_EQ(1, CUpdateDlg::FrameForPercent(5));
    EXPECT_EQ(19, CUpdateDlg::FrameForPercent(99));
    EXPECT_EQ(CUpdateDlg::kFrameDone, CUpdateDlg::FrameForPercent(100));
}

class UpdaterProgramTest : public ::testing::Test {
protected:
    UpdaterProgramTest()
    {
        v1_ = ReadFileBytes(ProgramFolder() + L"\\updater_test_v1.dll");
        v2_ = ReadFileBytes(ProgramFolder() + L"\\updater_test_v2.dll");
        UpdaterTests::ZipWriter writer;
        writer.AddFile("lib.dll", v2_);
        server_.Serve("/pkg/lib.zip", Body(writer.Build()));
        server_.Serve("/update.xml", Body("<update><objects><file name=\"lib.dll\" fileVersion=\"2.0.0.2\" "
                                          "url=\"pkg/lib.zip\" zipped=\"true\"/></objects></update>"));
        // A folder name with a space: the hand-over must keep each value whole.
        CreateDirectoryW(install_.c_str(), nullptr);
        target_.WriteFile(kInstallFolder + std::wstring(L"\\lib.dll"), v1_);
    }
    std::wstring Url(const std::string& query = "") const { return server_.Url("/update.xml" + query); }
    CString InstalledVersion() const { return CFileVersionInfo((install_ + L"\\lib.dll").c_str()).GetFileVersion(); }
    // The hand-over ends at once; the copy it starts works on its own.
    bool WaitForVersion(const CString& version) const
    {
        for (DWORD waited = 0; waited < kProgramWait; waited += 100) {
            if (InstalledVersion() == version) return true;
            Sleep(100);
        }
        return false;
    }

    HttpServer server_;
    TestSupport::TempFolder target_;
    const std::wstring install_ = target_ / kInstallFolder;
    std::string v1_;
    std::string v2_;
};

TEST_F(UpdaterProgramTest, CheckAnswersThroughTheExitCode)
{
    EXPECT_EQ(1, RunUpdater(L"check " + Quoted(Url()) + L" " + Quoted(install_)));
    EXPECT_EQ(0, RunUpdater(L"Check " + Quoted(Url("?case")) + L" " + Quoted(install_)));
    EXPECT_EQ(0, RunUpdater(L"check " + Quoted(server_.Url("/missing.xml")) + L" " + Quoted(install_)));
}

TEST_F(UpdaterProgramTest, UpdateReplacesTheLibraryStartsTheProgramAndCheckThenFindsNothing)
{
    std::wstring marker = install_ + L"\\started.txt";
    std::wstring program = ProgramFolder() + L"\\updater_test_marker.exe";
    EXPECT_EQ(0, RunUpdater(L"/update " + Quoted(Url()) + L" " + Quoted(install_) + L" " + Quoted(program)));
    ASSERT_TRUE(UpdaterTests::WaitForFile(marker, kProgramWait));
    EXPECT_EQ(CString(L"2.0.0.2"), InstalledVersion());
    std::string started = ReadFileBytes(marker);
    std::wstring directory(reinterpret_cast<const wchar_t*>(started.data()), started.size() / sizeof(wchar_t));
    EXPECT_EQ(0, _wcsicmp(install_.c_str(), directory.c_str())) << "started in the target directory";
    EXPECT_EQ(0, RunUpdater(L"check " + Quoted(Url("?after")) + L" " + Quoted(install_)));
}

TEST_F(UpdaterProgramTest, UpdateWithTwoValuesHandsOverAndStartsNothing)
{
    EXPECT_EQ(0, RunUpdater(L"-update " + Quoted(Url()) + L" " + Quoted(install_)));
    EXPECT_TRUE(WaitForVersion(L"2.0.0.2"));
    EXPECT_FALSE(UpdaterTests::FileExists(install_ + L"\\started.txt"));
}

}  // namespace
