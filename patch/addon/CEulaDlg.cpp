#include "patch/addon/CEulaDlg.h"

namespace {
constexpr int TitleText = 1021;
constexpr int EulaText = 1022;
constexpr int DontShowBox = 1034;
}  // namespace

CEulaDlg::CEulaDlg(CWnd* parent, const CString& title, const CString& eula)
    : CDialog(TemplateId, parent), title_(title), eula_(eula)
{
}

BOOL CEulaDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(TitleText, title_);
    SetDlgItemText(EulaText, eula_);
    return TRUE;
}

CPatchNoticeDlg::CPatchNoticeDlg(CWnd* parent) : CDialog(TemplateId, parent) {}

void CPatchNoticeDlg::OnOK()
{
    dontShow_ = IsDlgButtonChecked(DontShowBox) == BST_CHECKED;
    CDialog::OnOK();
}
