#include "sweeper/ui/SuperGridCtrl.h"

#include <algorithm>

#include "core/Exception.h"
#include "core/Trace.h"
#include "framework/CDC.h"
#include "framework/CGdiObject.h"

namespace {

constexpr int TextMargin = 6;
constexpr int LabelGap = 2;
constexpr int ExpandBoxSize = 9;

void CheckSubItem(int subItem)
{
    if (subItem < 0) throw new System::ArgumentOutOfRangeException(L"subItem");
}

UINT StateImageOf(BOOL tick) { return INDEXTOSTATEIMAGEMASK(tick ? 2 : 1); }

SIZE ImageSize(HIMAGELIST images)
{
    int width = 0;
    int height = 0;
    if (!images || !ImageList_GetIconSize(images, &width, &height)) return SIZE{0, 0};
    return SIZE{width, height};
}

UINT TextAlignment(int format)
{
    switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return DT_RIGHT;
    case LVCFMT_CENTER:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

}  // namespace

void CRowContent::AddSubItemText(const CString& text) { m_subItemTexts.Add(text); }

void CRowContent::SetSubItemText(int subItem, const CString& text)
{
    CheckSubItem(subItem);
    m_subItemTexts.SetAtGrow(subItem, text);
}

CString CRowContent::GetSubItemText(int subItem) const
{
    CheckSubItem(subItem);
    return subItem < m_subItemTexts.GetSize() ? m_subItemTexts.GetAt(subItem) : CString();
}

int CRowContent::GetSubItemCount() const { return static_cast<int>(m_subItemTexts.GetSize()); }

int CRowContent::GetSubItemImage(int subItem) const
{
    CheckSubItem(subItem);
    auto found = m_subItemImages.find(subItem);
    return found == m_subItemImages.end() ? -1 : found->second;
}

void CRowContent::SetSubItemImage(int subItem, int image)
{
    CheckSubItem(subItem);
    if (image < 0)
        m_subItemImages.erase(subItem);
    else
        m_subItemImages[subItem] = image;
}

COLORREF CRowContent::GetSubItemColor(int subItem) const
{
    CheckSubItem(subItem);
    auto found = m_subItemColors.find(subItem);
    return found == m_subItemColors.end() ? CLR_NONE : found->second;
}

void CRowContent::SetSubItemColor(int subItem, COLORREF color)
{
    CheckSubItem(subItem);
    if (color == CLR_NONE)
        m_subItemColors.erase(subItem);
    else
        m_subItemColors[subItem] = color;
}

CSuperGridCtrl::CTreeItem::CTreeItem(std::unique_ptr<CRowContent> content, CTreeItem* parent)
    : m_content(std::move(content)), m_parent(parent), m_indent(parent ? parent->m_indent + 1 : 1)
{
}

CSuperGridCtrl::CTreeItem* CSuperGridCtrl::CTreeItem::GetChild(int index) const
{
    return index >= 0 && index < GetChildCount() ? m_children[static_cast<size_t>(index)].get() : nullptr;
}

BEGIN_MESSAGE_MAP(CSuperGridCtrl, CListCtrl)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

// The rows' data points at the nodes: let the window go while they still exist.
CSuperGridCtrl::~CSuperGridCtrl()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) DestroyWindow();
}

BOOL CSuperGridCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CListCtrl::Create(style | LVS_REPORT | LVS_OWNERDRAWFIXED, rect, parent, id);
}

CSuperGridCtrl::CTreeItem* CSuperGridCtrl::InsertRootItem(std::unique_ptr<CRowContent> content)
{
    if (!content) return nullptr;
    std::unique_ptr<CTreeItem> node(new CTreeItem(std::move(content), nullptr));
    if (ShowRow(GetItemCount(), node.get()) < 0) return nullptr;
    m_roots.push_back(std::move(node));
    Renumber();
    return m_roots.back().get();
}

CSuperGridCtrl::CTreeItem* CSuperGridCtrl::InsertChildItem(CTreeItem* parent, std::unique_ptr<CRowContent> content)
{
    if (!parent || !content) return nullptr;
    std::unique_ptr<CTreeItem> node(new CTreeItem(std::move(content), parent));
    BOOL shown = parent->m_expanded && parent->m_listIndex >= 0;
    if (shown && ShowRow(EndOfVisibleSubtree(parent), node.get()) < 0) return nullptr;
    parent->m_children.push_back(std::move(node));
    if (shown) Renumber();
    return parent->m_children.back().get();
}

CSuperGridCtrl::CTreeItem* CSuperGridCtrl::GetRootItem(int index) const
{
    return index >= 0 && index < GetRootCount() ? m_roots[static_cast<size_t>(index)].get() : nullptr;
}

CSuperGridCtrl::CTreeItem* CSuperGridCtrl::GetTreeItem(int listIndex) const
{
    if (listIndex < 0 || listIndex >= GetItemCount()) return nullptr;
    return reinterpret_cast<CTreeItem*>(GetItemData(listIndex));
}

void CSuperGridCtrl::UpdateRow(CTreeItem* item)
{
    if (!item || item->m_listIndex < 0) return;
    int row = item->m_listIndex;
    const CRowContent& content = *item->m_content;
    SetItemText(row, 0, content.GetItemText());
    for (int subItem = 0; subItem + 1 < ColumnCount(); ++subItem)
        SetItemText(row, subItem + 1, content.GetSubItemText(subItem));
    SetItemState(row, StateImageOf(content.GetCheck()), LVIS_STATEIMAGEMASK);
    RedrawItems(row, row);
}

BOOL CSuperGridCtrl::GetTick(const CTreeItem* item) const { return item && item->m_content->GetCheck() != 0; }

void CSuperGridCtrl::SetTick(CTreeItem* item, BOOL tick)
{
    if (!item) return;
    item->m_content->SetCheck(tick);
    if (item->m_listIndex >= 0) SetItemState(item->m_listIndex, StateImageOf(tick), LVIS_STATEIMAGEMASK);
}

BOOL CSuperGridCtrl::Expand(CTreeItem* item)
{
    if (!item || item->m_expanded || item->m_children.empty()) return TRUE;
    item->m_expanded = TRUE;
    if (item->m_listIndex < 0) return TRUE;
    int next = item->m_listIndex + 1;
    BOOL shown = ShowChildren(item, next);
    Renumber();
    return shown;
}

void CSuperGridCtrl::Collapse(CTreeItem* item)
{
    if (!item || !item->m_expanded) return;
    item->m_expanded = FALSE;
    if (item->m_listIndex < 0) return;
    for (int row = EndOfVisibleSubtree(item) - 1; row > item->m_listIndex; --row) {
        GetTreeItem(row)->m_listIndex = -1;
        DeleteItem(row);
    }
    Renumber();
}

BOOL CSuperGridCtrl::ExpandAll(CTreeItem* item)
{
    if (!item) return TRUE;
    // Hide what is shown so that the rows come back in tree order, with every level open.
    Collapse(item);
    std::vector<CTreeItem*> pending{item};
    while (!pending.empty()) {
        CTreeItem* node = pending.back();
        pending.pop_back();
        if (node != item && !node->m_children.empty()) node->m_expanded = TRUE;
        for (auto& child : node->m_children) pending.push_back(child.get());
    }
    return Expand(item);
}

CString CSuperGridCtrl::ShortenText(CDC* dc, const CString& text, int room)
{
    if (text.IsEmpty() || dc->GetTextExtent(text).cx <= room) return text;
    static const wchar_t dots[] = L"...";
    int dotsWidth = dc->GetTextExtent(dots, 3).cx;
    for (int length = text.GetLength() - 1; length > 0; --length) {
        // Never keep half of a surrogate pair.
        if (IS_HIGH_SURROGATE(text[length - 1])) continue;
        if (dc->GetTextExtent(text.GetString(), length).cx + dotsWidth <= room) return text.Left(length) + dots;
    }
    return CString(dots);
}

BOOL CSuperGridCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message != WM_MEASUREITEM) return CListCtrl::OnChildNotify(message, wParam, lParam, result);
    MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    if (result) *result = TRUE;
    return TRUE;
}

// Rows fit the bar images and the check boxes as well as a line of the list's font.
void CSuperGridCtrl::MeasureItem(LPMEASUREITEMSTRUCT measure)
{
    int lineHeight = 0;
    CClientDC dc(this);
    if (dc.GetSafeHdc()) {
        HGDIOBJ previous = nullptr;
        if (HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))) previous = ::SelectObject(dc, font);
        TEXTMETRICW metrics = {};
        if (dc.GetTextMetrics(&metrics)) lineHeight = metrics.tmHeight;
        if (previous) ::SelectObject(dc, previous);
    }
    measure->itemHeight = static_cast<UINT>(std::max(16, lineHeight) + 4);
}

void CSuperGridCtrl::OnRowClicked(CTreeItem*) {}

// The list view never sees the clicks: it would flip its check box where it would draw the box,
// not where this control draws it. A double click counts as a second click.
void CSuperGridCtrl::OnLButtonDown(UINT, CPoint point) { Click(point); }

void CSuperGridCtrl::OnLButtonDblClk(UINT, CPoint point) { Click(point); }

void CSuperGridCtrl::Click(CPoint point)
{
    SetFocus();
    LVHITTESTINFO hit = {};
    hit.pt = point;
    SubItemHitTest(&hit);
    CTreeItem* item = GetTreeItem(hit.iItem);
    if (!item) return;
    SetItemState(-1, 0, LVIS_SELECTED);
    SetItemState(hit.iItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if (hit.iSubItem == 0) {
        CRect row;
        GetItemRect(hit.iItem, &row, LVIR_BOUNDS);
        RowLayout layout = LayoutRow(*item, row);
        if (!item->m_children.empty() && layout.button.PtInRect(point)) {
            Toggle(item);
            return;
        }
        if (StateImages() && layout.check.PtInRect(point)) SetTick(item, !GetTick(item));
    }
    OnRowClicked(item);
}

void CSuperGridCtrl::OnKeyDown(UINT key, UINT, UINT)
{
    CTreeItem* item = GetTreeItem(GetNextItem(-1, LVNI_SELECTED));
    switch (key) {
    case VK_SPACE:
        if (!(GetExtendedStyle() & LVS_EX_CHECKBOXES)) break;
        if (item) SetTick(item, !GetTick(item));
        return;
    case VK_ADD:
    case VK_SUBTRACT:
    case VK_MULTIPLY:
        if (!item) return;
        SetRedraw(FALSE);
        if (key == VK_ADD)
            Expand(item);
        else if (key == VK_SUBTRACT)
            Collapse(item);
        else
            ExpandAll(item);
        SetRedraw(TRUE);
        EnsureVisible(item->m_listIndex, FALSE);
        Invalidate();
        return;
    default:
        break;
    }
    Default();
}

void CSuperGridCtrl::Toggle(CTreeItem* item)
{
    if (item->m_expanded)
        Collapse(item);
    else
        Expand(item);
}

int CSuperGridCtrl::ShowRow(int index, CTreeItem* item)
{
    const CRowContent& content = *item->m_content;
    LVITEMW row = {};
    row.mask = LVIF_TEXT | LVIF_PARAM;
    row.iItem = index;
    row.pszText = const_cast<LPWSTR>(content.GetItemText().GetString());
    row.lParam = reinterpret_cast<LPARAM>(item);
    int shown = InsertItem(&row);
    if (shown < 0) {
        System::Diagnostics::Trace::WriteLine(System::String(L"CSuperGridCtrl: the list view refused the row \"") +
                                              System::String(content.GetItemText().GetString()) + L"\"");
        return -1;
    }
    // A list with check boxes gives every new item an empty box, whatever the item asked for.
    SetItemState(shown, StateImageOf(content.GetCheck()), LVIS_STATEIMAGEMASK);
    for (int subItem = 0; subItem + 1 < ColumnCount(); ++subItem)
        SetItemText(shown, subItem + 1, content.GetSubItemText(subItem));
    item->m_listIndex = shown;
    return shown;
}

BOOL CSuperGridCtrl::ShowChildren(CTreeItem* item, int& next)
{
    for (auto& child : item->m_children) {
        if (ShowRow(next, child.get()) < 0) return FALSE;
        ++next;
        if (child->m_expanded && !ShowChildren(child.get(), next)) return FALSE;
    }
    return TRUE;
}

// Rows are in tree order, so the rows below a node are the ones after it that are indented more.
int CSuperGridCtrl::EndOfVisibleSubtree(const CTreeItem* item) const
{
    int count = GetItemCount();
    int row = item->m_listIndex + 1;
    while (row < count) {
        CTreeItem* below = GetTreeItem(row);
        if (!below || below->m_indent <= item->m_indent) break;
        ++row;
    }
    return row;
}

void CSuperGridCtrl::Renumber()
{
    int count = GetItemCount();
    for (int row = 0; row < count; ++row)
        if (CTreeItem* item = GetTreeItem(row)) item->m_listIndex = row;
}

int CSuperGridCtrl::ColumnCount() const
{
    CHeaderCtrl* header = GetHeaderCtrl();
    return header ? header->GetItemCount() : 0;
}

int CSuperGridCtrl::ColumnWidth(int column) const
{
    return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
}

int CSuperGridCtrl::SmallIconWidth() const
{
    SIZE size = ImageSize(reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL)));
    return size.cx > 0 ? size.cx : ::GetSystemMetrics(SM_CXSMICON);
}

HIMAGELIST CSuperGridCtrl::StateImages() const
{
    return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_STATE));
}

// The expand button sits in the last step of the indentation, then come the icon, the check box
// and the label.
CSuperGridCtrl::RowLayout CSuperGridCtrl::LayoutRow(const CTreeItem& item, const CRect& row) const
{
    RowLayout layout;
    int iconWidth = SmallIconWidth();
    int left = row.left + item.m_indent * iconWidth;
    layout.button = CRect(left - iconWidth, row.top, left, row.bottom);
    layout.icon = CRect(left, row.top, left + iconWidth, row.bottom);
    int checkWidth = ImageSize(StateImages()).cx;
    layout.check = CRect(layout.icon.right, row.top, layout.icon.right + checkWidth, row.bottom);
    layout.label = CRect(layout.check.right + LabelGap, row.top, row.left + ColumnWidth(0) - LabelGap, row.bottom);
    return layout;
}

void CSuperGridCtrl::DrawItem(LPDRAWITEMSTRUCT draw)
{
    CTreeItem* item = GetTreeItem(static_cast<int>(draw->itemID));
    CDC* dc = CDC::FromHandle(draw->hDC);
    if (!item || !dc) return;
    int saved = dc->SaveDC();
    if (HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))) ::SelectObject(*dc, font);

    CRect row(draw->rcItem);
    BOOL selected = (draw->itemState & ODS_SELECTED) != 0;
    COLORREF background = selected ? ::GetSysColor(COLOR_HIGHLIGHT) : draw->itemID % 2 ? StripeColor : RGB(255, 255, 255);
    dc->FillSolidRect(&row, background);
    dc->SetTextColor(::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    dc->SetBkMode(TRANSPARENT);

    int left = row.left;
    int columns = ColumnCount();
    for (int column = 0; column < columns; ++column) {
        CRect cell(left, row.top, left + ColumnWidth(column), row.bottom);
        left = cell.right;
        int cellSaved = dc->SaveDC();
        ::IntersectClipRect(*dc, cell.left, cell.top, cell.right, cell.bottom);
        if (column == 0)
            DrawFirstColumn(dc, *item, row);
        else
            DrawSubItem(dc, *item, column - 1, cell);
        dc->RestoreDC(cellSaved);
    }
    dc->RestoreDC(saved);
}

void CSuperGridCtrl::DrawFirstColumn(CDC* dc, const CTreeItem& item, const CRect& row)
{
    RowLayout layout = LayoutRow(item, row);
    const CRowContent& content = *item.m_content;

    if (!item.m_children.empty()) {
        CPoint center = layout.button.CenterPoint();
        CRect box(center.x - ExpandBoxSize / 2, center.y - ExpandBoxSize / 2, center.x + ExpandBoxSize / 2 + 1,
                  center.y + ExpandBoxSize / 2 + 1);
        COLORREF sign = ::GetSysColor(COLOR_WINDOWTEXT);
        dc->FillSolidRect(&box, RGB(255, 255, 255));
        dc->Draw3dRect(&box, RGB(128, 128, 128), RGB(128, 128, 128));
        dc->FillSolidRect(box.left + 2, center.y, ExpandBoxSize - 4, 1, sign);
        if (!item.m_expanded) dc->FillSolidRect(center.x, box.top + 2, 1, ExpandBoxSize - 4, sign);
    }

    HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
    if (icons && content.GetImage() >= 0) {
        UINT style = ILD_TRANSPARENT;
        if (GetItemState(item.m_listIndex, LVIS_DROPHILITED)) style |= ILD_BLEND50;
        int top = layout.icon.top + (layout.icon.Height() - ImageSize(icons).cy) / 2;
        ImageList_Draw(icons, content.GetImage(), *dc, layout.icon.left, top, style);
    }

    if (HIMAGELIST states = StateImages()) {
        int state = static_cast<int>(GetItemState(item.m_listIndex, LVIS_STATEIMAGEMASK) >> 12) - 1;
        int top = layout.check.top + (layout.check.Height() - ImageSize(states).cy) / 2;
        if (state >= 0) ImageList_Draw(states, state, *dc, layout.check.left, top, ILD_TRANSPARENT);
    }

    CRect label = layout.label;
    dc->DrawText(ShortenText(dc, content.GetItemText(), label.Width()), &label,
                 DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void CSuperGridCtrl::DrawSubItem(CDC* dc, const CTreeItem& item, int subItem, const CRect& column)
{
    const CRowContent& content = *item.m_content;
    COLORREF color = content.GetSubItemColor(subItem);
    if (color != CLR_NONE) dc->FillSolidRect(&column, color);

    CRect text(column.left + TextMargin, column.top, column.right - TextMargin, column.bottom);
    int image = content.GetSubItemImage(subItem);
    HIMAGELIST bars = m_subItemImages ? m_subItemImages->GetSafeHandle() : nullptr;
    if (bars && image >= 0) {
        SIZE size = ImageSize(bars);
        int left = column.left + (column.Width() - size.cx) / 2;
        ImageList_Draw(bars, image, *dc, left, column.top + (column.Height() - size.cy) / 2, ILD_TRANSPARENT);
        text.left = std::max<LONG>(text.left, left + size.cx + LabelGap);
    }

    LVCOLUMNW format = {};
    format.mask = LVCF_FMT;
    GetColumn(subItem + 1, &format);
    dc->DrawText(ShortenText(dc, content.GetSubItemText(subItem), text.Width()), &text,
                 TextAlignment(format.fmt) | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}
