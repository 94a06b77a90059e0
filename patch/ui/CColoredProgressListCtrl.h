#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CImageList.h"
#include "framework/CListCtrl.h"

// The patch manager's update list: striped rows with a check box, a progress image and status
// texts. It asks its parent before a row becomes checked (WM_PATCH_ITEM_CHECKED, wParam = row;
// zero refuses) and, when drawing, whether a row may be checked at all (WM_PATCH_CAN_CHECK; rows
// that may not are grey). No row ever stays selected.
class CColoredProgressListCtrl : public CListCtrl {
public:
    static constexpr UINT WM_PATCH_ITEM_CHECKED = 0x0524;
    static constexpr UINT WM_PATCH_CAN_CHECK = 0x0525;
    static constexpr int ProgressColumn = 1;
    static constexpr int StatusColumn = 4;
    static constexpr int ProgressImages = 12;
    static constexpr COLORREF StripeColor = 0xEFE8E5;
    static constexpr COLORREF GreyText = 0x8C8C8C;

    CColoredProgressListCtrl() = default;
    ~CColoredProgressListCtrl() override;

    // Creates the list with its columns and image lists (bitmaps of the current resource module).
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) override;

    // The row's progress image, 0 (empty) to 11 (full); kept as the cell's text.
    void SetProgressImage(int row, int image);
    int GetProgressImage(int row) const;
    // Checks or unchecks as the user does: a check goes through the parent's rules.
    bool RequestCheck(int row, bool check);
    // Checks or unchecks without asking, for the window's own decisions.
    void ForceCheck(int row, bool check);

    void DrawItem(LPDRAWITEMSTRUCT draw) override;

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnItemChanging(NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    CImageList checkImages_;
    CImageList progressImages_;
    // Set while the window itself changes a check mark.
    bool forcing_ = false;
};
