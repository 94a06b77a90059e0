#include "html/tests/PageFixture.h"

#include <string>
#include <vector>

#include "html/FontCache.h"

using HtmlTest::Canvas;
using HtmlTest::PageTest;

namespace {

class SelectionTest : public PageTest {
protected:
    void LoadText()
    {
        LoadMarkup(HtmlTest::MakePage(
            "body{margin:0;font-family:NanumGothic;font-size:12px;line-height:20px}",
            "<div id=\"one\">Hello world</div><div id=\"two\">Second line <b>here</b></div>"
            "<div id=\"locked\" onselectstart=\"return false\">Locked text</div>"),
            400, 200);
        page_->SetInvalidateCallback([this](const Html::Rect& area) { damage_.push_back(area); });
    }
    // The page x of the boundary before character offset of an element's first line.
    int XAt(const wchar_t* id, int offset)
    {
        page_->Update();
        const Html::TextFragment& line = Element(id).Box().texts.at(0);
        return line.x + line.node->Measure().Width(line.start, offset - line.start);
    }
    int LineY(const wchar_t* id) { return Box(id).y + 10; }
    void Drag(int fromX, int fromY, int toX, int toY)
    {
        page_->MouseDown(fromX, fromY);
        page_->MouseMove(toX, toY);
    }
    int Highlighted(const Canvas& canvas, const Html::Rect& area)
    {
        return canvas.Count(area, GetSysColor(COLOR_HIGHLIGHT));
    }
    // Where the characters from..to of an element's first line are drawn.
    Html::Rect Between(const wchar_t* id, int from, int to)
    {
        const Html::TextFragment& line = Element(id).Box().texts.at(0);
        return Html::Rect{XAt(id, from), line.baseline - line.font->ascent, XAt(id, to) - XAt(id, from),
                          line.font->ascent + line.font->descent};
    }

    std::vector<Html::Rect> damage_;
};

TEST_F(SelectionTest, PressAndMoveSelectsAcrossBlocksInEitherDirection)
{
    LoadText();
    Drag(XAt(L"one", 6), LineY(L"one"), XAt(L"two", 6), LineY(L"two"));
    EXPECT_TRUE(page_->Events().IsSelecting());
    EXPECT_EQ(L"world\r\nSecond", page_->SelectedText());
    page_->MouseMove(XAt(L"two", 7) + 400, LineY(L"two"));  // past the line's end: up to its last character
    EXPECT_EQ(L"world\r\nSecond line here", page_->SelectedText());
    page_->MouseUp(XAt(L"two", 7), LineY(L"two"));
    EXPECT_EQ(L"world\r\nSecond line here", page_->SelectedText());  // kept after the release

    Drag(XAt(L"two", 6), LineY(L"two"), XAt(L"one", 1), LineY(L"one"));
    EXPECT_EQ(L"ello world\r\nSecond", page_->SelectedText());
}

TEST_F(SelectionTest, HighlightIsPaintedUntilTheNextPress)
{
    LoadText();
    Drag(XAt(L"one", 6), LineY(L"one"), XAt(L"one", 11), LineY(L"one"));
    page_->MouseUp(XAt(L"one", 11), LineY(L"one"));
    ASSERT_EQ(L"world", page_->SelectedText());
    {
        Canvas canvas(400, 200);
        page_->Paint(canvas.Dc(), Html::Rect{0, 0, 400, 200});
        EXPECT_GT(Highlighted(canvas, Between(L"one", 6, 11)), 20);
        EXPECT_EQ(0, Highlighted(canvas, Between(L"one", 0, 5)));
        EXPECT_EQ(0, Highlighted(canvas, Box(L"two")));
    }
    damage_.clear();
    page_->MouseDown(300, 150);
    page_->MouseUp(300, 150);
    EXPECT_EQ(L"", page_->SelectedText());
    ASSERT_EQ(1u, damage_.size());
    Html::Rect shown = Between(L"one", 6, 11);
    EXPECT_EQ(shown, damage_[0].Intersect(shown));  // the old highlight is repainted
    Canvas canvas(400, 200);
    page_->Paint(canvas.Dc(), Html::Rect{0, 0, 400, 200});
    EXPECT_EQ(0, Highlighted(canvas, Box(L"one")));
}

TEST_F(SelectionTest, CancelledSelectStartSelectsNothing)
{
    LoadText();
    Drag(XAt(L"locked", 1), LineY(L"locked"), XAt(L"locked", 8), LineY(L"locked"));
    EXPECT_FALSE(page_->Events().IsSelecting());
    EXPECT_EQ(L"", page_->SelectedText());
    Canvas canvas(400, 200);
    page_->Paint(canvas.Dc(), Html::Rect{0, 0, 400, 200});
    EXPECT_EQ(0, Highlighted(canvas, Html::Rect{0, 0, 400, 200}));

    page_->Events().SetListener([](Html::Event& event) {
        if (event.type == Html::EventType::SelectStart) event.cancelled = true;
    });
    Drag(XAt(L"one", 1), LineY(L"one"), XAt(L"one", 8), LineY(L"one"));
    EXPECT_EQ(L"", page_->SelectedText());
}

TEST_F(SelectionTest, MovingTheFocusRepaintsOnlyTheLinesThatChanged)
{
    LoadText();
    Drag(XAt(L"one", 2), LineY(L"one"), XAt(L"two", 3), LineY(L"two"));
    damage_.clear();
    page_->MouseMove(XAt(L"two", 9), LineY(L"two"));
    ASSERT_EQ(1u, damage_.size());
    EXPECT_GE(damage_[0].y, Box(L"two").y - 1);
    EXPECT_LE(damage_[0].Bottom(), Box(L"two").Bottom() + 1);
}

TEST_F(SelectionTest, SelectionLeavesWithTheTextItCovered)
{
    LoadText();
    Drag(XAt(L"one", 0), LineY(L"one"), XAt(L"two", 6), LineY(L"two"));
    ASSERT_EQ(L"Hello world\r\nSecond", page_->SelectedText());
    Element(L"one").SetInnerText(L"Bye");  // the selection began in the replaced text
    EXPECT_EQ(L"", page_->SelectedText());
    Canvas canvas(400, 200);
    page_->Paint(canvas.Dc(), Html::Rect{0, 0, 400, 200});
    EXPECT_EQ(0, Highlighted(canvas, Html::Rect{0, 0, 400, 200}));
}

TEST_F(SelectionTest, SelectsInsideAScrolledBoxWhereTheTextNowIs)
{
    LoadMarkup(HtmlTest::MakePage(
        "body{margin:0;font-family:NanumGothic;font-size:12px;line-height:20px} #box{height:40px;overflow:auto}",
        "<div id=\"box\"><div>alpha</div><div>beta</div><div id=\"third\">gamma</div><div>delta</div></div>"),
        400, 200);
    ASSERT_TRUE(page_->MouseWheel(10, 10, -WHEEL_DELTA));
    page_->Update();
    const Html::TextFragment& gamma = Element(L"third").Box().texts.at(0);
    int y = gamma.baseline - 4;
    ASSERT_GE(y, 0);
    ASSERT_LT(y, 40);
    Drag(gamma.x, y, gamma.x + gamma.width + 5, y);
    EXPECT_EQ(L"gamma", page_->SelectedText());
}

}  // namespace
