#include "process/ui/C2DPushGraph.h"

#include <algorithm>
#include <vector>

#include "framework/CDC.h"
#include "framework/CGdiObject.h"
#include "framework/ModuleState.h"

BEGIN_MESSAGE_MAP(C2DPushGraph, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

bool C2DPushGraph::RegisterWindowClass()
{
    // The class belongs to the module the framework creates windows for, which is the add-on's
    // while it creates its window.
    WNDCLASSW existing = {};
    HINSTANCE instance = AfxGetInstanceHandle();
    if (GetClassInfoW(instance, ClassName, &existing)) return true;
    WNDCLASSW graphClass = {};
    graphClass.lpfnWndProc = ::DefWindowProcW;
    graphClass.hInstance = instance;
    graphClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    graphClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    graphClass.lpszClassName = ClassName;
    return ::RegisterClassW(&graphClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

BOOL C2DPushGraph::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!RegisterWindowClass()) return FALSE;
    return CreateEx(0, ClassName, L"", style | WS_CHILD, rect, parent, id);
}

BOOL C2DPushGraph::CreateInPlaceOf(CWnd* parent, UINT id)
{
    CWnd* placeholder = parent ? parent->GetDlgItem(static_cast<int>(id)) : nullptr;
    if (!placeholder) return FALSE;
    CRect rect;
    placeholder->GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    DWORD style = placeholder->GetStyle() & (WS_VISIBLE | WS_BORDER | WS_CLIPSIBLINGS | WS_DISABLED);
    ::DestroyWindow(placeholder->m_hWnd);
    return Create(style | WS_CHILD, rect, parent, id);
}

void C2DPushGraph::SetLabels(const CString& maximum, const CString& minimum)
{
    maximumLabel_ = maximum;
    minimumLabel_ = minimum;
}

void C2DPushGraph::SetLineBars(unsigned id, bool bars)
{
    if (PushGraphLine* line = data_.FindLine(id)) line->bars = bars;
}

int C2DPushGraph::PlotWidth() const
{
    if (!m_hWnd) return 0;
    CRect client;
    GetClientRect(&client);
    return std::max(0, static_cast<int>(client.Width()) - labelMargin_);
}

bool C2DPushGraph::Push(unsigned id, int value)
{
    if (!data_.Push(id, value, PlotWidth())) return false;
    Update();
    return true;
}

void C2DPushGraph::Update()
{
    if (m_hWnd) Invalidate(FALSE);
}

BOOL C2DPushGraph::OnEraseBkgnd(CDC*)
{
    // Everything is painted off-screen in OnPaint; erasing first would only flicker.
    return TRUE;
}

void C2DPushGraph::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CMemDC memory(&paint, &client);
    Draw(memory, client);
}

void C2DPushGraph::Draw(CDC& dc, const CRect& area)
{
    dc.FillSolidRect(&area, backColor_);
    if (area.Width() <= 0 || area.Height() <= 0) return;

    int left = area.left;
    labelMargin_ = 0;
    if (showLabels_) {
        HGDIOBJ oldFont = ::SelectObject(dc.m_hDC, ::GetStockObject(DEFAULT_GUI_FONT));
        CSize maximum = dc.GetTextExtent(maximumLabel_);
        CSize minimum = dc.GetTextExtent(minimumLabel_);
        left = area.left + std::max(maximum.cx, minimum.cx) + 6;
        labelMargin_ = left - area.left;
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(labelColor_);
        dc.TextOut(area.left + 2, area.top, maximumLabel_);
        dc.TextOut(area.left + 2, area.bottom - minimum.cy, minimumLabel_);
        ::SelectObject(dc.m_hDC, oldFont);
    }

    CPen gridPen(PS_SOLID, 1, gridColor_);
    CPen* oldPen = dc.SelectObject(&gridPen);
    if (showLabels_) {
        dc.MoveTo(left - 1, area.top);
        dc.LineTo(left - 1, area.bottom);
    }
    int gridSize = data_.GetGridSize();
    if (showGrid_) {
        for (int y = area.bottom - 1; y >= area.top; y -= gridSize) {
            dc.MoveTo(left, y);
            dc.LineTo(area.right, y);
        }
        for (int x = left + data_.GetGridOffset() % gridSize; x < area.right; x += gridSize) {
            if (x < left) continue;
            dc.MoveTo(x, area.top);
            dc.LineTo(x, area.bottom);
        }
    }

    int width = area.right - left;
    data_.PrepareForDrawing(width);
    int interval = data_.GetPushInterval();
    int range = std::max(1, data_.GetMaximum() - data_.GetMinimum());
    int height = area.Height() - 1;
    int bottom = area.bottom - 1;
    for (const PushGraphLine& line : data_.GetLines()) {
        if (line.values.empty()) continue;
        auto yOf = [&](int value) { return bottom - height * (value - data_.GetMinimum()) / range; };
        if (line.bars) {
            for (size_t k = 0; k < line.values.size(); ++k) {
                int x = left + static_cast<int>(k) * interval;
                CRect bar(x, yOf(line.values[k]), x + interval, bottom + 1);
                dc.FillSolidRect(&bar, line.colour);
                dc.Draw3dRect(&bar, RGB(255, 255, 255), RGB(64, 64, 64));
            }
            continue;
        }
        std::vector<POINT> points(line.values.size());
        for (size_t k = 0; k < line.values.size(); ++k)
            points[k] = {left + static_cast<int>(k) * interval, yOf(line.values[k])};
        CPen linePen(PS_SOLID, 1, line.colour);
        dc.SelectObject(&linePen);
        if (points.size() == 1) {
            dc.MoveTo(points[0]);
            dc.LineTo(points[0].x + 1, points[0].y);
        } else {
            dc.Polyline(points.data(), static_cast<int>(points.size()));
        }
        dc.SelectObject(&gridPen);
    }
    dc.SelectObject(oldPen);
}
