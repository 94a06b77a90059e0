#include "sweeper/SweepCounters.h"

void SweepCounters::Reset(bool keepFindings)
{
    processed_.store(0, std::memory_order_relaxed);
    toProcess_.store(0, std::memory_order_relaxed);
    if (!keepFindings) {
        found_.store(0, std::memory_order_relaxed);
        foundBytes_.store(0, std::memory_order_relaxed);
    }
}

void SweepCounters::Count(bool sweep, int64_t bytes, int32_t items)
{
    Add(found_, sweep ? -items : items);
    Add(foundBytes_, sweep ? -bytes : bytes);
}

int SweepCounters::GetProgress(bool done) const
{
    if (done) return 100;
    int32_t toProcess = GetToProcess();
    if (toProcess <= 0) return 0;
    return static_cast<int>(static_cast<int64_t>(GetProcessed()) * 100 / toProcess);
}
