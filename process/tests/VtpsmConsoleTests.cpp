// vtpsm.dll as the user meets it: loaded by the console from its catalogue with id 05, laid over
// the console 29 pixels shorter than its template, maximised and restored with it while a busy
// child loads the processor, and sent home by its back arrow. The add-on switches the system's
// performance counters on, so the test runs only in the throw-away test prefix.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <string>

#include "console/tests/HostedTool.h"
#include "core/String.h"
#include "framework/CDHtmlDialog.h"
#include "process/res/resource.h"
#include "process/tests/TestChildProcess.h"
#include "testing/HostPath.h"
#include "testing/MessagePump.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"

namespace {

using System::String;
using TestSupport::PumpUntil;

CRect PlaceOf(HWND tool, int id)
{
    HWND control = GetDlgItem(tool, id);
    EXPECT_NE(control, nullptr) << id;
    return control ? PlaceIn(tool, control) : CRect();
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

// The caption and tab count of the detail sheet this thread shows, read from inside its modal loop.
struct SheetSeen {
    std::wstring caption;
    int tabs = -1;
};
SheetSeen* sheetSeen = nullptr;

void CALLBACK ReadAndCloseTheSheet(HWND, UINT, UINT_PTR timer, DWORD)
{
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            wchar_t caption[128] = {};
            GetWindowTextW(window, caption, 128);
            if (std::wstring(caption).rfind(L"프로세스 정보 - ", 0) != 0) return TRUE;
            sheetSeen->caption = caption;
            sheetSeen->tabs = TabCtrl_GetItemCount(PropSheet_GetTabControl(window));
            PropSheet_PressButton(window, PSBTN_CANCEL);
            return FALSE;
        },
        0);
    if (sheetSeen->tabs >= 0) KillTimer(nullptr, timer);
}

}  // namespace

TEST(VtpsmConsoleTest, ConsoleOpensTheProcessManagerWhoseGraphsAndListFollowTheToolsSize)
{
    std::wstring refusal = TestSupport::WhyDestructiveTestsAreRefused();
    if (!refusal.empty()) GTEST_SKIP() << String(refusal.c_str()).ToUtf8();
    TestChildProcess busy(L"spin");
    ASSERT_TRUE(busy.Started());

    HostedTool host({L"05", L"프로세스 관리", L"시스템 도구", L"vtpsm.dll"});
    ASSERT_TRUE(host.Open());
    CDHtmlDialog* tool = &host.Tool();
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
    ASSERT_TRUE(host.Maximise());
    ULONGLONG until = GetTickCount64() + 2500;
    PumpUntil([&] { return GetTickCount64() > until; }, 4000);
    ExpectControlsFollowTheClientSize(*tool);
    TestSupport::SaveScreenImage(tool->m_hWnd, TestSupport::HostPath(PROCESS_BUILD_DIR) + L"\\screenshots\\vtpsm_console_maximised.png");
    ASSERT_TRUE(host.Restore());
    ExpectControlsFollowTheClientSize(*tool);

    // "자세히>>" opens the sheet from the add-on's own templates while the console hosts it.
    HWND pane = GetDlgItem(tool->m_hWnd, IDC_PROCESS_INFO_PANE);
    HWND details = GetDlgItem(pane, IDC_PROCESS_DETAILS);
    ASSERT_TRUE(IsWindowEnabled(details)) << "the first row is shown in the pane";
    SheetSeen seen;
    sheetSeen = &seen;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadAndCloseTheSheet);
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDC_PROCESS_DETAILS, BN_CLICKED), reinterpret_cast<LPARAM>(details));
    KillTimer(nullptr, timer);
    sheetSeen = nullptr;
    EXPECT_EQ(seen.tabs, 4);
    EXPECT_FALSE(seen.caption.empty());

    EXPECT_TRUE(host.GoHome());
}
