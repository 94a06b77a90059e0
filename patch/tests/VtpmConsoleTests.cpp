// vtpm.dll as the user meets it: the console opens the patch manager by its catalogue id "04", as
// after a restart, and the user searches, installs and goes home, with the fake update agent
// answering. The window is laid out from its client size when the console maximises it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "console/tests/HostedTool.h"
#include "core/Application.h"
#include "core/String.h"
#include "framework/CDHtmlDialog.h"
#include "framework/CWinApp.h"
#include "framework/ModuleState.h"
#include "testing/FakeUpdateAgent.h"
#include "testing/HostPath.h"
#include "testing/HttpServer.h"
#include "testing/MessagePump.h"
#include "testing/PageClick.h"
#include "testing/WindowScreenshot.h"

namespace {

using System::String;
using TestSupport::FakeUpdateAgent;
using TestSupport::PumpUntil;

std::string Utf8(const CString& text) { return String(text.GetString()).ToUtf8(); }

// A machine setting of the test prefix for the test's life: the value is put back, or removed.
class MachineValue {
public:
    MachineValue(const wchar_t* name, const std::wstring& value) : name_(name)
    {
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Vela\\Toolbox", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
        wchar_t saved[1024];
        DWORD size = sizeof saved;
        had_ = RegQueryValueExW(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(saved), &size) == ERROR_SUCCESS;
        if (had_) saved_ = saved;
        RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>((value.size() + 1) * 2));
    }
    ~MachineValue()
    {
        if (had_) RegSetValueExW(key_, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_.c_str()),
                                 static_cast<DWORD>((saved_.size() + 1) * 2));
        else RegDeleteValueW(key_, name_.c_str());
        RegCloseKey(key_);
    }
    MachineValue(const MachineValue&) = delete;
    MachineValue& operator=(const MachineValue&) = delete;

private:
    std::wstring name_;
    std::wstring saved_;
    bool had_ = false;
    HKEY key_ = nullptr;
};

void ExpectListLaidOutFromTheClient(CWnd& tool, HWND list)
{
    CRect client, area;
    tool.GetClientRect(&client);
    ::GetWindowRect(list, &area);
    tool.ScreenToClient(&area);
    EXPECT_EQ(area, CRect(2, 45, client.right - 2, client.bottom - 145)) << "client " << client.right << "x" << client.bottom;
}

}  // namespace

TEST(VtpmConsoleTest, ConsoleOpensThePatchManagerWhichSearchesInstallsAndGoesHome)
{
    std::wstring refused = FakeUpdateAgent::Register();
    if (!refused.empty()) GTEST_SKIP() << std::string(refused.begin(), refused.end());
    FakeUpdateAgent agent("steps=8\nstepDelay=40\nsearchDelay=200\n"
                          "[update]\ntitle=Windows 7용 보안 업데이트(KB2479943)\nsize=734003\nautoSelect=1\n"
                          "[update]\ntitle=Internet Explorer 8 누적 보안 업데이트(KB2482017)\nsize=18874368\nautoSelect=1\n"
                          "[update]\ntitle=Windows 7용 업데이트(KB2454826)\nsize=2097152\n");
    // No catalogue server: the installed agent is kept. The notice stays off for this run.
    MachineValue redistributable(L"RedistributableServer", L"http://127.0.0.1:" + std::to_wstring(TestSupport::HttpServer::UnusedPort()));
    std::wstring notice = (System::Application::GetCommonAppDataPath() + L"\\vapm.cfg").GetStdString();
    std::string savedNotice;
    bool hadNotice = false;
    {
        HANDLE file = CreateFileW(notice.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char buffer[16];
            DWORD read = 0;
            ReadFile(file, buffer, sizeof buffer, &read, nullptr);
            savedNotice.assign(buffer, read);
            hadNotice = true;
            CloseHandle(file);
        }
        HANDLE off = CreateFileW(notice.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(off, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(off, "\0\0\0\0", 4, &written, nullptr);
        CloseHandle(off);
    }

    {
        HostedTool host({L"04", L"Windows 업데이트", L"보안", L"vtpm.dll"});
        ASSERT_TRUE(host.Open());
        CDHtmlDialog* tool = &host.Tool();
        ASSERT_TRUE(PumpUntil([&] { return tool->GetElementText(L"Advice") == CString(L"업데이트를 검색하세요."); }));
        HWND list = FindWindowExW(tool->m_hWnd, nullptr, WC_LISTVIEWW, nullptr);
        ASSERT_NE(list, nullptr);
        EXPECT_FALSE(::IsWindowVisible(list));
        // The licence and notice dialogs come from the add-on, long after it was created.
        EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(1020), reinterpret_cast<LPCWSTR>(RT_DIALOG)), GetModuleHandleW(L"vtpm.dll"));
        EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(1030), reinterpret_cast<LPCWSTR>(RT_DIALOG)), GetModuleHandleW(L"vtpm.dll"));

        TestSupport::ClickElement(*tool, L"BtnSearch");
        ASSERT_TRUE(PumpUntil([&] { return tool->GetElementText(L"Advice") == CString(L"3 개의 업데이트가 있습니다."); }))
            << Utf8(tool->GetElementText(L"Advice"));
        EXPECT_TRUE(::IsWindowVisible(list));
        EXPECT_EQ(ListView_GetItemCount(list), 3);
        ExpectListLaidOutFromTheClient(*tool, list);
        EXPECT_TRUE(TestSupport::SaveWindowImage(tool->m_hWnd, TestSupport::HostPath(PATCH_BUILD_DIR) + L"\\vtpm_console_searched.png"));

        CRect before;
        tool->GetClientRect(&before);
        ASSERT_TRUE(host.Maximise());
        CRect after;
        tool->GetClientRect(&after);
        EXPECT_GT(after.Height(), before.Height()) << "the console gives the tool its whole work area";
        ExpectListLaidOutFromTheClient(*tool, list);
        ASSERT_TRUE(host.Restore());
        ExpectListLaidOutFromTheClient(*tool, list);

        TestSupport::ClickElement(*tool, L"BtnInstall");
        ASSERT_TRUE(PumpUntil([&] { return tool->GetElementText(L"Advice") == CString(L"업데이트를 다운로드하고 있습니다..."); }));
        wchar_t status[64] = {};
        ASSERT_TRUE(PumpUntil([&] {
            ListView_GetItemText(list, 1, 4, status, 64);
            return std::wstring(status).rfind(L"다운로드 중... ", 0) == 0;
        }));
        EXPECT_TRUE(TestSupport::SaveWindowImage(tool->m_hWnd, TestSupport::HostPath(PATCH_BUILD_DIR) + L"\\vtpm_console_downloading.png"));
        ASSERT_TRUE(PumpUntil([&] { return tool->GetElementText(L"Advice") == CString(L"업데이트 설치가 완료되었습니다."); }, 30000))
            << Utf8(tool->GetElementText(L"Advice"));
        EXPECT_EQ(ListView_GetItemCount(list), 2) << "the unchecked update left the list";
        EXPECT_TRUE(TestSupport::SaveWindowImage(tool->m_hWnd, TestSupport::HostPath(PATCH_BUILD_DIR) + L"\\vtpm_console_finished.png"));

        TestSupport::ClickElement(*tool, L"BtnComplete");
        EXPECT_EQ(tool->GetElementText(L"Advice"), CString(L"업데이트를 검색하세요."));
        EXPECT_TRUE(host.GoHome());
    }
    if (hadNotice) {
        HANDLE file = CreateFileW(notice.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        if (file != INVALID_HANDLE_VALUE) {
            WriteFile(file, savedNotice.data(), static_cast<DWORD>(savedNotice.size()), &written, nullptr);
            CloseHandle(file);
        }
    } else {
        DeleteFileW(notice.c_str());
    }
}
