// The baseline of the console benchmark: the least a window program does before its user sees it
// (register a class, create a window, show it, paint once). It reports that moment the way vtcon
// reports its own: a line "shown <QueryPerformanceCounter value>" appended to the file named by
// VTCON_MOMENTS_FILE; then it ends.
#include <windows.h>

#include <string>

#include "core/UniqueResource.h"

namespace {

void ReportShown()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"VTCON_MOMENTS_FILE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    System::UniqueHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string line = "shown " + std::to_string(now.QuadPart) + "\r\n";
    DWORD written = 0;
    // The benchmark waits for this line and says so when it never comes.
    if (file) WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        FillRect(paint.hdc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(window, &paint);
        static bool reported = false;
        if (!reported) {
            reported = true;
            ReportShown();
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = L"VelaBenchWindow";
    if (!RegisterClassW(&windowClass)) return 1;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"bench", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 560, 425, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
