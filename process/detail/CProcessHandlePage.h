#pragma once

#include <windows.h>

#include <memory>

#include "framework/CListCtrl.h"
#include "framework/CPropertySheet.h"
#include "process/ProcessHandleNames.h"

class ProcessInfo;

// The "핸들" tab: the files, directories and registry keys the process holds open. The names are
// read on a worker thread, since a process with stuck file handles takes the reader a second for
// each; the sheet stays usable meanwhile and the list fills when the reader is done.
class CProcessHandlePage : public CPropertyPage {
public:
    static const wchar_t* const ReadingText;

    CProcessHandlePage(const ProcessInfo& process, const HandleNameOptions& options);
    ~CProcessHandlePage() override;

    BOOL OnInitDialog() override;
    // True from the first showing of the tab until the names are listed.
    bool IsReading() const { return reading_; }

protected:
    DECLARE_MESSAGE_MAP()
    void OnSize(UINT type, int width, int height);
    void OnDestroy();
    LRESULT OnNamesRead(WPARAM, LPARAM);

private:
    struct Reading;

    void StartReading();
    void DetachReading();
    void ShowNames(const System::Array<System::String>& names);
    void Layout(int width, int height);

    const ProcessInfo& process_;
    HandleNameOptions options_;
    CListCtrl list_;
    // Shared with the worker, which may outlive the page when the sheet is closed early.
    std::shared_ptr<Reading> shared_;
    bool reading_ = false;
};
