#include "html/tests/PageFixture.h"

#include <algorithm>
#include <stdexcept>

#include "core/Exception.h"
#include "testing/HostPath.h"

namespace HtmlTest {

bool MemoryResources::Load(const std::wstring& path, std::string& bytes)
{
    auto found = files_.find(path);
    if (found == files_.end()) return false;
    bytes = found->second;
    return true;
}

std::wstring FixturePath(const std::wstring& name)
{
    return TestSupport::HostPath(HTML_FIXTURES_DIR) + L"\\" + name;
}

std::string MakePage(const std::string& style, const std::string& body)
{
    return "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><style type=\"text/css\">" + style +
           "</style></head><body>" + body + "</body></html>";
}

Canvas::Canvas(int width, int height) : width_(width), height_(height)
{
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) throw std::runtime_error("CreateCompatibleDC failed");
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) {
        DeleteDC(dc_);
        throw std::runtime_error("CreateDIBSection failed");
    }
    bits_ = static_cast<const DWORD*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

Canvas::~Canvas()
{
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

COLORREF Canvas::Pixel(int x, int y) const
{
    GdiFlush();
    DWORD value = bits_[y * width_ + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

int Canvas::Count(const Html::Rect& area, COLORREF color) const
{
    int count = 0;
    for (int y = std::max(0, area.y); y < std::min(height_, area.Bottom()); ++y) {
        for (int x = std::max(0, area.x); x < std::min(width_, area.Right()); ++x) count += Pixel(x, y) == color;
    }
    return count;
}

void PageTest::SetUp()
{
    com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    page_ = std::make_unique<Html::Page>();
}

void PageTest::TearDown()
{
    page_.reset();
    if (com_) CoUninitialize();
}

void PageTest::LoadFixture(const std::wstring& name, int width, int height)
{
    try {
        page_->LoadFromFile(FixturePath(name));
    } catch (System::Exception* error) {
        std::wstring message = error->ToString().GetStdString();
        delete error;
        FAIL() << std::string(message.begin(), message.end());
    }
    page_->SetViewport(width, height);
}

void PageTest::LoadMarkup(const std::string& utf8, int width, int height, std::map<std::wstring, std::string> files)
{
    try {
        page_->Load(utf8, std::make_unique<MemoryResources>(std::move(files)));
    } catch (System::Exception* error) {
        std::wstring message = error->ToString().GetStdString();
        delete error;
        FAIL() << std::string(message.begin(), message.end());
    }
    page_->SetViewport(width, height);
}

Html::Node& PageTest::Element(const std::wstring& id)
{
    Html::Node* node = page_->GetElementById(id);
    if (!node) throw std::runtime_error("no element with that id");
    return *node;
}

Html::Rect PageTest::Box(const std::wstring& id)
{
    page_->Update();
    return Element(id).Box().border;
}

}  // namespace HtmlTest
