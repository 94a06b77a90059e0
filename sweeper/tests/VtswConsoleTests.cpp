// vtsw.dll as the user meets it: loaded by the console from its catalogue, laid over the console,
// analysing and sweeping, and sent home by its back arrow. The add-on builds the real catalogue,
// so the test confines it to a sandbox first: the Temp variable names a test folder, and the
// stored ticks leave only "Disk" and "Disk.Temp" ticked; the test checks the ticks on screen
// before it presses anything, and puts the user's stored ticks back afterwards.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "console/tests/HostedTool.h"
#include "core/Environment.h"
#include "core/String.h"
#include "framework/CDHtmlDialog.h"
#include "sweeper/Catalogue.h"
#include "testing/HostPath.h"
#include "testing/MessagePump.h"
#include "testing/PageClick.h"
#include "testing/TempFolder.h"
#include "testing/WindowScreenshot.h"

namespace {

using TestSupport::PumpUntil;

using System::String;

const wchar_t kStoreKey[] = L"Software\\Vela\\Toolbox\\Sweeper";

std::string Utf8(const CString& text) { return String(text.GetString()).ToUtf8(); }

// Keeps the values of a key of the current user and puts them back, as they were, at the end.
class RegistryKeyBackup {
public:
    explicit RegistryKeyBackup(const wchar_t* path) : path_(path)
    {
        HKEY key = nullptr;
        existed_ = RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (!existed_) return;
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD nameLength = 256, type = 0, size = 0;
            if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
            Value value{std::wstring(name, nameLength), type, std::vector<BYTE>(size)};
            nameLength = 256;
            RegEnumValueW(key, index, name, &nameLength, nullptr, &type, value.data.data(), &size);
            values_.push_back(std::move(value));
        }
        RegCloseKey(key);
    }
    ~RegistryKeyBackup()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
        if (!existed_) return;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
        for (const Value& value : values_) {
            RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
        }
        RegCloseKey(key);
    }
    RegistryKeyBackup(const RegistryKeyBackup&) = delete;
    RegistryKeyBackup& operator=(const RegistryKeyBackup&) = delete;

private:
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::wstring path_;
    bool existed_ = false;
    std::vector<Value> values_;
};

// Sets an environment variable for the test's life.
class EnvironmentOverride {
public:
    EnvironmentOverride(const wchar_t* name, const std::wstring& value) : name_(name)
    {
        String saved = System::Environment::GetEnvironmentVariable(name);
        hadValue_ = !saved.IsEmpty();
        saved_ = saved.GetStdString();
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~EnvironmentOverride() { SetEnvironmentVariableW(name_.c_str(), hadValue_ ? saved_.c_str() : nullptr); }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    std::wstring name_;
    std::wstring saved_;
    bool hadValue_ = false;
};

const HostedTool::Entry kSweeper = {L"02", L"PC 청소", L"PC 최적화", L"vtsw.dll"};

int FileCount(const std::wstring& folder)
{
    int files = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*.tmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do ++files;
    while (FindNextFileW(find, &data));
    FindClose(find);
    return files;
}

}  // namespace

TEST(VtswConsoleTest, ConsoleOpensTheSweeperWhichAnalysesSweepsAndGoesHome)
{
    TestSupport::TempFolder junk;
    std::string megabyte(1048576, 'x');
    for (int i = 0; i < 15; ++i) junk.WriteFile(L"junk" + std::to_wstring(i) + L".tmp", megabyte);
    EnvironmentOverride temp(L"Temp", junk.Path());
    RegistryKeyBackup storedTicks(kStoreKey);

    // Every row of the catalogue unticked but the sandbox's.
    std::vector<std::wstring> keys;
    {
        std::unique_ptr<Sweeper> catalogue(BuildCatalogue());
        for (Sweeper* category : catalogue->GetChildren()) {
            keys.push_back(category->GetFullName().GetStdString());
            for (Sweeper* item : category->GetChildren()) keys.push_back(item->GetFullName().GetStdString());
        }
    }
    ASSERT_EQ(keys.size(), 33u) << "Disk.Temp must be in the catalogue for the sandbox";
    HKEY store = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kStoreKey, 0, nullptr, 0, KEY_WRITE, nullptr, &store, nullptr), ERROR_SUCCESS);
    for (const std::wstring& key : keys) {
        DWORD tick = key == L"Disk" || key == L"Disk.Temp" ? 1 : 0;
        RegSetValueExW(store, key.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&tick), sizeof tick);
    }
    RegCloseKey(store);

    {
        HostedTool host(kSweeper);
        ASSERT_TRUE(host.Open());
        CDHtmlDialog* sweeper = &host.Tool();
        EXPECT_TRUE(sweeper->IsWindowVisible());
        ASSERT_TRUE(PumpUntil([&] { return sweeper->GetElementText(L"Advice") == CString(L"PC를 분석하세요."); }));

        // The guard: nothing but the sandbox is ticked on screen, or nothing is pressed at all.
        HWND list = FindWindowExW(sweeper->m_hWnd, nullptr, WC_LISTVIEWW, nullptr);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(ListView_GetItemCount(list), 33);
        std::vector<int> ticked;
        for (int row = 0; row < 33; ++row) {
            if ((ListView_GetItemState(list, row, LVIS_STATEIMAGEMASK) >> 12) == 2) ticked.push_back(row);
        }
        ASSERT_EQ(ticked, (std::vector<int>{0, 2})) << "only Disk and Disk.Temp may be ticked";

        TestSupport::ClickElement(*sweeper, L"BtnAnalyze");
        ASSERT_TRUE(PumpUntil([&] { return sweeper->GetElementText(L"Advice") == CString(L"15.0 MB의 공간을 확보할 수 있습니다."); }))
            << Utf8(sweeper->GetElementText(L"Advice"));
        EXPECT_EQ(FileCount(junk.Path()), 15);

        TestSupport::ClickElement(*sweeper, L"BtnSweep");
        ASSERT_TRUE(PumpUntil([&] { return sweeper->GetElementText(L"Advice") == CString(L"PC 정리가 완료되었습니다."); }));
        EXPECT_EQ(FileCount(junk.Path()), 0);
        TestSupport::ClickElement(*sweeper, L"BtnComplete");
        EXPECT_EQ(sweeper->GetElementText(L"Advice"), CString(L"PC를 분석하세요."));

        ASSERT_TRUE(host.GoHome());
        EXPECT_FALSE(sweeper->IsWindowVisible()) << "the tool stays alive, hidden, for the next visit";
    }
}

// The console hosts the sweeper 29 pixels shorter than its template and maximises it to the work
// area: the tree keeps its bands and margins in every size, so it never covers the bottom band.
TEST(VtswConsoleTest, TheTreeFollowsTheHostedWindowThroughMaximiseAndRestore)
{
    RegistryKeyBackup storedTicks(kStoreKey);
    {
        HostedTool host(kSweeper);
        ASSERT_TRUE(host.Open());
        CWnd* sweeper = &host.Tool();
        HWND tree = FindWindowExW(sweeper->m_hWnd, nullptr, WC_LISTVIEWW, nullptr);
        ASSERT_NE(tree, nullptr);
        auto expectTreeInsideTheBands = [&](const char* when) {
            SCOPED_TRACE(when);
            CRect client;
            sweeper->GetClientRect(&client);
            EXPECT_EQ(PlaceIn(sweeper->m_hWnd, tree), CRect(2, 45, client.right - 2, client.bottom - 145))
                << "client " << client.Width() << " x " << client.Height();
        };
        expectTreeInsideTheBands("hosted");
        CRect hosted;
        sweeper->GetClientRect(&hosted);

        ASSERT_TRUE(host.Maximise());
        CRect maximised;
        sweeper->GetClientRect(&maximised);
        EXPECT_GT(maximised.Height(), hosted.Height());
        expectTreeInsideTheBands("maximised");
        ASSERT_EQ(ListView_GetItemCount(tree), 33) << "every category and item is listed";
        sweeper->UpdateWindow();
        EXPECT_TRUE(TestSupport::SaveScreenImage(host.Console().m_hWnd, TestSupport::HostPath(SWEEPER_BUILD_DIR) + L"\\sweeper_hosted.png"));

        ASSERT_TRUE(host.Restore());
        expectTreeInsideTheBands("restored");
    }
}
