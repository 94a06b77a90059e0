#include "testing/ScratchRegistryKey.h"

#include <atomic>
#include <stdexcept>

namespace TestSupport {

ScratchRegistryKey::ScratchRegistryKey()
{
    static std::atomic<unsigned> counter{0};
    wchar_t name[96];
    swprintf(name, 96, L"Software\\Vela\\Tests\\key-%lu-%u-%lu", GetCurrentProcessId(), counter++, GetTickCount());
    path_ = name;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create a scratch registry key");
}

ScratchRegistryKey::~ScratchRegistryKey()
{
    RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
}

}  // namespace TestSupport
