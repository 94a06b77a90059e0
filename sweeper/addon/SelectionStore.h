#pragma once

#include <memory>

#include "core/RegistryKey.h"
#include "core/String.h"

// The user's tick marks of the sweeper's rows, kept across runs: the key "Sweeper" below the
// suite's user key holds one DWORD value per category or item key, 1 ticked and 0 not.
class SelectionStore {
public:
    static constexpr const wchar_t* KeyName = L"Sweeper";

    // Opens "Sweeper" below parent for writing, creating it when missing; parent stays the
    // caller's. Failures raise Win32Exception.
    explicit SelectionStore(Microsoft::Win32::RegistryKey& parent);

    // A missing value counts as ticked, and so does one of another kind (written by hand or by
    // something else): the row is then shown ticked and the next save repairs the value.
    bool IsTicked(const System::String& key) const;
    void SetTicked(const System::String& key, bool ticked);

private:
    std::unique_ptr<Microsoft::Win32::RegistryKey> key_;
};
