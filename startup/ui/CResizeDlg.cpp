// The system bitmaps (OBM_SIZE) are declared only with this.
#define OEMRESOURCE

#include "startup/ui/CResizeDlg.h"

#include "core/String.h"
#include "core/Trace.h"
#include "framework/CDC.h"

BEGIN_MESSAGE_MAP(CResizeDlg, CDialog)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_SIZING, OnSizing)
END_MESSAGE_MAP()

CResizeDlg::CResizeDlg(UINT templateId, CWnd* parent) : CDialog(templateId, parent)
{
    // A resizable dialog's template usually holds list views.
    AfxInitCommonControls();
}

BOOL CResizeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    GetClientRect(&client_);
    initialClient_ = client_;
    ClientToScreen(&initialClient_);
    CRect window;
    GetWindowRect(&window);
    initialWindowSize_ = window.Size();

    if (gripBitmap_.LoadOEMBitmap(OBM_SIZE)) {
        BITMAP info = {};
        gripBitmap_.GetBitmap(&info);
        CRect at(client_.right - info.bmWidth, client_.bottom - info.bmHeight, client_.right, client_.bottom);
        if (grip_.Create(L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, at, this, GripId)) {
            grip_.SetBitmap(gripBitmap_);
            grip_.MoveWindow(&at);
            AddAnchor(GripId, Move, Move, Move, Move, ExcludeFromErase);
        }
    } else {
        System::Diagnostics::Trace::WriteLine(
            System::String::Format(L"CResizeDlg: no size grip (error %lu)", GetLastError()));
    }
    return TRUE;
}

void CResizeDlg::AddAnchor(UINT id, Mode left, Mode right, Mode top, Mode bottom, UINT flags, double xPosition,
                           double xSize, double yPosition, double ySize)
{
    CWnd* control = GetDlgItem(static_cast<int>(id));
    if (!control) return;
    Anchor anchor{id, {left, right, top, bottom}, flags, CRect(), {xPosition, xSize}, {yPosition, ySize}};
    control->GetWindowRect(&anchor.rect);
    ScreenToClient(&anchor.rect);
    CRect client;
    GetClientRect(&client);
    // A centred control remembers where its centre sits on that axis.
    if ((left == Centre || right == Centre) && client.Width() > 0)
        anchor.xRatios[0] = (anchor.rect.left + anchor.rect.right) / 2.0 / client.Width();
    if ((top == Centre || bottom == Centre) && client.Height() > 0)
        anchor.yRatios[0] = (anchor.rect.top + anchor.rect.bottom) / 2.0 / client.Height();
    for (Anchor& existing : anchors_) {
        if (existing.id == id) {
            existing = anchor;
            return;
        }
    }
    anchors_.push_back(anchor);
}

LRESULT CResizeDlg::OnSizing(WPARAM edge, LPARAM)
{
    draggedEdge_ = static_cast<UINT>(edge);
    Default();
    return TRUE;
}

void CResizeDlg::MoveOnAxis(Mode mode, const double ratios[2], int oldClient, int newClient, LONG& low, LONG& high)
{
    int change = newClient - oldClient;
    int size = high - low;
    switch (mode) {
    case Leave:
        break;
    case Stretch:
        high += change;
        break;
    case Move:
        low += change;
        high += change;
        break;
    case Centre: {
        int centre = static_cast<int>(ratios[0] * newClient);
        low = centre - size / 2;
        high = low + size;
        break;
    }
    case Scale:
        if (oldClient > 0) {
            low = MulDiv(low, newClient, oldClient);
            high = MulDiv(high, newClient, oldClient);
        }
        break;
    case Proportional:
        low += static_cast<LONG>(change * ratios[0]);
        high = low + size + static_cast<LONG>(change * ratios[1]);
        break;
    }
}

void CResizeDlg::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    if (type == SIZE_MINIMIZED || client_.IsRectEmpty()) return;
    if (grip_.m_hWnd) grip_.ShowWindow(type == SIZE_MAXIMIZED ? SW_HIDE : SW_SHOW);
    bool leftEdge = draggedEdge_ == WMSZ_LEFT || draggedEdge_ == WMSZ_TOPLEFT || draggedEdge_ == WMSZ_BOTTOMLEFT;
    bool topEdge = draggedEdge_ == WMSZ_TOP || draggedEdge_ == WMSZ_TOPLEFT || draggedEdge_ == WMSZ_TOPRIGHT;
    HDWP batch = BeginDeferWindowPos(static_cast<int>(anchors_.size()));
    for (Anchor& anchor : anchors_) {
        CWnd* control = GetDlgItem(static_cast<int>(anchor.id));
        if (!control) continue;
        CRect rect = anchor.rect;
        MoveOnAxis(anchor.modes[leftEdge ? 0 : 1], anchor.xRatios, client_.Width(), cx, rect.left, rect.right);
        MoveOnAxis(anchor.modes[topEdge ? 2 : 3], anchor.yRatios, client_.Height(), cy, rect.top, rect.bottom);
        if (::EqualRect(&rect, &anchor.rect)) continue;
        if (anchor.flags & Repaint) control->Invalidate();
        if (batch)
            batch = DeferWindowPos(batch, control->m_hWnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                                   SWP_NOZORDER | SWP_NOACTIVATE);
        else
            control->MoveWindow(&rect, FALSE);
        anchor.rect = rect;
    }
    if (batch) EndDeferWindowPos(batch);
    for (Anchor& anchor : anchors_) {
        if (!(anchor.flags & Repaint)) continue;
        if (CWnd* control = GetDlgItem(static_cast<int>(anchor.id))) control->Invalidate();
    }
    client_.SetRect(0, 0, cx, cy);
    draggedEdge_ = 0;
}

void CResizeDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    CDialog::OnGetMinMaxInfo(info);
    // Until the dialog knows its first size, it asks for at least 300 by 300.
    info->ptMinTrackSize.x = initialWindowSize_.cx > 0 ? initialWindowSize_.cx : 300;
    info->ptMinTrackSize.y = initialWindowSize_.cy > 0 ? initialWindowSize_.cy : 300;
}

BOOL CResizeDlg::OnEraseBkgnd(CDC* dc)
{
    if (!(GetStyle() & WS_CLIPCHILDREN)) {
        for (const Anchor& anchor : anchors_) {
            if (!(anchor.flags & ExcludeFromErase)) continue;
            CWnd* control = GetDlgItem(static_cast<int>(anchor.id));
            if (control && control->IsWindowVisible()) dc->ExcludeClipRect(&anchor.rect);
        }
    }
    return CDialog::OnEraseBkgnd(dc);
}
