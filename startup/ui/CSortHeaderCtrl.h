#pragma once

#include <windows.h>

#include "framework/CControls.h"

// The header of a sortable list: while a sort column is set, every item is drawn by the header
// itself, the sort column with a small 3-D triangle pointing up (ascending) or down (descending).
class CSortHeaderCtrl : public CHeaderCtrl {
public:
    // column -1 shows no arrow and hands the items back to the system's drawing.
    void SetSortColumn(int column, bool ascending);
    int GetSortColumn() const { return sortColumn_; }
    bool IsAscending() const { return ascending_; }

    void DrawItem(LPDRAWITEMSTRUCT draw) override;

private:
    int sortColumn_ = -1;
    bool ascending_ = true;
};
