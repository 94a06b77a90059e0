#include "activex/ActiveXFeed.h"

#include <windows.h>
#include <xmllite.h>

#include "core/Application.h"
#include "core/ComPtr.h"
#include "core/ExceptionGuard.h"
#include "core/Trace.h"
#include "core/WebClient.h"
#include "core/XmlReadGuard.h"
#include "startup/ProgramInfoLoader.h"

using System::String;

namespace {

// The feed's fields, in the order of the entry's constructor.
enum Field { Title, Description, Author, Name, Clsid, Dscr, Type, Rating, Updated, FieldCount };

int FieldOf(const String& element)
{
    static const wchar_t* const names[FieldCount] = {L"title", L"description", L"author", L"name", L"clsid",
                                                     L"dscr",  L"type",        L"rating", L"updated"};
    for (int field = 0; field < FieldCount; ++field) {
        if (element == names[field]) return field;
    }
    return -1;
}

String NodeValue(IXmlReader* reader)
{
    const wchar_t* value = nullptr;
    UINT length = 0;
    if (FAILED(reader->GetValue(&value, &length)) || !value) return String();
    return String(value, static_cast<int>(length));
}

}  // namespace

const wchar_t* const ActiveXFeed::AllCategory = L"전체";
const wchar_t* const ActiveXFeed::GeneralCategory = L"일반";
const wchar_t* const ActiveXFeed::NewCategory = L"새로 추가된 항목";

String ActiveXFeed::GetDefaultUrl()
{
    return System::Application::GetServerUrl(System::Application::Server::Information) + L"/net/ActiveXRSS.aspx";
}

String ActiveXFeed::GetDefaultCachePath() { return System::Application::GetCommonAppDataPath() + L"\\vaaxm.dat"; }

ActiveXFeed::ActiveXFeed(const KillBits& killBits) : killBits_(&killBits) {}

ActiveXFeed::~ActiveXFeed() { Clear(); }

void ActiveXFeed::Clear()
{
    for (ActiveXEntry* entry : entries_) delete entry;
    entries_.clear();
}

void ActiveXFeed::DownloadAtStart(const String& url, const String& cachePath)
{
    System::TraceExceptions([&] {
        System::Net::WebClient client;
        ProgramInfoLoader::WriteCache(cachePath, client.DownloadData(url));
    });
}

int ActiveXFeed::Load(const String& url, const String& cachePath)
{
    Clear();
    NetMemoryStream* stream = nullptr;
    if (ProgramInfoLoader::Fetch(url, cachePath, &stream) == 0) {
        System::ComPtr<NetMemoryStream> holder;
        holder.Attach(stream);
        Parse(stream, System::Application::GetCommonAppDataPath());
    }
    loadTime_ = System::DateTime::GetNow();
    return static_cast<int>(entries_.size());
}

int ActiveXFeed::Parse(IStream* stream, const String& baseUri)
{
    if (System::Xml::XmlReadGuard::IsUnreadable(stream)) return 0;
    System::ComPtr<IXmlReader> reader;
    if (FAILED(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.Receive()), nullptr))) return 0;
    if (FAILED(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit))) return 0;
    System::ComPtr<IUnknown> input;
    if (FAILED(CreateXmlReaderInputWithEncodingName(stream, nullptr, L"utf-8", TRUE, baseUri.GetBuffer(), input.Receive())))
        return 0;
    if (FAILED(reader->SetInput(input.Get()))) return 0;

    String fields[FieldCount];
    // The field being read; none between elements, so an indented document's white space never
    // lands in a field.
    int current = -1;
    int added = 0;
    System::Xml::XmlReadGuard nodes(reader.Get(), System::Xml::XmlReadGuard::StreamLength(stream));
    XmlNodeType node = XmlNodeType_None;
    while (nodes.Read(&node) == S_OK) {
        switch (node) {
        case XmlNodeType_Element: {
            const wchar_t* localName = nullptr;
            if (FAILED(reader->GetLocalName(&localName, nullptr))) return added;
            // Elements around the items (a channel's own title) never reach an entry.
            if (String(localName) == L"item") {
                for (String& field : fields) field = String();
            }
            current = reader->IsEmptyElement() ? -1 : FieldOf(localName);
            break;
        }
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        case XmlNodeType_Whitespace:
            if (current >= 0) fields[current] += NodeValue(reader.Get());
            break;
        case XmlNodeType_EndElement: {
            const wchar_t* qualifiedName = nullptr;
            if (FAILED(reader->GetQualifiedName(&qualifiedName, nullptr))) return added;
            current = -1;
            if (String(qualifiedName) == L"item") {
                entries_.push_back(new ActiveXEntry(fields[Title], fields[Description], fields[Author], fields[Name],
                                                    fields[Clsid], fields[Dscr], fields[Type], fields[Rating],
                                                    fields[Updated], *killBits_));
                ++added;
                for (String& field : fields) field = String();
            }
            break;
        }
        default:
            break;
        }
    }
    return added;
}

System::Array<String> ActiveXFeed::GetDistinctTypes() const
{
    std::vector<String> types;
    for (const ActiveXEntry* entry : entries_) {
        const String& type = entry->GetType();
        if (type.IsEmpty()) continue;
        bool seen = false;
        for (const String& known : types) seen = seen || known == type;
        if (!seen) types.push_back(type);
    }
    return System::Array<String>(std::move(types));
}

std::vector<String> ActiveXFeed::GetCategories() const
{
    std::vector<String> categories{AllCategory, GeneralCategory};
    System::Array<String> types = GetDistinctTypes();
    for (int i = 0; i < types.GetLength(); ++i) {
        if (types[i] != GeneralCategory) categories.push_back(types[i]);
    }
    if (types.GetLength() > 0) categories.push_back(NewCategory);
    return categories;
}

System::DateTime ActiveXFeed::NewCutoff(const System::DateTime& today)
{
    int64_t midnight = today.GetDate().GetTicks();
    int64_t week = 7 * System::DateTime::TicksPerDay;
    return System::DateTime(midnight >= week ? midnight - week : 0);
}

bool ActiveXFeed::IsNewlyAdded(const ActiveXEntry& entry, const System::DateTime& today)
{
    // An entry without a date (year 1) is never new.
    return entry.GetUpdated().GetTicks() > 0 && entry.GetUpdated().GetTicks() >= NewCutoff(today).GetTicks();
}
