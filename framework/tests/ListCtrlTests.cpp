#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/CDC.h"
#include "framework/CGdiObject.h"
#include "framework/CImageList.h"
#include "framework/CListCtrl.h"
#include "framework/CWnd.h"
#include "testing/WindowScreenshot.h"

namespace {

constexpr COLORREF EvenRow = RGB(255, 255, 255);
constexpr COLORREF OddRow = RGB(229, 232, 239);
constexpr COLORREF Disabled = RGB(190, 190, 190);

std::wstring TextOf(HWND list, int item, int subItem)
{
    wchar_t buffer[2048] = {};
    LVITEMW query = {};
    query.iSubItem = subItem;
    query.pszText = buffer;
    query.cchTextMax = 2048;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&query));
    return buffer;
}

std::vector<std::wstring> Column(HWND list, int subItem)
{
    std::vector<std::wstring> texts;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) texts.push_back(TextOf(list, item, subItem));
    return texts;
}

// A report list in a top-level window. The window is a pop-up shown without activation: it paints
// at once, and under Wine it is not handed to a window manager (hiding one that is waits two
// seconds on a display without a manager).
template <class List = CListCtrl>
class ListWindow {
public:
    explicit ListWindow(DWORD listStyle = 0)
    {
        EXPECT_TRUE(parent.CreateEx(0, nullptr, L"목록", WS_POPUP | WS_BORDER, CRect(30, 30, 450, 330), nullptr, 0));
        EXPECT_TRUE(list.Create(WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS | listStyle, CRect(5, 5, 415, 295),
                                &parent, 1001));
    }
    void Show()
    {
        parent.ShowWindow(SW_SHOWNOACTIVATE);
        parent.UpdateWindow();
    }
    void AddRows(int count)
    {
        for (int i = 0; i < count; ++i) list.InsertItem(i, (L"행 " + std::to_wstring(i)).c_str());
    }

    CWnd parent;
    List list;
};

TEST(ListCtrlTest, FillsColumnsItemsAndSubItemsThatWin32ReadsBack)
{
    ListWindow<> window;
    CListCtrl& list = window.list;
    EXPECT_EQ(list.InsertColumn(0, L"이미지 이름", LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(list.InsertColumn(1, L"메모리 사용", LVCFMT_RIGHT, 80), 1);
    wchar_t heading[64] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    column.pszText = heading;
    column.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(heading, L"메모리 사용");
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
    EXPECT_EQ(column.cx, 80);

    EXPECT_EQ(list.InsertItem(0, L"explorer.exe"), 0);
    EXPECT_EQ(list.InsertItem(1, L"vtcon.exe", 3), 1);
    EXPECT_EQ(list.InsertItem(1, L"가운데"), 1);
    EXPECT_TRUE(list.SetItemText(2, 1, L"2048 KB"));
    EXPECT_TRUE(list.SetItemData(2, 0xBEEF));

    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Column(list, 0), (std::vector<std::wstring>{L"explorer.exe", L"가운데", L"vtcon.exe"}));
    EXPECT_EQ(TextOf(list, 2, 1), L"2048 KB");
    LVITEMW item = {};
    item.mask = LVIF_PARAM | LVIF_IMAGE;
    item.iItem = 2;
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.lParam, 0xBEEF);
    EXPECT_EQ(item.iImage, 3);

    EXPECT_TRUE(list.SetItem(0, 1, LVIF_TEXT, L"12 KB", 0, 0, 0, 0));
    EXPECT_EQ(TextOf(list, 0, 1), L"12 KB");
}

TEST(ListCtrlTest, ReadsWhatWin32Wrote)
{
    ListWindow<> window;
    CListCtrl& list = window.list;
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = const_cast<LPWSTR>(L"설명");
    column.cx = 150;
    column.fmt = LVCFMT_CENTER;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

    std::wstring longText(1000, L'가');
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.pszText = const_cast<LPWSTR>(longText.c_str());
    item.lParam = 77;
    ASSERT_EQ(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), 0);
    item.iSubItem = 1;
    item.pszText = const_cast<LPWSTR>(L"둘째 칸");
    SendMessageW(list, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);

    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(std::wstring(list.GetItemText(0, 0)), longText);
    EXPECT_EQ(list.GetItemText(0, 1), L"둘째 칸");
    EXPECT_TRUE(list.GetItemText(4, 0).IsEmpty());
    EXPECT_EQ(list.GetItemData(0), 77u);
    EXPECT_EQ(list.GetItemData(4), 0u);
    EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED | LVIS_FOCUSED), static_cast<UINT>(LVIS_SELECTED));

    LVCOLUMNW read = {};
    read.mask = LVCF_FMT | LVCF_WIDTH;
    ASSERT_TRUE(list.GetColumn(1, &read));
    EXPECT_EQ(read.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);
    EXPECT_EQ(read.cx, 150);
    LVITEMW back = {};
    back.mask = LVIF_PARAM;
    back.iItem = 0;
    ASSERT_TRUE(list.GetItem(&back));
    EXPECT_EQ(back.lParam, 77);
}

TEST(ListCtrlTest, ChecksAreStateImagesBothWays)
{
    ListWindow<> window;
    CListCtrl& list = window.list;
    window.AddRows(3);
    EXPECT_FALSE(list.GetCheck(0));

    EXPECT_EQ(list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT), 0u);
    EXPECT_EQ(list.GetExtendedStyle(), static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
    EXPECT_EQ(static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)),
              static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
    EXPECT_EQ(list.SetExtendedStyle(LVS_EX_CHECKBOXES), static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));

    EXPECT_TRUE(list.SetCheck(1));
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), 0x2000);
    EXPECT_TRUE(list.GetCheck(1));
    EXPECT_TRUE(list.SetCheck(1, FALSE));
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), 0x1000);
    EXPECT_FALSE(list.GetCheck(1));

    ListView_SetItemState(list, 2, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
    EXPECT_TRUE(list.GetCheck(2));
    EXPECT_FALSE(list.GetCheck(0));
}

TEST(ListCtrlTest, WalksTheSelectionInIndexOrder)
{
    ListWindow<> window;
    CListCtrl& list = window.list;
    window.AddRows(6);
    EXPECT_EQ(list.GetFirstSelectedItemPosition(), nullptr);

    for (int index : {4, 1, 3}) ListView_SetItemState(list, index, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 3u);
    std::vector<int> walked;
    for (POSITION position = list.GetFirstSelectedItemPosition(); position;) walked.push_back(list.GetNextSelectedItem(position));
    EXPECT_EQ(walked, (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(list.GetNextItem(1, LVNI_SELECTED), 3);
    EXPECT_EQ(list.GetNextItem(4, LVNI_SELECTED), -1);

    EXPECT_TRUE(list.SetItemState(-1, 0, LVIS_SELECTED));
    EXPECT_EQ(list.GetFirstSelectedItemPosition(), nullptr);
    EXPECT_TRUE(list.SetItemState(5, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 5);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 5);
}

TEST(ListCtrlTest, HitTestsFindTheItemAndColumnUnderAPoint)
{
    ListWindow<> window;
    CListCtrl& list = window.list;
    list.InsertColumn(0, L"이름", LVCFMT_LEFT, 100);
    list.InsertColumn(1, L"등급", LVCFMT_LEFT, 120);
    window.AddRows(3);
    window.Show();

    CRect bounds;
    ASSERT_TRUE(list.GetItemRect(2, &bounds, LVIR_BOUNDS));
    RECT expected = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&expected));
    EXPECT_EQ(bounds, CRect(expected));

    UINT flags = 0;
    EXPECT_EQ(list.HitTest(CPoint(bounds.left + 20, bounds.CenterPoint().y), &flags), 2);
    EXPECT_NE(flags & LVHT_ONITEM, 0u);
    EXPECT_EQ(list.HitTest(CPoint(bounds.left + 20, bounds.bottom + 40), &flags), -1);

    CRect second;
    ASSERT_TRUE(list.GetSubItemRect(2, 1, LVIR_BOUNDS, second));
    EXPECT_EQ(second.left, bounds.left + 100);
    LVHITTESTINFO info = {};
    info.pt = CPoint(second.left + 10, second.CenterPoint().y);
    EXPECT_EQ(list.SubItemHitTest(&info), 2);
    EXPECT_EQ(info.iItem, 2);
    EXPECT_EQ(info.iSubItem, 1);
    EXPECT_EQ(list.HitTest(static_cast<LVHITTESTINFO*>(nullptr)), -1);
}

struct Process {
    const wchar_t* name;
    int cpu;
};

int CALLBACK ByCpu(LPARAM first, LPARAM second, LPARAM descending)
{
    int difference = reinterpret_cast<const Process*>(first)->cpu - reinterpret_cast<const Process*>(second)->cpu;
    return descending ? -difference : difference;
}

int CALLBACK ByName(LPARAM first, LPARAM second, LPARAM)
{
    return wcscmp(reinterpret_cast<const Process*>(first)->name, reinterpret_cast<const Process*>(second)->name);
}

TEST(ListCtrlTest, SortsItemsWithACompareFunctionOverTheirData)
{
    ListWindow<> window;
    CListCtrl& list = window.list;
    list.InsertColumn(0, L"이름", LVCFMT_LEFT, 100);
    const Process processes[] = {{L"b.exe", 5}, {L"d.exe", 40}, {L"a.exe", 0}, {L"c.exe", 12}};
    for (const Process& process : processes) {
        int index = list.InsertItem(list.GetItemCount(), process.name);
        list.SetItemData(index, reinterpret_cast<DWORD_PTR>(&process));
    }

    EXPECT_TRUE(list.SortItems(ByCpu, TRUE));
    EXPECT_EQ(Column(list, 0), (std::vector<std::wstring>{L"d.exe", L"c.exe", L"b.exe", L"a.exe"}));
    EXPECT_TRUE(list.SortItems(ByCpu, FALSE));
    EXPECT_EQ(Column(list, 0), (std::vector<std::wstring>{L"a.exe", L"b.exe", L"c.exe", L"d.exe"}));
    EXPECT_TRUE(list.SortItems(ByName, 0));
    EXPECT_EQ(reinterpret_cast<const Process*>(list.GetItemData(3))->cpu, 40);
    EXPECT_FALSE(list.SortItems(nullptr, 0));
}

TEST(ListCtrlTest, ScrollsAnItemIntoViewAndFindsItsData)
{
    ListWindow<> window;
    CListCtrl& list = window.list;
    list.InsertColumn(0, L"이름", LVCFMT_LEFT, 100);
    window.AddRows(100);
    list.SetItemData(80, 8080);
    window.Show();

    EXPECT_EQ(list.GetTopIndex(), 0);
    int perPage = list.GetCountPerPage();
    EXPECT_GT(perPage, 0);
    EXPECT_LT(perPage, 80);
    EXPECT_TRUE(list.EnsureVisible(80, FALSE));
    int top = list.GetTopIndex();
    EXPECT_EQ(top, static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0)));
    EXPECT_LE(top, 80);
    EXPECT_LT(80, top + perPage);

    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = 8080;
    EXPECT_EQ(list.FindItem(&find), 80);
    EXPECT_TRUE(list.DeleteItem(10));
    EXPECT_EQ(list.FindItem(&find), 79);
    EXPECT_EQ(list.GetItemCount(), 99);
    EXPECT_TRUE(list.RedrawItems(0, 5));
    EXPECT_TRUE(list.Update(3));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(list.FindItem(&find), -1);
}

// Two 16×16 images, filled with two colours.
void FillImages(CImageList& images)
{
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0));
    CClientDC screen(nullptr);
    for (COLORREF color : {RGB(200, 0, 0), RGB(0, 0, 200)}) {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 16, 16));
        CDC memory;
        ASSERT_TRUE(memory.CreateCompatibleDC(&screen));
        CBitmap* previous = memory.SelectObject(&bitmap);
        memory.FillSolidRect(0, 0, 16, 16, color);
        memory.SelectObject(previous);
        EXPECT_GE(images.Add(&bitmap, RGB(255, 255, 255)), 0);
    }
}

TEST(ListCtrlTest, ImageListsStayWithTheirOwnerWhenTheListGoes)
{
    CImageList small;
    FillImages(small);
    CImageList other;
    FillImages(other);
    {
        ListWindow<> window;
        EXPECT_EQ(window.list.SetImageList(&small, LVSIL_SMALL), nullptr);
        EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(window.list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), small.m_hImageList);
        EXPECT_EQ(window.list.GetImageList(LVSIL_SMALL)->GetSafeHandle(), small.m_hImageList);
        CImageList* previous = window.list.SetImageList(&other, LVSIL_SMALL);
        ASSERT_NE(previous, nullptr);
        EXPECT_EQ(previous->GetSafeHandle(), small.m_hImageList);
        window.list.SetImageList(&small, LVSIL_NORMAL);
        window.list.InsertItem(0, L"아이콘", 1);
        window.parent.DestroyWindow();
    }
    EXPECT_EQ(ImageList_GetImageCount(small), 2);
    EXPECT_EQ(ImageList_GetImageCount(other), 2);

    // The list object goes first this time, while its window still exists.
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"목록", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 200), nullptr, 0));
    auto list = std::make_unique<CListCtrl>();
    ASSERT_TRUE(list->Create(LVS_REPORT, CRect(0, 0, 100, 100), &parent, 1));
    list->SetImageList(&small, LVSIL_STATE);
    HWND listWindow = list->m_hWnd;
    list.reset();
    EXPECT_FALSE(IsWindow(listWindow));
    EXPECT_EQ(ImageList_GetImageCount(small), 2);
    CImageList::DeleteTempMap();
    EXPECT_EQ(ImageList_GetImageCount(other), 2);
}

TEST(ListCtrlTest, TheHeaderIsTheSubclassingObjectOrOneThatLivesWithTheList)
{
    ListWindow<> window;
    window.list.InsertColumn(0, L"이름", LVCFMT_LEFT, 100);
    window.list.InsertColumn(1, L"등급", LVCFMT_CENTER, 60);
    CHeaderCtrl* header = window.list.GetHeaderCtrl();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->m_hWnd, reinterpret_cast<HWND>(SendMessageW(window.list, LVM_GETHEADER, 0, 0)));
    EXPECT_EQ(header->GetItemCount(), 2);
    EXPECT_EQ(window.list.GetHeaderCtrl(), header);

    CHeaderCtrl sortHeader;
    ASSERT_TRUE(sortHeader.SubclassWindow(header->m_hWnd));
    EXPECT_EQ(window.list.GetHeaderCtrl(), &sortHeader);
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    ASSERT_TRUE(sortHeader.GetItem(1, &item));
    EXPECT_EQ(item.fmt & HDF_JUSTIFYMASK, HDF_CENTER);
}

// Stripes and text colours by custom draw, as the suite's lists do.
class StripedList : public CListCtrl {
public:
    int prePaints = 0;
    std::set<int> itemsAsked;
    std::set<int> subItemsAsked;

protected:
    void OnCustomDraw(NMHDR* header, LRESULT* result)
    {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            ++prePaints;
            *result = CDRF_NOTIFYITEMDRAW;
            break;
        case CDDS_ITEMPREPAINT:
            itemsAsked.insert(static_cast<int>(draw->nmcd.dwItemSpec));
            *result = CDRF_NOTIFYSUBITEMDRAW;
            break;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            subItemsAsked.insert(draw->iSubItem);
            draw->clrTextBk = draw->nmcd.dwItemSpec % 2 ? OddRow : EvenRow;
            draw->clrText = GetCheck(static_cast<int>(draw->nmcd.dwItemSpec)) ? RGB(0, 0, 0) : Disabled;
            *result = CDRF_DODEFAULT;
            break;
        default:
            *result = CDRF_DODEFAULT;
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(StripedList, CListCtrl)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
END_MESSAGE_MAP()

TEST(ListCtrlTest, CustomDrawColoursTheRowsWhenTheListPaints)
{
    ListWindow<StripedList> window;
    StripedList& list = window.list;
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, L"이름", LVCFMT_LEFT, 150);
    list.InsertColumn(1, L"제조사", LVCFMT_LEFT, 150);
    const wchar_t* names[] = {L"시작 프로그램", L"메신저", L"업데이트 확인", L"사전"};
    for (int i = 0; i < 4; ++i) {
        list.InsertItem(i, names[i]);
        list.SetItemText(i, 1, L"Vela");
        list.SetCheck(i, i != 2);
    }
    window.Show();

    EXPECT_GE(list.prePaints, 1);
    EXPECT_EQ(list.itemsAsked, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(list.subItemsAsked, (std::set<int>{0, 1}));

    CRect odd;
    ASSERT_TRUE(list.GetSubItemRect(1, 1, LVIR_BOUNDS, odd));
    CRect even;
    ASSERT_TRUE(list.GetSubItemRect(2, 1, LVIR_BOUNDS, even));
    CClientDC dc(&list);
    EXPECT_EQ(GetPixel(dc, odd.right - 3, odd.CenterPoint().y), OddRow);
    EXPECT_EQ(GetPixel(dc, even.right - 3, even.CenterPoint().y), EvenRow);
    EXPECT_TRUE(TestSupport::SaveWindowImage(window.parent, L"screenshots\\ListCtrl_CustomDraw.png"));
}

// An owner-drawn header, as a sortable list's header is once a sort column is set, and an
// owner-drawn list, as the sweeper's tree-list is.
class OwnerDrawnHeader : public CHeaderCtrl {
public:
    std::set<UINT> drawn;
    void DrawItem(LPDRAWITEMSTRUCT draw) override
    {
        drawn.insert(draw->itemID);
        CDC::FromHandle(draw->hDC)->FillSolidRect(&draw->rcItem, OddRow);
    }
};

class OwnerDrawnList : public CListCtrl {
public:
    std::set<UINT> drawn;
    int customDraws = 0;
    void DrawItem(LPDRAWITEMSTRUCT draw) override { drawn.insert(draw->itemID); }

protected:
    void OnCustomDraw(NMHDR*, LRESULT* result)
    {
        ++customDraws;
        *result = CDRF_DODEFAULT;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(OwnerDrawnList, CListCtrl)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
END_MESSAGE_MAP()

// What a parent does with WM_DRAWITEM from an owner-drawn control: it hands the message back to
// the control, which draws itself.
TEST(ListCtrlTest, OwnerDrawnControlsDrawTheItemsTheirParentHandsBack)
{
    ListWindow<OwnerDrawnList> window(LVS_OWNERDRAWFIXED);
    window.list.InsertColumn(0, L"항목", LVCFMT_LEFT, 100);
    OwnerDrawnHeader header;
    ASSERT_TRUE(header.SubclassWindow(window.list.GetHeaderCtrl()->m_hWnd));

    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_HEADER;
    draw.itemID = 0;
    draw.hwndItem = header;
    draw.hDC = memory;
    draw.rcItem = CRect(0, 0, 1, 1);
    LRESULT result = 0;
    EXPECT_TRUE(header.OnChildNotify(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), &result));
    EXPECT_EQ(result, TRUE);
    EXPECT_EQ(header.drawn, (std::set<UINT>{0}));

    draw.CtlType = ODT_LISTVIEW;
    draw.itemID = 3;
    draw.hwndItem = window.list;
    EXPECT_TRUE(window.list.OnChildNotify(WM_DRAWITEM, 1001, reinterpret_cast<LPARAM>(&draw), &result));
    EXPECT_EQ(window.list.drawn, (std::set<UINT>{3}));

    // Other reflected notifications still reach the message map.
    NMHDR notification = {window.list.m_hWnd, 1001, static_cast<UINT>(NM_CUSTOMDRAW)};
    EXPECT_TRUE(window.list.OnChildNotify(WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&notification), &result));
    EXPECT_EQ(window.list.customDraws, 1);
}

}  // namespace
