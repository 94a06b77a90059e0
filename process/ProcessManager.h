#pragma once

#include <cstdint>
#include <unordered_map>

#include <windows.h>

#include "core/Array.h"
#include "core/Object.h"
#include "core/String.h"
#include "process/CCpuUsage.h"
#include "process/ProcessInfo.h"
#include "process/ProcessSnapshot.h"

// The running processes, keyed by process id and updated in place on every refresh.
class ProcessManager : public System::Object {
public:
    enum class EndResult { Ended, OwnProcess, CriticalProcess, Failed };

    ProcessManager();
    ~ProcessManager() override;
    ProcessManager(const ProcessManager&) = delete;
    ProcessManager& operator=(const ProcessManager&) = delete;

    // Enumerates, updates the known entries, removes vanished ones and returns only the entries
    // this call created (the array does not own them). A failing enumeration changes nothing.
    System::Array<ProcessInfo*> GetProcesses();
    // Valid until the next GetProcesses.
    bool TryGetProcess(uint32_t processId, ProcessInfo*& info) const;
    int GetCount() const { return static_cast<int>(processes_.size()); }
    System::Array<uint32_t> GetProcessIds() const;

    // Switches the system's processor and process counters on; false when a key cannot be opened.
    bool EnablePerformanceCounters();
    // Never ends this process, nor one the system marks as critical (ending it stops Windows).
    EndResult EndProcess(uint32_t processId);
    // The user-facing explanation of a refused or failed end, empty after success.
    static System::String GetEndResultText(EndResult result);

    CCpuUsage::Source GetCpuSource() const { return cpu_.GetSource(); }

protected:
    // The account name of a new process's owner (without domain), empty when it cannot be read;
    // process is null when the process could not be opened.
    virtual System::String ReadOwner(uint32_t processId, HANDLE process);

private:
    ProcessInfo* CreateEntry(uint32_t processId, const System::String& name, int cpu, uint64_t memory);
    void ReadOwnersOfOtherAccounts();

    std::unordered_map<uint32_t, ProcessInfo*> processes_;
    CCpuUsage cpu_;
    ProcessSnapshot snapshot_;
    std::unordered_map<uint32_t, System::String> owners_;
    bool ownersRead_ = false;
};

// Byte counts as the window shows them.
System::String FormatSize(uint64_t bytes);
System::String FormatMemoryCell(uint64_t bytes);

// The system's used physical memory and its share in percent (never below 2).
struct MemoryLoad {
    uint64_t usedBytes = 0;
    int percent = 2;
};
MemoryLoad GetMemoryLoad();
MemoryLoad ComputeMemoryLoad(uint64_t totalBytes, uint64_t availableBytes);
// Processor load of the whole system: 100 minus the idle entry's load.
int GetProcessorLoad(const ProcessManager& manager);
