#include "startup/addon/CRestoreDlg.h"

#include <shellapi.h>

#include "core/ExceptionGuard.h"
#include "core/Trace.h"
#include "startup/Category.h"
#include "startup/StartupTexts.h"
#include "startup/addon/StartupMessages.h"

using System::String;

BEGIN_MESSAGE_MAP(CRestoreDlg, CResizeDlg)
    ON_NOTIFY(NM_CLICK, IDC_STARTUP_LIST, OnBackupClick)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CRestoreDlg::CRestoreDlg(BackupManager& backups, CWnd* parent) : CResizeDlg(IDD_RESTORE, parent), backups_(backups) {}

CRestoreDlg::~CRestoreDlg() { ReleaseBackups(); }

void CRestoreDlg::ReleaseBackups()
{
    DestroyBackups(loaded_);
    loaded_ = System::Array<BackupEntry*>();
}

BOOL CRestoreDlg::OnInitDialog()
{
    CResizeDlg::OnInitDialog();
    SetWindowText(L"시작 프로그램 복원");
    SetDlgItemText(IDC_RESTORE_INTRO, L"이전 백업으로부터 시작 프로그램들을 복원합니다.\r\n아래 목록에서 복원할 시점을 "
                                      L"선택하시고 [복원] 버튼을 클릭하십시오.");
    SetDlgItemText(IDOK, L"복원(&O)");
    SetDlgItemText(IDCANCEL, L"취소(&C)");
    if (!backupList_.SubclassDlgItem(IDC_STARTUP_LIST, this) || !entryList_.SubclassDlgItem(IDC_BACKUP_ENTRIES, this)) {
        System::Diagnostics::Trace::WriteLine(L"CRestoreDlg: the template lacks its lists");
        return TRUE;
    }
    backupList_.SetExtendedStyle(backupList_.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    backupList_.InsertColumn(0, L"날짜", LVCFMT_LEFT, 150);
    backupList_.InsertColumn(1, L"설명", LVCFMT_LEFT, 320);

    if (icons_.Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK, 16, 16)) {
        icons_.Add(LoadIconW(nullptr, IDI_APPLICATION));
        entryList_.SetImageList(&icons_, LVSIL_SMALL);
    }
    const wchar_t* headings[] = {L"이름", L"제조사", L"등급", L"실행경로", L"구분"};
    const int widths[] = {120, 150, 50, 300, 200};
    for (int column = 0; column < 5; ++column) entryList_.InsertColumn(column, headings[column], LVCFMT_LEFT, widths[column]);
    entryList_.SetBkColor(RGB(190, 190, 190));

    try {
        loaded_ = backups_.LoadBackups();
    } catch (System::Exception* caught) {
        System::ExceptionHolder failure(caught);
        System::Diagnostics::Trace::WriteLine(L"CRestoreDlg: " + failure->ToString());
        ShowMessage(L"백업 파일을 읽지 못했습니다.\r\n" + StartupMessages::Reason(*failure));
    }
    for (int i = loaded_.GetLength() - 1; i >= 0; --i) {
        BackupEntry* backup = loaded_[i];
        int row = backupList_.InsertItem(backupList_.GetItemCount(), backup->GetTimeText().GetBuffer());
        if (row < 0) continue;
        backupList_.SetItemText(row, 1, backup->GetDescription().GetBuffer());
        backupList_.SetItemData(row, reinterpret_cast<DWORD_PTR>(backup));
    }
    return TRUE;
}

void CRestoreDlg::OnBackupClick(NMHDR* header, LRESULT* result)
{
    *result = 0;
    int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
    if (row >= 0) ShowBackup(row);
}

void CRestoreDlg::ShowBackup(int row)
{
    auto* backup = reinterpret_cast<BackupEntry*>(backupList_.GetItemData(row));
    entryList_.DeleteAllItems();
    if (!backup) return;
    for (StartupEntry* entry : backup->GetEntries()) {
        int at = entryList_.InsertItem(entryList_.GetItemCount(), entry->GetName().GetBuffer(), IconOf(entry->GetImagePath()));
        if (at < 0) continue;
        entryList_.SetItemText(at, 1, entry->GetManufacturer().GetBuffer());
        entryList_.SetItemText(at, 2, entry->GetRatingText().GetBuffer());
        entryList_.SetItemText(at, 3, entry->GetCommandLineW().GetBuffer());
        entryList_.SetItemText(at, 4, Category::FormatCategoryColumn(entry->GetDomain()).GetBuffer());
        entryList_.SetItemData(at, reinterpret_cast<DWORD_PTR>(entry));
    }
}

int CRestoreDlg::IconOf(const String& imagePath)
{
    int image = 0;
    if (imagePath.IsEmpty() || !icons_.GetSafeHandle() || iconIndexes_.TryGetValue(imagePath, image)) return image;
    SHFILEINFOW info = {};
    if (SHGetFileInfoW(imagePath.GetBuffer(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon) {
        int added = icons_.Add(info.hIcon);
        DestroyIcon(info.hIcon);
        if (added >= 0) image = added;
    }
    iconIndexes_.Add(imagePath, image);
    return image;
}

void CRestoreDlg::ShowMessage(const String& text)
{
    if (messageHandler_) {
        messageHandler_(text);
        return;
    }
    MessageBox(text.GetBuffer(), StartupMessages::Caption, MB_OK | MB_ICONWARNING);
}

void CRestoreDlg::OnOK()
{
    int row = backupList_.m_hWnd ? backupList_.GetNextItem(-1, LVNI_SELECTED) : -1;
    auto* backup = row >= 0 ? reinterpret_cast<BackupEntry*>(backupList_.GetItemData(row)) : nullptr;
    if (!backup) {
        ShowMessage(L"복원할 백업을 목록에서 선택하여 주십시오.");
        return;
    }
    try {
        // The set being replaced goes into a backup first (only when it differs from the newest
        // one), so nothing the restore removes is lost.
        backups_.AutoBackup(StartupTexts::AutomaticBackup, false);
        backups_.RestoreBackup(backup);
    } catch (System::Exception* caught) {
        System::ExceptionHolder failure(caught);
        System::Diagnostics::Trace::WriteLine(L"CRestoreDlg: " + failure->ToString());
        ShowMessage(StartupMessages::RestoreFailed(*failure));
    }
    entryList_.DeleteAllItems();
    backupList_.DeleteAllItems();
    ReleaseBackups();
    EndDialog(IDOK);
}

void CRestoreDlg::OnCancel()
{
    entryList_.DeleteAllItems();
    backupList_.DeleteAllItems();
    ReleaseBackups();
    CResizeDlg::OnCancel();
}

void CRestoreDlg::OnDestroy()
{
    entryList_.DeleteAllItems();
    backupList_.DeleteAllItems();
    CResizeDlg::OnDestroy();
}
