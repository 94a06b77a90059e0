#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "core/Registry.h"
#include "sweeper/RegistryAppPathSweeper.h"
#include "sweeper/RegistryCLSIDSweeper.h"
#include "sweeper/RegistryPath.h"
#include "sweeper/RegistryProgIDSweeper.h"
#include "sweeper/RegistrySharedDllSweeper.h"
#include "sweeper/RegistrySweeper.h"
#include "sweeper/RegistryValueSweeper.h"
#include "testing/LibraryAssertions.h"
#include "testing/ScratchRegistryKey.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"

using Microsoft::Win32::Registry;
using Microsoft::Win32::RegistryKey;
using System::String;

namespace {

void SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr), ERROR_SUCCESS);
    RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>((value.size() + 1) * 2));
    RegCloseKey(handle);
}

bool KeyExists(HKEY root, const std::wstring& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

bool ValueExists(HKEY root, const std::wstring& key, const wchar_t* name)
{
    return RegGetValueW(root, key.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

template <class Leaf>
int Analyse(Leaf& leaf)
{
    leaf.Reset(false);
    leaf.Run(false);
    EXPECT_EQ(leaf.GetProgress(), 100);
    EXPECT_EQ(leaf.GetSize(), 0);
    return leaf.GetCount();
}

template <class Leaf>
int Sweep(Leaf& leaf)
{
    leaf.Reset(true);
    leaf.Run(true);
    return leaf.GetCount();
}

}  // namespace

TEST(OpenRegistryPathTest, RefusesMalformedPathsAndAbbreviatedRoots)
{
    for (const wchar_t* path : {L"HKEY_CURRENT_USER", L"\\Software", L"HKEY_CURRENT_USER\\", L"HKCU\\Software", L"hkey_current_user\\Software", L""}) {
        TestSupport::ExpectThrows<System::ArgumentException>([&] { delete OpenRegistryPath(path, false); });
    }
    std::unique_ptr<RegistryKey> software(OpenRegistryPath(L"HKEY_CURRENT_USER\\Software", false));
    EXPECT_NE(software, nullptr);
    EXPECT_EQ(std::unique_ptr<RegistryKey>(OpenRegistryPath(L"HKEY_CURRENT_USER\\Software\\Vela\\NoSuchKey", false)), nullptr);
}

TEST(RegistrySweeperTest, SweepEmptiesEveryListedKeyButKeepsTheKeysThemselves)
{
    TestSupport::ScratchRegistryKey scratch;
    std::wstring run = scratch.Path() + L"\\RunMRU", typed = scratch.Path() + L"\\TypedURLs";
    SetText(HKEY_CURRENT_USER, run, L"a", L"cmd\\1");
    SetText(HKEY_CURRENT_USER, run, L"MRUList", L"a");
    SetText(HKEY_CURRENT_USER, run + L"\\Sub\\Deeper", L"x", L"y");
    SetText(HKEY_CURRENT_USER, typed, L"url1", L"http://example.test/");
    String paths = String(scratch.FullPath() + L"\\RunMRU;") + L"HKCU\\Bad;" + String(scratch.FullPath() + L"\\Missing;") +
                   String(scratch.FullPath() + L"\\TypedURLs");
    RegistrySweeper sweeper(L"ExplorerRunMRU", paths);
    EXPECT_EQ(Analyse(sweeper), 2 + 1 + 1 + 1 + 1);  // two values, Sub, Deeper, Deeper's value, url1
    EXPECT_EQ(Sweep(sweeper), 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, run));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, typed));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, run + L"\\Sub"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, typed, L"url1"));
    EXPECT_EQ(Analyse(sweeper), 0);
}

TEST(RegistrySweeperTest, StopLetsTheCategorysRemainingItemsEndEarlyAndStartsNoLaterCategory)
{
    TestSupport::ScratchRegistryKey scratch;
    for (int i = 0; i < 5; ++i) SetText(HKEY_CURRENT_USER, scratch.Path() + L"\\One", std::to_wstring(i).c_str(), L"v");
    SetText(HKEY_CURRENT_USER, scratch.Path() + L"\\Two", L"v", L"v");
    SetText(HKEY_CURRENT_USER, scratch.Path() + L"\\Three", L"v", L"v");
    Sweeper root{String()};
    auto* first = new Sweeper(L"First");
    auto* later = new Sweeper(L"Later");
    root.AddChild(first);
    root.AddChild(later);
    auto* one = new RegistrySweeper(L"One", String(scratch.FullPath() + L"\\One"));
    auto* two = new RegistrySweeper(L"Two", String(scratch.FullPath() + L"\\Two"));
    auto* three = new RegistrySweeper(L"Three", String(scratch.FullPath() + L"\\Three"));
    first->AddChild(one);
    first->AddChild(two);
    later->AddChild(three);
    for (Sweeper* node : {first, later, static_cast<Sweeper*>(one), static_cast<Sweeper*>(two), static_cast<Sweeper*>(three)}) node->SetSelected(true);
    one->Progress.AddHandler(&root, [](System::Object* target, System::Object* sender) {
        if (static_cast<RegistrySweeper*>(sender)->GetCount() == -2) static_cast<Sweeper*>(target)->SetStopRequested(true);
    });
    root.Reset(true);
    root.Run(true);
    EXPECT_FALSE(root.IsDone());
    EXPECT_EQ(one->GetCount(), -3);  // the value in hand when the stop came is finished, the rest left
    EXPECT_TRUE(one->IsDone());
    EXPECT_TRUE(two->IsDone());      // started and ended early
    EXPECT_EQ(two->GetCount(), 0);
    EXPECT_FALSE(three->IsDone());   // never started
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, scratch.Path() + L"\\Three", L"v"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, scratch.Path() + L"\\Two", L"v"));
}

TEST(RegistryValueSweeperTest, HandlesEachValueSeparatelyAndCountsOnlyExistingOnes)
{
    TestSupport::ScratchRegistryKey scratch;
    std::wstring settings = scratch.Path() + L"\\Settings";
    SetText(HKEY_CURRENT_USER, settings, L"User ID", L"someone");
    SetText(HKEY_CURRENT_USER, settings, L"Other", L"keep");
    String paths = String(scratch.FullPath() + L"\\Settings\\User ID;") + String(scratch.FullPath() + L"\\Settings\\Pass;") +
                   String(scratch.FullPath() + L"\\Missing\\Pass;") + L"NoBackslash";
    RegistryValueSweeper sweeper(L"NateOnPassword", paths);
    EXPECT_EQ(Analyse(sweeper), 1);
    EXPECT_EQ(Sweep(sweeper), 0);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, settings, L"User ID"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, settings, L"Other"));
}

namespace {

// The four rule-based leaves work on fixed machine locations; entries are made with unique names
// and whatever else the test prefix holds is counted before and after.
class FixedLocationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring why = TestSupport::WhyDestructiveTestsAreRefused();
        if (!why.empty()) GTEST_SKIP() << std::string(why.begin(), why.end());
        existing = String(folder.WriteFile(L"present.dll", "MZ"));
        missing = String(folder / L"gone.dll");
    }

    TestSupport::TempFolder folder;
    String existing;
    String missing;
};

const std::wstring AppPaths = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::wstring ClassPrefix = L"CLSID\\{5EE0C0DE-0000-4000-8000-0000000000";

}  // namespace

TEST_F(FixedLocationTest, AppPathsWithAMissingProgramAreInvalidAndEmptyOnesValid)
{
    RegistryAppPathSweeper sweeper(L"AppPath");
    int before = Analyse(sweeper);
    SetText(HKEY_LOCAL_MACHINE, AppPaths + L"velagone.exe", L"", (L"\"" + missing + L"\" -x").GetStdString());
    SetText(HKEY_LOCAL_MACHINE, AppPaths + L"velahere.exe", L"", existing.GetStdString());
    SetText(HKEY_LOCAL_MACHINE, AppPaths + L"velaempty.exe", L"", L"");
    SetText(HKEY_LOCAL_MACHINE, AppPaths + L"velanodefault.exe", L"Path", L"C:\\nowhere");
    EXPECT_EQ(Analyse(sweeper), before + 1);
    Sweep(sweeper);
    EXPECT_EQ(Analyse(sweeper), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, AppPaths + L"velagone.exe"));
    for (const wchar_t* valid : {L"velahere.exe", L"velaempty.exe", L"velanodefault.exe"}) {
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, AppPaths + valid)) << valid;
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (AppPaths + valid).c_str());
    }
}

TEST_F(FixedLocationTest, ClassesAreInvalidOnlyForAFullPathToAMissingServer)
{
    RegistryCLSIDSweeper sweeper(L"CLSID");
    int before = Analyse(sweeper);
    SetText(HKEY_CLASSES_ROOT, ClassPrefix + L"01}\\InprocServer32", L"", missing.GetStdString());
    SetText(HKEY_CLASSES_ROOT, ClassPrefix + L"02}\\InprocServer32", L"", existing.GetStdString());
    SetText(HKEY_CLASSES_ROOT, ClassPrefix + L"03}\\InprocServer32", L"", L"velanowhere.dll");
    SetText(HKEY_CLASSES_ROOT, ClassPrefix + L"04}", L"", L"no server");
    EXPECT_EQ(Analyse(sweeper), before + 1);
    Sweep(sweeper);
    EXPECT_EQ(Analyse(sweeper), 0);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassPrefix + L"01}"));
    for (const wchar_t* valid : {L"02}", L"03}", L"04}"}) {
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, ClassPrefix + valid)) << valid;
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (ClassPrefix + valid).c_str());
    }
}

TEST_F(FixedLocationTest, ProgIDsNeedTheirClassWithOrWithoutBraces)
{
    const std::wstring classes = L"Software\\Classes\\";
    SetText(HKEY_CLASSES_ROOT, ClassPrefix + L"10}", L"", L"class");
    RegistryProgIDSweeper sweeper(L"ProgID");
    int before = Analyse(sweeper);
    SetText(HKEY_LOCAL_MACHINE, classes + L"Vela.Braced\\CLSID", L"", (ClassPrefix.substr(6) + L"10}"));
    SetText(HKEY_LOCAL_MACHINE, classes + L"Vela.Bare\\CLSID", L"", ClassPrefix.substr(7) + L"10");
    SetText(HKEY_LOCAL_MACHINE, classes + L"Vela.Gone\\CLSID", L"", ClassPrefix.substr(6) + L"11}");
    SetText(HKEY_LOCAL_MACHINE, classes + L"Vela.NoClass", L"", L"text");
    EXPECT_EQ(Analyse(sweeper), before + 1);
    Sweep(sweeper);
    EXPECT_EQ(Analyse(sweeper), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, classes + L"Vela.Gone"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, classes + L"CLSID"));
    for (const wchar_t* valid : {L"Vela.Braced", L"Vela.Bare", L"Vela.NoClass"}) {
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, classes + valid)) << valid;
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (classes + valid).c_str());
    }
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (ClassPrefix + L"10}").c_str());
}

TEST_F(FixedLocationTest, ClassesTableIsNeverCountedAsProcessedSoProgressStaysBelowHundredUntilDone)
{
    // With the classes table skipped, processed never reaches toProcess: the Progress events of
    // the pass all report less than 100 and only done makes it 100.
    RegistryProgIDSweeper sweeper(L"ProgID");
    int highest = 0;
    sweeper.Progress.AddHandler(reinterpret_cast<System::Object*>(&highest), [](System::Object* target, System::Object* sender) {
        int* high = reinterpret_cast<int*>(target);
        *high = std::max(*high, static_cast<Sweeper*>(sender)->GetProgress());
    });
    Analyse(sweeper);
    EXPECT_LT(highest, 100);
    EXPECT_GT(highest, 0);
}

TEST_F(FixedLocationTest, SharedDllCountsOfMissingFilesGo)
{
    const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
    RegistrySharedDllSweeper sweeper(L"SharedDll");
    int before = Analyse(sweeper);
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr), ERROR_SUCCESS);
    DWORD one = 1;
    RegSetValueExW(handle, missing.GetBuffer(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegSetValueExW(handle, existing.GetBuffer(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(handle);
    EXPECT_EQ(Analyse(sweeper), before + 1);
    Sweep(sweeper);
    EXPECT_EQ(Analyse(sweeper), 0);
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, key, missing.GetBuffer()));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, key, existing.GetBuffer()));
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), existing.GetBuffer());
}
