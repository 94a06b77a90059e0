#pragma once

#include "framework/CControls.h"
#include "framework/CGdiObject.h"
#include "updater/BDialog.h"
#include "updater/Updater.h"

// The updater's small progress window: runs the update on the engine's thread and shows its
// progress as one of 22 frames, then fades out and ends with IDOK after success, IDCANCEL after
// failure. It ends only after the engine's completion: Enter, Escape and Close are ignored, since
// the engine's thread reports to this object and the copies must not stop halfway.
class CUpdateDlg : public CBDialog, public CUpdaterEventHandler {
public:
    static constexpr UINT WM_UPDATE_PROGRESS = 0x0A01;
    static constexpr UINT WM_UPDATE_COMPLETE = 0x0A02;
    static constexpr int kFrameCount = 22;
    static constexpr int kFrameDone = 20;
    static constexpr int kFrameFailed = 21;

    explicit CUpdateDlg(CUpdater& updater, CWnd* parent = nullptr);

    // The frame shown for a percentage: 0 for 0 to 4 percent, up to 20 at 100 percent.
    static int FrameForPercent(int percent) { return percent <= 0 ? 0 : (percent >= 100 ? kFrameDone : percent / 5); }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // From the engine's thread: store, then send to the window thread, which the engine waits for.
    void OnProgress(int percent, CString text) override;
    void OnComplete(BOOL success) override;

protected:
    LRESULT OnUpdateProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnUpdateComplete(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    void OnLButtonDown(UINT flags, CPoint point);
    HBRUSH OnCtlColor(CDC* dc, CWnd* window, UINT kind);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    DECLARE_MESSAGE_MAP()

private:
    void ShowFrame(int frame);
    void ShowStatus(LPCWSTR text);

    CUpdater& m_updater;
    int m_percent = 0;
    CString m_text;
    BOOL m_success = FALSE;
    CBitmap m_frames[kFrameCount];
    HICON m_icon = nullptr;
};
