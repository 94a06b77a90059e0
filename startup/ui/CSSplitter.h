#pragma once

#include <windows.h>

#include "framework/CControls.h"

// Holds two panes, side by side or one above the other, divided by a 2-pixel bar that the user
// drags. Both panes become children of the splitter. Either pane can be hidden, giving the other
// the whole area; showing it again restores the last division.
class CSSplitter : public CStatic {
public:
    // Style bits of Create.
    static constexpr DWORD SideBySide = 1;
    static constexpr DWORD Stacked = 2;
    // Half the bar's thickness: a press this close to the division starts a drag.
    static constexpr int GripDistance = 2;

    // The division starts in the middle, or at the first pane's size when it has one.
    BOOL Create(DWORD style, CWnd* parent, CWnd* first, CWnd* second, UINT id, const RECT& rect, int firstMinimum,
                int secondMinimum);

    void ShowFirstPane(bool show);
    void ShowSecondPane(bool show);
    bool IsFirstPaneShown() const { return !firstHidden_; }
    bool IsSecondPaneShown() const { return !secondHidden_; }
    // The bar's centre line, in the splitter's client coordinates along its axis.
    int GetDivision() const { return division_; }
    // Moves the bar (kept so that each pane gets at least its minimum) and lays the panes out.
    void SetDivision(int division);
    // Which pane keeps its size when the splitter is resized: the first (default) or the second.
    void KeepSecondPaneSize(bool keep) { keepSecond_ = keep; }
    bool IsSideBySide() const { return sideBySide_; }
    bool IsDragging() const { return dragging_; }

protected:
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTestMessage(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    int Length() const;
    int Clamp(int division) const;
    void Layout();
    bool IsOnBar(CPoint point) const;
    int AxisOf(CPoint point) const { return sideBySide_ ? point.x : point.y; }
    // Inverts the tracker at the division on the parent's window.
    void DrawTracker(int division);
    void EndDrag(bool apply);

    CWnd* first_ = nullptr;
    CWnd* second_ = nullptr;
    int firstMinimum_ = 0;
    int secondMinimum_ = 0;
    bool sideBySide_ = true;
    bool firstHidden_ = false;
    bool secondHidden_ = false;
    bool keepSecond_ = false;
    int division_ = 0;
    // The far pane's size when keepSecond_ is set.
    int secondSize_ = 0;
    bool dragging_ = false;
    int trackerAt_ = -1;
};
