#pragma once

#include <vector>

#include "activex/ActiveXEntry.h"
#include "framework/CDialog.h"
#include "startup/ui/CColoredListCtrl.h"

// The question whether to block the dangerous controls that are not blocked; "자세히>>" expands
// the dialog to list them.
class CBlockDangerDlg : public CDialog {
public:
    CBlockDangerDlg(const std::vector<ActiveXEntry*>& entries, CWnd* parent = nullptr);

    bool IsExpanded() const { return expanded_; }
    void Expand(bool expand);
    CColoredListCtrl& GetList() { return list_; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<ActiveXEntry*> entries_;
    CColoredListCtrl list_;
    bool expanded_ = true;
    int expandedHeight_ = 0;
    int collapsedHeight_ = 0;
};
