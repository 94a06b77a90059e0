#pragma once

#include <algorithm>
#include <vector>

#include "core/Array.h"
#include "core/Enumerator.h"
#include "core/Throw.h"

namespace System {

// A growable array. It does not own what its elements point to.
template <class T>
class List {
public:
    using EnumeratorType = Enumerator<typename std::vector<T>::const_iterator, T>;

    List() = default;
    explicit List(int capacity)
    {
        if (capacity < 0) _Throw(ThrowIndexOutOfRange);
        items_.reserve(static_cast<size_t>(capacity));
    }

    int GetCount() const { return static_cast<int>(items_.size()); }

    void Add(const T& item)
    {
        items_.push_back(item);
        ++version_;
    }
    void Insert(int index, const T& item)
    {
        if (index < 0 || index > GetCount()) _Throw(ThrowIndexOutOfRange);
        items_.insert(items_.begin() + index, item);
        ++version_;
    }
    // Removes the first element equal to item; false when there is none.
    bool Remove(const T& item)
    {
        int index = IndexOf(item);
        if (index < 0) return false;
        RemoveAt(index);
        return true;
    }
    void RemoveAt(int index)
    {
        items_.erase(items_.begin() + CheckedIndex(index));
        ++version_;
    }
    void Clear()
    {
        items_.clear();
        ++version_;
    }

    T& operator[](int index) { return items_[CheckedIndex(index)]; }
    const T& operator[](int index) const { return items_[CheckedIndex(index)]; }

    int IndexOf(const T& item) const
    {
        auto found = std::find(items_.begin(), items_.end(), item);
        return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
    }
    bool Contains(const T& item) const { return IndexOf(item) >= 0; }

    Array<T> ToArray() const { return Array<T>(items_); }
    EnumeratorType GetEnumerator() const { return EnumeratorType(items_.begin(), items_.end(), &version_); }

    typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
    typename std::vector<T>::const_iterator end() const { return items_.end(); }

private:
    size_t CheckedIndex(int index) const
    {
        if (index < 0 || index >= GetCount()) _Throw(ThrowIndexOutOfRange);
        return static_cast<size_t>(index);
    }

    std::vector<T> items_;
    unsigned version_ = 0;
};

}  // namespace System
