#include "html/tests/PageFixture.h"

#include <string>
#include <vector>

#include "html/ScrollBar.h"

using HtmlTest::PageTest;

namespace {

// A 200 x 100 list of ten 20-pixel rows and a text input, below a 30-pixel band.
const char kStyle[] =
    "body{margin:0;font-family:NanumGothic;font-size:12px} #band{height:30px} "
    "#list{width:200px;height:100px;overflow:auto;line-height:20px} .row{height:20px} "
    "#short{width:200px;height:100px;overflow:auto} #always{width:200px;height:50px;overflow:scroll} "
    "#hidden{width:200px;height:20px;overflow:hidden}";

std::string ListPage()
{
    std::string rows;
    for (int index = 0; index < 10; ++index) {
        rows += "<div class=\"row\" id=\"r" + std::to_string(index) + "\" onclick=\"note(this.id)\">row</div>";
    }
    return HtmlTest::MakePage(kStyle, "<div id=\"band\"></div><div id=\"list\">" + rows +
                                          "<input type=\"text\" id=\"field\" /></div>"
                                          "<div id=\"short\"><div class=\"row\" id=\"lone\"></div></div>"
                                          "<div id=\"always\"></div>"
                                          "<div id=\"hidden\"><div style=\"height:80px\"></div></div>");
}

int WheelStep(int lineHeight)
{
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return static_cast<int>(lines) * lineHeight;
}

class ScrollTest : public PageTest {
protected:
    void LoadList()
    {
        page_->Scripts().Register(L"note",
                                  [this](const std::vector<std::wstring>& args) { notes_.push_back(args.at(0)); });
        LoadMarkup(ListPage());
        page_->SetInvalidateCallback([this](const Html::Rect& area) { damage_.push_back(area); });
        page_->SetScrollCallback([this](Html::Node& node) { scrolled_.push_back(node.Id()); });
    }
    const Html::LayoutBox& List() { return Element(L"list").Box(); }
    Html::ScrollBarLayout Bar() { return Html::LayOutScrollBar(List()); }
    void Click(int x, int y)
    {
        page_->MouseDown(x, y);
        page_->MouseUp(x, y);
    }

    std::vector<std::wstring> notes_;
    std::vector<Html::Rect> damage_;
    std::vector<std::wstring> scrolled_;
};

TEST_F(ScrollTest, BarAppearsWhenContentOverflowsAndNarrowsTheContent)
{
    LoadList();
    const Html::LayoutBox& list = List();
    ASSERT_TRUE(list.scrollBar);
    int bar = list.ScrollBarBox().width;
    EXPECT_GE(bar, 12);
    EXPECT_LE(bar, 20);
    EXPECT_EQ(200 - bar, Box(L"r0").width);
    EXPECT_GE(list.scrollHeight, 200 + Box(L"field").height);
    EXPECT_EQ(list.scrollHeight - 100, list.MaxScroll());
    EXPECT_EQ(100, Box(L"list").height);  // the content does not stretch the box
    EXPECT_EQ(130, Box(L"short").y);      // nor push what follows it

    EXPECT_FALSE(Element(L"short").Box().scrollBar);
    EXPECT_EQ(200, Box(L"lone").width);
    ASSERT_TRUE(Element(L"always").Box().scrollBar);  // overflow: scroll shows an idle bar
    EXPECT_FALSE(Html::LayOutScrollBar(Element(L"always").Box()).active);
    EXPECT_FALSE(Element(L"hidden").Box().scrollBar);
}

TEST_F(ScrollTest, WheelScrollsLinesPerNotchThenClampsAndPassesTheRest)
{
    LoadList();
    int step = WheelStep(20);
    int maxScroll = List().MaxScroll();
    ASSERT_GT(maxScroll, step);
    EXPECT_FALSE(page_->MouseWheel(50, 40, WHEEL_DELTA));  // already at the top
    EXPECT_TRUE(page_->MouseWheel(50, 40, -WHEEL_DELTA));
    EXPECT_EQ(step, List().scrollTop);
    EXPECT_EQ(30 - step, Box(L"r0").y);
    ASSERT_EQ(1u, scrolled_.size());
    EXPECT_EQ(L"list", scrolled_[0]);
    ASSERT_FALSE(damage_.empty());
    EXPECT_EQ(Box(L"list"), damage_.back());  // the box repaints, nothing else

    while (page_->MouseWheel(50, 40, -WHEEL_DELTA)) {
    }
    EXPECT_EQ(maxScroll, List().scrollTop);
    EXPECT_EQ(130 - List().scrollHeight, Box(L"r0").y);
    EXPECT_FALSE(page_->MouseWheel(50, 40, -WHEEL_DELTA));
    EXPECT_FALSE(page_->MouseWheel(50, 150, -WHEEL_DELTA));  // over a box with nothing to scroll
}

TEST_F(ScrollTest, NestedBoxPassesTheWheelOnAtItsEnd)
{
    LoadMarkup(HtmlTest::MakePage(
        "body{margin:0} #outer{height:100px;overflow:auto;line-height:10px} "
        "#inner{height:50px;overflow:auto;line-height:10px}",
        "<div id=\"outer\"><div id=\"inner\"><div style=\"height:70px\"></div></div>"
        "<div style=\"height:200px\"></div></div>"));
    EXPECT_TRUE(page_->MouseWheel(10, 10, -WHEEL_DELTA));
    EXPECT_GT(Element(L"inner").Box().scrollTop, 0);
    EXPECT_EQ(0, Element(L"outer").Box().scrollTop);
    while (Element(L"inner").Box().scrollTop < Element(L"inner").Box().MaxScroll()) {
        ASSERT_TRUE(page_->MouseWheel(10, 10, -WHEEL_DELTA));
    }
    int innerY = Box(L"inner").y;
    EXPECT_TRUE(page_->MouseWheel(10, 10, -WHEEL_DELTA));
    EXPECT_GT(Element(L"outer").Box().scrollTop, 0);
    EXPECT_EQ(innerY - Element(L"outer").Box().scrollTop, Box(L"inner").y);  // the inner box moved along
}

TEST_F(ScrollTest, ScrolledContentMovesHitTestsInputsAndVisibleBoxes)
{
    LoadList();
    EXPECT_EQ(&Element(L"r0"), page_->HitTest(50, 35));
    EXPECT_NE(&Element(L"r9"), page_->HitTest(50, 215));  // below the list: clipped away
    Html::Rect field = Box(L"field");
    EXPECT_TRUE(page_->VisibleBox(Element(L"field")).IsEmpty());

    while (page_->MouseWheel(50, 40, -WHEEL_DELTA)) {
    }
    int scrolled = List().scrollTop;
    Html::Rect row = Box(L"r9");
    EXPECT_EQ(30 + 180 - scrolled, row.y);
    EXPECT_EQ(&Element(L"r9"), page_->HitTest(50, row.y + 5));
    EXPECT_NE(&Element(L"r0"), page_->HitTest(50, 35));
    std::vector<Html::Node*> inputs = page_->TextInputs();
    ASSERT_EQ(1u, inputs.size());
    EXPECT_EQ(field.y - scrolled, inputs[0]->Box().border.y);
    EXPECT_EQ(inputs[0]->Box().border, page_->VisibleBox(*inputs[0]));
    EXPECT_LE(inputs[0]->Box().border.Bottom(), 130);

    Click(50, row.y + 5);
    ASSERT_EQ(1u, notes_.size());
    EXPECT_EQ(L"r9", notes_[0]);

    Html::ScrollBarLayout bar = Bar();
    Click(bar.up.x + 2, bar.up.y + 2);
    Html::Rect cut = page_->VisibleBox(*inputs[0]);
    EXPECT_EQ(130, cut.Bottom());  // partly scrolled out: the host clips its edit control
    EXPECT_LT(cut.height, inputs[0]->Box().border.height);
    EXPECT_EQ(1u, notes_.size());
}

TEST_F(ScrollTest, BarTakesItsPressesAndDragsWithoutRoutingThem)
{
    LoadList();
    int events = 0;
    page_->Events().SetListener([&events](Html::Event&) { ++events; });
    Html::ScrollBarLayout bar = Bar();
    ASSERT_TRUE(bar.active);
    ASSERT_FALSE(bar.thumb.IsEmpty());
    EXPECT_EQ(&Element(L"list"), page_->HitTest(bar.track.x + 2, bar.track.y + 2));
    EXPECT_EQ(IDC_ARROW, page_->CursorAt(bar.track.x + 2, bar.track.y + 2));

    Click(bar.down.x + 2, bar.down.y + 2);
    EXPECT_EQ(20, List().scrollTop);  // one line
    Click(bar.up.x + 2, bar.up.y + 2);
    EXPECT_EQ(0, List().scrollTop);
    bar = Bar();
    Click(bar.track.x + 2, bar.track.Bottom() - 2);
    EXPECT_EQ(80, List().scrollTop);  // a page: the box's height less a line
    Click(bar.track.x + 2, bar.track.y + 1);
    EXPECT_EQ(0, List().scrollTop);

    bar = Bar();
    int grabY = bar.thumb.y + 3;
    page_->MouseDown(bar.thumb.x + 2, grabY);
    int travel = bar.track.height - bar.thumb.height;
    page_->MouseMove(bar.thumb.x + 2, grabY + travel / 2);
    EXPECT_NEAR(List().MaxScroll() / 2, List().scrollTop, List().MaxScroll() / travel + 1);  // a pixel of thumb
    page_->MouseMove(bar.thumb.x + 60, grabY + 1000);  // far beyond the track: clamped
    EXPECT_EQ(List().MaxScroll(), List().scrollTop);
    page_->MouseUp(bar.thumb.x + 60, grabY + 1000);
    EXPECT_EQ(0, events);
    EXPECT_TRUE(notes_.empty());

    page_->MouseMove(5, 5);  // released: the page routes again
    EXPECT_GT(events, 0);
}

TEST_F(ScrollTest, ScrollPositionSurvivesRelayoutAndShrinksWithTheContent)
{
    LoadList();
    page_->MouseWheel(50, 40, -WHEEL_DELTA);
    int top = List().scrollTop;
    Element(L"band").SetStyleProperty(L"height", L"40px");
    page_->Update();
    EXPECT_EQ(top, List().scrollTop);
    EXPECT_EQ(40 - top, Box(L"r0").y);

    while (page_->MouseWheel(50, 50, -WHEEL_DELTA)) {
    }
    Element(L"list").SetInnerHtml(L"<div class=\"row\" id=\"only\"></div><div class=\"row\"></div>"
                                  L"<div class=\"row\"></div><div class=\"row\"></div><div class=\"row\"></div>"
                                  L"<div class=\"row\"></div>");
    page_->Update();
    EXPECT_EQ(20, List().scrollTop);  // clamped to the shorter content
    EXPECT_EQ(20, Box(L"only").y);
}

TEST_F(ScrollTest, AbsoluteBoxScrollsOnlyInsideItsContainingBlock)
{
    LoadMarkup(HtmlTest::MakePage(
        "body{margin:0} .box{height:50px;overflow:auto;line-height:10px} #holder{position:relative}",
        "<div id=\"holder\" class=\"box\"><div style=\"height:100px\"></div>"
        "<div id=\"inside\" style=\"position:absolute;top:5px;width:5px;height:5px\"></div></div>"
        "<div id=\"plain\" class=\"box\"><div style=\"height:100px\"></div>"
        "<div id=\"outside\" style=\"position:absolute;top:70px;left:0;width:5px;height:5px\"></div></div>"));
    int inside = Box(L"inside").y;
    int outside = Box(L"outside").y;
    ASSERT_TRUE(page_->MouseWheel(10, 10, -WHEEL_DELTA));
    ASSERT_TRUE(page_->MouseWheel(10, 60, -WHEEL_DELTA));
    EXPECT_EQ(inside - Element(L"holder").Box().scrollTop, Box(L"inside").y);
    EXPECT_EQ(outside, Box(L"outside").y);  // its containing block is the page
    EXPECT_EQ(&Element(L"outside"), page_->HitTest(2, 72));
}

}  // namespace
