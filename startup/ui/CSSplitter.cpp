#include "startup/ui/CSSplitter.h"

#include <algorithm>
#include <cstdlib>

#include "framework/CDC.h"

BEGIN_MESSAGE_MAP(CSSplitter, CStatic)
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
    ON_MESSAGE(WM_NCHITTEST, OnNcHitTestMessage)
END_MESSAGE_MAP()

BOOL CSSplitter::Create(DWORD style, CWnd* parent, CWnd* first, CWnd* second, UINT id, const RECT& rect,
                        int firstMinimum, int secondMinimum)
{
    if (!first || !second || !first->m_hWnd || !second->m_hWnd) return FALSE;
    sideBySide_ = (style & Stacked) == 0;
    first_ = first;
    second_ = second;
    firstMinimum_ = firstMinimum;
    secondMinimum_ = secondMinimum;
    if (!CStatic::Create(L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | SS_NOTIFY, rect, parent, id)) return FALSE;
    ::SetParent(first->m_hWnd, m_hWnd);
    ::SetParent(second->m_hWnd, m_hWnd);
    CRect firstRect;
    first->GetWindowRect(&firstRect);
    int firstSize = sideBySide_ ? firstRect.Width() : firstRect.Height();
    division_ = firstSize > 0 && firstSize < Length() ? firstSize + 1 : Length() / 2;
    division_ = Clamp(division_);
    secondSize_ = Length() - division_ - 1;
    first->ShowWindow(SW_SHOW);
    second->ShowWindow(SW_SHOW);
    Layout();
    return TRUE;
}

int CSSplitter::Length() const
{
    CRect client;
    GetClientRect(&client);
    return sideBySide_ ? client.Width() : client.Height();
}

int CSSplitter::Clamp(int division) const
{
    int lowest = firstMinimum_ + 1;
    int highest = Length() - secondMinimum_ - 1;
    // When both minimums do not fit, the first pane keeps its own.
    return std::max(lowest, std::min(division, highest));
}

void CSSplitter::SetDivision(int division)
{
    division_ = Clamp(division);
    secondSize_ = Length() - division_ - 1;
    Layout();
}

void CSSplitter::Layout()
{
    if (!m_hWnd || !first_) return;
    CRect client;
    GetClientRect(&client);
    CRect firstRect = client;
    CRect secondRect = client;
    if (firstHidden_ || secondHidden_) {
        // The shown pane takes everything; the division is kept for later.
    } else if (sideBySide_) {
        firstRect.right = division_ - 1;
        secondRect.left = firstRect.right + 2;
    } else {
        firstRect.bottom = division_ - 1;
        secondRect.top = firstRect.bottom + 2;
    }
    if (!firstHidden_) first_->MoveWindow(&firstRect);
    if (!secondHidden_) second_->MoveWindow(&secondRect);
    first_->ShowWindow(firstHidden_ ? SW_HIDE : SW_SHOW);
    second_->ShowWindow(secondHidden_ ? SW_HIDE : SW_SHOW);
    Invalidate();
}

void CSSplitter::ShowFirstPane(bool show)
{
    firstHidden_ = !show;
    if (show) secondHidden_ = false;
    Layout();
}

void CSSplitter::ShowSecondPane(bool show)
{
    secondHidden_ = !show;
    if (show) firstHidden_ = false;
    Layout();
}

void CSSplitter::OnSize(UINT, int, int)
{
    if (!first_) return;
    division_ = Clamp(keepSecond_ ? Length() - secondSize_ - 1 : division_);
    if (!keepSecond_) secondSize_ = Length() - division_ - 1;
    Layout();
}

bool CSSplitter::IsOnBar(CPoint point) const
{
    return !firstHidden_ && !secondHidden_ && std::abs(AxisOf(point) - division_) <= GripDistance;
}

LRESULT CSSplitter::OnNcHitTestMessage(WPARAM, LPARAM)
{
    // A static control is transparent to the mouse unless it says otherwise.
    return HTCLIENT;
}

BOOL CSSplitter::OnSetCursor(CWnd* window, UINT hitTest, UINT message)
{
    CPoint point;
    GetCursorPos(&point);
    ScreenToClient(&point);
    if (dragging_ || IsOnBar(point)) {
        ::SetCursor(LoadCursorW(nullptr, sideBySide_ ? IDC_SIZEWE : IDC_SIZENS));
        return TRUE;
    }
    return CStatic::OnSetCursor(window, hitTest, message);
}

void CSSplitter::OnLButtonDown(UINT, CPoint point)
{
    if (!IsOnBar(point)) return;
    dragging_ = true;
    SetCapture();
    ::SetCursor(LoadCursorW(nullptr, sideBySide_ ? IDC_SIZEWE : IDC_SIZENS));
    trackerAt_ = division_;
    DrawTracker(trackerAt_);
}

void CSSplitter::OnMouseMove(UINT, CPoint point)
{
    if (!dragging_) return;
    int at = Clamp(AxisOf(point));
    if (at == trackerAt_) return;
    DrawTracker(trackerAt_);
    trackerAt_ = at;
    DrawTracker(trackerAt_);
}

void CSSplitter::OnLButtonUp(UINT, CPoint point)
{
    if (!dragging_) return;
    trackerAt_ = Clamp(AxisOf(point));
    EndDrag(true);
}

LRESULT CSSplitter::OnCaptureChanged(WPARAM, LPARAM)
{
    // Capture taken away (another window, Escape in a menu): the drag ends where it began.
    if (dragging_) EndDrag(false);
    return 0;
}

void CSSplitter::EndDrag(bool apply)
{
    DrawTracker(trackerAt_);
    dragging_ = false;
    int at = trackerAt_;
    trackerAt_ = -1;
    if (GetCapture() == this) ReleaseCapture();
    if (apply) SetDivision(at);
}

void CSSplitter::DrawTracker(int division)
{
    CWnd* parent = GetParent();
    if (!parent || division < 0) return;
    CRect client;
    GetClientRect(&client);
    CRect bar = client;
    if (sideBySide_) {
        bar.left = division - 1;
        bar.right = division + 1;
    } else {
        bar.top = division - 1;
        bar.bottom = division + 1;
    }
    ClientToScreen(&bar);
    CRect parentWindow;
    parent->GetWindowRect(&parentWindow);
    bar.OffsetRect(-parentWindow.left, -parentWindow.top);
    CWindowDC dc(parent);
    ::PatBlt(dc.GetSafeHdc(), bar.left, bar.top, bar.Width(), bar.Height(), DSTINVERT);
}

BOOL CSSplitter::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    return TRUE;
}
