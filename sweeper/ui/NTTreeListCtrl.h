#pragma once

#include "sweeper/ui/SuperGridCtrl.h"

// The sweeper's tree-list. A click on a row hands the row's tick down to its children, and a
// ticked row ticks its parent, so that a category runs whenever one of its items is ticked.
// Unticking an item leaves its category as it is.
class NTTreeListCtrl : public CSuperGridCtrl {
protected:
    void OnRowClicked(CTreeItem* item) override;
};
