#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/FrameworkApi.h"

class CWnd;

// One exchange between a dialog's controls and its members.
class VTFRAMEWORK_API CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    // The control, which must exist.
    HWND PrepareCtrl(int id);
    // Ends the exchange: focuses the failing control and raises CUserException.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

private:
    HWND lastControl_ = nullptr;
};

VTFRAMEWORK_API void DDX_Text(CDataExchange* exchange, int id, CString& value);
// A whole number; anything else tells the user and fails the exchange.
VTFRAMEWORK_API void DDX_Text(CDataExchange* exchange, int id, int& value);
// 0 unchecked, 1 checked, 2 indeterminate.
VTFRAMEWORK_API void DDX_Check(CDataExchange* exchange, int id, int& value);
// Routes the control's messages through control, once.
VTFRAMEWORK_API void DDX_Control(CDataExchange* exchange, int id, CWnd& control);
