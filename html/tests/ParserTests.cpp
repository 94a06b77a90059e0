#include "html/tests/PageFixture.h"

#include "core/Exception.h"
#include "html/XhtmlParser.h"
#include "testing/LibraryAssertions.h"

using HtmlTest::PageTest;

namespace {

class ParserTest : public PageTest {};

TEST_F(ParserTest, BuildsTreeWithAttributesAndCharacterReferences)
{
    LoadMarkup(HtmlTest::MakePage("", "<p id=\"p\" class=\"a b\">A&#xAC00;&#44032;&amp;<b>bold</b></p>"));
    Html::Node& p = Element(L"p");
    EXPECT_EQ(L"p", p.Tag());
    EXPECT_EQ(L"a b", p.ClassName());
    EXPECT_TRUE(p.HasClass(L"b"));
    EXPECT_FALSE(p.HasClass(L"B"));
    EXPECT_EQ(L"A\xAC00\xAC00&bold", p.InnerText());
}

TEST_F(ParserTest, SkipsDocumentTypeAndRejectsInternalSubset)
{
    LoadMarkup("<?xml version=\"1.0\"?>\n<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
               "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n"
               "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><div id=\"d\">x</div></body></html>");
    EXPECT_EQ(L"x", Element(L"d").InnerText());
    // Without a declaration the type comes first, and what is left must not start with blanks.
    LoadMarkup("<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><div id=\"d\">y</div></body></html>");
    EXPECT_EQ(L"y", Element(L"d").InnerText());

    Html::Page page;
    std::string entityBomb = "<!DOCTYPE html [<!ENTITY a \"aaaa\">]><html><body>&a;</body></html>";
    TestSupport::ExpectThrows<System::FormatException>([&] {
        page.Load(entityBomb, std::make_unique<HtmlTest::MemoryResources>(std::map<std::wstring, std::string>{}));
    });
}

TEST_F(ParserTest, MalformedPageReportsLine)
{
    Html::Page page;
    try {
        page.Load("<html>\n<body>\n<div></span></body></html>",
                  std::make_unique<HtmlTest::MemoryResources>(std::map<std::wstring, std::string>{}));
        FAIL() << "no exception";
    } catch (System::FormatException* error) {
        std::wstring message = error->GetMessage().GetStdString();
        delete error;
        EXPECT_NE(std::wstring::npos, message.find(L"line 3")) << std::string(message.begin(), message.end());
    }
    EXPECT_FALSE(page.IsLoaded());
}

TEST_F(ParserTest, InnerHtmlAcceptsHtmlHabitsAndRoundTrips)
{
    LoadMarkup(HtmlTest::MakePage("", "<div id=\"d\">old</div>"));
    Html::Node& div = Element(L"d");
    ASSERT_TRUE(div.SetInnerHtml(L"<div class=\"head\">A&nbsp;B</div>1.1.1.1<br>2.2.2.2<BR/><img src=\"x.gif\">"));
    EXPECT_EQ(L"A\xA0" L"B1.1.1.1\r\n2.2.2.2\r\n", div.InnerText());
    EXPECT_EQ(L"<div class=\"head\">A\xA0" L"B</div>1.1.1.1<br />2.2.2.2<br /><img src=\"x.gif\" />", div.InnerHtml());
}

TEST_F(ParserTest, BrokenInnerHtmlLeavesChildrenUnchanged)
{
    LoadMarkup(HtmlTest::MakePage("", "<div id=\"d\"><b>kept</b></div>"));
    Html::Node& div = Element(L"d");
    EXPECT_FALSE(div.SetInnerHtml(L"<b>open <i>crossed</b></i>"));
    EXPECT_EQ(L"<b>kept</b>", div.InnerHtml());
}

TEST_F(ParserTest, SerialisesEscapedTextAndAttributes)
{
    LoadMarkup(HtmlTest::MakePage("", "<div id=\"d\"></div>"));
    Html::Node& div = Element(L"d");
    div.SetInnerText(L"<a> & \"b\"");
    div.SetAttribute(L"title", L"x\"y");
    EXPECT_EQ(L"&lt;a&gt; &amp; \"b\"", div.InnerHtml());
    EXPECT_EQ(L"<div id=\"d\" title=\"x&quot;y\">&lt;a&gt; &amp; \"b\"</div>", div.OuterHtml());
}

}  // namespace
