// vtsv.dll as the user meets it: the console started for tool 06 (as "vtcon.exe 06" does) loads it,
// lays it over itself, maximises with it, and takes it home by its back arrow. Screenshots of the
// three panels go to the build folder. In the test prefix a CD drive with a markup label is declared
// first, so that the storage panel shows one.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "console/tests/HostedTool.h"
#include "core/String.h"
#include "framework/CDHtmlDialog.h"
#include "framework/CWinApp.h"
#include "sysinfo/tests/WineCdDrive.h"
#include "testing/HostPath.h"
#include "testing/MessagePump.h"
#include "testing/PageClick.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"

namespace {

CRect ClientOf(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return CRect(client);
}

}  // namespace

TEST(VtsvConsoleTest, ConsoleOpensTool06WhoseTabFollowsEverySizeAndGoesHome)
{
    TestSupport::TempFolder disc;
    disc.WriteFile(L".windows-label", "<b>x</b>");
    std::unique_ptr<SysinfoTests::WineCdDrive> cdDrive;
    if (TestSupport::IsWine() && TestSupport::WhyDestructiveTestsAreRefused().empty()) {
        cdDrive = std::make_unique<SysinfoTests::WineCdDrive>(disc.Path());
    }

    HostedTool host({L"06", L"시스템 정보", L"시스템 도구", L"vtsv.dll"});
    ASSERT_TRUE(host.Open(true));
    EXPECT_EQ(host.Console().GetCurrentId(), System::String(L"06"));
    CDHtmlDialog* viewer = &host.Tool();
    ASSERT_TRUE(viewer->IsWindowVisible());
    HWND tabWindow = GetWindow(viewer->m_hWnd, GW_CHILD);
    ASSERT_NE(tabWindow, nullptr) << "the general tab is the window's child";
    auto* tab = dynamic_cast<CDHtmlDialog*>(CWnd::FromHandlePermanent(tabWindow));
    ASSERT_NE(tab, nullptr);
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return tab->IsDocumentLoaded() && !tab->GetElementHtml(L"divNet").IsEmpty(); }));
    EXPECT_FALSE(tab->GetElementText(L"OSInfo").IsEmpty());
    EXPECT_FALSE(tab->GetElementText(L"TotalMemory").IsEmpty());

    // Hosted 29 pixels shorter than its template, then maximised: the tab follows both.
    CRect client = ClientOf(viewer->m_hWnd);
    EXPECT_EQ(PlaceIn(viewer->m_hWnd, tabWindow), CRect(2, 45, client.Width() - 2, client.Height() - 1));
    ASSERT_TRUE(host.Maximise());
    CRect maximised = ClientOf(viewer->m_hWnd);
    EXPECT_GT(maximised.Height(), client.Height());
    EXPECT_EQ(PlaceIn(viewer->m_hWnd, tabWindow), CRect(2, 45, maximised.Width() - 2, maximised.Height() - 1));
    ASSERT_TRUE(host.Restore());
    client = ClientOf(viewer->m_hWnd);
    EXPECT_EQ(PlaceIn(viewer->m_hWnd, tabWindow), CRect(2, 45, client.Width() - 2, client.Height() - 1));

    if (cdDrive && cdDrive->Letter()) {
        EXPECT_NE(tab->GetElementText(L"divODD").Find(L"<b>x</b>"), -1) << "the disc's label shows as it is";
        EXPECT_NE(tab->GetElementText(L"divODD").Find(L"CD-ROM 드라이브"), -1);
    }
    const wchar_t* panels[] = {L"Tab1", L"Tab2", L"Tab3"};
    for (int panel = 0; panel < 3; ++panel) {
        TestSupport::ClickElement(*tab, panels[panel]);
        viewer->UpdateWindow();
        tab->UpdateWindow();
        TestSupport::PumpPending();
        std::wstring name = L"sysinfo_panel" + std::to_wstring(panel + 1) + L".png";
        EXPECT_TRUE(TestSupport::SaveWindowImage(viewer->m_hWnd, TestSupport::HostPath(SYSINFO_BUILD_DIR) + L"\\" + name));
    }

    ASSERT_TRUE(host.GoHome());
    EXPECT_FALSE(viewer->IsWindowVisible()) << "the tool stays alive, hidden, for the next visit";
}
