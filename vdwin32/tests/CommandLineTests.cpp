#include <gtest/gtest.h>

#include <windows.h>

#include "core/String.h"
#include "testing/TempFolder.h"
#include "vdwin32/CommandLine.h"

using System::String;
using Vela::Win32::CommandLine;

namespace {

bool Exists(const String& line, const String& baseFolder = String()) { return CommandLine(line, baseFolder).Exists(); }

class CommandLineTest : public ::testing::Test {
protected:
    CommandLineTest()
    {
        folder.WriteFile(L"tool.exe", "MZ");
        CreateDirectoryW((folder / L"Program Files").c_str(), nullptr);
        folder.WriteFile(L"Program Files\\my app.exe", "MZ");
        folder.WriteFile(L"Program Files\\server.dll", "MZ");
    }
    String Path(const wchar_t* name) const { return String(folder / name); }

    TestSupport::TempFolder folder;
};

}  // namespace

TEST_F(CommandLineTest, FindsQuotedAndUnquotedProgramsWithArguments)
{
    EXPECT_TRUE(Exists(L"\"" + Path(L"Program Files\\my app.exe") + L"\" /run \"x y\""));
    EXPECT_TRUE(Exists(Path(L"Program Files\\my app.exe") + L" -x"));
    EXPECT_TRUE(Exists(Path(L"Program Files\\server.dll")));
    EXPECT_TRUE(Exists(L"  " + Path(L"tool.exe") + L"  "));
    EXPECT_TRUE(Exists(Path(L"tool") + L" /s"));  // the loader's ".exe"
}

TEST_F(CommandLineTest, ReportsMissingProgramsFoldersAndEmptyText)
{
    EXPECT_FALSE(Exists(Path(L"gone.exe")));
    EXPECT_FALSE(Exists(L"\"" + Path(L"Program Files\\gone.exe") + L"\" " + Path(L"tool.exe")));
    EXPECT_FALSE(Exists(Path(L"gone.exe") + L" " + Path(L"tool.exe")));
    EXPECT_FALSE(Exists(Path(L"Program Files")));
    EXPECT_FALSE(Exists(L""));
    EXPECT_FALSE(Exists(L"\"\""));
}

TEST_F(CommandLineTest, ExpandsEnvironmentReferences)
{
    ASSERT_TRUE(SetEnvironmentVariableW(L"VELA_CMDLINE_TEST", folder.Path().c_str()));
    EXPECT_TRUE(Exists(L"\"%VELA_CMDLINE_TEST%\\Program Files\\my app.exe\" -q"));
    EXPECT_FALSE(Exists(L"%VELA_CMDLINE_TEST%\\missing.exe"));
    EXPECT_TRUE(Exists(L"%SystemRoot%\\system32\\kernel32.dll"));
    SetEnvironmentVariableW(L"VELA_CMDLINE_TEST", nullptr);
}

TEST_F(CommandLineTest, FindsBareNamesOnTheSearchPathAndInTheBaseFolder)
{
    EXPECT_TRUE(Exists(L"rundll32.exe shell32.dll,Control_RunDLL"));
    EXPECT_TRUE(Exists(L"notepad %1"));
    EXPECT_TRUE(Exists(L"kernel32.dll"));
    EXPECT_FALSE(Exists(L"no-such-program-anywhere.exe /x"));
    EXPECT_FALSE(Exists(L"tool.exe"));
    EXPECT_TRUE(Exists(L"tool.exe", String(folder.Path())));
    EXPECT_TRUE(Exists(L"\"my app.exe\" -x", String(folder / L"Program Files")));
}
