#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

// One reading of the system's process table (NtQuerySystemInformation, process information):
// every process's processor time and working set, taken at one instant. It gives figures for
// processes that cannot be opened and works where the performance counters have no process object.
class ProcessSnapshot {
public:
    struct Figures {
        int64_t processorTime = 0;  // kernel + user, 100 ns units
        uint64_t workingSet = 0;    // bytes
    };

    // False, keeping the previous reading, when the system refuses the query.
    bool Take();
    // Time of the reading, 100 ns units on a monotonic clock.
    int64_t GetTime() const { return time_; }
    const Figures* Find(uint32_t processId) const;
    int GetCount() const { return static_cast<int>(figures_.size()); }
    void ForEach(const std::function<void(uint32_t, const Figures&)>& visit) const
    {
        for (const auto& item : figures_) visit(item.first, item.second);
    }

private:
    std::vector<uint8_t> buffer_;
    std::unordered_map<uint32_t, Figures> figures_;
    int64_t time_ = 0;
};

// Monotonic time in 100 ns units.
int64_t MonotonicTime100ns();
