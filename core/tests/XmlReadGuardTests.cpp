#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "core/ComPtr.h"
#include "core/XmlReadGuard.h"

using System::Xml::XmlReadGuard;

namespace {

const std::string Document =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<list><item><name>A</name><rating>3</rating></item>\n"
    "  <item><name>\xEB\x82\x98</name><flag/><flag/></item><!-- end --></list>\n";

struct Walk {
    std::vector<XmlNodeType> nodes;
    HRESULT last = S_OK;
};

// Every node of bytes through the guard; a guard that never ends stops the walk at 10,000 nodes.
Walk ReadAll(const std::string& bytes)
{
    Walk walk;
    if (XmlReadGuard::IsUnreadable(bytes.data(), bytes.size())) {
        walk.last = System::Xml::XmlInputEnd;
        return walk;
    }
    System::ComPtr<IStream> stream;
    stream.Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    System::ComPtr<IXmlReader> reader;
    EXPECT_EQ(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.Receive()), nullptr), S_OK);
    reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    EXPECT_EQ(reader->SetInput(stream.Get()), S_OK);
    XmlReadGuard guard(reader.Get(), XmlReadGuard::StreamLength(stream.Get()));
    XmlNodeType type;
    while ((walk.last = guard.Read(&type)) == S_OK && walk.nodes.size() < 10000) walk.nodes.push_back(type);
    return walk;
}

}  // namespace

TEST(XmlReadGuard, WholeDocumentReadsEveryNodeAndEndsWithSFalse)
{
    Walk walk = ReadAll(Document);
    EXPECT_EQ(walk.last, S_FALSE);
    int elements = 0;
    for (XmlNodeType type : walk.nodes) elements += type == XmlNodeType_Element;
    // list, two items, three fields and the two sibling flags on one line.
    EXPECT_EQ(elements, 8);
    EXPECT_EQ(walk.nodes.back(), XmlNodeType_Whitespace);
}

TEST(XmlReadGuard, EveryTruncationFailsInsteadOfReadingForEver)
{
    size_t rootEnd = Document.rfind("</list>") + 7;
    for (size_t length = 0; length < rootEnd; ++length) {
        Walk walk = ReadAll(Document.substr(0, length));
        EXPECT_TRUE(FAILED(walk.last)) << "cut at " << length << " answered " << std::hex << walk.last;
        EXPECT_LE(walk.nodes.size(), length + 2) << "cut at " << length;
    }
    EXPECT_EQ(ReadAll(Document.substr(0, rootEnd)).last, S_FALSE);
}

TEST(XmlReadGuard, AFailureStaysAndNoFurtherReadReachesTheReader)
{
    System::ComPtr<IStream> stream;
    std::string cut = Document.substr(0, 60);
    stream.Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(cut.data()), static_cast<UINT>(cut.size())));
    System::ComPtr<IXmlReader> reader;
    ASSERT_EQ(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.Receive()), nullptr), S_OK);
    ASSERT_EQ(reader->SetInput(stream.Get()), S_OK);
    XmlReadGuard guard(reader.Get());
    XmlNodeType type;
    HRESULT result;
    int reads = 0;
    while ((result = guard.Read(&type)) == S_OK) ASSERT_LT(++reads, 1000);
    EXPECT_TRUE(FAILED(result));
    EXPECT_EQ(guard.Read(&type), result);
}

// Wine's XmlLite aborts the process on these, so they are refused before it sees them.
TEST(XmlReadGuard, NulBytesAndAnEndAtTheDeclarationAreUnreadable)
{
    std::string declaration = Document.substr(0, Document.find('\n'));
    EXPECT_TRUE(XmlReadGuard::IsUnreadable(declaration.data(), declaration.size()));
    EXPECT_TRUE(XmlReadGuard::IsUnreadable(declaration.data(), declaration.size() - 1));
    std::string nul = Document;
    nul.replace(4, 4, std::string(4, '\0'));
    EXPECT_TRUE(XmlReadGuard::IsUnreadable(nul.data(), nul.size()));
    EXPECT_FALSE(XmlReadGuard::IsUnreadable(Document.data(), Document.size()));
    std::string bom = "\xEF\xBB\xBF" + Document;
    EXPECT_FALSE(XmlReadGuard::IsUnreadable(bom.data(), bom.size()));
    EXPECT_FALSE(XmlReadGuard::IsUnreadable("<a/>", 4));
    // UTF-16 carries zero bytes in every ASCII character; only a zero character counts there.
    std::wstring wide = L"<?xml version=\"1.0\" encoding=\"utf-16\"?><a/>";
    std::string utf16 = "\xFF\xFE" + std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    EXPECT_FALSE(XmlReadGuard::IsUnreadable(utf16.data(), utf16.size()));
    EXPECT_FALSE(XmlReadGuard::IsUnreadable(utf16.data() + 2, utf16.size() - 2));
    EXPECT_TRUE(XmlReadGuard::IsUnreadable(utf16.data(), utf16.size() - 8));
    utf16[10] = utf16[11] = '\0';
    EXPECT_TRUE(XmlReadGuard::IsUnreadable(utf16.data(), utf16.size()));

    // The stream is put back at its start for the reader.
    System::ComPtr<IStream> stream;
    stream.Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(Document.data()), static_cast<UINT>(Document.size())));
    EXPECT_FALSE(XmlReadGuard::IsUnreadable(stream.Get()));
    char first[2] = {};
    ULONG read = 0;
    stream->Read(first, 2, &read);
    EXPECT_EQ(std::string(first, 2), "<?");
}
