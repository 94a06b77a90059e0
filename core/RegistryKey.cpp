#include "core/RegistryKey.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include "core/Environment.h"
#include "core/Exception.h"
#include "core/Win32Exception.h"

namespace Microsoft {
namespace Win32 {

using System::Array;
using System::String;
using System::UniqueRegistryKey;

namespace {

// Most values fit at once; longer ones are read again at the size the platform reports.
constexpr size_t kFirstValueBuffer = 512;
// Performance data reports no size on ERROR_MORE_DATA: the buffer then doubles up to this.
constexpr size_t kLargestGuessedValue = 64 * 1024 * 1024;
// A value that keeps growing between two reads is given up after this many attempts.
constexpr int kReadAttempts = 32;
// Platform maxima: 255 characters for a key name, 16383 for a value name, plus the NUL.
constexpr DWORD kKeyNameBuffer = 256;
constexpr DWORD kValueNameBuffer = 16384;
constexpr DWORD kLargestNameBuffer = 65536;

[[noreturn]] void ThrowStatus(LSTATUS status, const String& what)
{
    Win32Exception::Throw(static_cast<uint32_t>(status), what);
}

bool IsLinkKey(HKEY key)
{
    DWORD kind = 0;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &kind, nullptr, nullptr) == ERROR_SUCCESS &&
           kind == REG_LINK;
}

// True when the key name under parent, or a key below it, is a symbolic link, or when part of the
// tree cannot be looked at.
bool TreeHoldsLink(HKEY parent, const wchar_t* name)
{
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(parent, name, REG_OPTION_OPEN_LINK, KEY_READ, &opened);
    if (status == ERROR_FILE_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS) return true;
    System::UniqueRegistryKey key(opened);
    if (IsLinkKey(opened)) return true;
    wchar_t child[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof child / sizeof child[0];
        status = RegEnumKeyExW(opened, index, child, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return false;
        if (status != ERROR_SUCCESS || TreeHoldsLink(opened, child)) return true;
    }
}

String KindName(DWORD kind)
{
    switch (kind) {
    case REG_NONE: return L"REG_NONE";
    case REG_SZ: return L"REG_SZ";
    case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
    case REG_BINARY: return L"REG_BINARY";
    case REG_DWORD: return L"REG_DWORD";
    case REG_DWORD_BIG_ENDIAN: return L"REG_DWORD_BIG_ENDIAN";
    case REG_LINK: return L"REG_LINK";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_QWORD: return L"REG_QWORD";
    default: return String::Format(L"kind %lu", static_cast<unsigned long>(kind));
    }
}

String ValueLabel(const String& valueName)
{
    return valueName.IsEmpty() ? String(L"(default)") : L"\"" + valueName + L"\"";
}

// Reads names one index at a time until the platform reports no more, so that a key whose
// content changes meanwhile never yields a stale count of empty names.
template <class Enumerate>
Array<String> EnumerateNames(DWORD firstBuffer, Enumerate&& enumerate, const String& what)
{
    std::vector<String> names;
    std::vector<wchar_t> buffer(firstBuffer);
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        LSTATUS status = enumerate(index, buffer.data(), &length);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_MORE_DATA && buffer.size() < kLargestNameBuffer) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS) ThrowStatus(status, what);
        names.emplace_back(buffer.data(), static_cast<int>(std::min<size_t>(length, buffer.size())));
        ++index;
    }
    return Array<String>(std::move(names));
}

}  // namespace

RegistryKey::RegistryKey(HKEY root, const String& name) : root_(root), name_(name), writable_(true) {}

RegistryKey::RegistryKey(UniqueRegistryKey handle, const String& name, bool writable)
    : handle_(std::move(handle)), name_(name), writable_(writable)
{
}

RegistryKey::~RegistryKey() = default;

HKEY RegistryKey::Handle() const
{
    if (root_) return root_;
    if (!handle_) throw new System::InvalidOperationException(L"The registry key " + name_ + L" is closed.");
    return handle_.Get();
}

void RegistryKey::RequireWritable(const String& what) const
{
    Handle();
    if (!writable_) Win32Exception::Throw(ERROR_ACCESS_DENIED, what + L" through a key open for reading only");
}

String RegistryKey::SubKeyName(const String& name) const
{
    int length = name.GetLength();
    while (length > 0 && name[length - 1] == L'\\') --length;
    return name.Substring(0, length);
}

RegistryKey* RegistryKey::OpenSubKey(const String& name, bool writable) const
{
    HKEY parent = Handle();
    String subKey = SubKeyName(name);
    String fullName = subKey.IsEmpty() ? name_ : name_ + L"\\" + subKey;
    HKEY opened = nullptr;
    LSTATUS status =
        RegOpenKeyExW(parent, subKey.GetBuffer(), 0, writable ? KEY_READ | KEY_WRITE : KEY_READ, &opened);
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return nullptr;
    if (status != ERROR_SUCCESS) ThrowStatus(status, L"Cannot open the registry key " + fullName);
    return new RegistryKey(UniqueRegistryKey(opened), fullName, writable);
}

bool RegistryKey::IsLink(const String& name) const
{
    String subKey = SubKeyName(name);
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(Handle(), subKey.GetBuffer(), REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE, &opened);
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS) ThrowStatus(status, L"Cannot open the registry key " + name_ + L"\\" + subKey);
    System::UniqueRegistryKey key(opened);
    return IsLinkKey(opened);
}

RegistryKey* RegistryKey::CreateSubKey(const String& name)
{
    String subKey = SubKeyName(name);
    String fullName = subKey.IsEmpty() ? name_ : name_ + L"\\" + subKey;
    RequireWritable(L"Cannot create the registry key " + fullName);
    HKEY created = nullptr;
    LSTATUS status = RegCreateKeyExW(Handle(), subKey.GetBuffer(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_READ | KEY_WRITE, nullptr, &created, nullptr);
    if (status != ERROR_SUCCESS) ThrowStatus(status, L"Cannot create the registry key " + fullName);
    return new RegistryKey(UniqueRegistryKey(created), fullName, true);
}

void RegistryKey::DeleteSubKey(const String& name, bool throwOnMissing)
{
    String subKey = SubKeyName(name);
    // An empty name would make the platform delete this key itself.
    if (subKey.IsEmpty()) throw new System::ArgumentException(L"No subkey of " + name_ + L" was named for deletion.");
    String fullName = name_ + L"\\" + subKey;
    RequireWritable(L"Cannot delete the registry key " + fullName);
    std::unique_ptr<RegistryKey> child(OpenSubKey(subKey, false));
    if (child) {
        if (child->GetSubKeyCount() > 0)
            throw new System::InvalidOperationException(L"The registry key " + fullName +
                                                        L" has subkeys and cannot be deleted on its own.");
        child->Close();
        LSTATUS status = RegDeleteKeyW(Handle(), subKey.GetBuffer());
        if (status == ERROR_SUCCESS) return;
        if (status != ERROR_FILE_NOT_FOUND)
            ThrowStatus(status, L"Cannot delete the registry key " + fullName);
    }
    if (throwOnMissing) throw new System::ArgumentException(L"The registry key " + fullName + L" does not exist.");
}

void RegistryKey::DeleteSubKeyTree(const String& name)
{
    String subKey = SubKeyName(name);
    // An empty name would make the platform empty this key itself.
    if (subKey.IsEmpty()) throw new System::ArgumentException(L"No subkey of " + name_ + L" was named for deletion.");
    String fullName = name_ + L"\\" + subKey;
    RequireWritable(L"Cannot delete the registry key tree " + fullName);
    // Deleting through a link would delete what it points at, a key the caller never chose.
    if (TreeHoldsLink(Handle(), subKey.GetBuffer()))
        throw new System::InvalidOperationException(L"The registry key tree " + fullName +
                                                    L" holds a symbolic link and is left as it is.");
    LSTATUS status = RegDeleteTreeW(Handle(), subKey.GetBuffer());
    if (status == ERROR_FILE_NOT_FOUND)
        throw new System::ArgumentException(L"The registry key " + fullName + L" does not exist.");
    if (status != ERROR_SUCCESS) ThrowStatus(status, L"Cannot delete the registry key tree " + fullName);
}

void RegistryKey::DeleteValue(const String& name, bool throwOnMissing)
{
    RequireWritable(L"Cannot delete the registry value " + ValueLabel(name) + L" of key " + name_);
    LSTATUS status = RegDeleteValueW(Handle(), name.GetBuffer());
    if (status == ERROR_SUCCESS) return;
    if (status != ERROR_FILE_NOT_FOUND) ThrowValueError(status, L"Cannot delete", name);
    if (throwOnMissing)
        throw new System::ArgumentException(L"The registry value " + ValueLabel(name) + L" of key " + name_ +
                                            L" does not exist.");
}

int RegistryKey::GetSubKeyCount() const
{
    DWORD count = 0;
    LSTATUS status = RegQueryInfoKeyW(Handle(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) ThrowStatus(status, L"Cannot count the subkeys of " + name_);
    return static_cast<int>(count);
}

int RegistryKey::GetValueCount() const
{
    DWORD count = 0;
    LSTATUS status = RegQueryInfoKeyW(Handle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                                      nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) ThrowStatus(status, L"Cannot count the values of " + name_);
    return static_cast<int>(count);
}

Array<String> RegistryKey::GetSubKeyNames() const
{
    HKEY key = Handle();
    return EnumerateNames(
        kKeyNameBuffer,
        [key](DWORD index, wchar_t* buffer, DWORD* length) {
            return RegEnumKeyExW(key, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
        },
        L"Cannot list the subkeys of " + name_);
}

Array<String> RegistryKey::GetValueNames() const
{
    HKEY key = Handle();
    return EnumerateNames(
        kValueNameBuffer,
        [key](DWORD index, wchar_t* buffer, DWORD* length) {
            return RegEnumValueW(key, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
        },
        L"Cannot list the values of " + name_);
}

bool RegistryKey::ContainsValue(const String& name) const
{
    LSTATUS status = RegQueryValueExW(Handle(), name.GetBuffer(), nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) return true;
    if (status == ERROR_FILE_NOT_FOUND) return false;
    ThrowValueError(status, L"Cannot look up", name);
}

bool RegistryKey::QueryValue(const String& name, DWORD& kind, std::vector<uint8_t>& data) const
{
    HKEY key = Handle();
    data.assign(kFirstValueBuffer, 0);
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD size = static_cast<DWORD>(data.size());
        LSTATUS status = RegQueryValueExW(key, name.GetBuffer(), nullptr, &kind, data.data(), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(std::min<size_t>(size, data.size()));
            return true;
        }
        if (status == ERROR_FILE_NOT_FOUND) return false;
        if (status != ERROR_MORE_DATA) ThrowValueError(status, L"Cannot read", name);
        // The value may have grown since the last read: use the size the platform reports now,
        // and guess only for the one source that reports none.
        if (size > data.size()) {
            data.resize(size);
        } else if (data.size() < kLargestGuessedValue) {
            data.resize(data.size() * 2);
        } else {
            break;
        }
    }
    ThrowValueError(ERROR_MORE_DATA, L"Cannot read", name);
}

bool RegistryKey::GetValue(const String& name, String& value, bool expand) const
{
    DWORD kind = REG_NONE;
    std::vector<uint8_t> data;
    if (!QueryValue(name, kind, data)) return false;
    if (kind != REG_SZ && kind != REG_EXPAND_SZ) ThrowWrongKind(name, kind, L"a text");
    // Data need not end with a NUL, nor hold whole characters: read exactly the characters it holds.
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
    size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    String result(std::move(text));
    if (expand && kind == REG_EXPAND_SZ) result = System::Environment::ExpandEnvironmentVariables(result);
    value = result;
    return true;
}

bool RegistryKey::GetValue(const String& name, int32_t& value) const
{
    DWORD kind = REG_NONE;
    std::vector<uint8_t> data;
    if (!QueryValue(name, kind, data)) return false;
    if (kind != REG_DWORD) ThrowWrongKind(name, kind, L"a REG_DWORD");
    if (data.size() != sizeof(int32_t)) {
        String size = String::Format(L"%d bytes", static_cast<int>(data.size()));
        throw new System::InvalidCastException(L"The REG_DWORD value " + ValueLabel(name) + L" of key " + name_ +
                                               L" holds " + size + L", not 4.");
    }
    std::memcpy(&value, data.data(), sizeof value);
    return true;
}

bool RegistryKey::GetValue(const String& name, Array<uint8_t>& value) const
{
    DWORD kind = REG_NONE;
    std::vector<uint8_t> data;
    if (!QueryValue(name, kind, data)) return false;
    value = Array<uint8_t>(std::move(data));
    return true;
}

void RegistryKey::WriteValue(const String& name, DWORD kind, const void* data, size_t size)
{
    RequireWritable(L"Cannot write the registry value " + ValueLabel(name) + L" of key " + name_);
    if (size > std::numeric_limits<DWORD>::max())
        throw new System::ArgumentException(L"The data for the registry value " + ValueLabel(name) + L" is too long.");
    LSTATUS status = RegSetValueExW(Handle(), name.GetBuffer(), 0, kind, static_cast<const BYTE*>(data),
                                    static_cast<DWORD>(size));
    if (status != ERROR_SUCCESS) ThrowValueError(status, L"Cannot write", name);
}

void RegistryKey::SetValue(const String& name, const String& value)
{
    WriteValue(name, REG_SZ, value.GetBuffer(), (static_cast<size_t>(value.GetLength()) + 1) * sizeof(wchar_t));
}

void RegistryKey::SetValue(const String& name, int32_t value) { WriteValue(name, REG_DWORD, &value, sizeof value); }

void RegistryKey::SetValue(const String& name, const Array<uint8_t>& value)
{
    WriteValue(name, REG_BINARY, value.GetData(), static_cast<size_t>(value.GetLength()));
}

void RegistryKey::Close()
{
    if (!root_) handle_.Reset();
}

void RegistryKey::ThrowValueError(long status, const wchar_t* action, const String& valueName) const
{
    Win32Exception::Throw(static_cast<uint32_t>(status),
                          String(action) + L" the registry value " + ValueLabel(valueName) + L" of key " + name_);
}

void RegistryKey::ThrowWrongKind(const String& valueName, DWORD kind, const wchar_t* expected) const
{
    throw new System::InvalidCastException(L"The registry value " + ValueLabel(valueName) + L" of key " + name_ +
                                           L" is " + KindName(kind) + L", not " + expected + L".");
}

}  // namespace Win32
}  // namespace Microsoft
