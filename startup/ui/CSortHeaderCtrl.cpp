#include "startup/ui/CSortHeaderCtrl.h"

#include "framework/CDC.h"
#include "framework/CGdiObject.h"

#include <cwchar>
#include <iterator>

namespace {

constexpr int TextMargin = 6;
constexpr int ArrowWidth = 8;
constexpr int ArrowHeight = 7;

void DrawArrow(CDC& dc, const CRect& item, int left, bool up)
{
    int top = item.top + (item.Height() - ArrowHeight) / 2;
    int bottom = top + ArrowHeight - 1;
    int middle = left + ArrowWidth / 2;
    CPen light(PS_SOLID, 1, GetSysColor(COLOR_BTNHILIGHT));
    CPen shadow(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    CPen* old = dc.SelectObject(&shadow);
    if (up) {
        // Lit from the top left: the left slope in shadow, the right slope and the base lit.
        dc.MoveTo(middle, top);
        dc.LineTo(left, bottom);
        dc.SelectObject(&light);
        dc.LineTo(left + ArrowWidth, bottom);
        dc.LineTo(middle, top);
    } else {
        dc.MoveTo(left + ArrowWidth, top);
        dc.LineTo(left, top);
        dc.LineTo(middle, bottom);
        dc.SelectObject(&light);
        dc.LineTo(left + ArrowWidth, top);
    }
    dc.SelectObject(old);
}

}  // namespace

void CSortHeaderCtrl::SetSortColumn(int column, bool ascending)
{
    sortColumn_ = column;
    ascending_ = ascending;
    if (!m_hWnd) return;
    for (int index = 0; index < GetItemCount(); ++index) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        if (!GetItem(index, &item)) continue;
        item.fmt = column >= 0 ? item.fmt | HDF_OWNERDRAW : item.fmt & ~HDF_OWNERDRAW;
        SetItem(index, &item);
    }
    Invalidate();
}

void CSortHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT draw)
{
    CDC* dc = CDC::FromHandle(draw->hDC);
    if (!dc) return;
    CRect rect(draw->rcItem);
    dc->FillSolidRect(&rect, GetSysColor(COLOR_BTNFACE));

    wchar_t text[256] = {};
    HDITEMW item = {};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    if (!GetItem(static_cast<int>(draw->itemID), &item)) return;

    bool sorted = static_cast<int>(draw->itemID) == sortColumn_;
    CRect textRect(rect.left + TextMargin, rect.top, rect.right - TextMargin, rect.bottom);
    if (sorted) textRect.right -= ArrowWidth + TextMargin;
    UINT align = DT_LEFT;
    if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) align = DT_CENTER;
    if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) align = DT_RIGHT;
    int oldMode = dc->SetBkMode(TRANSPARENT);
    COLORREF oldColor = dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
    if (textRect.right > textRect.left)
        dc->DrawText(text, -1, &textRect, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    dc->SetTextColor(oldColor);
    dc->SetBkMode(oldMode);
    if (!sorted) return;

    // Right of the text when there is room, else at the item's right edge.
    int textWidth = dc->GetTextExtent(text, static_cast<int>(wcslen(text))).cx;
    int arrowLeft = rect.left + TextMargin + textWidth + TextMargin;
    if (align != DT_LEFT || arrowLeft + ArrowWidth > rect.right - TextMargin) arrowLeft = rect.right - TextMargin - ArrowWidth;
    if (arrowLeft > rect.left) DrawArrow(*dc, rect, arrowLeft, ascending_);
}
