#include "html/tests/PageFixture.h"

#include "core/Exception.h"

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
    std::string folder = HTML_FIXTURES_DIR;
    std::wstring path(folder.begin(), folder.end());
    // The build runs on Linux and the tests under Wine, where the Linux root is drive Z.
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path + L"\\" + name;
}

std::string MakePage(const std::string& style, const std::string& body)
{
    return "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><style type=\"text/css\">" + style +
           "</style></head><body>" + body + "</body></html>";
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
