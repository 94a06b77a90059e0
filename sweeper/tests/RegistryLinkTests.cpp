#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <memory>
#include <string>

#include "core/Exception.h"
#include "core/Registry.h"
#include "sweeper/RegistryPath.h"
#include "sweeper/RegistrySweeper.h"
#include "testing/ScratchRegistryKey.h"

using Microsoft::Win32::RegistryKey;
using System::String;

namespace {

// The native name of a key below HKEY_CURRENT_USER, as a link's target must be written.
std::wstring NativeUserPath(const std::wstring& path)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::wstring();
    BYTE buffer[256];
    DWORD size = 0;
    BOOL ok = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
    CloseHandle(token);
    wchar_t* sid = nullptr;
    if (!ok || !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid)) return std::wstring();
    std::wstring native = std::wstring(L"\\Registry\\User\\") + sid + L"\\" + path;
    LocalFree(sid);
    return native;
}

bool Exists(HKEY root, const std::wstring& path, DWORD options = 0)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), options, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A scratch key holding "Target" (a value and a subkey with a value) and "Swept", whose
// subkey "Link" is a symbolic link to Target, beside an ordinary subkey and a value.
class LinkedKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetText(L"Target", L"keep");
        SetText(L"Target\\Inner", L"keep too");
        SetText(L"Swept", L"junk");
        SetText(L"Swept\\Old", L"junk too");
        HKEY link = nullptr;
        ASSERT_EQ(RegCreateKeyExW(scratch_.Handle(), L"Swept\\Link", 0, nullptr, REG_OPTION_CREATE_LINK,
                                  KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr),
                  ERROR_SUCCESS);
        std::wstring target = NativeUserPath(scratch_.Path() + L"\\Target");
        LSTATUS status = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.c_str()),
                                        static_cast<DWORD>(target.size() * sizeof(wchar_t)));
        RegCloseKey(link);
        ASSERT_EQ(status, ERROR_SUCCESS);
        ASSERT_TRUE(Exists(scratch_.Handle(), L"Swept\\Link\\Inner")) << "the link does not lead to the target";
    }

    void TearDown() override
    {
        // A link key goes only by a handle opened on the link itself.
        HKEY link = nullptr;
        if (RegOpenKeyExW(scratch_.Handle(), L"Swept\\Link", REG_OPTION_OPEN_LINK, DELETE, &link) == ERROR_SUCCESS) {
            using NtDeleteKeyFunction = LONG(WINAPI*)(HANDLE);
            auto deleteKey = reinterpret_cast<NtDeleteKeyFunction>(
                reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
            if (deleteKey) deleteKey(link);
            RegCloseKey(link);
        }
    }

    void SetText(const std::wstring& key, const wchar_t* value)
    {
        ASSERT_EQ(RegSetKeyValueW(scratch_.Handle(), key.c_str(), L"v", REG_SZ, value,
                                  static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    void ExpectTargetWhole()
    {
        EXPECT_TRUE(Exists(scratch_.Handle(), L"Target\\Inner"));
        wchar_t value[32] = {};
        DWORD size = sizeof value;
        EXPECT_EQ(RegGetValueW(scratch_.Handle(), L"Target\\Inner", L"v", RRF_RT_REG_SZ, nullptr, value, &size),
                  ERROR_SUCCESS);
        size = sizeof value;
        EXPECT_EQ(RegGetValueW(scratch_.Handle(), L"Target", L"v", RRF_RT_REG_SZ, nullptr, value, &size), ERROR_SUCCESS);
    }

    TestSupport::ScratchRegistryKey scratch_;
};

}  // namespace

TEST_F(LinkedKeys, SweepingLeavesTheLinkAndTheKeyItPointsAt)
{
    RegistrySweeper sweeper(L"Linked", String((scratch_.FullPath() + L"\\Swept").c_str()));
    sweeper.Run(false);
    // The value, the ordinary subkey and its value; through the link there would be four more.
    EXPECT_EQ(sweeper.GetCount(), 3);
    sweeper.Run(true);
    ExpectTargetWhole();
    EXPECT_FALSE(Exists(scratch_.Handle(), L"Swept\\Old"));
    EXPECT_TRUE(Exists(scratch_.Handle(), L"Swept\\Link", REG_OPTION_OPEN_LINK));
}

TEST_F(LinkedKeys, ATreeHoldingALinkIsNeitherDeletedNorFollowed)
{
    std::unique_ptr<RegistryKey> scratch(OpenRegistryPath(String(scratch_.FullPath().c_str()), true));
    ASSERT_TRUE(scratch);
    EXPECT_TRUE(scratch->IsLink(L"Swept\\Link"));
    EXPECT_FALSE(scratch->IsLink(L"Swept"));
    EXPECT_FALSE(scratch->IsLink(L"Missing"));
    bool refused = false;
    try {
        scratch->DeleteSubKeyTree(L"Swept");
    } catch (System::InvalidOperationException* caught) {
        delete caught;
        refused = true;
    }
    EXPECT_TRUE(refused);
    ExpectTargetWhole();
    EXPECT_TRUE(Exists(scratch_.Handle(), L"Swept\\Old"));
}
