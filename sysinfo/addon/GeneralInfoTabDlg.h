#pragma once

#include <windows.h>

#include "core/Array.h"
#include "core/String.h"
#include "framework/CString.h"
#include "shell/CDHtmlDialogEx.h"
#include "sysinfo/Drives.h"
#include "sysinfo/NetworkAdapters.h"

// The general tab: the whole system summary on one page of three panels (system, storage,
// network) that the page switches itself. Everything is read once, when the tab initialises.
class CGeneralInfoTabDlg : public CDHtmlDialogEx {
public:
    static constexpr UINT TemplateId = 5002;
    static constexpr UINT PageId = 3012;

    explicit CGeneralInfoTabDlg(CWnd* parent = nullptr);

    // The texts the page shows, by element id, for callers and tests.
    const CString& GetIPInfo() const { return ipInfo_; }

protected:
    // Where the storage and network blocks come from; the caller owns the records.
    virtual System::Array<DriveInfo*> CollectDrives();
    virtual System::Array<NetwrokInfo*> CollectNetworkAdapters();
    virtual System::Array<System::String> CollectDnsServers();

    BOOL OnInitDialog() override;
    void OnDocumentComplete() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnRegisterPageScripts() override;
    // Enter and Escape on the page are no reason to hide the summary.
    void OnOK() override {}
    void OnCancel() override {}

    void OnSize(UINT type, int cx, int cy);

    DECLARE_MESSAGE_MAP()

private:
    void FillSummary();
    void BuildBlocks();
    // Makes each panel reach from its top down to the bottom of the client area.
    void FitPanels(int clientHeight);

    CString osInfo_;
    CString cpuInfo_;
    CString videoInfo_;
    CString defaultBrowser_;
    CString ipInfo_;
    CString totalMemory_;
    CString totalVirtualMemory_;
    CString computerInfo_;
    CString userInfo_;
    CString locale_;
    CString windowFolder_;
    CString systemFolder_;
    CString hddBlock_;
    CString oddBlock_;
    CString netBlock_;
};
