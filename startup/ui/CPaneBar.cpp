#include "startup/ui/CPaneBar.h"

#include "framework/CControls.h"
#include "framework/CDC.h"

BEGIN_MESSAGE_MAP(CPaneBar, CDialogBar)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CPaneBar::Create(CWnd* parent, UINT templateId, UINT style, UINT id)
{
    if (!target_) target_ = parent;
    // Pane templates hold list and tree views, whose classes must exist before the template is made.
    AfxInitCommonControls();
    if (!CDialogBar::Create(parent, templateId, style, id)) return FALSE;
    CRect client;
    GetClientRect(&client);
    LayoutControls(client.Width(), client.Height());
    return TRUE;
}

BOOL CPaneBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CDialogBar::OnCommand(wParam, lParam)) return TRUE;
    if (!target_ || !target_->m_hWnd) return FALSE;
    target_->SendMessage(WM_COMMAND, wParam, lParam);
    return TRUE;
}

BOOL CPaneBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (CDialogBar::OnNotify(wParam, lParam, result)) return TRUE;
    if (!target_ || !target_->m_hWnd) return FALSE;
    *result = target_->SendMessage(WM_NOTIFY, wParam, lParam);
    return TRUE;
}

void CPaneBar::SetBackgroundColor(COLORREF color)
{
    background_ = color;
    backgroundBrush_.DeleteObject();
    backgroundBrush_.CreateSolidBrush(color);
    if (m_hWnd) Invalidate();
}

BOOL CPaneBar::OnEraseBkgnd(CDC* dc)
{
    if (background_ == CLR_INVALID) return CDialogBar::OnEraseBkgnd(dc);
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, background_);
    return TRUE;
}

HBRUSH CPaneBar::OnCtlColor(CDC* dc, CWnd* window, UINT kind)
{
    if (background_ == CLR_INVALID || kind != CTLCOLOR_STATIC || !backgroundBrush_.m_hObject)
        return CDialogBar::OnCtlColor(dc, window, kind);
    dc->SetBkColor(background_);
    return backgroundBrush_;
}

void CPaneBar::LayoutControls(int, int) {}

void CPaneBar::OnSize(UINT type, int cx, int cy)
{
    CDialogBar::OnSize(type, cx, cy);
    if (type != SIZE_MINIMIZED) LayoutControls(cx, cy);
}
