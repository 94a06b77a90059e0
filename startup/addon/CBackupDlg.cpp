#include "startup/addon/CBackupDlg.h"

#include "core/ExceptionGuard.h"
#include "core/Trace.h"
#include "framework/CString.h"
#include "startup/addon/StartupMessages.h"

CBackupDlg::CBackupDlg(BackupManager& backups, CWnd* parent) : CDialog(IDD_BACKUP, parent), backups_(backups) {}

BOOL CBackupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(L"시작 프로그램 백업");
    SetDlgItemText(IDC_BACKUP_INTRO,
                   L"현재의 시작 프로그램들을 파일로 백업합니다.\r\n백업에 대한 설명을 입력하시고 [백업] 버튼을 클릭하여 주십시오");
    SetDlgItemText(IDC_BACKUP_LABEL, L"백업에 대한 설명(&D):");
    SetDlgItemText(IDOK, L"백업(&B)");
    SetDlgItemText(IDCANCEL, L"취소(&C)");
    return TRUE;
}

void CBackupDlg::ShowMessage(const System::String& text)
{
    if (messageHandler_) {
        messageHandler_(text);
        return;
    }
    MessageBox(text.GetBuffer(), StartupMessages::Caption, MB_OK | MB_ICONWARNING);
}

void CBackupDlg::OnOK()
{
    CString description;
    GetDlgItemText(IDC_BACKUP_DESCRIPTION, description);
    failure_ = System::String();
    try {
        backups_.AutoBackup(System::String(description.GetString()), true);
    } catch (System::Exception* caught) {
        System::ExceptionHolder failure(caught);
        System::Diagnostics::Trace::WriteLine(L"CBackupDlg: " + failure->ToString());
        failure_ = StartupMessages::BackupFailed(*failure);
        ShowMessage(failure_);
        return;
    }
    CDialog::OnOK();
}
