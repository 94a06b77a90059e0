#pragma once

#include <functional>

#include "core/Array.h"
#include "core/Dictionary.h"
#include "core/String.h"
#include "framework/CImageList.h"
#include "framework/CListCtrl.h"
#include "startup/BackupEntry.h"
#include "startup/BackupManager.h"
#include "startup/res/resource.h"
#include "startup/ui/CResizeDlg.h"

// Lists the backups, newest first, with the entries of the one clicked, and replaces the
// current set of startup programs with the chosen backup's.
class CRestoreDlg : public CResizeDlg {
public:
    CRestoreDlg(BackupManager& backups, CWnd* parent);
    ~CRestoreDlg() override;

    BOOL OnInitDialog() override;
    // Restores the selected backup; without one nothing changes and the user is told to choose.
    void OnOK() override;
    void OnCancel() override;

    CListCtrl& GetBackupList() { return backupList_; }
    CListCtrl& GetEntryList() { return entryList_; }
    // Shows the entries of a backup row, as a click on it does.
    void ShowBackup(int row);

    // Where the dialog's messages go; without one they show in a message box.
    void SetMessageHandler(std::function<void(const System::String& text)> handler) { messageHandler_ = std::move(handler); }

protected:
    void ShowMessage(const System::String& text);
    void OnBackupClick(NMHDR* header, LRESULT* result);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    void ReleaseBackups();
    // The small icon of a program file in the entry list's images, read once per dialog.
    int IconOf(const System::String& imagePath);

    BackupManager& backups_;
    std::function<void(const System::String& text)> messageHandler_;
    System::Array<BackupEntry*> loaded_;
    CListCtrl backupList_;
    CListCtrl entryList_;
    CImageList icons_;
    System::Dictionary<System::String, int> iconIndexes_{64};
};
