#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

class ProcessSnapshot;

// Turns processor-time samples into a per-process load in percent. One sample is taken per
// refresh and every process's load is computed from it.
class CCpuUsage {
public:
    enum class Source { None, PerformanceData, Snapshot };

    CCpuUsage() = default;
    virtual ~CCpuUsage() = default;
    CCpuUsage(const CCpuUsage&) = delete;
    CCpuUsage& operator=(const CCpuUsage&) = delete;

    // Reads the performance data's process object; where the system has none (counters disabled,
    // or a system that does not publish it) the processor times of the snapshot stand in.
    void Sample(const ProcessSnapshot& snapshot);
    // Load of the process between the previous sample and this one, 0..100; 0 on its first sample.
    int GetCpuUsage(uint32_t processId);
    Source GetSource() const { return source_; }

    // The load formula: a result that is not a number, infinite or negative is 0, above 100 is 100.
    static int Load(int64_t previousValue, int64_t newValue, int64_t previousTime, int64_t newTime);

private:
    bool ReadPerformanceData();
    void KeepHistoryOfCurrentProcesses();

    struct Sample_ {
        int64_t time = 0;
        int64_t value = 0;
    };
    std::vector<uint8_t> buffer_;
    std::unordered_map<uint32_t, int64_t> current_;
    int64_t currentTime_ = 0;
    Source source_ = Source::None;
    // Samples left before the performance data is asked again after it had no process object.
    int skipPerformanceData_ = 0;
    std::unordered_map<uint32_t, Sample_> history_;
};
