// A window program for the tests of closing running programs: it ends when its window is closed,
// or with the argument "stay" ignores the request, as a program busy with the user's work may.
#include <windows.h>

#include <cwchar>

namespace {

bool stay = false;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE && stay) return 0;
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    stay = wcsstr(commandLine, L"stay") != nullptr;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"SetupTestWindow";
    if (!RegisterClassW(&windowClass)) return 3;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"setup test window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  0, 0, 200, 100, nullptr, nullptr, instance, nullptr);
    if (!window) return 3;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
