#include "sweeper/addon/SelectionStore.h"

#include <cstdint>

#include "core/ExceptionGuard.h"

using System::String;

SelectionStore::SelectionStore(Microsoft::Win32::RegistryKey& parent) : key_(parent.CreateSubKey(KeyName)) {}

bool SelectionStore::IsTicked(const String& key) const
{
    int32_t value = 1;
    if (!System::TraceExceptions([&] { key_->GetValue(key, value); })) return true;
    return value != 0;
}

void SelectionStore::SetTicked(const String& key, bool ticked)
{
    key_->SetValue(key, static_cast<int32_t>(ticked ? 1 : 0));
}
