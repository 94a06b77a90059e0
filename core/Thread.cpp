#include "core/Thread.h"

#include <windows.h>
#include <process.h>

#include "core/ExceptionGuard.h"
#include "core/Win32Exception.h"

namespace System {
namespace Threading {

namespace {

// How long an aborted thread may take to return on its own once its I/O is cancelled.
constexpr DWORD AbortGraceMilliseconds = 100;

}  // namespace

struct Thread::State {
    Entry entry;
    void* argument = nullptr;
};

Thread::Thread(Entry entry) : state_(std::make_shared<State>())
{
    if (!entry) _Throw(ThrowArgumentNull);
    state_->entry = std::move(entry);
}

Thread::~Thread()
{
    if (handle_) CloseHandle(handle_);
}

void Thread::Start(void* argument)
{
    if (handle_) throw new InvalidOperationException(L"The thread has already been started.");
    state_->argument = argument;
    // The thread holds its own reference to the state, so the Thread object may go first.
    auto* running = new std::shared_ptr<State>(state_);
    unsigned id = 0;
    uintptr_t handle = _beginthreadex(nullptr, 0, &Thread::Run, running, 0, &id);
    if (!handle) {
        delete running;
        Microsoft::Win32::Win32Exception::ThrowLastError(L"Cannot start a thread");
    }
    handle_ = reinterpret_cast<void*>(handle);
    id_ = id;
}

unsigned __stdcall Thread::Run(void* parameter)
{
    std::unique_ptr<std::shared_ptr<State>> state(static_cast<std::shared_ptr<State>*>(parameter));
    try {
        TraceExceptions([&] { (*state)->entry((*state)->argument); });
    } catch (...) {
        Diagnostics::Trace::WriteLine(L"A thread ended with an exception that is not a library exception.");
    }
    return 0;
}

bool Thread::Join(int milliseconds)
{
    if (!handle_) throw new InvalidOperationException(L"The thread has not been started.");
    DWORD wait = milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds);
    return WaitForSingleObject(handle_, wait) == WAIT_OBJECT_0;
}

void Thread::Abort()
{
    if (!handle_) throw new InvalidOperationException(L"The thread has not been started.");
    if (!IsAlive()) return;
    CancelSynchronousIo(handle_);
    if (WaitForSingleObject(handle_, AbortGraceMilliseconds) == WAIT_OBJECT_0) return;
    if (!TerminateThread(handle_, 1)) Microsoft::Win32::Win32Exception::ThrowLastError(L"Cannot abort a thread");
    WaitForSingleObject(handle_, INFINITE);
}

bool Thread::IsAlive() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }

}  // namespace Threading
}  // namespace System
