#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "core/Registry.h"
#include "core/Win32Exception.h"
#include "testing/LibraryAssertions.h"
#include "testing/ScratchRegistryKey.h"

using Microsoft::Win32::Registry;
using Microsoft::Win32::RegistryKey;
using Microsoft::Win32::Win32Exception;
using System::Array;
using System::String;
using TestSupport::ExpectThrows;

namespace {

std::vector<String> Sorted(const Array<String>& names)
{
    std::vector<String> sorted(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetRaw(const wchar_t* name, DWORD kind, const void* data, DWORD size)
    {
        ASSERT_EQ(RegSetValueExW(scratch.Handle(), name, 0, kind, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    DWORD RawKind(const wchar_t* name)
    {
        DWORD kind = REG_NONE;
        EXPECT_EQ(RegQueryValueExW(scratch.Handle(), name, nullptr, &kind, nullptr, nullptr), ERROR_SUCCESS);
        return kind;
    }

    TestSupport::ScratchRegistryKey scratch;
    std::unique_ptr<RegistryKey> key{Registry::GetCurrentUser()->OpenSubKey(scratch.Path(), true)};
};

TEST(RegistryTest, RootsAreSharedNamedAndSurviveClose)
{
    EXPECT_EQ(Registry::GetCurrentUser(), Registry::GetCurrentUser());
    EXPECT_EQ(Registry::GetClassesRoot()->GetName(), String(L"HKEY_CLASSES_ROOT"));
    EXPECT_EQ(Registry::GetCurrentUser()->GetName(), String(L"HKEY_CURRENT_USER"));
    EXPECT_EQ(Registry::GetLocalMachine()->GetName(), String(L"HKEY_LOCAL_MACHINE"));
    EXPECT_EQ(Registry::GetUsers()->GetName(), String(L"HKEY_USERS"));
    EXPECT_EQ(Registry::GetCurrentConfig()->GetName(), String(L"HKEY_CURRENT_CONFIG"));
    EXPECT_EQ(Registry::GetPerformanceData()->GetName(), String(L"HKEY_PERFORMANCE_DATA"));
    EXPECT_EQ(Registry::GetDynData()->GetName(), String(L"HKEY_DYN_DATA"));
    Registry::GetLocalMachine()->Close();
    std::unique_ptr<RegistryKey> software(Registry::GetLocalMachine()->OpenSubKey(L"Software"));
    ASSERT_NE(software, nullptr);
    EXPECT_EQ(software->GetName(), String(L"HKEY_LOCAL_MACHINE\\Software"));
}

TEST_F(RegistryKeyTest, CreatesReadsAndDeletesKeysAndValuesWithKoreanNames)
{
    key->SetValue(L"이름", String(L"임시파일 정리"));
    key->SetValue(L"숫자", -5);
    key->SetValue(L"", String(L"기본값"));
    key->SetValue(L"바이트", Array<uint8_t>{1, 0, 255});
    EXPECT_EQ(RawKind(L"이름"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(RawKind(L"숫자"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(RawKind(L"바이트"), static_cast<DWORD>(REG_BINARY));
    std::unique_ptr<RegistryKey> child(key->CreateSubKey(L"벨라\\하위 키\\"));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->GetName(), String(scratch.FullPath()) + L"\\벨라\\하위 키");
    child.reset();

    std::unique_ptr<RegistryKey> reopened(Registry::GetCurrentUser()->OpenSubKey(scratch.Path()));
    String text;
    int32_t number = 0;
    Array<uint8_t> bytes;
    ASSERT_TRUE(reopened->GetValue(L"이름", text, true));
    EXPECT_EQ(text, String(L"임시파일 정리"));
    ASSERT_TRUE(reopened->GetValue(L"", text, false));
    EXPECT_EQ(text, String(L"기본값"));
    ASSERT_TRUE(reopened->GetValue(L"숫자", number));
    EXPECT_EQ(number, -5);
    ASSERT_TRUE(reopened->GetValue(L"바이트", bytes));
    EXPECT_EQ(bytes, (Array<uint8_t>{1, 0, 255}));
    // Text is stored with its terminating NUL, as other programs expect.
    ASSERT_TRUE(reopened->GetValue(L"", bytes));
    EXPECT_EQ(bytes.GetLength(), 8);
    EXPECT_NE(std::unique_ptr<RegistryKey>(reopened->OpenSubKey(L"벨라\\하위 키")), nullptr);

    key->DeleteValue(L"이름");
    EXPECT_FALSE(reopened->ContainsValue(L"이름"));
    EXPECT_TRUE(reopened->ContainsValue(L"숫자"));
    key->DeleteSubKey(L"벨라\\하위 키");
    key->DeleteSubKey(L"벨라");
    EXPECT_EQ(key->OpenSubKey(L"벨라"), nullptr);
}

TEST_F(RegistryKeyTest, MissingKeysAreNullAndMissingValuesFalse)
{
    EXPECT_EQ(key->OpenSubKey(L"없는 키"), nullptr);
    EXPECT_EQ(key->OpenSubKey(L"없는 키\\아래", true), nullptr);
    String text = L"unchanged";
    int32_t number = 7;
    Array<uint8_t> bytes{9};
    EXPECT_FALSE(key->GetValue(L"없는 값", text, true));
    EXPECT_FALSE(key->GetValue(L"없는 값", number));
    EXPECT_FALSE(key->GetValue(L"없는 값", bytes));
    EXPECT_FALSE(key->GetValue(L"", text, false));
    EXPECT_FALSE(key->ContainsValue(L"없는 값"));
    EXPECT_EQ(text, String(L"unchanged"));
    EXPECT_EQ(number, 7);
    EXPECT_EQ(bytes.GetLength(), 1);
}

TEST_F(RegistryKeyTest, DeleteSubKeyRefusesKeysWithSubkeysAndMissingKeysOnlyWhenAsked)
{
    delete key->CreateSubKey(L"부모\\자식");
    ExpectThrows<System::InvalidOperationException>([&] { key->DeleteSubKey(L"부모"); });
    EXPECT_EQ(key->GetSubKeyCount(), 1);
    ExpectThrows<System::ArgumentException>([&] { key->DeleteSubKey(L"없음"); });
    key->DeleteSubKey(L"없음", false);
    // An empty name would name this key itself.
    ExpectThrows<System::ArgumentException>([&] { key->DeleteSubKey(L""); });
    ExpectThrows<System::ArgumentException>([&] { key->DeleteSubKeyTree(L"\\"); });
    EXPECT_NE(std::unique_ptr<RegistryKey>(Registry::GetCurrentUser()->OpenSubKey(scratch.Path())), nullptr);
    EXPECT_EQ(key->GetSubKeyCount(), 1);
}

TEST_F(RegistryKeyTest, DeleteSubKeyTreeRemovesEverythingBelow)
{
    std::unique_ptr<RegistryKey> deep(key->CreateSubKey(L"트리\\가\\나"));
    deep->SetValue(L"값", 1);
    delete key->CreateSubKey(L"트리\\다");
    deep.reset();
    delete key->CreateSubKey(L"남김");
    key->DeleteSubKeyTree(L"트리");
    EXPECT_EQ(key->OpenSubKey(L"트리"), nullptr);
    EXPECT_EQ(Sorted(key->GetSubKeyNames()), std::vector<String>{L"남김"});
    ExpectThrows<System::ArgumentException>([&] { key->DeleteSubKeyTree(L"트리"); });
}

TEST_F(RegistryKeyTest, DeleteValueOfMissingValueRaisesOnlyWhenAsked)
{
    String text = ExpectThrows<System::ArgumentException>([&] { key->DeleteValue(L"없는 값"); });
    EXPECT_TRUE(text.Contains(L"없는 값"));
    key->DeleteValue(L"없는 값", false);
}

TEST_F(RegistryKeyTest, ReadsOfTheWrongKindOrSizeRaiseInvalidCast)
{
    key->SetValue(L"text", String(L"12"));
    key->SetValue(L"number", 12);
    key->SetValue(L"bytes", Array<uint8_t>{1, 2, 3, 4});
    const wchar_t multi[] = L"a\0b\0";
    SetRaw(L"multi", REG_MULTI_SZ, multi, sizeof multi);
    const uint8_t eight[8] = {};
    SetRaw(L"short dword", REG_DWORD, eight, 3);
    SetRaw(L"long dword", REG_DWORD, eight, 8);
    String text = L"unchanged";
    int32_t number = 7;
    ExpectThrows<System::InvalidCastException>([&] { key->GetValue(L"number", text, true); });
    ExpectThrows<System::InvalidCastException>([&] { key->GetValue(L"bytes", text, false); });
    ExpectThrows<System::InvalidCastException>([&] { key->GetValue(L"multi", text, false); });
    ExpectThrows<System::InvalidCastException>([&] { key->GetValue(L"text", number); });
    ExpectThrows<System::InvalidCastException>([&] { key->GetValue(L"bytes", number); });
    ExpectThrows<System::InvalidCastException>([&] { key->GetValue(L"short dword", number); });
    ExpectThrows<System::InvalidCastException>([&] { key->GetValue(L"long dword", number); });
    EXPECT_EQ(text, String(L"unchanged"));
    EXPECT_EQ(number, 7);
    Array<uint8_t> bytes;
    ASSERT_TRUE(key->GetValue(L"multi", bytes));
    EXPECT_EQ(bytes.GetLength(), static_cast<int>(sizeof multi));
}

TEST_F(RegistryKeyTest, TextWithoutTerminatorOrWithOddLengthReadsOnlyItsWholeCharacters)
{
    const wchar_t letters[] = L"abcd";
    SetRaw(L"unterminated", REG_SZ, letters, 6);
    SetRaw(L"odd", REG_SZ, letters, 7);
    SetRaw(L"one byte", REG_EXPAND_SZ, letters, 1);
    SetRaw(L"empty", REG_SZ, letters, 0);
    const wchar_t embedded[] = L"ab\0cd";
    SetRaw(L"embedded", REG_SZ, embedded, sizeof embedded);
    // Data that exactly fills a read, and one byte beyond it, around common buffer sizes.
    std::wstring fill(1024, L'가');
    for (DWORD bytes : {510u, 511u, 512u, 513u, 1024u, 2047u}) {
        std::wstring name = L"fill" + std::to_wstring(bytes);
        SetRaw(name.c_str(), REG_SZ, fill.data(), bytes);
        String text;
        ASSERT_TRUE(key->GetValue(name.c_str(), text, false));
        EXPECT_EQ(text, String(fill.substr(0, bytes / 2))) << bytes;
    }
    String text;
    ASSERT_TRUE(key->GetValue(L"unterminated", text, false));
    EXPECT_EQ(text, String(L"abc"));
    ASSERT_TRUE(key->GetValue(L"odd", text, false));
    EXPECT_EQ(text, String(L"abc"));
    ASSERT_TRUE(key->GetValue(L"one byte", text, true));
    EXPECT_EQ(text, String(L""));
    ASSERT_TRUE(key->GetValue(L"empty", text, false));
    EXPECT_EQ(text, String(L""));
    ASSERT_TRUE(key->GetValue(L"embedded", text, false));
    EXPECT_EQ(text, String(L"ab"));
}

TEST_F(RegistryKeyTest, LongTextRoundTrips)
{
    std::wstring long_text;
    while (long_text.size() < 100 * 1024) long_text += L"인터넷 임시파일 C:\\Temp\\";
    key->SetValue(L"긴 값", String(long_text));
    String text;
    ASSERT_TRUE(key->GetValue(L"긴 값", text, true));
    EXPECT_EQ(text, String(long_text));
}

TEST_F(RegistryKeyTest, ExpandableTextIsExpandedOnlyWhenAsked)
{
    ASSERT_TRUE(SetEnvironmentVariableW(L"VELA_REGISTRY_TEST", L"확장됨"));
    const wchar_t pattern[] = L"%VELA_REGISTRY_TEST%\\x %VELA_UNSET_VARIABLE%";
    SetRaw(L"expand", REG_EXPAND_SZ, pattern, sizeof pattern);
    key->SetValue(L"plain", String(L"%VELA_REGISTRY_TEST%"));
    std::wstring many;
    for (int i = 0; i < 4000; ++i) many += L"%VELA_REGISTRY_TEST%;";
    SetRaw(L"many", REG_EXPAND_SZ, many.c_str(), static_cast<DWORD>((many.size() + 1) * sizeof(wchar_t)));
    String text;
    ASSERT_TRUE(key->GetValue(L"expand", text, true));
    EXPECT_EQ(text, String(L"확장됨\\x %VELA_UNSET_VARIABLE%"));
    ASSERT_TRUE(key->GetValue(L"expand", text, false));
    EXPECT_EQ(text, String(pattern));
    ASSERT_TRUE(key->GetValue(L"plain", text, true));
    EXPECT_EQ(text, String(L"%VELA_REGISTRY_TEST%"));
    // Longer than the platform's own expansion allows.
    ASSERT_TRUE(key->GetValue(L"many", text, true));
    EXPECT_EQ(text.GetLength(), 4000 * 4);
    SetEnvironmentVariableW(L"VELA_REGISTRY_TEST", nullptr);
}

TEST_F(RegistryKeyTest, EnumeratesSubKeysAndValues)
{
    EXPECT_EQ(key->GetSubKeyCount(), 0);
    EXPECT_EQ(key->GetValueNames().GetLength(), 0);
    for (const wchar_t* name : {L"가", L"b", L"C c"}) delete key->CreateSubKey(name);
    key->SetValue(L"", 1);
    key->SetValue(L"x", String(L"y"));
    key->SetValue(L"값", Array<uint8_t>{});
    EXPECT_EQ(key->GetSubKeyCount(), 3);
    EXPECT_EQ(key->GetValueCount(), 3);
    EXPECT_EQ(Sorted(key->GetSubKeyNames()), (std::vector<String>{L"C c", L"b", L"가"}));
    EXPECT_EQ(Sorted(key->GetValueNames()), (std::vector<String>{L"", L"x", L"값"}));
}

TEST_F(RegistryKeyTest, NamesOfThePlatformMaximumLengthWork)
{
    String keyName(std::wstring(255, L'키'));
    String valueName(std::wstring(16383, L'값'));
    std::unique_ptr<RegistryKey> child(key->CreateSubKey(keyName));
    child->SetValue(valueName, String(L"최대"));
    EXPECT_EQ(key->GetSubKeyNames()[0], keyName);
    ASSERT_EQ(child->GetValueNames().GetLength(), 1);
    EXPECT_EQ(child->GetValueNames()[0], valueName);
    String text;
    ASSERT_TRUE(child->GetValue(valueName, text, false));
    EXPECT_EQ(text, String(L"최대"));
    child->DeleteValue(valueName);
    child.reset();
    key->DeleteSubKey(keyName);
    EXPECT_EQ(key->GetSubKeyCount(), 0);
}

TEST_F(RegistryKeyTest, WritesThroughReadOnlyKeyRaiseNamingKeyAndValue)
{
    key->SetValue(L"보존", 1);
    delete key->CreateSubKey(L"하위");
    std::unique_ptr<RegistryKey> readOnly(Registry::GetCurrentUser()->OpenSubKey(scratch.Path()));
    String text = ExpectThrows<Win32Exception>([&] { readOnly->SetValue(L"새 값", String(L"x")); });
    EXPECT_TRUE(text.Contains(L"새 값")) << text.ToUtf8();
    EXPECT_TRUE(text.Contains(String(scratch.FullPath()))) << text.ToUtf8();
    ExpectThrows<Win32Exception>([&] { readOnly->SetValue(L"새 값", 1); });
    ExpectThrows<Win32Exception>([&] { readOnly->SetValue(L"새 값", Array<uint8_t>{1}); });
    ExpectThrows<Win32Exception>([&] { readOnly->DeleteValue(L"보존"); });
    ExpectThrows<Win32Exception>([&] { delete readOnly->CreateSubKey(L"새 키"); });
    ExpectThrows<Win32Exception>([&] { readOnly->DeleteSubKey(L"하위"); });
    ExpectThrows<Win32Exception>([&] { readOnly->DeleteSubKeyTree(L"하위"); });
    EXPECT_EQ(Sorted(key->GetValueNames()), std::vector<String>{L"보존"});
    EXPECT_EQ(Sorted(key->GetSubKeyNames()), std::vector<String>{L"하위"});
}

TEST_F(RegistryKeyTest, ClosedKeyRaisesInvalidOperation)
{
    key->Close();
    key->Close();
    String text;
    int32_t number = 0;
    using System::InvalidOperationException;
    ExpectThrows<InvalidOperationException>([&] { key->OpenSubKey(L"x"); });
    ExpectThrows<InvalidOperationException>([&] { key->CreateSubKey(L"x"); });
    ExpectThrows<InvalidOperationException>([&] { key->DeleteSubKey(L"x"); });
    ExpectThrows<InvalidOperationException>([&] { key->DeleteSubKeyTree(L"x"); });
    ExpectThrows<InvalidOperationException>([&] { key->DeleteValue(L"x"); });
    ExpectThrows<InvalidOperationException>([&] { key->GetSubKeyCount(); });
    ExpectThrows<InvalidOperationException>([&] { key->GetValueNames(); });
    ExpectThrows<InvalidOperationException>([&] { key->ContainsValue(L"x"); });
    ExpectThrows<InvalidOperationException>([&] { key->GetValue(L"x", text, false); });
    ExpectThrows<InvalidOperationException>([&] { key->GetValue(L"x", number); });
    ExpectThrows<InvalidOperationException>([&] { key->SetValue(L"x", 1); });
}

TEST_F(RegistryKeyTest, ReadsAValueWhileAnotherThreadChangesItsSize)
{
    const std::wstring small = L"짧음";
    const std::wstring large(20000, L'긴');
    key->SetValue(L"변함", String(small));
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (bool big = true; !stop; big = !big) {
            const std::wstring& text = big ? large : small;
            RegSetValueExW(scratch.Handle(), L"변함", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        }
    });
    int wrong = 0;
    for (int i = 0; i < 400; ++i) {
        String text;
        if (!key->GetValue(L"변함", text, false) || (text != String(small) && text != String(large))) ++wrong;
    }
    stop = true;
    writer.join();
    EXPECT_EQ(wrong, 0);
}

TEST_F(RegistryKeyTest, KeyDeletedUnderAnOpenObjectRaisesWin32ExceptionNamingIt)
{
    std::unique_ptr<RegistryKey> child(key->CreateSubKey(L"사라질 키"));
    key->DeleteSubKey(L"사라질 키");
    String text = ExpectThrows<Win32Exception>([&] { child->SetValue(L"값", 1); });
    EXPECT_TRUE(text.Contains(L"사라질 키")) << text.ToUtf8();
}

TEST_F(RegistryKeyTest, OpeningAKeyThatDeniesAccessRaisesWin32Exception)
{
    HKEY locked = nullptr;
    ASSERT_EQ(RegCreateKeyExW(scratch.Handle(), L"잠김", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &locked, nullptr),
              ERROR_SUCCESS);
    SECURITY_DESCRIPTOR denyAll;
    InitializeSecurityDescriptor(&denyAll, SECURITY_DESCRIPTOR_REVISION);
    ACL emptyAcl;
    InitializeAcl(&emptyAcl, sizeof emptyAcl, ACL_REVISION);
    SetSecurityDescriptorDacl(&denyAll, TRUE, &emptyAcl, FALSE);
    ASSERT_EQ(RegSetKeySecurity(locked, DACL_SECURITY_INFORMATION, &denyAll), ERROR_SUCCESS);
    RegCloseKey(locked);

    HKEY probe = nullptr;
    LSTATUS probed = RegOpenKeyExW(scratch.Handle(), L"잠김", 0, KEY_READ, &probe);
    if (probed == ERROR_SUCCESS) {
        RegCloseKey(probe);
        GTEST_SKIP() << "Wine does not enforce registry key security descriptors";
    }
    String text = ExpectThrows<Win32Exception>([&] { key->OpenSubKey(L"잠김"); });
    EXPECT_TRUE(text.Contains(L"잠김")) << text.ToUtf8();
    // Let the scratch key delete it again.
    ASSERT_EQ(RegOpenKeyExW(scratch.Handle(), L"잠김", 0, WRITE_DAC, &locked), ERROR_SUCCESS);
    SetSecurityDescriptorDacl(&denyAll, TRUE, nullptr, FALSE);
    RegSetKeySecurity(locked, DACL_SECURITY_INFORMATION, &denyAll);
    RegCloseKey(locked);
}

}  // namespace
