#pragma once

#include <functional>

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

    // Where the dialog's messages go; without one they show in a message box.
    void SetMessageHandler(std::function<void(const System::String& text)> handler) { messageHandler_ = std::move(handler); }

protected:
    void ShowMessage(const System::String& text);

private:
    BackupManager& backups_;
    std::function<void(const System::String& text)> messageHandler_;
    System::String failure_;
};
