#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

// One reading of the system's process table (NtQuerySystemInformation, process information):
// every process's processor time and working set, taken at one instant. It gives figures for
// processes that cannot be opened and works where the performance counters have no process object.
class ProcessSnapshot {
public:
    struct Figures {
        uint32_t processId = 0;
        std::wstring imageName;
        int64_t processorTime = 0;  // kernel + user, 100 ns units
        uint64_t workingSet = 0;    // bytes
    };

    // False, keeping the previous reading, when the system refuses the query.
    bool Take();
    // Time of the reading, 100 ns units on a monotonic clock.
    int64_t GetTime() const { return time_; }
    const Figures* Find(uint32_t processId) const;
    int GetCount() const { return static_cast<int>(figures_.size()); }
    // The processes in the system's order.
    const std::vector<Figures>& GetProcesses() const { return figures_; }

private:
    std::vector<uint8_t> buffer_;
    std::vector<Figures> figures_;
    std::unordered_map<uint32_t, size_t> index_;
    int64_t time_ = 0;
};

// Monotonic time in 100 ns units.
int64_t MonotonicTime100ns();
