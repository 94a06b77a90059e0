#pragma once

#include <windows.h>

#include <string>

namespace TestSupport {

// A string value set for the test's life, and put back as it was (or removed when there was none).
class RegistryValueOverride {
public:
    RegistryValueOverride(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& data);
    ~RegistryValueOverride();
    RegistryValueOverride(const RegistryValueOverride&) = delete;
    RegistryValueOverride& operator=(const RegistryValueOverride&) = delete;

private:
    HKEY root_;
    std::wstring key_;
    std::wstring name_;
    bool had_ = false;
    std::wstring saved_;
};

}  // namespace TestSupport
