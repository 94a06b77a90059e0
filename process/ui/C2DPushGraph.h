#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/CWnd.h"
#include "process/PushGraphData.h"

class CDC;

// A scrolling load graph: values pushed at the right, the oldest falling off the left, with a
// grid that scrolls with them and optional range labels in a left margin. Drawn off-screen.
class C2DPushGraph : public CWnd {
public:
    static constexpr const wchar_t* ClassName = L"C2DPushGraph";

    // Takes the place of the control with this id on parent: same position, style and id; the
    // placeholder is destroyed. FALSE when there is no such control or the graph cannot be made.
    BOOL CreateInPlaceOf(CWnd* parent, UINT id);
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    void SetLabels(const CString& maximum, const CString& minimum);
    void ShowLabels(bool show) { showLabels_ = show; }
    void ShowGrid(bool show) { showGrid_ = show; }
    void SetRange(int minimum, int maximum) { data_.SetRange(minimum, maximum); }
    void SetInterval(int pixels) { data_.SetPushInterval(pixels); }
    void SetGridSize(int pixels) { data_.SetGridSize(pixels); }
    void SetBackColor(COLORREF color) { backColor_ = color; }
    void SetGridColor(COLORREF color) { gridColor_ = color; }
    void SetLabelColor(COLORREF color) { labelColor_ = color; }
    void AddLine(unsigned id, COLORREF color) { data_.AddLine(id, color); }
    // Bars instead of a line.
    void SetLineBars(unsigned id, bool bars);

    // Appends the value (clamped to the range) to the line and scrolls the graph.
    bool Push(unsigned id, int value);
    void Update();

    const PushGraphData& GetData() const { return data_; }
    // Draws the whole graph into the rectangle of dc.
    void Draw(CDC& dc, const CRect& area);

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);

    DECLARE_MESSAGE_MAP()

private:
    static bool RegisterWindowClass();
    // The width the values are drawn in: the client width less the labels' margin.
    int PlotWidth() const;

    PushGraphData data_;
    CString maximumLabel_ = L"100%";
    CString minimumLabel_ = L"0%";
    bool showLabels_ = false;
    bool showGrid_ = false;
    COLORREF backColor_ = RGB(0, 0, 0);
    COLORREF gridColor_ = RGB(0, 150, 0);
    COLORREF labelColor_ = RGB(255, 255, 0);
    // The labels' margin of the last drawing, so pushes scroll by the width actually drawn.
    int labelMargin_ = 0;
};
