#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "installer/SuiteBinaries.h"
#include "testing/TempFolder.h"

namespace {

const std::wstring kProduct = TEXT(VELA_PRODUCT_NAME);
const std::wstring kCompany = TEXT(VELA_COMPANY_NAME);

std::wstring Built(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    return program.substr(0, program.find_last_of(L'\\') + 1) + name;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(SuiteBinariesTest, RecognisesTheSuiteByProductAndMakerInTheVersionResource)
{
    EXPECT_TRUE(Setup::IsSuiteBinary(Built(L"vapcore.dll"), kProduct, kCompany));
    EXPECT_TRUE(Setup::IsSuiteBinary(Built(L"vtcon.exe"), kProduct, kCompany));
    EXPECT_FALSE(Setup::IsSuiteBinary(Built(L"vtcon.exe"), kProduct, L"Another maker"));
    // A library with a version resource of its own product.
    EXPECT_FALSE(Setup::IsSuiteBinary(Built(L"updater_test_v2.dll"), kProduct, kCompany));
    EXPECT_FALSE(Setup::IsSuiteBinary(Built(L"libwinpthread-1.dll"), kProduct, kCompany));
    EXPECT_FALSE(Setup::IsSuiteBinary(Built(L"missing.dll"), kProduct, kCompany));
}

TEST(SuiteBinariesTest, RemovesOnlyTheSuitesProgramsAndLibrariesDirectlyInTheFolder)
{
    TestSupport::TempFolder folder;
    ASSERT_TRUE(CopyFileW(Built(L"vapcore.dll").c_str(), (folder / L"vtnew.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(Built(L"vtcon.exe").c_str(), (folder / L"vtcon.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(Built(L"updater_test_v2.dll").c_str(), (folder / L"plugin.dll").c_str(), FALSE));
    folder.WriteFile(L"notes.txt", "the user's notes");
    ASSERT_TRUE(CreateDirectoryW((folder / L"sub").c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(Built(L"vtcon.exe").c_str(), (folder / L"sub\\vtcon.exe").c_str(), FALSE));

    EXPECT_TRUE(Setup::RemoveSuiteBinariesIn(folder.Path(), kProduct, kCompany).empty());

    EXPECT_FALSE(Exists(folder / L"vtnew.dll"));
    EXPECT_FALSE(Exists(folder / L"vtcon.exe"));
    EXPECT_TRUE(Exists(folder / L"plugin.dll"));
    EXPECT_TRUE(Exists(folder / L"notes.txt"));
    EXPECT_TRUE(Exists(folder / L"sub\\vtcon.exe"));
}

TEST(SuiteBinariesTest, ReportsASuiteFileThatCannotBeDeleted)
{
    TestSupport::TempFolder folder;
    ASSERT_TRUE(CopyFileW(Built(L"vapcore.dll").c_str(), (folder / L"vapcore.dll").c_str(), FALSE));
    HANDLE held = CreateFileW((folder / L"vapcore.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::vector<std::wstring> kept = Setup::RemoveSuiteBinariesIn(folder.Path(), kProduct, kCompany);
    CloseHandle(held);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0], L"vapcore.dll");
}

}  // namespace
