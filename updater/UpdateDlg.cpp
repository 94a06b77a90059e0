#include "updater/UpdateDlg.h"

#include "framework/CDC.h"
#include "framework/CException.h"
#include "framework/ModuleState.h"
#include "updater/res/resource.h"

namespace {

constexpr UINT_PTR kTimerLinger = 0;
constexpr UINT_PTR kTimerFade = 1;
constexpr UINT kLingerMs = 500;
constexpr UINT kFadeMs = 200;
constexpr int kWindowSize = 136;
constexpr int kCornerSize = 9;

}  // namespace

BEGIN_MESSAGE_MAP(CUpdateDlg, CBDialog)
ON_MESSAGE(CUpdateDlg::WM_UPDATE_PROGRESS, OnUpdateProgress)
ON_MESSAGE(CUpdateDlg::WM_UPDATE_COMPLETE, OnUpdateComplete)
ON_WM_TIMER()
ON_WM_LBUTTONDOWN()
ON_WM_CTLCOLOR()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

CUpdateDlg::CUpdateDlg(CUpdater& updater, CWnd* parent) : CBDialog(IDD_UPDATE, parent), m_updater(updater) {}

BOOL CUpdateDlg::OnInitDialog()
{
    CBDialog::OnInitDialog();
    SetWindowText(L"벨라 업데이터");
    SetBackground(IDB_BACKGROUND, Stretch);
    SetWindowPos(nullptr, 0, 0, kWindowSize, kWindowSize, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CRgn region;
    if (region.CreateRoundRectRgn(0, 0, kWindowSize + 1, kWindowSize + 1, kCornerSize, kCornerSize) &&
        SetWindowRgn(static_cast<HRGN>(region.GetSafeHandle()), TRUE)) {
        // The window owns the region now.
        region.Detach();
    }
    for (int frame = 0; frame < 18; ++frame) m_frames[frame].LoadBitmap(IDB_FRAME_FIRST + frame);
    m_frames[18].LoadBitmap(IDB_FRAME_18);
    m_frames[19].LoadBitmap(IDB_FRAME_19);
    m_frames[kFrameDone].LoadBitmap(IDB_FRAME_DONE);
    m_frames[kFrameFailed].LoadBitmap(IDB_FRAME_FAILED);

    m_icon = LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_UPDATER));
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);
    m_updater.SetHandler(this);
    try {
        m_updater.StartUpdate();
    } catch (CException* error) {
        error->Delete();
        m_success = FALSE;
        OnUpdateComplete(0, 0);
    }
    return TRUE;
}

void CUpdateDlg::OnOK() {}

void CUpdateDlg::OnCancel() {}

void CUpdateDlg::OnProgress(int percent, CString text)
{
    m_percent = percent;
    m_text = text;
    SendMessage(WM_UPDATE_PROGRESS);
}

void CUpdateDlg::OnComplete(BOOL success)
{
    m_success = success;
    SendMessage(WM_UPDATE_COMPLETE);
}

void CUpdateDlg::ShowFrame(int frame)
{
    if (auto* picture = static_cast<CStatic*>(GetDlgItem(IDC_PROGRESS_BITMAP))) {
        picture->SetBitmap(static_cast<HBITMAP>(m_frames[frame].GetSafeHandle()));
    }
}

void CUpdateDlg::ShowStatus(LPCWSTR text)
{
    SetDlgItemText(IDC_STATUS_TEXT, text);
    // The text is drawn without a background: the dialog's own background must be painted again
    // beneath it first, or the new text would be drawn over the old one.
    if (CWnd* status = GetDlgItem(IDC_STATUS_TEXT)) {
        CRect area;
        status->GetWindowRect(&area);
        ScreenToClient(&area);
        RedrawWindow(&area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

LRESULT CUpdateDlg::OnUpdateProgress(WPARAM, LPARAM)
{
    ShowFrame(FrameForPercent(m_percent));
    CString text;
    text.Format(L"업데이트 중...%d%%", m_percent);
    ShowStatus(text);
    return 0;
}

LRESULT CUpdateDlg::OnUpdateComplete(WPARAM, LPARAM)
{
    if (m_success) {
        ShowFrame(kFrameDone);
        ShowStatus(L"불러오는 중...");
    } else {
        ShowFrame(kFrameFailed);
        ShowStatus(L"업데이트 실패");
        MessageBox(L"업데이트 중 오류가 발생하였습니다. 잠시 후 다시 실행해 주시기 바랍니다.", L"벨라 업데이트",
                   MB_OK | MB_ICONERROR);
    }
    SetTimer(kTimerLinger, kLingerMs);
    return 0;
}

void CUpdateDlg::OnTimer(UINT_PTR id)
{
    if (id == kTimerLinger) {
        KillTimer(kTimerLinger);
        ::AnimateWindow(m_hWnd, kFadeMs, AW_BLEND | AW_HIDE);
        SetTimer(kTimerFade, kFadeMs);
    } else if (id == kTimerFade) {
        KillTimer(kTimerFade);
        EndDialog(m_success ? IDOK : IDCANCEL);
    }
}

void CUpdateDlg::OnLButtonDown(UINT, CPoint point)
{
    // Dragging anywhere moves the frameless window, as a caption press would.
    POINT screen = point;
    ClientToScreen(&screen);
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
}

HBRUSH CUpdateDlg::OnCtlColor(CDC* dc, CWnd*, UINT kind)
{
    if (kind == CTLCOLOR_STATIC) {
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(RGB(0xFF, 0xFF, 0xFF));
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    return reinterpret_cast<HBRUSH>(Default());
}

void CUpdateDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()));
    CRect client;
    GetClientRect(&client);
    int x = (client.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_icon);
}

HCURSOR CUpdateDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_icon); }
