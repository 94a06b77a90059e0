#include "html/tests/PageFixture.h"

#include "html/CssParser.h"
#include "html/StyleResolver.h"

using HtmlTest::PageTest;

namespace {

class StyleTest : public PageTest {
protected:
    const Html::ComputedStyle& StyleOf(const std::wstring& id)
    {
        page_->Update();
        return Element(id).Style();
    }
};

TEST_F(StyleTest, SpecificityThenOrderDecide)
{
    LoadMarkup(HtmlTest::MakePage(
        "#x { color: #010101 } div.a { color: #020202 } div { color: #030303 }"
        " .a.b { width: 10px } .b { width: 20px } .c { width: 30px } .d { width: 40px }",
        "<div id=\"x\" class=\"a\">t</div><div id=\"y\" class=\"a b\"></div><div id=\"z\" class=\"c d\"></div>"));
    EXPECT_EQ(RGB(1, 1, 1), StyleOf(L"x").color.rgb);
    EXPECT_EQ(10, StyleOf(L"y").width.value);
    EXPECT_EQ(40, StyleOf(L"z").width.value);  // equal specificity: the later rule
}

TEST_F(StyleTest, InlineStyleBeatsSheetsButNotImportant)
{
    LoadMarkup(HtmlTest::MakePage("#a { height: 5px } #b { height: 6px !important }",
                                  "<div id=\"a\" style=\"height: 7px\"></div><div id=\"b\" style=\"height: 8px\"></div>"));
    EXPECT_EQ(7, StyleOf(L"a").height.value);
    EXPECT_EQ(6, StyleOf(L"b").height.value);
}

TEST_F(StyleTest, DescendantChildAndGroupedSelectors)
{
    LoadMarkup(HtmlTest::MakePage(
        "ul li span { width: 1px } div > span { width: 2px } p, em { width: 3px } :hover { width: 9px }",
        "<ul><li><b><span id=\"deep\"></span></b></li></ul><div><span id=\"child\"></span>"
        "<b><span id=\"grand\"></span></b></div><p id=\"p\"></p><em id=\"em\"></em>"));
    EXPECT_EQ(1, StyleOf(L"deep").width.value);
    EXPECT_EQ(2, StyleOf(L"child").width.value);
    EXPECT_TRUE(StyleOf(L"grand").width.IsAuto());
    EXPECT_EQ(3, StyleOf(L"p").width.value);
    EXPECT_EQ(3, StyleOf(L"em").width.value);
}

TEST_F(StyleTest, InheritsTextPropertiesOnly)
{
    LoadMarkup(HtmlTest::MakePage(
        "#outer { color: red; font-family: Dotum; font-size: 20px; font-weight: bold; text-align: center;"
        " border: 2px solid blue; background: #00ff00; width: 100px; bogus-property: 1 }",
        "<div id=\"outer\"><span id=\"inner\" style=\"font-size: 0.5em\">x</span></div>"));
    const Html::ComputedStyle& inner = StyleOf(L"inner");
    EXPECT_EQ(RGB(255, 0, 0), inner.color.rgb);
    EXPECT_EQ(L"Dotum", inner.fontFamily);
    EXPECT_EQ(10, inner.fontSize);
    EXPECT_EQ(700, inner.fontWeight);
    EXPECT_EQ(Html::TextAlign::Center, inner.textAlign);
    EXPECT_EQ(0, inner.border[0].UsedWidth());
    EXPECT_TRUE(inner.backgroundColor.transparent);
    EXPECT_EQ(2, StyleOf(L"outer").border[3].UsedWidth());
    EXPECT_EQ(RGB(0, 0, 255), StyleOf(L"outer").border[3].color.rgb);
}

TEST_F(StyleTest, LegacyAttributesActAsLowPriorityStyle)
{
    LoadMarkup(HtmlTest::MakePage(
        "td.styled { background-color: #123456 }",
        "<table id=\"t\" width=\"50%\" cellpadding=\"6\" cellspacing=\"3\" align=\"center\"><tr valign=\"top\">"
        "<td id=\"c\" bgcolor=\"#ff0000\" align=\"right\" width=\"40\">x</td>"
        "<td id=\"s\" class=\"styled\" bgcolor=\"#ff0000\" nowrap=\"nowrap\">y</td></tr></table>"));
    const Html::ComputedStyle& table = StyleOf(L"t");
    EXPECT_TRUE(table.width.IsPercent());
    EXPECT_EQ(3, table.borderSpacing);
    EXPECT_TRUE(table.margin[1].IsAuto());
    const Html::ComputedStyle& cell = StyleOf(L"c");
    EXPECT_EQ(RGB(255, 0, 0), cell.backgroundColor.rgb);
    EXPECT_EQ(Html::TextAlign::Right, cell.textAlign);
    EXPECT_EQ(Html::VerticalAlign::Top, cell.verticalAlign);
    EXPECT_EQ(6, cell.padding[3].value);
    EXPECT_EQ(40, cell.width.value);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), StyleOf(L"s").backgroundColor.rgb);
    EXPECT_EQ(Html::WhiteSpace::NoWrap, StyleOf(L"s").whiteSpace);
}

TEST_F(StyleTest, ShorthandsExpand)
{
    LoadMarkup(HtmlTest::MakePage(
        "#a { margin: 1px 2px 3px; padding: 4px 5px; border-top: 3px dashed #111; font: italic bold 13px/20px Gulim;"
        " background: #abcdef url(images/x.gif) no-repeat right bottom }",
        "<div id=\"a\"></div>"));
    const Html::ComputedStyle& style = StyleOf(L"a");
    EXPECT_EQ(1, style.margin[0].value);
    EXPECT_EQ(2, style.margin[1].value);
    EXPECT_EQ(3, style.margin[2].value);
    EXPECT_EQ(2, style.margin[3].value);
    EXPECT_EQ(5, style.padding[3].value);
    EXPECT_EQ(3, style.border[0].UsedWidth());
    EXPECT_EQ(0, style.border[1].UsedWidth());
    EXPECT_TRUE(style.italic);
    EXPECT_EQ(700, style.fontWeight);
    EXPECT_EQ(13, style.fontSize);
    EXPECT_EQ(20, style.lineHeight.value);
    EXPECT_EQ(L"Gulim", style.fontFamily);
    EXPECT_EQ(L"images/x.gif", style.backgroundImage);
    EXPECT_EQ(Html::BackgroundRepeat::NoRepeat, style.backgroundRepeat);
    EXPECT_EQ(100, style.backgroundX.value);
    EXPECT_EQ(100, style.backgroundY.value);
}

TEST(CssParserTest, SkipsAtRulesCommentsAndUnsupportedSelectors)
{
    Html::StyleSheet sheet;
    Html::CssParser::Parse(L"@charset \"utf-8\"; /* note { } */ @media print { p { color: red } }"
                           L" a[href] { color: blue } p { color: green } a:link, b { color: black }",
                           L"css/style.css", sheet);
    ASSERT_EQ(3u, sheet.Rules().size());
    EXPECT_EQ(L"green", sheet.Rules()[0].declarations[0].value);
}

TEST(CssParserTest, ResolvesUrlsAgainstTheSheet)
{
    auto declarations = Html::CssParser::ParseDeclarations(L"background-image: url('../images/bg.gif')",
                                                           L"css/style.css");
    ASSERT_EQ(1u, declarations.size());
    EXPECT_EQ(L"images/bg.gif", Html::UrlOf(declarations[0].value));
}

TEST(CssValueTest, ParsesColoursAndLengths)
{
    Html::Color color;
    EXPECT_TRUE(Html::ParseColor(L"#abc", color));
    EXPECT_EQ(RGB(0xAA, 0xBB, 0xCC), color.rgb);
    EXPECT_TRUE(Html::ParseColor(L"rgb(1, 2, 3)", color));
    EXPECT_EQ(RGB(1, 2, 3), color.rgb);
    EXPECT_FALSE(Html::ParseColor(L"#12345", color));
    EXPECT_FALSE(Html::ParseColor(L"notacolour", color));
    Html::Length length;
    EXPECT_TRUE(Html::ParseLength(L"1.5em", 12, length));
    EXPECT_EQ(18, length.Resolve(0));
    EXPECT_TRUE(Html::ParseLength(L"12pt", 12, length));
    EXPECT_EQ(16, length.Resolve(0));
    EXPECT_FALSE(Html::ParseLength(L"12furlongs", 12, length));
}

}  // namespace
