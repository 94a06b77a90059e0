#include "startup/ui/CColoredListCtrl.h"

#include "framework/CDC.h"

BEGIN_MESSAGE_MAP(CColoredListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CColoredListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CListCtrl::Create(style, rect, parent, id)) return FALSE;
    SubclassHeader();
    return TRUE;
}

void CColoredListCtrl::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    // A list of a dialog template already has its header; one being created gets it later (Create).
    SubclassHeader();
}

void CColoredListCtrl::SubclassHeader()
{
    if (header_.m_hWnd) return;
    HWND header = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, LVM_GETHEADER, 0, 0));
    if (header) header_.SubclassWindow(header);
}

void CColoredListCtrl::SetSortRule(SortRule rule, int arrowColumns)
{
    sortRule_ = std::move(rule);
    arrowColumns_ = arrowColumns;
}

void CColoredListCtrl::SortByColumn(int column)
{
    if (!sortRule_ || column < 0) return;
    sortColumn_ = column;
    ascending_ = !ascending_;
    header_.SetSortColumn(column < arrowColumns_ ? column : -1, ascending_);
    SortItems(&CColoredListCtrl::CompareItems, reinterpret_cast<DWORD_PTR>(this));
}

void CColoredListCtrl::Resort()
{
    if (!sortRule_ || sortColumn_ < 0) return;
    SortItems(&CColoredListCtrl::CompareItems, reinterpret_cast<DWORD_PTR>(this));
}

void CColoredListCtrl::ClearSort()
{
    sortColumn_ = -1;
    header_.SetSortColumn(-1, ascending_);
}

int CColoredListCtrl::CompareTexts(const System::String& first, const System::String& second)
{
    return System::String::Compare(first.ToLower(), second.ToLower(), false);
}

int CALLBACK CColoredListCtrl::CompareItems(LPARAM first, LPARAM second, LPARAM list)
{
    auto* self = reinterpret_cast<CColoredListCtrl*>(list);
    if (!self->ascending_) std::swap(first, second);
    return self->sortRule_(static_cast<DWORD_PTR>(first), static_cast<DWORD_PTR>(second), self->sortColumn_);
}

void CColoredListCtrl::OnColumnClick(NMHDR* header, LRESULT* result)
{
    SortByColumn(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
    *result = 0;
}

void CColoredListCtrl::OnCustomDraw(NMHDR* header, LRESULT* result)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT:
        *result = CDRF_NOTIFYSUBITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        int item = static_cast<int>(draw->nmcd.dwItemSpec);
        draw->clrTextBk = item % 2 == 0 ? EvenRowColor : OddRowColor;
        draw->clrText = textColorRule_ ? textColorRule_(*this, item, draw->nmcd.lItemlParam) : RGB(0, 0, 0);
        *result = CDRF_DODEFAULT;
        return;
    }
    default:
        *result = CDRF_DODEFAULT;
    }
}

BOOL CColoredListCtrl::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    // The header is a child window of its own; its area is never painted over.
    int rowsTop = client.top;
    if (header_.m_hWnd && header_.IsWindowVisible()) {
        CRect headerRect;
        header_.GetWindowRect(&headerRect);
        ScreenToClient(&headerRect);
        rowsTop = headerRect.bottom;
        dc->ExcludeClipRect(&headerRect);
    }
    dc->FillSolidRect(&client, EvenRowColor);

    // Row geometry from the first visible row; an empty list takes its height from the font.
    int top = GetTopIndex();
    CRect row(client.left, rowsTop, client.right, rowsTop);
    if (GetItemCount() > 0 && GetItemRect(top, &row, LVIR_BOUNDS)) {
        row.left = client.left;
        row.right = client.right;
    } else {
        CClientDC measure(this);
        CFont* oldFont = measure.SelectObject(GetFont());
        row.bottom = row.top + measure.GetTextExtent(L"Ag", 2).cy + 4;
        if (oldFont) measure.SelectObject(oldFont);
    }
    int height = row.Height();
    if (height <= 0) return TRUE;
    int visible = (client.bottom - row.top) / height + 1;
    for (int i = 0; i <= visible; ++i) {
        CRect stripe(row.left, row.top + i * height, row.right, row.top + (i + 1) * height);
        dc->FillSolidRect(&stripe, (top + i) % 2 == 0 ? EvenRowColor : OddRowColor);
    }
    return TRUE;
}
