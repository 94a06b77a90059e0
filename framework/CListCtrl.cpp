#include "framework/CListCtrl.h"

CListCtrl::~CListCtrl()
{
    // The base destructor destroys the window after this object's own part is gone, when
    // WindowProc no longer sees WM_DESTROY; let go of the image lists now.
    if (m_hWnd && ::IsWindow(m_hWnd)) ReleaseImageLists();
}

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return AfxInitCommonControls() && CWnd::Create(WC_LISTVIEWW, nullptr, style, rect, parent, id);
}

DWORD CListCtrl::GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }

DWORD CListCtrl::SetExtendedStyle(DWORD styles)
{
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(styles)));
}

COLORREF CListCtrl::GetBkColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETBKCOLOR)); }

BOOL CListCtrl::SetBkColor(COLORREF color) { return static_cast<BOOL>(SendMessage(LVM_SETBKCOLOR, 0, color)); }

int CListCtrl::InsertColumn(int column, const LVCOLUMNW* info)
{
    if (!info) return -1;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(info)));
}

int CListCtrl::InsertColumn(int column, LPCWSTR heading, int format, int width, int subItem)
{
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT | LVCF_FMT;
    info.fmt = format;
    info.pszText = const_cast<LPWSTR>(heading ? heading : L"");
    if (width != -1) {
        info.mask |= LVCF_WIDTH;
        info.cx = width;
    }
    if (subItem != -1) {
        info.mask |= LVCF_SUBITEM;
        info.iSubItem = subItem;
    }
    return InsertColumn(column, &info);
}

BOOL CListCtrl::GetColumn(int column, LVCOLUMNW* info) const
{
    return info && SendMessage(LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(info));
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const
{
    HWND header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    if (!header) return nullptr;
    if (auto* subclassed = dynamic_cast<CHeaderCtrl*>(FromHandlePermanent(header))) return subclassed;
    m_header.m_hWnd = header;
    return &m_header;
}

int CListCtrl::GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }

int CListCtrl::InsertItem(const LVITEMW* item)
{
    if (!item) return -1;
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item)));
}

int CListCtrl::InsertItem(int index, LPCWSTR text)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(text ? text : L"");
    return InsertItem(&item);
}

int CListCtrl::InsertItem(int index, LPCWSTR text, int image)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(text ? text : L"");
    item.iImage = image;
    return InsertItem(&item);
}

BOOL CListCtrl::DeleteItem(int index) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index))); }

BOOL CListCtrl::DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }

BOOL CListCtrl::GetItem(LVITEMW* item) const { return item && SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item)); }

BOOL CListCtrl::SetItem(const LVITEMW* item)
{
    return item && SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item));
}

BOOL CListCtrl::SetItem(int index, int subItem, UINT mask, LPCWSTR text, int image, UINT state, UINT stateMask,
                        LPARAM data)
{
    LVITEMW item = {};
    item.mask = mask;
    item.iItem = index;
    item.iSubItem = subItem;
    item.pszText = const_cast<LPWSTR>(text);
    item.iImage = image;
    item.state = state;
    item.stateMask = stateMask;
    item.lParam = data;
    return SetItem(&item);
}

CString CListCtrl::GetItemText(int index, int subItem) const
{
    CString text;
    LVITEMW item = {};
    item.iSubItem = subItem;
    // The control says only how much it copied: grow until the text is shorter than the room.
    for (int room = 256;; room *= 2) {
        item.cchTextMax = room;
        item.pszText = text.GetBuffer(room);
        int copied = static_cast<int>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
        if (copied < room - 1) {
            text.ReleaseBuffer(copied);
            return text;
        }
        text.ReleaseBuffer(0);
    }
}

BOOL CListCtrl::SetItemText(int index, int subItem, LPCWSTR text)
{
    LVITEMW item = {};
    item.iSubItem = subItem;
    item.pszText = const_cast<LPWSTR>(text ? text : L"");
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int index) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CListCtrl::SetItemData(int index, DWORD_PTR data)
{
    return SetItem(index, 0, LVIF_PARAM, nullptr, 0, 0, 0, static_cast<LPARAM>(data));
}

UINT CListCtrl::GetItemState(int index, UINT mask) const
{
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask)
{
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::GetCheck(int index) const { return GetItemState(index, LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2); }

BOOL CListCtrl::SetCheck(int index, BOOL check)
{
    return SetItemState(index, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
}

UINT CListCtrl::GetSelectedCount() const { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT)); }

// A position is the item's index plus one, so that null marks the end.
POSITION CListCtrl::GetFirstSelectedItemPosition() const
{
    return reinterpret_cast<POSITION>(static_cast<INT_PTR>(GetNextItem(-1, LVNI_SELECTED) + 1));
}

int CListCtrl::GetNextSelectedItem(POSITION& position) const
{
    int index = static_cast<int>(reinterpret_cast<INT_PTR>(position)) - 1;
    position = reinterpret_cast<POSITION>(static_cast<INT_PTR>(GetNextItem(index, LVNI_SELECTED) + 1));
    return index;
}

int CListCtrl::GetNextItem(int start, int flags) const
{
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

int CListCtrl::FindItem(LVFINDINFOW* find, int start) const
{
    if (!find) return -1;
    return static_cast<int>(SendMessage(LVM_FINDITEMW, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(find)));
}

int CListCtrl::HitTest(CPoint point, UINT* flags) const
{
    LVHITTESTINFO info = {};
    info.pt = point;
    int index = HitTest(&info);
    if (flags) *flags = info.flags;
    return index;
}

int CListCtrl::HitTest(LVHITTESTINFO* info) const
{
    if (!info) return -1;
    return static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
}

int CListCtrl::SubItemHitTest(LVHITTESTINFO* info)
{
    if (!info) return -1;
    return static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(info)));
}

BOOL CListCtrl::GetItemRect(int index, LPRECT rect, UINT area) const
{
    if (!rect) return FALSE;
    rect->left = static_cast<LONG>(area);
    return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)));
}

BOOL CListCtrl::GetSubItemRect(int index, int subItem, int area, CRect& rect) const
{
    rect.top = subItem;
    rect.left = area;
    return static_cast<BOOL>(
        SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(static_cast<LPRECT>(rect))));
}

int CListCtrl::GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }

int CListCtrl::GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }

BOOL CListCtrl::EnsureVisible(int index, BOOL partialOK)
{
    return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), partialOK));
}

BOOL CListCtrl::RedrawItems(int first, int last) { return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(first), last)); }

BOOL CListCtrl::Update(int index) { return static_cast<BOOL>(SendMessage(LVM_UPDATE, static_cast<WPARAM>(index))); }

CImageList* CListCtrl::GetImageList(int kind) const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, static_cast<WPARAM>(kind))));
}

CImageList* CListCtrl::SetImageList(CImageList* list, int kind)
{
    HIMAGELIST handle = list ? list->GetSafeHandle() : nullptr;
    auto previous = reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(handle)));
    if (kind >= LVSIL_NORMAL && kind <= LVSIL_STATE) m_imageLists[kind] = handle;
    return CImageList::FromHandle(previous);
}

BOOL CListCtrl::SortItems(PFNLVCOMPARE compare, DWORD_PTR data)
{
    return compare && SendMessage(LVM_SORTITEMS, data, reinterpret_cast<LPARAM>(compare));
}

void CListCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, result);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (result) *result = TRUE;
    return TRUE;
}

LRESULT CListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) ReleaseImageLists();
    return CWnd::WindowProc(message, wParam, lParam);
}

// A list view without LVS_SHAREIMAGELISTS destroys its image lists with itself; the ones handed
// over through SetImageList belong to their owner, so take them back first.
void CListCtrl::ReleaseImageLists()
{
    for (int kind = LVSIL_NORMAL; kind <= LVSIL_STATE; ++kind) {
        HIMAGELIST handed = m_imageLists[kind];
        m_imageLists[kind] = nullptr;
        if (handed && reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, static_cast<WPARAM>(kind))) == handed)
            SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), 0);
    }
}
