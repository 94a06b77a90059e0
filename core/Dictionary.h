#pragma once

#include <functional>
#include <unordered_map>
#include <vector>

#include "core/Array.h"
#include "core/Enumerator.h"
#include "core/Exception.h"
#include "core/KeyValuePair.h"
#include "core/String.h"

namespace System {

template <class K>
struct Hasher : std::hash<K> {};
template <>
struct Hasher<String> : StringHasher {};

// A hash table that enumerates its entries in the order they were added. It does not own
// what its keys or values point to.
template <class K, class V>
class Dictionary {
public:
    using Entry = KeyValuePair<K, V>;
    using EnumeratorType = Enumerator<typename std::vector<Entry>::const_iterator, Entry>;

    explicit Dictionary(int capacity = 0)
    {
        if (capacity < 0) throw new ArgumentOutOfRangeException(L"capacity");
        entries_.reserve(static_cast<size_t>(capacity));
        index_.reserve(static_cast<size_t>(capacity));
    }

    int GetCount() const { return static_cast<int>(entries_.size()); }

    void Add(const K& key, const V& value)
    {
        if (index_.count(key)) throw new ArgumentException(L"An item with the same key has already been added.");
        index_.emplace(key, entries_.size());
        entries_.push_back(Entry{key, value});
        ++version_;
    }
    // Adds the entry or replaces the value of an existing one.
    void Set(const K& key, const V& value)
    {
        auto found = index_.find(key);
        if (found == index_.end()) {
            Add(key, value);
        } else {
            entries_[found->second].value = value;
        }
    }
    const V& Get(const K& key) const
    {
        auto found = index_.find(key);
        if (found == index_.end()) throw new KeyNotFoundException(L"The given key was not present in the dictionary.");
        return entries_[found->second].value;
    }
    bool TryGetValue(const K& key, V& value) const
    {
        auto found = index_.find(key);
        if (found == index_.end()) return false;
        value = entries_[found->second].value;
        return true;
    }
    bool ContainsKey(const K& key) const { return index_.count(key) != 0; }

    bool Remove(const K& key)
    {
        auto found = index_.find(key);
        if (found == index_.end()) return false;
        size_t position = found->second;
        index_.erase(found);
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position));
        for (auto& item : index_) {
            if (item.second > position) --item.second;
        }
        ++version_;
        return true;
    }
    void Clear()
    {
        entries_.clear();
        index_.clear();
        ++version_;
    }

    Array<K> GetKeys() const
    {
        std::vector<K> keys;
        keys.reserve(entries_.size());
        for (const Entry& entry : entries_) keys.push_back(entry.key);
        return Array<K>(std::move(keys));
    }
    Array<V> GetValues() const
    {
        std::vector<V> values;
        values.reserve(entries_.size());
        for (const Entry& entry : entries_) values.push_back(entry.value);
        return Array<V>(std::move(values));
    }

    EnumeratorType GetEnumerator() const { return EnumeratorType(entries_.begin(), entries_.end(), &version_); }
    typename std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
    typename std::vector<Entry>::const_iterator end() const { return entries_.end(); }

private:
    std::vector<Entry> entries_;
    std::unordered_map<K, size_t, Hasher<K>> index_;
    unsigned version_ = 0;
};

}  // namespace System
