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
    static constexpr int HintLeft = 10;
    static constexpr int ShownHintTop = 77;
    static constexpr int HintTopWithoutProcess = 60;

    BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id) override;

    void ShowProcess(const ProcessInfo& info);
    // "선택되지 않음" with the hint; the button is disabled.
    void ShowNothing();
    bool IsShown() const { return IsItemShown(); }
    const ProcessInfo& GetShownProcess() const { return shown_; }

protected:
    void LayoutControls(int width, int height) override;

private:
    void Relayout();

    ProcessInfo shown_{0, System::String(), System::String(), System::String(), 0, 0, System::String()};
};
