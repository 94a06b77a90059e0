#pragma once

#include <windows.h>

#include <vector>

#include "framework/CControls.h"
#include "framework/CDialog.h"
#include "framework/CGdiObject.h"

// A resizable dialog: registered controls follow the size changes by anchor modes, a size grip
// sits in the bottom-right corner, and the window never gets smaller than it started.
class CResizeDlg : public CDialog {
public:
    // What a control does on one axis when an edge is dragged.
    enum Mode : BYTE {
        Leave = 0,
        Stretch = 1,     // the far side follows the edge
        Move = 2,        // moves with the edge
        Centre = 3,      // keeps its centre at the stored ratio of the client size
        Scale = 4,       // position and size scale with the client size
        Proportional = 5 // moves and stretches by the two stored ratios of the size change
    };
    // Anchor flags.
    static constexpr UINT ExcludeFromErase = 1;
    static constexpr UINT Repaint = 2;
    static constexpr UINT GripId = 50;

    CResizeDlg(UINT templateId, CWnd* parent = nullptr);

    // Registers (or replaces) the anchor of a control: the modes for a drag of the left, right,
    // top and bottom edge, the flags, and the ratios of mode 5 (position, size) per axis.
    void AddAnchor(UINT id, Mode left, Mode right, Mode top, Mode bottom, UINT flags = 0, double xPosition = 0,
                   double xSize = 0, double yPosition = 0, double ySize = 0);
    // The size the window started with: its minimum tracking size.
    CSize GetInitialWindowSize() const { return initialWindowSize_; }
    CWnd* GetGrip() { return &grip_; }

    BOOL OnInitDialog() override;

protected:
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnSizing(WPARAM edge, LPARAM rect);

    DECLARE_MESSAGE_MAP()

private:
    struct Anchor {
        UINT id;
        Mode modes[4];
        UINT flags;
        CRect rect;
        double xRatios[2];
        double yRatios[2];
    };
    // The new extent of a control along one axis.
    static void MoveOnAxis(Mode mode, const double ratios[2], int oldClient, int newClient, LONG& low, LONG& high);

    std::vector<Anchor> anchors_;
    CRect initialClient_;
    CSize initialWindowSize_;
    CRect client_;
    // The WMSZ_ edge of the current drag, 0 when none was reported.
    UINT draggedEdge_ = 0;
    CStatic grip_;
    CBitmap gripBitmap_;
};
