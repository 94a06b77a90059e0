#pragma once

#include <unknwn.h>

namespace System {

// Holds one reference to a COM object and releases it when it goes.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    void Reset()
    {
        if (pointer_) pointer_->Release();
        pointer_ = nullptr;
    }
    // For functions that return a new reference through a pointer.
    T** Receive()
    {
        Reset();
        return &pointer_;
    }
    // Takes over a reference the caller already holds.
    void Attach(T* pointer)
    {
        Reset();
        pointer_ = pointer;
    }

private:
    T* pointer_ = nullptr;
};

}  // namespace System
