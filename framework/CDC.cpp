#include "framework/CDC.h"

#include "framework/CWnd.h"
#include "framework/TemporaryMap.h"

namespace {

using DcTemporaries = AfxTemporaryMap<CDC, HDC, &CDC::m_hDC>;

// The handle selected before, or null when nothing was selected.
HGDIOBJ Select(HDC dc, CGdiObject* object)
{
    if (!dc || !object || !object->GetSafeHandle()) return nullptr;
    HGDIOBJ previous = ::SelectObject(dc, object->GetSafeHandle());
    return previous == HGDI_ERROR ? nullptr : previous;
}

}  // namespace

CDC::~CDC() { DeleteDC(); }

CDC* CDC::FromHandle(HDC dc)
{
    if (!dc) return nullptr;
    return AfxThreadTemporaryMap<DcTemporaries>().Find(dc, [] { return new CDC(); });
}

void CDC::DeleteTempMap() { AfxThreadTemporaryMap<DcTemporaries>().Clear(); }

BOOL CDC::Attach(HDC dc)
{
    if (!dc || m_hDC) return FALSE;
    m_hDC = dc;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC dc = m_hDC;
    m_hDC = nullptr;
    return dc;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    return !m_hDC && Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr));
}

int CDC::SaveDC() { return ::SaveDC(m_hDC); }

BOOL CDC::RestoreDC(int savedDC) { return ::RestoreDC(m_hDC, savedDC); }

CPen* CDC::SelectObject(CPen* pen) { return CPen::FromHandle(static_cast<HPEN>(Select(m_hDC, pen))); }

CBrush* CDC::SelectObject(CBrush* brush) { return CBrush::FromHandle(static_cast<HBRUSH>(Select(m_hDC, brush))); }

CFont* CDC::SelectObject(CFont* font) { return CFont::FromHandle(static_cast<HFONT>(Select(m_hDC, font))); }

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    return CBitmap::FromHandle(static_cast<HBITMAP>(Select(m_hDC, bitmap)));
}

CGdiObject* CDC::SelectObject(CGdiObject* object)
{
    // A region selects as a clipping region and answers with a kind, not an object.
    if (object && GetObjectType(object->GetSafeHandle()) == OBJ_REGION) return nullptr;
    return CGdiObject::FromHandle(Select(m_hDC, object));
}

int CDC::SelectObject(CRgn* region)
{
    if (!m_hDC || !region || !region->GetSafeHandle()) return ERROR;
    return ::SelectClipRgn(m_hDC, *region);
}

CGdiObject* CDC::SelectStockObject(int index)
{
    HGDIOBJ stock = GetStockObject(index);
    if (!m_hDC || !stock) return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, stock);
    return previous == HGDI_ERROR ? nullptr : CGdiObject::FromHandle(previous);
}

COLORREF CDC::SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }

COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hDC); }

COLORREF CDC::SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }

COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hDC); }

int CDC::SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }

int CDC::GetBkMode() const { return ::GetBkMode(m_hDC); }

BOOL CDC::TextOut(int x, int y, LPCWSTR text, int count) { return text && ::TextOutW(m_hDC, x, y, text, count); }

BOOL CDC::TextOut(int x, int y, const CString& text) { return TextOut(x, y, text.GetString(), text.GetLength()); }

int CDC::DrawText(LPCWSTR text, int count, LPRECT rect, UINT format)
{
    if (!text || !rect) return 0;
    return ::DrawTextW(m_hDC, text, count, rect, format);
}

int CDC::DrawText(const CString& text, LPRECT rect, UINT format)
{
    return DrawText(text.GetString(), text.GetLength(), rect, format);
}

CSize CDC::GetTextExtent(LPCWSTR text, int count) const
{
    SIZE size = {};
    if (!text || !::GetTextExtentPoint32W(m_hDC, text, count, &size)) return CSize();
    return CSize(size);
}

CSize CDC::GetTextExtent(const CString& text) const { return GetTextExtent(text.GetString(), text.GetLength()); }

BOOL CDC::GetTextMetrics(LPTEXTMETRICW metrics) const { return metrics && ::GetTextMetricsW(m_hDC, metrics); }

void CDC::FillRect(LPCRECT rect, CBrush* brush)
{
    if (rect && brush) ::FillRect(m_hDC, rect, *brush);
}

void CDC::FrameRect(LPCRECT rect, CBrush* brush)
{
    if (rect && brush) ::FrameRect(m_hDC, rect, *brush);
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color)
{
    if (!rect) return;
    // An opaque empty text fills the rectangle with the background colour without making a brush.
    COLORREF previous = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    if (previous != CLR_INVALID) ::SetBkColor(m_hDC, previous);
}

void CDC::FillSolidRect(int x, int y, int width, int height, COLORREF color)
{
    RECT rect = {x, y, x + width, y + height};
    FillSolidRect(&rect, color);
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight)
{
    if (rect) Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int width, int height, COLORREF topLeft, COLORREF bottomRight)
{
    FillSolidRect(x, y, width - 1, 1, topLeft);
    FillSolidRect(x, y, 1, height - 1, topLeft);
    FillSolidRect(x + width - 1, y, 1, height, bottomRight);
    FillSolidRect(x, y + height - 1, width, 1, bottomRight);
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) { return ::Rectangle(m_hDC, left, top, right, bottom); }

BOOL CDC::Rectangle(LPCRECT rect) { return rect && Rectangle(rect->left, rect->top, rect->right, rect->bottom); }

CPoint CDC::MoveTo(int x, int y)
{
    POINT previous = {};
    ::MoveToEx(m_hDC, x, y, &previous);
    return CPoint(previous);
}

CPoint CDC::MoveTo(POINT point) { return MoveTo(point.x, point.y); }

BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }

BOOL CDC::LineTo(POINT point) { return LineTo(point.x, point.y); }

BOOL CDC::Polyline(const POINT* points, int count) { return points && ::Polyline(m_hDC, points, count); }

BOOL CDC::DrawIcon(int x, int y, HICON icon) { return icon && ::DrawIcon(m_hDC, x, y, icon); }

BOOL CDC::DrawIcon(POINT point, HICON icon) { return DrawIcon(point.x, point.y, icon); }

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD rop)
{
    return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, xSource, ySource, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, int sourceWidth,
                     int sourceHeight, DWORD rop)
{
    return ::StretchBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, xSource, ySource, sourceWidth,
                        sourceHeight, rop);
}

int CDC::SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }

int CDC::ExcludeClipRect(int left, int top, int right, int bottom)
{
    return ::ExcludeClipRect(m_hDC, left, top, right, bottom);
}

int CDC::ExcludeClipRect(LPCRECT rect)
{
    return rect ? ExcludeClipRect(rect->left, rect->top, rect->right, rect->bottom) : ERROR;
}

int CDC::GetClipBox(LPRECT rect) const { return rect ? ::GetClipBox(m_hDC, rect) : ERROR; }

CPaintDC::CPaintDC(CWnd* window) : m_hWnd(window ? window->GetSafeHwnd() : nullptr)
{
    if (m_hWnd) Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    if (m_hDC) {
        ::EndPaint(m_hWnd, &m_ps);
        Detach();
    }
}

CClientDC::CClientDC(CWnd* window) : m_hWnd(window ? window->GetSafeHwnd() : nullptr) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC()
{
    if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* window) : m_hWnd(window ? window->GetSafeHwnd() : nullptr)
{
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC()
{
    if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}

CMemDC::CMemDC(CDC* target, LPCRECT rect) : m_target(target)
{
    HDC targetDc = target ? target->GetSafeHdc() : nullptr;
    if (!targetDc) return;
    if (rect) {
        m_rect = *rect;
    } else {
        ::GetClipBox(targetDc, &m_rect);
    }

    if (!m_rect.IsRectEmpty() && CreateCompatibleDC(target) &&
        m_bitmap.CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height())) {
        m_oldBitmap = ::SelectObject(m_hDC, m_bitmap);
        m_offScreen = m_oldBitmap != nullptr && m_oldBitmap != HGDI_ERROR;
    }
    if (!m_offScreen) {
        DeleteDC();
        m_bitmap.DeleteObject();
        m_oldBitmap = nullptr;
        // Not ours: let go of it before the base destructor would delete it.
        m_hDC = targetDc;
        return;
    }

    ::SetWindowOrgEx(m_hDC, m_rect.left, m_rect.top, nullptr);
    ::SelectObject(m_hDC, ::GetCurrentObject(targetDc, OBJ_FONT));
    ::SetTextColor(m_hDC, ::GetTextColor(targetDc));
    ::SetBkColor(m_hDC, ::GetBkColor(targetDc));
    ::SetBkMode(m_hDC, ::GetBkMode(targetDc));
    FillSolidRect(&m_rect, ::GetBkColor(targetDc));
}

CMemDC::~CMemDC()
{
    if (!m_offScreen) {
        Detach();
        return;
    }
    ::BitBlt(m_target->GetSafeHdc(), m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left,
             m_rect.top, SRCCOPY);
    ::SelectObject(m_hDC, m_oldBitmap);
}
