#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <gtest/gtest.h>

#include <string>

#include "core/ComPtr.h"
#include "core/XmlNodeReader.h"

namespace {

struct Outcome {
    int completedItems = 0;
    HRESULT end = S_OK;
    int reads = 0;
};

// Reads a whole document, counting the "item" elements that were closed, and gives up after far
// more reads than any of these documents has nodes, so a stuck reader fails the test instead of
// hanging it.
Outcome ReadAll(const std::string& document)
{
    Outcome outcome;
    System::ComPtr<IStream> stream;
    stream.Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(document.data()), static_cast<UINT>(document.size())));
    System::ComPtr<IXmlReader> reader;
    EXPECT_EQ(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.Receive()), nullptr), S_OK);
    EXPECT_EQ(reader->SetInput(stream.Get()), S_OK);
    System::Xml::XmlNodeReader nodes(reader.Get());
    XmlNodeType type = XmlNodeType_None;
    for (; outcome.reads < 200; ++outcome.reads) {
        outcome.end = nodes.Read(&type);
        if (outcome.end != S_OK) break;
        const wchar_t* name = nullptr;
        if (type == XmlNodeType_EndElement && SUCCEEDED(reader->GetLocalName(&name, nullptr)) &&
            std::wstring(name) == L"item")
            ++outcome.completedItems;
    }
    if (FAILED(outcome.end)) {
        EXPECT_EQ(nodes.Read(&type), outcome.end) << "a failure must stay";
    }
    return outcome;
}

TEST(XmlNodeReaderTests, ACompleteDocumentEndsCleanly)
{
    Outcome outcome = ReadAll("<items>\n  <item><name>A</name></item>\n  <item/>\n  <item><name>B</name></item>\n</items>\n");
    EXPECT_EQ(outcome.end, S_FALSE);
    EXPECT_EQ(outcome.completedItems, 2);
}

TEST(XmlNodeReaderTests, EveryCutEndsInAnErrorAfterTheItemsBeforeIt)
{
    const std::string head = "<items><item><name>A</name></item>";
    const char* tails[] = {
        "<item><name>B",         // inside text
        "<item><name>B</na",     // inside an end tag
        "<item><name>B</name>",  // right after an end tag, with elements still open
        "<item",                 // inside a start tag
        "\n  <item>\n  ",         // inside white space
        "\n",                    // white space after the last complete item
        "",                      // right after the last complete item
    };
    for (const char* tail : tails) {
        Outcome outcome = ReadAll(head + tail);
        EXPECT_LT(outcome.reads, 200) << "stuck on: " << tail;
        EXPECT_TRUE(FAILED(outcome.end)) << "cut after: " << tail;
        EXPECT_EQ(outcome.completedItems, 1) << "cut after: " << tail;
    }
}

}  // namespace
