#pragma once

#include <windows.h>

#include "framework/CObject.h"
#include "framework/CString.h"
#include "framework/FrameworkApi.h"

// Receives the program's parameters one by one.
class VTFRAMEWORK_API CCommandLineInfo : public CObject {
public:
    // param has its leading "/" or "-" removed when flag is TRUE; last is TRUE for the final one.
    // By default the first parameter that is not a flag becomes m_strFileName.
    virtual void ParseParam(const wchar_t* param, BOOL flag, BOOL last);

    CString m_strFileName;
};
