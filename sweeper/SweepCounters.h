#pragma once

#include <atomic>
#include <cstdint>

// The counters every leaf keeps. Only the worker writes them; the window reads them while it
// runs, hence relaxed atomics rather than locks.
class SweepCounters {
public:
    // Before a pass: progress cleared; findings cleared too unless the sweep is to count them down.
    void Reset(bool keepFindings);
    // Adds work discovered during the pass.
    void AddToProcess(int32_t items) { Add(toProcess_, items); }
    void AddProcessed(int32_t items = 1) { Add(processed_, items); }
    // One item found by an analysis (+) or removed by a sweep (-).
    void Count(bool sweep, int64_t bytes = 0, int32_t items = 1);

    int32_t GetProcessed() const { return processed_.load(std::memory_order_relaxed); }
    int32_t GetToProcess() const { return toProcess_.load(std::memory_order_relaxed); }
    int32_t GetFound() const { return found_.load(std::memory_order_relaxed); }
    int64_t GetFoundBytes() const { return foundBytes_.load(std::memory_order_relaxed); }
    // 100 when done, else processed * 100 / toProcess, 0 while nothing is known.
    int GetProgress(bool done) const;

private:
    template <class T>
    static void Add(std::atomic<T>& counter, T value)
    {
        counter.store(counter.load(std::memory_order_relaxed) + value, std::memory_order_relaxed);
    }

    std::atomic<int32_t> processed_{0};
    std::atomic<int32_t> toProcess_{0};
    std::atomic<int32_t> found_{0};
    std::atomic<int64_t> foundBytes_{0};
};
