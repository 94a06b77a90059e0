#pragma once

#include <vector>

#include "core/CoreApi.h"
#include "core/Object.h"

namespace System {

// A list of handlers, each with the object it acts for. Handlers run on the raising thread, in the
// order they were added, and an exception a handler throws reaches the raiser (the handlers after
// it do not run). Handlers are attached before raising starts; the list itself takes no lock.
class VAPCORE_API Event {
public:
    using Handler = void (*)(Object* target, Object* sender);

    void AddHandler(Object* target, Handler handler);
    // False when that pair was not attached.
    bool RemoveHandler(Object* target, Handler handler);
    void RaiseEvent(Object* sender) const;
    int GetHandlerCount() const { return static_cast<int>(handlers_.size()); }

private:
    struct Binding {
        Object* target;
        Handler handler;
    };
    std::vector<Binding> handlers_;
};

}  // namespace System
