#pragma once

#include <windows.h>

#include "framework/CWnd.h"
#include "framework/FrameworkApi.h"

// A child window laid out from a dialog template: the panes of the suite's split windows.
class VTFRAMEWORK_API CDialogBar : public CWnd {
public:
    // The template must have the child style; the bar takes id as its control id.
    virtual BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id);
    // The template's size, as created.
    CSize m_sizeDefault;
};
