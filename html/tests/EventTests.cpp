#include "html/tests/PageFixture.h"

#include <string>
#include <vector>

using HtmlTest::PageTest;

namespace {

class EventTest : public PageTest {
protected:
    void LoadButtons()
    {
        page_->Scripts().Register(L"_button_onmouseover", [this](const std::vector<std::wstring>& args) {
            calls_.push_back(L"over:" + (args.empty() ? std::wstring() : args[0]));
        });
        page_->Scripts().Register(L"_button_onmouseout", [this](const std::vector<std::wstring>& args) {
            calls_.push_back(L"out:" + (args.empty() ? std::wstring() : args[0]));
        });
        page_->Scripts().Register(L"on_switch", [this](const std::vector<std::wstring>& args) {
            calls_.push_back(L"switch:" + args.at(0));
        });
        page_->Scripts().Register(L"note", [this](const std::vector<std::wstring>& args) {
            calls_.push_back(L"note:" + args.at(0));
        });
        LoadMarkup(HtmlTest::MakePage(
            "body{margin:0} img{display:block} .header{height:30px} #text{height:20px}",
            "<div id=\"outer\" onclick=\"note('outer')\" onmouseover=\"note(this.id)\">"
            "<img id=\"BtnNext\" class=\"arrow_right\" style=\"width:20px;height:20px\""
            " onmouseover=\"_button_onmouseover(this.id)\" onmouseout=\"_button_onmouseout(this.id)\""
            " onclick=\"on_switch(2); note(&quot;img&quot;)\" /></div>"
            "<div id=\"text\" onselectstart=\"return false\">text</div>"
            "<div id=\"free\" style=\"height:20px\">free</div>"
            "<div id=\"head\" class=\"header\"></div>"));
    }
    std::vector<std::wstring> calls_;
};

TEST_F(EventTest, MouseOverRunsHandlersWithThisIdAndBubbles)
{
    LoadButtons();
    page_->Events().MouseMove(5, 5);
    ASSERT_EQ(2u, calls_.size());
    EXPECT_EQ(L"over:BtnNext", calls_[0]);
    EXPECT_EQ(L"note:outer", calls_[1]);
    calls_.clear();
    page_->Events().MouseMove(6, 6);
    EXPECT_TRUE(calls_.empty());  // same element: no new over
    page_->Events().MouseMove(5, 25);
    ASSERT_FALSE(calls_.empty());
    EXPECT_EQ(L"out:BtnNext", calls_[0]);
}

TEST_F(EventTest, ClickRunsLiteralArgumentsInOrderThenBubbles)
{
    LoadButtons();
    page_->Events().MouseDown(5, 5);
    page_->Events().MouseUp(5, 5);
    ASSERT_EQ(3u, calls_.size());
    EXPECT_EQ(L"switch:2", calls_[0]);
    EXPECT_EQ(L"note:img", calls_[1]);
    EXPECT_EQ(L"note:outer", calls_[2]);
}

TEST_F(EventTest, HostListenerSeesEveryElementOnThePath)
{
    LoadButtons();
    std::vector<std::wstring> path;
    page_->Events().SetListener([&path](Html::Event& event) {
        if (event.type == Html::EventType::Click) path.push_back(event.current->Tag() + L"#" + event.current->Id());
    });
    page_->Events().MouseDown(5, 5);
    page_->Events().MouseUp(5, 5);
    ASSERT_EQ(4u, path.size());
    EXPECT_EQ(L"img#BtnNext", path[0]);
    EXPECT_EQ(L"div#outer", path[1]);
    EXPECT_EQ(L"body#", path[2]);
    EXPECT_EQ(L"html#", path[3]);
}

TEST_F(EventTest, ReleaseElsewhereClicksTheCommonAncestor)
{
    LoadButtons();
    std::vector<std::wstring> clicked;
    page_->Events().SetListener([&clicked](Html::Event& event) {
        if (event.type == Html::EventType::Click && event.current == event.target) clicked.push_back(event.target->Tag());
    });
    page_->Events().MouseDown(5, 5);
    page_->Events().MouseUp(5, 45);
    ASSERT_EQ(1u, clicked.size());
    EXPECT_EQ(L"body", clicked[0]);
}

TEST_F(EventTest, SelectStartCanBeCancelledByAttributeOrHost)
{
    LoadButtons();
    page_->Events().MouseDown(5, 25);
    page_->Events().MouseMove(40, 25);
    EXPECT_FALSE(page_->Events().IsSelecting());
    page_->Events().MouseUp(40, 25);

    page_->Events().MouseDown(5, 45);
    page_->Events().MouseMove(40, 45);
    EXPECT_TRUE(page_->Events().IsSelecting());
    page_->Events().MouseUp(40, 45);

    page_->Events().SetListener([](Html::Event& event) {
        if (event.type == Html::EventType::SelectStart) event.cancelled = true;
    });
    page_->Events().MouseDown(5, 45);
    page_->Events().MouseMove(40, 45);
    EXPECT_FALSE(page_->Events().IsSelecting());
}

TEST_F(EventTest, PressAndMoveOnImageStartsDragNotSelection)
{
    LoadButtons();
    std::vector<Html::EventType> seen;
    page_->Events().SetListener([&seen](Html::Event& event) {
        if (event.current == event.target) seen.push_back(event.type);
    });
    page_->Events().MouseDown(5, 5);
    page_->Events().MouseMove(15, 15);
    EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), Html::EventType::DragStart));
    EXPECT_EQ(seen.end(), std::find(seen.begin(), seen.end(), Html::EventType::SelectStart));
}

TEST_F(EventTest, RenamedButtonNoLongerMatchesItsId)
{
    LoadButtons();
    int clicks = 0;
    page_->Events().SetListener([&clicks](Html::Event& event) {
        if (event.type == Html::EventType::Click && event.current->Id() == L"BtnNext") ++clicks;
    });
    Element(L"BtnNext").SetId(L"_BtnNext");
    page_->Events().MouseDown(5, 5);
    page_->Events().MouseUp(5, 5);
    EXPECT_EQ(0, clicks);
    Element(L"_BtnNext").SetId(L"BtnNext");
    page_->Events().MouseDown(5, 5);
    page_->Events().MouseUp(5, 5);
    EXPECT_EQ(1, clicks);
}

TEST_F(EventTest, HandlerThatRemovesItsAncestorsEndsBubblingSafely)
{
    page_->Scripts().Register(L"wipe", [this](const std::vector<std::wstring>&) {
        page_->GetElementById(L"holder")->SetInnerHtml(L"<div id=\"fresh\" style=\"height:10px\"></div>");
    });
    LoadMarkup(HtmlTest::MakePage("body{margin:0}", "<div id=\"holder\"><div id=\"inner\" onclick=\"wipe()\">"
                                                    "<div id=\"leaf\" style=\"height:10px\"></div></div></div>"));
    int reached = 0;
    page_->Events().SetListener([&reached](Html::Event& event) {
        if (event.type == Html::EventType::Click) ++reached;
    });
    page_->Events().MouseMove(1, 1);
    page_->Events().MouseDown(1, 1);
    page_->Events().MouseUp(1, 1);
    EXPECT_EQ(4, reached);  // leaf before the handler ran; then holder, body, html, but not the removed inner
    EXPECT_NE(nullptr, page_->GetElementById(L"fresh"));
    EXPECT_EQ(page_->GetElementById(L"fresh"), page_->HitTest(1, 1));
    page_->Events().MouseMove(2, 2);
}

TEST_F(EventTest, CursorFollowsLinksAndStyle)
{
    LoadMarkup(HtmlTest::MakePage("body{margin:0} div{height:10px} .hand{cursor:pointer}",
                                  "<div class=\"hand\"></div><div><a href=\"#\">link</a></div><div></div>"));
    EXPECT_EQ(IDC_HAND, page_->CursorAt(1, 1));
    EXPECT_EQ(IDC_ARROW, page_->CursorAt(1, 25));
}

}  // namespace
