#include "process/CCpuUsage.h"

#include <windows.h>
#include <winperf.h>

#include <cmath>
#include <cstring>

#include "process/ProcessSnapshot.h"

namespace {

constexpr DWORD ProcessObjectIndex = 230;
constexpr DWORD ProcessIdCounterIndex = 784;
constexpr DWORD ProcessorTimeCounterIndex = 6;
constexpr size_t InitialBufferSize = 102400;
constexpr size_t BufferGrowth = 10240;

template <class T>
const T* At(const std::vector<uint8_t>& buffer, size_t offset)
{
    if (offset > buffer.size() || buffer.size() - offset < sizeof(T)) return nullptr;
    return reinterpret_cast<const T*>(buffer.data() + offset);
}

bool ReadCounter(const std::vector<uint8_t>& buffer, size_t block, const PERF_COUNTER_DEFINITION* counter, int64_t& value)
{
    size_t offset = block + counter->CounterOffset;
    if (counter->CounterSize == sizeof(DWORD)) {
        const DWORD* data = At<DWORD>(buffer, offset);
        if (!data) return false;
        value = *data;
        return true;
    }
    if (offset > buffer.size() || buffer.size() - offset < sizeof(int64_t)) return false;
    std::memcpy(&value, buffer.data() + offset, sizeof value);
    return true;
}

}  // namespace

int CCpuUsage::Load(int64_t previousValue, int64_t newValue, int64_t previousTime, int64_t newTime)
{
    double load = static_cast<double>(newValue - previousValue) / static_cast<double>(newTime - previousTime) * 100.0;
    if (std::isnan(load) || std::isinf(load) || load < 0) return 0;
    if (load > 100) return 100;
    return static_cast<int>(load);
}

bool CCpuUsage::ReadPerformanceData()
{
    if (buffer_.empty()) buffer_.resize(InitialBufferSize);
    wchar_t name[16];
    wsprintfW(name, L"%lu", ProcessObjectIndex);
    LONG result;
    DWORD size;
    for (;;) {
        std::memset(buffer_.data(), 0, buffer_.size());
        size = static_cast<DWORD>(buffer_.size());
        result = RegQueryValueExW(HKEY_PERFORMANCE_DATA, name, nullptr, nullptr, buffer_.data(), &size);
        if (result != ERROR_MORE_DATA) break;
        // Not every system reports the size it needs: grow at least by the fixed step.
        size_t wanted = static_cast<size_t>(size) + BufferGrowth;
        buffer_.resize(std::max(wanted, buffer_.size() + BufferGrowth));
    }
    RegCloseKey(HKEY_PERFORMANCE_DATA);
    if (result != ERROR_SUCCESS) return false;

    const auto* header = At<PERF_DATA_BLOCK>(buffer_, 0);
    if (!header) return false;
    size_t objectOffset = header->HeaderLength;
    for (DWORD i = 0; i < header->NumObjectTypes; ++i) {
        const auto* object = At<PERF_OBJECT_TYPE>(buffer_, objectOffset);
        if (!object) return false;
        if (object->ObjectNameTitleIndex != ProcessObjectIndex) {
            if (object->TotalByteLength == 0) return false;
            objectOffset += object->TotalByteLength;
            continue;
        }
        const PERF_COUNTER_DEFINITION* idCounter = nullptr;
        const PERF_COUNTER_DEFINITION* timeCounter = nullptr;
        size_t counterOffset = objectOffset + object->HeaderLength;
        for (DWORD c = 0; c < object->NumCounters; ++c) {
            const auto* counter = At<PERF_COUNTER_DEFINITION>(buffer_, counterOffset);
            if (!counter || counter->ByteLength == 0) break;
            if (counter->CounterNameTitleIndex == ProcessIdCounterIndex) idCounter = counter;
            if (counter->CounterNameTitleIndex == ProcessorTimeCounterIndex) timeCounter = counter;
            counterOffset += counter->ByteLength;
        }
        current_.clear();
        currentTime_ = header->PerfTime100nSec.QuadPart;
        if (!idCounter || !timeCounter || object->NumInstances <= 0) return true;
        size_t instanceOffset = objectOffset + object->DefinitionLength;
        for (LONG n = 0; n < object->NumInstances; ++n) {
            const auto* instance = At<PERF_INSTANCE_DEFINITION>(buffer_, instanceOffset);
            if (!instance || instance->ByteLength == 0) break;
            size_t block = instanceOffset + instance->ByteLength;
            const auto* counters = At<PERF_COUNTER_BLOCK>(buffer_, block);
            if (!counters || counters->ByteLength == 0) break;
            int64_t id = 0, time = 0;
            if (ReadCounter(buffer_, block, idCounter, id) && ReadCounter(buffer_, block, timeCounter, time))
                current_[static_cast<uint32_t>(id)] = time;
            instanceOffset = block + counters->ByteLength;
        }
        return true;
    }
    return false;
}

void CCpuUsage::Sample(const ProcessSnapshot& snapshot)
{
    Source source = Source::Snapshot;
    if (skipPerformanceData_ > 0) {
        --skipPerformanceData_;
    } else if (ReadPerformanceData()) {
        source = Source::PerformanceData;
    } else {
        // Counters switched off stay off for a while: do not pay for the block every second.
        skipPerformanceData_ = 30;
    }
    if (source == Source::Snapshot) {
        current_.clear();
        currentTime_ = snapshot.GetTime();
        for (const ProcessSnapshot::Figures& figures : snapshot.GetProcesses())
            current_[figures.processId] = figures.processorTime;
    }
    // Times of one source mean nothing against the other's.
    if (source != source_) history_.clear();
    source_ = source;
    KeepHistoryOfCurrentProcesses();
}

void CCpuUsage::KeepHistoryOfCurrentProcesses()
{
    // An ended process's history would otherwise grow for ever and be compared against a new
    // process that reuses its id.
    for (auto it = history_.begin(); it != history_.end();) {
        if (current_.count(it->first))
            ++it;
        else
            it = history_.erase(it);
    }
}

int CCpuUsage::GetCpuUsage(uint32_t processId)
{
    auto found = current_.find(processId);
    int64_t value = found == current_.end() ? -1 : found->second;
    auto previous = history_.find(processId);
    Sample_ before = previous == history_.end() ? Sample_{currentTime_, value} : previous->second;
    history_[processId] = Sample_{currentTime_, value};
    return Load(before.value, value, before.time, currentTime_);
}
