#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

namespace System {

// Owns one operating-system resource and releases it exactly once, on every path.
template <class Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() : value_(Traits::Invalid()) {}
    explicit UniqueResource(Type value) : value_(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Type Get() const { return value_; }
    bool IsValid() const { return Traits::IsValid(value_); }
    explicit operator bool() const { return IsValid(); }

    Type Release()
    {
        Type value = value_;
        value_ = Traits::Invalid();
        return value;
    }
    void Reset(Type value = Traits::Invalid())
    {
        if (Traits::IsValid(value_)) Traits::Close(value_);
        value_ = value;
    }
    // For functions that return the resource through a pointer.
    Type* Receive()
    {
        Reset();
        return &value_;
    }

private:
    Type value_;
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr && value != INVALID_HANDLE_VALUE; }
    static void Close(Type value) { CloseHandle(value); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type value) { return value != nullptr && value != INVALID_HANDLE_VALUE; }
    static void Close(Type value) { FindClose(value); }
};

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { RegCloseKey(value); }
};

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { InternetCloseHandle(value); }
};

// A URL cache enumeration: FindFirstUrlCacheEntryW answers null on failure.
struct UrlCacheFindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { FindCloseUrlCache(value); }
};

struct LibraryTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { FreeLibrary(value); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFindHandle = UniqueResource<FindHandleTraits>;
using UniqueRegistryKey = UniqueResource<RegistryKeyTraits>;
using UniqueInternetHandle = UniqueResource<InternetHandleTraits>;
using UniqueUrlCacheFindHandle = UniqueResource<UrlCacheFindHandleTraits>;
using UniqueLibrary = UniqueResource<LibraryTraits>;

}  // namespace System
