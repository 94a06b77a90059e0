#include "framework/CGdiObject.h"

#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "framework/CDC.h"
#include "framework/ModuleState.h"
#include "framework/TemporaryMap.h"

namespace {

using GdiTemporaries = AfxTemporaryMap<CGdiObject, HGDIOBJ, &CGdiObject::m_hObject>;

// The objects that own handles, for FromHandle. Drawing objects may be made on any thread.
std::mutex ownersLock;
std::unordered_map<HGDIOBJ, CGdiObject*>& Owners()
{
    static std::unordered_map<HGDIOBJ, CGdiObject*> owners;
    return owners;
}

// A wrapper of the class that matches what the handle is.
CGdiObject* MakeWrapper(HGDIOBJ handle)
{
    switch (GetObjectType(handle)) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
        return new CPen();
    case OBJ_BRUSH:
        return new CBrush();
    case OBJ_FONT:
        return new CFont();
    case OBJ_BITMAP:
        return new CBitmap();
    case OBJ_REGION:
        return new CRgn();
    default:
        return new CGdiObject();
    }
}

CGdiObject* Temporary(HGDIOBJ handle)
{
    return AfxThreadTemporaryMap<GdiTemporaries>().Find(handle, [handle] { return MakeWrapper(handle); });
}

// The owner when it is of the asked class, else a temporary object; null when the handle is not
// of that kind.
template <class Kind>
Kind* Wrap(HGDIOBJ handle)
{
    if (!handle) return nullptr;
    if (auto* owner = dynamic_cast<Kind*>(CGdiObject::FromHandlePermanent(handle))) return owner;
    return dynamic_cast<Kind*>(Temporary(handle));
}

}  // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle) { return Wrap<CGdiObject>(handle); }

CGdiObject* CGdiObject::FromHandlePermanent(HGDIOBJ handle)
{
    if (!handle) return nullptr;
    std::lock_guard<std::mutex> guard(ownersLock);
    auto found = Owners().find(handle);
    return found == Owners().end() ? nullptr : found->second;
}

void CGdiObject::DeleteTempMap() { AfxThreadTemporaryMap<GdiTemporaries>().Clear(); }

BOOL CGdiObject::Attach(HGDIOBJ handle)
{
    if (!handle || m_hObject) return FALSE;
    {
        std::lock_guard<std::mutex> guard(ownersLock);
        Owners()[handle] = this;
    }
    m_hObject = handle;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ handle = m_hObject;
    m_hObject = nullptr;
    if (handle) {
        std::lock_guard<std::mutex> guard(ownersLock);
        auto found = Owners().find(handle);
        if (found != Owners().end() && found->second == this) Owners().erase(found);
    }
    return handle;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int size, LPVOID buffer) const
{
    return m_hObject ? ::GetObjectW(m_hObject, size, buffer) : 0;
}

CPen::CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }

BOOL CPen::CreatePen(int style, int width, COLORREF color)
{
    return !m_hObject && Attach(::CreatePen(style, width, color));
}

CPen* CPen::FromHandle(HPEN pen) { return Wrap<CPen>(pen); }

CBrush::CBrush(COLORREF color) { CreateSolidBrush(color); }

BOOL CBrush::CreateSolidBrush(COLORREF color) { return !m_hObject && Attach(::CreateSolidBrush(color)); }

// The system's colour brushes ignore deletion, so owning one is harmless.
BOOL CBrush::CreateSysColorBrush(int index) { return !m_hObject && Attach(::GetSysColorBrush(index)); }

CBrush* CBrush::FromHandle(HBRUSH brush) { return Wrap<CBrush>(brush); }

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, LPCWSTR faceName)
{
    return !m_hObject && Attach(::CreateFontW(height, width, escapement, orientation, weight, italic, underline,
                                              strikeOut, charSet, outPrecision, clipPrecision, quality,
                                              pitchAndFamily, faceName));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* logFont)
{
    return logFont && !m_hObject && Attach(::CreateFontIndirectW(logFont));
}

BOOL CFont::CreatePointFont(int pointSize, LPCWSTR faceName, CDC* dc)
{
    if (m_hObject) return FALSE;
    HDC device = dc ? dc->GetSafeHdc() : ::GetDC(nullptr);
    if (!device) return FALSE;
    // Tenths of a point to device pixels (rounded down, as the classic library does), then to the
    // logical units of the device's mapping mode.
    POINT points[2] = {{0, GetDeviceCaps(device, LOGPIXELSY) * pointSize / 720}, {0, 0}};
    BOOL converted = DPtoLP(device, points, 2);
    if (!dc) ::ReleaseDC(nullptr, device);
    if (!converted) return FALSE;

    LOGFONTW logFont = {};
    logFont.lfHeight = -std::abs(points[0].y - points[1].y);
    logFont.lfCharSet = DEFAULT_CHARSET;
    if (faceName) {
        // Longer names are cut to the field, as the font mapper would.
        for (int i = 0; i < LF_FACESIZE - 1 && faceName[i]; ++i) logFont.lfFaceName[i] = faceName[i];
    }
    return CreateFontIndirect(&logFont);
}

int CFont::GetLogFont(LOGFONTW* logFont) const { return GetObject(sizeof(LOGFONTW), logFont); }

CFont* CFont::FromHandle(HFONT font) { return Wrap<CFont>(font); }

BOOL CBitmap::LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCEW(id)); }

BOOL CBitmap::LoadBitmap(LPCWSTR name)
{
    if (m_hObject) return FALSE;
    HINSTANCE module = AfxFindResourceHandle(name, RT_BITMAP);
    return module && Attach(::LoadBitmapW(module, name));
}

BOOL CBitmap::LoadOEMBitmap(UINT id) { return !m_hObject && Attach(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(id))); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    return dc && dc->GetSafeHdc() && !m_hObject && Attach(::CreateCompatibleBitmap(dc->GetSafeHdc(), width, height));
}

int CBitmap::GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof(BITMAP), bitmap); }

CBitmap* CBitmap::FromHandle(HBITMAP bitmap) { return Wrap<CBitmap>(bitmap); }

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    return !m_hObject && Attach(::CreateRectRgn(left, top, right, bottom));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT rect) { return rect && !m_hObject && Attach(::CreateRectRgnIndirect(rect)); }

BOOL CRgn::CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    return !m_hObject && Attach(::CreateRoundRectRgn(left, top, right, bottom, ellipseWidth, ellipseHeight));
}

int CRgn::CombineRgn(const CRgn* first, const CRgn* second, int mode)
{
    if (!m_hObject || !first) return ERROR;
    return ::CombineRgn(*this, *first, second ? static_cast<HRGN>(*second) : nullptr, mode);
}

CRgn* CRgn::FromHandle(HRGN region) { return Wrap<CRgn>(region); }
