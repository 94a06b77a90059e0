// The system information window with a general tab fed prepared drives and adapters: the summary
// texts, the three panels the page switches, the storage and network blocks, the tab's place at
// every size, and the arrows.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/String.h"
#include "framework/CWinApp.h"
#include "html/Node.h"
#include "html/Page.h"
#include "sysinfo/SysInfo.h"
#include "sysinfo/SystemTexts.h"
#include "sysinfo/addon/SystemInfoViewerDlg.h"
#include "testing/PageClick.h"
#include "testing/MessagePump.h"

namespace {

using System::String;
using TestSupport::PumpPending;
using TestSupport::PumpUntil;

std::string Utf8(const CString& text) { return String(text.GetString()).ToUtf8(); }

// Drives and adapters as a test wants them: a fixed drive whose label is markup, a DVD drive that
// did not tell its media, and one adapter without an address.
class PreparedTab : public CGeneralInfoTabDlg {
protected:
    System::Array<DriveInfo*> CollectDrives() override
    {
        auto* fixed = new DriveInfo;
        fixed->name = L"C:";
        fixed->type = L"로컬 고정 드라이브";
        fixed->label = L"<b>x</b>";
        fixed->totalBytes = 1073741824ULL * 40;
        auto* optical = new DriveInfo;
        optical->name = L"D:";
        optical->type = L"CD-ROM 드라이브";
        optical->label = L"없음";
        return System::Array<DriveInfo*>({fixed, optical});
    }
    System::Array<NetwrokInfo*> CollectNetworkAdapters() override
    {
        auto* adapter = new NetwrokInfo;
        adapter->description = L"Unplugged Ethernet";
        adapter->ipAddress = L"0.0.0.0";
        adapter->subnetMask = L"0.0.0.0";
        return System::Array<NetwrokInfo*>({adapter});
    }
    System::Array<String> CollectDnsServers() override { return System::Array<String>({L"192.168.0.1", L"8.8.8.8"}); }
};

class TestViewer : public CSystemInfoViewerDlg {
public:
    explicit TestViewer(CWnd* parent) : CSystemInfoViewerDlg(parent, std::make_unique<PreparedTab>()) {}
};

// Stands in for the console: the owner that receives the back arrow's message.
class ConsoleStandIn : public CWnd {
public:
    int backs = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_ADDON_BACK && wParam == 0 && lParam == 0) ++backs;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class SystemInfoViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(console_.CreateEx(0, AfxGetDefaultWindowClass(), L"console", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200),
                                      nullptr, 0));
        viewer_ = std::make_unique<TestViewer>(&console_);
        ASSERT_TRUE(viewer_->Create(CSystemInfoViewerDlg::TemplateId, &console_));
        viewer_->ShowWindow(SW_SHOWNOACTIVATE);
        ASSERT_TRUE(PumpUntil([&] { return viewer_->GetElement(L"_BtnNext") && Tab().IsDocumentLoaded() && !Html(L"divNet").empty(); }))
            << "the pages never completed";
    }
    void TearDown() override
    {
        viewer_.reset();
        console_.DestroyWindow();
        PumpPending();
    }

    CGeneralInfoTabDlg& Tab() { return viewer_->GetGeneralTab(); }
    std::string Text(const wchar_t* id) { return Utf8(Tab().GetElementText(id)); }
    std::wstring Html(const wchar_t* id) { return Tab().GetElementHtml(id).GetString(); }
    std::wstring Display(const wchar_t* id)
    {
        Html::Node* element = Tab().GetElement(id);
        return element ? element->StyleDisplay() : L"<none>";
    }
    // The tab's rectangle in the window's client coordinates.
    CRect TabPlace()
    {
        CRect place;
        Tab().GetWindowRect(&place);
        viewer_->ScreenToClient(&place);
        return place;
    }

    ConsoleStandIn console_;
    std::unique_ptr<TestViewer> viewer_;
};

}  // namespace

TEST_F(SystemInfoViewerTest, SummaryTextsComeFromTheCollection)
{
    CSysInfo info;
    info.Collect();
    EXPECT_EQ(Text(L"OSInfo"), info.GetOSText().ToUtf8());
    EXPECT_EQ(Text(L"TopOSInfo"), Text(L"OSInfo"));
    EXPECT_EQ(Text(L"CPUInfo"), info.GetProcessorText().ToUtf8());
    EXPECT_EQ(Text(L"TopCPUInfo"), Text(L"CPUInfo"));
    EXPECT_EQ(Text(L"TotalMemory"), FormatSize(info.GetTotalPhysicalMemory()).ToUtf8());
    EXPECT_EQ(Text(L"TotalVirtualMemory"), FormatSize(info.GetTotalPageFile()).ToUtf8());
    EXPECT_EQ(Text(L"ComputerInfo"), GetComputerNameText().ToUtf8());
    EXPECT_EQ(Text(L"UserInfo"), info.GetUserNameText().ToUtf8());
    EXPECT_EQ(Text(L"Locale"), (GetKeyboardCountry() + L" / " + GetSystemLanguage()).ToUtf8());
    EXPECT_EQ(Text(L"WindowFolder"), GetWindowsFolder().ToUtf8());
    EXPECT_EQ(Text(L"SystemFolder"), GetSystemFolder().ToUtf8());
    EXPECT_FALSE(Text(L"DefaultBrowser").empty());
}

TEST_F(SystemInfoViewerTest, PageSwitchesItsThreePanelsAndShowsTheFirstOnLoad)
{
    EXPECT_EQ(Display(L"info"), L"block");
    EXPECT_EQ(Display(L"info2"), L"none");
    EXPECT_EQ(Display(L"info3"), L"none");

    TestSupport::ClickElement(Tab(), L"Tab2");
    EXPECT_EQ(Display(L"info"), L"none");
    EXPECT_EQ(Display(L"info2"), L"block");
    EXPECT_EQ(Tab().GetElementAttribute(L"Tab2", L"class"), CString(L"tab selected"));
    EXPECT_EQ(Tab().GetElementAttribute(L"Tab1", L"class"), CString(L"tab"));

    TestSupport::ClickElement(Tab(), L"Tab3");
    EXPECT_EQ(Display(L"info2"), L"none");
    EXPECT_EQ(Display(L"info3"), L"block");
    TestSupport::ClickElement(Tab(), L"Tab1");
    EXPECT_EQ(Display(L"info"), L"block");
    EXPECT_EQ(Display(L"info3"), L"none");
}

TEST_F(SystemInfoViewerTest, StorageBlocksShowLabelsAsTextAndSortFixedFromOtherDrives)
{
    Html::Node* hdd = Tab().GetElement(L"divHDD");
    ASSERT_NE(hdd, nullptr);
    EXPECT_EQ(Text(L"divHDD"), "드라이브 이름C:볼륨 이름<b>x</b>용량40.0 GB");
    // The label is one text node: no element came out of it.
    ASSERT_EQ(hdd->Children().size(), 3u);
    Html::Node* labelValue = hdd->Children()[1]->Children()[1].get();
    ASSERT_EQ(labelValue->Children().size(), 1u);
    EXPECT_TRUE(labelValue->Children()[0]->IsText());
    EXPECT_EQ(Text(L"divODD"), "드라이브 이름D:볼륨 이름없음설명CD-ROM 드라이브");
}

TEST_F(SystemInfoViewerTest, AdapterWithoutAddressIsListedWhileIpInfoStaysEmpty)
{
    EXPECT_EQ(Text(L"IPInfo"), "");
    EXPECT_TRUE(Tab().GetIPInfo().IsEmpty());
    EXPECT_EQ(Text(L"divNet"), "Unplugged EthernetIP 주소0.0.0.0IP 서브넷0.0.0.0DNS 주소192.168.0.1\r\n8.8.8.8");
}

TEST_F(SystemInfoViewerTest, TabFillsTheWindowBelowTheArrowsAtEverySize)
{
    CRect client;
    viewer_->GetClientRect(&client);
    EXPECT_EQ(TabPlace(), CRect(2, 45, client.Width() - 2, client.Height() - 1));

    for (SIZE size : {SIZE{500, 320}, SIZE{1100, 780}, SIZE{640, 451}}) {
        viewer_->MoveWindow(0, 0, size.cx, size.cy);
        viewer_->GetClientRect(&client);
        EXPECT_EQ(TabPlace(), CRect(2, 45, client.Width() - 2, client.Height() - 1)) << size.cx << " x " << size.cy;
        CRect tabClient;
        Tab().GetClientRect(&tabClient);
        Tab().GetPage()->Update();
        Html::Node* panel = Tab().GetElement(L"info");
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->Box().border.y + panel->Box().border.height, tabClient.Height()) << "the panel reaches the bottom";
    }
}

TEST_F(SystemInfoViewerTest, ArrowsSendTheConsoleBackAndEnterOrEscapeHideNothing)
{
    TestSupport::ClickElement(*viewer_, L"BtnPrevious");
    EXPECT_EQ(console_.backs, 1);
    ASSERT_NE(viewer_->GetElement(L"_BtnNext"), nullptr) << "the forward arrow is disabled";
    TestSupport::ClickElement(*viewer_, L"_BtnNext");
    EXPECT_EQ(console_.backs, 1);

    Tab().SendMessage(WM_COMMAND, IDOK, 0);
    Tab().SendMessage(WM_COMMAND, IDCANCEL, 0);
    viewer_->SendMessage(WM_COMMAND, IDOK, 0);
    viewer_->SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(viewer_->IsWindowVisible());
    EXPECT_TRUE(Tab().IsWindowVisible());
}
