#pragma once

#include <windows.h>

#include <string>

#include "framework/CDHtmlDialog.h"
#include "framework/CWinApp.h"
#include "html/Node.h"
#include "testing/MessagePump.h"

namespace ShellTesting {

using TestSupport::PumpUntil;
using TestSupport::PumpPending;

inline POINT Centre(const CDHtmlDialog& dialog, LPCWSTR id)
{
    Html::Node* element = dialog.GetElement(id);
    if (!element) return POINT{-1, -1};
    const Html::Rect& box = element->Box().border;
    return POINT{box.x + box.width / 2, box.y + box.height / 2};
}

// A press and release at a client point, as the mouse gives them.
inline void ClickAt(CDHtmlDialog& dialog, POINT at)
{
    dialog.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    if (dialog.m_hWnd) dialog.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    PumpPending();
}

// The Windows path of a file in the build folder (the build runs on Linux, the tests under Wine,
// where the Linux root is drive Z).
inline std::wstring BuildFolderPath(const std::wstring& name)
{
    std::string folder = SHELL_BUILD_DIR;
    std::wstring path(folder.begin(), folder.end());
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path + L"\\" + name;
}

}  // namespace ShellTesting
