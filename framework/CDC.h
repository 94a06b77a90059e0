#pragma once

#include <windows.h>

#include "framework/CGdiObject.h"
#include "framework/CObject.h"
#include "framework/CRect.h"
#include "framework/CString.h"
#include "framework/FrameworkApi.h"

class CWnd;

// A device context. The object deletes a context it created or was attached to when it goes;
// the window contexts below give theirs back to the window instead.
class VTFRAMEWORK_API CDC : public CObject {
public:
    CDC() = default;
    ~CDC() override;

    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    // A temporary object for a context the framework does not own; it lives until the message loop
    // next goes idle and never deletes the context. Null for a null handle.
    static CDC* FromHandle(HDC dc);
    // Frees the temporary objects of this thread.
    static void DeleteTempMap();

    // FALSE when the handle is null or the object already holds one.
    BOOL Attach(HDC dc);
    HDC Detach();
    BOOL DeleteDC();
    // A memory context compatible with dc, or with the screen when dc is null.
    BOOL CreateCompatibleDC(CDC* dc);
    int SaveDC();
    BOOL RestoreDC(int savedDC);

    // Each selects the object and returns the one selected before (the object that owns it, or a
    // temporary one); null on failure. Select the old object back before the selected one is deleted.
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    CGdiObject* SelectObject(CGdiObject* object);
    // Makes a copy of the region the clipping region; the result is its kind, or ERROR.
    int SelectObject(CRgn* region);
    CGdiObject* SelectStockObject(int index);

    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;

    BOOL TextOut(int x, int y, LPCWSTR text, int count);
    BOOL TextOut(int x, int y, const CString& text);
    // count -1 draws up to the terminating zero. The height of the text, or 0 on failure.
    int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format);
    int DrawText(const CString& text, LPRECT rect, UINT format);
    // Width and height of the text in the selected font; an empty size on failure.
    CSize GetTextExtent(LPCWSTR text, int count) const;
    CSize GetTextExtent(const CString& text) const;
    BOOL GetTextMetrics(LPTEXTMETRICW metrics) const;

    void FillRect(LPCRECT rect, CBrush* brush);
    void FrameRect(LPCRECT rect, CBrush* brush);
    // Fills with a colour; the background colour of the context is left as it was.
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FillSolidRect(int x, int y, int width, int height, COLORREF color);
    // One-pixel border: top and left edges in one colour, bottom and right edges in the other.
    void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int width, int height, COLORREF topLeft, COLORREF bottomRight);
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(LPCRECT rect);
    // Each returns the previous current position.
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point);
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point);
    BOOL Polyline(const POINT* points, int count);
    BOOL DrawIcon(int x, int y, HICON icon);
    BOOL DrawIcon(POINT point, HICON icon);

    // source may be null for operations that do not read one.
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, int sourceWidth,
                    int sourceHeight, DWORD rop);
    int SetStretchBltMode(int mode);

    int ExcludeClipRect(int left, int top, int right, int bottom);
    int ExcludeClipRect(LPCRECT rect);
    int GetClipBox(LPRECT rect) const;
};

// The context of a window's WM_PAINT: BeginPaint when made, EndPaint when it goes.
class VTFRAMEWORK_API CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps = {};

protected:
    HWND m_hWnd;
};

// The client area's context of a window (of the screen when window is null), given back when it goes.
class VTFRAMEWORK_API CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* window);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

// The whole window's context, frame included, given back when it goes.
class VTFRAMEWORK_API CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* window);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};

// Off-screen drawing: everything drawn on this context goes into a memory bitmap, which is copied
// to the target in one step when the object goes, so a repaint does not flicker. Coordinates are
// the target's; the bitmap starts filled with the target's background colour and the context with
// the target's font and colours. Without memory for the bitmap, drawing goes straight to the target.
class VTFRAMEWORK_API CMemDC : public CDC {
public:
    // Covers rect of the target, or the target's clip box when rect is null.
    explicit CMemDC(CDC* target, LPCRECT rect = nullptr);
    ~CMemDC() override;

private:
    CDC* m_target;
    CRect m_rect;
    CBitmap m_bitmap;
    HGDIOBJ m_oldBitmap = nullptr;
    BOOL m_offScreen = FALSE;
};
