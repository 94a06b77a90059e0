#pragma once

#include <windows.h>
#include <prsht.h>

#include <vector>

#include "framework/CDialog.h"
#include "framework/CString.h"
#include "framework/CWnd.h"
#include "framework/FrameworkApi.h"

class CPropertySheet;

// One tab of a property sheet. Its window, and so its OnInitDialog, comes the first time its tab
// is shown.
class VTFRAMEWORK_API CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);

    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    // The sheet's OK: exchanges the data back; the sheet ends with IDOK.
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* message) override;

    PROPSHEETPAGEW m_psp;

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    friend class CPropertySheet;
    static INT_PTR CALLBACK PageProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    CPropertySheet* sheet_ = nullptr;
    CString caption_;
};

// Tabs of property pages, shown modal with the framework's message loop.
class VTFRAMEWORK_API CPropertySheet : public CWnd {
public:
    explicit CPropertySheet(LPCWSTR caption, CWnd* parent = nullptr, UINT selectPage = 0);

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    CPropertyPage* GetPage(int index) const { return pages_[static_cast<size_t>(index)]; }
    CPropertyPage* GetActivePage() const;
    BOOL SetActivePage(int index);
    // IDOK after the OK button, IDCANCEL otherwise, -1 when the sheet could not be created.
    virtual INT_PTR DoModal();
    BOOL PreTranslateMessage(MSG* message) override;

    PROPSHEETHEADERW m_psh;

private:
    friend class CPropertyPage;
    static int CALLBACK SheetCallback(HWND hwnd, UINT message, LPARAM lParam);

    std::vector<CPropertyPage*> pages_;
    CString caption_;
    CWnd* parent_;
    bool accepted_ = false;
};
