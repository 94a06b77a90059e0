#pragma once

#include <windows.h>

#include "core/UniqueResource.h"
#include "framework/CString.h"

class CUpdateInfoElement;

// Receives the progress and the result of an update, on the update's thread.
class CUpdaterEventHandler {
public:
    virtual ~CUpdaterEventHandler() = default;
    // percent is 0 to 100; text names the object being fetched or the file being replaced.
    virtual void OnProgress(int percent, CString text) = 0;
    virtual void OnComplete(BOOL success) = 0;
};

// Brings the files a manifest names up to date.
class CUpdater {
public:
    CUpdater() = default;
    // Waits a little for a running update's thread to finish.
    ~CUpdater();
    CUpdater(const CUpdater&) = delete;
    CUpdater& operator=(const CUpdater&) = delete;

    // The default directory of objects that name none.
    void SetDirectory(const CString& directory) { m_directory = directory; }
    // The manifest's address, also the base of relative object addresses.
    void SetUrl(const CString& url) { m_url = url; }
    const CString& GetUrl() const { return m_url; }
    void SetHandler(CUpdaterEventHandler* handler) { m_handler = handler; }

    // TRUE when a file object of the manifest is missing or out of date; FALSE on any failure.
    BOOL Check();
    // Downloads what is out of date, replaces the installed files, runs the actions, and reports
    // OnComplete(TRUE) or, on any failure, OnComplete(FALSE).
    void Update();
    // Runs Update on a new thread; raises CUserException when the thread cannot be made.
    void StartUpdate();

    // The download address of a (absolute, server-rooted or relative) against base.
    static CString ResolveUrl(const CString& address, const CString& base);

private:
    // Runs the update; FALSE on failure.
    BOOL RunUpdate();
    CString LocalPath(const CUpdateInfoElement& object, BOOL expand) const;
    void ReportProgress(int percent, const CString& text);
    static DWORD WINAPI UpdateThread(LPVOID updater);

    CString m_directory;
    CString m_url;
    CUpdaterEventHandler* m_handler = nullptr;
    System::UniqueHandle m_thread;
};
