#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/CDC.h"
#include "framework/CGdiObject.h"
#include "framework/CImageList.h"
#include "framework/CTreeCtrl.h"
#include "framework/CWnd.h"
#include "testing/WindowScreenshot.h"

namespace {

constexpr COLORREF TreeBackground = RGB(234, 239, 246);

std::wstring TextOf(HWND tree, HTREEITEM item)
{
    wchar_t buffer[1024] = {};
    TVITEMW query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = buffer;
    query.cchTextMax = 1024;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return buffer;
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT code)
{
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

// Tells which item became selected, as the startup manager's window does with its category tree.
class TreeParent : public CWnd {
public:
    std::vector<HTREEITEM> selected;

protected:
    void OnSelectionChanged(NMHDR* header, LRESULT*)
    {
        selected.push_back(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TreeParent, CWnd)
ON_NOTIFY(TVN_SELCHANGEDW, 1002, OnSelectionChanged)
END_MESSAGE_MAP()

// A tree in a top-level pop-up, shown without activation so that it paints at once and, under
// Wine, is not handed to a window manager (hiding such a window waits two seconds without one).
class TreeWindow {
public:
    explicit TreeWindow(DWORD treeStyle = 0)
    {
        EXPECT_TRUE(parent.CreateEx(0, nullptr, L"분류", WS_POPUP | WS_BORDER, CRect(40, 40, 300, 300), nullptr, 0));
        EXPECT_TRUE(tree.Create(WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                    TVS_SHOWSELALWAYS | treeStyle,
                                CRect(5, 5, 255, 255), &parent, 1002));
    }
    void Show()
    {
        parent.ShowWindow(SW_SHOWNOACTIVATE);
        parent.UpdateWindow();
    }

    TreeParent parent;
    CTreeCtrl tree;
};

TEST(TreeCtrlTest, InsertsItemsThatWin32ReadsBackInPlace)
{
    TreeWindow window;
    CTreeCtrl& tree = window.tree;
    HTREEITEM all = tree.InsertItem(L"전체", 2, 2);
    HTREEITEM user = tree.InsertItem(L"현재 사용자", 1, 1, all);
    HTREEITEM registry = tree.InsertItem(L"레지스트리", 4, 4, user);
    HTREEITEM folder = tree.InsertItem(L"시작 폴더", 5, 5, user, TVI_FIRST);
    HTREEITEM everyone = tree.InsertItem(L"모든 사용자", all);
    ASSERT_TRUE(all && user && registry && folder && everyone);

    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(Next(tree, nullptr, TVGN_ROOT), all);
    EXPECT_EQ(TextOf(tree, Next(tree, all, TVGN_CHILD)), L"현재 사용자");
    EXPECT_EQ(Next(tree, user, TVGN_NEXT), everyone);
    EXPECT_EQ(Next(tree, user, TVGN_CHILD), folder);
    EXPECT_EQ(Next(tree, folder, TVGN_NEXT), registry);
    EXPECT_EQ(Next(tree, registry, TVGN_PARENT), user);

    TVITEMW item = {};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = registry;
    ASSERT_TRUE(SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.iImage, 4);
    EXPECT_EQ(item.iSelectedImage, 4);

    EXPECT_TRUE(tree.SetItemText(everyone, L"모든 사용자 (2)"));
    EXPECT_EQ(TextOf(tree, everyone), L"모든 사용자 (2)");
    EXPECT_TRUE(tree.SetItemData(registry, 0x1234));
    item.mask = TVIF_PARAM;
    ASSERT_TRUE(SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.lParam, 0x1234);
}

TEST(TreeCtrlTest, ReadsWhatWin32Wrote)
{
    TreeWindow window;
    CTreeCtrl& tree = window.tree;
    std::wstring longText(600, L'창');
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<LPWSTR>(longText.c_str());
    insert.item.lParam = 42;
    insert.item.iImage = 3;
    insert.item.iSelectedImage = 7;
    auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    insert.hParent = root;
    insert.item.pszText = const_cast<LPWSTR>(L"<이름 없음>");
    auto child = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));

    EXPECT_EQ(tree.GetCount(), 2u);
    EXPECT_EQ(std::wstring(tree.GetItemText(root)), longText);
    EXPECT_EQ(tree.GetItemText(child), L"<이름 없음>");
    EXPECT_TRUE(tree.GetItemText(nullptr).IsEmpty());
    EXPECT_EQ(tree.GetItemData(root), 42u);
    int image = 0;
    int selectedImage = 0;
    ASSERT_TRUE(tree.GetItemImage(child, image, selectedImage));
    EXPECT_EQ(image, 3);
    EXPECT_EQ(selectedImage, 7);
    EXPECT_TRUE(tree.SetItemImage(child, 1, 2));
    tree.GetItemImage(child, image, selectedImage);
    EXPECT_EQ(image, 1);
    EXPECT_EQ(selectedImage, 2);
    EXPECT_TRUE(tree.ItemHasChildren(root));
    EXPECT_FALSE(tree.ItemHasChildren(child));
}

TEST(TreeCtrlTest, NavigatesBetweenRelatives)
{
    TreeWindow window;
    CTreeCtrl& tree = window.tree;
    HTREEITEM first = tree.InsertItem(L"첫째");
    HTREEITEM second = tree.InsertItem(L"둘째");
    HTREEITEM child = tree.InsertItem(L"아이", second);

    EXPECT_EQ(tree.GetRootItem(), first);
    EXPECT_EQ(tree.GetNextSiblingItem(first), second);
    EXPECT_EQ(tree.GetPrevSiblingItem(second), first);
    EXPECT_EQ(tree.GetNextSiblingItem(second), nullptr);
    EXPECT_EQ(tree.GetChildItem(second), child);
    EXPECT_EQ(tree.GetChildItem(first), nullptr);
    EXPECT_EQ(tree.GetParentItem(child), second);
    EXPECT_EQ(tree.GetParentItem(first), nullptr);
    EXPECT_EQ(tree.GetNextItem(first, TVGN_NEXTVISIBLE), second);
    EXPECT_EQ(tree.GetChildItem(nullptr), nullptr);

    EXPECT_TRUE(tree.DeleteItem(second));
    EXPECT_EQ(tree.GetCount(), 1u);
    EXPECT_FALSE(tree.DeleteItem(nullptr));
    EXPECT_TRUE(tree.DeleteAllItems());
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(tree.GetRootItem(), nullptr);
}

TEST(TreeCtrlTest, ExpandsSelectsAndTellsTheParent)
{
    TreeWindow window;
    CTreeCtrl& tree = window.tree;
    HTREEITEM all = tree.InsertItem(L"전체");
    HTREEITEM user = tree.InsertItem(L"현재 사용자", all);
    tree.InsertItem(L"시작 폴더", user);

    EXPECT_EQ(tree.GetItemState(all, TVIS_EXPANDED), 0u);
    EXPECT_TRUE(tree.Expand(all, TVE_EXPAND));
    EXPECT_TRUE(tree.Expand(user, TVE_EXPAND));
    EXPECT_EQ(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(all), TVIS_EXPANDED), TVIS_EXPANDED);
    EXPECT_EQ(tree.GetItemState(user, TVIS_EXPANDED), static_cast<UINT>(TVIS_EXPANDED));
    EXPECT_TRUE(tree.Expand(user, TVE_COLLAPSE));
    EXPECT_EQ(tree.GetItemState(user, TVIS_EXPANDED), 0u);

    EXPECT_TRUE(tree.SelectItem(user));
    EXPECT_EQ(Next(tree, nullptr, TVGN_CARET), user);
    EXPECT_EQ(tree.GetSelectedItem(), user);
    ASSERT_FALSE(window.parent.selected.empty());
    EXPECT_EQ(window.parent.selected.back(), user);

    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(all));
    EXPECT_EQ(tree.GetSelectedItem(), all);
    EXPECT_EQ(window.parent.selected.back(), all);

    EXPECT_TRUE(tree.SetItemState(all, TVIS_BOLD, TVIS_BOLD));
    EXPECT_EQ(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(all), TVIS_BOLD), TVIS_BOLD);
}

TEST(TreeCtrlTest, ChecksAreStateImagesBothWays)
{
    TreeWindow window(TVS_CHECKBOXES);
    CTreeCtrl& tree = window.tree;
    HTREEITEM first = tree.InsertItem(L"개인정보");
    HTREEITEM second = tree.InsertItem(L"레지스트리");

    EXPECT_TRUE(tree.SetCheck(first));
    EXPECT_EQ(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(first), TVIS_STATEIMAGEMASK), 0x2000);
    EXPECT_TRUE(tree.GetCheck(first));
    EXPECT_TRUE(tree.SetCheck(first, FALSE));
    EXPECT_FALSE(tree.GetCheck(first));

    TVITEMW item = {};
    item.mask = TVIF_STATE;
    item.hItem = second;
    item.state = INDEXTOSTATEIMAGEMASK(2);
    item.stateMask = TVIS_STATEIMAGEMASK;
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_TRUE(tree.GetCheck(second));
}

TEST(TreeCtrlTest, HitTestsFindTheItemUnderAPoint)
{
    TreeWindow window;
    CTreeCtrl& tree = window.tree;
    HTREEITEM first = tree.InsertItem(L"첫째");
    HTREEITEM second = tree.InsertItem(L"둘째");
    window.Show();

    CRect label;
    ASSERT_TRUE(tree.GetItemRect(second, &label, TRUE));
    RECT expected = {};
    std::memcpy(&expected, &second, sizeof second);
    SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&expected));
    EXPECT_EQ(label, CRect(expected));

    UINT flags = 0;
    EXPECT_EQ(tree.HitTest(label.CenterPoint(), &flags), second);
    EXPECT_NE(flags & TVHT_ONITEMLABEL, 0u);
    CRect row;
    ASSERT_TRUE(tree.GetItemRect(first, &row, FALSE));
    EXPECT_EQ(tree.HitTest(CPoint(label.left + 2, row.CenterPoint().y)), first);
    EXPECT_EQ(tree.HitTest(CPoint(label.left, label.bottom + 100), &flags), nullptr);
    EXPECT_NE(flags & TVHT_NOWHERE, 0u);
    EXPECT_FALSE(tree.GetItemRect(nullptr, &row, FALSE));
}

TEST(TreeCtrlTest, ShowsImagesOnItsBackgroundAndScrollsItemsIntoView)
{
    TreeWindow window;
    CTreeCtrl& tree = window.tree;
    CImageList pictures;
    ASSERT_TRUE(pictures.Create(16, 16, ILC_COLOR32 | ILC_MASK, 6, 0));
    CClientDC screen(nullptr);
    const COLORREF colors[] = {RGB(200, 40, 40), RGB(40, 160, 40), RGB(40, 40, 200)};
    for (COLORREF color : colors) {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 16, 16));
        CDC memory;
        ASSERT_TRUE(memory.CreateCompatibleDC(&screen));
        CBitmap* previous = memory.SelectObject(&bitmap);
        memory.FillSolidRect(0, 0, 16, 16, RGB(255, 255, 255));
        memory.FillSolidRect(2, 2, 12, 12, color);
        memory.SelectObject(previous);
        pictures.Add(&bitmap, RGB(255, 255, 255));
    }
    EXPECT_EQ(tree.SetImageList(&pictures, TVSIL_NORMAL), nullptr);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)), pictures.m_hImageList);
    EXPECT_EQ(tree.GetImageList(TVSIL_NORMAL)->GetSafeHandle(), pictures.m_hImageList);
    tree.SetBkColor(TreeBackground);
    EXPECT_EQ(tree.GetBkColor(), TreeBackground);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0)), TreeBackground);

    HTREEITEM all = tree.InsertItem(L"전체", 0, 0);
    HTREEITEM last = nullptr;
    for (int i = 0; i < 40; ++i) last = tree.InsertItem((L"항목 " + std::to_wstring(i)).c_str(), 1 + i % 2, 1 + i % 2, all);
    tree.Expand(all, TVE_EXPAND);
    window.Show();

    CRect client;
    tree.GetClientRect(&client);
    CRect area;
    EXPECT_FALSE(tree.GetItemRect(last, &area, FALSE) && area.bottom <= client.bottom);
    tree.EnsureVisible(last);
    tree.UpdateWindow();
    ASSERT_TRUE(tree.GetItemRect(last, &area, FALSE));
    EXPECT_GE(area.top, client.top);
    EXPECT_LE(area.bottom, client.bottom);
    CClientDC dc(&tree);
    EXPECT_EQ(GetPixel(dc, client.right - 2, area.CenterPoint().y), TreeBackground);
    EXPECT_TRUE(TestSupport::SaveWindowImage(window.parent, L"screenshots\\TreeCtrl.png"));

    window.parent.DestroyWindow();
    EXPECT_EQ(ImageList_GetImageCount(pictures), 3);
}

}  // namespace
