#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/CoreApi.h"
#include "core/Object.h"

namespace System {
namespace Threading {

// A worker thread running entry(argument). A library exception that escapes entry is traced and
// deleted rather than ending the process.
class VAPCORE_API Thread : public Object {
public:
    using Entry = std::function<void(void* argument)>;

    explicit Thread(Entry entry);
    // Does not wait: a thread still running keeps what it needs until it ends.
    ~Thread() override;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starting twice raises InvalidOperationException; a failure to create raises Win32Exception.
    void Start(void* argument = nullptr);
    // True when the thread has ended within the time (-1 waits without limit).
    bool Join(int milliseconds);
    // Ends a thread that is stuck, typically blocked in a system call: its pending I/O is cancelled
    // first, and if it still has not ended after a short grace it is terminated.
    void Abort();
    bool IsAlive() const;
    uint32_t GetId() const { return id_; }

private:
    struct State;
    static unsigned __stdcall Run(void* state);

    std::shared_ptr<State> state_;
    void* handle_ = nullptr;
    uint32_t id_ = 0;
};

}  // namespace Threading
}  // namespace System
