#include "process/WindowInfoManager.h"

#include <vector>

#include "process/ProcessInfo.h"

using System::String;

const wchar_t* const UnnamedWindowText = L"<이름 없음>";

namespace {

constexpr int MaxChildren = 200;

struct ChildCollection {
    HWND windows[MaxChildren];
    int count = 0;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM collection)
{
    auto* children = reinterpret_cast<ChildCollection*>(collection);
    if (children->count >= MaxChildren) return FALSE;
    children->windows[children->count++] = window;
    return TRUE;
}

String WindowText(HWND window, int capacity)
{
    std::vector<wchar_t> text(static_cast<size_t>(capacity), L'\0');
    int length = GetWindowTextW(window, text.data(), capacity);
    return length > 0 ? String(text.data(), length) : String(UnnamedWindowText);
}

}  // namespace

System::Array<String> GetChildWindowTexts(HWND window)
{
    ChildCollection children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::vector<String> texts;
    texts.reserve(static_cast<size_t>(children.count));
    for (int i = 0; i < children.count; ++i) texts.push_back(WindowText(children.windows[i], 1024));
    return System::Array<String>(std::move(texts));
}

BOOL CALLBACK WindowInfoManager::CollectWindow(HWND window, LPARAM self)
{
    auto* manager = reinterpret_cast<WindowInfoManager*>(self);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != manager->processId_) return TRUE;
    if (manager->windowCount_ >= MaxWindows) return FALSE;
    manager->windows_[manager->windowCount_++] = window;
    return TRUE;
}

System::Array<WindowsInfo*> WindowInfoManager::GetWindows(const ProcessInfo& process)
{
    return GetWindows(process.GetProcessId());
}

System::Array<WindowsInfo*> WindowInfoManager::GetWindows(uint32_t processId)
{
    processId_ = processId;
    windowCount_ = 0;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(this));
    std::vector<WindowsInfo*> result;
    result.reserve(static_cast<size_t>(windowCount_));
    for (int i = 0; i < windowCount_; ++i)
        result.push_back(new WindowsInfo(WindowText(windows_[i], 256), GetChildWindowTexts(windows_[i])));
    return System::Array<WindowsInfo*>(std::move(result));
}
