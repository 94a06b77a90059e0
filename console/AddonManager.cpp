#include "console/AddonManager.h"

#include <xmllite.h>

#include <memory>

#include "console/XmlFileStream.h"
#include "core/Application.h"
#include "core/ComPtr.h"
#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "core/RegistryKey.h"
#include "core/XmlReadGuard.h"

using System::String;

namespace {

// The child elements of an item, in the order of Addon's constructor.
enum Field { Id, Name, Category, Description, ImageFileName, ModuleFileName, DownloadUrl, External, FieldCount };

const wchar_t* const FieldNames[FieldCount] = {
    L"id", L"name", L"category", L"description", L"imageFileName", L"moduleFileName", L"downloadUrl", L"external",
};

int FindField(const String& elementName)
{
    for (int field = 0; field < FieldCount; ++field) {
        if (elementName == FieldNames[field]) return field;
    }
    return -1;
}

bool IsCSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// Non-zero by the rule of the C library's atoi: leading white space, a sign, then digits.
bool ParseExternalFlag(const String& text)
{
    int position = 0;
    while (position < text.GetLength() && IsCSpace(text[position])) ++position;
    if (position < text.GetLength() && (text[position] == L'+' || text[position] == L'-')) ++position;
    for (; position < text.GetLength() && text[position] >= L'0' && text[position] <= L'9'; ++position) {
        if (text[position] != L'0') return true;
    }
    return false;
}

bool ReadHideExternalSwitch()
{
    int32_t value = 0;
    System::TraceExceptions([&] {
        std::unique_ptr<Microsoft::Win32::RegistryKey> key(System::Application::GetCommonAppDataRegistry());
        if (!key->GetValue(L"HideExternal", value)) value = 0;
    });
    return value != 0;
}

String NodeText(IXmlReader* reader, HRESULT (STDMETHODCALLTYPE IXmlReader::*get)(const WCHAR**, UINT*))
{
    const WCHAR* text = nullptr;
    UINT length = 0;
    if (FAILED((reader->*get)(&text, &length)) || !text) return String();
    return String(text, static_cast<int>(length));
}

}  // namespace

AddonManager::AddonManager() : AddonManager(System::Application::GetStartupPath()) {}

AddonManager::AddonManager(const String& folder) { ReadCatalogue(folder); }

AddonManager::~AddonManager()
{
    for (Addon* addon : addons_) delete addon;
    addons_.Clear();
}

Addon* AddonManager::GetAddon(const String& id) const
{
    for (Addon* addon : addons_) {
        if (addon->GetId() == id) return addon;
    }
    throw new System::ArgumentException(L"No tool of the catalogue has the id \"" + id + L"\".");
}

System::Array<Addon*> AddonManager::GetAddons() const { return addons_.ToArray(); }

void AddonManager::ReadCatalogue(const String& folder)
{
    bool hideExternal = ReadHideExternalSwitch();

    System::ComPtr<IStream> stream;
    if (FAILED(XmlFileStream::OpenFile((folder + L"\\vtaddons3.xml").GetBuffer(), stream.Receive(), false))) return;
    if (System::Xml::XmlReadGuard::IsUnreadable(stream.Get())) return;
    System::ComPtr<IXmlReader> reader;
    if (FAILED(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.Receive()), nullptr))) return;
    if (FAILED(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit))) return;
    System::ComPtr<IXmlReaderInput> input;
    if (FAILED(CreateXmlReaderInputWithEncodingName(stream.Get(), nullptr, L"utf-8", TRUE, L"c:\\temp",
                                                    input.Receive())))
        return;
    if (FAILED(reader->SetInput(input.Get()))) return;

    String texts[FieldCount];
    String currentElement;
    XmlNodeType nodeType;
    System::Xml::XmlReadGuard guard(reader.Get(), System::Xml::XmlReadGuard::StreamLength(stream.Get()));
    // Any error, like the end of the document, ends the loop; the items read so far stay.
    while (guard.Read(&nodeType) == S_OK) {
        switch (nodeType) {
        case XmlNodeType_Element:
            currentElement = NodeText(reader.Get(), &IXmlReader::GetLocalName);
            break;
        case XmlNodeType_Text:
        case XmlNodeType_Whitespace: {
            // The element stays current after its end tag, so white space that follows the end
            // tag of a child replaces that child's text.
            int field = FindField(currentElement);
            if (field >= 0) texts[field] = NodeText(reader.Get(), &IXmlReader::GetValue);
            break;
        }
        case XmlNodeType_EndElement:
            if (NodeText(reader.Get(), &IXmlReader::GetQualifiedName) == L"item") {
                bool external = ParseExternalFlag(texts[External]);
                if (!(hideExternal && external)) {
                    addons_.AddLast(new Addon(texts[Id], texts[Name], texts[Category], texts[Description],
                                              texts[ImageFileName], texts[ModuleFileName], texts[DownloadUrl],
                                              external));
                }
                for (String& text : texts) text = String();
            }
            break;
        default:
            break;
        }
    }
}
