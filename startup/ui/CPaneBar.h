#pragma once

#include <windows.h>

#include "framework/CDialogBar.h"
#include "framework/CGdiObject.h"

// A pane of a split window: a dialog bar whose controls' notifications and commands that the
// pane does not handle itself go on to the window the pane belongs to, wherever a splitter has
// put the pane in the window tree.
class CPaneBar : public CDialogBar {
public:
    // Creates the pane from its template as a child of parent, which also receives what the
    // pane's controls report.
    BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id) override;
    void SetNotifyTarget(CWnd* target) { target_ = target; }
    CWnd* GetNotifyTarget() const { return target_; }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    // Fills the pane's background; static texts drawn on it get the same colour.
    void SetBackgroundColor(COLORREF color);
    COLORREF GetBackgroundColor() const { return background_; }
    BOOL OnEraseBkgnd(CDC* dc);
    HBRUSH OnCtlColor(CDC* dc, CWnd* window, UINT kind);
    // A pane that lays its controls out overrides this; called on every size change.
    virtual void LayoutControls(int width, int height);
    void OnSize(UINT type, int cx, int cy);

    DECLARE_MESSAGE_MAP()

private:
    CWnd* target_ = nullptr;
    COLORREF background_ = CLR_INVALID;
    CBrush backgroundBrush_;
};
