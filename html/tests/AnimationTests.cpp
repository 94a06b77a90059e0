#include "html/tests/PageFixture.h"

#include <string>
#include <vector>

#include "html/ImageCache.h"

using HtmlTest::PageTest;

namespace {

std::unique_ptr<Html::Image> DecodeFixture(const wchar_t* name)
{
    std::string bytes;
    if (!Html::ReadWholeFile(HtmlTest::FixturePath(name), bytes)) return nullptr;
    return Html::ImageCache::Decode(bytes);
}

DWORD Pixel(const Html::Image::Frame& frame, int index)
{
    const BYTE* p = &frame.pixels[static_cast<size_t>(index) * 4];
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

// PageTest for its COM apartment: WIC needs one.
class AnimatedImageTest : public PageTest {};

TEST_F(AnimatedImageTest, DecodesEveryFrameWithItsDelay)
{
    auto image = DecodeFixture(L"images\\animated.gif");
    ASSERT_NE(nullptr, image);
    ASSERT_EQ(3u, image->frames.size());
    EXPECT_EQ(4, image->width);
    EXPECT_EQ(4, image->height);
    EXPECT_EQ(50u, image->frames[0].delay);
    EXPECT_EQ(120u, image->frames[1].delay);
    EXPECT_EQ(10u, image->frames[2].delay);  // a frame asking for no delay gets the 10 ms floor
    EXPECT_EQ(0xFFFF0000u, Pixel(image->frames[0], 5));
    EXPECT_EQ(0xFF00FF00u, Pixel(image->frames[1], 5));
    EXPECT_EQ(0xFF0000FFu, Pixel(image->frames[2], 5));
}

TEST_F(AnimatedImageTest, AppliesEachFramesDisposalBeforeTheNext)
{
    auto image = DecodeFixture(L"images\\disposal.gif");
    ASSERT_NE(nullptr, image);
    ASSERT_EQ(4u, image->frames.size());
    const DWORD red = 0xFFFF0000u, green = 0xFF00FF00u, blue = 0xFF0000FFu, white = 0xFFFFFFFFu;
    const DWORD expected[4][4] = {
        {red, red, red, red},
        {red, green, red, red},   // the red frame was kept
        {red, red, blue, red},    // the green pixel was undone
        {red, red, 0, white},     // the blue pixel was cleared to transparent
    };
    for (size_t frame = 0; frame < 4; ++frame) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(expected[frame][x], Pixel(image->frames[frame], x)) << frame << "," << x;
    }
}

class PageAnimationTest : public PageTest {
protected:
    void LoadWith(const std::string& style, const std::string& body)
    {
        std::string animated, still;
        ASSERT_TRUE(Html::ReadWholeFile(HtmlTest::FixturePath(L"images\\animated.gif"), animated));
        ASSERT_TRUE(Html::ReadWholeFile(HtmlTest::FixturePath(L"images\\arrow_left.gif"), still));
        LoadMarkup(HtmlTest::MakePage("body{margin:0} img{display:block} " + style, body), 400, 300,
                   {{L"images/animated.gif", animated}, {L"images/still.gif", still}});
        page_->SetInvalidateCallback([this](const Html::Rect& area) { damage_.push_back(area); });
    }
    std::vector<Html::Rect> damage_;
};

TEST_F(PageAnimationTest, AdvancesFramesWithTheirDelaysAndRepaintsOnlyTheirBoxes)
{
    LoadWith("", "<img id=\"a\" src=\"images/animated.gif\" /><img id=\"s\" src=\"images/still.gif\" />"
                 "<img id=\"b\" src=\"images/animated.gif\" width=\"8\" height=\"8\" />");
    const DWORD start = 0xFFFFFFE0;  // the tick count wraps on the way
    EXPECT_EQ(50u, page_->Animate(start));  // the clock starts with the first frame
    EXPECT_EQ(1u, page_->Animate(start + 49));
    EXPECT_TRUE(damage_.empty());
    EXPECT_EQ(120u, page_->Animate(start + 50));
    ASSERT_EQ(2u, damage_.size());
    EXPECT_EQ(Box(L"a"), damage_[0]);
    EXPECT_EQ(Box(L"b"), damage_[1]);
    {
        HtmlTest::Canvas canvas(400, 300);
        page_->Paint(canvas.Dc(), Html::Rect{0, 0, 400, 300});
        EXPECT_EQ(RGB(0, 255, 0), canvas.Pixel(Box(L"a").x + 1, Box(L"a").y + 1));
        EXPECT_EQ(RGB(0, 255, 0), canvas.Pixel(Box(L"b").x + 4, Box(L"b").y + 4));
    }
    EXPECT_EQ(10u, page_->Animate(start + 170));
    EXPECT_EQ(50u, page_->Animate(start + 180));  // looped to the first frame
    HtmlTest::Canvas canvas(400, 300);
    page_->Paint(canvas.Dc(), Html::Rect{0, 0, 400, 300});
    EXPECT_EQ(RGB(255, 0, 0), canvas.Pixel(Box(L"a").x + 1, Box(L"a").y + 1));
}

TEST_F(PageAnimationTest, OnlyAnimationsOnShowCount)
{
    LoadWith("#box{height:10px;overflow:hidden} #pad{height:20px}",
             "<img id=\"s\" src=\"images/still.gif\" />"
             "<img id=\"gone\" src=\"images/animated.gif\" style=\"display:none\" />"
             "<img src=\"images/animated.gif\" style=\"visibility:hidden\" />"
             "<div id=\"box\"><div id=\"pad\"></div><img src=\"images/animated.gif\" /></div>");
    EXPECT_EQ(INFINITE, page_->Animate(1000));
    EXPECT_EQ(INFINITE, page_->Animate(5000));
    EXPECT_TRUE(damage_.empty());

    Element(L"gone").SetStyleDisplay(L"block");
    EXPECT_EQ(50u, page_->Animate(6000));
    EXPECT_EQ(120u, page_->Animate(6050));
    Element(L"gone").SetStyleDisplay(L"none");
    EXPECT_EQ(INFINITE, page_->Animate(6100));
    Element(L"gone").SetStyleDisplay(L"block");
    EXPECT_EQ(120u, page_->Animate(9000));  // shown again: the clock restarts on the frame it stopped at
}

TEST_F(PageAnimationTest, LongPauseRestartsTheClockInsteadOfRacing)
{
    LoadWith("", "<img id=\"a\" src=\"images/animated.gif\" />");
    EXPECT_EQ(50u, page_->Animate(1000));
    EXPECT_EQ(110u, page_->Animate(1060));  // a late timer does not slow the animation down
    EXPECT_EQ(120u, page_->Animate(100000));  // long after: a full delay from now, no catching up
    EXPECT_EQ(10u, page_->Animate(100120));
}

TEST_F(PageAnimationTest, AnimatedBackgroundRepaintsItsBox)
{
    LoadWith("#bg{width:30px;height:30px;background:url(images/animated.gif)}", "<div id=\"bg\"></div>");
    EXPECT_EQ(50u, page_->Animate(0));  // known before the first paint
    page_->Animate(50);
    ASSERT_EQ(1u, damage_.size());
    EXPECT_EQ(Box(L"bg"), damage_[0]);
}

}  // namespace
