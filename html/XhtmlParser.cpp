#include "html/XhtmlParser.h"

#include <shlwapi.h>
#include <xmllite.h>

#include "core/ComPtr.h"
#include "core/Exception.h"
#include "core/String.h"
#include "core/XmlReadGuard.h"
#include "html/Document.h"

namespace Html {

namespace {

struct ParseError {
    HRESULT result = S_OK;
    UINT line = 0;
    UINT column = 0;
};

HRESULT ReadTree(Document* document, const std::string& bytes, std::unique_ptr<Node>& root, ParseError& error)
{
    if (System::Xml::XmlReadGuard::IsUnreadable(bytes.data(), bytes.size())) return E_FAIL;
    System::ComPtr<IStream> stream;
    stream.Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    if (!stream) return E_OUTOFMEMORY;
    System::ComPtr<IXmlReader> reader;
    HRESULT hr = CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.Receive()), nullptr);
    if (FAILED(hr)) return hr;
    hr = reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    if (FAILED(hr)) return hr;
    hr = reader->SetInput(stream.Get());
    if (FAILED(hr)) return hr;

    Node* current = nullptr;
    XmlNodeType type;
    System::Xml::XmlReadGuard guard(reader.Get(), bytes.size());
    while ((hr = guard.Read(&type)) == S_OK) {
        switch (type) {
        case XmlNodeType_Element: {
            const WCHAR* name = nullptr;
            reader->GetLocalName(&name, nullptr);
            auto element = Node::CreateElement(document, name ? name : L"");
            bool empty = reader->IsEmptyElement() != FALSE;
            for (HRESULT more = reader->MoveToFirstAttribute(); more == S_OK; more = reader->MoveToNextAttribute()) {
                if (reader->IsDefault()) continue;
                const WCHAR* attributeName = nullptr;
                const WCHAR* value = nullptr;
                const WCHAR* prefix = nullptr;
                reader->GetPrefix(&prefix, nullptr);
                reader->GetLocalName(&attributeName, nullptr);
                reader->GetValue(&value, nullptr);
                std::wstring prefixText = prefix ? prefix : L"";
                if (prefixText == L"xmlns" || std::wstring(attributeName ? attributeName : L"") == L"xmlns") continue;
                element->SetAttribute(attributeName ? attributeName : L"", value ? value : L"");
            }
            reader->MoveToElement();
            Node* added;
            if (current) {
                added = current->AppendChild(std::move(element));
            } else if (!root) {
                root = std::move(element);
                added = root.get();
            } else {
                return E_UNEXPECTED;
            }
            if (!empty) current = added;
            break;
        }
        case XmlNodeType_EndElement:
            if (current) current = current->Parent();
            break;
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        case XmlNodeType_Whitespace: {
            if (!current) break;
            const WCHAR* value = nullptr;
            UINT length = 0;
            reader->GetValue(&value, &length);
            if (value && length) current->AppendChild(Node::CreateText(document, std::wstring(value, length)));
            break;
        }
        default:
            break;
        }
    }
    if (FAILED(hr)) {
        error.result = hr;
        reader->GetLineNumber(&error.line);
        reader->GetLinePosition(&error.column);
        return hr;
    }
    return root ? S_OK : E_FAIL;
}

std::string SkipDocumentType(const std::string& utf8)
{
    size_t start = utf8.find("<!DOCTYPE");
    if (start == std::string::npos) return utf8;
    size_t firstElement = utf8.find('<');
    while (firstElement != std::string::npos && firstElement < start &&
           (utf8.compare(firstElement, 2, "<?") == 0 || utf8.compare(firstElement, 4, "<!--") == 0)) {
        size_t close = utf8.find('>', firstElement);
        firstElement = close == std::string::npos ? close : utf8.find('<', close);
    }
    if (firstElement != start) return utf8;
    size_t end = utf8.find('>', start);
    if (end == std::string::npos || utf8.find('[', start) < end) return utf8;
    // A comment of the same length takes its place: blanks alone would leave a document that starts
    // with whitespace, which the XML reader refuses, and the length keeps later errors' places right.
    std::string copy = utf8;
    for (size_t i = start; i <= end; ++i) {
        if (copy[i] != '\n') copy[i] = ' ';
    }
    copy.replace(start, 4, "<!--");
    copy.replace(end - 2, 3, "-->");
    return copy;
}

bool IsNameChar(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

std::wstring Normalise(const std::wstring& fragment)
{
    static const struct {
        const wchar_t* name;
        const wchar_t* reference;
    } entities[] = {{L"nbsp", L"&#160;"}, {L"copy", L"&#169;"}, {L"reg", L"&#174;"}, {L"middot", L"&#183;"},
                    {L"laquo", L"&#171;"}, {L"raquo", L"&#187;"}, {L"times", L"&#215;"}};
    static const wchar_t* voidTags[] = {L"br", L"img", L"input", L"hr", L"meta", L"link"};
    std::wstring out;
    out.reserve(fragment.size() + 16);
    size_t i = 0;
    while (i < fragment.size()) {
        wchar_t c = fragment[i];
        if (c == L'&') {
            size_t semicolon = fragment.find(L';', i);
            bool replaced = false;
            if (semicolon != std::wstring::npos && semicolon - i < 10) {
                std::wstring name = fragment.substr(i + 1, semicolon - i - 1);
                for (const auto& entity : entities) {
                    if (name == entity.name) {
                        out += entity.reference;
                        i = semicolon + 1;
                        replaced = true;
                        break;
                    }
                }
            }
            if (!replaced) out += fragment[i++];
            continue;
        }
        if (c == L'<' && i + 1 < fragment.size() && IsNameChar(fragment[i + 1])) {
            size_t nameEnd = i + 1;
            while (nameEnd < fragment.size() && IsNameChar(fragment[nameEnd])) ++nameEnd;
            std::wstring name = fragment.substr(i + 1, nameEnd - i - 1);
            for (wchar_t& ch : name) ch = static_cast<wchar_t>(towlower(ch));
            bool isVoid = false;
            for (const wchar_t* tag : voidTags) isVoid = isVoid || name == tag;
            size_t end = nameEnd;
            wchar_t quote = 0;
            while (end < fragment.size() && (quote || fragment[end] != L'>')) {
                if (quote && fragment[end] == quote) {
                    quote = 0;
                } else if (!quote && (fragment[end] == L'"' || fragment[end] == L'\'')) {
                    quote = fragment[end];
                }
                ++end;
            }
            if (end >= fragment.size()) {
                out += fragment.substr(i);
                break;
            }
            out += L'<';
            out += name;
            std::wstring rest = fragment.substr(nameEnd, end - nameEnd);
            out += rest;
            if (isVoid && (rest.empty() || rest.back() != L'/')) out += L'/';
            out += L'>';
            i = end + 1;
            continue;
        }
        if (c == L'<' && i + 2 < fragment.size() && fragment[i + 1] == L'/') {
            size_t end = fragment.find(L'>', i);
            if (end != std::wstring::npos) {
                std::wstring name = fragment.substr(i + 2, end - i - 2);
                for (wchar_t& ch : name) ch = static_cast<wchar_t>(towlower(ch));
                bool isVoid = false;
                for (const wchar_t* tag : voidTags) isVoid = isVoid || name == tag;
                if (!isVoid) out += L"</" + name + L">";
                i = end + 1;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

}  // namespace

void XhtmlParser::ParsePage(Document* document, const std::string& utf8)
{
    std::unique_ptr<Node> root;
    ParseError error;
    HRESULT hr = ReadTree(document, SkipDocumentType(utf8), root, error);
    if (FAILED(hr)) {
        throw new System::FormatException(System::String::Format(
            L"The page is not well-formed XHTML (error 0x%08X at line %u, column %u).",
            static_cast<unsigned>(hr), error.line, error.column));
    }
    document->SetRoot(std::move(root));
}

bool XhtmlParser::ParseFragment(Document* document, const std::wstring& fragment,
                                std::vector<std::unique_ptr<Node>>& nodes)
{
    std::wstring wrapped = L"<fragment>" + Normalise(fragment) + L"</fragment>";
    std::string utf8 = System::String(wrapped).ToUtf8();
    std::unique_ptr<Node> root;
    ParseError error;
    if (FAILED(ReadTree(document, utf8, root, error))) return false;
    nodes = root->TakeChildren();
    return true;
}

}  // namespace Html
