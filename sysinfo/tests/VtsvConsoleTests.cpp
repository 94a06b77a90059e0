// vtsv.dll as the user meets it: the console started for tool 06 (as "vtcon.exe 06" does) loads it,
// lays it over itself, maximises with it, and takes it home by its back arrow. Screenshots of the
// three panels go to the build folder. In the test prefix a CD drive with a markup label is declared
// first, so that the storage panel shows one.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "console/AddonManager.h"
#include "console/ConsoleDlg.h"
#include "console/tests/RecordingConsole.h"
#include "console/OptionDlg.h"
#include "console/res/resource.h"
#include "core/String.h"
#include "framework/CDHtmlDialog.h"
#include "framework/CWinApp.h"
#include "html/Node.h"
#include "html/Page.h"
#include "sysinfo/tests/WineCdDrive.h"
#include "testing/PageClick.h"
#include "testing/HostPath.h"
#include "testing/MessagePump.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"

namespace {

using System::String;
using TestSupport::PumpPending;
using TestSupport::PumpUntil;

std::string Utf8(const CString& text) { return String(text.GetString()).ToUtf8(); }

// The tab's rectangle in the viewer's client coordinates.
CRect PlaceIn(HWND viewer, HWND tab)
{
    RECT place;
    GetWindowRect(tab, &place);
    MapWindowPoints(HWND_DESKTOP, viewer, reinterpret_cast<POINT*>(&place), 2);
    return CRect(place);
}

CRect ClientOf(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return CRect(client);
}

}  // namespace

TEST(VtsvConsoleTest, ConsoleOpensTool06WhoseTabFollowsEverySizeAndGoesHome)
{
    bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    TestSupport::TempFolder disc;
    disc.WriteFile(L".windows-label", "<b>x</b>");
    std::unique_ptr<SysinfoTests::WineCdDrive> cdDrive;
    if (TestSupport::IsWine() && TestSupport::WhyDestructiveTestsAreRefused().empty()) {
        cdDrive = std::make_unique<SysinfoTests::WineCdDrive>(disc.Path());
    }

    TestSupport::TempFolder home;
    COptionDlg::WriteSmoothSwitch((home / L"vacon.cfg").c_str(), false);
    std::wstring catalogue = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><addons><item><id>06</id><name>시스템 정보</name>"
                             L"<category>시스템 도구</category><description>정보</description><imageFileName>icons\\sysinfo.png"
                             L"</imageFileName><moduleFileName>" +
                             TestSupport::ProgramFolder() + L"\\vtsv.dll</moduleFileName><external>0</external></item></addons>";
    home.WriteFile(L"vtaddons3.xml", String(catalogue).ToUtf8());
    {
        AddonManager addons(String(home.Path().c_str()));
        RecordingConsole console(addons, String(home.Path().c_str()), String((home / L"vacon.cfg").c_str()));
        console.SetStartId(L"06");
        ASSERT_TRUE(console.Create(IDD_CONSOLE));
        console.ShowWindow(SW_SHOW);
        ASSERT_TRUE(PumpUntil([&] { return console.IsPageFilled() && console.IsToolShown() && !console.IsBusy(); }));
        EXPECT_TRUE(console.messages.empty()) << Utf8(console.messages.empty() ? CString() : console.messages[0]);
        EXPECT_EQ(console.GetCurrentId(), String(L"06"));

        auto* viewer = dynamic_cast<CDHtmlDialog*>(console.GetCurrentDialog());
        ASSERT_NE(viewer, nullptr);
        ASSERT_TRUE(viewer->IsWindowVisible());
        HWND tabWindow = GetWindow(viewer->m_hWnd, GW_CHILD);
        ASSERT_NE(tabWindow, nullptr) << "the general tab is the window's child";
        auto* tab = dynamic_cast<CDHtmlDialog*>(CWnd::FromHandlePermanent(tabWindow));
        ASSERT_NE(tab, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return tab->IsDocumentLoaded() && !tab->GetElementHtml(L"divNet").IsEmpty(); }));
        EXPECT_FALSE(tab->GetElementText(L"OSInfo").IsEmpty());
        EXPECT_FALSE(tab->GetElementText(L"TotalMemory").IsEmpty());

        // Hosted 29 pixels shorter than its template, then maximised: the tab follows both.
        CRect client = ClientOf(viewer->m_hWnd);
        EXPECT_EQ(PlaceIn(viewer->m_hWnd, tabWindow), CRect(2, 45, client.Width() - 2, client.Height() - 1));
        console.Maximise();
        ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
        CRect maximised = ClientOf(viewer->m_hWnd);
        EXPECT_GT(maximised.Height(), client.Height());
        EXPECT_EQ(PlaceIn(viewer->m_hWnd, tabWindow), CRect(2, 45, maximised.Width() - 2, maximised.Height() - 1));
        console.Restore();
        ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
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
            PumpPending();
            std::wstring name = L"sysinfo_panel" + std::to_wstring(panel + 1) + L".png";
            EXPECT_TRUE(TestSupport::SaveWindowImage(viewer->m_hWnd, TestSupport::HostPath(SYSINFO_BUILD_DIR) + L"\\" + name));
        }

        TestSupport::ClickElement(*viewer, L"BtnPrevious");
        ASSERT_TRUE(PumpUntil([&] { return !console.IsBusy(); }));
        EXPECT_FALSE(console.IsToolShown());
        EXPECT_FALSE(viewer->IsWindowVisible()) << "the tool stays alive, hidden, for the next visit";
        console.DestroyWindow();
    }
    if (com) CoUninitialize();
}
