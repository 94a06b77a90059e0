#pragma once

#include <windows.h>

#include "framework/CListCtrl.h"
#include "framework/CPropertySheet.h"

class ProcessInfo;

// The "모듈" tab: the modules loaded in the process, by name and path.
class CProcessModulePage : public CPropertyPage {
public:
    explicit CProcessModulePage(const ProcessInfo& process);

    BOOL OnInitDialog() override;

protected:
    DECLARE_MESSAGE_MAP()
    void OnSize(UINT type, int width, int height);

private:
    void Fill();
    void Layout(int width, int height);

    const ProcessInfo& process_;
    CListCtrl list_;
};
