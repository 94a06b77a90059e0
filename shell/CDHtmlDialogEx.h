#pragma once

#include <windows.h>

#include "framework/CDHtmlDialog.h"
#include "framework/CString.h"
#include "framework/CStringArray.h"

// Sent by a tool's back arrow to the console, both parameters zero.
constexpr UINT WM_ADDON_BACK = WM_USER + 500;

// Base of every window of the suite: keeps the page from acting like a browser (keyboard filter,
// no selection or dragging outside edit fields, caption drag on the title band) and gives every
// page the shared script functions of its image buttons. It adds no message handler and no page
// event binding of its own; subclasses declare their maps.
class CDHtmlDialogEx : public CDHtmlDialog {
public:
    CDHtmlDialogEx(UINT templateId, UINT htmlResourceId, CWnd* parent);

    // Calls a page function with the texts as arguments, in order; FALSE when the page is not
    // loaded or has no such function, or the function failed. Out of memory while copying the
    // texts raises CMemoryException.
    BOOL CallScript(const CString& function, const CStringArray& arguments);
    BOOL CallScript(const CString& function, const CString& argument);
    BOOL CallScript(const CString& function, const CString& first, const CString& second);

    // Swallows the keys that would make the page act like a browser: Escape, Help, F1, F2 and F4
    // to F12, Ctrl+N/P/D/A and Alt+Left/Right. F3 passes.
    BOOL PreTranslateMessage(MSG* message) override;
    // S_FALSE cancels the selection or drag; a press on class "header" or "title" drags the window.
    // A subclass binds them with DHTML_EVENT_TAG_ALL entries for SelectStart and DragStart.
    virtual HRESULT OnSelectStart(Html::Node* element);
    virtual HRESULT OnDragStart(Html::Node* element);

protected:
    // Registers the shared functions (enable_button, disable_button, the _button_on... functions,
    // layer_toggle); a subclass that adds its own calls this first.
    void OnRegisterPageScripts() override;
};
