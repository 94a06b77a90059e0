// Refilling the startup manager's list with 300 registered programs (scratch Run values pointing
// at real executables), as a ratio against GetStartupEntries alone over the same registrations,
// both measured in the same run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "startup/StartupStore.h"
#include "startup/addon/CVelaSpannerDlg.h"
#include "vdwin32/Autorun.h"

namespace {

// Rounds alternate between the two, so that a busy machine slows both alike.
constexpr int Rounds = 5;
constexpr int Programs = 300;

class Stopwatch {
public:
    Stopwatch()
    {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double Seconds() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_;
    LARGE_INTEGER start_;
};

class BenchSpannerDlg : public CVelaSpannerDlg {
public:
    BenchSpannerDlg(Vela::Win32::Autoruns::Autorun* group, const std::wstring& dataFolder)
        : CVelaSpannerDlg(nullptr), group_(group), dataFolder_(dataFolder)
    {
    }

protected:
    StartupStore* CreateStore() override { return new StartupStore(dataFolder_.c_str(), group_); }
    // The bench measures the list, not the information server.
    void LoadProgramInformation() override {}
    int ShowMessage(const System::String& text, UINT) override
    {
        std::fprintf(stderr, "%s\n", text.ToUtf8().c_str());
        return IDOK;
    }

private:
    Vela::Win32::Autoruns::Autorun* group_;
    std::wstring dataFolder_;
};

// Up to count programs of the system folder.
std::vector<std::wstring> Executables(size_t count)
{
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    std::vector<std::wstring> found;
    if (length == 0 || length >= MAX_PATH) return found;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((std::wstring(system) + L"\\*.exe").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return found;
    do found.push_back(std::wstring(system) + L"\\" + data.cFileName);
    while (found.size() < count && FindNextFileW(find, &data));
    FindClose(find);
    return found;
}

}  // namespace

int wmain()
{
    std::wstring id = std::to_wstring(GetCurrentProcessId());
    std::wstring keyPath = L"Software\\Vela\\Bench\\startup-refill-" + id;
    wchar_t tempPath[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, tempPath);
    if (length == 0 || length >= MAX_PATH) {
        std::fprintf(stderr, "No temporary folder (error %lu)\n", GetLastError());
        return 1;
    }
    std::wstring dataFolder = std::wstring(tempPath) + L"startup-refill-bench-" + id;
    if (!CreateDirectoryW(dataFolder.c_str(), nullptr)) {
        std::fprintf(stderr, "Cannot create %ls (error %lu)\n", dataFolder.c_str(), GetLastError());
        return 1;
    }
    std::vector<std::wstring> programs = Executables(Programs);
    if (programs.empty()) {
        std::fprintf(stderr, "No programs in the system folder\n");
        return 1;
    }
    HKEY run = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, (keyPath + L"\\Run").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &run,
                        nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "Cannot create the scratch Run key\n");
        return 1;
    }
    for (int i = 0; i < Programs; ++i) {
        std::wstring name = L"BenchProgram" + std::to_wstring(i);
        const std::wstring& data = programs[static_cast<size_t>(i) % programs.size()];
        RegSetValueExW(run, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(run);

    Vela::Win32::Autoruns::AutorunLocation location;
    location.kind = Vela::Win32::Autoruns::AutorunLocation::RegistryKeyValues;
    location.domain = L"Logon.CurrentUser.Registry.Run";
    location.root = HKEY_CURRENT_USER;
    location.subKey = (keyPath + L"\\Run").c_str();
    Vela::Win32::Autoruns::Autorun group(L"Logon", {location});

    int exitCode = 0;
    try {
        StartupStore store(dataFolder.c_str(), &group);
        BenchSpannerDlg dialog(&group, dataFolder);
        if (!dialog.Create(CVelaSpannerDlg::TemplateId, nullptr)) {
            std::fprintf(stderr, "Cannot open the startup manager's window\n");
            exitCode = 1;
        }
        double alone = 1e9, refill = 1e9;
        for (int round = 0; round < Rounds && exitCode == 0; ++round) {
            Stopwatch engine;
            System::Array<StartupEntry*> entries = store.GetStartupEntries(L"Logon");
            double seconds = engine.Seconds();
            DestroyEntries(entries);
            alone = std::min(alone, seconds);
            Stopwatch window;
            dialog.Refill();
            refill = std::min(refill, window.Seconds());
        }
        if (exitCode == 0) {
            std::printf("%d registered programs over %zu distinct files; the list shows %d rows\n", Programs, programs.size(),
                        dialog.GetList().GetItemCount());
            std::printf("GetStartupEntries alone: %.3f s (best of %d)\n", alone, Rounds);
            std::printf("refilling the list:      %.3f s (best of %d)\n", refill, Rounds);
            std::printf("ratio: %.2f (aim: at most 1.5)\n", refill / alone);
        }
        dialog.DestroyWindow();
    } catch (System::Exception* caught) {
        std::fprintf(stderr, "%s\n", caught->ToString().ToUtf8().c_str());
        delete caught;
        exitCode = 1;
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, keyPath.c_str());
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dataFolder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name != L"." && name != L".." && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((dataFolder + L"\\" + name).c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    // The automatic backup's folder.
    std::wstring backups = dataFolder + L"\\backup";
    find = FindFirstFileW((backups + L"\\*.vsb").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do DeleteFileW((backups + L"\\" + data.cFileName).c_str());
        while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(backups.c_str());
    RemoveDirectoryW(dataFolder.c_str());
    return exitCode;
}
