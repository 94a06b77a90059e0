// vtsm.dll as the user meets it: loaded by the console from its catalogue, laid over the console
// 29 pixels shorter than its template, maximised with it, and sent home by its back arrow. The
// add-on works on the machine's own startup programs and data folder, so the test runs only in
// the throw-away test prefix; it registers one program of its own and points the information
// server at a loopback server.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/AddonManager.h"
#include "console/ConsoleDlg.h"
#include "console/tests/RecordingConsole.h"
#include "console/OptionDlg.h"
#include "console/res/resource.h"
#include "core/Environment.h"
#include "core/String.h"
#include "framework/CDHtmlDialog.h"
#include "html/Node.h"
#include "html/Page.h"
#include "testing/RegistryValueOverride.h"
#include "testing/HostPath.h"
#include "testing/HttpServer.h"
#include "testing/MessagePump.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"

namespace {

using System::String;
using TestSupport::PumpUntil;

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kSettingsKey[] = L"Software\\Vela\\Toolbox";
const wchar_t kProgram[] = L"VelaConsoleTestRated";

void ExpectPanesFillTheTool(CWnd& tool)
{
    CRect client;
    tool.GetClientRect(&client);
    HWND splitter = GetDlgItem(tool.m_hWnd, 1041);
    ASSERT_NE(splitter, nullptr);
    RECT rect;
    GetWindowRect(splitter, &rect);
    MapWindowPoints(nullptr, tool.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 2);
    EXPECT_EQ(rect.top, 45);
    EXPECT_EQ(rect.right, client.right - 4);
    EXPECT_EQ(rect.bottom, client.bottom - 46);
    HWND list = FindWindowExW(FindWindowExW(FindWindowExW(splitter, nullptr, nullptr, nullptr), nullptr, nullptr, nullptr),
                              nullptr, WC_LISTVIEWW, nullptr);
    if (list) {
        RECT listRect;
        GetWindowRect(list, &listRect);
        MapWindowPoints(nullptr, tool.m_hWnd, reinterpret_cast<POINT*>(&listRect), 2);
        EXPECT_EQ(listRect.right, rect.right) << "the list reaches the tool's right margin";
    }
}

}  // namespace

TEST(VtsmConsoleTest, ConsoleOpensTheStartupManagerWhosePanesFollowTheToolsSize)
{
    std::wstring refusal = TestSupport::WhyDestructiveTestsAreRefused();
    if (!refusal.empty()) GTEST_SKIP() << String(refusal.c_str()).ToUtf8();
    bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    TestSupport::HttpServer server;
    std::string information =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><autoruns><item><name>VelaConsoleTestRated</name><rating>-2</rating>"
        "<description>시험용으로 등록된 위험한 프로그램입니다.</description></item></autoruns>";
    TestSupport::HttpServer::Response response;
    response.body = information;
    response.contentType = "text/xml";
    server.Serve("/net/getAutoruns.aspx", response);
    TestSupport::RegistryValueOverride informationServer(HKEY_LOCAL_MACHINE, kSettingsKey, L"InformationServer", server.Url(""));
    // The cached document would be used instead of the server's.
    std::wstring data = System::Environment::GetFolderPath(System::Environment::CommonApplicationData).GetStdString();
    DeleteFileW((data + L"\\Vela\\Toolbox\\vasui.xml").c_str());
    std::wstring notepad = System::Environment::GetFolderPath(System::Environment::System).GetStdString() + L"\\notepad.exe";
    TestSupport::RegistryValueOverride program(HKEY_CURRENT_USER, kRunKey, kProgram, notepad);

    TestSupport::TempFolder home;
    COptionDlg::WriteSmoothSwitch((home / L"vacon.cfg").c_str(), false);
    std::wstring catalogue = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><addons><item><id>01</id><name>시작 프로그램 관리</name>"
                             L"<category>PC 최적화</category><description>시작 프로그램</description><imageFileName>icons\\startup.png"
                             L"</imageFileName><moduleFileName>" +
                             TestSupport::ProgramFolder() + L"\\vtsm.dll</moduleFileName><external>0</external></item></addons>";
    home.WriteFile(L"vtaddons3.xml", String(catalogue).ToUtf8());
    {
        AddonManager addons(String(home.Path().c_str()));
        RecordingConsole console(addons, String(home.Path().c_str()), String((home / L"vacon.cfg").c_str()));
        ASSERT_TRUE(console.Create(IDD_CONSOLE));
        console.ShowWindow(SW_SHOW);
        ASSERT_TRUE(PumpUntil([&] { return console.IsPageFilled(); }));

        console.OpenTool(L"01");
        ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
        EXPECT_TRUE(console.messages.empty()) << String(console.messages.empty() ? L"" : console.messages[0].GetString()).ToUtf8();
        ASSERT_TRUE(console.IsToolShown());
        auto* tool = dynamic_cast<CDHtmlDialog*>(console.GetCurrentDialog());
        ASSERT_NE(tool, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return tool->IsDocumentLoaded(); }));
        EXPECT_EQ(tool->GetElementText(L"ToolTitle"), CString(L"벨라 스패너"));

        // The test's program is listed with its rating from the information server.
        HWND list = nullptr;
        EnumChildWindows(tool->m_hWnd, [](HWND child, LPARAM found) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            if (std::wstring(name) != WC_LISTVIEWW) return TRUE;
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        }, reinterpret_cast<LPARAM>(&list));
        ASSERT_NE(list, nullptr);
        LVFINDINFOW find = {};
        find.flags = LVFI_STRING;
        find.psz = kProgram;
        int row = ListView_FindItem(list, -1, &find);
        ASSERT_GE(row, 0);
        wchar_t rating[32] = {};
        ListView_GetItemText(list, row, 2, rating, 32);
        EXPECT_EQ(std::wstring(rating), L"매우 위험");

        ExpectPanesFillTheTool(*tool);
        // The tool is a window of its own over the console's client area.
        TestSupport::SaveWindowImage(tool->m_hWnd, TestSupport::HostPath(STARTUP_BUILD_DIR) + L"\\screenshots\\vtsm_console_tool.png");
        console.Maximise();
        ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
        ExpectPanesFillTheTool(*tool);
        TestSupport::SaveWindowImage(tool->m_hWnd, TestSupport::HostPath(STARTUP_BUILD_DIR) + L"\\screenshots\\vtsm_console_maximised.png");
        console.Restore();
        ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
        ExpectPanesFillTheTool(*tool);

        tool->GetPage()->Update();
        Html::Node* back = tool->GetElement(L"BtnPrevious");
        ASSERT_NE(back, nullptr);
        Html::Rect box = back->Box().border;
        LPARAM at = MAKELPARAM(box.x + box.width / 2, box.y + box.height / 2);
        tool->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        tool->SendMessage(WM_LBUTTONUP, 0, at);
        ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
        EXPECT_FALSE(console.IsToolShown());
        console.DestroyWindow();
    }
    if (com) CoUninitialize();
}
