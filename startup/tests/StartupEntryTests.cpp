#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "core/Environment.h"
#include "core/FileStream.h"
#include "startup/CVersion.h"
#include "startup/Category.h"
#include "startup/StartupEntry.h"
#include "startup/StartupEntryInfo.h"
#include "startup/tests/StartupTestSupport.h"
#include "testing/TempFolder.h"

using System::String;
using Vela::Win32::Autoruns::RegistryAutorunEntry;

namespace {

String ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    String full(path);
    return full.Substring(0, full.LastIndexOf(L'\\'));
}

String PlaceholderProgram() { return ProgramFolder() + L"\\startup_placeholder_program.exe"; }

std::unique_ptr<StartupEntry> EntryFor(const String& name, const String& commandLine, int enabled = 1)
{
    return std::unique_ptr<StartupEntry>(StartupEntry::FromAutorunEntry(
        new RegistryAutorunEntry(L"Logon.CurrentUser.Registry.Run", HKEY_CURRENT_USER, L"Software\\Run", 0, name, REG_SZ,
                                 commandLine),
        enabled));
}

TEST(FromAutorunEntryTests, TextsFollowTheProgramFile)
{
    auto missing = EntryFor(L"Gone", L"C:\\nowhere\\gone.exe /x");
    EXPECT_EQ(missing->GetManufacturer(), String(L"지정되지 않음"));
    EXPECT_EQ(missing->GetDescription(), String(L"존재하지 않는 항목입니다"));
    EXPECT_EQ(missing->GetCommandLineW(), String(L"존재하지 않는 항목입니다"));
    EXPECT_EQ(missing->GetRatingText(), String(L"지정되지 않음"));

    auto empty = EntryFor(L"Empty", L"");
    EXPECT_EQ(empty->GetImagePath(), String());
    EXPECT_EQ(empty->GetManufacturer(), String(L"지정되지 않음"));
    EXPECT_EQ(empty->GetDescription(), String(L"존재하지 않는 항목입니다"));

    TestSupport::TempFolder folder;
    String bare = String(folder.WriteFile(L"bare.exe", "MZ no resources").c_str());
    auto unversioned = EntryFor(L"Bare", L"\"" + bare + L"\" -q");
    EXPECT_EQ(unversioned->GetManufacturer(), String(L"Bare"));
    EXPECT_EQ(unversioned->GetDescription(), String(L"Bare"));
    EXPECT_EQ(unversioned->GetCommandLineW(), L"\"" + bare + L"\" -q");

    auto placeholder = EntryFor(L"Placeholder", PlaceholderProgram() + L" /tray");
    EXPECT_EQ(placeholder->GetManufacturer(), String(L"Placeholder"));
    EXPECT_EQ(placeholder->GetDescription(), String(L"시작할 때 도는 도구"));
    EXPECT_EQ(placeholder->GetRating(), -3);
    EXPECT_EQ(placeholder->GetEnabled(), 1);
    EXPECT_EQ(placeholder->GetDomain(), String(L"Logon.CurrentUser.Registry.Run"));
}

TEST(FromAutorunEntryTests, ProgramInformationOverridesRatingAndDescriptionOfItsNameOnly)
{
    StartupTestSupport::ProgramInfoScope scope;
    ProgramInfoTable::Add(new StartupEntryInfo(L"Known", 2, String()));
    ProgramInfoTable::Add(new StartupEntryInfo(L"Other", -2, L"다른 것"));
    auto known = EntryFor(L"Known", PlaceholderProgram());
    auto unknown = EntryFor(L"Unknown", PlaceholderProgram());
    known->ApplyProgramInfo();
    unknown->ApplyProgramInfo();
    EXPECT_EQ(known->GetRating(), 2);
    EXPECT_TRUE(known->IsEssential());
    EXPECT_EQ(known->GetDescription(), String());
    EXPECT_EQ(unknown->GetRating(), -3);
    EXPECT_EQ(unknown->GetDescription(), String(L"시작할 때 도는 도구"));
}

TEST(CVersionTests, ReadsTheTextsOfTheFirstTranslation)
{
    CVersion version(PlaceholderProgram());
    ASSERT_TRUE(version.Load());
    EXPECT_EQ(version.GetFileVersionInfoText(L"CompanyName"), String(L"TODO: <회사 이름>"));
    EXPECT_EQ(version.GetFileVersionInfoText(L"ProductName"), String(L"Placeholder"));
    EXPECT_EQ(version.GetFileVersionInfoText(L"LegalCopyright"), String());

    TestSupport::TempFolder folder;
    CVersion none(String(folder.WriteFile(L"plain.dll", "plain").c_str()));
    EXPECT_FALSE(none.Load());
    EXPECT_FALSE(CVersion(L"C:\\nowhere\\gone.dll").Load());
}

TEST(RatingTests, EachRatingHasItsText)
{
    EXPECT_EQ(StartupEntry::GetRatingText(-3), String(L"지정되지 않음"));
    EXPECT_EQ(StartupEntry::GetRatingText(-2), String(L"매우 위험"));
    EXPECT_EQ(StartupEntry::GetRatingText(-1), String(L"위험"));
    EXPECT_EQ(StartupEntry::GetRatingText(0), String(L"보통"));
    EXPECT_EQ(StartupEntry::GetRatingText(1), String(L"안전"));
    EXPECT_EQ(StartupEntry::GetRatingText(2), String(L"필수"));
    EXPECT_EQ(StartupEntry::GetRatingText(3), String());
    EXPECT_EQ(StartupEntry::GetRatingText(-4), String());
}

TEST(CategoryTests, DomainsReadInColumnAndCaptionForm)
{
    EXPECT_EQ(Category::FormatCategoryColumn(L"Logon.CurrentUser.Startup"), String(L"현재 사용자/시작 폴더"));
    EXPECT_EQ(Category::FormatCategoryColumn(L"Logon.AllUser.Registry.Run"), String(L"모든 사용자/레지스트리/Run"));
    EXPECT_EQ(Category::FormatCategoryCaption(L"Logon"), String(L"전체"));
    EXPECT_EQ(Category::FormatCategoryCaption(L"Logon.AllUser"), String(L"모든 사용자"));
    EXPECT_EQ(Category::FormatCategoryCaption(L"Logon.CurrentUser.Registry"), String(L"현재 사용자/레지스트리"));
    EXPECT_EQ(Category::FormatCategoryCaption(L"Logon.AllUser.Startup"), String(L"모든 사용자/시작 폴더"));
}

TEST(CategoryTests, TreePathsTurnBackIntoCategories)
{
    EXPECT_EQ(Category::FromTreePath({L"전체"}), String(L"Logon"));
    EXPECT_EQ(Category::FromTreePath({L"전체", L"모든 사용자", L"레지스트리"}), String(L"Logon.AllUser.Registry"));
    EXPECT_EQ(Category::FromTreePath({L"전체", L"현재 사용자", L"시작 폴더"}), String(L"Logon.CurrentUser.Startup"));
}

TEST(StartupEntryRecordTests, RecordsCarryTheFlagAndTheRegistration)
{
    TestSupport::TempFolder folder;
    String path = String((folder / L"records.bin").c_str());
    auto disabled = EntryFor(L"First", L"a.exe", 0);
    auto enabled = EntryFor(L"Second", L"b.exe /b", 1);
    {
        System::IO::FileStream file(path, 1, 2);
        disabled->Serialize(&file);
        enabled->Serialize(&file);
        file.Close();
    }
    System::IO::FileStream file(path, 3, 1);
    std::unique_ptr<StartupEntry> first(StartupEntry::Deserialize(&file));
    std::unique_ptr<StartupEntry> second(StartupEntry::Deserialize(&file));
    EXPECT_EQ(first->GetEnabled(), 0);
    EXPECT_EQ(first->GetName(), String(L"First"));
    EXPECT_EQ(second->GetEnabled(), 1);
    EXPECT_EQ(second->GetAutorunEntry()->GetCommandLineW(), String(L"b.exe /b"));
    EXPECT_TRUE(StartupEntry::IsSameEntry(second.get(), enabled.get()));
    EXPECT_FALSE(StartupEntry::IsSameEntry(first.get(), enabled.get()));
}

}  // namespace
