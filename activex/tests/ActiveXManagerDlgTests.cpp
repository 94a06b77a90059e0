// The ActiveX manager's window driven as the user drives it, over a feed from a loopback server,
// a cache and settings in a temporary folder, and a compatibility key of its own in both registry
// views of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "activex/addon/ActiveXManagerDlg.h"
#include "activex/addon/CApplyComment.h"
#include "activex/addon/CBlockDangerDlg.h"
#include "html/Node.h"
#include "html/Page.h"
#include "startup/ProgramInfoLoader.h"
#include "testing/HostPath.h"
#include "testing/HttpServer.h"
#include "testing/MessagePump.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"

using System::String;
using TestSupport::PumpPending;
using TestSupport::PumpUntil;

namespace {

const wchar_t* const Flash = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";
const wchar_t* const Guard = L"{8C3F0D21-2E6A-4B7F-A1D2-6E5F4A3B2C17}";
const wchar_t* const Player = L"{E4A6B8C0-9D1F-4A2B-B3C4-D5E6F7081920}";
const wchar_t* const Adware = L"{0F1E2D3C-4B5A-4968-8776-655443322110}";

std::string Item(const char* title, const char* name, const wchar_t* clsid, const char* type, int rating)
{
    std::wstring id(clsid);
    return std::string("<item><title>") + title + "</title><description>" + title + " 설명</description><author>제작사</author><name>" +
           name + "</name><clsid>" + std::string(id.begin(), id.end()) + "</clsid><type>" + type + "</type><rating>" +
           std::to_string(rating) + "</rating></item>";
}

class TestManagerDlg : public ActiveXManagerDlg {
public:
    using ActiveXManagerDlg::ActiveXManagerDlg;
    INT_PTR dangerAnswer = IDCANCEL;
    int dangerQuestions = 0;
    size_t dangerRows = 0;
    CString collapsedCaption;
    CString expandedCaption;
    int notes = 0;

protected:
    INT_PTR RunDialog(CDialog& dialog) override
    {
        if (auto* question = dynamic_cast<CBlockDangerDlg*>(&dialog)) {
            ++dangerQuestions;
            if (question->Create(IDD_AXM_BLOCK_DANGER, this)) {
                dangerRows = question->GetList().GetItemCount();
                question->GetDlgItemText(IDC_AXM_MORE, collapsedCaption);
                question->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_AXM_MORE, BN_CLICKED), 0);
                question->GetDlgItemText(IDC_AXM_MORE, expandedCaption);
                question->ShowWindow(SW_SHOW);
                PumpPending();
                TestSupport::SaveWindowImage(question->m_hWnd, TestSupport::HostPath(ACTIVEX_BUILD_DIR) + L"\\screenshots\\vtaxm_danger.png");
                question->DestroyWindow();
            }
            return dangerAnswer;
        }
        if (dynamic_cast<CApplyComment*>(&dialog)) ++notes;
        return IDCANCEL;
    }
};

class ActiveXManagerDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring why = TestSupport::WhyDestructiveTestsAreRefused();
        if (!why.empty()) GTEST_SKIP() << std::string(why.begin(), why.end());
        previousNotice_ = ProgramInfoLoader::SetFailureNotice([](const String&, const String&) {});
        root_ = L"SOFTWARE\\Vela\\Tests\\AxmWindow-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            HKEY key = nullptr;
            ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (root_ + L"\\ActiveX Compatibility").c_str(), 0, nullptr, 0,
                                      KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
                      ERROR_SUCCESS);
            RegCloseKey(key);
        }
        killBits_ = std::make_unique<KillBits>((root_ + L"\\ActiveX Compatibility").c_str());
        TestSupport::HttpServer::Response response;
        response.body = "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss><channel>" +
                        Item("플래시", "FlashPlayer.ocx", Flash, "멀티미디어", 0) + Item("키보드 보안", "KeyGuard.cab", Guard, "보안", 1) +
                        Item("동영상", "MediaFlash.dll", Player, "멀티미디어", 2) + Item("광고", "AdHelper.dll", Adware, "광고", -1) +
                        "</channel></rss>";
        server_.Serve("/net/ActiveXRSS.aspx", response);
    }
    void TearDown() override
    {
        dialog_.reset();
        if (root_.empty()) return;
        ProgramInfoLoader::SetFailureNotice(previousNotice_);
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            HKEY tests = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vela\\Tests", 0, KEY_ALL_ACCESS | view, &tests) == ERROR_SUCCESS) {
                RegDeleteTreeW(tests, root_.substr(21).c_str());
                RegCloseKey(tests);
            }
        }
    }

    TestManagerDlg& Open(INT_PTR dangerAnswer = IDCANCEL)
    {
        ActiveXManagerDlg::Places places;
        places.feedUrl = server_.Url("/net/ActiveXRSS.aspx").c_str();
        places.cachePath = (folder_ / L"vaaxm.dat").c_str();
        places.settingsPath = (folder_ / L"vaaxm.cfg").c_str();
        places.killBits = killBits_.get();
        dialog_ = std::make_unique<TestManagerDlg>(nullptr, places);
        dialog_->dangerAnswer = dangerAnswer;
        EXPECT_TRUE(dialog_->Create(ActiveXManagerDlg::TemplateId));
        dialog_->SetWindowPos(nullptr, 0, 0, 820, 560, SWP_NOZORDER | SWP_NOMOVE);
        dialog_->ShowWindow(SW_SHOW);
        EXPECT_TRUE(PumpUntil([&] { return dialog_->IsDocumentLoaded(); }));
        PumpPending();
        return *dialog_;
    }
    std::vector<std::wstring> Rows()
    {
        std::vector<std::wstring> titles;
        for (int row = 0; row < dialog_->GetList().GetItemCount(); ++row) titles.push_back(dialog_->GetEntry(row)->GetTitle().GetStdString());
        return titles;
    }
    std::vector<std::wstring> SelectedRows()
    {
        std::vector<std::wstring> titles;
        for (int row = 0; row < dialog_->GetList().GetItemCount(); ++row) {
            if (dialog_->GetList().GetItemState(row, LVIS_SELECTED)) titles.push_back(dialog_->GetEntry(row)->GetTitle().GetStdString());
        }
        return titles;
    }
    void Click(const wchar_t* id)
    {
        dialog_->GetPage()->Update();
        Html::Node* element = dialog_->GetElement(id);
        ASSERT_NE(element, nullptr);
        Html::Rect box = element->Box().border;
        LPARAM at = MAKELPARAM(box.x + box.width / 2, box.y + box.height / 2);
        dialog_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        dialog_->SendMessage(WM_LBUTTONUP, 0, at);
    }
    void Type(const wchar_t* text) { dialog_->GetElement(L"search")->SetValue(text); }
    // A click on a row's picture (or on its text), as the list reports it to its pane.
    void ClickRow(int row, bool onPicture)
    {
        CRect box;
        ASSERT_TRUE(dialog_->GetList().GetItemRect(row, &box, onPicture ? LVIR_ICON : LVIR_LABEL));
        NMITEMACTIVATE click = {};
        click.hdr = {dialog_->GetList().m_hWnd, IDC_AXM_LIST, static_cast<UINT>(NM_CLICK)};
        click.iItem = row;
        click.ptAction = box.CenterPoint();
        dialog_->GetListPane().SendMessage(WM_NOTIFY, IDC_AXM_LIST, reinterpret_cast<LPARAM>(&click));
    }
    long long Flags(const wchar_t* clsid, REGSAM view)
    {
        HKEY key = nullptr;
        std::wstring path = root_ + L"\\ActiveX Compatibility\\" + clsid;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return -1;
        DWORD value = 0;
        DWORD size = sizeof value;
        LSTATUS status = RegGetValueW(key, nullptr, L"Compatibility Flags", RRF_RT_REG_DWORD, nullptr, &value, &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? value : -1;
    }
    CRect ChildRect(CWnd& child)
    {
        CRect rect;
        child.GetWindowRect(&rect);
        dialog_->ScreenToClient(&rect);
        return rect;
    }

    std::wstring root_;
    std::unique_ptr<KillBits> killBits_;
    TestSupport::TempFolder folder_;
    TestSupport::HttpServer server_;
    ProgramInfoLoader::FailureNotice previousNotice_;
    std::unique_ptr<TestManagerDlg> dialog_;
};

TEST_F(ActiveXManagerDlgTest, TypingFiltersWithinAPollAndTheClearLinkShowsEveryRowAgain)
{
    TestManagerDlg& dialog = Open();
    ASSERT_EQ(Rows(), (std::vector<std::wstring>{L"플래시", L"키보드 보안", L"동영상", L"광고"}));
    std::vector<std::wstring> categories;
    for (HTREEITEM item = dialog.GetCategoryPane().GetTree().GetRootItem(); item;
         item = dialog.GetCategoryPane().GetTree().GetNextItem(item, TVGN_NEXTVISIBLE))
        categories.push_back(dialog.GetCategoryPane().GetTree().GetItemText(item).GetString());
    EXPECT_EQ(categories, (std::vector<std::wstring>{L"전체", L"일반", L"멀티미디어", L"보안", L"광고", L"새로 추가된 항목"}));

    Type(L"FLASH");
    DWORD typed = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return Rows().size() == 2; }, 2000));
    EXPECT_LT(GetTickCount() - typed, 1000u);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"플래시", L"동영상"}));
    EXPECT_EQ(dialog.GetSearchText(), String(L"FLASH"));
    TestSupport::SaveWindowImage(dialog.m_hWnd, TestSupport::HostPath(ACTIVEX_BUILD_DIR) + L"\\screenshots\\vtaxm_search.png");

    Click(L"removeBtnImg");
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_EQ(dialog.GetElement(L"search")->Value(), L"");
    EXPECT_EQ(dialog.GetSearchText(), String());
}

TEST_F(ActiveXManagerDlgTest, ASearchMatchingNothingEmptiesTheListAndHidesThePane)
{
    TestManagerDlg& dialog = Open();
    EXPECT_FALSE(dialog.IsInfoPaneShown());
    Click(L"LnkShowAllImg");
    EXPECT_EQ(SelectedRows().size(), 4u);
    EXPECT_TRUE(dialog.IsInfoPaneShown());
    Type(L"없는 이름");
    ASSERT_TRUE(PumpUntil([&] { return Rows().empty(); }, 2000));
    EXPECT_FALSE(dialog.IsInfoPaneShown());
}

TEST_F(ActiveXManagerDlgTest, RefreshKeepsTheSelectedControls)
{
    TestManagerDlg& dialog = Open();
    dialog.GetList().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    dialog.GetList().SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    Click(L"LnkRefreshImg");
    EXPECT_EQ(SelectedRows(), (std::vector<std::wstring>{L"키보드 보안", L"광고"}));
    EXPECT_TRUE(dialog.IsInfoPaneShown());
    EXPECT_EQ(dialog.GetInfoPane().GetRating(), -1);
    EXPECT_EQ(dialog.GetCategory(), String(L"전체"));
}

TEST_F(ActiveXManagerDlgTest, ClickingARowsPictureTogglesItsKillBitAndAClickOnItsTextDoesNot)
{
    TestManagerDlg& dialog = Open();
    int row = dialog.FindRow(Guard);
    ClickRow(row, false);
    EXPECT_EQ(Flags(Guard, KEY_WOW64_64KEY), -1);
    EXPECT_TRUE(dialog.IsInfoPaneShown());
    ClickRow(row, true);
    EXPECT_EQ(Flags(Guard, KEY_WOW64_64KEY), 0x400);
    EXPECT_EQ(Flags(Guard, KEY_WOW64_32KEY), 0x400);
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    ASSERT_TRUE(dialog.GetList().GetItem(&item));
    EXPECT_EQ(item.iImage, ActiveXManagerDlg::BlockedPicture);
    EXPECT_EQ(dialog.notes, 0);
    ClickRow(row, true);
    EXPECT_EQ(Flags(Guard, KEY_WOW64_64KEY), -1);
    EXPECT_EQ(Flags(Guard, KEY_WOW64_32KEY), -1);
}

TEST_F(ActiveXManagerDlgTest, TheDangerQuestionBlocksTheUnblockedDangerousControlsWhenAnsweredYes)
{
    TestManagerDlg& dialog = Open(IDOK);
    EXPECT_EQ(dialog.dangerQuestions, 1);
    EXPECT_EQ(dialog.dangerRows, 1u);
    EXPECT_EQ(dialog.collapsedCaption, CString(L"자세히>>"));
    EXPECT_EQ(dialog.expandedCaption, CString(L"자세히<<"));
    EXPECT_EQ(Flags(Adware, KEY_WOW64_64KEY), 0x400);
    // Once they are blocked, a reload asks nothing.
    Click(L"LnkRefreshImg");
    EXPECT_EQ(dialog.dangerQuestions, 1);

    dialog.GetList().SetItemState(-1, 0, LVIS_SELECTED);
    dialog.GetList().SetItemState(dialog.FindRow(Flash), LVIS_SELECTED, LVIS_SELECTED);
    Click(L"LnkCutImg");
    EXPECT_EQ(Flags(Flash, KEY_WOW64_64KEY), 0x400);
    EXPECT_EQ(dialog.notes, 1);
    Click(L"LnkNoCutImg");
    EXPECT_EQ(Flags(Flash, KEY_WOW64_64KEY), -1);
    EXPECT_EQ(dialog.notes, 2);
}

TEST_F(ActiveXManagerDlgTest, ChoosingACategoryShowsItsControlsUnderItsCaption)
{
    TestManagerDlg& dialog = Open();
    CTreeCtrl& tree = dialog.GetCategoryPane().GetTree();
    HTREEITEM media = dialog.GetCategoryPane().Find(L"멀티미디어");
    ASSERT_NE(media, nullptr);
    tree.SelectItem(media);
    EXPECT_EQ(dialog.GetCategory(), String(L"멀티미디어"));
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"플래시", L"동영상"}));
    CString caption;
    dialog.GetListPane().GetDlgItemText(IDC_AXM_CAPTION, caption);
    EXPECT_EQ(caption, CString(L"멀티미디어"));
    // No control of the feed has a date, so none is new.
    tree.SelectItem(dialog.GetCategoryPane().Find(L"새로 추가된 항목"));
    EXPECT_TRUE(Rows().empty());
    // A refresh starts again from every control.
    Click(L"LnkRefreshImg");
    EXPECT_EQ(dialog.GetCategory(), String(L"전체"));
    EXPECT_EQ(Rows().size(), 4u);
}

TEST_F(ActiveXManagerDlgTest, ThePanesFollowTheClientSize)
{
    TestManagerDlg& dialog = Open();
    Click(L"LnkShowAllImg");
    TestSupport::SaveWindowImage(dialog.m_hWnd, TestSupport::HostPath(ACTIVEX_BUILD_DIR) + L"\\screenshots\\vtaxm_list.png");
    for (SIZE size : {SIZE{640, 420}, SIZE{1000, 700}}) {
        dialog.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        PumpPending();
        CRect client;
        dialog.GetClientRect(&client);
        CRect panes = ChildRect(dialog.GetCategorySplitter());
        EXPECT_EQ(panes, CRect(2, 45, client.right - 2, client.bottom - 30)) << size.cx;
        CRect info = ChildRect(dialog.GetInfoPane());
        EXPECT_EQ(info.bottom, client.bottom - 30) << size.cx;
        EXPECT_EQ(info.right, client.right - 2) << size.cx;
    }
}

}  // namespace
