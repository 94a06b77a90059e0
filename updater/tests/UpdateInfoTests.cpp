#include <gtest/gtest.h>

#include "framework/CException.h"
#include "testing/TempFolder.h"
#include "updater/UpdateInfo.h"

namespace {

class UpdateInfoTest : public ::testing::Test {
protected:
    CString Write(const std::string& xml) { return folder_.WriteFile(L"update.xml", xml).c_str(); }

    template <class Kind, class Body>
    static bool Raises(Body body)
    {
        try {
            body();
        } catch (CException* error) {
            bool matches = dynamic_cast<Kind*>(error) != nullptr;
            error->Delete();
            return matches;
        }
        return false;
    }

    TestSupport::TempFolder folder_;
};

TEST_F(UpdateInfoTest, ReadsThreeObjectsInDocumentOrderWithTheirAttributes)
{
    CUpdateInfo info(Write(R"(<?xml version="1.0" encoding="utf-8"?>
<update>
  <name>Vela Toolbox</name><version>3.0</version><description>All tools</description>
  <url>http://example.test/app/</url>
  <objects>
    <file name="a.dll" fileVersion="1.0.0.1" zipped="true"/>
    <file name="b.dll" directory="%TEMP%" url="/other/b.dll"/>
    <registry name="c"/>
  </objects>
  <actions><shell file="vtcon.exe" operation="open" showCmd="3"/></actions>
</update>)"));
    EXPECT_EQ(CString(L"Vela Toolbox"), info.GetName());
    EXPECT_EQ(CString(L"3.0"), info.GetVersion());
    EXPECT_EQ(CString(L"All tools"), info.GetDescription());
    EXPECT_EQ(CString(L"http://example.test/app/"), info.GetUrl());
    const CUpdateInfoElementArray& objects = info.GetObjects();
    ASSERT_EQ(3, objects.GetSize());
    EXPECT_EQ(CString(L"a.dll"), objects[0]->GetAttribute(L"name"));
    EXPECT_EQ(CString(L"1.0.0.1"), objects[0]->GetAttribute(L"fileVersion"));
    EXPECT_EQ(CString(L"true"), objects[0]->GetAttribute(L"zipped"));
    EXPECT_EQ(CString(L"%TEMP%"), objects[1]->GetAttribute(L"directory"));
    EXPECT_EQ(CString(L"/other/b.dll"), objects[1]->GetAttribute(L"url"));
    EXPECT_EQ(CString(L"registry"), objects[2]->GetKind());
    EXPECT_EQ(CString(), objects[0]->GetAttribute(L"Name")) << "attribute names are case-sensitive";
    ASSERT_EQ(1, info.GetActions().GetSize());
    EXPECT_EQ(CString(L"shell"), info.GetActions()[0]->GetKind());
    EXPECT_EQ(CString(L"3"), info.GetActions()[0]->GetAttribute(L"showCmd"));
    EXPECT_TRUE(Raises<CInvalidArgException>([&] { objects.GetAt(3); }));
}

TEST_F(UpdateInfoTest, ObjectWithSeparateEndTagEndsTheList)
{
    CUpdateInfo info(Write(R"(<update><objects>
    <file name="a.dll"></file>
    <file name="b.dll"/>
  </objects></update>)"));
    ASSERT_EQ(1, info.GetObjects().GetSize());
    EXPECT_EQ(CString(L"a.dll"), info.GetObjects()[0]->GetAttribute(L"name"));
}

TEST_F(UpdateInfoTest, SkipsUnknownChildrenEmptyOrWithContent)
{
    CUpdateInfo info(Write(R"(<update><name>N</name><extra/><notes><objects><file name="x"/></objects>text</notes>
  <url/><objects><file name="a.dll"/></objects></update>)"));
    EXPECT_EQ(CString(L"N"), info.GetName());
    EXPECT_EQ(CString(), info.GetUrl());
    ASSERT_EQ(1, info.GetObjects().GetSize());
    EXPECT_EQ(CString(L"a.dll"), info.GetObjects()[0]->GetAttribute(L"name"));
}

TEST_F(UpdateInfoTest, TextTakesOnlyDirectTextOfTheElement)
{
    CUpdateInfo info(Write("<update><description>one <b>bold</b> two</description></update>"));
    EXPECT_EQ(CString(L"one  two"), info.GetDescription());
}

TEST_F(UpdateInfoTest, MissingFileRaisesFileException)
{
    EXPECT_TRUE(Raises<CFileException>([&] { CUpdateInfo info(CString((folder_ / L"none.xml").c_str())); }));
}

TEST_F(UpdateInfoTest, BrokenListRaisesUserException)
{
    EXPECT_TRUE(Raises<CUserException>([&] { CUpdateInfo info(Write("<update><objects><file name=\"a\"/><file name=></objects></update>")); }));
}

TEST_F(UpdateInfoTest, DocumentTypeEndsTheWalk)
{
    CUpdateInfo withDtd(Write("<!DOCTYPE update [<!ENTITY x \"y\">]><update><name>&x;</name></update>"));
    EXPECT_EQ(CString(), withDtd.GetName());
}

}  // namespace
