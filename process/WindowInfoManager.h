#pragma once

#include <windows.h>

#include <cstdint>

#include "core/Array.h"
#include "core/Object.h"
#include "core/String.h"

class ProcessInfo;

// One top-level window of a process: its title and the texts of its child windows.
class WindowsInfo : public System::Object {
public:
    WindowsInfo(const System::String& title, const System::Array<System::String>& children)
        : title_(title), children_(children)
    {
    }
    const System::String& GetTitle() const { return title_; }
    const System::Array<System::String>& GetChildren() const { return children_; }

private:
    System::String title_;
    System::Array<System::String> children_;
};

// Scratch space for one enumeration of a process's top-level windows.
class WindowInfoManager : public System::Object {
public:
    static constexpr int MaxWindows = 200;

    // The process's top-level windows in enumeration order, at most 200; the caller deletes them.
    System::Array<WindowsInfo*> GetWindows(const ProcessInfo& process);
    System::Array<WindowsInfo*> GetWindows(uint32_t processId);

private:
    static BOOL CALLBACK CollectWindow(HWND window, LPARAM self);

    HWND windows_[MaxWindows] = {};
    int windowCount_ = 0;
    uint32_t processId_ = 0;
};

// Texts of the window's descendants, at most 200; "<이름 없음>" for a window without text.
System::Array<System::String> GetChildWindowTexts(HWND window);

extern const wchar_t* const UnnamedWindowText;
