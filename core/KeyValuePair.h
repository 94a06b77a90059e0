#pragma once

namespace System {

template <class K, class V>
struct KeyValuePair {
    K key;
    V value;

    const K& GetKey() const { return key; }
    const V& GetValue() const { return value; }
};

}  // namespace System
