#pragma once

#include <windows.h>

#include "framework/CPropertySheet.h"
#include "framework/CTreeCtrl.h"

class ProcessInfo;

// The "윈도우" tab: one root per top-level window of the process, its child windows' texts below.
class CProcessWindowPage : public CPropertyPage {
public:
    // The folder picture of the system's small icons.
    static constexpr int WindowImage = 3;

    explicit CProcessWindowPage(const ProcessInfo& process);

    BOOL OnInitDialog() override;

protected:
    DECLARE_MESSAGE_MAP()
    void OnSize(UINT type, int width, int height);

private:
    void Fill();
    void Layout(int width, int height);

    const ProcessInfo& process_;
    CTreeCtrl tree_;
};
