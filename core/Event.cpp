#include "core/Event.h"

#include "core/Throw.h"

namespace System {

void Event::AddHandler(Object* target, Handler handler)
{
    if (!handler) _Throw(ThrowArgumentNull);
    handlers_.push_back(Binding{target, handler});
}

bool Event::RemoveHandler(Object* target, Handler handler)
{
    for (auto it = handlers_.begin(); it != handlers_.end(); ++it) {
        if (it->target == target && it->handler == handler) {
            handlers_.erase(it);
            return true;
        }
    }
    return false;
}

void Event::RaiseEvent(Object* sender) const
{
    for (const Binding& binding : handlers_) binding.handler(binding.target, sender);
}

}  // namespace System
