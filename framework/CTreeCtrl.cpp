#include "framework/CTreeCtrl.h"

#include <cstring>

BOOL CTreeCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return AfxInitCommonControls() && CWnd::Create(WC_TREEVIEWW, nullptr, style, rect, parent, id);
}

UINT CTreeCtrl::GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }

HTREEITEM CTreeCtrl::InsertItem(LPTVINSERTSTRUCTW insert)
{
    if (!insert) return nullptr;
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(insert)));
}

HTREEITEM CTreeCtrl::InsertItem(LPCWSTR text, HTREEITEM parent, HTREEITEM after)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<LPWSTR>(text ? text : L"");
    return InsertItem(&insert);
}

HTREEITEM CTreeCtrl::InsertItem(LPCWSTR text, int image, int selectedImage, HTREEITEM parent, HTREEITEM after)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<LPWSTR>(text ? text : L"");
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return InsertItem(&insert);
}

BOOL CTreeCtrl::DeleteItem(HTREEITEM item)
{
    return item && SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

BOOL CTreeCtrl::DeleteAllItems()
{
    return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
}

BOOL CTreeCtrl::Expand(HTREEITEM item, UINT code)
{
    return item && SendMessage(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item));
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const
{
    CString text;
    if (!item) return text;
    TVITEMW query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    // The control does not say how long the text is: grow until it ends before the last place.
    for (int room = 256;; room *= 2) {
        query.cchTextMax = room;
        query.pszText = text.GetBuffer(room);
        query.pszText[0] = L'\0';
        if (!SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) {
            text.ReleaseBuffer(0);
            return text;
        }
        // The control may answer with its own buffer instead of filling ours.
        int length = lstrlenW(query.pszText);
        if (length < room - 1) {
            if (query.pszText != text.GetString()) {
                CString own(query.pszText, length);
                text.ReleaseBuffer(0);
                return own;
            }
            text.ReleaseBuffer(length);
            return text;
        }
        text.ReleaseBuffer(0);
    }
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, LPCWSTR text)
{
    TVITEMW change = {};
    change.mask = TVIF_TEXT;
    change.hItem = item;
    change.pszText = const_cast<LPWSTR>(text ? text : L"");
    return item && SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const
{
    TVITEMW query = {};
    query.mask = TVIF_PARAM;
    query.hItem = item;
    if (!item || !SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return 0;
    return static_cast<DWORD_PTR>(query.lParam);
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data)
{
    TVITEMW change = {};
    change.mask = TVIF_PARAM;
    change.hItem = item;
    change.lParam = static_cast<LPARAM>(data);
    return item && SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const
{
    TVITEMW query = {};
    query.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    query.hItem = item;
    if (!item || !SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return FALSE;
    image = query.iImage;
    selectedImage = query.iSelectedImage;
    return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM item, int image, int selectedImage)
{
    TVITEMW change = {};
    change.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    change.hItem = item;
    change.iImage = image;
    change.iSelectedImage = selectedImage;
    return item && SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

UINT CTreeCtrl::GetItemState(HTREEITEM item, UINT mask) const
{
    if (!item) return 0;
    return static_cast<UINT>(SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
}

BOOL CTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT mask)
{
    TVITEMW change = {};
    change.mask = TVIF_STATE;
    change.hItem = item;
    change.state = state;
    change.stateMask = mask;
    return item && SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

BOOL CTreeCtrl::GetCheck(HTREEITEM item) const
{
    return GetItemState(item, TVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

BOOL CTreeCtrl::SetCheck(HTREEITEM item, BOOL check)
{
    return SetItemState(item, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), TVIS_STATEIMAGEMASK);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM item) const { return GetChildItem(item) != nullptr; }

HTREEITEM CTreeCtrl::GetNextItem(HTREEITEM item, UINT code) const
{
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CTreeCtrl::GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const { return item ? GetNextItem(item, TVGN_CHILD) : nullptr; }

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const { return item ? GetNextItem(item, TVGN_NEXT) : nullptr; }

HTREEITEM CTreeCtrl::GetPrevSiblingItem(HTREEITEM item) const
{
    return item ? GetNextItem(item, TVGN_PREVIOUS) : nullptr;
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const { return item ? GetNextItem(item, TVGN_PARENT) : nullptr; }

HTREEITEM CTreeCtrl::GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }

BOOL CTreeCtrl::SelectItem(HTREEITEM item)
{
    return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CTreeCtrl::HitTest(CPoint point, UINT* flags) const
{
    TVHITTESTINFO info = {};
    info.pt = point;
    HTREEITEM item = HitTest(&info);
    if (flags) *flags = info.flags;
    return item;
}

HTREEITEM CTreeCtrl::HitTest(TVHITTESTINFO* info) const
{
    if (!info) return nullptr;
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM item, LPRECT rect, BOOL textOnly) const
{
    if (!item || !rect) return FALSE;
    // The message takes the item in the rectangle's place.
    std::memcpy(rect, &item, sizeof item);
    return static_cast<BOOL>(SendMessage(TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(rect)));
}

BOOL CTreeCtrl::EnsureVisible(HTREEITEM item)
{
    return item && SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
}

CImageList* CTreeCtrl::GetImageList(int kind) const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(TVM_GETIMAGELIST, static_cast<WPARAM>(kind))));
}

CImageList* CTreeCtrl::SetImageList(CImageList* list, int kind)
{
    HIMAGELIST handle = list ? list->GetSafeHandle() : nullptr;
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(TVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(handle))));
}

COLORREF CTreeCtrl::GetBkColor() const { return static_cast<COLORREF>(SendMessage(TVM_GETBKCOLOR)); }

COLORREF CTreeCtrl::SetBkColor(COLORREF color) { return static_cast<COLORREF>(SendMessage(TVM_SETBKCOLOR, 0, color)); }
