#pragma once

#include <windows.h>

#include "framework/CControls.h"
#include "framework/CGdiObject.h"

// A static text in its own text and background colours.
class CColorStatic : public CStatic {
public:
    void SetTextColor(COLORREF color);
    void SetBkColor(COLORREF color);
    COLORREF GetTextColor() const { return textColor_; }
    COLORREF GetBkColor() const { return backColor_; }

    HBRUSH CtlColor(CDC* dc, UINT kind);

protected:
    DECLARE_MESSAGE_MAP()

private:
    COLORREF textColor_ = GetSysColor(COLOR_WINDOWTEXT);
    COLORREF backColor_ = GetSysColor(COLOR_BTNFACE);
    CBrush backBrush_;
};
