// The shared list and pane controls through their own windows and messages: sorting by header
// clicks, row colours, stripes, the splitter's drag and hiding, the resizable dialog's anchors and
// the information pane's bands.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/CDC.h"
#include "framework/CGdiObject.h"
#include "startup/StartupEntry.h"
#include "startup/addon/CStartupListPane.h"
#include "startup/addon/StartupListRules.h"
#include "startup/res/resource.h"
#include "startup/ui/CColoredListCtrl.h"
#include "startup/ui/CProgInfoPane.h"
#include "startup/ui/CResizeDlg.h"
#include "startup/ui/CSSplitter.h"
#include "testing/MessagePump.h"

namespace {

// A top-level framework window to hold the controls.
class Host : public CWnd {
public:
    explicit Host(int width = 640, int height = 480)
    {
        EXPECT_TRUE(CreateEx(0, nullptr, L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, width, height), nullptr, 0));
    }
};

// Each test entry owns nothing of the system: no registration object.
StartupEntry* Entry(const wchar_t* name, const wchar_t* manufacturer, int rating, const wchar_t* commandLine,
                    const wchar_t* domain = L"Logon.CurrentUser.Registry.Run", int enabled = 1)
{
    return new StartupEntry(domain, name, manufacturer, L"", rating, commandLine, L"", enabled, nullptr);
}

class ListPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pane_.Create(&host_, IDD_STARTUP_LIST_PANE, WS_CHILD | WS_VISIBLE, IDD_STARTUP_LIST_PANE));
        pane_.MoveWindow(0, 0, 600, 300);
        CColoredListCtrl& list = pane_.GetList();
        list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        const wchar_t* headings[] = {L"이름", L"제조사", L"등급", L"실행경로", L"구분"};
        for (int column = 0; column < 5; ++column) list.InsertColumn(column, headings[column], LVCFMT_LEFT, 100);
        StartupListRules::Apply(list);
    }
    void TearDown() override
    {
        for (StartupEntry* entry : entries_) delete entry;
    }
    void Add(StartupEntry* entry, bool checked = true)
    {
        entries_.push_back(entry);
        CColoredListCtrl& list = pane_.GetList();
        int row = list.InsertItem(list.GetItemCount(), entry->GetName().GetBuffer());
        list.SetItemData(row, reinterpret_cast<DWORD_PTR>(entry));
        list.SetCheck(row, checked);
    }
    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        CColoredListCtrl& list = pane_.GetList();
        for (int row = 0; row < list.GetItemCount(); ++row)
            names.push_back(reinterpret_cast<StartupEntry*>(list.GetItemData(row))->GetName().GetStdString());
        return names;
    }
    // A press and release on the middle of a header item, as the user clicks it.
    void ClickHeader(int column)
    {
        CSortHeaderCtrl& header = pane_.GetList().GetSortHeader();
        ASSERT_NE(header.m_hWnd, nullptr) << "the list's header is subclassed";
        CRect item;
        ASSERT_TRUE(header.GetItemRect(column, &item));
        LPARAM at = MAKELPARAM(item.CenterPoint().x, item.CenterPoint().y);
        header.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        header.SendMessage(WM_LBUTTONUP, 0, at);
    }
    // What the list's custom drawing decides for one cell.
    NMLVCUSTOMDRAW DrawCell(int row)
    {
        CColoredListCtrl& list = pane_.GetList();
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.hdr.hwndFrom = list.m_hWnd;
        draw.nmcd.hdr.idFrom = IDC_STARTUP_LIST;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        draw.nmcd.lItemlParam = static_cast<LPARAM>(list.GetItemData(row));
        draw.iSubItem = 1;
        LRESULT result = pane_.SendMessage(WM_NOTIFY, IDC_STARTUP_LIST, reinterpret_cast<LPARAM>(&draw));
        EXPECT_EQ(result, CDRF_DODEFAULT);
        return draw;
    }

    Host host_;
    CStartupListPane pane_;
    std::vector<StartupEntry*> entries_;
};

COLORREF PixelAfterErase(CWnd& window, int x, int y, COLORREF before = RGB(255, 0, 255))
{
    CRect client;
    window.GetClientRect(&client);
    CClientDC screen(nullptr);
    CDC memory;
    CBitmap bitmap;
    EXPECT_TRUE(memory.CreateCompatibleDC(&screen));
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(&screen, client.Width(), client.Height()));
    CBitmap* old = memory.SelectObject(&bitmap);
    memory.FillSolidRect(&client, before);
    window.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.GetSafeHdc()));
    COLORREF pixel = memory.GetSafeHdc() ? GetPixel(memory.GetSafeHdc(), x, y) : CLR_INVALID;
    memory.SelectObject(old);
    return pixel;
}

}  // namespace

TEST_F(ListPaneTest, HeaderClicksSortAndASecondClickReverses)
{
    Add(Entry(L"beta", L"Zeta Soft", 1, L"b.exe"));
    Add(Entry(L"Alpha", L"yota", 2, L"a.exe"));
    Add(Entry(L"gamma", L"Xeno", -1, L"c.exe"));

    ClickHeader(StartupListRules::NameColumn);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Alpha", L"beta", L"gamma"})) << "names compare without case";
    EXPECT_EQ(pane_.GetList().GetSortColumn(), 0);
    EXPECT_TRUE(pane_.GetList().IsAscending());
    EXPECT_EQ(pane_.GetList().GetSortHeader().GetSortColumn(), 0) << "the name column shows the arrow";
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    ASSERT_TRUE(pane_.GetList().GetSortHeader().GetItem(4, &item));
    EXPECT_TRUE(item.fmt & HDF_OWNERDRAW) << "with a sort column the header draws every item";

    ClickHeader(StartupListRules::NameColumn);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"gamma", L"beta", L"Alpha"}));
    EXPECT_FALSE(pane_.GetList().IsAscending());
    EXPECT_FALSE(pane_.GetList().GetSortHeader().IsAscending());

    ClickHeader(StartupListRules::ManufacturerColumn);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"gamma", L"Alpha", L"beta"})) << "Xeno, yota, Zeta Soft";

    // The direction flips on every click, whichever the column: this one sorts descending. The
    // rating texts compare as they are: 안전 < 위험 < 필수.
    ClickHeader(StartupListRules::RatingColumn);
    EXPECT_FALSE(pane_.GetList().IsAscending());
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Alpha", L"gamma", L"beta"})) << "descending by rating text";

    pane_.GetList().ClearSort();
    EXPECT_EQ(pane_.GetList().GetSortHeader().GetSortColumn(), -1);
    ASSERT_TRUE(pane_.GetList().GetSortHeader().GetItem(0, &item));
    EXPECT_FALSE(item.fmt & HDF_OWNERDRAW);
}

TEST_F(ListPaneTest, TheCommandLineColumnKeepsTheOrderAndShowsNoArrow)
{
    Add(Entry(L"c", L"", 0, L"zzz.exe", L"Logon.CurrentUser.Startup"));
    Add(Entry(L"a", L"", 0, L"aaa.exe", L"Logon.AllUser.Registry.Run"));
    Add(Entry(L"b", L"", 0, L"mmm.exe", L"Logon.CurrentUser.Registry.Run"));

    ClickHeader(StartupListRules::CommandLineColumn);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"c", L"a", L"b"}));
    ClickHeader(StartupListRules::CommandLineColumn);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"c", L"a", L"b"}));
    EXPECT_EQ(pane_.GetList().GetSortHeader().GetSortColumn(), -1) << "column 3 sorts without an arrow";

    // The category sorts by its column form: 모든 사용자/... before 현재 사용자/...
    ClickHeader(StartupListRules::CategoryColumn);
    if (!pane_.GetList().IsAscending()) ClickHeader(StartupListRules::CategoryColumn);
    EXPECT_EQ(Names()[0], L"a");
    EXPECT_EQ(pane_.GetList().GetSortHeader().GetSortColumn(), -1);
}

TEST_F(ListPaneTest, RowsAreStripedAndColouredByTheOwnersRule)
{
    Add(Entry(L"unrated", L"", -3, L""));
    Add(Entry(L"safe", L"", 1, L""));
    Add(Entry(L"risky", L"", -1, L""));
    Add(Entry(L"plain", L"", 0, L""));
    Add(Entry(L"disabled", L"", 1, L"", L"Logon.CurrentUser.Registry.Run", 0), false);

    NMLVCUSTOMDRAW cells[5];
    for (int row = 0; row < 5; ++row) cells[row] = DrawCell(row);
    EXPECT_EQ(cells[0].clrTextBk, CColoredListCtrl::EvenRowColor);
    EXPECT_EQ(cells[1].clrTextBk, RGB(229, 232, 239));
    EXPECT_EQ(cells[2].clrTextBk, CColoredListCtrl::EvenRowColor);
    EXPECT_EQ(cells[0].clrText, RGB(0, 0, 0));
    EXPECT_EQ(cells[1].clrText, RGB(0, 160, 10));
    EXPECT_EQ(cells[2].clrText, RGB(221, 0, 0));
    EXPECT_EQ(cells[3].clrText, RGB(0, 0, 0));
    EXPECT_EQ(cells[4].clrText, RGB(190, 190, 190)) << "a cleared box greys the row whatever its rating";

    NMLVCUSTOMDRAW prepaint = {};
    prepaint.nmcd.hdr = {pane_.GetList().m_hWnd, IDC_STARTUP_LIST, static_cast<UINT>(NM_CUSTOMDRAW)};
    prepaint.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(pane_.SendMessage(WM_NOTIFY, IDC_STARTUP_LIST, reinterpret_cast<LPARAM>(&prepaint)), CDRF_NOTIFYITEMDRAW);
    prepaint.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    EXPECT_EQ(pane_.SendMessage(WM_NOTIFY, IDC_STARTUP_LIST, reinterpret_cast<LPARAM>(&prepaint)), CDRF_NOTIFYSUBITEMDRAW);
}

TEST_F(ListPaneTest, StripesGoOnBelowTheLastOfThreeRowsAndSpareTheHeader)
{
    Add(Entry(L"one", L"", 0, L""));
    Add(Entry(L"two", L"", 0, L""));
    Add(Entry(L"three", L"", 0, L""));
    CColoredListCtrl& list = pane_.GetList();
    CRect first;
    ASSERT_TRUE(list.GetItemRect(0, &first, LVIR_BOUNDS));
    int height = first.Height();
    CRect client;
    list.GetClientRect(&client);
    ASSERT_GT(client.Height(), first.top + 8 * height) << "room for rows below the three";

    int x = client.Width() - 5;
    for (int row = 3; row < 8; ++row) {
        int y = first.top + row * height + height / 2;
        EXPECT_EQ(PixelAfterErase(list, x, y), row % 2 == 0 ? CColoredListCtrl::EvenRowColor : CColoredListCtrl::OddRowColor)
            << "empty row " << row;
    }
    EXPECT_EQ(PixelAfterErase(list, x, first.top / 2), RGB(255, 0, 255)) << "the header's area is not painted";
}

TEST(SplitterTest, LaysOutDragsWithinMinimumsAndRestoresAHiddenPane)
{
    for (DWORD style : {CSSplitter::SideBySide, CSSplitter::Stacked}) {
        bool sideBySide = style == CSSplitter::SideBySide;
        Host host;
        CStatic first;
        CStatic second;
        ASSERT_TRUE(first.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &host, 11));
        ASSERT_TRUE(second.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &host, 12));
        CSSplitter splitter;
        ASSERT_TRUE(splitter.Create(style, &host, &first, &second, 13, CRect(10, 10, 410, 410), 80, 100));
        EXPECT_EQ(first.GetParent(), &splitter);
        EXPECT_EQ(second.GetParent(), &splitter);
        const int length = 400;

        auto extent = [&](CWnd& pane, int& low, int& high) {
            CRect rect;
            pane.GetWindowRect(&rect);
            splitter.ScreenToClient(&rect);
            low = sideBySide ? rect.left : rect.top;
            high = sideBySide ? rect.right : rect.bottom;
        };
        auto at = [&](int position) {
            return sideBySide ? MAKELPARAM(position, 20) : MAKELPARAM(20, position);
        };
        splitter.SetDivision(150);
        int low = 0, high = 0;
        extent(first, low, high);
        EXPECT_EQ(high, 149) << "the first pane ends 1 before the division";
        extent(second, low, high);
        EXPECT_EQ(low, 151) << "the second starts 2 after the first's end";
        EXPECT_EQ(high, length);

        // A press 2 pixels off the bar drags it; releasing lays the panes out anew.
        splitter.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(152));
        EXPECT_TRUE(splitter.IsDragging());
        splitter.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, at(190));
        splitter.SendMessage(WM_LBUTTONUP, 0, at(200));
        EXPECT_FALSE(splitter.IsDragging());
        EXPECT_EQ(splitter.GetDivision(), 200);
        extent(first, low, high);
        EXPECT_EQ(high, 199);

        // Too far either way stops at the minimums.
        splitter.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(200));
        splitter.SendMessage(WM_LBUTTONUP, 0, at(5));
        EXPECT_EQ(splitter.GetDivision(), 81);
        splitter.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(81));
        splitter.SendMessage(WM_LBUTTONUP, 0, at(length - 3));
        EXPECT_EQ(splitter.GetDivision(), length - 101);
        // A press away from the bar does nothing.
        splitter.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(40));
        EXPECT_FALSE(splitter.IsDragging());

        splitter.SetDivision(170);
        splitter.ShowFirstPane(false);
        EXPECT_FALSE(first.IsWindowVisible());
        extent(second, low, high);
        EXPECT_EQ(low, 0);
        EXPECT_EQ(high, length);
        splitter.ShowFirstPane(true);
        EXPECT_TRUE(first.IsWindowVisible());
        extent(first, low, high);
        EXPECT_EQ(high, 169) << "showing restores the last division";

        splitter.ShowSecondPane(false);
        extent(first, low, high);
        EXPECT_EQ(high, length);
        splitter.ShowSecondPane(true);
        extent(second, low, high);
        EXPECT_EQ(low, 171);

        // Keeping the second pane's size, a larger splitter gives the gain to the first.
        splitter.KeepSecondPaneSize(true);
        splitter.SetDivision(170);
        splitter.MoveWindow(10, 10, 500, 500);
        const int grown = 500;
        extent(second, low, high);
        EXPECT_EQ(high - low, length - 171);
        EXPECT_EQ(splitter.GetDivision(), 170 + grown - length);
    }
}

namespace {

class ResizeTestDlg : public CResizeDlg {
public:
    ResizeTestDlg() : CResizeDlg(IDD_RESTORE) {}
};

CRect ChildRect(CWnd& dialog, UINT id)
{
    CRect rect;
    dialog.GetDlgItem(static_cast<int>(id))->GetWindowRect(&rect);
    dialog.ScreenToClient(&rect);
    return rect;
}

}  // namespace

TEST(ResizeDlgTest, AnchorsFollowTheirModesAndTheWindowKeepsItsFirstSize)
{
    ResizeTestDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_RESTORE));
    CRect window;
    dialog.GetWindowRect(&window);
    CRect client;
    dialog.GetClientRect(&client);
    ASSERT_NE(dialog.GetGrip()->m_hWnd, nullptr);
    CRect grip = ChildRect(dialog, CResizeDlg::GripId);
    EXPECT_EQ(grip.right, client.right);
    EXPECT_EQ(grip.bottom, client.bottom);

    CRect intro = ChildRect(dialog, IDC_RESTORE_INTRO);
    CRect backups = ChildRect(dialog, IDC_STARTUP_LIST);
    CRect entries = ChildRect(dialog, IDC_BACKUP_ENTRIES);
    CRect ok = ChildRect(dialog, IDOK);
    CRect cancel = ChildRect(dialog, IDCANCEL);
    dialog.AddAnchor(IDC_RESTORE_INTRO, CResizeDlg::Centre, CResizeDlg::Centre, CResizeDlg::Leave, CResizeDlg::Leave);
    dialog.AddAnchor(IDC_STARTUP_LIST, CResizeDlg::Leave, CResizeDlg::Move, CResizeDlg::Leave, CResizeDlg::Move);
    // Registered again: the later anchor replaces the first.
    dialog.AddAnchor(IDC_STARTUP_LIST, CResizeDlg::Stretch, CResizeDlg::Stretch, CResizeDlg::Leave, CResizeDlg::Leave);
    dialog.AddAnchor(IDC_BACKUP_ENTRIES, CResizeDlg::Scale, CResizeDlg::Scale, CResizeDlg::Scale, CResizeDlg::Scale);
    dialog.AddAnchor(IDOK, CResizeDlg::Proportional, CResizeDlg::Proportional, CResizeDlg::Leave, CResizeDlg::Leave, 0, 0.5, 0.5);

    dialog.SetWindowPos(nullptr, 0, 0, window.Width() + 100, window.Height() + 60, SWP_NOMOVE | SWP_NOZORDER);
    CRect bigger;
    dialog.GetClientRect(&bigger);
    ASSERT_EQ(bigger.Width(), client.Width() + 100);

    grip = ChildRect(dialog, CResizeDlg::GripId);
    EXPECT_EQ(grip.right, bigger.right) << "the grip moves with the edge";
    EXPECT_EQ(grip.bottom, bigger.bottom);
    CRect moved = ChildRect(dialog, IDC_RESTORE_INTRO);
    EXPECT_NEAR(moved.CenterPoint().x, bigger.Width() * intro.CenterPoint().x / client.Width(), 1);
    EXPECT_EQ(moved.Width(), intro.Width());
    moved = ChildRect(dialog, IDC_STARTUP_LIST);
    EXPECT_EQ(moved.left, backups.left);
    EXPECT_EQ(moved.right, backups.right + 100) << "stretched, not moved";
    EXPECT_EQ(moved.bottom, backups.bottom);
    moved = ChildRect(dialog, IDC_BACKUP_ENTRIES);
    EXPECT_EQ(moved.right, MulDiv(entries.right, bigger.Width(), client.Width()));
    EXPECT_EQ(moved.bottom, MulDiv(entries.bottom, bigger.Height(), client.Height()));
    moved = ChildRect(dialog, IDOK);
    EXPECT_EQ(moved.left, ok.left + 50);
    EXPECT_EQ(moved.Width(), ok.Width() + 50);
    EXPECT_EQ(ChildRect(dialog, IDCANCEL), cancel) << "a control without an anchor stays";

    MINMAXINFO limits = {};
    dialog.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, window.Width());
    EXPECT_EQ(limits.ptMinTrackSize.y, window.Height());
    dialog.DestroyWindow();
}

TEST(ProgInfoPaneTest, ShowsAnItemOnItsRatingBandAndClearingHidesTheBand)
{
    Host host;
    CProgInfoPane pane;
    ASSERT_TRUE(pane.Create(&host, IDD_PROGINFO_PANE, WS_CHILD | WS_VISIBLE, IDD_PROGINFO_PANE));
    pane.MoveWindow(0, 0, 400, 160);
    CString text;
    EXPECT_FALSE(pane.IsItemShown());
    pane.GetDlgItemText(CProgInfoPane::NameId, text);
    EXPECT_EQ(text, CString(L"선택되지 않음"));
    pane.GetDlgItemText(CProgInfoPane::DescriptionId, text);
    EXPECT_EQ(text, CString(CProgInfoPane::NothingSelectedDescription));
    EXPECT_FALSE(pane.GetDlgItem(CProgInfoPane::RatingId)->IsWindowVisible());
    EXPECT_FALSE(pane.GetDlgItem(CProgInfoPane::PictureId)->IsWindowVisible());
    EXPECT_EQ(ChildRect(pane, CProgInfoPane::NameId).TopLeft().x, 10);
    EXPECT_EQ(ChildRect(pane, CProgInfoPane::NameId).TopLeft().y, 15);
    EXPECT_EQ(PixelAfterErase(pane, 200, 58), CProgInfoPane::BodyColor);

    CProgInfoPane::Item item;
    item.icon = static_cast<HICON>(CopyImage(LoadIconW(nullptr, IDI_APPLICATION), IMAGE_ICON, 0, 0, 0));
    item.name = L"PopupAdAgent";
    item.secondLine = L"Demo Ads";
    item.rating = -1;
    item.ratingText = L"위험";
    item.description = L"광고 창을 띄웁니다.";
    pane.ShowItem(std::move(item));
    EXPECT_TRUE(pane.IsItemShown());
    EXPECT_EQ(ChildRect(pane, CProgInfoPane::NameId).TopLeft().x, 46);
    EXPECT_EQ(ChildRect(pane, CProgInfoPane::NameId).TopLeft().y, 10);
    pane.GetDlgItemText(CProgInfoPane::RatingId, text);
    EXPECT_EQ(text, CString(L"위험"));
    pane.GetDlgItemText(CProgInfoPane::SecondLineId, text);
    EXPECT_EQ(text, CString(L"Demo Ads"));
    EXPECT_TRUE(pane.GetDlgItem(CProgInfoPane::PictureId)->IsWindowVisible());
    EXPECT_EQ(PixelAfterErase(pane, 200, 20), CProgInfoPane::TopColor);
    EXPECT_EQ(PixelAfterErase(pane, 200, 50), CProgInfoPane::LineColor);
    EXPECT_EQ(PixelAfterErase(pane, 200, 58), RGB(210, 0, 0));
    EXPECT_EQ(PixelAfterErase(pane, 200, 66), CProgInfoPane::LineColor);
    EXPECT_EQ(PixelAfterErase(pane, 200, 100), CProgInfoPane::BodyColor);

    pane.Clear();
    EXPECT_EQ(PixelAfterErase(pane, 200, 58), CProgInfoPane::BodyColor) << "no rating band without an item";
    EXPECT_EQ(PixelAfterErase(pane, 200, 50), CProgInfoPane::BodyColor);
    EXPECT_FALSE(pane.GetDlgItem(CProgInfoPane::RatingId)->IsWindowVisible());
    EXPECT_FALSE(pane.GetDlgItem(CProgInfoPane::SecondLineId)->IsWindowVisible());

    // The ActiveX manager's variant: a picture of its own and no second line.
    CBitmap blocked;
    ASSERT_TRUE(blocked.LoadBitmap(IDB_CATEGORY_FIRST));
    CProgInfoPane::Item control;
    control.bitmap = blocked;
    control.name = L"Demo Player Control";
    control.rating = 1;
    control.ratingText = L"안전";
    pane.ShowItem(std::move(control));
    EXPECT_EQ(pane.GetDlgItem(CProgInfoPane::PictureId)->GetStyle() & SS_TYPEMASK, static_cast<DWORD>(SS_BITMAP));
    EXPECT_TRUE(pane.GetDlgItem(CProgInfoPane::PictureId)->IsWindowVisible());
    EXPECT_EQ(PixelAfterErase(pane, 200, 58), RGB(0, 135, 10));
    pane.Clear();

    EXPECT_EQ(CProgInfoPane::RatingColor(2), RGB(0, 135, 10));
    EXPECT_EQ(CProgInfoPane::RatingColor(-2), RGB(210, 0, 0));
    EXPECT_EQ(CProgInfoPane::RatingColor(-3), RGB(108, 108, 108));
    EXPECT_EQ(CProgInfoPane::RatingColor(0), RGB(108, 108, 108));
}
