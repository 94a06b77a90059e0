#include "html/tests/PageFixture.h"

#include "core/Exception.h"
#include "html/ImageCache.h"
#include "html/ResourceLoader.h"
#include "testing/LibraryAssertions.h"
#include "testing/TempFolder.h"

using HtmlTest::PageTest;

namespace {

class ResourceTest : public PageTest {};

TEST(ResolveUrlTest, ResolvesRelativeToTheReferrer)
{
    EXPECT_EQ(L"images/a.gif", Html::ResolveUrl(L"css/style.css", L"../images/a.gif"));
    EXPECT_EQ(L"css/b.gif", Html::ResolveUrl(L"css/style.css", L"./b.gif"));
    EXPECT_EQ(L"images/a.gif", Html::ResolveUrl(L"", L"images/a.gif"));
    EXPECT_EQ(L"x.gif", Html::ResolveUrl(L"css/deep/s.css", L"/x.gif"));
    EXPECT_EQ(L"a.gif", Html::ResolveUrl(L"", L"../../a.gif"));  // never above the page's folder
    EXPECT_EQ(L"file://C:\\tools\\icon.gif", Html::ResolveUrl(L"css/s.css", L"file://C:\\tools\\icon.gif"));
}

TEST_F(ResourceTest, LoadsPageSheetAndImagesFromModuleResources)
{
    try {
        page_->LoadFromResource(GetModuleHandleW(nullptr), 200);
    } catch (System::Exception* error) {
        std::wstring message = error->ToString().GetStdString();
        delete error;
        FAIL() << std::string(message.begin(), message.end());
    }
    page_->SetViewport(400, 300);
    EXPECT_EQ(29 + 8, Box(L"band").height);  // from css/style.css: height and padding
    Html::Rect arrow = Box(L"arrow");
    EXPECT_EQ(20, arrow.width);
    EXPECT_EQ(16, arrow.height);
}

TEST_F(ResourceTest, MissingPageResourceThrows)
{
    TestSupport::ExpectThrows<System::ArgumentException>([this] { page_->LoadFromResource(GetModuleHandleW(nullptr), 999); });
    EXPECT_FALSE(page_->IsLoaded());
}

TEST_F(ResourceTest, FileUrlsLoadFromDisk)
{
    TestSupport::TempFolder folder;
    std::string bytes;
    ASSERT_TRUE(Html::ReadWholeFile(HtmlTest::FixturePath(L"images\\block.png"), bytes));
    std::wstring icon = folder.WriteFile(L"icon.png", bytes);
    std::string src = System::String(L"file://" + icon).ToUtf8();
    LoadMarkup(HtmlTest::MakePage("body{margin:0}", "<img id=\"i\" src=\"" + src + "\" />"));
    EXPECT_EQ(40, Box(L"i").width);
    EXPECT_EQ(30, Box(L"i").height);
}

TEST_F(ResourceTest, UnreadableImageSourceShowsNothingAndPaintGoesOn)
{
    TestSupport::TempFolder folder;
    std::string src = System::String(L"file://" + folder.Path()).ToUtf8();
    LoadMarkup(HtmlTest::MakePage("body{margin:0}", "<img id=\"i\" src=\"" + src + "\" /><p id=\"p\">after</p>"));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 100);
    HGDIOBJ old = SelectObject(dc, bitmap);
    page_->Paint(dc, Html::Rect{0, 0, 200, 100});
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(page_->GetElementById(L"p")->IsDisplayed());
}

TEST_F(ResourceTest, DecodesGifPngAndBmpWithAlpha)
{
    for (const wchar_t* name : {L"images\\arrow_left.gif", L"images\\block.png", L"images\\tile.bmp"}) {
        std::string bytes;
        ASSERT_TRUE(Html::ReadWholeFile(HtmlTest::FixturePath(name), bytes));
        auto image = Html::ImageCache::Decode(bytes);
        ASSERT_NE(nullptr, image);
        EXPECT_GT(image->width, 0);
    }
    std::string bytes;
    Html::ReadWholeFile(HtmlTest::FixturePath(L"images\\arrow_left.gif"), bytes);
    auto gif = Html::ImageCache::Decode(bytes);
    EXPECT_EQ(0, gif->pixels[3]);  // the first column uses the transparent colour
    EXPECT_EQ(nullptr, Html::ImageCache::Decode("not an image"));
}

TEST_F(ResourceTest, PaintsBackgroundTextAndImagesIntoABitmap)
{
    LoadFixture(L"korean.xhtml", 400, 300);
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(nullptr, dc);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, -300, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, bitmap);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    RECT all{0, 0, 400, 300};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    page_->Paint(dc, Html::Rect{0, 0, 400, 300});
    GdiFlush();
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    EXPECT_EQ(0x2A4F8Au, pixels[400 * 2 + 200] & 0xFFFFFF);  // the header band's colour
    int dark = 0;
    Html::Rect intro = Box(L"intro");
    for (int y = intro.y; y < intro.Bottom(); ++y) {
        for (int x = intro.x; x < intro.Right(); ++x) dark += (pixels[y * 400 + x] & 0xFF) < 0x80;
    }
    EXPECT_GT(dark, 50);  // the Korean text was drawn
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
