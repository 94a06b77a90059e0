#pragma once

#include <windows.h>

#include "core/String.h"
#include "framework/CPropertySheet.h"
#include "process/ProcessHandleNames.h"
#include "process/ProcessInfo.h"
#include "process/detail/CProcessHandlePage.h"
#include "process/detail/CProcessInfoPage.h"
#include "process/detail/CProcessModulePage.h"
#include "process/detail/CProcessWindowPage.h"

// The detail sheet of one process: "정보", "윈도우", "모듈" and "핸들". It keeps its own copy of the
// process, so the list's next refresh may drop the entry while the sheet is open; each page reads
// that copy the first time its tab is shown.
class CProcessDetailSheet : public CPropertySheet {
public:
    // options serve the handle tab's reader (tests give it a query that blocks).
    explicit CProcessDetailSheet(const ProcessInfo& process, const HandleNameOptions& options = {});

    static System::String CaptionFor(const ProcessInfo& process);

    const ProcessInfo& GetProcess() const { return process_; }
    CProcessHandlePage& GetHandlePage() { return handlePage_; }

private:
    ProcessInfo process_;
    CProcessInfoPage infoPage_;
    CProcessWindowPage windowPage_;
    CProcessModulePage modulePage_;
    CProcessHandlePage handlePage_;
};

// Shows the sheet of the process modally over the application's main window; the templates are
// found through the resource chain. Returns what DoModal returns.
INT_PTR ShowProcessDetailSheet(const ProcessInfo& process);
