#include "startup/ProgramInfoLoader.h"

#include <windows.h>
#include <xmllite.h>

#include <cwchar>
#include <memory>

#include "core/Application.h"
#include "core/BinaryReader.h"
#include "core/BinaryWriter.h"
#include "core/ComPtr.h"
#include "core/ExceptionGuard.h"
#include "core/FileStream.h"
#include "core/Trace.h"
#include "core/WebClient.h"
#include "core/WholeFile.h"
#include "core/XmlReadGuard.h"
#include "startup/StartupEntryInfo.h"

using System::Array;
using System::String;
using System::IO::FileStream;

namespace {

const int Share = System::IO::FileShare::Delete;

void ShowMessageBox(const String& text, const String& caption)
{
    MessageBoxW(nullptr, text.GetBuffer(), caption.GetBuffer(), MB_OK);
}

ProgramInfoLoader::FailureNotice& Notice()
{
    static ProgramInfoLoader::FailureNotice notice = ShowMessageBox;
    return notice;
}

// The text of the node the reader stands on.
String NodeValue(IXmlReader* reader)
{
    const wchar_t* value = nullptr;
    UINT length = 0;
    if (FAILED(reader->GetValue(&value, &length)) || !value) return String();
    return String(value, static_cast<int>(length));
}

}  // namespace

const wchar_t* const ProgramInfoLoader::FailureText = L"인터넷에 접속할 수 없습니다.\r\n프로그램 정보를 다운 받을 수 없습니다.";
const wchar_t* const ProgramInfoLoader::FailureCaption = L"Vela 툴박스";

ProgramInfoLoader::FailureNotice ProgramInfoLoader::SetFailureNotice(FailureNotice notice)
{
    FailureNotice previous = Notice();
    Notice() = notice ? std::move(notice) : FailureNotice(ShowMessageBox);
    return previous;
}

String ProgramInfoLoader::GetDefaultUrl()
{
    return System::Application::GetServerUrl(System::Application::Server::Information) + L"/net/getAutoruns.aspx";
}

String ProgramInfoLoader::GetDefaultCachePath() { return System::Application::GetCommonAppDataPath() + L"\\vasui.xml"; }

void ProgramInfoLoader::WriteCache(const String& cachePath, const Array<uint8_t>& bytes)
{
    System::IO::WriteFileWhole(cachePath, [&](System::IO::Stream& file) {
        System::IO::BinaryWriter writer(&file);
        writer.WriteInt32(bytes.GetLength());
        writer.Write(bytes);
    });
}

Array<uint8_t> ProgramInfoLoader::ReadCache(const String& cachePath)
{
    FileStream file(cachePath, System::IO::FileMode::OpenOrCreate, System::IO::FileAccess::Read, Share, 4096);
    int64_t fileLength = file.GetLength();
    if (fileLength == 0) return Array<uint8_t>();
    System::IO::BinaryReader reader(&file);
    int32_t length = reader.ReadInt32();
    if (length < 0 || length > fileLength - file.GetPosition())
        throw new System::FormatException(String::Format(L"%s announces %d bytes in a file of %I64d bytes.",
                                                         cachePath.GetBuffer(), length, fileLength));
    Array<uint8_t> bytes = reader.ReadBytes(length);
    if (bytes.GetLength() < length)
        throw new System::IO::EndOfStreamException(L"The cache " + cachePath + L" ended early.");
    return bytes;
}

int ProgramInfoLoader::Fetch(const String& url, const String& cachePath, NetMemoryStream** stream)
{
    if (!stream) throw new System::ArgumentNullException(L"stream");
    *stream = nullptr;
    Array<uint8_t> bytes;
    try {
        System::Net::WebClient client;
        // A damaged cache is no reason to go without information: it is fetched again.
        System::TraceExceptions([&] { bytes = ReadCache(cachePath); });
        if (bytes.GetLength() == 0) {
            bytes = client.DownloadData(url);
            WriteCache(cachePath, bytes);
        }
    } catch (System::Exception* caught) {
        System::ExceptionHolder exception(caught);
        System::Diagnostics::Trace::WriteLine(exception->ToString());
        Notice()(FailureText, FailureCaption);
    }
    if (bytes.GetLength() == 0) return 1;
    *stream = new NetMemoryStream(bytes.GetData(), static_cast<size_t>(bytes.GetLength()));
    return 0;
}

int ProgramInfoLoader::Parse(IStream* stream)
{
    if (System::Xml::XmlReadGuard::IsUnreadable(stream)) return 0;
    System::ComPtr<IXmlReader> reader;
    if (FAILED(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.Receive()), nullptr))) return 0;
    if (FAILED(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit))) return 0;
    System::ComPtr<IUnknown> input;
    if (FAILED(CreateXmlReaderInputWithEncodingName(stream, nullptr, L"utf-8", TRUE, L"c:\\temp", input.Receive())))
        return 0;
    if (FAILED(reader->SetInput(input.Get()))) return 0;

    String name;
    String rating;
    String description;
    // The element whose text is being read; empty between elements, so the white space of an
    // indented document never lands in a field.
    String current;
    int added = 0;
    XmlNodeType node = XmlNodeType_None;
    System::Xml::XmlReadGuard guard(reader.Get(), System::Xml::XmlReadGuard::StreamLength(stream));
    while (guard.Read(&node) == S_OK) {
        switch (node) {
        case XmlNodeType_Element: {
            const wchar_t* localName = nullptr;
            if (FAILED(reader->GetLocalName(&localName, nullptr))) return added;
            current = localName;
            if (current == L"item") {
                name = rating = description = String();
            }
            if (reader->IsEmptyElement()) current = String();
            break;
        }
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        case XmlNodeType_Whitespace:
            if (current == L"name") {
                name += NodeValue(reader.Get());
            } else if (current == L"rating") {
                rating += NodeValue(reader.Get());
            } else if (current == L"description") {
                description += NodeValue(reader.Get());
            }
            break;
        case XmlNodeType_EndElement: {
            const wchar_t* qualifiedName = nullptr;
            if (FAILED(reader->GetQualifiedName(&qualifiedName, nullptr))) return added;
            current = String();
            if (String(qualifiedName) == L"item") {
                ProgramInfoTable::Add(new StartupEntryInfo(name, _wtoi(rating.GetBuffer()), description));
                ++added;
                name = rating = description = String();
            }
            break;
        }
        default:
            break;
        }
    }
    return added;
}

int ProgramInfoLoader::Load(const String& url, const String& cachePath)
{
    NetMemoryStream* stream = nullptr;
    if (Fetch(url, cachePath, &stream) != 0) return 0;
    System::ComPtr<NetMemoryStream> holder;
    holder.Attach(stream);
    return Parse(stream);
}
