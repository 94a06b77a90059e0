#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "html/Page.h"
#include "html/ResourceLoader.h"

namespace HtmlTest {

// Resources held in memory, by relative path.
class MemoryResources : public Html::ResourceLoader {
public:
    explicit MemoryResources(std::map<std::wstring, std::string> files) : files_(std::move(files)) {}
    bool Load(const std::wstring& path, std::string& bytes) override;

private:
    std::map<std::wstring, std::string> files_;
};

// The Windows path of a file under the test fixtures folder.
std::wstring FixturePath(const std::wstring& name);

// Wraps body markup and a style sheet into a page.
std::string MakePage(const std::string& style, const std::string& body);

// A white 32-bit bitmap to paint pages into and read back.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    // A pixel as a COLORREF.
    COLORREF Pixel(int x, int y) const;
    // How many pixels of area have the colour.
    int Count(const Html::Rect& area, COLORREF color) const;

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    const DWORD* bits_ = nullptr;
};

// A test with COM initialised and a page at hand.
class PageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void LoadFixture(const std::wstring& name, int width = 800, int height = 600);
    void LoadMarkup(const std::string& utf8, int width = 800, int height = 600,
                    std::map<std::wstring, std::string> files = {});
    Html::Node& Element(const std::wstring& id);
    Html::Rect Box(const std::wstring& id);

    std::unique_ptr<Html::Page> page_;

private:
    bool com_ = false;
};

}  // namespace HtmlTest
