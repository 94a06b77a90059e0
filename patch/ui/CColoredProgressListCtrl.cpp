#include "patch/ui/CColoredProgressListCtrl.h"

#include <cwchar>

#include "core/String.h"
#include "core/Trace.h"
#include "framework/CDC.h"
#include "framework/CGdiObject.h"

namespace {

constexpr UINT UncheckedBitmap = 1013;
constexpr UINT CheckedBitmap = 1012;
// Empty to full.
constexpr UINT ProgressBitmaps[] = {1000, 1001, 1011, 1010, 1009, 1008, 1007, 1006, 1005, 1004, 1003, 1002};
constexpr COLORREF MaskColor = RGB(255, 255, 255);
constexpr int CheckWidth = 16;
constexpr int TextGap = 4;

constexpr struct {
    const wchar_t* heading;
    int width;
} Columns[] = {{L"항목", 300}, {L"진행율", 70}, {L"중요도", 50}, {L"크기", 70}, {L"상태", 120}};

bool AddBitmap(CImageList& list, UINT id)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(id) || list.Add(&bitmap, MaskColor) < 0) {
        System::Diagnostics::Trace::WriteLine(System::String::Format(L"CColoredProgressListCtrl: bitmap %u missing", id));
        return false;
    }
    return true;
}

}  // namespace

BEGIN_MESSAGE_MAP(CColoredProgressListCtrl, CListCtrl)
ON_WM_LBUTTONDOWN()
ON_WM_KEYDOWN()
ON_NOTIFY_REFLECT(LVN_ITEMCHANGING, OnItemChanging)
END_MESSAGE_MAP()

CColoredProgressListCtrl::~CColoredProgressListCtrl()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) DestroyWindow();
}

BOOL CColoredProgressListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CListCtrl::Create(style | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED, rect, parent, id)) return FALSE;
    SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES | LVS_EX_FLATSB);
    if (checkImages_.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0)) {
        AddBitmap(checkImages_, UncheckedBitmap);
        AddBitmap(checkImages_, CheckedBitmap);
        SetImageList(&checkImages_, LVSIL_STATE);
    }
    if (progressImages_.Create(65, 16, ILC_COLOR24 | ILC_MASK, ProgressImages, 0)) {
        for (UINT bitmap : ProgressBitmaps) AddBitmap(progressImages_, bitmap);
    }
    for (int column = 0; column < static_cast<int>(std::size(Columns)); ++column) {
        InsertColumn(column, Columns[column].heading, LVCFMT_LEFT, Columns[column].width);
    }
    return TRUE;
}

void CColoredProgressListCtrl::SetProgressImage(int row, int image)
{
    SetItemText(row, ProgressColumn, System::String::Format(L"%d", image).GetBuffer());
}

int CColoredProgressListCtrl::GetProgressImage(int row) const
{
    int image = _wtoi(GetItemText(row, ProgressColumn));
    return image >= 0 && image < ProgressImages ? image : -1;
}

bool CColoredProgressListCtrl::RequestCheck(int row, bool check)
{
    if (row < 0 || row >= GetItemCount()) return false;
    if (check && !GetParent()->SendMessage(WM_PATCH_ITEM_CHECKED, static_cast<WPARAM>(row), 0)) return false;
    ForceCheck(row, check);
    return true;
}

void CColoredProgressListCtrl::ForceCheck(int row, bool check)
{
    forcing_ = true;
    SetCheck(row, check ? TRUE : FALSE);
    forcing_ = false;
    Update(row);
}

void CColoredProgressListCtrl::OnLButtonDown(UINT flags, CPoint point)
{
    UINT where = 0;
    int row = HitTest(point, &where);
    CRect box;
    if (row >= 0 && GetItemRect(row, &box, LVIR_BOUNDS) && point.x < box.left + CheckWidth + TextGap) {
        if (IsWindowEnabled()) RequestCheck(row, !GetCheck(row));
        return;
    }
    CListCtrl::OnLButtonDown(flags, point);
}

void CColoredProgressListCtrl::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (key == VK_SPACE) {
        int row = GetNextItem(-1, LVNI_FOCUSED);
        if (row >= 0) RequestCheck(row, !GetCheck(row));
        return;
    }
    CListCtrl::OnKeyDown(key, repeat, flags);
}

void CColoredProgressListCtrl::OnItemChanging(NMHDR* header, LRESULT* result)
{
    auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    *result = FALSE;
    if (!(change->uChanged & LVIF_STATE)) return;
    // A row never stays selected.
    if ((change->uNewState & LVIS_SELECTED) && (change->uNewState & LVIS_FOCUSED)) {
        *result = TRUE;
        return;
    }
    // The control's own check toggles must pass the parent's rules too.
    bool toChecked = (change->uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2) &&
                     (change->uOldState & LVIS_STATEIMAGEMASK) != INDEXTOSTATEIMAGEMASK(2);
    if (toChecked && !forcing_ && !GetParent()->SendMessage(WM_PATCH_ITEM_CHECKED, static_cast<WPARAM>(change->iItem), 0)) {
        *result = TRUE;
    }
}

void CColoredProgressListCtrl::DrawItem(LPDRAWITEMSTRUCT draw)
{
    CDC* dc = CDC::FromHandle(draw->hDC);
    int row = static_cast<int>(draw->itemID);
    if (!dc || row < 0) return;
    int saved = dc->SaveDC();
    if (HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))) ::SelectObject(*dc, font);
    CRect area(draw->rcItem);
    dc->FillSolidRect(&area, row % 2 ? StripeColor : RGB(255, 255, 255));
    dc->SetBkMode(TRANSPARENT);
    bool mayCheck = GetParent()->SendMessage(WM_PATCH_CAN_CHECK, static_cast<WPARAM>(row), 0) != 0;

    int left = area.left;
    for (int column = 0; column < static_cast<int>(std::size(Columns)); ++column) {
        LVCOLUMNW info = {};
        info.mask = LVCF_WIDTH;
        int width = GetColumn(column, &info) ? info.cx : Columns[column].width;
        CRect cell(left, area.top, left + width, area.bottom);
        left = cell.right;
        int cellSaved = dc->SaveDC();
        ::IntersectClipRect(*dc, cell.left, cell.top, cell.right, cell.bottom);
        if (column == 0) {
            int top = cell.top + (cell.Height() - 16) / 2;
            ImageList_Draw(checkImages_.GetSafeHandle(), GetCheck(row) ? 1 : 0, *dc, cell.left + 2, top, ILD_TRANSPARENT);
            cell.left += CheckWidth + TextGap + 2;
            dc->SetTextColor(mayCheck ? ::GetSysColor(COLOR_WINDOWTEXT) : GreyText);
        } else {
            dc->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
        }
        if (column == ProgressColumn) {
            int image = GetProgressImage(row);
            if (image >= 0) ImageList_Draw(progressImages_.GetSafeHandle(), image, *dc, cell.left + 2, cell.top + (cell.Height() - 16) / 2, ILD_TRANSPARENT);
        } else {
            CRect text = cell;
            text.left += TextGap;
            dc->DrawText(GetItemText(row, column), &text, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        dc->RestoreDC(cellSaved);
    }
    dc->RestoreDC(saved);
}
