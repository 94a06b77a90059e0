#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/ComPtr.h"
#include "html/Node.h"
#include "shell/demo/ShellDemoDlg.h"
#include "shell/demo/ShellDemoResources.h"
#include "shell/tests/ShellTestSupport.h"
#include "testing/WindowScreenshot.h"

using ShellTesting::Centre;
using ShellTesting::ClickAt;
using ShellTesting::PumpUntil;

namespace {

class DemoDialog : public CShellDemoDlg {
public:
    int completed = 0;

protected:
    void OnDocumentComplete() override { ++completed; }
};

// A PNG file's pixels as 0x00RRGGBB, rows from the top.
struct Picture {
    UINT width = 0;
    UINT height = 0;
    std::vector<UINT32> pixels;

    UINT32 At(UINT x, UINT y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool ReadPng(const std::wstring& path, Picture& picture)
{
    System::ComPtr<IWICImagingFactory> factory;
    System::ComPtr<IWICBitmapDecoder> decoder;
    System::ComPtr<IWICBitmapFrameDecode> frame;
    System::ComPtr<IWICFormatConverter> converter;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.Receive()))) ||
        FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.Receive())) ||
        FAILED(decoder->GetFrame(0, frame.Receive())) || FAILED(factory->CreateFormatConverter(converter.Receive())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&picture.width, &picture.height))) {
        return false;
    }
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    return SUCCEEDED(converter->CopyPixels(nullptr, picture.width * 4, static_cast<UINT>(picture.pixels.size() * 4),
                                           reinterpret_cast<BYTE*>(picture.pixels.data())));
}

int Red(UINT32 pixel) { return static_cast<int>((pixel >> 16) & 0xFF); }
int Green(UINT32 pixel) { return static_cast<int>((pixel >> 8) & 0xFF); }
int Blue(UINT32 pixel) { return static_cast<int>(pixel & 0xFF); }

class DemoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        ASSERT_TRUE(dialog_.Create(IDD_SHELL_DEMO));
        dialog_.ShowWindow(SW_SHOW);
        ASSERT_TRUE(PumpUntil([this] { return dialog_.completed > 0; }));
    }
    void TearDown() override
    {
        if (dialog_.m_hWnd) dialog_.DestroyWindow();
        if (com_) CoUninitialize();
    }
    std::wstring Display(LPCWSTR id) { return dialog_.GetElement(id)->StyleDisplay(); }

    DemoDialog dialog_;

private:
    bool com_ = false;
};

TEST_F(DemoTest, ScreenshotShowsTheHeaderBandAndText)
{
    dialog_.SetForegroundWindow();
    dialog_.UpdateWindow();
    std::wstring path = ShellTesting::BuildFolderPath(L"shell_demo.png");
    ASSERT_TRUE(TestSupport::SaveWindowImage(dialog_.m_hWnd, path));

    Picture picture;
    ASSERT_TRUE(ReadPng(path, picture));
    ASSERT_EQ(static_cast<UINT>(CShellDemoDlg::kWidth), picture.width);
    ASSERT_EQ(static_cast<UINT>(CShellDemoDlg::kHeight), picture.height);
    std::set<UINT32> colours(picture.pixels.begin(), picture.pixels.end());
    EXPECT_GT(colours.size(), 30u);
    // The band, between the title and the window buttons, is blue.
    UINT32 band = picture.At(CShellDemoDlg::kWidth - 150, 14);
    EXPECT_GT(Blue(band), Red(band) + 60);
    // Text below the band: dark pixels on the white page.
    int dark = 0;
    for (UINT y = 40; y < 120; ++y) {
        for (UINT x = 0; x < picture.width; ++x) {
            UINT32 pixel = picture.At(x, y);
            if (Red(pixel) + Green(pixel) + Blue(pixel) < 3 * 128) ++dark;
        }
    }
    EXPECT_GT(dark, 200);
    EXPECT_EQ(0xFFFFFFu, picture.At(CShellDemoDlg::kWidth - 10, CShellDemoDlg::kHeight - 10) & 0xFFFFFFu);
}

TEST_F(DemoTest, ArrowsSwitchTheStepsAndDisableThemselves)
{
    POINT next = Centre(dialog_, L"BtnNext");
    POINT previous = Centre(dialog_, L"_BtnPrevious");
    ClickAt(dialog_, previous);
    EXPECT_EQ(L"", Display(L"layerFirst"));

    ClickAt(dialog_, next);
    EXPECT_EQ(L"none", Display(L"layerFirst"));
    EXPECT_EQ(L"block", Display(L"layerSecond"));
    EXPECT_NE(nullptr, dialog_.GetElement(L"_BtnNext"));
    EXPECT_NE(nullptr, dialog_.GetElement(L"BtnPrevious"));
    ClickAt(dialog_, next);
    EXPECT_EQ(L"block", Display(L"layerSecond"));

    ClickAt(dialog_, previous);
    EXPECT_EQ(L"block", Display(L"layerFirst"));
    EXPECT_EQ(L"none", Display(L"layerSecond"));
    EXPECT_NE(nullptr, dialog_.GetElement(L"BtnNext"));
    EXPECT_NE(nullptr, dialog_.GetElement(L"_BtnPrevious"));
}

TEST_F(DemoTest, MenuButtonTogglesTheMenuLayer)
{
    POINT menu = Centre(dialog_, L"BtnMenu");
    ClickAt(dialog_, menu);
    EXPECT_EQ(L"block", Display(L"layerMenu"));
    ClickAt(dialog_, menu);
    EXPECT_EQ(L"none", Display(L"layerMenu"));
}

}  // namespace
