#include "framework/CPropertySheet.h"

#include <commctrl.h>

#include "framework/CWinApp.h"
#include "framework/ModuleState.h"

namespace {

thread_local CPropertySheet* sheetBeingCreated = nullptr;

}  // namespace

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) : CDialog(templateId)
{
    m_psp = {};
    m_psp.dwSize = sizeof m_psp;
    if (captionId) caption_.LoadString(captionId);
}

INT_PTR CALLBACK CPropertyPage::PageProcedure(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG) return FALSE;
    auto* page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    page->SubclassWindow(hwnd);
    return page->OnInitDialog();
}

BOOL CPropertyPage::OnSetActive() { return TRUE; }

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

// The sheet does the dialog keyboard handling for all its pages.
BOOL CPropertyPage::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (reinterpret_cast<NMHDR*>(lParam)->code) {
    case PSN_SETACTIVE:
        *result = OnSetActive() ? 0 : -1;
        return TRUE;
    case PSN_KILLACTIVE:
        *result = OnKillActive() ? FALSE : TRUE;
        return TRUE;
    case PSN_APPLY:
        OnOK();
        if (sheet_) sheet_->accepted_ = true;
        *result = PSNRET_NOERROR;
        return TRUE;
    case PSN_RESET:
        OnCancel();
        return TRUE;
    default:
        return CDialog::OnNotify(wParam, lParam, result);
    }
}

CPropertySheet::CPropertySheet(LPCWSTR caption, CWnd* parent, UINT selectPage) : caption_(caption), parent_(parent)
{
    m_psh = {};
    m_psh.dwSize = sizeof m_psh;
    m_psh.nStartPage = selectPage;
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    page->sheet_ = this;
    pages_.push_back(page);
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    if (!m_hWnd) return nullptr;
    HWND page = PropSheet_GetCurrentPageHwnd(m_hWnd);
    return dynamic_cast<CPropertyPage*>(FromHandlePermanent(page));
}

BOOL CPropertySheet::SetActivePage(int index)
{
    return m_hWnd && PropSheet_SetCurSel(m_hWnd, nullptr, index);
}

int CALLBACK CPropertySheet::SheetCallback(HWND hwnd, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED && sheetBeingCreated) {
        sheetBeingCreated->SubclassWindow(hwnd);
        sheetBeingCreated = nullptr;
    }
    return 0;
}

INT_PTR CPropertySheet::DoModal()
{
    if (m_hWnd || pages_.empty()) return -1;
    std::vector<PROPSHEETPAGEW> sheetPages;
    for (CPropertyPage* page : pages_) {
        PROPSHEETPAGEW description = page->m_psp;
        LPCWSTR name = MAKEINTRESOURCEW(page->m_templateId);
        description.dwFlags |= page->caption_.IsEmpty() ? 0 : PSP_USETITLE;
        description.hInstance = AfxFindResourceHandle(name, reinterpret_cast<LPCWSTR>(RT_DIALOG));
        description.pszTemplate = name;
        description.pszTitle = page->caption_;
        description.pfnDlgProc = &CPropertyPage::PageProcedure;
        description.lParam = reinterpret_cast<LPARAM>(page);
        if (!description.hInstance) return -1;
        sheetPages.push_back(description);
    }

    CWnd* parent = parent_ ? parent_ : AfxGetMainWnd();
    HWND owner = parent ? ::GetAncestor(parent->m_hWnd, GA_ROOT) : nullptr;
    m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK | PSH_NOAPPLYNOW;
    m_psh.hwndParent = owner;
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = caption_;
    m_psh.nPages = static_cast<UINT>(sheetPages.size());
    m_psh.ppsp = sheetPages.data();
    m_psh.pfnCallback = &CPropertySheet::SheetCallback;

    bool enableOwner = owner && ::IsWindowEnabled(owner);
    if (enableOwner) ::EnableWindow(owner, FALSE);
    accepted_ = false;
    sheetBeingCreated = this;
    auto created = reinterpret_cast<HWND>(PropertySheetW(&m_psh));
    sheetBeingCreated = nullptr;
    bool running = created && created != reinterpret_cast<HWND>(-1) && m_hWnd;
    // The sheet keeps its window after OK or Cancel; its page handle going null marks the end.
    while (running && PropSheet_GetCurrentPageHwnd(m_hWnd)) {
        MSG peek;
        if (!PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) AfxDeleteTempMaps();
        if (!AfxPumpMessage()) break;
    }
    if (enableOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) DestroyWindow();
    if (!running) return -1;
    return accepted_ ? IDOK : IDCANCEL;
}

BOOL CPropertySheet::PreTranslateMessage(MSG* message)
{
    if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST && m_hWnd &&
        (message->hwnd == m_hWnd || ::IsChild(m_hWnd, message->hwnd)))
        return PropSheet_IsDialogMessage(m_hWnd, message);
    return FALSE;
}
