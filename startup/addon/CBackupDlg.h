#pragma once

#include "framework/CDialog.h"
#include "startup/BackupManager.h"
#include "startup/res/resource.h"

// Asks for a description and backs the whole set of startup programs up with it.
class CBackupDlg : public CDialog {
public:
    CBackupDlg(BackupManager& backups, CWnd* parent);

    BOOL OnInitDialog() override;
    // Writes the backup; the dialog stays open, with a message, when that fails.
    void OnOK() override;
    // The failure of the last OK, for the caller; empty when it worked.
    const System::String& GetFailure() const { return failure_; }

protected:
    virtual void ShowMessage(const System::String& text);

private:
    BackupManager& backups_;
    System::String failure_;
};
