#pragma once

#include <vector>

#include "core/CoreApi.h"
#include "core/Object.h"
#include "core/String.h"

namespace System {
namespace Diagnostics {

// Receives every trace line. Calls into one listener never overlap: Trace serialises them.
class VAPCORE_API TraceListener : public Object {
public:
    explicit TraceListener(const String& name = String()) : name_(name) {}
    const String& GetName() const { return name_; }
    virtual void WriteLine(const String& message) = 0;
    virtual void Flush() {}
    virtual void Close() {}

private:
    String name_;
};

// Sends each line to the debugger output.
class VAPCORE_API DefaultTraceListener : public TraceListener {
public:
    DefaultTraceListener() : TraceListener(L"Default") {}
    void WriteLine(const String& message) override;
};

// The listeners that trace lines go to. It owns them: removing a listener closes and deletes it.
class VAPCORE_API TraceListenerCollection {
public:
    TraceListenerCollection();
    ~TraceListenerCollection();
    TraceListenerCollection(const TraceListenerCollection&) = delete;
    TraceListenerCollection& operator=(const TraceListenerCollection&) = delete;

    void Add(TraceListener* listener);
    // False when the listener is not in the collection.
    bool Remove(TraceListener* listener);
    void Clear();
    int GetCount() const;
    TraceListener* operator[](int index) const;

private:
    friend class Trace;
    std::vector<TraceListener*> listeners_;
};

class VAPCORE_API Trace {
public:
    // Writes one line to every listener; safe to call from several threads at once.
    static void WriteLine(const String& message);
    static void Flush();
    static TraceListenerCollection* Listeners();
};

}  // namespace Diagnostics
}  // namespace System
