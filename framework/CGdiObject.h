#pragma once

#include <windows.h>

#include "framework/CObject.h"
#include "framework/FrameworkApi.h"

class CDC;

// A pen, brush, font, bitmap or region. The object owns the handle it created or was attached to
// and deletes it when it goes; Detach hands the handle over to someone else. A window that takes a
// region (SetWindowRgn) takes it from its owner this way: after the hand-over the object holds
// nothing and deletes nothing.
class VTFRAMEWORK_API CGdiObject : public CObject {
public:
    CGdiObject() = default;
    ~CGdiObject() override;

    HGDIOBJ m_hObject = nullptr;
    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    // The object that owns the handle, or else a temporary object of the handle's kind (CPen,
    // CBrush, CFont, CBitmap, CRgn) that lives until the message loop next goes idle and never
    // deletes the handle. Null for a null handle.
    static CGdiObject* FromHandle(HGDIOBJ handle);
    // The object that owns the handle, or null.
    static CGdiObject* FromHandlePermanent(HGDIOBJ handle);
    // Frees the temporary objects of this thread.
    static void DeleteTempMap();

    // FALSE when the handle is null or the object already holds one.
    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int size, LPVOID buffer) const;
};

class VTFRAMEWORK_API CPen : public CGdiObject {
public:
    CPen() = default;
    // The handle stays null when the pen cannot be created.
    CPen(int style, int width, COLORREF color);
    BOOL CreatePen(int style, int width, COLORREF color);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    // Null when the handle is not a pen.
    static CPen* FromHandle(HPEN pen);
};

class VTFRAMEWORK_API CBrush : public CGdiObject {
public:
    CBrush() = default;
    // The handle stays null when the brush cannot be created.
    explicit CBrush(COLORREF color);
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateSysColorBrush(int index);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    // Null when the handle is not a brush.
    static CBrush* FromHandle(HBRUSH brush);
};

class VTFRAMEWORK_API CFont : public CGdiObject {
public:
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, LPCWSTR faceName);
    BOOL CreateFontIndirect(const LOGFONTW* logFont);
    // pointSize is in tenths of a point, converted with the vertical resolution of dc (the screen
    // when dc is null).
    BOOL CreatePointFont(int pointSize, LPCWSTR faceName, CDC* dc = nullptr);
    int GetLogFont(LOGFONTW* logFont) const;
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    // Null when the handle is not a font.
    static CFont* FromHandle(HFONT font);
};

class VTFRAMEWORK_API CBitmap : public CGdiObject {
public:
    // From the current resource module, or the first module of the resource chain that has it.
    BOOL LoadBitmap(UINT id);
    BOOL LoadBitmap(LPCWSTR name);
    // One of the system's own bitmaps (OBM_…).
    BOOL LoadOEMBitmap(UINT id);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    int GetBitmap(BITMAP* bitmap) const;
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    // Null when the handle is not a bitmap.
    static CBitmap* FromHandle(HBITMAP bitmap);
};

class VTFRAMEWORK_API CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(LPCRECT rect);
    BOOL CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
    // Sets this region, which must exist, to a combination of two others; the result is the region's
    // kind (SIMPLEREGION, COMPLEXREGION, NULLREGION) or ERROR.
    int CombineRgn(const CRgn* first, const CRgn* second, int mode);
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    // Null when the handle is not a region.
    static CRgn* FromHandle(HRGN region);
};
