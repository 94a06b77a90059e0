#pragma once

#include <windows.h>

#include "startup/ui/CColoredListCtrl.h"
#include "startup/ui/CPaneBar.h"

// The pane of the control list: a band with the category's picture and caption over the list.
class CActiveXListPane : public CPaneBar {
public:
    static constexpr COLORREF BandColor = RGB(216, 218, 223);
    static constexpr int BandHeight = 26;

    BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id) override;

    CColoredListCtrl& GetList() { return list_; }
    void SetCaption(LPCWSTR caption);
    // The bitmap stays the caller's.
    void SetPicture(HBITMAP picture);

protected:
    void LayoutControls(int width, int height) override;

private:
    CColoredListCtrl list_;
};
