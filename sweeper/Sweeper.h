#pragma once

#include <atomic>
#include <cstdint>

#include "core/Array.h"
#include "core/Dictionary.h"
#include "core/Event.h"
#include "core/LinkedList.h"
#include "core/Object.h"
#include "core/String.h"
#include "core/Thread.h"

// A node of the sweep tree: the root and the categories run their selected children in order;
// the leaf classes override the five pass operations. The window thread reads the counters and
// flags while the worker writes them, so they are atomics read and written without ordering.
class Sweeper : public System::Object {
public:
    explicit Sweeper(const System::String& name);
    // Stops and waits for a running worker first, so that it never runs on a deleted tree.
    ~Sweeper() override;
    Sweeper(const Sweeper&) = delete;
    Sweeper& operator=(const Sweeper&) = delete;

    // Takes ownership. Null raises ArgumentNullException; a name already present, or a child that
    // already has a parent, raises ArgumentException and changes nothing.
    void AddChild(Sweeper* child);
    System::Array<Sweeper*> GetChildren() const;
    const System::String& GetName() const { return name_; }
    // Names from the root down joined by ".", such as "Disk.RecycleBin"; empty for the root.
    System::String GetFullName() const;
    Sweeper* GetParent() const { return parent_; }

    // Runs Run(argument != 0) on a new worker thread. Raises InvalidOperationException while
    // the previous worker still runs.
    void StartThread(int argument);
    // True when the worker has ended within the time (-1 waits without limit), or there is none.
    bool WaitForThread(int milliseconds);

    virtual void Reset(bool keepFindings);
    virtual void Run(bool sweep);
    virtual int64_t GetSize() const;
    virtual int32_t GetCount() const;
    virtual int GetProgress() const;

    bool IsSelected() const { return selected_.load(std::memory_order_relaxed); }
    void SetSelected(bool selected) { selected_.store(selected, std::memory_order_relaxed); }
    bool IsDone() const { return done_.load(std::memory_order_relaxed); }
    bool IsStopRequested() const { return stopRequested_.load(std::memory_order_relaxed); }
    void SetStopRequested(bool stop) { stopRequested_.store(stop, std::memory_order_relaxed); }

    // Raised by the node whenever its counters change; a child's event climbs to the root.
    System::Event Progress;
    // Raised when Run ends normally, and by the root after a stop.
    System::Event Completed;

protected:
    void SetDone(bool done) { done_.store(done, std::memory_order_relaxed); }
    void RaiseProgress() { Progress.RaiseEvent(this); }
    void RaiseCompleted() { Completed.RaiseEvent(this); }

private:
    static void OnChildProgress(System::Object* target, System::Object* sender);
    void RunChildren(bool sweep);

    System::String name_;
    std::atomic<bool> selected_{false};
    std::atomic<bool> done_{false};
    std::atomic<bool> stopRequested_{false};
    Sweeper* parent_ = nullptr;
    System::Dictionary<System::String, Sweeper*> children_{64};
    System::LinkedList<Sweeper*> childList_;
    System::Threading::Thread* thread_ = nullptr;
    int threadArgument_ = 0;
};
