// One steady-state refresh of the process model against one process snapshot
// (NtQuerySystemInformation, process information) taken in the same run, with about 200 processes.
#include <windows.h>
#include <wtsapi32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "process/ProcessManager.h"
#include "process/bench/IdleChildren.h"
#include "process/ProcessSnapshot.h"

namespace {

double Seconds()
{
    return static_cast<double>(MonotonicTime100ns()) / 1e7;
}

template <class Work>
double Median(int rounds, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        double start = Seconds();
        work();
        times.push_back(Seconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    int wanted = argc > 1 ? _wtoi(argv[1]) : 200;
    IdleChildren children(wanted);

    ProcessManager manager;
    manager.GetProcesses();
    manager.GetProcesses();
    ProcessSnapshot snapshot;
    double baseline = Median(15, [&] { snapshot.Take(); });
    double enumeration = Median(15, [&] {
        WTS_PROCESS_INFOW* records = nullptr;
        DWORD count = 0;
        if (WTSEnumerateProcessesW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &records, &count)) WTSFreeMemory(records);
    });
    double refresh = Median(15, [&] {
        manager.GetProcesses();
        // The window reads every row's entry and redraws the changed cells.
        for (uint32_t id : manager.GetProcessIds()) {
            ProcessInfo* info = nullptr;
            if (manager.TryGetProcess(id, info) && info->IsChanged()) {
                FormatMemoryCell(info->GetMemory());
                info->ClearChanged();
            }
        }
    });
    std::wprintf(L"terminal-services enumeration alone: %.3f ms\n", enumeration * 1000);
    std::wprintf(L"processes: %d\nsnapshot: %.3f ms\nrefresh: %.3f ms\nratio: %.2f\n", manager.GetCount(),
                 baseline * 1000, refresh * 1000, refresh / baseline);
    return 0;
}
