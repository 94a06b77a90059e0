#include "framework/CDialog.h"

#include "framework/CException.h"
#include "framework/CWinApp.h"
#include "framework/ModuleState.h"

namespace {

// The dialog procedure of every framework dialog: messages reach it only through the window
// procedure's default handling, so it only answers WM_INITDIALOG.
INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG) return FALSE;
    auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd));
    return dialog ? dialog->OnInitDialog() : TRUE;
}

}  // namespace

HWND AfxCreateDialogWindow(CWnd* window, UINT templateId, HWND parent)
{
    LPCWSTR name = MAKEINTRESOURCEW(templateId);
    HINSTANCE module = AfxFindResourceHandle(name, reinterpret_cast<LPCWSTR>(RT_DIALOG));
    if (!module) return nullptr;
    HRSRC resource = FindResourceW(module, name, reinterpret_cast<LPCWSTR>(RT_DIALOG));
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    auto* dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)) : nullptr;
    if (!dialogTemplate) return nullptr;
    AfxHookWindowCreate(window);
    HWND hwnd = CreateDialogIndirectParamW(module, dialogTemplate, parent, &DialogProcedure, 0);
    AfxUnhookWindowCreate();
    return hwnd;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent), m_templateId(templateId) {}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    if (m_hWnd) return FALSE;
    m_templateId = templateId;
    if (parent) m_pParentWnd = parent;
    return AfxCreateDialogWindow(this, templateId, m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal()
{
    CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    HWND owner = parent ? parent->m_hWnd : nullptr;
    if (owner) owner = ::GetAncestor(owner, GA_ROOT);
    bool enableOwner = owner && ::IsWindowEnabled(owner);
    if (enableOwner) ::EnableWindow(owner, FALSE);

    m_continueModal = true;
    m_modalResult = -1;
    HWND hwnd = AfxCreateDialogWindow(this, m_templateId, owner);
    if (hwnd && m_continueModal) RunModalLoop();

    // Re-enable the owner before the dialog goes, so that activation returns to it.
    if (enableOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
        DestroyWindow();
    }
    m_continueModal = false;
    return hwnd ? m_modalResult : -1;
}

BOOL CDialog::RunModalLoop()
{
    bool showOnIdle = !(GetStyle() & WS_VISIBLE);
    while (m_continueModal) {
        MSG peek;
        if (!PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (showOnIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                showOnIdle = false;
            }
            AfxDeleteTempMaps();
        }
        if (!m_continueModal) break;
        if (!AfxPumpMessage()) {
            m_modalResult = -1;
            break;
        }
    }
    return TRUE;
}

void CDialog::EndDialog(int result)
{
    if (m_continueModal) {
        m_continueModal = false;
        m_modalResult = result;
    }
    if (m_hWnd) ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (CException* exception) {
        exception->Delete();
        return FALSE;
    }
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::PreTranslateMessage(MSG* message)
{
    // Keyboard navigation between the controls (tab, arrows, default and cancel buttons).
    if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST && m_hWnd &&
        (message->hwnd == m_hWnd || ::IsChild(m_hWnd, message->hwnd)))
        return ::IsDialogMessageW(m_hWnd, message);
    return FALSE;
}
