#include "updater/UpdateInfo.h"

#include <xmllite.h>

#include <string>

#include "core/ComPtr.h"
#include "core/UniqueResource.h"
#include "core/XmlReadGuard.h"
#include "framework/CException.h"
#include "updater/FileStream.h"

namespace {

void ThrowOnFailure(HRESULT result)
{
    if (FAILED(result)) AfxThrowUserException();
}

CString LocalName(IXmlReader* reader)
{
    const WCHAR* name = nullptr;
    UINT length = 0;
    ThrowOnFailure(reader->GetLocalName(&name, &length));
    return CString(name ? name : L"", static_cast<int>(length));
}

CString Value(IXmlReader* reader)
{
    const WCHAR* value = nullptr;
    UINT length = 0;
    ThrowOnFailure(reader->GetValue(&value, &length));
    return CString(value ? value : L"", static_cast<int>(length));
}

using System::Xml::XmlReadGuard;

// The next node; the end of the input counts as an error inside an element.
XmlNodeType ReadInside(XmlReadGuard& nodes)
{
    XmlNodeType type = XmlNodeType_None;
    if (nodes.Read(&type) != S_OK) AfxThrowUserException();
    return type;
}

// The manifest's stream cannot seek, so the file is checked on its own.
bool IsUnreadable(const CString& path)
{
    System::UniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
    return XmlReadGuard::IsUnreadable(bytes.data(), bytes.size());
}

uint64_t FileLength(const CString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The text directly inside the current element, up to and including its end tag.
CString ReadText(XmlReadGuard& nodes, IXmlReader* reader)
{
    CString text;
    if (reader->IsEmptyElement()) return text;
    for (int nested = 0;;) {
        switch (ReadInside(nodes)) {
        case XmlNodeType_Text:
        case XmlNodeType_Whitespace:
            if (nested == 0) text += Value(reader);
            break;
        case XmlNodeType_Element:
            if (!reader->IsEmptyElement()) ++nested;
            break;
        case XmlNodeType_EndElement:
            if (nested-- == 0) return text;
            break;
        default:
            break;
        }
    }
}

void SkipElement(XmlReadGuard& nodes, IXmlReader* reader)
{
    if (reader->IsEmptyElement()) return;
    for (int nested = 0;;) {
        XmlNodeType type = ReadInside(nodes);
        if (type == XmlNodeType_Element && !reader->IsEmptyElement()) ++nested;
        if (type == XmlNodeType_EndElement && nested-- == 0) return;
    }
}

CUpdateInfoElement* ReadElement(IXmlReader* reader)
{
    auto* element = new CUpdateInfoElement(LocalName(reader));
    try {
        for (HRESULT result = reader->MoveToFirstAttribute(); result == S_OK; result = reader->MoveToNextAttribute()) {
            ThrowOnFailure(result);
            if (reader->IsDefault()) continue;
            element->SetAttribute(LocalName(reader), Value(reader));
        }
        ThrowOnFailure(reader->MoveToElement());
    } catch (...) {
        delete element;
        throw;
    }
    return element;
}

// List children are empty elements, so the first end tag inside the list ends it: normally the
// list's own, or that of a child written with a separate end tag.
void ReadList(XmlReadGuard& nodes, IXmlReader* reader, CUpdateInfoElementArray& list)
{
    if (reader->IsEmptyElement()) return;
    for (;;) {
        XmlNodeType type = ReadInside(nodes);
        if (type == XmlNodeType_EndElement) return;
        if (type != XmlNodeType_Element) continue;
        CUpdateInfoElement* element = ReadElement(reader);
        try {
            list.Add(element);
        } catch (...) {
            delete element;
            throw;
        }
    }
}

}  // namespace

CString CUpdateInfoElement::GetAttribute(const CString& name) const
{
    CString value;
    m_attributes.Lookup(name, value);
    return value;
}

CUpdateInfo::CUpdateInfo(const CString& path)
{
    try {
        Read(path);
    } catch (...) {
        Clear();
        throw;
    }
}

CUpdateInfo::~CUpdateInfo() { Clear(); }

void CUpdateInfo::Clear()
{
    for (INT_PTR i = 0; i < m_objects.GetSize(); ++i) delete m_objects[i];
    m_objects.RemoveAll();
    for (INT_PTR i = 0; i < m_actions.GetSize(); ++i) delete m_actions[i];
    m_actions.RemoveAll();
}

void CUpdateInfo::Read(const CString& path)
{
    OutputDebugStringW(L"CUpdateInfo::CUpdateInfo() ENTRY\n");
    System::ComPtr<IStream> stream;
    stream.Attach(new CFileStream(path));
    // Opened first, so that a missing file still raises the file exception.
    if (IsUnreadable(path)) AfxThrowUserException();
    System::ComPtr<IXmlReader> reader;
    ThrowOnFailure(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.Receive()), nullptr));
    ThrowOnFailure(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit));
    System::ComPtr<IXmlReaderInput> input;
    ThrowOnFailure(CreateXmlReaderInputWithEncodingName(stream.Get(), nullptr, L"utf-8", TRUE, nullptr, input.Receive()));
    ThrowOnFailure(reader->SetInput(input.Get()));
    OutputDebugStringW(L"end of initialization routine\n");

    int depth = 0;
    XmlNodeType type = XmlNodeType_None;
    // A reader error at this level ends the walk and keeps what was read.
    XmlReadGuard nodes(reader.Get(), FileLength(path));
    while (nodes.Read(&type) == S_OK) {
        if (type == XmlNodeType_EndElement) {
            --depth;
            continue;
        }
        if (type != XmlNodeType_Element) continue;
        if (depth != 1) {
            if (!reader->IsEmptyElement()) ++depth;
            continue;
        }
        CString name = LocalName(reader.Get());
        if (name == L"name") {
            m_name = ReadText(nodes, reader.Get());
        } else if (name == L"version") {
            m_version = ReadText(nodes, reader.Get());
        } else if (name == L"description") {
            m_description = ReadText(nodes, reader.Get());
        } else if (name == L"url") {
            m_url = ReadText(nodes, reader.Get());
        } else if (name == L"objects") {
            ReadList(nodes, reader.Get(), m_objects);
        } else if (name == L"actions") {
            ReadList(nodes, reader.Get(), m_actions);
        } else {
            SkipElement(nodes, reader.Get());
        }
    }
}
