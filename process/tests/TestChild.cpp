// A child process for the process manager's tests and benchmark. It has no version resource.
//   spin                       keeps four threads busy, so it wins processor time on a loaded machine
//   wait                       idles
//   hold <ready> <file> <key>  opens the file and the HKCU key, a named event, a titled window with
//                              a titled and an untitled child and an untitled window, then signals
//                              the inherited event <ready> (its handle value) and pumps messages
#include <windows.h>

#include <cwchar>

namespace {

HWND MakeWindow(const wchar_t* title, HWND parent)
{
    return CreateWindowExW(0, L"STATIC", title, parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                           parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

int Hold(int argc, wchar_t** argv)
{
    if (argc < 5) return 2;
    HANDLE ready = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(wcstoull(argv[2], nullptr, 10)));
    HANDLE file = CreateFileW(argv[3], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    HKEY key = nullptr;
    if (file == INVALID_HANDLE_VALUE || RegOpenKeyExW(HKEY_CURRENT_USER, argv[4], 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 3;
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, L"VtpsmTestChildEvent");
    HWND titled = MakeWindow(L"VtpsmTitledWindow", nullptr);
    HWND untitled = MakeWindow(L"", nullptr);
    if (!event || !titled || !untitled || !MakeWindow(L"VtpsmChildText", titled) || !MakeWindow(L"", titled)) return 4;
    SetEvent(ready);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

DWORD WINAPI Spin(void*)
{
    volatile unsigned long long counter = 0;
    for (;;) counter = counter + 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 2 && wcscmp(argv[1], L"spin") == 0) {
        for (int i = 0; i < 3; ++i) CreateThread(nullptr, 0, Spin, nullptr, 0, nullptr);
        Spin(nullptr);
    }
    if (argc >= 2 && wcscmp(argv[1], L"hold") == 0) return Hold(argc, argv);
    Sleep(INFINITE);
    return 0;
}
