#include "testing/RegistryValueOverride.h"

namespace TestSupport {

namespace {

void SetString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& data)
{
    RegSetKeyValueW(root, key.c_str(), name.c_str(), REG_SZ, data.c_str(), static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

RegistryValueOverride::RegistryValueOverride(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& data)
    : root_(root), key_(key), name_(name)
{
    wchar_t buffer[2048] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    had_ = RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) == ERROR_SUCCESS;
    saved_ = buffer;
    SetString(root_, key_, name_, data);
}

RegistryValueOverride::~RegistryValueOverride()
{
    if (had_) {
        SetString(root_, key_, name_, saved_);
    } else {
        RegDeleteKeyValueW(root_, key_.c_str(), name_.c_str());
    }
}

}  // namespace TestSupport
