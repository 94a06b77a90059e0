#include "process/ui/CColorStatic.h"

#include "framework/CDC.h"

BEGIN_MESSAGE_MAP(CColorStatic, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

void CColorStatic::SetTextColor(COLORREF color)
{
    textColor_ = color;
    if (m_hWnd) Invalidate();
}

void CColorStatic::SetBkColor(COLORREF color)
{
    backColor_ = color;
    backBrush_.DeleteObject();
    if (m_hWnd) Invalidate();
}

HBRUSH CColorStatic::CtlColor(CDC* dc, UINT)
{
    if (!backBrush_.m_hObject && !backBrush_.CreateSolidBrush(backColor_)) return nullptr;
    dc->SetTextColor(textColor_);
    dc->SetBkColor(backColor_);
    return backBrush_;
}
