#include "process/ProcessSnapshot.h"

#include <windows.h>
#include <winternl.h>

namespace {

constexpr ULONG SystemProcessInformationClass = 5;
constexpr NTSTATUS StatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

// The system's process record as laid out for the architecture being built (natural alignment).
struct ProcessRecord {
    ULONG NextEntryOffset;
    ULONG NumberOfThreads;
    LARGE_INTEGER WorkingSetPrivateSize;
    ULONG HardFaultCount;
    ULONG NumberOfThreadsHighWatermark;
    ULONGLONG CycleTime;
    LARGE_INTEGER CreateTime;
    LARGE_INTEGER UserTime;
    LARGE_INTEGER KernelTime;
    UNICODE_STRING ImageName;
    LONG BasePriority;
    HANDLE UniqueProcessId;
    HANDLE InheritedFromUniqueProcessId;
    ULONG HandleCount;
    ULONG SessionId;
    ULONG_PTR UniqueProcessKey;
    SIZE_T PeakVirtualSize;
    SIZE_T VirtualSize;
    ULONG PageFaultCount;
    SIZE_T PeakWorkingSetSize;
    SIZE_T WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage;
    SIZE_T QuotaPagedPoolUsage;
    SIZE_T QuotaPeakNonPagedPoolUsage;
    SIZE_T QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage;
    SIZE_T PeakPagefileUsage;
    SIZE_T PrivatePageCount;
    LARGE_INTEGER ReadOperationCount;
    LARGE_INTEGER WriteOperationCount;
    LARGE_INTEGER OtherOperationCount;
    LARGE_INTEGER ReadTransferCount;
    LARGE_INTEGER WriteTransferCount;
    LARGE_INTEGER OtherTransferCount;
};

struct ThreadRecord {
    LARGE_INTEGER KernelTime;
    LARGE_INTEGER UserTime;
    LARGE_INTEGER CreateTime;
    ULONG WaitTime;
    PVOID StartAddress;
    CLIENT_ID ClientId;
    LONG Priority;
    LONG BasePriority;
    ULONG ContextSwitches;
    ULONG ThreadState;
    ULONG WaitReason;
};

}  // namespace

int64_t MonotonicTime100ns()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<int64_t>(static_cast<double>(counter.QuadPart) * 1e7 / static_cast<double>(frequency.QuadPart));
}

bool ProcessSnapshot::Take()
{
    if (buffer_.empty()) buffer_.resize(256 * 1024);
    NTSTATUS status = 0;
    // The table can grow between the size answer and the next query, so retry a few times.
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        status = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(SystemProcessInformationClass),
                                          buffer_.data(), static_cast<ULONG>(buffer_.size()), &needed);
        if (status != StatusInfoLengthMismatch) break;
        buffer_.resize(std::max<size_t>(buffer_.size() * 2, needed + 64 * 1024));
    }
    if (!NT_SUCCESS(status)) return false;
    time_ = MonotonicTime100ns();
    figures_.clear();
    index_.clear();

    size_t offset = 0;
    for (;;) {
        if (offset + sizeof(ProcessRecord) > buffer_.size()) break;
        const auto* record = reinterpret_cast<const ProcessRecord*>(buffer_.data() + offset);
        Figures figures;
        figures.processId = static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(record->UniqueProcessId));
        if (record->ImageName.Buffer && record->ImageName.Length)
            figures.imageName.assign(record->ImageName.Buffer, record->ImageName.Length / sizeof(wchar_t));
        figures.processorTime = record->KernelTime.QuadPart + record->UserTime.QuadPart;
        // Some systems leave the process totals empty and fill only the per-thread times.
        if (figures.processorTime == 0) {
            const auto* threads = reinterpret_cast<const ThreadRecord*>(record + 1);
            size_t end = offset + sizeof(ProcessRecord) + record->NumberOfThreads * sizeof(ThreadRecord);
            if (end <= buffer_.size()) {
                for (ULONG i = 0; i < record->NumberOfThreads; ++i)
                    figures.processorTime += threads[i].KernelTime.QuadPart + threads[i].UserTime.QuadPart;
            }
        }
        figures.workingSet = record->WorkingSetSize;
        index_[figures.processId] = figures_.size();
        figures_.push_back(std::move(figures));
        if (record->NextEntryOffset == 0) break;
        offset += record->NextEntryOffset;
    }
    return true;
}

const ProcessSnapshot::Figures* ProcessSnapshot::Find(uint32_t processId) const
{
    auto found = index_.find(processId);
    return found == index_.end() ? nullptr : &figures_[found->second];
}
