#pragma once

#include <windows.h>

#include "framework/CDataExchange.h"
#include "framework/CWnd.h"
#include "framework/FrameworkApi.h"

// A dialog from a resource template of the current resource module (or the resource chain),
// modeless through Create or modal through DoModal.
class VTFRAMEWORK_API CDialog : public CWnd {
public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Creates the dialog modeless, owned by parent.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Runs the dialog modal, with its owner disabled meanwhile; returns the EndDialog result, or -1
    // when the dialog could not be created.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    // Called once the controls exist; exchanges data into them. TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // TRUE moves the controls' values into the members, FALSE the members into the controls.
    // FALSE when a value failed validation.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* exchange);
    BOOL PreTranslateMessage(MSG* message) override;

    UINT m_nIDHelp = 0;

protected:
    DECLARE_MESSAGE_MAP()

    CWnd* m_pParentWnd = nullptr;
    UINT m_templateId = 0;

private:
    BOOL RunModalLoop();

    bool m_continueModal = false;
    int m_modalResult = -1;
};

// Creates window's dialog from templateId with the framework routing its messages; used by dialogs,
// property pages and dialog bars.
VTFRAMEWORK_API HWND AfxCreateDialogWindow(CWnd* window, UINT templateId, HWND parent);
