#include "vdwin32/Autorun.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/BinaryReader.h"
#include "core/BinaryWriter.h"
#include "core/ComPtr.h"
#include "core/DirectoryInfo.h"
#include "core/Environment.h"
#include "core/ExceptionGuard.h"
#include "core/Exception.h"
#include "core/FileInfo.h"
#include "core/FileStream.h"
#include "core/UniqueResource.h"
#include "core/Win32Exception.h"

using Microsoft::Win32::Win32Exception;
using System::String;
using System::IO::BinaryReader;
using System::IO::BinaryWriter;
using System::IO::Stream;

namespace Vela {
namespace Win32 {
namespace Autoruns {

namespace {

const int32_t FormatVersion = 1;
const int32_t MachineRoot = 1;
const int32_t UserRoot = 2;

// The bytes of one record body, so that a record is framed with its length before it is written
// and parsed from exactly its own bytes when read.
class ByteStream : public Stream {
public:
    ByteStream() = default;
    explicit ByteStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    ~ByteStream() override = default;

    int Read(uint8_t* buffer, int count) override
    {
        int available = static_cast<int>(bytes_.size() - position_);
        int read = std::max(0, std::min(count, available));
        if (read > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(read));
        position_ += static_cast<size_t>(read);
        return read;
    }
    void Write(const uint8_t* buffer, int count) override
    {
        bytes_.insert(bytes_.end(), buffer, buffer + count);
        position_ = bytes_.size();
    }
    int64_t Seek(int64_t, int) override { throw new System::NotSupportedException(L"ByteStream::Seek"); }
    int64_t GetLength() override { return static_cast<int64_t>(bytes_.size()); }
    int64_t GetPosition() override { return static_cast<int64_t>(position_); }
    void Flush() override {}
    void Close() override {}
    bool CanRead() const override { return true; }
    bool CanWrite() const override { return true; }
    bool CanSeek() const override { return false; }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
};

// Initialises COM on this thread for the shell-link calls, unless it already runs in another mode.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))
    {
        if (FAILED(result_) && result_ != RPC_E_CHANGED_MODE)
            throw new System::COMException(L"CoInitializeEx failed.", result_);
    }
    ~ComScope()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

void CheckCom(HRESULT result, const String& what)
{
    if (FAILED(result)) throw new System::COMException(what, result);
}

String Combine(const String& folder, const String& name)
{
    if (folder.EndsWith(L"\\")) return folder + name;
    return folder + L"\\" + name;
}

int32_t RootCode(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE) return MachineRoot;
    if (root == HKEY_CURRENT_USER) return UserRoot;
    throw new System::ArgumentException(L"root: only HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER hold registrations.");
}

HKEY RootFromCode(int32_t code)
{
    if (code == MachineRoot) return HKEY_LOCAL_MACHINE;
    if (code == UserRoot) return HKEY_CURRENT_USER;
    throw new System::FormatException(String::Format(L"An autorun record names the unknown registry root %d.", code));
}

String RootName(HKEY root) { return root == HKEY_LOCAL_MACHINE ? L"HKEY_LOCAL_MACHINE" : L"HKEY_CURRENT_USER"; }

bool IsStringKind(DWORD kind) { return kind == REG_SZ || kind == REG_EXPAND_SZ; }

String TextFromValueData(const std::vector<uint8_t>& data, DWORD size)
{
    size_t characters = std::min<size_t>(size, data.size()) / sizeof(wchar_t);
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data.data());
    size_t length = 0;
    while (length < characters && text[length] != L'\0') ++length;
    return String(text, static_cast<int>(length));
}

bool Is64BitSystem()
{
#ifdef _WIN64
    return true;
#else
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64)) Win32Exception::ThrowLastError(L"IsWow64Process");
    return wow64 != FALSE;
#endif
}

// The 32-bit view is a key of its own only where the system keeps one (Wow6432Node).
bool HasSeparate32BitView()
{
    if (!Is64BitSystem()) return false;
    System::UniqueRegistryKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node", 0, KEY_READ | KEY_WOW64_64KEY, key.Receive()) ==
           ERROR_SUCCESS;
}

// Null when the key does not exist; other failures raise.
System::UniqueRegistryKey OpenForReading(HKEY root, const String& subKey, REGSAM view)
{
    System::UniqueRegistryKey key;
    LONG status = RegOpenKeyExW(root, subKey.GetBuffer(), 0, KEY_QUERY_VALUE | view, key.Receive());
    if (status == ERROR_FILE_NOT_FOUND) return System::UniqueRegistryKey();
    if (status != ERROR_SUCCESS) Win32Exception::Throw(static_cast<uint32_t>(status), L"Opening " + RootName(root) + L"\\" + subKey);
    return key;
}

// False when the value does not exist or holds no text.
bool QueryText(HKEY key, const String& keyName, const String& valueName, DWORD& kind, String& text)
{
    std::vector<uint8_t> data(512);
    for (;;) {
        DWORD size = static_cast<DWORD>(data.size());
        LONG status = RegQueryValueExW(key, valueName.GetBuffer(), nullptr, &kind, data.data(), &size);
        if (status == ERROR_FILE_NOT_FOUND) return false;
        if (status == ERROR_MORE_DATA) {
            data.resize(size + sizeof(wchar_t));
            continue;
        }
        if (status != ERROR_SUCCESS)
            Win32Exception::Throw(static_cast<uint32_t>(status), L"Reading " + keyName + L"\\" + valueName);
        if (!IsStringKind(kind)) return false;
        text = TextFromValueData(data, size);
        return true;
    }
}

void AddKeyValues(const AutorunLocation& location, std::vector<std::unique_ptr<AutorunEntry>>& entries)
{
    System::UniqueRegistryKey key = OpenForReading(location.root, location.subKey, location.view);
    if (!key) return;
    String keyName = RootName(location.root) + L"\\" + location.subKey;
    std::vector<wchar_t> name(16384);
    std::vector<uint8_t> data(1024);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD kind = 0;
        LONG status = RegEnumValueW(key.Get(), index, name.data(), &nameLength, nullptr, &kind, data.data(), &size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_MORE_DATA) {
            data.resize(std::max<size_t>(data.size() * 2, size + sizeof(wchar_t)));
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS) Win32Exception::Throw(static_cast<uint32_t>(status), L"Listing the values of " + keyName);
        // The unnamed default value starts nothing.
        if (nameLength == 0 || !IsStringKind(kind)) continue;
        entries.emplace_back(new RegistryAutorunEntry(location.domain, location.root, location.subKey, location.view,
                                                      String(name.data(), static_cast<int>(nameLength)), kind,
                                                      TextFromValueData(data, size)));
    }
}

void AddSingleValue(const AutorunLocation& location, std::vector<std::unique_ptr<AutorunEntry>>& entries)
{
    System::UniqueRegistryKey key = OpenForReading(location.root, location.subKey, location.view);
    if (!key) return;
    DWORD kind = 0;
    String text;
    if (!QueryText(key.Get(), RootName(location.root) + L"\\" + location.subKey, location.valueName, kind, text)) return;
    entries.emplace_back(new RegistryAutorunEntry(location.domain, location.root, location.subKey, location.view,
                                                  location.valueName, kind, text));
}

void AddFolderFiles(const AutorunLocation& location, std::vector<std::unique_ptr<AutorunEntry>>& entries)
{
    System::IO::DirectoryInfo folder(location.folder);
    if (!folder.Exists()) return;
    for (const System::IO::FileInfo& file : folder.GetFiles(L"*")) {
        String fileName = file.GetName();
        if (fileName.Equals(L"desktop.ini", true)) continue;
        if (fileName.EndsWith(L".lnk", true)) {
            ShortcutAutorunEntry* shortcut = nullptr;
            // A link the shell cannot read is still a file in the folder: keep it as one.
            bool read = System::TraceExceptions(
                [&] { shortcut = ShortcutAutorunEntry::FromFile(location.domain, location.folder, fileName); });
            if (read) {
                entries.emplace_back(shortcut);
                continue;
            }
        }
        entries.emplace_back(new FolderFileAutorunEntry(location.domain, location.folder, fileName));
    }
}

String ReadLinkText(IShellLinkW* link, HRESULT (STDMETHODCALLTYPE IShellLinkW::*get)(LPWSTR, int), const wchar_t* what)
{
    std::vector<wchar_t> buffer(32768, L'\0');
    CheckCom((link->*get)(buffer.data(), static_cast<int>(buffer.size())), String(L"IShellLinkW::") + what);
    buffer.back() = L'\0';
    return String(buffer.data());
}

String QuoteIfSpaced(const String& path) { return path.Contains(L" ") ? L"\"" + path + L"\"" : path; }

String ShortcutCommandLine(const ShortcutData& link)
{
    String line = QuoteIfSpaced(link.targetPath);
    if (!link.arguments.IsEmpty()) line += L" " + link.arguments;
    return line;
}

String ShortcutName(const String& fileName)
{
    return fileName.EndsWith(L".lnk", true) ? fileName.Substring(0, fileName.GetLength() - 4) : fileName;
}

bool IsFile(const String& path)
{
    DWORD attributes = GetFileAttributesW(path.GetBuffer());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

String FullPath(const String& path)
{
    DWORD length = GetFullPathNameW(path.GetBuffer(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::vector<wchar_t> buffer(length + 1);
    DWORD written = GetFullPathNameW(path.GetBuffer(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (written == 0 || written >= buffer.size()) return path;
    return String(buffer.data(), static_cast<int>(written));
}

bool HasFolder(const String& path) { return path.IndexOf(L'\\') >= 0 || path.IndexOf(L'/') >= 0 || path.IndexOf(L':') >= 0; }

String SearchOnPath(const String& name)
{
    wchar_t found[MAX_PATH];
    DWORD length = SearchPathW(nullptr, name.GetBuffer(), L".exe", MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH) return String();
    return String(found, static_cast<int>(length));
}

// The existing program file that candidate names, or empty.
String ResolveProgram(String candidate)
{
    while (candidate.EndsWith(L",")) candidate = candidate.Substring(0, candidate.GetLength() - 1);
    if (candidate.IsEmpty()) return String();
    if (!HasFolder(candidate)) return SearchOnPath(candidate);
    if (IsFile(candidate)) return FullPath(candidate);
    int slash = candidate.LastIndexOf(L'\\');
    if (candidate.IndexOf(L'.', slash + 1) < 0 && IsFile(candidate + L".exe")) return FullPath(candidate + L".exe");
    return String();
}

}  // namespace

AutorunEntry::AutorunEntry(const String& domain, const String& name, const String& imagePath, const String& commandLine)
    : domain_(domain), name_(name), imagePath_(imagePath), commandLine_(commandLine)
{
}

AutorunEntry::~AutorunEntry() = default;

void AutorunEntry::WriteRecord(Stream* stream, int kind, const std::vector<uint8_t>& body) const
{
    if (!stream) throw new System::ArgumentNullException(L"stream");
    ByteStream whole;
    BinaryWriter common(&whole);
    common.Write(domain_);
    common.Write(name_);
    common.Write(imagePath_);
    common.Write(commandLine_);
    common.Write(body.data(), static_cast<int>(body.size()));

    BinaryWriter writer(stream);
    writer.WriteInt32(FormatVersion);
    writer.WriteInt32(kind);
    writer.WriteInt32(static_cast<int32_t>(whole.Bytes().size()));
    writer.Write(whole.Bytes().data(), static_cast<int>(whole.Bytes().size()));
}

AutorunEntry* AutorunEntry::DeserializeObject(Stream* stream)
{
    if (!stream) throw new System::ArgumentNullException(L"stream");
    BinaryReader header(stream);
    int32_t version = header.ReadInt32();
    if (version != FormatVersion)
        throw new System::NotSupportedException(String::Format(L"Autorun record format %d is not supported.", version));
    int32_t kind = header.ReadInt32();
    int32_t length = header.ReadInt32();
    if (length < 0)
        throw new System::FormatException(String::Format(L"An autorun record announces a negative length (%d).", length));
    if (stream->CanSeek()) {
        int64_t remaining = stream->GetLength() - stream->GetPosition();
        if (length > remaining)
            throw new System::IO::EndOfStreamException(String::Format(
                L"An autorun record of %d bytes is announced, but only %I64d bytes remain.", length, remaining));
    }
    System::Array<uint8_t> bytes = header.ReadBytes(length);
    if (bytes.GetLength() < length)
        throw new System::IO::EndOfStreamException(
            String::Format(L"The stream ended after %d of the %d bytes of an autorun record.", bytes.GetLength(), length));

    ByteStream body(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    BinaryReader reader(&body);
    String domain = reader.ReadString();
    String name = reader.ReadString();
    String imagePath = reader.ReadString();
    String commandLine = reader.ReadString();
    switch (kind) {
    case RegistryValueRecord: {
        HKEY root = RootFromCode(reader.ReadInt32());
        String subKey = reader.ReadString();
        REGSAM view = static_cast<REGSAM>(reader.ReadInt32());
        if (view != 0 && view != KEY_WOW64_32KEY && view != KEY_WOW64_64KEY)
            throw new System::FormatException(String::Format(L"An autorun record names the unknown registry view 0x%X.", view));
        uint32_t valueKind = static_cast<uint32_t>(reader.ReadInt32());
        if (!IsStringKind(valueKind))
            throw new System::FormatException(String::Format(L"An autorun record names the value kind %u.", valueKind));
        String data = reader.ReadString();
        return new RegistryAutorunEntry(domain, root, subKey, view, name, valueKind, data);
    }
    case ShortcutRecord: {
        String folder = reader.ReadString();
        String fileName = reader.ReadString();
        ShortcutData link;
        link.targetPath = reader.ReadString();
        link.arguments = reader.ReadString();
        link.workingDirectory = reader.ReadString();
        link.description = reader.ReadString();
        link.iconPath = reader.ReadString();
        link.iconIndex = reader.ReadInt32();
        link.showCommand = reader.ReadInt32();
        return new ShortcutAutorunEntry(domain, folder, fileName, link);
    }
    case FolderFileRecord: {
        String folder = reader.ReadString();
        String fileName = reader.ReadString();
        int32_t contentLength = reader.ReadInt32();
        if (contentLength < 0 || contentLength > body.GetLength() - body.GetPosition())
            throw new System::FormatException(
                String::Format(L"An autorun record announces a file of %d bytes that it does not hold.", contentLength));
        System::Array<uint8_t> content = reader.ReadBytes(contentLength);
        return new FolderFileAutorunEntry(domain, folder, fileName, std::vector<uint8_t>(content.begin(), content.end()));
    }
    default:
        throw new System::NotSupportedException(String::Format(L"Autorun record kind %d is not supported.", kind));
    }
}

RegistryAutorunEntry::RegistryAutorunEntry(const String& domain, HKEY root, const String& subKey, REGSAM view,
                                           const String& valueName, uint32_t valueKind, const String& data)
    : AutorunEntry(domain, valueName, ImagePathFromCommandLine(data),
                   valueKind == REG_EXPAND_SZ ? System::Environment::ExpandEnvironmentVariables(data) : data),
      root_(root), subKey_(subKey), view_(view), valueKind_(valueKind), data_(data)
{
    RootCode(root);
    if (!IsStringKind(valueKind)) throw new System::ArgumentException(L"valueKind: REG_SZ or REG_EXPAND_SZ expected.");
}

void RegistryAutorunEntry::Register()
{
    String keyName = RootName(root_) + L"\\" + subKey_;
    System::UniqueRegistryKey key;
    LONG status = RegCreateKeyExW(root_, subKey_.GetBuffer(), 0, nullptr, 0, KEY_SET_VALUE | view_, nullptr,
                                  key.Receive(), nullptr);
    if (status != ERROR_SUCCESS) Win32Exception::Throw(static_cast<uint32_t>(status), L"Opening " + keyName);
    DWORD size = static_cast<DWORD>((data_.GetLength() + 1) * sizeof(wchar_t));
    status = RegSetValueExW(key.Get(), GetName().GetBuffer(), 0, valueKind_,
                            reinterpret_cast<const BYTE*>(data_.GetBuffer()), size);
    if (status != ERROR_SUCCESS)
        Win32Exception::Throw(static_cast<uint32_t>(status), L"Writing " + keyName + L"\\" + GetName());
}

void RegistryAutorunEntry::Unregister()
{
    String keyName = RootName(root_) + L"\\" + subKey_;
    System::UniqueRegistryKey key;
    LONG status = RegOpenKeyExW(root_, subKey_.GetBuffer(), 0, KEY_SET_VALUE | view_, key.Receive());
    if (status == ERROR_FILE_NOT_FOUND) return;
    if (status != ERROR_SUCCESS) Win32Exception::Throw(static_cast<uint32_t>(status), L"Opening " + keyName);
    status = RegDeleteValueW(key.Get(), GetName().GetBuffer());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Win32Exception::Throw(static_cast<uint32_t>(status), L"Deleting " + keyName + L"\\" + GetName());
}

void RegistryAutorunEntry::SerializeObject(Stream* stream)
{
    ByteStream body;
    BinaryWriter writer(&body);
    writer.WriteInt32(RootCode(root_));
    writer.Write(subKey_);
    writer.WriteInt32(static_cast<int32_t>(view_));
    writer.WriteInt32(static_cast<int32_t>(valueKind_));
    writer.Write(data_);
    WriteRecord(stream, RegistryValueRecord, body.Bytes());
}

ShortcutAutorunEntry::ShortcutAutorunEntry(const String& domain, const String& folder, const String& fileName,
                                           const ShortcutData& link)
    : AutorunEntry(domain, ShortcutName(fileName),
                   link.targetPath.IsEmpty() ? String()
                                             : FullPath(System::Environment::ExpandEnvironmentVariables(link.targetPath)),
                   ShortcutCommandLine(link)),
      folder_(folder), fileName_(fileName), link_(link)
{
}

ShortcutAutorunEntry* ShortcutAutorunEntry::FromFile(const String& domain, const String& folder, const String& fileName)
{
    ComScope com;
    String path = Combine(folder, fileName);
    System::ComPtr<IShellLinkW> link;
    CheckCom(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Receive())),
             L"Creating a shell link object");
    System::ComPtr<IPersistFile> file;
    CheckCom(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive())),
             L"IShellLinkW::QueryInterface(IPersistFile)");
    CheckCom(file->Load(path.GetBuffer(), STGM_READ), L"Loading the shortcut " + path);

    ShortcutData data;
    std::vector<wchar_t> target(32768, L'\0');
    CheckCom(link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, SLGP_RAWPATH),
             L"IShellLinkW::GetPath of " + path);
    target.back() = L'\0';
    data.targetPath = String(target.data());
    data.arguments = ReadLinkText(link.Get(), &IShellLinkW::GetArguments, L"GetArguments");
    data.workingDirectory = ReadLinkText(link.Get(), &IShellLinkW::GetWorkingDirectory, L"GetWorkingDirectory");
    data.description = ReadLinkText(link.Get(), &IShellLinkW::GetDescription, L"GetDescription");
    std::vector<wchar_t> icon(32768, L'\0');
    int iconIndex = 0;
    CheckCom(link->GetIconLocation(icon.data(), static_cast<int>(icon.size()), &iconIndex),
             L"IShellLinkW::GetIconLocation of " + path);
    icon.back() = L'\0';
    data.iconPath = String(icon.data());
    data.iconIndex = iconIndex;
    int showCommand = SW_SHOWNORMAL;
    CheckCom(link->GetShowCmd(&showCommand), L"IShellLinkW::GetShowCmd of " + path);
    data.showCommand = showCommand;
    return new ShortcutAutorunEntry(domain, folder, fileName, data);
}

void ShortcutAutorunEntry::Register()
{
    ComScope com;
    System::IO::DirectoryInfo(folder_).Create();
    String path = Combine(folder_, fileName_);
    System::ComPtr<IShellLinkW> link;
    CheckCom(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Receive())),
             L"Creating a shell link object");
    CheckCom(link->SetPath(link_.targetPath.GetBuffer()), L"IShellLinkW::SetPath for " + path);
    CheckCom(link->SetArguments(link_.arguments.GetBuffer()), L"IShellLinkW::SetArguments for " + path);
    CheckCom(link->SetWorkingDirectory(link_.workingDirectory.GetBuffer()),
             L"IShellLinkW::SetWorkingDirectory for " + path);
    CheckCom(link->SetDescription(link_.description.GetBuffer()), L"IShellLinkW::SetDescription for " + path);
    if (!link_.iconPath.IsEmpty())
        CheckCom(link->SetIconLocation(link_.iconPath.GetBuffer(), link_.iconIndex),
                 L"IShellLinkW::SetIconLocation for " + path);
    CheckCom(link->SetShowCmd(link_.showCommand), L"IShellLinkW::SetShowCmd for " + path);
    System::ComPtr<IPersistFile> file;
    CheckCom(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive())),
             L"IShellLinkW::QueryInterface(IPersistFile)");
    CheckCom(file->Save(path.GetBuffer(), TRUE), L"Saving the shortcut " + path);
}

void ShortcutAutorunEntry::Unregister() { System::IO::FileInfo(Combine(folder_, fileName_)).Delete(); }

void ShortcutAutorunEntry::SerializeObject(Stream* stream)
{
    ByteStream body;
    BinaryWriter writer(&body);
    writer.Write(folder_);
    writer.Write(fileName_);
    writer.Write(link_.targetPath);
    writer.Write(link_.arguments);
    writer.Write(link_.workingDirectory);
    writer.Write(link_.description);
    writer.Write(link_.iconPath);
    writer.WriteInt32(link_.iconIndex);
    writer.WriteInt32(link_.showCommand);
    WriteRecord(stream, ShortcutRecord, body.Bytes());
}

FolderFileAutorunEntry::FolderFileAutorunEntry(const String& domain, const String& folder, const String& fileName)
    : AutorunEntry(domain, fileName, FullPath(Combine(folder, fileName)), QuoteIfSpaced(FullPath(Combine(folder, fileName)))),
      folder_(folder), fileName_(fileName)
{
}

FolderFileAutorunEntry::FolderFileAutorunEntry(const String& domain, const String& folder, const String& fileName,
                                               std::vector<uint8_t> content)
    : FolderFileAutorunEntry(domain, folder, fileName)
{
    content_ = std::move(content);
    contentKept_ = true;
}

void FolderFileAutorunEntry::KeepContent()
{
    if (contentKept_) return;
    String path = Combine(folder_, fileName_);
    System::IO::FileStream file(path, System::IO::FileMode::Open, System::IO::FileAccess::Read, FILE_SHARE_READ, 1);
    int64_t length = file.GetLength();
    if (length > MaxKeptLength)
        throw new System::NotSupportedException(String::Format(
            L"%s is %I64d bytes long; files above %I64d bytes are not kept, so it stays in place.", path.GetBuffer(),
            length, MaxKeptLength));
    std::vector<uint8_t> content(static_cast<size_t>(length));
    int total = 0;
    while (total < static_cast<int>(length)) {
        int read = file.Read(content.data() + total, static_cast<int>(length) - total);
        if (read == 0) throw new System::IO::EndOfStreamException(L"The file shrank while it was read: " + path);
        total += read;
    }
    file.Close();
    content_ = std::move(content);
    contentKept_ = true;
}

void FolderFileAutorunEntry::Register()
{
    String path = Combine(folder_, fileName_);
    if (!contentKept_) {
        if (IsFile(path)) return;
        throw new System::InvalidOperationException(L"The content of " + path + L" was never read, so it cannot be written back.");
    }
    System::IO::DirectoryInfo(folder_).Create();
    System::IO::FileStream file(path, System::IO::FileMode::Create, System::IO::FileAccess::Write, 0, 1);
    file.Write(content_.data(), static_cast<int>(content_.size()));
    file.Close();
}

void FolderFileAutorunEntry::Unregister()
{
    String path = Combine(folder_, fileName_);
    if (!IsFile(path)) return;
    KeepContent();
    System::IO::FileInfo(path).Delete();
}

void FolderFileAutorunEntry::SerializeObject(Stream* stream)
{
    KeepContent();
    ByteStream body;
    BinaryWriter writer(&body);
    writer.Write(folder_);
    writer.Write(fileName_);
    writer.WriteInt32(static_cast<int32_t>(content_.size()));
    writer.Write(content_.data(), static_cast<int>(content_.size()));
    WriteRecord(stream, FolderFileRecord, body.Bytes());
}

Autorun::Autorun(const String& name, std::vector<AutorunLocation> locations)
    : name_(name), locations_(std::move(locations))
{
}

Autorun* Autorun::GetAutorun(const String& name)
{
    if (name != L"Logon") throw new System::ArgumentException(L"There is no autorun group named " + name + L".");
    static Autorun* logon = [] {
        const wchar_t* run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
        const wchar_t* winlogon = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
        REGSAM machineView = Is64BitSystem() ? KEY_WOW64_64KEY : 0;
        std::vector<AutorunLocation> locations;
        auto add = [&](AutorunLocation::Kind kind, const wchar_t* domain, HKEY root, const wchar_t* subKey, REGSAM view,
                       const wchar_t* valueName, const String& folder) {
            AutorunLocation location;
            location.kind = kind;
            location.domain = domain;
            location.root = root;
            location.subKey = subKey;
            location.view = view;
            location.valueName = valueName;
            location.folder = folder;
            locations.push_back(location);
        };
        add(AutorunLocation::RegistryKeyValues, L"Logon.AllUser.Registry.Run", HKEY_LOCAL_MACHINE, run, machineView, L"", L"");
        if (HasSeparate32BitView())
            add(AutorunLocation::RegistryKeyValues, L"Logon.AllUser.Registry.Wow6432Node.Run", HKEY_LOCAL_MACHINE, run,
                KEY_WOW64_32KEY, L"", L"");
        add(AutorunLocation::RegistryValue, L"Logon.AllUser.Registry.Shell", HKEY_LOCAL_MACHINE, winlogon, machineView,
            L"Shell", L"");
        add(AutorunLocation::RegistryValue, L"Logon.AllUser.Registry.UserInit", HKEY_LOCAL_MACHINE, winlogon, machineView,
            L"Userinit", L"");
        add(AutorunLocation::RegistryKeyValues, L"Logon.CurrentUser.Registry.Run", HKEY_CURRENT_USER, run, 0, L"", L"");
        String commonStartup = System::Environment::GetFolderPath(System::Environment::CommonStartup);
        if (!commonStartup.IsEmpty())
            add(AutorunLocation::Folder, L"Logon.AllUser.Startup", nullptr, L"", 0, L"", commonStartup);
        String userStartup = System::Environment::GetFolderPath(System::Environment::Startup);
        if (!userStartup.IsEmpty())
            add(AutorunLocation::Folder, L"Logon.CurrentUser.Startup", nullptr, L"", 0, L"", userStartup);
        return new Autorun(L"Logon", std::move(locations));
    }();
    return logon;
}

System::Array<AutorunEntry*> Autorun::GetEntries()
{
    std::vector<std::unique_ptr<AutorunEntry>> entries;
    for (const AutorunLocation& location : locations_) {
        switch (location.kind) {
        case AutorunLocation::RegistryKeyValues:
            AddKeyValues(location, entries);
            break;
        case AutorunLocation::RegistryValue:
            AddSingleValue(location, entries);
            break;
        case AutorunLocation::Folder:
            AddFolderFiles(location, entries);
            break;
        }
    }
    std::vector<AutorunEntry*> result;
    result.reserve(entries.size());
    for (auto& entry : entries) result.push_back(entry.release());
    return System::Array<AutorunEntry*>(std::move(result));
}

String ImagePathFromCommandLine(const String& commandLine)
{
    String line = System::Environment::ExpandEnvironmentVariables(commandLine).Trim();
    if (line.IsEmpty()) return String();
    if (line[0] == L'"') {
        int end = line.IndexOf(L'"', 1);
        String quoted = end < 0 ? line.Substring(1) : line.Substring(1, end - 1);
        String found = ResolveProgram(quoted);
        return found.IsEmpty() ? quoted : found;
    }
    System::Array<String> words = line.Split(L" ");
    String candidate;
    for (int i = 0; i < words.GetLength(); ++i) {
        candidate = i == 0 ? words[0] : candidate + L" " + words[i];
        String found = ResolveProgram(candidate);
        if (!found.IsEmpty()) return found;
    }
    String first = words[0];
    while (first.EndsWith(L",")) first = first.Substring(0, first.GetLength() - 1);
    return first;
}

}  // namespace Autoruns
}  // namespace Win32
}  // namespace Vela
