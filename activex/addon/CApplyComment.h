#pragma once

#include "framework/CDialog.h"

// The note after blocking or unblocking: the browser must be restarted. Its box stops the note.
class CApplyComment : public CDialog {
public:
    explicit CApplyComment(CWnd* parent = nullptr);

    // The box's state when the note was closed with OK.
    bool IsNoNoteTicked() const { return noNote_; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    bool noNote_ = false;
};
