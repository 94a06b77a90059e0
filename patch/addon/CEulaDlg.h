#pragma once

#include "framework/CDialog.h"
#include "framework/CString.h"

// Asks the user to accept an update's licence terms: "동의" (IDOK) or "거절" (IDCANCEL).
class CEulaDlg : public CDialog {
public:
    static constexpr UINT TemplateId = 1020;
    CEulaDlg(CWnd* parent, const CString& title, const CString& eula);

protected:
    BOOL OnInitDialog() override;

private:
    CString title_;
    CString eula_;
};

// The notes shown after a search, with "다음부터 표시하지 않음".
class CPatchNoticeDlg : public CDialog {
public:
    static constexpr UINT TemplateId = 1030;
    explicit CPatchNoticeDlg(CWnd* parent);
    bool IsDontShowChecked() const { return dontShow_; }

protected:
    void OnOK() override;

private:
    bool dontShow_ = false;
};
