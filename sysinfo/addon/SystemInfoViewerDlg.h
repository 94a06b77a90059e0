#pragma once

#include <windows.h>

#include <memory>

#include "shell/CDHtmlDialogEx.h"
#include "sysinfo/addon/GeneralInfoTabDlg.h"

// The system information add-on's window: the outer page with the suite's arrows, and over it the
// general tab, a child dialog that fills the window below the arrows.
class CSystemInfoViewerDlg : public CDHtmlDialogEx {
public:
    static constexpr UINT TemplateId = 5000;
    static constexpr UINT PageId = 5001;
    // The tab's place in the client area: this far from the top, and TabMargin from the other sides
    // (the bottom keeps one pixel).
    static constexpr int TabTop = 45;
    static constexpr int TabMargin = 2;

    explicit CSystemInfoViewerDlg(CWnd* parent);
    ~CSystemInfoViewerDlg() override;

    CGeneralInfoTabDlg& GetGeneralTab() { return *generalTab_; }

protected:
    // Takes the tab that the window shows (tests give one with prepared drives and adapters).
    CSystemInfoViewerDlg(CWnd* parent, std::unique_ptr<CGeneralInfoTabDlg> generalTab);

    BOOL OnInitDialog() override;
    void OnDocumentComplete() override;
    // Enter and Escape on the page are no reason to hide the tool; the back arrow leaves it.
    void OnOK() override {}
    void OnCancel() override {}

    void OnSize(UINT type, int cx, int cy);
    HRESULT OnBtnPrevious(Html::Node* element);

    DECLARE_MESSAGE_MAP()
    DECLARE_DHTML_EVENT_MAP()

private:
    void PlaceGeneralTab(int cx, int cy);

    std::unique_ptr<CGeneralInfoTabDlg> generalTab_;
};
