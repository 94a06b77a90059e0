// One steady-state refresh of the process model against one process snapshot
// (NtQuerySystemInformation, process information) taken in the same run, with about 200 processes.
#include <windows.h>
#include <wtsapi32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "process/ProcessManager.h"
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
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring child(self);
    child = child.substr(0, child.find_last_of(L'\\') + 1) + L"process_test_child.exe";

    // Under Wine every console child brings a console host process of its own, so the processes are
    // counted after each start.
    ProcessSnapshot probe;
    probe.Take();
    std::vector<PROCESS_INFORMATION> children;
    while (probe.GetCount() < wanted) {
        std::wstring command = L"\"" + child + L"\" wait";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &startup, &info)) {
            std::fwprintf(stderr, L"cannot start %ls: %lu\n", child.c_str(), GetLastError());
            break;
        }
        CloseHandle(info.hThread);
        children.push_back(info);
        WaitForInputIdle(info.hProcess, 1000);
        probe.Take();
    }

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

    for (PROCESS_INFORMATION& info : children) {
        TerminateProcess(info.hProcess, 0);
        WaitForSingleObject(info.hProcess, 5000);
        CloseHandle(info.hProcess);
    }
    return 0;
}
