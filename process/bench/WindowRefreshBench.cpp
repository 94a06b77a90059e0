// One steady-state refresh of the process manager's window (the model's refresh and the list's
// incremental update, the graphs and the sort) with about 200 processes, as a ratio against one
// process snapshot (NtQuerySystemInformation, process information) taken in the same run.
// The window switches the performance counters on, as it does for the user: run it in a test prefix.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "process/ProcessSnapshot.h"
#include "process/addon/CProcessManagerDlg.h"
#include "process/bench/IdleChildren.h"

namespace {

double Seconds()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Rounds alternate between the two measurements, so that a busy machine slows them alike.
constexpr int Rounds = 15;

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    int wanted = argc > 1 ? _wtoi(argv[1]) : 200;
    IdleChildren children(wanted);
    ProcessSnapshot snapshot;

    int status = 0;
    {
        CProcessManagerDlg window(nullptr);
        if (!window.Create(CProcessManagerDlg::TemplateId)) {
            std::fprintf(stderr, "Cannot create the window (error %lu)\n", GetLastError());
            status = 1;
        } else {
            window.SetWindowPos(nullptr, 0, 0, 900, 640, SWP_NOZORDER | SWP_NOMOVE);
            // Sorted by memory, the column whose figures change most often.
            window.RefreshList(true);
            window.RefreshList(false);
            window.GetList().SortByColumn(CProcessManagerDlg::MemoryColumn);
            std::vector<double> baselines, refreshes;
            for (int round = 0; round < Rounds; ++round) {
                double start = Seconds();
                snapshot.Take();
                baselines.push_back(Seconds() - start);
                start = Seconds();
                window.RefreshList(false);
                refreshes.push_back(Seconds() - start);
            }
            std::sort(baselines.begin(), baselines.end());
            std::sort(refreshes.begin(), refreshes.end());
            double baseline = baselines[baselines.size() / 2];
            double refresh = refreshes[refreshes.size() / 2];
            std::wprintf(L"processes: %d\nrows: %d\nsnapshot: %.3f ms\nwindow refresh: %.3f ms\nratio: %.2f\n",
                         window.GetManager().GetCount(), window.GetList().GetItemCount(), baseline * 1000, refresh * 1000,
                         refresh / baseline);
        }
    }
    return status;
}
