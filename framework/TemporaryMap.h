#pragma once

#include <memory>
#include <unordered_map>

// The temporary wrappers FromHandle gives out for handles the framework does not own, one map per
// thread. Clearing lets go of each wrapper's handle before deleting the wrapper, so the handle
// itself is never destroyed.
template <class Object, class Handle, Handle Object::*Member>
class AfxTemporaryMap {
public:
    ~AfxTemporaryMap() { Clear(); }

    // The wrapper of handle, made by make() on the first request.
    template <class Make>
    Object* Find(Handle handle, Make make)
    {
        auto found = entries_.find(handle);
        if (found != entries_.end()) return found->second;
        std::unique_ptr<Object> object(make());
        entries_.emplace(handle, object.get());
        object.get()->*Member = handle;
        return object.release();
    }

    void Clear()
    {
        for (auto& entry : entries_) {
            entry.second->*Member = nullptr;
            delete entry.second;
        }
        entries_.clear();
    }

private:
    std::unordered_map<Handle, Object*> entries_;
};

// This thread's map, made on first use and kept for the thread's life.
template <class Map>
Map& AfxThreadTemporaryMap()
{
    thread_local Map* map = nullptr;
    if (!map) map = new Map();
    return *map;
}
