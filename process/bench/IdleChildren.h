#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "process/ProcessSnapshot.h"

// Waiting copies of process_test_child.exe (beside this program) started until the system runs the
// wanted number of processes; they are ended when this goes. Under Wine every console child brings
// a console host process of its own, so the processes are counted after each start.
class IdleChildren {
public:
    explicit IdleChildren(int wantedProcesses)
    {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring child(self);
        child = child.substr(0, child.find_last_of(L'\\') + 1) + L"process_test_child.exe";
        ProcessSnapshot probe;
        probe.Take();
        while (probe.GetCount() < wantedProcesses) {
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
            children_.push_back(info.hProcess);
            WaitForInputIdle(info.hProcess, 1000);
            probe.Take();
        }
    }
    ~IdleChildren()
    {
        for (HANDLE process : children_) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
    IdleChildren(const IdleChildren&) = delete;
    IdleChildren& operator=(const IdleChildren&) = delete;

private:
    std::vector<HANDLE> children_;
};
