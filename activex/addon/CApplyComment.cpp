#include "activex/addon/CApplyComment.h"

#include "activex/res/resource.h"
#include "framework/CControls.h"

CApplyComment::CApplyComment(CWnd* parent) : CDialog(IDD_AXM_APPLY_COMMENT, parent) {}

BOOL CApplyComment::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(L"ActiveX 관리");
    if (auto* picture = static_cast<CStatic*>(GetDlgItem(IDC_AXM_NOTE_PICTURE))) picture->SetIcon(LoadIconW(nullptr, IDI_INFORMATION));
    SetDlgItemText(IDC_AXM_NOTE_TEXT, L"설정된 항목은 인터넷 익스플로러를 다시 시작해야만 적용됩니다.");
    SetDlgItemText(IDC_AXM_NO_NOTE, L"다시 물어 보지 않음");
    CenterWindow();
    return TRUE;
}

void CApplyComment::OnOK()
{
    auto* box = static_cast<CButton*>(GetDlgItem(IDC_AXM_NO_NOTE));
    noNote_ = box && box->GetCheck() == BST_CHECKED;
    CDialog::OnOK();
}
