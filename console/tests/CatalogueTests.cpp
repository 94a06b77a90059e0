#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "console/AddonManager.h"
#include "console/XmlFileStream.h"
#include "core/ComPtr.h"
#include "testing/LibraryAssertions.h"
#include "testing/TempFolder.h"

namespace {

using System::String;

const wchar_t* const SettingsKey = L"Software\\Vela\\Toolbox";

// Sets or removes HideExternal under the suite's common key for one test, and removes it after.
class HideExternalValue {
public:
    explicit HideExternalValue(const DWORD* value)
    {
        HKEY key;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, SettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        if (value) {
            RegSetValueExW(key, L"HideExternal", 0, REG_DWORD, reinterpret_cast<const BYTE*>(value), sizeof *value);
        } else {
            RegDeleteValueW(key, L"HideExternal");
        }
        RegCloseKey(key);
    }
    ~HideExternalValue() { RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, SettingsKey, L"HideExternal"); }
};

std::string Item(const std::string& id, const std::string& external)
{
    return "<item><id>" + id + "</id><name>n" + id + "</name><external>" + external + "</external></item>";
}

class CatalogueTest : public ::testing::Test {
protected:
    std::unique_ptr<AddonManager> Load(const std::string& xml)
    {
        folder_.WriteFile(L"vtaddons3.xml", xml);
        return std::make_unique<AddonManager>(folder_.Path().c_str());
    }

    static std::vector<String> Ids(const AddonManager& manager)
    {
        std::vector<String> ids;
        for (Addon* addon : manager.GetAddons()) ids.push_back(addon->GetId());
        return ids;
    }

    TestSupport::TempFolder folder_;
    HideExternalValue noSwitch_{nullptr};
};

TEST_F(CatalogueTest, CompactCatalogueYieldsExactlyTheTextsBetweenTheTags)
{
    auto manager = Load(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><addons><item><external>0</external><id>03</id>"
        "<name>PC 청소</name><category>시스템 관리</category><description>불필요한 파일을 지웁니다</description>"
        "<imageFileName>images\\sweeper.png</imageFileName><moduleFileName>vtsw.dll</moduleFileName>"
        "<downloadUrl>http://example.test/d</downloadUrl></item><item><id>04</id><name>패치</name></item></addons>");
    auto addons = manager->GetAddons();
    ASSERT_EQ(addons.GetLength(), 2);
    Addon* sweeper = addons[0];
    EXPECT_EQ(sweeper->GetId(), String(L"03"));
    EXPECT_EQ(sweeper->GetName(), String(L"PC 청소"));
    EXPECT_EQ(sweeper->GetCategory(), String(L"시스템 관리"));
    EXPECT_EQ(sweeper->GetDescription(), String(L"불필요한 파일을 지웁니다"));
    EXPECT_EQ(sweeper->GetImageFileName(), String(L"images\\sweeper.png"));
    EXPECT_EQ(sweeper->GetModuleFileName(), String(L"vtsw.dll"));
    EXPECT_EQ(sweeper->GetDownloadUrl(), String(L"http://example.test/d"));
    EXPECT_FALSE(sweeper->IsExternal());
    EXPECT_EQ(sweeper->GetWidth(), -1);
    EXPECT_EQ(sweeper->GetHeight(), -1);
    EXPECT_EQ(addons[1]->GetCategory(), String());
    EXPECT_EQ(manager->GetAddon(L"04"), addons[1]);
}

TEST_F(CatalogueTest, WhitespaceAfterAChildsEndTagReplacesThatChild)
{
    auto manager = Load("<addons>\n  <item>\n    <id>01</id>\n    <name>시작프로그램</name>\n  </item>\n</addons>");
    auto addons = manager->GetAddons();
    ASSERT_EQ(addons.GetLength(), 1);
    // The line break inside item before its first child changed nothing (item was current);
    // the one after </id> replaced the id, and the one after </name> the name.
    EXPECT_EQ(addons[0]->GetId(), String(L"\n    "));
    EXPECT_EQ(addons[0]->GetName(), String(L"\n  "));
}

TEST_F(CatalogueTest, OnlyTheLastTextPieceOfAnElementIsKept)
{
    auto manager = Load("<a><item><id>first<!-- note -->second</id></item></a>");
    ASSERT_EQ(manager->GetAddons().GetLength(), 1);
    EXPECT_EQ(manager->GetAddons()[0]->GetId(), String(L"second"));
}

TEST_F(CatalogueTest, DuplicateIdsAreBothListedAndTheFirstIsFound)
{
    auto manager = Load("<a><item><id>x</id><name>one</name></item><item><id>x</id><name>two</name></item>"
                        "<item><name>no id</name></item></a>");
    EXPECT_EQ(manager->GetAddons().GetLength(), 3);
    EXPECT_EQ(manager->GetAddon(L"x")->GetName(), String(L"one"));
    EXPECT_EQ(manager->GetAddon(L"")->GetName(), String(L"no id"));
    TestSupport::ExpectThrows<System::ArgumentException>([&] { manager->GetAddon(L"X"); });
}

TEST_F(CatalogueTest, HideExternalLeavesOutOnlyItemsWhoseFlagParsesToNonZero)
{
    const std::string xml = "<a>" + Item("one", "1") + Item("zero", "0") + Item("empty", "") + Item("abc", "abc") +
                            Item("spaced", " 2x") + Item("negative", "-1") + Item("zeros", "000") + "</a>";
    {
        DWORD on = 1;
        HideExternalValue hide(&on);
        EXPECT_EQ(Ids(*Load(xml)), (std::vector<String>{L"zero", L"empty", L"abc", L"zeros"}));
    }
    {
        DWORD off = 0;
        HideExternalValue show(&off);
        auto manager = Load(xml);
        EXPECT_EQ(manager->GetAddons().GetLength(), 7);
        EXPECT_TRUE(manager->GetAddon(L"spaced")->IsExternal());
        EXPECT_TRUE(manager->GetAddon(L"negative")->IsExternal());
        EXPECT_FALSE(manager->GetAddon(L"abc")->IsExternal());
    }
    EXPECT_EQ(Load(xml)->GetAddons().GetLength(), 7);
}

TEST_F(CatalogueTest, MalformedXmlKeepsTheItemsReadBeforeTheError)
{
    auto manager = Load("<a>" + Item("kept", "0") + "<item><id>lost</id></itm></a>");
    EXPECT_EQ(Ids(*manager), (std::vector<String>{L"kept"}));
}

TEST_F(CatalogueTest, DocumentTypeDefinitionsAreRefused)
{
    auto manager = Load("<!DOCTYPE a [<!ENTITY e \"x\">]><a>" + Item("&e;", "0") + "</a>");
    EXPECT_EQ(manager->GetAddons().GetLength(), 0);
}

TEST_F(CatalogueTest, MissingOrEmptyCatalogueGivesNoTools)
{
    AddonManager missing(folder_.Path().c_str());
    EXPECT_EQ(missing.GetAddons().GetLength(), 0);
    TestSupport::ExpectThrows<System::ArgumentException>([&] { missing.GetAddon(L"01"); });
    EXPECT_EQ(Load("")->GetAddons().GetLength(), 0);
}

TEST_F(CatalogueTest, DeclaredEncodingOverridesTheUtf8Hint)
{
    std::wstring text = L"<?xml version=\"1.0\" encoding=\"utf-16\"?><a><item><id>유니코드</id></item></a>";
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    auto manager = Load(bytes);
    EXPECT_EQ(Ids(*manager), (std::vector<String>{L"유니코드"}));
}

class XmlFileStreamTest : public ::testing::Test {
protected:
    TestSupport::TempFolder folder_;
};

TEST_F(XmlFileStreamTest, ReadsSeeksAndReportsOnlyTheSize)
{
    std::wstring path = folder_.WriteFile(L"data.xml", "0123456789");
    System::ComPtr<IStream> stream;
    ASSERT_EQ(XmlFileStream::OpenFile(path.c_str(), stream.Receive(), false), S_OK);

    char buffer[4] = {};
    ULONG read = 0;
    EXPECT_EQ(stream->Read(buffer, 3, &read), S_OK);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(std::string(buffer, 3), "012");

    LARGE_INTEGER move;
    move.QuadPart = -2;
    ULARGE_INTEGER position;
    EXPECT_EQ(stream->Seek(move, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 8u);
    EXPECT_EQ(stream->Seek(move, 3, &position), STG_E_INVALIDFUNCTION);

    STATSTG statistics;
    statistics.type = 77;
    statistics.pwcsName = nullptr;
    EXPECT_EQ(stream->Stat(&statistics, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(statistics.cbSize.QuadPart, 10u);
    EXPECT_EQ(statistics.type, 77u);

    EXPECT_EQ(stream->SetSize(position), E_NOTIMPL);
    EXPECT_EQ(stream->Commit(0), E_NOTIMPL);
    IStream* clone = nullptr;
    EXPECT_EQ(stream->Clone(&clone), E_NOTIMPL);
}

TEST_F(XmlFileStreamTest, CountsReferencesAndAnswersOnlyStreamInterfaces)
{
    std::wstring path = folder_.WriteFile(L"data.xml", "x");
    IStream* stream = nullptr;
    ASSERT_EQ(XmlFileStream::OpenFile(path.c_str(), &stream, false), S_OK);
    ISequentialStream* sequential = nullptr;
    EXPECT_EQ(stream->QueryInterface(__uuidof(ISequentialStream), reinterpret_cast<void**>(&sequential)), S_OK);
    EXPECT_EQ(static_cast<void*>(sequential), static_cast<void*>(stream));
    IDispatch* dispatch = nullptr;
    EXPECT_EQ(stream->QueryInterface(__uuidof(IDispatch), reinterpret_cast<void**>(&dispatch)), E_NOINTERFACE);
    EXPECT_EQ(dispatch, nullptr);
    EXPECT_EQ(sequential->Release(), 1u);
    // The last release closes the file, so it can be deleted again.
    EXPECT_EQ(stream->Release(), 0u);
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST_F(XmlFileStreamTest, OpenFailureReturnsTheSystemErrorAndWriteModeCreatesAnew)
{
    IStream* stream = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(XmlFileStream::OpenFile((folder_ / L"missing.xml").c_str(), &stream, false),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(stream, nullptr);

    std::wstring path = folder_.WriteFile(L"out.xml", "old content");
    System::ComPtr<IStream> output;
    ASSERT_EQ(XmlFileStream::OpenFile(path.c_str(), output.Receive(), true), S_OK);
    ULONG written = 0;
    EXPECT_EQ(output->Write("new", 3, &written), S_OK);
    EXPECT_EQ(written, 3u);
    output.Reset();
    EXPECT_EQ(folder_.ReadFile(L"out.xml"), "new");
}

}  // namespace
