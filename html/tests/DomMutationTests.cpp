#include "html/tests/PageFixture.h"

#include <vector>

using HtmlTest::PageTest;

namespace {

class DomMutationTest : public PageTest {
protected:
    void Watch()
    {
        page_->SetInvalidateCallback([this](const Html::Rect& area) { damage_.push_back(area); });
        page_->SetChangeCallback([this]() { ++changes_; });
    }
    std::vector<Html::Rect> damage_;
    int changes_ = 0;
};

const char kPage[] =
    "body{margin:0;font-family:NanumGothic;font-size:12px} .row{height:20px} #panel{height:30px}";

TEST_F(DomMutationTest, InnerHtmlReplacedReflowsFollowingContent)
{
    LoadMarkup(HtmlTest::MakePage(kPage, "<div id=\"box\"><div class=\"row\"></div></div><div id=\"below\" class=\"row\"></div>"));
    Watch();
    ASSERT_TRUE(Element(L"box").SetInnerHtml(L"<div class=\"row\"></div><div class=\"row\" id=\"added\"></div>"));
    EXPECT_EQ(1, changes_);
    page_->Update();
    EXPECT_EQ(20, Box(L"added").y);
    EXPECT_EQ(40, Box(L"below").y);
    ASSERT_EQ(1u, damage_.size());
    EXPECT_EQ(0, damage_[0].y);
    EXPECT_EQ(60, damage_[0].Bottom());
}

TEST_F(DomMutationTest, EscapedTextSetAsInnerHtmlStaysOneTextOfTheSameCharacters)
{
    LoadMarkup(HtmlTest::MakePage(kPage, "<div id=\"box\"></div><div id=\"titled\"></div>"));
    const std::wstring text = L"<b>x</b> & <img src=\"y\" /> &amp;";
    ASSERT_TRUE(Element(L"box").SetInnerHtml(L"<span>" + Html::EscapeMarkup(text) + L"</span>"));
    Html::Node& span = *Element(L"box").Children()[0];
    ASSERT_EQ(1u, span.Children().size());
    EXPECT_TRUE(span.Children()[0]->IsText());
    EXPECT_EQ(text, span.InnerText());
    // In an attribute the quotes are escaped too.
    ASSERT_TRUE(Element(L"titled").SetInnerHtml(L"<span title=\"" + Html::EscapeMarkup(text, true) + L"\"></span>"));
    EXPECT_EQ(text, Element(L"titled").Children()[0]->GetAttribute(L"title"));
}

TEST_F(DomMutationTest, DisplayToggleInvalidatesOnlyWhatMoved)
{
    LoadMarkup(HtmlTest::MakePage(kPage, "<div class=\"row\" id=\"top\"></div><div id=\"panel\"></div>"
                                         "<div class=\"row\" id=\"tail\"></div><div style=\"height:500px\"></div>"));
    Watch();
    Element(L"panel").SetStyleDisplay(L"none");
    EXPECT_EQ(L"none", Element(L"panel").StyleDisplay());
    page_->Update();
    EXPECT_FALSE(Element(L"panel").IsDisplayed());
    EXPECT_EQ(20, Box(L"tail").y);
    ASSERT_EQ(1u, damage_.size());
    EXPECT_EQ(20, damage_[0].y);      // the first row did not change
    EXPECT_LT(damage_[0].Bottom(), 600);

    damage_.clear();
    Element(L"panel").SetStyleDisplay(L"block");
    page_->Update();
    EXPECT_EQ(50, Box(L"tail").y);
    ASSERT_EQ(1u, damage_.size());
    EXPECT_EQ(20, damage_[0].y);
}

TEST_F(DomMutationTest, NothingChangedMeansNoRepaint)
{
    LoadMarkup(HtmlTest::MakePage(kPage, "<div id=\"a\" class=\"row\"></div>"));
    Watch();
    page_->Update();
    Element(L"a").SetAttribute(L"class", L"row");
    page_->Update();
    EXPECT_TRUE(damage_.empty());
    EXPECT_EQ(0, changes_);
}

TEST_F(DomMutationTest, AppendsTableRowsAndCells)
{
    LoadMarkup(HtmlTest::MakePage(kPage, "<table id=\"t\" cellspacing=\"0\" cellpadding=\"0\"><tbody></tbody></table>"));
    Html::Node& table = Element(L"t");
    for (int index = 0; index < 3; ++index) {
        Html::Node* row = table.AppendTableRow();
        Html::Node* cell = row->AppendTableCell();
        cell->SetId(L"cell" + std::to_wstring(index));
        ASSERT_TRUE(cell->SetInnerHtml(L"<div style=\"width:30px;height:10px\"></div>"));
    }
    EXPECT_EQ(L"tbody", Element(L"cell0").Parent()->Parent()->Tag());
    EXPECT_EQ(20, Box(L"cell2").y);
    EXPECT_EQ(30, Box(L"t").height);
}

TEST_F(DomMutationTest, InnerTextAndValueAndTextEdit)
{
    LoadMarkup(HtmlTest::MakePage(kPage, "<span id=\"s\">old</span><input type=\"text\" id=\"i\" value=\"v\" />"
                                         "<input type=\"checkbox\" id=\"c\" />"));
    std::vector<std::wstring> moved;
    page_->SetValueCallback([&moved](Html::Node& node) { moved.push_back(node.Value()); });
    Element(L"s").SetInnerText(L"새 글");
    EXPECT_EQ(L"새 글", Element(L"s").InnerText());
    EXPECT_EQ(L"v", Element(L"i").Value());
    Element(L"i").SetValue(L"검색");
    EXPECT_EQ(L"검색", Element(L"i").Value());
    ASSERT_EQ(1u, moved.size());
    EXPECT_TRUE(Element(L"i").IsTextEdit());
    EXPECT_FALSE(Element(L"c").IsTextEdit());
    EXPECT_FALSE(Element(L"s").IsTextEdit());
    std::vector<Html::Node*> inputs = page_->TextInputs();
    ASSERT_EQ(1u, inputs.size());
    EXPECT_GT(inputs[0]->Box().border.width, 0);
}

TEST_F(DomMutationTest, RenamedIdIsFoundUnderItsNewName)
{
    LoadMarkup(HtmlTest::MakePage(kPage, "<img id=\"BtnNext\" class=\"arrow_right\" />"));
    Element(L"BtnNext").SetId(L"_BtnNext");
    EXPECT_EQ(nullptr, page_->GetElementById(L"BtnNext"));
    EXPECT_NE(nullptr, page_->GetElementById(L"_BtnNext"));
}

TEST_F(DomMutationTest, ImageSourceChangeRepaintsTheImage)
{
    LoadFixture(L"images.xhtml");
    Watch();
    Element(L"natural").SetAttribute(L"src", L"images/arrow_left_ov.gif");
    page_->Update();
    ASSERT_EQ(1u, damage_.size());
    EXPECT_EQ(Box(L"natural"), damage_[0]);
}

}  // namespace
