#include "html/tests/PageFixture.h"

using HtmlTest::PageTest;

namespace {

void ExpectBox(const Html::Rect& box, int x, int y, int width, int height)
{
    EXPECT_EQ(x, box.x);
    EXPECT_EQ(y, box.y);
    EXPECT_EQ(width, box.width);
    EXPECT_EQ(height, box.height);
}

// The boxes asserted here agree with those headless Chromium computes for the same fixtures.
class LayoutTest : public PageTest {};

TEST_F(LayoutTest, BlockFlowCollapsesMarginsAndCentres)
{
    LoadFixture(L"block_flow.xhtml");
    ExpectBox(Box(L"outer"), 10, 10, 414, 137);
    ExpectBox(Box(L"first"), 17, 25, 400, 20);
    ExpectBox(Box(L"second"), 17, 60, 400, 20);   // max(8, 15) between siblings
    ExpectBox(Box(L"centred"), 117, 88, 200, 10);  // 50% with auto margins
    ExpectBox(Box(L"wrapper"), 17, 118, 400, 10);  // the child's 20px margin passes through
    ExpectBox(Box(L"inner"), 17, 118, 400, 10);
    ExpectBox(Box(L"padded"), 17, 128, 400, 12);
    ExpectBox(Box(L"after"), 0, 157, 120, 30);
}

TEST_F(LayoutTest, WrapsLatinAtSpacesAndKoreanBetweenSyllables)
{
    LoadFixture(L"wrapping.xhtml");
    EXPECT_EQ(48, Box(L"latin").height);
    EXPECT_EQ(64, Box(L"korean").height);
    EXPECT_EQ(16, Box(L"nowrap").height);
    EXPECT_EQ(16, Box(L"single").height);
    EXPECT_EQ(32, Box(L"broken").height);
    Html::Rect word = Box(L"word");
    EXPECT_EQ(176, word.y);
    EXPECT_NEAR(40, word.x, 2);
}

TEST_F(LayoutTest, KoreanWithoutSpacesFillsEachLine)
{
    LoadMarkup(HtmlTest::MakePage("body{margin:0;font-family:NanumGothic;font-size:12px;line-height:15px}",
                                  "<div id=\"d\" style=\"width:60px\">가나다라마바사아자차카타파하</div>"));
    Html::Node& div = Element(L"d");
    page_->Update();
    const auto& texts = div.Box().texts;
    ASSERT_GE(texts.size(), 3u);
    int lines = Box(L"d").height / 15;
    EXPECT_GE(lines, 3);
    for (const auto& fragment : texts) EXPECT_LE(fragment.x + fragment.width, 60);
}

TEST_F(LayoutTest, TablesHonourCellPaddingSpacingColspanAndPercentages)
{
    LoadFixture(L"tables.xhtml");
    ExpectBox(Box(L"fixed"), 0, 0, 300, 72);
    ExpectBox(Box(L"a1"), 2, 2, 108, 28);
    ExpectBox(Box(L"a2"), 112, 2, 186, 28);
    ExpectBox(Box(L"b1"), 2, 32, 296, 38);
    ExpectBox(Box(L"row2"), 2, 32, 296, 38);
    ExpectBox(Box(L"p1"), 0, 72, 100, 20);
    ExpectBox(Box(L"p2"), 100, 72, 300, 20);
    ExpectBox(Box(L"auto"), 0, 92, 124, 42);
    ExpectBox(Box(L"lf1"), 0, 134, 60, 20);
    ExpectBox(Box(L"lf2"), 60, 134, 140, 20);
}

TEST_F(LayoutTest, CellsAlignTheirContentVertically)
{
    LoadFixture(L"tables.xhtml");
    EXPECT_EQ(154, Box(L"vt").y);
    EXPECT_EQ(174, Box(L"vm").y);
    EXPECT_EQ(194, Box(L"vb").y);
    EXPECT_EQ(50, Box(L"v1").height);
}

TEST_F(LayoutTest, AbsoluteBoxesUseTheirPositionedAncestor)
{
    LoadFixture(L"absolute.xhtml");
    ExpectBox(Box(L"frame"), 30, 25, 306, 206);
    ExpectBox(Box(L"topleft"), 43, 43, 50, 40);
    ExpectBox(Box(L"bottomright"), 298, 198, 30, 20);
    ExpectBox(Box(L"stretched"), 133, 88, 100, 14);
    ExpectBox(Box(L"page"), 500, 8, 40, 40);
    ExpectBox(Box(L"shifted"), 0, 253, 800, 10);
    ExpectBox(Box(L"next"), 0, 256, 800, 10);  // the relative offset leaves the flow alone
}

TEST_F(LayoutTest, ImagesTakeNaturalOrGivenSizes)
{
    LoadFixture(L"images.xhtml");
    ExpectBox(Box(L"natural"), 0, 0, 20, 16);
    ExpectBox(Box(L"given"), 0, 16, 80, 15);
    ExpectBox(Box(L"widthonly"), 0, 31, 20, 15);  // keeps the 40 x 30 ratio
    ExpectBox(Box(L"missing"), 0, 46, 12, 12);
    // Inline images sit on the baseline: bottoms aligned.
    EXPECT_EQ(Box(L"first").Bottom(), Box(L"second").Bottom());
    EXPECT_EQ(20, Box(L"second").x);
}

TEST_F(LayoutTest, DisplayNoneTakesNoSpaceAndVisibilityHiddenDoes)
{
    LoadFixture(L"display_none.xhtml");
    EXPECT_FALSE(Element(L"gone").IsDisplayed());
    EXPECT_FALSE(Element(L"child").IsDisplayed());
    EXPECT_FALSE(Element(L"inlinegone").IsDisplayed());
    EXPECT_EQ(10, Box(L"two").y);
    EXPECT_EQ(20, Box(L"invisible").y);
    EXPECT_EQ(30, Box(L"three").y);
}

TEST_F(LayoutTest, OverflowHiddenClipsHitTesting)
{
    LoadMarkup(HtmlTest::MakePage("body{margin:0} #clip{width:50px;height:50px;overflow:hidden}",
                                  "<div id=\"clip\"><div id=\"wide\" style=\"width:200px;height:10px\"></div></div>"));
    EXPECT_EQ(&Element(L"wide"), page_->HitTest(20, 5));
    EXPECT_NE(&Element(L"wide"), page_->HitTest(120, 5));
}

TEST_F(LayoutTest, TextMovesWithTheInlineBlockItIsIn)
{
    LoadMarkup(HtmlTest::MakePage("body{margin:0;font-size:12px} #top{height:50px}",
                                  "<div id=\"top\"></div><span id=\"ib\" style=\"display:inline-block;width:60px\">"
                                  "text</span>"));
    const Html::Node& text = *Element(L"ib").Children().at(0);
    EXPECT_GE(text.Box().border.y, Box(L"ib").y);
    EXPECT_EQ(&Element(L"top"), page_->HitTest(2, 5));  // nothing of the text stays behind at the origin
    EXPECT_EQ(&Element(L"ib"), page_->HitTest(2, Box(L"ib").y + 5));
}

TEST_F(LayoutTest, ViewportWidthReflowsPercentages)
{
    LoadMarkup(HtmlTest::MakePage("body{margin:0}", "<div id=\"half\" style=\"width:50%;height:5px\"></div>"));
    EXPECT_EQ(400, Box(L"half").width);
    page_->SetViewport(300, 200);
    EXPECT_EQ(150, Box(L"half").width);
}

}  // namespace

// Pages written the way others write them: a DOCTYPE, indentation, nested empty blocks.
TEST_F(LayoutTest, MarginsCollapseThroughParentsAndEmptyBlocksOnce)
{
    LoadFixture(L"margin_collapsing.xhtml");
    // The first child's 20px passes through body, after an absolute sibling, and counts once.
    ExpectBox(Box(L"first"), 0, 20, 800, 10);
    ExpectBox(Box(L"empty"), 0, 45, 800, 0);
    // 15 and 25 of the empty block, 5 and 30 of the nested ones, 12 and 18 of the relative one: one margin of 30.
    ExpectBox(Box(L"nested-outer"), 0, 60, 800, 0);
    ExpectBox(Box(L"relative"), 0, 60, 800, 0);
    ExpectBox(Box(L"after-empties"), 0, 60, 800, 10);
    // The last child's 40px leaves through its parent's bottom.
    ExpectBox(Box(L"following"), 0, 120, 800, 10);
    ExpectBox(Box(L"cell-block"), 0, 140, 100, 10);
    ExpectBox(Box(L"cell"), 0, 130, 100, 20);
}

TEST_F(LayoutTest, AbsoluteBoxesSolveAutoMarginsBetweenTheirOffsets)
{
    LoadFixture(L"absolute_margins.xhtml");
    ExpectBox(Box(L"centred"), 151, 1, 100, 20);
    ExpectBox(Box(L"left-auto"), 286, 31, 100, 20);
    ExpectBox(Box(L"right-auto"), 18, 61, 100, 20);
    ExpectBox(Box(L"over"), 1, 91, 500, 20);  // too wide: the start margin stays 0
    ExpectBox(Box(L"middle"), 151, 131, 20, 40);
    ExpectBox(Box(L"bottom-auto"), 201, 247, 20, 40);
    ExpectBox(Box(L"both"), 171, 121, 60, 60);
    ExpectBox(Box(L"stretch"), 301, 11, 10, 270);
}

TEST_F(LayoutTest, AbsoluteUnitsAndInheritTakeEffect)
{
    LoadFixture(L"units_inherit.xhtml");
    ExpectBox(Box(L"inch"), 0, 0, 96, 48);
    ExpectBox(Box(L"cm"), 0, 48, 96, 38);
    ExpectBox(Box(L"pt"), 16, 86, 96, 96);
    ExpectBox(Box(L"inner"), 21, 195, 214, 64);
    ExpectBox(Box(L"inherited"), 0, 252, 300, 30);
}

TEST_F(LayoutTest, SpacesAtTheEndOfALineHang)
{
    LoadFixture(L"line_ends.xhtml");
    // "abc def" fits 42px only without its trailing space, also when an element starts the next word.
    EXPECT_EQ(17, Box(L"plain-next").y);
    ExpectBox(Box(L"abc"), 0, 37, 41, 14);
    EXPECT_EQ(53, Box(L"ghi").y);
    EXPECT_NEAR(1, Box(L"r-abc").x, 1);
    EXPECT_EQ(109, Box(L"c-words").y);
    EXPECT_EQ(14, Box(L"c-words").height);
    EXPECT_NEAR(58, Box(L"word").width, 1);  // the inline ends where its text does
}
