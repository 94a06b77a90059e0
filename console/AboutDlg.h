#pragma once

#include "framework/CString.h"
#include "shell/CDHtmlDialogEx.h"

// The console's about box: the product's name and version on a small page of its own.
class AboutDlg : public CDHtmlDialogEx {
public:
    explicit AboutDlg(CWnd* parent = nullptr);

    // The version as shown: the product version with every ", " written as ".".
    const CString& GetVersionText() const { return version_; }

protected:
    BOOL OnInitDialog() override;
    void OnDocumentComplete() override;
    void DoDataExchange(CDataExchange* exchange) override;

    HRESULT OnButtonClose(Html::Node* element);

    DECLARE_DHTML_EVENT_MAP()

private:
    CString version_;
};
