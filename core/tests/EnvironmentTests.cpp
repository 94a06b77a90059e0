#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "core/Environment.h"
#include "core/OperatingSystem.h"
#include "testing/LibraryAssertions.h"

using System::Environment;
using System::String;
using TestSupport::ExpectThrows;

namespace {

String Folder(int code) { return Environment::GetFolderPath(code); }

bool IsUnder(const String& path, const String& folder)
{
    return !folder.IsEmpty() && path.StartsWith(folder + L"\\", true);
}

String PlatformExpand(const wchar_t* text)
{
    wchar_t buffer[1024];
    DWORD length = ExpandEnvironmentStringsW(text, buffer, 1024);
    return length ? String(buffer) : String();
}

TEST(EnvironmentTest, EveryFolderCodeButMyComputerHasAnAbsolutePathWithoutTrailingBackslash)
{
    std::map<String, int> seen;
    for (int code = 0; code <= 28; ++code) {
        String path = Folder(code);
        if (code == Environment::MyComputer) {
            EXPECT_TRUE(path.IsEmpty()) << path.ToUtf8();
            continue;
        }
        ASSERT_GE(path.GetLength(), 3) << "code " << code;
        EXPECT_EQ(path.Substring(1, 2), String(L":\\")) << path.ToUtf8();
        EXPECT_FALSE(path.EndsWith(L"\\")) << path.ToUtf8();
        // Only the desktop and its directory are the same folder.
        auto previous = seen.emplace(path.ToLower(), code);
        if (!previous.second) {
            EXPECT_TRUE(previous.first->second == Environment::Desktop && code == Environment::DesktopDirectory)
                << "codes " << previous.first->second << " and " << code << " share " << path.ToUtf8();
        }
    }
}

TEST(EnvironmentTest, FolderCodesNameTheirShellFolders)
{
    wchar_t buffer[MAX_PATH];
    GetWindowsDirectoryW(buffer, MAX_PATH);
    EXPECT_TRUE(Folder(Environment::Windows).Equals(buffer, true));
    GetSystemDirectoryW(buffer, MAX_PATH);
    EXPECT_TRUE(Folder(Environment::System).Equals(buffer, true));
    const std::pair<int, const wchar_t*> variables[] = {
        {Environment::UserProfile, L"USERPROFILE"},   {Environment::ApplicationData, L"APPDATA"},
        {Environment::LocalApplicationData, L"LOCALAPPDATA"}, {Environment::ProgramFiles, L"ProgramFiles"},
        {Environment::CommonProgramFiles, L"CommonProgramFiles"}, {Environment::CommonApplicationData, L"ProgramData"},
    };
    for (const auto& variable : variables) {
        EXPECT_TRUE(Folder(variable.first).Equals(Environment::GetEnvironmentVariable(variable.second), true))
            << Folder(variable.first).ToUtf8();
    }

    EXPECT_TRUE(IsUnder(Folder(Environment::Programs), Folder(Environment::StartMenu)));
    EXPECT_TRUE(IsUnder(Folder(Environment::Startup), Folder(Environment::Programs)));
    EXPECT_TRUE(IsUnder(Folder(Environment::CommonPrograms), Folder(Environment::CommonStartMenu)));
    EXPECT_TRUE(IsUnder(Folder(Environment::CommonStartup), Folder(Environment::CommonPrograms)));
    String profile = Folder(Environment::UserProfile);
    for (int code : {0, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 15, 16, 17, 18, 19, 21})
        EXPECT_TRUE(IsUnder(Folder(code), profile)) << "code " << code << ": " << Folder(code).ToUtf8();
    for (int code : {1, 2, 14, 20, 22, 23, 24, 25, 26, 27})
        EXPECT_FALSE(IsUnder(Folder(code), profile)) << "code " << code << ": " << Folder(code).ToUtf8();
}

TEST(EnvironmentTest, FolderCodeOutsideTheRangeRaises)
{
    ExpectThrows<System::ArgumentOutOfRangeException>([] { Environment::GetFolderPath(-1); });
    ExpectThrows<System::ArgumentOutOfRangeException>([] { Environment::GetFolderPath(29); });
}

TEST(EnvironmentTest, ExpandsLikeThePlatform)
{
    SetEnvironmentVariableW(L"VELA_ENV_A", L"가나");
    SetEnvironmentVariableW(L"VELA_ENV_B", L"C:\\b");
    for (const wchar_t* text : {L"%VELA_ENV_A%\\x", L"%vela_env_a%", L"100%", L"%%", L"%%VELA_ENV_A%%", L"%VELA_UNSET%",
                                L"a%VELA_UNSET%VELA_ENV_B%", L"%VELA_ENV_A%%VELA_ENV_B%", L"%VELA_ENV_A", L"", L"%"})
        EXPECT_EQ(Environment::ExpandEnvironmentVariables(text).ToUtf8(), PlatformExpand(text).ToUtf8());
    EXPECT_EQ(Environment::ExpandEnvironmentVariables(L"%VELA_ENV_A%\\%VELA_UNSET%"), String(L"가나\\%VELA_UNSET%"));
    SetEnvironmentVariableW(L"VELA_ENV_A", nullptr);
    SetEnvironmentVariableW(L"VELA_ENV_B", nullptr);
}

TEST(EnvironmentTest, ReadsVariablesOfAnyLength)
{
    std::wstring value(32000, L'값');
    SetEnvironmentVariableW(L"VELA_ENV_LONG", value.c_str());
    EXPECT_EQ(Environment::GetEnvironmentVariable(L"VELA_ENV_LONG"), String(value));
    EXPECT_EQ(Environment::ExpandEnvironmentVariables(L"%VELA_ENV_LONG%|%VELA_ENV_LONG%").GetLength(), 64001);
    SetEnvironmentVariableW(L"VELA_ENV_LONG", nullptr);
    EXPECT_TRUE(Environment::GetEnvironmentVariable(L"VELA_ENV_LONG").IsEmpty());
    EXPECT_TRUE(Environment::GetEnvironmentVariable(L"").IsEmpty());
}

TEST(EnvironmentTest, OperatingSystemIsNtWithServicePackInTheRevision)
{
    const System::OperatingSystem* os = Environment::GetOSVersion();
    ASSERT_NE(os, nullptr);
    EXPECT_EQ(os, Environment::GetOSVersion());
    EXPECT_EQ(os->GetPlatform(), System::Win32NT);
    OSVERSIONINFOEXW reported = {};
    reported.dwOSVersionInfoSize = sizeof reported;
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&reported)));
    System::Version version = os->GetVersion();
    EXPECT_GE(version.GetMajor(), 5);
    // GetVersionEx may report an older system than the true one, never a newer one.
    EXPECT_GE(version.GetBuild(), static_cast<int>(reported.dwBuildNumber));
    EXPECT_EQ(version.GetRevision(), (reported.wServicePackMajor << 16) | reported.wServicePackMinor);
    EXPECT_EQ(os->GetServicePack(), String(reported.szCSDVersion));
    String text = os->ToString();
    EXPECT_TRUE(text.StartsWith(L"Microsoft Windows NT ")) << text.ToUtf8();
    if (!os->GetServicePack().IsEmpty()) {
        EXPECT_TRUE(text.EndsWith(L" " + os->GetServicePack())) << text.ToUtf8();
    }
}

}  // namespace
