#pragma once

#include <windows.h>

#include <string>

namespace TestSupport {

// A new key under HKEY_CURRENT_USER\Software\Vela\Tests, deleted with everything below it
// when the object goes.
class ScratchRegistryKey {
public:
    ScratchRegistryKey();
    ~ScratchRegistryKey();
    ScratchRegistryKey(const ScratchRegistryKey&) = delete;
    ScratchRegistryKey& operator=(const ScratchRegistryKey&) = delete;

    // Path below HKEY_CURRENT_USER.
    const std::wstring& Path() const { return path_; }
    // Full path with the root name, as "HKEY_CURRENT_USER\Software\...".
    std::wstring FullPath() const { return L"HKEY_CURRENT_USER\\" + path_; }
    HKEY Handle() const { return key_; }

private:
    std::wstring path_;
    HKEY key_ = nullptr;
};

}  // namespace TestSupport
