// vtpsm.dll as the user meets it: loaded by the console from its catalogue with id 05, laid over
// the console 29 pixels shorter than its template, maximised and restored with it while a busy
// child loads the processor, and sent home by its back arrow. The add-on switches the system's
// performance counters on, so the test runs only in the throw-away test prefix.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "console/AddonManager.h"
#include "console/ConsoleDlg.h"
#include "console/OptionDlg.h"
#include "console/res/resource.h"
#include "console/tests/RecordingConsole.h"
#include "core/String.h"
#include "framework/CDHtmlDialog.h"
#include "process/res/resource.h"
#include "process/tests/TestChildProcess.h"
#include "testing/HostPath.h"
#include "testing/MessagePump.h"
#include "testing/PageClick.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"

namespace {

using System::String;
using TestSupport::PumpUntil;

CRect PlaceOf(HWND tool, int id)
{
    RECT rect = {};
    HWND control = GetDlgItem(tool, id);
    EXPECT_NE(control, nullptr) << id;
    if (!control) return CRect();
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, tool, reinterpret_cast<POINT*>(&rect), 2);
    return CRect(rect);
}

void ExpectControlsFollowTheClientSize(CWnd& tool)
{
    CRect client;
    tool.GetClientRect(&client);
    int w = client.Width(), h = client.Height();
    EXPECT_EQ(PlaceOf(tool.m_hWnd, IDC_PROCESS_LIST), CRect(1, 110, w, h - 155)) << w << " x " << h;
    EXPECT_EQ(PlaceOf(tool.m_hWnd, IDC_CPU_GRAPH), CRect(65, 47, w / 2 - 5, 107));
    EXPECT_EQ(PlaceOf(tool.m_hWnd, IDC_MEMORY_GRAPH), CRect(w / 2 + 110, 47, w / 2 + 110 + w / 2 - 115, 107));
    EXPECT_EQ(PlaceOf(tool.m_hWnd, IDC_MEMORY_CAPTION).left, w / 2 + 5);
    EXPECT_EQ(PlaceOf(tool.m_hWnd, IDC_PROCESS_INFO_PANE), CRect(1, h - 154, w - 2, h - 4));
}

}  // namespace

TEST(VtpsmConsoleTest, ConsoleOpensTheProcessManagerWhoseGraphsAndListFollowTheToolsSize)
{
    std::wstring refusal = TestSupport::WhyDestructiveTestsAreRefused();
    if (!refusal.empty()) GTEST_SKIP() << String(refusal.c_str()).ToUtf8();
    TestChildProcess busy(L"spin");
    ASSERT_TRUE(busy.Started());

    TestSupport::TempFolder home;
    COptionDlg::WriteSmoothSwitch((home / L"vacon.cfg").c_str(), false);
    std::wstring catalogue = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><addons><item><id>05</id><name>프로세스 관리</name>"
                             L"<category>시스템 도구</category><description>프로세스</description><imageFileName>icons\\process.png"
                             L"</imageFileName><moduleFileName>" +
                             TestSupport::ProgramFolder() + L"\\vtpsm.dll</moduleFileName><external>0</external></item></addons>";
    home.WriteFile(L"vtaddons3.xml", String(catalogue).ToUtf8());
    AddonManager addons(String(home.Path().c_str()));
    RecordingConsole console(addons, String(home.Path().c_str()), String((home / L"vacon.cfg").c_str()));
    ASSERT_TRUE(console.Create(IDD_CONSOLE));
    console.ShowWindow(SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return console.IsPageFilled(); }));

    console.OpenTool(L"05");
    ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
    EXPECT_TRUE(console.messages.empty()) << String(console.messages.empty() ? L"" : console.messages[0].GetString()).ToUtf8();
    ASSERT_TRUE(console.IsToolShown());
    auto* tool = dynamic_cast<CDHtmlDialog*>(console.GetCurrentDialog());
    ASSERT_NE(tool, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return tool->IsDocumentLoaded(); }));
    EXPECT_EQ(tool->GetElementText(L"ToolTitle"), CString(L"프로세스 관리"));

    HWND list = GetDlgItem(tool->m_hWnd, IDC_PROCESS_LIST);
    ASSERT_NE(list, nullptr);
    // The busy child is listed after the first ticks.
    auto listsBusyChild = [&] {
        LVFINDINFOW find = {};
        find.flags = LVFI_PARAM;
        find.lParam = static_cast<LPARAM>(busy.Id());
        return ListView_FindItem(list, -1, &find) >= 0;
    };
    EXPECT_TRUE(PumpUntil(listsBusyChild, 5000));

    CRect toolRect;
    tool->GetWindowRect(&toolRect);
    CRect templateRect(0, 0, 366, 274);
    MapDialogRect(tool->m_hWnd, &templateRect);
    EXPECT_EQ(toolRect.Height(), templateRect.Height() - 29) << "hosted 29 pixels shorter than its template";
    ExpectControlsFollowTheClientSize(*tool);
    console.Maximise();
    ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
    ULONGLONG until = GetTickCount64() + 2500;
    PumpUntil([&] { return GetTickCount64() > until; }, 4000);
    ExpectControlsFollowTheClientSize(*tool);
    TestSupport::SaveScreenImage(tool->m_hWnd, TestSupport::HostPath(PROCESS_BUILD_DIR) + L"\\screenshots\\vtpsm_console_maximised.png");
    console.Restore();
    ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
    ExpectControlsFollowTheClientSize(*tool);

    TestSupport::ClickElement(*tool, L"BtnPrevious");
    ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
    EXPECT_FALSE(console.IsToolShown());
    console.DestroyWindow();
}
