#pragma once

#include "framework/CDialog.h"
#include "framework/CGdiObject.h"

// A dialog whose background is a bitmap resource, tiled or stretched over the client area.
class CBDialog : public CDialog {
public:
    enum BackgroundMode { Tile = 0, Stretch = 1 };

    explicit CBDialog(UINT templateId, CWnd* parent = nullptr) : CDialog(templateId, parent) {}

    // FALSE when the bitmap cannot be loaded; the background then stays the system's.
    BOOL SetBackground(UINT bitmapId, int mode);

protected:
    BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

private:
    CBitmap m_background;
    int m_mode = Tile;
};
