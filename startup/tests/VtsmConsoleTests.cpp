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

#include "console/tests/HostedTool.h"
#include "core/Environment.h"
#include "core/String.h"
#include "framework/CDHtmlDialog.h"
#include "testing/HostPath.h"
#include "testing/HttpServer.h"
#include "testing/RegistryValueOverride.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"

namespace {

using System::String;

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kSettingsKey[] = L"Software\\Vela\\Toolbox";
const wchar_t kProgram[] = L"VelaConsoleTestRated";

void ExpectPanesFillTheTool(CWnd& tool)
{
    CRect client;
    tool.GetClientRect(&client);
    HWND splitter = GetDlgItem(tool.m_hWnd, 1041);
    ASSERT_NE(splitter, nullptr);
    CRect rect = PlaceIn(tool.m_hWnd, splitter);
    EXPECT_EQ(rect.left, 2);
    EXPECT_EQ(rect.top, 45);
    EXPECT_EQ(rect.right, client.right - 4);
    EXPECT_EQ(rect.bottom, client.bottom - 46);
    HWND list = FindWindowExW(FindWindowExW(FindWindowExW(splitter, nullptr, nullptr, nullptr), nullptr, nullptr, nullptr),
                              nullptr, WC_LISTVIEWW, nullptr);
    if (list) {
        EXPECT_EQ(PlaceIn(tool.m_hWnd, list).right, rect.right) << "the list reaches the tool's right margin";
    }
}

}  // namespace

TEST(VtsmConsoleTest, ConsoleOpensTheStartupManagerWhosePanesFollowTheToolsSize)
{
    std::wstring refusal = TestSupport::WhyDestructiveTestsAreRefused();
    if (!refusal.empty()) GTEST_SKIP() << String(refusal.c_str()).ToUtf8();
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

    HostedTool host({L"01", L"시작 프로그램 관리", L"PC 최적화", L"vtsm.dll"});
    ASSERT_TRUE(host.Open());
    CDHtmlDialog* tool = &host.Tool();
    EXPECT_EQ(tool->GetElementText(L"ToolTitle"), CString(L"벨라 스패너"));

    // The test's program is listed with its rating from the information server.
    HWND list = FindDescendantOfClass(tool->m_hWnd, WC_LISTVIEWW);
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
    ASSERT_TRUE(host.Maximise());
    ExpectPanesFillTheTool(*tool);
    TestSupport::SaveWindowImage(tool->m_hWnd, TestSupport::HostPath(STARTUP_BUILD_DIR) + L"\\screenshots\\vtsm_console_maximised.png");
    ASSERT_TRUE(host.Restore());
    ExpectPanesFillTheTool(*tool);
    EXPECT_TRUE(host.GoHome());
}
