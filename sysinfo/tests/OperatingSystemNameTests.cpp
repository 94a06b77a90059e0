// The operating-system name from version records of every family, through CSysInfo's seam.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "sysinfo/SysInfo.h"

namespace {

OSVERSIONINFOEXW Record(DWORD major, DWORD minor, DWORD build, BYTE productType, const wchar_t* servicePack = L"",
                        WORD suites = 0, DWORD platform = VER_PLATFORM_WIN32_NT)
{
    OSVERSIONINFOEXW record = {};
    record.dwOSVersionInfoSize = sizeof record;
    record.dwMajorVersion = major;
    record.dwMinorVersion = minor;
    record.dwBuildNumber = build;
    record.dwPlatformId = platform;
    wcsncpy(record.szCSDVersion, servicePack, 127);
    record.wProductType = productType;
    record.wSuiteMask = suites;
    return record;
}

std::string NameOf(const OSVERSIONINFOEXW& record)
{
    CSysInfo info;
    info.SetOperatingSystem(record);
    return info.GetOSName().ToUtf8();
}

constexpr BYTE Workstation = VER_NT_WORKSTATION;
constexpr BYTE Server = VER_NT_SERVER;
constexpr BYTE DomainController = VER_NT_DOMAIN_CONTROLLER;

}  // namespace

TEST(OperatingSystemNameTest, NamesEachReleaseFromVistaOnAsWindowsDoesForClientAndServer)
{
    EXPECT_EQ(NameOf(Record(6, 0, 6002, Workstation)), "Windows Vista");
    EXPECT_EQ(NameOf(Record(6, 0, 6002, Server)), "Windows Server 2008");
    EXPECT_EQ(NameOf(Record(6, 1, 7600, Workstation)), "Windows 7");
    EXPECT_EQ(NameOf(Record(6, 1, 7600, DomainController)), "Windows Server 2008 R2");
    EXPECT_EQ(NameOf(Record(6, 2, 9200, Workstation)), "Windows 8");
    EXPECT_EQ(NameOf(Record(6, 2, 9200, Server)), "Windows Server 2012");
    EXPECT_EQ(NameOf(Record(6, 3, 9600, Workstation)), "Windows 8.1");
    EXPECT_EQ(NameOf(Record(6, 3, 9600, Server)), "Windows Server 2012 R2");
    EXPECT_EQ(NameOf(Record(10, 0, 19045, Workstation)), "Windows 10");
    EXPECT_EQ(NameOf(Record(10, 0, 21999, Workstation)), "Windows 10");
    EXPECT_EQ(NameOf(Record(10, 0, 22000, Workstation)), "Windows 11");
    EXPECT_EQ(NameOf(Record(10, 0, 26100, Workstation)), "Windows 11");
    EXPECT_EQ(NameOf(Record(10, 0, 14393, Server)), "Windows Server 2016");
    EXPECT_EQ(NameOf(Record(10, 0, 17763, Server)), "Windows Server 2019");
    EXPECT_EQ(NameOf(Record(10, 0, 20348, DomainController)), "Windows Server 2022");
    EXPECT_EQ(NameOf(Record(10, 0, 26100, Server)), "Windows Server 2025");
    // A version no release has keeps the name empty rather than guessing.
    EXPECT_EQ(NameOf(Record(6, 4, 9800, Workstation)), "");
    EXPECT_EQ(NameOf(Record(11, 0, 30000, Workstation)), "");
}

TEST(OperatingSystemNameTest, KeepsTheEditionWordsOfNt4And5)
{
    EXPECT_EQ(NameOf(Record(5, 1, 2600, Workstation, L"", VER_SUITE_PERSONAL)), "Windows XP Home Edition");
    EXPECT_EQ(NameOf(Record(5, 1, 2600, Workstation)), "Windows XP Professional Edition");
    EXPECT_EQ(NameOf(Record(5, 0, 2195, Workstation)), "Windows 2000 Professional");
    EXPECT_EQ(NameOf(Record(5, 0, 2195, Server, L"", VER_SUITE_ENTERPRISE)), "Windows 2000 Advanced Server");
    EXPECT_EQ(NameOf(Record(5, 2, 3790, Server, L"", VER_SUITE_DATACENTER | VER_SUITE_TERMINAL)),
              "Windows Server 2003 DataCenter Terminal Server");
    EXPECT_EQ(NameOf(Record(5, 0, 2195, DomainController, L"", VER_SUITE_BACKOFFICE)),
              "Windows 2000 BackOffice Server Domain Controller");
    // Later releases name client and server already; no edition words are added.
    EXPECT_EQ(NameOf(Record(6, 1, 7600, DomainController, L"", VER_SUITE_ENTERPRISE)), "Windows Server 2008 R2");
}

TEST(OperatingSystemNameTest, ServicePackRulesDecideTheNumberTheSuffixAndTheNt4EditionWords)
{
    CSysInfo info;
    info.SetOperatingSystem(Record(5, 1, 2600, Workstation, L"Service Pack 2"));
    EXPECT_EQ(info.GetServicePack(), 2);
    EXPECT_EQ(info.GetOSName().ToUtf8(), "Windows XP Professional Edition Service Pack 2");

    // The first digit tried from 1 to 9 wins, wherever it stands.
    info.SetOperatingSystem(Record(6, 0, 6002, Workstation, L"Service Pack 2, v.1"));
    EXPECT_EQ(info.GetServicePack(), 1);
    info.SetOperatingSystem(Record(6, 1, 7601, Workstation, L"Beta"));
    EXPECT_EQ(info.GetServicePack(), 0);
    EXPECT_EQ(info.GetOSName().ToUtf8(), "Windows 7") << "no number, no suffix";

    // NT 4.0 kept product type and suites only from Service Pack 6 on.
    EXPECT_EQ(NameOf(Record(4, 0, 1381, Workstation, L"Service Pack 5")), "Windows NT 4.0 Service Pack 5");
    EXPECT_EQ(NameOf(Record(4, 0, 1381, Workstation, L"Service Pack 6")), "Windows NT 4.0 Workstation Service Pack 6");
    EXPECT_EQ(NameOf(Record(4, 0, 1381, DomainController, L"Service Pack 6")),
              "Windows NT 4.0 Server Domain Controller Service Pack 6");
}

TEST(OperatingSystemNameTest, Windows9xAppendsItsServicePackTextDirectly)
{
    CSysInfo info;
    // The high word of a 9x build number repeats the version.
    info.SetOperatingSystem(Record(4, 10, 0x040A08AE, 0, L" A", 0, VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_FALSE(info.IsNT());
    EXPECT_EQ(info.GetOSName().ToUtf8(), "Windows 98 A");
    EXPECT_EQ(info.GetOSText().ToUtf8(), "Windows 98 A Build 2222 4.10");
    EXPECT_EQ(NameOf(Record(4, 0, 950, 0, L"", 0, VER_PLATFORM_WIN32_WINDOWS)), "Windows 95");
    EXPECT_EQ(NameOf(Record(4, 90, 3000, 0, L"", 0, VER_PLATFORM_WIN32_WINDOWS)), "Windows ME");
}

TEST(OperatingSystemNameTest, CollectNamesTheRunningSystemByItsTrueVersion)
{
    OSVERSIONINFOEXW truth = {};
    truth.dwOSVersionInfoSize = sizeof truth;
    auto getVersion = reinterpret_cast<LONG(WINAPI*)(OSVERSIONINFOEXW*)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(getVersion, nullptr);
    ASSERT_GE(getVersion(&truth), 0);

    CSysInfo info;
    info.Collect();
    EXPECT_EQ(info.GetMajor(), static_cast<int>(truth.dwMajorVersion));
    EXPECT_EQ(info.GetMinor(), static_cast<int>(truth.dwMinorVersion));
    EXPECT_EQ(info.GetBuild(), static_cast<int>(truth.dwBuildNumber));
    EXPECT_EQ(info.GetOSName().ToUtf8(), NameOf(truth));
    EXPECT_FALSE(info.GetOSName().IsEmpty()) << "every release the suite runs on has a name";
}
