#pragma once

#include <cstddef>
#include <initializer_list>
#include <utility>
#include <vector>

#include "core/Throw.h"

namespace System {

// A fixed-size array handed to callers; it copies its elements and never owns what they point to.
template <class T>
class Array {
public:
    Array() = default;
    explicit Array(int length) : items_(CheckedLength(length)) {}
    Array(std::initializer_list<T> items) : items_(items) {}
    explicit Array(std::vector<T> items) : items_(std::move(items)) {}

    int GetLength() const { return static_cast<int>(items_.size()); }

    T& operator[](int index) { return items_[CheckedIndex(index)]; }
    const T& operator[](int index) const { return items_[CheckedIndex(index)]; }

    typename std::vector<T>::iterator begin() { return items_.begin(); }
    typename std::vector<T>::iterator end() { return items_.end(); }
    typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
    typename std::vector<T>::const_iterator end() const { return items_.end(); }

    const T* GetData() const { return items_.data(); }
    T* GetData() { return items_.data(); }

    bool operator==(const Array& other) const { return items_ == other.items_; }
    bool operator!=(const Array& other) const { return items_ != other.items_; }

private:
    static size_t CheckedLength(int length)
    {
        if (length < 0) _Throw(ThrowIndexOutOfRange);
        return static_cast<size_t>(length);
    }
    size_t CheckedIndex(int index) const
    {
        if (index < 0 || static_cast<size_t>(index) >= items_.size()) _Throw(ThrowIndexOutOfRange);
        return static_cast<size_t>(index);
    }

    std::vector<T> items_;
};

}  // namespace System
