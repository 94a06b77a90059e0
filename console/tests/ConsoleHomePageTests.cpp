#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "console/HomePageScript.h"
#include "console/res/resource.h"
#include "core/Exception.h"
#include "html/Node.h"
#include "html/Page.h"

namespace {

using Html::Node;

void CollectById(Node& node, const std::wstring& id, std::vector<Node*>& found)
{
    if (node.IsElement() && node.Id() == id) found.push_back(&node);
    for (const auto& child : node.Children()) CollectById(*child, id, found);
}

// The home page of the program's resources, with its functions registered.
class HomePageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        page_ = std::make_unique<Html::Page>();
        try {
            page_->LoadFromResource(GetModuleHandleW(nullptr), IDR_HOME_PAGE);
        } catch (System::Exception* error) {
            std::unique_ptr<System::Exception> owned(error);
            FAIL() << "the home page does not load";
        }
        RegisterHomePageScript(*page_);
        page_->SetViewport(560, 400);
    }
    void TearDown() override
    {
        page_.reset();
        if (com_) CoUninitialize();
    }

    bool Call(const std::wstring& name, const std::vector<std::wstring>& arguments)
    {
        return page_->CallScript(name, arguments);
    }
    std::vector<Node*> All(const std::wstring& id)
    {
        std::vector<Node*> found;
        CollectById(*page_->GetDocument().Root(), id, found);
        return found;
    }
    Node* Section(const std::wstring& id) { return page_->GetElementById(L"section_" + id); }
    // The cell of the outer table that holds a section.
    static Node* SectionCell(Node* section) { return section->Parent(); }
    static Node* SectionRow(Node* section) { return section->Parent()->Parent(); }

    std::unique_ptr<Html::Page> page_;

private:
    bool com_ = false;
};

TEST_F(HomePageTest, FirstSectionStartsTheTableAndLaterOnesGetALineAndTheGreyBand)
{
    ASSERT_TRUE(Call(L"add_section", {L"00", L"시스템 관리"}));
    ASSERT_TRUE(Call(L"add_section", {L"01", L"인터넷"}));
    ASSERT_TRUE(Call(L"add_section", {L"02", L"기타"}));

    Node* first = Section(L"00");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Tag(), L"table");
    EXPECT_EQ(first->InnerText().find(L"시스템 관리"), 0u) << "the name is the section's first line";
    EXPECT_EQ(SectionCell(first)->GetStyleProperty(L"background-image"), L"");

    Node* second = Section(L"01");
    Node* third = Section(L"02");
    ASSERT_NE(second, nullptr);
    ASSERT_NE(third, nullptr);
    const auto& rows = SectionRow(first)->Parent()->Children();
    ASSERT_EQ(rows.size(), 5u) << "three sections and a line before each but the first";
    EXPECT_EQ(rows[0].get(), SectionRow(first));
    EXPECT_TRUE(rows[1]->HasClass(L"section_line"));
    EXPECT_EQ(rows[2].get(), SectionRow(second));
    EXPECT_TRUE(rows[3]->HasClass(L"section_line"));
    EXPECT_EQ(rows[4].get(), SectionRow(third));
    EXPECT_EQ(rows[1]->Children()[0]->GetStyleProperty(L"background-image"), L"url(images/bg_line.gif)");
    EXPECT_EQ(SectionCell(second)->GetStyleProperty(L"background-image"), L"url(images/bg_gray.gif)");
    EXPECT_EQ(SectionCell(third)->GetStyleProperty(L"background-image"), L"url(images/bg_gray.gif)");
}

TEST_F(HomePageTest, AddingAnExistingSectionChangesNothing)
{
    Call(L"add_section", {L"00", L"시스템 관리"});
    std::wstring before = page_->GetElementById(L"section")->OuterHtml();
    Call(L"add_section", {L"00", L"다른 이름"});
    EXPECT_EQ(page_->GetElementById(L"section")->OuterHtml(), before);
}

TEST_F(HomePageTest, ToolsAppearInTheirSectionInTheOrderAdded)
{
    Call(L"add_section", {L"00", L"시스템 관리"});
    Call(L"add_section", {L"01", L"인터넷"});
    Call(L"add_addon", {L"00", L"03", L"PC 청소", L"흔적을 지웁니다", L"file://C:\\vt\\sweeper.png"});
    Call(L"add_addon", {L"01", L"05", L"ActiveX", L"컨트롤을 막습니다", L"file://C:\\vt\\activex.png"});
    Call(L"add_addon", {L"00", L"04", L"패치 관리", L"업데이트를 설치합니다", L"file://C:\\vt\\patch.png"});

    std::vector<Node*> icons = All(L"addon");
    ASSERT_EQ(icons.size(), 3u);
    EXPECT_EQ(icons[0]->ClassName(), L"03");
    EXPECT_EQ(icons[1]->ClassName(), L"04") << "the second tool of section 00 follows the first one";
    EXPECT_EQ(icons[2]->ClassName(), L"05");
    EXPECT_TRUE(Section(L"00")->IsInclusiveAncestorOf(icons[1]));
    EXPECT_TRUE(Section(L"01")->IsInclusiveAncestorOf(icons[2]));

    Node* icon = icons[1];
    EXPECT_EQ(icon->Tag(), L"img");
    EXPECT_EQ(icon->Parent()->Tag(), L"a");
    EXPECT_EQ(icon->GetAttribute(L"title"), L"업데이트를 설치합니다");
    EXPECT_EQ(icon->GetAttribute(L"src"), L"file://C:\\vt\\patch.png");
    EXPECT_EQ(icon->GetAttribute(L"width"), L"48");
    EXPECT_EQ(icon->GetAttribute(L"height"), L"48");
    Node* cell = icon->Parent()->Parent();
    EXPECT_EQ(cell->Tag(), L"td");
    EXPECT_EQ(cell->GetAttribute(L"width"), L"75");

    std::vector<Node*> labels = All(L"addon_link");
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[1]->Tag(), L"span");
    EXPECT_EQ(labels[1]->ClassName(), L"04");
    EXPECT_EQ(labels[1]->InnerText(), L"패치 관리");
    EXPECT_EQ(labels[1]->Parent(), cell) << "the name stands under the icon in the same cell";
}

TEST_F(HomePageTest, ToolOfAMissingSectionIsNotAdded)
{
    Call(L"add_section", {L"00", L"시스템 관리"});
    ASSERT_TRUE(Call(L"add_addon", {L"07", L"03", L"PC 청소", L"", L""}));
    EXPECT_TRUE(All(L"addon").empty());
    EXPECT_TRUE(All(L"addon_link").empty());
}

TEST_F(HomePageTest, CatalogueTextsNeverBecomeMarkup)
{
    Call(L"add_section", {L"00", L"<b id=\"evil\">굵게</b> & 보통"});
    Call(L"add_addon", {L"00", L"x\" onclick=\"y", L"<img id=\"evil2\"/>", L"\"인용\"", L"a.png"});
    EXPECT_EQ(page_->GetElementById(L"evil"), nullptr);
    EXPECT_EQ(page_->GetElementById(L"evil2"), nullptr);
    EXPECT_EQ(Section(L"00")->InnerText().find(L"<b id=\"evil\">굵게</b> & 보통"), 0u);
    std::vector<Node*> icons = All(L"addon");
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0]->ClassName(), L"x\" onclick=\"y");
    EXPECT_FALSE(icons[0]->HasAttribute(L"onclick"));
    EXPECT_EQ(All(L"addon_link")[0]->InnerText(), L"<img id=\"evil2\"/>");
}

TEST_F(HomePageTest, PageHasNoClearSectionFunction)
{
    EXPECT_FALSE(Call(L"clear_section", {}));
}

TEST_F(HomePageTest, SectionsFillExactlyTheConsolesHeight)
{
    for (int count = 1; count <= 4; ++count) {
        wchar_t id[8];
        swprintf(id, 8, L"%02d", count - 1);
        Call(L"add_section", {id, L"분류"});
        Call(L"add_addon", {id, std::wstring(L"t") + id, L"도구 이름", L"설명", L"missing.png"});
        page_->SetViewport(560, 100);
        EXPECT_EQ(page_->ContentHeight(), count * 117 + 74) << count << " sections";
        EXPECT_EQ(page_->GetElementById(L"section")->Box().border.Bottom(), count * 117 + 74);
    }
}

}  // namespace
