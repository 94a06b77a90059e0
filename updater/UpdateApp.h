#pragma once

#include "framework/CWinApp.h"
#include "updater/Updater.h"

// The updater program: "check" answers through the exit code (1 when an update is needed),
// "update" hands over to a temporary copy of itself, which "_update"s with a progress window.
class CUpdateApp : public CWinApp {
public:
    BOOL InitInstance() override;

private:
    void HandOver(const CString& url, const CString& directory, const CString& program);
    void RunUpdate(const CString& directory, const CString& program);

    CUpdater m_updater;
};
