// vtaxm.dll as the user meets it: loaded by the console from its catalogue, laid over the console
// 29 pixels shorter than its template, maximised with it, and sent home by its back arrow. The
// add-on works on the machine's own data folder and compatibility key, so the test runs only in
// the throw-away test prefix; it points the information server at a loopback server whose feed
// holds no dangerous control, so no question stops the opening.
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

const wchar_t kSettingsKey[] = L"Software\\Vela\\Toolbox";

void ExpectPanesFillTheTool(CWnd& tool)
{
    CRect client;
    tool.GetClientRect(&client);
    HWND splitter = GetDlgItem(tool.m_hWnd, 63236);
    ASSERT_NE(splitter, nullptr);
    CRect rect = PlaceIn(tool.m_hWnd, splitter);
    EXPECT_EQ(rect.left, 2);
    EXPECT_EQ(rect.top, 45);
    EXPECT_EQ(rect.right, client.right - 2);
    EXPECT_EQ(rect.bottom, client.bottom - 30);
}

}  // namespace

TEST(VtaxmConsoleTest, ConsoleOpensTheActiveXManagerWhosePanesFollowTheToolsSize)
{
    std::wstring refusal = TestSupport::WhyDestructiveTestsAreRefused();
    if (!refusal.empty()) GTEST_SKIP() << String(refusal.c_str()).ToUtf8();
    TestSupport::HttpServer server;
    TestSupport::HttpServer::Response response;
    response.body = "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss><channel><item><title>콘솔 시험 컨트롤</title>"
                    "<name>ConsoleTest.ocx</name><clsid>{5A1E2C44-7B19-4E0A-9C3D-1F2B3C4D5E61}</clsid><type>일반</type>"
                    "<rating>1</rating></item></channel></rss>";
    response.contentType = "text/xml";
    server.Serve("/net/ActiveXRSS.aspx", response);
    TestSupport::RegistryValueOverride informationServer(HKEY_LOCAL_MACHINE, kSettingsKey, L"InformationServer", server.Url(""));
    std::wstring data = System::Environment::GetFolderPath(System::Environment::CommonApplicationData).GetStdString() + L"\\Vela\\Toolbox";

    {
        HostedTool host({L"03", L"ActiveX 관리", L"보안", L"vtaxm.dll"});
        ASSERT_TRUE(host.Open());
        CDHtmlDialog* tool = &host.Tool();
        EXPECT_EQ(tool->GetElementText(L"ToolTitle"), CString(L"ActiveX 관리"));

        // The feed was downloaded at start into the data folder and listed.
        HWND list = FindDescendantOfClass(tool->m_hWnd, WC_LISTVIEWW);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(ListView_GetItemCount(list), 1);

        CRect toolRect;
        tool->GetWindowRect(&toolRect);
        CRect templateRect(0, 0, 366, 274);
        MapDialogRect(tool->m_hWnd, &templateRect);
        EXPECT_EQ(toolRect.Height(), templateRect.Height() - 29) << "hosted 29 pixels shorter than its template";
        ExpectPanesFillTheTool(*tool);
        TestSupport::SaveWindowImage(tool->m_hWnd, TestSupport::HostPath(ACTIVEX_BUILD_DIR) + L"\\screenshots\\vtaxm_console_tool.png");
        ASSERT_TRUE(host.Maximise());
        ExpectPanesFillTheTool(*tool);
        ASSERT_TRUE(host.Restore());
        ExpectPanesFillTheTool(*tool);
        EXPECT_TRUE(host.GoHome(L"LeftBtn"));
    }
    DeleteFileW((data + L"\\vaaxm.dat").c_str());
    DeleteFileW((data + L"\\vaaxm.cfg").c_str());
}
