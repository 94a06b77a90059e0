#include "html/tests/PageFixture.h"

#include "html/ScriptRegistry.h"

using HtmlTest::PageTest;

namespace {

class ScriptTest : public PageTest {};

TEST_F(ScriptTest, ParsesLiteralsAndThisArguments)
{
    LoadMarkup(HtmlTest::MakePage("", "<img id=\"me\" class=\"arrow_left\" />"));
    Html::Node& self = Element(L"me");
    std::wstring name;
    std::vector<std::wstring> args;
    ASSERT_TRUE(Html::ScriptRegistry::ParseCall(L" f ( 'a,b' , \"c\\\"d\", -2.5, this.id, this.className, true ) ",
                                                self, name, args));
    EXPECT_EQ(L"f", name);
    ASSERT_EQ(6u, args.size());
    EXPECT_EQ(L"a,b", args[0]);
    EXPECT_EQ(L"c\"d", args[1]);
    EXPECT_EQ(L"-2.5", args[2]);
    EXPECT_EQ(L"me", args[3]);
    EXPECT_EQ(L"arrow_left", args[4]);
    EXPECT_EQ(L"true", args[5]);
    ASSERT_TRUE(Html::ScriptRegistry::ParseCall(L"g()", self, name, args));
    EXPECT_TRUE(args.empty());
    EXPECT_FALSE(Html::ScriptRegistry::ParseCall(L"h(document.body)", self, name, args));
    EXPECT_FALSE(Html::ScriptRegistry::ParseCall(L"alert('x'", self, name, args));
    EXPECT_FALSE(Html::ScriptRegistry::ParseCall(L"a.b()", self, name, args));
}

TEST_F(ScriptTest, CallScriptNeedsLoadedPageAndRegisteredFunction)
{
    std::vector<std::wstring> received;
    page_->Scripts().Register(L"enable_button", [&received](const std::vector<std::wstring>& args) { received = args; });
    EXPECT_FALSE(page_->CallScript(L"enable_button", {L"BtnNext"}));  // not loaded yet
    LoadMarkup(HtmlTest::MakePage("", "<div></div>"));
    EXPECT_TRUE(page_->CallScript(L"enable_button", {L"BtnNext", L"x"}));
    EXPECT_EQ((std::vector<std::wstring>{L"BtnNext", L"x"}), received);
    EXPECT_FALSE(page_->CallScript(L"clear_section", {}));
}

TEST_F(ScriptTest, HandlerStopsAtUnknownFunctionAndReportsCancel)
{
    LoadMarkup(HtmlTest::MakePage("", "<div id=\"d\"></div>"));
    int calls = 0;
    page_->Scripts().Register(L"count", [&calls](const std::vector<std::wstring>&) { ++calls; });
    bool cancel = false;
    EXPECT_TRUE(page_->Scripts().RunHandler(L"count(); return false;", Element(L"d"), cancel));
    EXPECT_TRUE(cancel);
    EXPECT_EQ(1, calls);
    cancel = false;
    EXPECT_FALSE(page_->Scripts().RunHandler(L"count(); missing(1); count()", Element(L"d"), cancel));
    EXPECT_EQ(2, calls);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(page_->Scripts().RunHandler(L"javascript:count()", Element(L"d"), cancel));
    EXPECT_EQ(3, calls);
}

TEST_F(ScriptTest, LayerToggleWrittenInCppSwitchesDisplay)
{
    page_->Scripts().Register(L"layer_toggle", [this](const std::vector<std::wstring>& args) {
        Html::Node* node = page_->GetElementById(args.at(0));
        if (node) node->SetStyleDisplay(node->StyleDisplay() == L"none" ? L"block" : L"none");
    });
    LoadMarkup(HtmlTest::MakePage("body{margin:0}", "<div id=\"BtnMax\" style=\"height:5px\" onclick=\"layer_toggle('BtnMax')\"></div>"));
    page_->Events().MouseDown(1, 1);
    page_->Events().MouseUp(1, 1);
    page_->Update();
    EXPECT_FALSE(Element(L"BtnMax").IsDisplayed());
}

}  // namespace
