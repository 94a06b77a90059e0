#include "framework/CDialogBar.h"

#include "framework/CDialog.h"

BOOL CDialogBar::Create(CWnd* parent, UINT templateId, UINT style, UINT id)
{
    if (m_hWnd || !parent) return FALSE;
    if (!AfxCreateDialogWindow(this, templateId, parent->m_hWnd)) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(id));
    ModifyStyle(0, style & (WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN | WS_CLIPSIBLINGS));
    CRect rect;
    GetWindowRect(&rect);
    m_sizeDefault = rect.Size();
    return TRUE;
}
