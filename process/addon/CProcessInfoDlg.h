#pragma once

#include <windows.h>

#include "process/ProcessInfo.h"
#include "process/res/resource.h"
#include "startup/ui/CProgInfoPane.h"

// The pane under the process list: the chosen process's icon, image name and description, its
// rating band and explanation, and the "자세히>>" button, whose click goes to the window. It keeps
// its own copy of the shown entry, so the pane stays readable after the process has ended.
class CProcessInfoDlg : public CProgInfoPane {
public:
    static constexpr UINT TemplateId = IDD_PROCESS_INFO;
    static constexpr UINT DetailsId = IDC_PROCESS_DETAILS;
    static constexpr int DetailsRight = 90;
    static constexpr int DetailsTop = 10;

    BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id) override;

    void ShowProcess(const ProcessInfo& info);
    // "선택되지 않음" with the hint; the button is disabled.
    void ShowNothing();
    bool IsShown() const { return IsItemShown(); }
    const ProcessInfo& GetShownProcess() const { return shown_; }

    // The executable's file-type icon at the large size: the small one when there is none, and the
    // folder's when neither exists. The caller destroys it; null only when even that fails.
    static HICON FileTypeIcon(const System::String& path);

protected:
    void LayoutControls(int width, int height) override;

private:
    ProcessInfo shown_{0, System::String(), System::String(), System::String(), 0, 0, System::String()};
};
