#include "html/tests/PageFixture.h"

#include <set>
#include <string>

#include "html/ScrollBar.h"

using HtmlTest::Canvas;
using HtmlTest::PageTest;

namespace {

std::string Rows(const char* prefix, int count)
{
    std::string rows;
    for (int index = 0; index < count; ++index) {
        rows += "<div class=\"row\" id=\"" + std::string(prefix) + std::to_string(index) + "\">row " +
                std::to_string(index) + "</div>";
    }
    return rows;
}

class PaintTest : public PageTest {
protected:
    // Paints area into a canvas of its size and records what the painter drew.
    void PaintArea(const Html::Rect& area)
    {
        boxes_.clear();
        runs_.clear();
        page_->SetPaintObserver([this](const Html::Node& node, const Html::Rect&) {
            if (node.IsText()) {
                runs_.insert(node.Parent()->Id());
            } else if (!node.Id().empty()) {
                boxes_.insert(node.Id());
            }
        });
        canvas_ = std::make_unique<Canvas>(area.width, area.height);
        page_->Paint(canvas_->Dc(), area, area.x, area.y);
    }

    std::set<std::wstring> boxes_;
    std::set<std::wstring> runs_;
    std::unique_ptr<Canvas> canvas_;
};

const char kRows[] = "body{margin:0;font-family:NanumGothic;font-size:12px} .row{height:20px;background:#f00}";

TEST_F(PaintTest, SmallAreaPaintsOnlyTheBoxesAndRunsThatMeetIt)
{
    LoadMarkup(HtmlTest::MakePage(kRows, Rows("r", 300)), 400, 300);
    PaintArea(Html::Rect{0, 3005, 100, 30});
    EXPECT_EQ((std::set<std::wstring>{L"r150", L"r151"}), boxes_);
    EXPECT_EQ((std::set<std::wstring>{L"r150", L"r151"}), runs_);
    EXPECT_EQ(RGB(255, 0, 0), canvas_->Pixel(90, 0));

    PaintArea(Html::Rect{0, 0, 400, page_->ContentHeight()});
    EXPECT_EQ(300u, boxes_.size());
    EXPECT_EQ(300u, runs_.size());
}

TEST_F(PaintTest, AbsoluteBoxFarFromItsParentStillPaints)
{
    LoadMarkup(HtmlTest::MakePage(kRows, "<div id=\"holder\" style=\"height:10px\">"
                                         "<div id=\"far\" style=\"position:absolute;top:3000px;left:0;width:50px;"
                                         "height:10px;background:#00f\"></div></div>" + Rows("r", 200)),
               400, 300);
    PaintArea(Html::Rect{0, 2995, 100, 20});
    EXPECT_EQ(1u, boxes_.count(L"far"));
    EXPECT_EQ(0u, boxes_.count(L"holder"));
    EXPECT_EQ(RGB(0, 0, 255), canvas_->Pixel(10, 8));  // painted over the row below it
}

TEST_F(PaintTest, ScrollingBoxPaintsWhatItShowsAndItsBar)
{
    LoadMarkup(HtmlTest::MakePage(std::string(kRows) + " #list{width:200px;height:100px;overflow:auto}",
                                  "<div id=\"list\">" + Rows("r", 100) + "</div>"),
               400, 300);
    PaintArea(Html::Rect{0, 0, 400, 300});
    EXPECT_EQ((std::set<std::wstring>{L"list", L"r0", L"r1", L"r2", L"r3", L"r4"}), boxes_);
    const Html::LayoutBox& list = Element(L"list").Box();
    Html::ScrollBarLayout bar = Html::LayOutScrollBar(list);
    EXPECT_EQ(0, canvas_->Count(bar.bar, RGB(255, 0, 0)));                 // rows stay left of the bar
    EXPECT_EQ(0, canvas_->Count(Html::Rect{0, 100, 200, 200}, RGB(255, 0, 0)));  // and inside the box
    EXPECT_NE(RGB(255, 255, 255), canvas_->Pixel(bar.thumb.x + bar.thumb.width / 2, bar.thumb.y + 1));

    ASSERT_TRUE(page_->MouseWheel(10, 10, -WHEEL_DELTA));
    int first = list.scrollTop / 20;
    PaintArea(Html::Rect{0, 0, 400, 300});
    EXPECT_EQ(0u, boxes_.count(L"r0"));
    EXPECT_EQ(1u, boxes_.count(L"r" + std::to_wstring(first)));
    EXPECT_EQ(1u, boxes_.count(L"r" + std::to_wstring(first + 4)));
    EXPECT_EQ(0u, boxes_.count(L"r" + std::to_wstring(first + 6)));
}

}  // namespace
