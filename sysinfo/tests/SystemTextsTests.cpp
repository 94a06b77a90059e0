// Size texts and the default browser, read below scratch keys that stand in for HKCU and HKLM.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Registry.h"
#include "sysinfo/DefaultBrowser.h"
#include "sysinfo/NetworkAdapters.h"
#include "sysinfo/SystemTexts.h"
#include "testing/ScratchRegistryKey.h"

namespace {

using Microsoft::Win32::Registry;
using Microsoft::Win32::RegistryKey;

// Two scratch trees: one read as the current user's, one as the machine's.
class DefaultBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_.reset(Registry::GetCurrentUser()->OpenSubKey(scratch_.Path().c_str(), true));
        ASSERT_NE(root_, nullptr);
        user_.reset(root_->CreateSubKey(L"user"));
        machine_.reset(root_->CreateSubKey(L"machine"));
    }

    void SetText(RegistryKey& root, const wchar_t* path, const wchar_t* name, const wchar_t* value)
    {
        std::unique_ptr<RegistryKey> key(root.CreateSubKey(path));
        key->SetValue(name, value);
    }
    void SetStartMenuBrowser(RegistryKey& root, const wchar_t* program)
    {
        SetText(root, L"Software\\Clients\\StartMenuInternet", L"", program);
    }
    std::string Browser() { return GetDefaultBrowser(*user_, *machine_).ToUtf8(); }

    TestSupport::ScratchRegistryKey scratch_;
    std::unique_ptr<RegistryKey> root_;
    std::unique_ptr<RegistryKey> user_;
    std::unique_ptr<RegistryKey> machine_;
};

}  // namespace

TEST(FormatSizeTest, SwitchesFromMegabytesToGigabytesAtOneGibibyte)
{
    EXPECT_EQ(FormatSize(0).ToUtf8(), "0.0 MB");
    EXPECT_EQ(FormatSize(1073741823).ToUtf8(), "1024.0 MB");
    EXPECT_EQ(FormatSize(1073741824).ToUtf8(), "1.0 GB");
    EXPECT_EQ(FormatSize(1610612736).ToUtf8(), "1.5 GB");
    // Beyond the 32-bit range: 6 GiB and 2 TiB.
    EXPECT_EQ(FormatSize(6442450944ULL).ToUtf8(), "6.0 GB");
    EXPECT_EQ(FormatSize(2199023255552ULL).ToUtf8(), "2048.0 GB");
}

TEST_F(DefaultBrowserTest, RecognisesKnownBrowsersInAnyCaseWithTheirVersions)
{
    SetText(*machine_, L"Software\\Mozilla\\Mozilla Firefox", L"CurrentVersion", L"115.3.1 (x64 ko)");
    SetStartMenuBrowser(*user_, L"FIREFOX.EXE");
    EXPECT_EQ(Browser(), "파이어폭스 115.3.1 (x64 ko)");

    SetText(*machine_, L"SOFTWARE\\Microsoft\\Internet Explorer", L"Version", L"8.0.6001.18702");
    SetStartMenuBrowser(*user_, L"IExplore.exe");
    EXPECT_EQ(Browser(), "인터넷 익스플로러 8.0.6001.18702");
    // From version 10 on the true version is svcVersion; Version stays at 9.x.
    SetText(*machine_, L"SOFTWARE\\Microsoft\\Internet Explorer", L"svcVersion", L"11.0.9600.17843");
    EXPECT_EQ(Browser(), "인터넷 익스플로러 11.0.9600.17843");

    SetStartMenuBrowser(*user_, L"Safari.exe");
    EXPECT_EQ(Browser(), "사파리 ");
    SetStartMenuBrowser(*user_, L"OPERA.EXE");
    EXPECT_EQ(Browser(), "오페라 ");
}

TEST_F(DefaultBrowserTest, ShowsAnUnknownProgramAsItselfFollowedByABlank)
{
    SetStartMenuBrowser(*user_, L"chrome.exe");
    EXPECT_EQ(Browser(), "chrome.exe ");
}

TEST_F(DefaultBrowserTest, FallsBackToTheMachineAndToUnknownWithoutAKey)
{
    EXPECT_EQ(Browser(), "알수없음 ");
    SetStartMenuBrowser(*machine_, L"firefox.exe");
    EXPECT_EQ(Browser(), "파이어폭스 ") << "no version value, no version";
    // A user's key that names nothing leaves the machine's choice in place.
    std::unique_ptr<RegistryKey> empty(user_->CreateSubKey(L"Software\\Clients\\StartMenuInternet"));
    EXPECT_EQ(Browser(), "파이어폭스 ");
    SetStartMenuBrowser(*user_, L"opera.exe");
    EXPECT_EQ(Browser(), "오페라 ");
}

TEST(NetworkTextsTest, DnsServersComeAdapterByAdapterEachOnceWithoutEmptyOnes)
{
    NetwrokInfo wired;
    wired.dnsServers = {L"10.0.0.53", L"", L"8.8.8.8"};
    NetwrokInfo wireless;
    wireless.dnsServers = {L"8.8.8.8", L"1.1.1.1", L"10.0.0.53"};
    NetwrokInfo none;
    System::Array<NetwrokInfo*> adapters({&wired, &none, &wireless});
    std::vector<std::string> servers;
    for (const System::String& server : GetDnsServers(adapters)) servers.push_back(server.ToUtf8());
    EXPECT_EQ(servers, (std::vector<std::string>{"10.0.0.53", "8.8.8.8", "1.1.1.1"}));
}
