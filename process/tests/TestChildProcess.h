#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

// A running process_test_child.exe, ended when the holder goes.
class TestChildProcess {
public:
    // arguments follow the program name; inheritHandles passes inheritable handles on.
    explicit TestChildProcess(const std::wstring& arguments, bool inheritHandles = false)
    {
        std::wstring command = L"\"" + Path() + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, &command[0], nullptr, nullptr, inheritHandles, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &startup, &info_) != FALSE;
        if (started_) CloseHandle(info_.hThread);
    }
    ~TestChildProcess()
    {
        if (!started_) return;
        TerminateProcess(info_.hProcess, 0);
        WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hProcess);
    }
    TestChildProcess(const TestChildProcess&) = delete;
    TestChildProcess& operator=(const TestChildProcess&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    void End()
    {
        TerminateProcess(info_.hProcess, 0);
        WaitForSingleObject(info_.hProcess, 5000);
    }

    static std::wstring Path()
    {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring folder(self);
        return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"process_test_child.exe";
    }

private:
    PROCESS_INFORMATION info_ = {};
    bool started_ = false;
};
