#pragma once

#include <windows.h>
#include <wuapi.h>

#include <memory>
#include <string>
#include <vector>

#include "core/ComPtr.h"

// One update of the last search, copied out of the agent's object.
struct PatchRecord {
    int index = 0;
    bool autoSelect = false;
    std::wstring updateId;
    std::wstring title;
    std::wstring description;
    bool mandatory = false;
    // The low 32 bits of the largest download.
    unsigned int size = 0;
    int impact = 0;
    int rebootBehavior = 0;
    int type = 0;
    bool downloaded = false;
    bool userInput = false;
    std::wstring eula;
    std::wstring supportUrl;
    std::wstring articles;
};

// What a download or installation report carries to the window, by pointer, during one send.
struct DownloadProgressRecord {
    int code = 1027;
    int result = 0;
    int index = 0;
    unsigned int currentBytes = 0;
    unsigned int currentTotal = 0;
    unsigned int bytes = 0;
    unsigned int total = 0;
    int currentPercent = 0;
    int percent = 0;
};

struct InstallProgressRecord {
    int code = 1029;
    int result = 0;
    int index = 0;
    int currentPercent = 0;
    int percent = 0;
};

// Drives the update agent for the patch manager's window: search, download and installation run
// on the agent's threads, whose callbacks only post to the hidden window "NotifyWnd"; every result
// is read there, on the window thread, and handed to the target window by the messages below.
class PatchOperations {
public:
    static constexpr UINT WM_SEARCH_DONE = 0x0511;
    static constexpr UINT WM_DOWNLOAD_DONE = 0x0513;
    static constexpr UINT WM_INSTALL_DONE = 0x0517;
    static constexpr UINT WM_PROGRESS = 0x0518;
    static constexpr int MaxRecords = 512;

    explicit PatchOperations(HWND target = nullptr);
    ~PatchOperations();
    PatchOperations(const PatchOperations&) = delete;
    PatchOperations& operator=(const PatchOperations&) = delete;

    void SetTarget(HWND target) { target_ = target; }

    // Initialises COM and creates the session and "NotifyWnd" once; 0, or -3.
    int InitializeUpdateSession(const wchar_t* clientId);

    // Each returns whether the operation started; a failure is traced.
    bool SearchPatch();
    // Downloads the updates of the given records, in search order.
    bool StartDownload(const std::vector<int>& records);
    bool InstallPatch();
    bool AbortSearch();
    bool AbortDownload();
    bool AbortInstall();

    // The records of the last search (at most MaxRecords; the rest are traced).
    const std::vector<PatchRecord>& GetRecords() const { return records_; }
    int GetUpdateCount() const;
    bool AcceptEula(int record);

    // 1 a restart is pending, 0 not, -1 it cannot be asked.
    int IsRebootPending();
    bool IsRebootRequired();

    // Lets go of every agent object, the notification window and COM.
    void ReleaseAll();

    static int MapResultCode(OperationResultCode code);

private:
    static LRESULT CALLBACK NotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnSearchCompleted();
    void OnDownloadProgress(IDownloadProgress* progress);
    void OnDownloadCompleted();
    void OnInstallProgress(IInstallationProgress* progress);
    void OnInstallCompleted();
    void ReadRecords();
    // The record whose update sits at this position of the download collection, or -1 (traced).
    int RecordAt(LONG position) const;
    struct DownloadTotals {
        unsigned int bytes;
        unsigned int total;
        int percent;
    };
    void ReportDownload(LONG position, int result, unsigned int bytes, unsigned int total, int currentPercent, const DownloadTotals& totals);
    void ReportInstall(LONG position, int result, int currentPercent, int percent);
    void ReleaseSearch();
    void ReleaseDownload();
    void ReleaseInstall();
    void Send(UINT message, WPARAM wParam, LPARAM lParam);
    VARIANT State() const;

    HWND target_;
    HWND notifyWindow_ = nullptr;
    bool comInitialized_ = false;
    System::ComPtr<IUpdateSession> session_;
    System::ComPtr<IUpdateSearcher> searcher_;
    System::ComPtr<ISearchJob> searchJob_;
    System::ComPtr<ISearchResult> searchResult_;
    System::ComPtr<IUpdateCollection> updates_;
    System::ComPtr<IUpdateCollection> downloadCollection_;
    System::ComPtr<IUpdateDownloader> downloader_;
    System::ComPtr<IDownloadJob> downloadJob_;
    System::ComPtr<IDownloadResult> downloadResult_;
    System::ComPtr<IUpdateInstaller> installer_;
    System::ComPtr<IInstallationJob> installJob_;
    System::ComPtr<IInstallationResult> installResult_;
    System::ComPtr<IUnknown> searchCallback_;
    System::ComPtr<IUnknown> progressCallback_;
    System::ComPtr<IUnknown> completedCallback_;
    std::vector<PatchRecord> records_;
    // Per update of the search: its position in the download collection, or -1.
    std::vector<int> indexMap_;
    LONG reported_ = 0;
    // The totals of the last download report, for the report of the last update at completion.
    DownloadTotals lastTotals_{0, 0, 0};
    DownloadProgressRecord downloadRecord_;
    InstallProgressRecord installRecord_;
};
