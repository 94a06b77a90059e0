#define OEMRESOURCE
#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ComPtr.h"
#include "framework/CDC.h"
#include "framework/CGdiObject.h"
#include "framework/CWnd.h"
#include "framework/ModuleState.h"
#include "framework/tests/TestResourceModule.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 160, 10);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Yellow = RGB(255, 255, 0);

bool IsLive(HGDIOBJ handle) { return GetObjectType(handle) != 0; }

// A memory context over a screen-compatible bitmap, white at start, whose pixels can be read back.
class Canvas {
public:
    Canvas(int width, int height)
    {
        CClientDC screen(nullptr);
        EXPECT_TRUE(dc.CreateCompatibleDC(&screen));
        EXPECT_TRUE(bitmap.CreateCompatibleBitmap(&screen, width, height));
        previous_ = ::SelectObject(dc, bitmap);
        dc.FillSolidRect(0, 0, width, height, White);
    }
    ~Canvas() { ::SelectObject(dc, previous_); }

    COLORREF Pixel(int x, int y) const { return GetPixel(dc, x, y); }
    int Count(const RECT& area, COLORREF color) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) count += Pixel(x, y) == color;
        return count;
    }

    CBitmap bitmap;
    CDC dc;

private:
    HGDIOBJ previous_ = nullptr;
};

// A pop-up shown without activation is drawn at once, and under Wine it is not handed to a window
// manager, which would keep each hiding waiting for two seconds on a display without one.
void ShowWithoutActivating(CWnd& window)
{
    window.ShowWindow(SW_SHOWNOACTIVATE);
    window.UpdateWindow();
}

// Switches the framework to another resource module for a scope.
class ResourceHandleScope {
public:
    explicit ResourceHandleScope(HINSTANCE module) : previous_(AfxGetResourceHandle()) { AfxSetResourceHandle(module); }
    ~ResourceHandleScope() { AfxSetResourceHandle(previous_); }

private:
    HINSTANCE previous_;
};

TEST(GdiObjectTest, DeletesWhatItOwnsAndKeepsWhatItHandsOver)
{
    HGDIOBJ brushHandle = nullptr;
    {
        CBrush brush(Red);
        brushHandle = brush;
        EXPECT_EQ(GetObjectType(brushHandle), static_cast<DWORD>(OBJ_BRUSH));
    }
    EXPECT_FALSE(IsLive(brushHandle));

    HGDIOBJ kept = nullptr;
    {
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(90, L"Arial"));
        kept = font.Detach();
        EXPECT_EQ(font.GetSafeHandle(), nullptr);
    }
    EXPECT_TRUE(IsLive(kept));

    CFont adopted;
    EXPECT_TRUE(adopted.Attach(kept));
    HGDIOBJ other = CreateSolidBrush(Blue);
    EXPECT_FALSE(adopted.Attach(other));
    EXPECT_EQ(adopted.GetSafeHandle(), kept);
    DeleteObject(other);
    EXPECT_TRUE(adopted.DeleteObject());
    EXPECT_FALSE(IsLive(kept));
    EXPECT_FALSE(adopted.DeleteObject());
}

TEST(GdiObjectTest, CreatingIntoAnObjectThatHoldsAHandleFailsAndKeepsIt)
{
    CPen pen(PS_SOLID, 1, Red);
    HGDIOBJ first = pen;
    ASSERT_TRUE(IsLive(first));
    EXPECT_FALSE(pen.CreatePen(PS_SOLID, 2, Blue));
    EXPECT_EQ(pen.GetSafeHandle(), first);

    CRgn region;
    ASSERT_TRUE(region.CreateRectRgn(0, 0, 10, 10));
    EXPECT_FALSE(region.CreateRoundRectRgn(0, 0, 10, 10, 2, 2));
    EXPECT_EQ(GetObjectType(region), static_cast<DWORD>(OBJ_REGION));
}

TEST(GdiObjectTest, TemporaryObjectsHaveTheHandlesKindAndNeverDeleteIt)
{
    EXPECT_EQ(CGdiObject::FromHandle(nullptr), nullptr);

    HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    HRGN region = CreateRectRgn(0, 0, 5, 5);
    ASSERT_NE(font, nullptr);
    CFont* wrapped = CFont::FromHandle(font);
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(wrapped->GetSafeHandle(), font);
    EXPECT_EQ(CFont::FromHandle(font), wrapped);
    EXPECT_EQ(CPen::FromHandle(reinterpret_cast<HPEN>(font)), nullptr);
    EXPECT_NE(dynamic_cast<CRgn*>(CGdiObject::FromHandle(region)), nullptr);

    CGdiObject::DeleteTempMap();
    EXPECT_TRUE(IsLive(font));
    EXPECT_TRUE(IsLive(region));
    DeleteObject(font);
    DeleteObject(region);
}

TEST(GdiObjectTest, TheOwnerOfAHandleIsFoundUntilItLetsGo)
{
    CBrush brush(Green);
    EXPECT_EQ(CGdiObject::FromHandlePermanent(brush), &brush);
    EXPECT_EQ(CBrush::FromHandle(brush), &brush);
    EXPECT_EQ(CGdiObject::FromHandle(brush), &brush);

    HGDIOBJ released = brush.Detach();
    EXPECT_EQ(CGdiObject::FromHandlePermanent(released), nullptr);
    CBrush* temporary = CBrush::FromHandle(static_cast<HBRUSH>(released));
    ASSERT_NE(temporary, nullptr);
    EXPECT_NE(temporary, &brush);

    // A plain object that owns a pen still lets CPen::FromHandle answer with a pen.
    CGdiObject plain;
    ASSERT_TRUE(plain.Attach(CreatePen(PS_SOLID, 1, Red)));
    CPen* pen = CPen::FromHandle(static_cast<HPEN>(plain.GetSafeHandle()));
    ASSERT_NE(pen, nullptr);
    EXPECT_NE(static_cast<CGdiObject*>(pen), &plain);
    CGdiObject::DeleteTempMap();
    EXPECT_TRUE(IsLive(released));
    DeleteObject(released);
}

TEST(DrawingTest, SelectObjectReturnsWhatWasSelectedBefore)
{
    Canvas canvas(20, 20);
    CPen pen(PS_SOLID, 3, Red);
    CPen* old = canvas.dc.SelectObject(&pen);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->GetSafeHandle(), GetStockObject(BLACK_PEN));
    EXPECT_EQ(canvas.dc.SelectObject(old), &pen);

    CGdiObject* oldBrush = canvas.dc.SelectStockObject(NULL_BRUSH);
    ASSERT_NE(oldBrush, nullptr);
    EXPECT_NE(dynamic_cast<CBrush*>(oldBrush), nullptr);
    EXPECT_EQ(canvas.dc.SelectObject(oldBrush)->GetSafeHandle(), GetStockObject(NULL_BRUSH));

    CPen empty;
    EXPECT_EQ(canvas.dc.SelectObject(&empty), nullptr);
    CDC nothing;
    EXPECT_EQ(nothing.SelectObject(&pen), nullptr);
}

TEST(DrawingTest, ARegionSelectedClipsTheDrawing)
{
    Canvas canvas(20, 20);
    CRgn clip;
    ASSERT_TRUE(clip.CreateRectRgn(5, 5, 10, 10));
    EXPECT_EQ(canvas.dc.SelectObject(&clip), SIMPLEREGION);
    canvas.dc.FillSolidRect(0, 0, 20, 20, Red);
    EXPECT_EQ(canvas.Pixel(5, 5), Red);
    EXPECT_EQ(canvas.Pixel(4, 4), White);
    EXPECT_EQ(canvas.Pixel(10, 10), White);
    CGdiObject& asObject = clip;
    EXPECT_EQ(canvas.dc.SelectObject(&asObject), nullptr);
}

TEST(DrawingTest, RectanglesAndLinesLandOnThePixelsAsked)
{
    Canvas canvas(40, 40);
    canvas.dc.SetBkColor(Yellow);
    canvas.dc.FillSolidRect(CRect(5, 5, 15, 15), Red);
    EXPECT_EQ(canvas.Pixel(5, 5), Red);
    EXPECT_EQ(canvas.Pixel(14, 14), Red);
    EXPECT_EQ(canvas.Pixel(15, 15), White);
    EXPECT_EQ(canvas.dc.GetBkColor(), Yellow);

    canvas.dc.Draw3dRect(CRect(20, 20, 30, 30), Green, Blue);
    EXPECT_EQ(canvas.Pixel(20, 20), Green);
    EXPECT_EQ(canvas.Pixel(28, 20), Green);
    EXPECT_EQ(canvas.Pixel(20, 28), Green);
    EXPECT_EQ(canvas.Pixel(29, 20), Blue);
    EXPECT_EQ(canvas.Pixel(20, 29), Blue);
    EXPECT_EQ(canvas.Pixel(25, 25), White);
    EXPECT_EQ(canvas.Pixel(30, 30), White);

    CPen pen(PS_SOLID, 1, Blue);
    CPen* old = canvas.dc.SelectObject(&pen);
    canvas.dc.MoveTo(0, 35);
    EXPECT_EQ(canvas.dc.MoveTo(2, 35), CPoint(0, 35));
    EXPECT_TRUE(canvas.dc.LineTo(10, 35));
    POINT corner[] = {{0, 38}, {5, 38}, {5, 33}};
    EXPECT_TRUE(canvas.dc.Polyline(corner, 3));
    canvas.dc.SelectObject(old);
    EXPECT_EQ(canvas.Pixel(1, 35), White);
    EXPECT_EQ(canvas.Pixel(2, 35), Blue);
    EXPECT_EQ(canvas.Pixel(9, 35), Blue);
    EXPECT_EQ(canvas.Pixel(10, 35), White);
    EXPECT_EQ(canvas.Pixel(3, 38), Blue);
    EXPECT_EQ(canvas.Pixel(5, 34), Blue);

    CBrush frame(Green);
    canvas.dc.FrameRect(CRect(32, 0, 40, 8), &frame);
    canvas.dc.FillRect(CRect(34, 2, 38, 6), &frame);
    EXPECT_EQ(canvas.Pixel(32, 0), Green);
    EXPECT_EQ(canvas.Pixel(33, 1), White);
    EXPECT_EQ(canvas.Pixel(35, 3), Green);
}

TEST(DrawingTest, TextUsesTheChosenColoursAndIsMeasured)
{
    Canvas canvas(200, 60);
    CFont font;
    ASSERT_TRUE(font.CreateFont(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Arial"));
    CFont* oldFont = canvas.dc.SelectObject(&font);
    CSize wide = canvas.dc.GetTextExtent(CString(L"MMMM"));
    CSize narrow = canvas.dc.GetTextExtent(L"M", 1);
    EXPECT_GT(narrow.cx, 0);
    EXPECT_GT(wide.cx, 3 * narrow.cx);
    EXPECT_GE(wide.cy, 20);

    canvas.dc.SetTextColor(Red);
    canvas.dc.SetBkColor(Yellow);
    EXPECT_EQ(canvas.dc.SetBkMode(OPAQUE), OPAQUE);
    EXPECT_TRUE(canvas.dc.TextOut(0, 0, CString(L"MMMM")));
    CRect box(0, 0, wide.cx, wide.cy);
    EXPECT_GT(canvas.Count(box, Red), 0);
    EXPECT_GT(canvas.Count(box, Yellow), 0);

    canvas.dc.SetBkMode(TRANSPARENT);
    EXPECT_EQ(canvas.dc.GetBkMode(), TRANSPARENT);
    CRect below(0, 30, 200, 60);
    CRect measured = below;
    EXPECT_GT(canvas.dc.DrawText(CString(L"MMMM"), &measured, DT_CALCRECT | DT_SINGLELINE), 0);
    EXPECT_EQ(measured.Width(), wide.cx);
    EXPECT_GT(canvas.dc.DrawText(L"MMMM", -1, &below, DT_SINGLELINE | DT_CENTER), 0);
    EXPECT_GT(canvas.Count(below, Red), 0);
    EXPECT_EQ(canvas.Count(below, Yellow), 0);
    EXPECT_EQ(canvas.Count(CRect(0, 30, (200 - wide.cx) / 2 - 1, 60), Red), 0);

    TEXTMETRICW metrics = {};
    EXPECT_TRUE(canvas.dc.GetTextMetrics(&metrics));
    EXPECT_GE(metrics.tmHeight, 20);
    EXPECT_EQ(canvas.dc.SelectObject(oldFont)->GetSafeHandle(), font.GetSafeHandle());
}

TEST(DrawingTest, BitmapsCopyAndStretchBetweenContexts)
{
    Canvas source(10, 10);
    source.dc.FillSolidRect(0, 0, 10, 10, Red);
    source.dc.FillSolidRect(0, 0, 1, 1, Blue);
    Canvas target(40, 40);

    EXPECT_TRUE(target.dc.BitBlt(5, 5, 10, 10, &source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(target.Pixel(5, 5), Blue);
    EXPECT_EQ(target.Pixel(14, 14), Red);
    EXPECT_EQ(target.Pixel(15, 15), White);

    target.dc.SetStretchBltMode(COLORONCOLOR);
    EXPECT_TRUE(target.dc.StretchBlt(20, 20, 20, 20, &source.dc, 0, 0, 10, 10, SRCCOPY));
    EXPECT_EQ(target.Pixel(20, 20), Blue);
    EXPECT_EQ(target.Pixel(21, 21), Blue);
    EXPECT_EQ(target.Pixel(22, 22), Red);
    EXPECT_EQ(target.Pixel(39, 39), Red);

    EXPECT_TRUE(target.dc.BitBlt(0, 0, 4, 4, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(target.Pixel(3, 3), RGB(0, 0, 0));

}

TEST(FontTest, KeepsWhatItWasMadeWith)
{
    CFont points;
    ASSERT_TRUE(points.CreatePointFont(120, L"Arial"));
    LOGFONTW description = {};
    ASSERT_EQ(points.GetLogFont(&description), static_cast<int>(sizeof description));
    CClientDC screen(nullptr);
    EXPECT_EQ(description.lfHeight, -(GetDeviceCaps(screen, LOGPIXELSY) * 120 / 720));
    CFont odd;
    ASSERT_TRUE(odd.CreatePointFont(110, L"Arial", &screen));
    LOGFONTW oddDescription = {};
    odd.GetLogFont(&oddDescription);
    EXPECT_EQ(oddDescription.lfHeight, -(GetDeviceCaps(screen, LOGPIXELSY) * 110 / 720));
    EXPECT_STREQ(description.lfFaceName, L"Arial");

    CFont bold;
    ASSERT_TRUE(bold.CreateFont(16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"돋움"));
    ASSERT_NE(bold.GetLogFont(&description), 0);
    EXPECT_EQ(description.lfHeight, 16);
    EXPECT_EQ(description.lfWeight, FW_BOLD);
    EXPECT_STREQ(description.lfFaceName, L"돋움");

    CFont copy;
    ASSERT_TRUE(copy.CreateFontIndirect(&description));
    LOGFONTW copied = {};
    copy.GetLogFont(&copied);
    EXPECT_STREQ(copied.lfFaceName, L"돋움");
    EXPECT_EQ(copied.lfWeight, FW_BOLD);

    CFont longName;
    std::wstring face(40, L'x');
    ASSERT_TRUE(longName.CreatePointFont(90, face.c_str()));
    longName.GetLogFont(&description);
    EXPECT_EQ(std::wstring(description.lfFaceName), face.substr(0, LF_FACESIZE - 1));
    EXPECT_FALSE(CFont().CreateFontIndirect(nullptr));
}

TEST(MemDcTest, DrawsOffScreenAndCopiesToTheTargetWhenItGoes)
{
    Canvas target(50, 50);
    target.dc.FillSolidRect(5, 5, 1, 1, Green);
    target.dc.SetTextColor(Blue);
    {
        CMemDC memory(&target.dc, CRect(10, 10, 40, 40));
        EXPECT_NE(memory.GetSafeHdc(), target.dc.GetSafeHdc());
        EXPECT_EQ(memory.GetTextColor(), Blue);
        memory.FillSolidRect(CRect(10, 10, 20, 20), Red);
        EXPECT_EQ(target.Pixel(12, 12), White);
    }
    EXPECT_EQ(target.Pixel(10, 10), Red);
    EXPECT_EQ(target.Pixel(19, 19), Red);
    EXPECT_EQ(target.Pixel(25, 25), target.dc.GetBkColor());
    EXPECT_EQ(target.Pixel(5, 5), Green);

    {
        CMemDC whole(&target.dc);
        whole.FillSolidRect(45, 45, 5, 5, Blue);
    }
    EXPECT_EQ(target.Pixel(49, 49), Blue);

    CMemDC nothing(nullptr);
    EXPECT_EQ(nothing.GetSafeHdc(), nullptr);
}

TEST(MemDcTest, AnEmptyAreaDrawsStraightOnTheTarget)
{
    Canvas target(10, 10);
    HDC targetDc = target.dc.GetSafeHdc();
    {
        CMemDC memory(&target.dc, CRect(5, 5, 5, 5));
        EXPECT_EQ(memory.GetSafeHdc(), targetDc);
    }
    EXPECT_EQ(GetObjectType(targetDc), static_cast<DWORD>(OBJ_MEMDC));
}

class PaintedWindow : public CWnd {
public:
    int paints = 0;
    CRect lastPainted;

protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        ++paints;
        lastPainted = dc.m_ps.rcPaint;
        dc.FillSolidRect(&dc.m_ps.rcPaint, Green);
        dc.FillSolidRect(0, 0, 20, 20, Blue);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaintedWindow, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(PaintDcTest, PaintsTheInvalidAreaAndValidatesIt)
{
    PaintedWindow window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"paint", WS_POPUP | WS_BORDER, CRect(10, 10, 210, 160), nullptr, 0));
    ShowWithoutActivating(window);
    EXPECT_GE(window.paints, 1);

    window.InvalidateRect(CRect(40, 30, 60, 50), FALSE);
    window.UpdateWindow();
    EXPECT_EQ(window.lastPainted, CRect(40, 30, 60, 50));
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(window, &pending, FALSE));

    CClientDC client(&window);
    ASSERT_NE(client.GetSafeHdc(), nullptr);
    EXPECT_EQ(GetPixel(client, 45, 35), Green);
    EXPECT_EQ(GetPixel(client, 5, 5), Blue);
    CWindowDC whole(&window);
    EXPECT_NE(whole.GetSafeHdc(), nullptr);
}

TEST(RegionTest, CombinesRectanglesAndRoundedCorners)
{
    CRgn rounded;
    ASSERT_TRUE(rounded.CreateRoundRectRgn(0, 0, 100, 100, 30, 30));
    EXPECT_FALSE(PtInRegion(rounded, 1, 1));
    EXPECT_TRUE(PtInRegion(rounded, 50, 1));
    EXPECT_TRUE(PtInRegion(rounded, 50, 50));

    CRgn hole;
    ASSERT_TRUE(hole.CreateRectRgnIndirect(CRect(40, 40, 60, 60)));
    CRgn combined;
    ASSERT_TRUE(combined.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(combined.CombineRgn(&rounded, &hole, RGN_DIFF), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(combined, 50, 50));
    EXPECT_TRUE(PtInRegion(combined, 30, 50));
    EXPECT_EQ(combined.CombineRgn(&hole, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(combined, 50, 50));

    CRgn empty;
    EXPECT_EQ(empty.CombineRgn(&rounded, &hole, RGN_OR), ERROR);
    EXPECT_FALSE(empty.CreateRectRgnIndirect(nullptr));
}

TEST(RegionTest, AWindowTakesOverADetachedRegion)
{
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"region", WS_POPUP, CRect(0, 0, 136, 136), nullptr, 0));
    {
        CRgn region;
        ASSERT_TRUE(region.CreateRectRgn(0, 0, 120, 80));
        HRGN handle = region;
        ASSERT_NE(SetWindowRgn(window, handle, TRUE), 0);
        // What the window's side of the hand-over does: the owner lets go of the region.
        CGdiObject* owner = CGdiObject::FromHandlePermanent(handle);
        ASSERT_EQ(owner, &region);
        owner->Detach();
        EXPECT_EQ(region.GetSafeHandle(), nullptr);
    }
    CRgn copy;
    ASSERT_TRUE(copy.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(window, copy), SIMPLEREGION);
    RECT box;
    GetRgnBox(copy, &box);
    EXPECT_EQ(CRect(box), CRect(0, 0, 120, 80));
}

TEST(BitmapTest, LoadsFromTheCurrentResourceModuleOnly)
{
    FrameworkTesting::TestResourceModule resources;
    resources.Add(RT_BITMAP, 131, FrameworkTesting::SolidBitmapResource(12, 7, Red));
    HINSTANCE module = resources.Load();
    ASSERT_NE(module, nullptr);

    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(131));
    EXPECT_EQ(missing.GetSafeHandle(), nullptr);

    CBitmap background;
    {
        ResourceHandleScope scope(module);
        ASSERT_TRUE(background.LoadBitmap(131));
        EXPECT_FALSE(background.LoadBitmap(131));
    }
    BITMAP size = {};
    ASSERT_EQ(background.GetBitmap(&size), static_cast<int>(sizeof size));
    EXPECT_EQ(size.bmWidth, 12);
    EXPECT_EQ(size.bmHeight, 7);

    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    CBitmap* previous = memory.SelectObject(&background);
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(GetPixel(memory, 11, 6), Red);
    memory.SelectObject(previous);

    CBitmap grip;
    ASSERT_TRUE(grip.LoadOEMBitmap(OBM_SIZE));
    ASSERT_NE(grip.GetBitmap(&size), 0);
    EXPECT_GT(size.bmWidth, 0);

    CBitmap none;
    EXPECT_FALSE(none.CreateCompatibleBitmap(nullptr, 4, 4));
}

// The pixels of a PNG file as WIC reads them back.
struct DecodedImage {
    UINT width = 0;
    UINT height = 0;
    std::vector<BYTE> bgra;
    COLORREF Pixel(UINT x, UINT y) const
    {
        const BYTE* pixel = &bgra[(static_cast<size_t>(y) * width + x) * 4];
        return RGB(pixel[2], pixel[1], pixel[0]);
    }
};

bool Decode(const std::wstring& path, DecodedImage& image)
{
    System::ComPtr<IWICImagingFactory> factory;
    System::ComPtr<IWICBitmapDecoder> decoder;
    System::ComPtr<IWICBitmapFrameDecode> frame;
    System::ComPtr<IWICFormatConverter> converter;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.Receive()))) ||
        FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.Receive())) ||
        FAILED(decoder->GetFrame(0, frame.Receive())) || FAILED(frame->GetSize(&image.width, &image.height)) ||
        FAILED(factory->CreateFormatConverter(converter.Receive())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    image.bgra.resize(static_cast<size_t>(image.width) * image.height * 4);
    return SUCCEEDED(converter->CopyPixels(nullptr, image.width * 4, static_cast<UINT>(image.bgra.size()), image.bgra.data()));
}

TEST(ScreenshotTest, SavesTheWindowAsAPngOfItsSize)
{
    PaintedWindow window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"스크린샷", WS_POPUP | WS_BORDER, CRect(20, 20, 260, 200), nullptr, 0));
    ShowWithoutActivating(window);
    const std::wstring path = L"screenshots\\PaintedWindow.png";
    DeleteFileW(path.c_str());
    ASSERT_TRUE(TestSupport::SaveWindowImage(window, path));

    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    DecodedImage image;
    bool decoded = Decode(path, image);
    CoUninitialize();
    ASSERT_TRUE(decoded);
    CRect bounds;
    window.GetWindowRect(&bounds);
    EXPECT_EQ(image.width, static_cast<UINT>(bounds.Width()));
    EXPECT_EQ(image.height, static_cast<UINT>(bounds.Height()));
    CPoint client(0, 0);
    window.ClientToScreen(&client);
    EXPECT_EQ(image.Pixel(client.x - bounds.left + 5, client.y - bounds.top + 5), Blue);
    EXPECT_EQ(image.Pixel(client.x - bounds.left + 100, client.y - bounds.top + 60), Green);

    EXPECT_FALSE(TestSupport::SaveWindowImage(nullptr, L"screenshots\\none.png"));
}

// One round of what a paint handler does; answers every handle it made, for checking they are gone.
std::vector<HGDIOBJ> DrawingCycle()
{
    std::vector<HGDIOBJ> made;
    Canvas canvas(64, 32);
    CPen pen(PS_SOLID, 2, Red);
    CBrush brush(Green);
    CFont font;
    font.CreatePointFont(100, L"Arial");
    CRgn region;
    region.CreateRoundRectRgn(0, 0, 30, 30, 9, 9);
    made.insert(made.end(), {canvas.dc.GetSafeHdc(), canvas.bitmap.GetSafeHandle(), pen.GetSafeHandle(),
                             brush.GetSafeHandle(), font.GetSafeHandle(), region.GetSafeHandle()});
    CPen* oldPen = canvas.dc.SelectObject(&pen);
    CBrush* oldBrush = canvas.dc.SelectObject(&brush);
    CFont* oldFont = canvas.dc.SelectObject(&font);
    canvas.dc.Rectangle(2, 2, 20, 20);
    canvas.dc.TextOut(0, 0, CString(L"가나다"));
    {
        CMemDC memory(&canvas.dc, CRect(0, 0, 40, 20));
        made.insert(made.end(), {memory.GetSafeHdc(), GetCurrentObject(memory, OBJ_BITMAP)});
        memory.FillSolidRect(0, 0, 40, 20, Blue);
    }
    canvas.dc.SelectObject(&region);
    canvas.dc.SelectObject(oldFont);
    canvas.dc.SelectObject(oldBrush);
    canvas.dc.SelectObject(oldPen);
    CGdiObject::DeleteTempMap();
    CDC::DeleteTempMap();
    return made;
}

TEST(GdiLeakTest, EveryHandleADrawingCycleMadeIsGoneAfterIt)
{
    std::vector<HGDIOBJ> made = DrawingCycle();
    ASSERT_EQ(made.size(), 8u);
    for (HGDIOBJ handle : made) {
        EXPECT_NE(handle, nullptr);
        EXPECT_FALSE(IsLive(handle)) << "handle " << handle << " survived";
    }
}

TEST(GdiLeakTest, DrawingCyclesKeepTheProcessCountOfGdiObjects)
{
    DrawingCycle();
    DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0 && TestSupport::IsWine())
        GTEST_SKIP() << "Wine does not count GDI objects (GetGuiResources answers 0); "
                        "EveryHandleADrawingCycleMadeIsGoneAfterIt checks each handle instead";
    for (int i = 0; i < 30; ++i) DrawingCycle();
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
}

}  // namespace
