#include "activex/addon/CBlockDangerDlg.h"

#include <commctrl.h>

#include "activex/res/resource.h"
#include "core/Trace.h"

CBlockDangerDlg::CBlockDangerDlg(const std::vector<ActiveXEntry*>& entries, CWnd* parent)
    : CDialog(IDD_AXM_BLOCK_DANGER, parent), entries_(entries)
{
}

BOOL CBlockDangerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(L"위험 등급 차단");
    SetDlgItemText(IDC_AXM_DANGER_TEXT, L"위험 등급으로 분류된 ActiveX 중에 차단 되지 않은 항목이 있습니다.\r\n차단하시겠습니까?");
    if (list_.SubclassDlgItem(IDC_AXM_LIST, this)) {
        list_.SetExtendedStyle(list_.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
        const struct {
            const wchar_t* heading;
            int width;
        } columns[] = {{L"이름", 150}, {L"등급", 65}, {L"종류", 65}, {L"CLSID", 250}};
        for (int i = 0; i < 4; ++i) list_.InsertColumn(i, columns[i].heading, LVCFMT_LEFT, columns[i].width);
        for (ActiveXEntry* entry : entries_) {
            int row = list_.InsertItem(list_.GetItemCount(), entry->GetTitle().GetBuffer());
            if (row < 0) continue;
            list_.SetItemText(row, 1, entry->GetRatingText().GetBuffer());
            list_.SetItemText(row, 2, entry->GetType().GetBuffer());
            list_.SetItemText(row, 3, entry->GetClsid().GetBuffer());
        }
    } else {
        System::Diagnostics::Trace::WriteLine(System::String::Format(L"CBlockDangerDlg: no list (error %lu)", GetLastError()));
    }
    CRect window;
    GetWindowRect(&window);
    expandedHeight_ = window.Height();
    CRect frame;
    if (CWnd* box = GetDlgItem(IDC_AXM_DANGER_FRAME)) {
        box->GetWindowRect(&frame);
        collapsedHeight_ = frame.top - window.top;
    } else {
        collapsedHeight_ = expandedHeight_;
    }
    Expand(false);
    CenterWindow();
    return TRUE;
}

void CBlockDangerDlg::Expand(bool expand)
{
    expanded_ = expand;
    if (CWnd* box = GetDlgItem(IDC_AXM_DANGER_FRAME)) box->ShowWindow(expand ? SW_SHOW : SW_HIDE);
    if (list_.m_hWnd) list_.ShowWindow(expand ? SW_SHOW : SW_HIDE);
    SetDlgItemText(IDC_AXM_MORE, expand ? L"자세히<<" : L"자세히>>");
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width(), expand ? expandedHeight_ : collapsedHeight_, SWP_NOMOVE | SWP_NOZORDER);
}

BOOL CBlockDangerDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_AXM_MORE && HIWORD(wParam) == BN_CLICKED) {
        Expand(!expanded_);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}
