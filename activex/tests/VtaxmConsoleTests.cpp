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

const wchar_t kSettingsKey[] = L"Software\\Vela\\Toolbox";

void ExpectPanesFillTheTool(CWnd& tool)
{
    CRect client;
    tool.GetClientRect(&client);
    HWND splitter = GetDlgItem(tool.m_hWnd, 63236);
    ASSERT_NE(splitter, nullptr);
    RECT rect;
    GetWindowRect(splitter, &rect);
    MapWindowPoints(nullptr, tool.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
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
    bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    TestSupport::HttpServer server;
    TestSupport::HttpServer::Response response;
    response.body = "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss><channel><item><title>콘솔 시험 컨트롤</title>"
                    "<name>ConsoleTest.ocx</name><clsid>{5A1E2C44-7B19-4E0A-9C3D-1F2B3C4D5E61}</clsid><type>일반</type>"
                    "<rating>1</rating></item></channel></rss>";
    response.contentType = "text/xml";
    server.Serve("/net/ActiveXRSS.aspx", response);
    TestSupport::RegistryValueOverride informationServer(HKEY_LOCAL_MACHINE, kSettingsKey, L"InformationServer", server.Url(""));
    std::wstring data = System::Environment::GetFolderPath(System::Environment::CommonApplicationData).GetStdString() + L"\\Vela\\Toolbox";

    TestSupport::TempFolder home;
    COptionDlg::WriteSmoothSwitch((home / L"vacon.cfg").c_str(), false);
    std::wstring catalogue = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><addons><item><id>03</id><name>ActiveX 관리</name>"
                             L"<category>보안</category><description>ActiveX</description><imageFileName>icons\\activex.png"
                             L"</imageFileName><moduleFileName>" +
                             TestSupport::ProgramFolder() + L"\\vtaxm.dll</moduleFileName><external>0</external></item></addons>";
    home.WriteFile(L"vtaddons3.xml", String(catalogue).ToUtf8());
    {
        AddonManager addons(String(home.Path().c_str()));
        RecordingConsole console(addons, String(home.Path().c_str()), String((home / L"vacon.cfg").c_str()));
        ASSERT_TRUE(console.Create(IDD_CONSOLE));
        console.ShowWindow(SW_SHOW);
        ASSERT_TRUE(PumpUntil([&] { return console.IsPageFilled(); }));

        console.OpenTool(L"03");
        ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
        EXPECT_TRUE(console.messages.empty()) << String(console.messages.empty() ? L"" : console.messages[0].GetString()).ToUtf8();
        ASSERT_TRUE(console.IsToolShown());
        auto* tool = dynamic_cast<CDHtmlDialog*>(console.GetCurrentDialog());
        ASSERT_NE(tool, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return tool->IsDocumentLoaded(); }));
        EXPECT_EQ(tool->GetElementText(L"ToolTitle"), CString(L"ActiveX 관리"));

        // The feed was downloaded at start into the data folder and listed.
        HWND list = nullptr;
        EnumChildWindows(tool->m_hWnd, [](HWND child, LPARAM found) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            if (std::wstring(name) != WC_LISTVIEWW) return TRUE;
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        }, reinterpret_cast<LPARAM>(&list));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(ListView_GetItemCount(list), 1);

        CRect toolRect;
        tool->GetWindowRect(&toolRect);
        CRect templateRect(0, 0, 366, 274);
        MapDialogRect(tool->m_hWnd, &templateRect);
        EXPECT_EQ(toolRect.Height(), templateRect.Height() - 29) << "hosted 29 pixels shorter than its template";
        ExpectPanesFillTheTool(*tool);
        TestSupport::SaveWindowImage(tool->m_hWnd, TestSupport::HostPath(ACTIVEX_BUILD_DIR) + L"\\screenshots\\vtaxm_console_tool.png");
        console.Maximise();
        ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
        ExpectPanesFillTheTool(*tool);
        console.Restore();
        ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
        ExpectPanesFillTheTool(*tool);

        tool->GetPage()->Update();
        Html::Node* back = tool->GetElement(L"LeftBtn");
        ASSERT_NE(back, nullptr);
        Html::Rect box = back->Box().border;
        LPARAM at = MAKELPARAM(box.x + box.width / 2, box.y + box.height / 2);
        tool->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        tool->SendMessage(WM_LBUTTONUP, 0, at);
        ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
        EXPECT_FALSE(console.IsToolShown());
        console.DestroyWindow();
    }
    DeleteFileW((data + L"\\vaaxm.dat").c_str());
    DeleteFileW((data + L"\\vaaxm.cfg").c_str());
    if (com) CoUninitialize();
}
