#include "framework/CDataExchange.h"

#include <cerrno>
#include <climits>
#include <cwchar>

#include "framework/CException.h"
#include "framework/CWinApp.h"
#include "framework/CWnd.h"

HWND CDataExchange::PrepareCtrl(int id)
{
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    if (!control) AfxThrowUserException();
    lastControl_ = control;
    return control;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && lastControl_) {
        ::SetFocus(lastControl_);
        ::SendMessageW(lastControl_, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

void DDX_Text(CDataExchange* exchange, int id, CString& value)
{
    HWND control = exchange->PrepareCtrl(id);
    CWnd* window = CWnd::FromHandle(control);
    if (exchange->m_bSaveAndValidate) {
        window->GetWindowText(value);
    } else {
        window->SetWindowText(value);
    }
}

void DDX_Text(CDataExchange* exchange, int id, int& value)
{
    HWND control = exchange->PrepareCtrl(id);
    CWnd* window = CWnd::FromHandle(control);
    if (!exchange->m_bSaveAndValidate) {
        CString text;
        text.Format(L"%d", value);
        window->SetWindowText(text);
        return;
    }
    CString text;
    window->GetWindowText(text);
    text.Trim();
    wchar_t* end = nullptr;
    errno = 0;
    long parsed = wcstol(text, &end, 10);
    if (text.IsEmpty() || *end != L'\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
        AfxMessageBox(L"정수를 입력하십시오.", MB_ICONEXCLAMATION);
        exchange->Fail();
    }
    value = static_cast<int>(parsed);
}

void DDX_Check(CDataExchange* exchange, int id, int& value)
{
    HWND control = exchange->PrepareCtrl(id);
    if (exchange->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_Control(CDataExchange* exchange, int id, CWnd& control)
{
    if (control.m_hWnd) return;
    HWND handle = exchange->PrepareCtrl(id);
    if (!control.SubclassWindow(handle)) AfxThrowUserException();
}
