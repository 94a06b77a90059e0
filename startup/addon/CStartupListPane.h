#pragma once

#include <windows.h>

#include "framework/CControls.h"
#include "framework/CGdiObject.h"
#include "startup/ui/CColoredListCtrl.h"
#include "startup/ui/CPaneBar.h"

// The pane of the startup list: a band with the category's picture and caption and the
// hide-essential toggle, over the list itself.
class CStartupListPane : public CPaneBar {
public:
    static constexpr COLORREF BandColor = RGB(216, 218, 223);
    static constexpr int BandHeight = 26;

    BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id) override;

    CColoredListCtrl& GetList() { return list_; }
    void SetCaption(LPCWSTR caption);
    // The bitmap stays the caller's.
    void SetPicture(HBITMAP picture);
    // Shows bitmap 200 when on, 199 when off.
    void SetHideEssential(bool on);

protected:
    void LayoutControls(int width, int height) override;

private:
    CColoredListCtrl list_;
    CBitmap hideOff_;
    CBitmap hideOn_;
};
