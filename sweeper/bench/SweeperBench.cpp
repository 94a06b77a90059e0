// Analysis time of a FileSweeper over 20,000 files in 2,000 folders, as a ratio against a bare
// FindFirstFileW walk of the same tree measured in the same run.
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/Exception.h"
#include "sweeper/FileSweeper.h"
#include "sweeper/bench/BenchFolders.h"

namespace {

constexpr int Rounds = 3;

// The baseline: what any walk of the tree must at least cost.
void BareWalk(const std::wstring& folder, long long& files, long long& bytes)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (data.cFileName[0] == L'.' && (data.cFileName[1] == 0 || (data.cFileName[1] == L'.' && data.cFileName[2] == 0))) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) BareWalk(folder + L"\\" + data.cFileName, files, bytes);
        } else {
            ++files;
            bytes += static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end, LARGE_INTEGER frequency)
{
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
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
    std::wstring root = std::wstring(tempPath) + L"sweeper-bench-" + std::to_wstring(GetCurrentProcessId());
    if (!CreateDirectoryW(root.c_str(), nullptr) || !BenchFolders::Build(root)) {
        std::fprintf(stderr, "Cannot build the tree under %ls (error %lu)\n", root.c_str(), GetLastError());
        return 1;
    }

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    double bare = 1e9, sweeper = 1e9;
    long long files = 0, bytes = 0;
    int32_t found = 0;
    int exitCode = 0;
    try {
        FileSweeper analysis(L"Bench", root);
        for (int round = 0; round < Rounds; ++round) {
            files = bytes = 0;
            QueryPerformanceCounter(&start);
            BareWalk(root, files, bytes);
            QueryPerformanceCounter(&end);
            bare = std::min(bare, Seconds(start, end, frequency));

            analysis.Reset(false);
            QueryPerformanceCounter(&start);
            analysis.Run(false);
            QueryPerformanceCounter(&end);
            sweeper = std::min(sweeper, Seconds(start, end, frequency));
            found = analysis.GetCount();
        }
        std::printf("tree: %d folders, %lld files, %lld bytes; analysis found %d items\n", BenchFolders::FolderCount, files, bytes,
                    found);
        std::printf("bare FindFirstFileW walk: %.3f s (best of %d)\n", bare, Rounds);
        std::printf("FileSweeper analysis:     %.3f s (best of %d)\n", sweeper, Rounds);
        std::printf("ratio: %.2f (aim: at most 1.5)\n", sweeper / bare);

        FileSweeper cleanup(L"Cleanup", root);
        cleanup.Run(true);
    } catch (System::Exception* caught) {
        std::fprintf(stderr, "%s\n", caught->ToString().ToUtf8().c_str());
        delete caught;
        exitCode = 1;
    }
    if (!RemoveDirectoryW(root.c_str())) {
        std::fprintf(stderr, "Cannot remove %ls (error %lu)\n", root.c_str(), GetLastError());
        exitCode = 1;
    }
    return exitCode;
}
