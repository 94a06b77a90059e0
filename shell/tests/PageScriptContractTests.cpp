#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "html/Node.h"
#include "html/Page.h"
#include "html/ResourceLoader.h"
#include "shell/PageScriptContract.h"

namespace {

const char kPage[] =
    "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><style type=\"text/css\">"
    "body { margin: 0 } img { width: 24px; height: 24px } .hidden { display: none }"
    "</style></head><body>"
    "<img id=\"BtnPrevious\" class=\"arrow_left\" src=\"images/arrow_left.gif\""
    " onmouseover=\"_button_onmouseover(this.id)\" onmouseout=\"_button_onmouseout(this.id)\""
    " onmousedown=\"_button_onmousedown(this.id)\" onmouseup=\"_button_onmouseup(this.id)\" />"
    "<img id=\"BtnNext\" class=\"arrow_right\" src=\"images/arrow_right.gif\" />"
    "<img id=\"Plain\" src=\"images/other.gif\" />"
    "<div id=\"layer\" style=\"height: 10px\">A</div>"
    "<div id=\"sheetHidden\" class=\"hidden\">B</div>"
    "</body></html>";

class NoResources : public Html::ResourceLoader {
public:
    bool Load(const std::wstring&, std::string&) override { return false; }
};

// A page with the contract registered, as every dialog of the suite has it.
class PageScriptContractTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        page_ = std::make_unique<Html::Page>();
        Shell::RegisterPageScriptContract(*page_);
        try {
            page_->Load(kPage, std::make_unique<NoResources>());
        } catch (System::Exception* error) {
            std::wstring message = error->ToString().GetStdString();
            delete error;
            FAIL() << std::string(message.begin(), message.end());
        }
        page_->SetViewport(400, 300);
        page_->Update();
    }
    void TearDown() override
    {
        page_.reset();
        if (com_) CoUninitialize();
    }

    bool Call(const std::wstring& function, const std::wstring& argument)
    {
        return page_->CallScript(function, {argument});
    }
    std::wstring Src(const std::wstring& id)
    {
        Html::Node* node = page_->GetElementById(id);
        return node ? node->GetAttribute(L"src") : L"(no element " + id + L")";
    }
    bool Exists(const std::wstring& id) { return page_->GetElementById(id) != nullptr; }

    std::unique_ptr<Html::Page> page_;

private:
    bool com_ = false;
};

TEST_F(PageScriptContractTest, DisableRenamesTheButtonAndShowsTheDisabledImage)
{
    EXPECT_TRUE(Call(L"disable_button", L"BtnNext"));
    EXPECT_FALSE(Exists(L"BtnNext"));
    EXPECT_EQ(L"images/arrow_right_dis.gif", Src(L"_BtnNext"));
    EXPECT_EQ(L"arrow_right", page_->GetElementById(L"_BtnNext")->ClassName());
}

TEST_F(PageScriptContractTest, EnableRestoresIdAndNormalImage)
{
    Call(L"disable_button", L"BtnNext");
    EXPECT_TRUE(Call(L"enable_button", L"BtnNext"));
    EXPECT_FALSE(Exists(L"_BtnNext"));
    EXPECT_EQ(L"images/arrow_right.gif", Src(L"BtnNext"));
}

TEST_F(PageScriptContractTest, EnablingAnEnabledOrDisablingADisabledButtonChangesNothing)
{
    Call(L"_button_onmouseover", L"BtnNext");
    Call(L"enable_button", L"BtnNext");
    EXPECT_EQ(L"images/arrow_right_ov.gif", Src(L"BtnNext"));
    EXPECT_FALSE(Exists(L"_BtnNext"));

    Call(L"disable_button", L"BtnNext");
    Call(L"disable_button", L"BtnNext");
    EXPECT_EQ(L"images/arrow_right_dis.gif", Src(L"_BtnNext"));
    EXPECT_FALSE(Exists(L"__BtnNext"));
    Call(L"enable_button", L"BtnNext");
    EXPECT_EQ(L"images/arrow_right.gif", Src(L"BtnNext"));
}

TEST_F(PageScriptContractTest, MissingElementsAndMissingArgumentsDoNothing)
{
    std::wstring before = page_->GetDocument().Root()->OuterHtml();
    for (const wchar_t* name : {L"enable_button", L"disable_button", L"_button_onmouseover", L"_button_onmouseout",
                                L"_button_onmousedown", L"_button_onmouseup", L"layer_toggle"}) {
        EXPECT_TRUE(Call(name, L"BtnNowhere"));
        EXPECT_TRUE(page_->CallScript(name, {}));
    }
    EXPECT_EQ(before, page_->GetDocument().Root()->OuterHtml());
}

TEST_F(PageScriptContractTest, MouseFunctionsShowTheImageOfEachState)
{
    Call(L"_button_onmouseover", L"BtnPrevious");
    EXPECT_EQ(L"images/arrow_left_ov.gif", Src(L"BtnPrevious"));
    Call(L"_button_onmousedown", L"BtnPrevious");
    EXPECT_EQ(L"images/arrow_left_dn.gif", Src(L"BtnPrevious"));
    Call(L"_button_onmouseup", L"BtnPrevious");
    EXPECT_EQ(L"images/arrow_left_ov.gif", Src(L"BtnPrevious"));
    Call(L"_button_onmouseout", L"BtnPrevious");
    EXPECT_EQ(L"images/arrow_left.gif", Src(L"BtnPrevious"));
    EXPECT_TRUE(Exists(L"BtnPrevious"));
}

TEST_F(PageScriptContractTest, PointerOverTheButtonRunsItsMouseAttributes)
{
    page_->MouseMove(5, 5);
    EXPECT_EQ(L"images/arrow_left_ov.gif", Src(L"BtnPrevious"));
    page_->MouseDown(5, 5);
    EXPECT_EQ(L"images/arrow_left_dn.gif", Src(L"BtnPrevious"));
    page_->MouseUp(5, 5);
    EXPECT_EQ(L"images/arrow_left_ov.gif", Src(L"BtnPrevious"));
    page_->MouseMove(300, 250);
    EXPECT_EQ(L"images/arrow_left.gif", Src(L"BtnPrevious"));
}

TEST_F(PageScriptContractTest, DisabledButtonKeepsItsImageUnderThePointer)
{
    Call(L"disable_button", L"BtnPrevious");
    page_->MouseMove(5, 5);
    page_->MouseDown(5, 5);
    page_->MouseUp(5, 5);
    EXPECT_EQ(L"images/arrow_left_dis.gif", Src(L"_BtnPrevious"));
    page_->MouseMove(300, 250);
    EXPECT_EQ(L"images/arrow_left_dis.gif", Src(L"_BtnPrevious"));

    Call(L"enable_button", L"BtnPrevious");
    page_->MouseMove(5, 5);
    EXPECT_EQ(L"images/arrow_left_ov.gif", Src(L"BtnPrevious"));
}

TEST_F(PageScriptContractTest, ButtonWithoutClassIsRenamedButKeepsItsImage)
{
    Call(L"disable_button", L"Plain");
    EXPECT_EQ(L"images/other.gif", Src(L"_Plain"));
    Call(L"_button_onmouseover", L"_Plain");
    EXPECT_EQ(L"images/other.gif", Src(L"_Plain"));
    Call(L"enable_button", L"Plain");
    EXPECT_EQ(L"images/other.gif", Src(L"Plain"));
}

TEST_F(PageScriptContractTest, LayerToggleSwitchesBetweenNoneAndBlock)
{
    Html::Node* layer = page_->GetElementById(L"layer");
    Call(L"layer_toggle", L"layer");
    EXPECT_EQ(L"none", layer->StyleDisplay());
    page_->Update();
    EXPECT_FALSE(layer->IsDisplayed());
    Call(L"layer_toggle", L"layer");
    EXPECT_EQ(L"block", layer->StyleDisplay());
    page_->Update();
    EXPECT_TRUE(layer->IsDisplayed());
    EXPECT_EQ(L"10px", layer->GetStyleProperty(L"height"));
}

TEST_F(PageScriptContractTest, LayerHiddenByTheStyleSheetIsShownByTheFirstToggle)
{
    Call(L"layer_toggle", L"sheetHidden");
    page_->Update();
    EXPECT_TRUE(page_->GetElementById(L"sheetHidden")->IsDisplayed());
}

TEST_F(PageScriptContractTest, PageFunctionsRegisteredLaterReplaceContractOnes)
{
    std::vector<std::wstring> seen;
    page_->Scripts().Register(L"enable_button", [&seen](const std::vector<std::wstring>& args) { seen = args; });
    Call(L"disable_button", L"BtnNext");
    Call(L"enable_button", L"BtnNext");
    EXPECT_EQ(std::vector<std::wstring>{L"BtnNext"}, seen);
    EXPECT_TRUE(Exists(L"_BtnNext"));
}

TEST(PageScriptContractRegistrationTest, KeepsThePagesOwnVersionRegisteredBefore)
{
    Html::Page page;
    int calls = 0;
    page.Scripts().Register(L"layer_toggle", [&calls](const std::vector<std::wstring>&) { ++calls; });
    Shell::RegisterPageScriptContract(page);
    page.Scripts().Call(L"layer_toggle", {L"layer"});
    EXPECT_EQ(1, calls);
    EXPECT_TRUE(page.Scripts().Has(L"enable_button"));
}

// Every image set the shared style sheet names is in the module's resources, and decodes.
TEST(ShellAssetsTest, ModuleCarriesTheSharedStyleSheetAndEveryImageSet)
{
    Html::ModuleResourceLoader loader(GetModuleHandleW(nullptr));
    std::string bytes;
    ASSERT_TRUE(loader.Load(L"css/shell.css", bytes));
    EXPECT_NE(std::string::npos, bytes.find(".header"));
    for (const wchar_t* set : {L"arrow_left", L"arrow_right", L"btn_min", L"btn_max", L"btn_normal", L"btn_close",
                               L"btn_menu"}) {
        for (auto state : {Shell::ButtonImage::Normal, Shell::ButtonImage::Over, Shell::ButtonImage::Down,
                           Shell::ButtonImage::Disabled}) {
            std::wstring path = Shell::ButtonImagePath(set, state);
            EXPECT_TRUE(loader.Load(path, bytes) && bytes.compare(0, 6, "GIF89a") == 0)
                << std::string(path.begin(), path.end());
        }
    }
    EXPECT_TRUE(loader.Load(L"images/header_bg.gif", bytes));
    EXPECT_TRUE(loader.Load(L"images/separator.gif", bytes));
}

TEST(ShellAssetsTest, HeaderBandOfASharedPageIsTwentyNinePixelsHighWithItsButtons)
{
    bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        Html::Page page;
        Shell::RegisterPageScriptContract(page);
        std::string markup =
            "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head>"
            "<link rel=\"stylesheet\" type=\"text/css\" href=\"css/shell.css\" /></head><body>"
            "<div class=\"header\" id=\"band\">"
            "<img id=\"BtnPrevious\" class=\"arrow_left\" src=\"images/arrow_left.gif\" />"
            "<span class=\"title\">제목</span>"
            "<div class=\"window_buttons\"><img id=\"BtnClose\" class=\"btn_close\" src=\"images/btn_close.gif\" /></div>"
            "</div></body></html>";
        page.Load(markup, std::make_unique<Html::ModuleResourceLoader>(GetModuleHandleW(nullptr)));
        page.SetViewport(300, 200);
        page.Update();
        Html::Rect band = page.GetElementById(L"band")->Box().border;
        Html::Rect arrow = page.GetElementById(L"BtnPrevious")->Box().border;
        Html::Rect close = page.GetElementById(L"BtnClose")->Box().border;
        EXPECT_EQ(29, band.height);
        EXPECT_EQ(24, arrow.height);
        EXPECT_GE(arrow.y, band.y);
        EXPECT_LE(arrow.Bottom(), band.Bottom());
        EXPECT_EQ(18, close.height);
        EXPECT_EQ(300 - 4, close.Right());
        EXPECT_GE(close.y, band.y);
        EXPECT_LE(close.Bottom(), band.Bottom());
        EXPECT_EQ(IDC_HAND, page.CursorAt(arrow.x + 2, arrow.y + 2));
    }
    if (com) CoUninitialize();
}

}  // namespace
