#include "core/Trace.h"

#include <windows.h>

#include <algorithm>
#include <mutex>

#include "core/Throw.h"

namespace System {
namespace Diagnostics {

namespace {

// Recursive, so that a listener may itself trace without dead-locking.
std::recursive_mutex& TraceLock()
{
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace

void DefaultTraceListener::WriteLine(const String& message)
{
    OutputDebugStringW((message + L"\r\n").GetBuffer());
}

TraceListenerCollection::TraceListenerCollection() { listeners_.push_back(new DefaultTraceListener()); }

TraceListenerCollection::~TraceListenerCollection() { Clear(); }

void TraceListenerCollection::Add(TraceListener* listener)
{
    if (!listener) _Throw(ThrowArgumentNull);
    std::lock_guard<std::recursive_mutex> guard(TraceLock());
    listeners_.push_back(listener);
}

bool TraceListenerCollection::Remove(TraceListener* listener)
{
    std::lock_guard<std::recursive_mutex> guard(TraceLock());
    auto found = std::find(listeners_.begin(), listeners_.end(), listener);
    if (found == listeners_.end()) return false;
    listeners_.erase(found);
    listener->Close();
    delete listener;
    return true;
}

void TraceListenerCollection::Clear()
{
    std::lock_guard<std::recursive_mutex> guard(TraceLock());
    std::vector<TraceListener*> removed;
    removed.swap(listeners_);
    for (TraceListener* listener : removed) {
        listener->Close();
        delete listener;
    }
}

int TraceListenerCollection::GetCount() const
{
    std::lock_guard<std::recursive_mutex> guard(TraceLock());
    return static_cast<int>(listeners_.size());
}

TraceListener* TraceListenerCollection::operator[](int index) const
{
    std::lock_guard<std::recursive_mutex> guard(TraceLock());
    if (index < 0 || index >= static_cast<int>(listeners_.size())) _Throw(ThrowIndexOutOfRange);
    return listeners_[static_cast<size_t>(index)];
}

void Trace::WriteLine(const String& message)
{
    std::lock_guard<std::recursive_mutex> guard(TraceLock());
    for (TraceListener* listener : Listeners()->listeners_) listener->WriteLine(message);
}

void Trace::Flush()
{
    std::lock_guard<std::recursive_mutex> guard(TraceLock());
    for (TraceListener* listener : Listeners()->listeners_) listener->Flush();
}

TraceListenerCollection* Trace::Listeners()
{
    static TraceListenerCollection listeners;
    return &listeners;
}

}  // namespace Diagnostics
}  // namespace System
