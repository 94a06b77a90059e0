// A whole analysis pass through the sweeper's window (worker, events, window messages, row and bar
// refreshes) over 20,000 files in 2,000 folders, as a ratio against the engine's pass alone over
// the same tree, both measured in the same run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "core/Exception.h"
#include "core/Registry.h"
#include "core/RegistryKey.h"
#include "framework/CWinApp.h"
#include "sweeper/FileSweeper.h"
#include "sweeper/addon/SweeperDlg.h"
#include "sweeper/bench/BenchFolders.h"
#include "testing/MessagePump.h"

namespace {

// Rounds alternate between the two, so that a busy machine slows both alike.
constexpr int Rounds = 5;
constexpr DWORD PassLimitMs = 120000;

// The shape of the catalogue around one file item, every node selected.
Sweeper* BuildTree(const std::wstring& folder)
{
    auto root = std::make_unique<Sweeper>(System::String());
    auto* disk = new Sweeper(L"Disk");
    root->AddChild(disk);
    auto* temp = new FileSweeper(L"Temp", folder);
    disk->AddChild(temp);
    disk->SetSelected(true);
    temp->SetSelected(true);
    return root.release();
}

class BenchSweeperDlg : public SweeperDlg {
public:
    BenchSweeperDlg(const std::wstring& folder, const std::wstring& settingsPath)
        : SweeperDlg(nullptr), folder_(folder), settingsPath_(settingsPath)
    {
    }

protected:
    Sweeper* CreateTree() override { return BuildTree(folder_); }
    Microsoft::Win32::RegistryKey* OpenSettingsKey() override
    {
        return Microsoft::Win32::Registry::GetCurrentUser()->CreateSubKey(settingsPath_);
    }

private:
    std::wstring folder_;
    std::wstring settingsPath_;
};

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

// The engine's own pass: the root on its worker thread, waited for.
double EnginePass(Sweeper& root)
{
    root.Reset(false);
    Stopwatch watch;
    root.StartThread(0);
    root.WaitForThread(-1);
    return watch.Seconds();
}

// From the Analyze message to the window showing the analysed state; -1 when it never got there.
double WindowPass(BenchSweeperDlg& dialog)
{
    dialog.SetState(dialog.StateStart());
    Stopwatch watch;
    dialog.SendMessage(SweeperDlg::WM_ANALYZE);
    if (!TestSupport::PumpUntil([&] { return dialog.GetState() == dialog.StateAnalyzed(); }, PassLimitMs)) return -1;
    return watch.Seconds();
}

}  // namespace

int wmain()
{
    wchar_t tempPath[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, tempPath);
    if (length == 0 || length >= MAX_PATH) {
        std::fprintf(stderr, "No temporary folder (error %lu)\n", GetLastError());
        return 1;
    }
    std::wstring id = std::to_wstring(GetCurrentProcessId());
    std::wstring folder = std::wstring(tempPath) + L"sweeper-dialog-bench-" + id;
    std::wstring settingsPath = L"Software\\Vela\\Bench\\sweeper-dialog-" + id;
    if (!CreateDirectoryW(folder.c_str(), nullptr) || !BenchFolders::Build(folder)) {
        std::fprintf(stderr, "Cannot build the tree under %ls (error %lu)\n", folder.c_str(), GetLastError());
        return 1;
    }

    int exitCode = 0;
    try {
        std::unique_ptr<Sweeper> root(BuildTree(folder));
        BenchSweeperDlg dialog(folder, settingsPath);
        if (!dialog.Create(SweeperDlg::TemplateId, nullptr) ||
            !TestSupport::PumpUntil([&] { return dialog.GetState() == dialog.StateStart(); }, PassLimitMs)) {
            std::fprintf(stderr, "Cannot open the sweeper window\n");
            exitCode = 1;
        }
        double engine = 1e9, window = 1e9;
        for (int round = 0; round < Rounds && exitCode == 0; ++round) {
            engine = std::min(engine, EnginePass(*root));
            double seconds = WindowPass(dialog);
            if (seconds < 0) {
                std::fprintf(stderr, "The window's pass did not finish\n");
                exitCode = 1;
            }
            window = std::min(window, seconds);
        }
        if (exitCode == 0) {
            std::printf("tree: %d folders, %d files; the engine found %d items, the window %d\n", BenchFolders::FolderCount,
                        BenchFolders::FileCount, root->GetCount(), dialog.GetRoot()->GetCount());
            std::printf("engine pass alone:       %.3f s (best of %d)\n", engine, Rounds);
            std::printf("pass through the window: %.3f s (best of %d)\n", window, Rounds);
            std::printf("ratio: %.2f (aim: at most 1.2)\n", window / engine);
        }
        dialog.DestroyWindow();
        FileSweeper cleanup(L"Cleanup", folder);
        cleanup.Run(true);
        Microsoft::Win32::Registry::GetCurrentUser()->DeleteSubKeyTree(settingsPath);
    } catch (System::Exception* caught) {
        std::fprintf(stderr, "%s\n", caught->ToString().ToUtf8().c_str());
        delete caught;
        exitCode = 1;
    }
    if (!RemoveDirectoryW(folder.c_str())) {
        std::fprintf(stderr, "Cannot remove %ls (error %lu)\n", folder.c_str(), GetLastError());
        exitCode = 1;
    }
    return exitCode;
}
