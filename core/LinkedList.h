#pragma once

#include <algorithm>
#include <list>
#include <vector>

#include "core/Array.h"
#include "core/Enumerator.h"
#include "core/Throw.h"

namespace System {

// A list that keeps insertion order and removes cheaply. It does not own what its elements point to.
template <class T>
class LinkedList {
public:
    using EnumeratorType = Enumerator<typename std::list<T>::const_iterator, T>;

    int GetCount() const { return static_cast<int>(items_.size()); }

    void AddLast(const T& item)
    {
        items_.push_back(item);
        ++version_;
    }
    void AddFirst(const T& item)
    {
        items_.push_front(item);
        ++version_;
    }
    // Removes the first element equal to item; false when there is none.
    bool Remove(const T& item)
    {
        auto found = std::find(items_.begin(), items_.end(), item);
        if (found == items_.end()) return false;
        items_.erase(found);
        ++version_;
        return true;
    }
    void Clear()
    {
        items_.clear();
        ++version_;
    }

    const T& GetFirst() const
    {
        if (items_.empty()) _Throw(ThrowInvalidOperation);
        return items_.front();
    }
    const T& GetLast() const
    {
        if (items_.empty()) _Throw(ThrowInvalidOperation);
        return items_.back();
    }
    bool Contains(const T& item) const { return std::find(items_.begin(), items_.end(), item) != items_.end(); }

    Array<T> ToArray() const { return Array<T>(std::vector<T>(items_.begin(), items_.end())); }
    EnumeratorType GetEnumerator() const { return EnumeratorType(items_.begin(), items_.end(), &version_); }

    typename std::list<T>::const_iterator begin() const { return items_.begin(); }
    typename std::list<T>::const_iterator end() const { return items_.end(); }

private:
    std::list<T> items_;
    unsigned version_ = 0;
};

}  // namespace System
