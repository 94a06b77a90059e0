#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/Array.h"
#include "core/CoreApi.h"
#include "core/Object.h"
#include "core/String.h"
#include "core/UniqueResource.h"

namespace Microsoft {
namespace Win32 {

// One open registry key, named by its full path ("HKEY_CURRENT_USER\Software\..."). Keys that
// OpenSubKey and CreateSubKey return belong to the caller, who deletes them; the roots of
// Registry belong to the library. Failures raise Win32Exception with the key's and value's name.
class VAPCORE_API RegistryKey : public System::Object {
public:
    ~RegistryKey() override;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    System::String GetName() const { return name_; }
    System::String ToString() const override { return name_; }

    // Null when the key does not exist.
    RegistryKey* OpenSubKey(const System::String& name, bool writable = false) const;
    // True when the subkey is a symbolic link (made with REG_OPTION_CREATE_LINK): opening it
    // would open the key it points at. False when it does not exist.
    bool IsLink(const System::String& name) const;
    // Opens the key for writing, creating it and its missing parents first.
    RegistryKey* CreateSubKey(const System::String& name);
    // A key that has subkeys raises InvalidOperationException; a missing one ArgumentException
    // when throwOnMissing is set.
    void DeleteSubKey(const System::String& name, bool throwOnMissing = true);
    // Deletes the key with everything below it; a missing key raises ArgumentException, a tree
    // holding a symbolic link InvalidOperationException, and nothing is deleted then.
    void DeleteSubKeyTree(const System::String& name);
    // A missing value raises ArgumentException when throwOnMissing is set.
    void DeleteValue(const System::String& name, bool throwOnMissing = true);

    int GetSubKeyCount() const;
    int GetValueCount() const;
    System::Array<System::String> GetSubKeyNames() const;
    // The default value, when set, has the empty name.
    System::Array<System::String> GetValueNames() const;
    bool ContainsValue(const System::String& name) const;

    // Each reader answers false and leaves value alone when the value does not exist, and raises
    // InvalidCastException when the value's kind or size does not fit the reader.
    // REG_SZ or REG_EXPAND_SZ; the latter has its %variables% expanded when expand is set. The
    // text ends at the first NUL or at the end of the data, whichever comes first.
    bool GetValue(const System::String& name, System::String& value, bool expand) const;
    // REG_DWORD of exactly four bytes.
    bool GetValue(const System::String& name, int32_t& value) const;
    // The raw bytes of a value of any kind.
    bool GetValue(const System::String& name, System::Array<uint8_t>& value) const;

    void SetValue(const System::String& name, const System::String& value);
    void SetValue(const System::String& name, int32_t value);
    void SetValue(const System::String& name, const System::Array<uint8_t>& value);

    // Later operations raise InvalidOperationException. Closing a root does nothing.
    void Close();

private:
    friend class Registry;
    // A root: a predefined handle that is never closed.
    RegistryKey(HKEY root, const System::String& name);
    RegistryKey(System::UniqueRegistryKey handle, const System::String& name, bool writable);

    HKEY Handle() const;
    void RequireWritable(const System::String& what) const;
    System::String SubKeyName(const System::String& name) const;
    bool QueryValue(const System::String& name, DWORD& kind, std::vector<uint8_t>& data) const;
    void WriteValue(const System::String& name, DWORD kind, const void* data, size_t size);
    [[noreturn]] void ThrowValueError(long status, const wchar_t* action, const System::String& valueName) const;
    [[noreturn]] void ThrowWrongKind(const System::String& valueName, DWORD kind, const wchar_t* expected) const;

    HKEY root_ = nullptr;
    System::UniqueRegistryKey handle_;
    System::String name_;
    bool writable_ = false;
};

}  // namespace Win32
}  // namespace Microsoft
