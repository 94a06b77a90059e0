#pragma once

#include <windows.h>

#include "framework/CCommandLineInfo.h"
#include "framework/CObject.h"
#include "framework/FrameworkApi.h"

class CWnd;

// The application: one object per program, constructed before the entry point runs.
class VTFRAMEWORK_API CWinApp : public CObject {
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    // FALSE ends the program at once with ExitInstance's result.
    virtual BOOL InitInstance();
    // The program's exit code.
    virtual int ExitInstance();
    // The message loop, until WM_QUIT; ends with ExitInstance.
    virtual int Run();
    // Offers a message of any loop to the window it is for and its parents, up to the main window.
    virtual BOOL PreTranslateMessage(MSG* message);
    void ParseCommandLine(CCommandLineInfo& info);

    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCWSTR m_pszAppName = nullptr;
    CWnd* m_pMainWnd = nullptr;

protected:
    // The wParam of the WM_QUIT that ended the loop.
    int m_exitCode = 0;
};

VTFRAMEWORK_API CWinApp* AfxGetApp();
VTFRAMEWORK_API CWnd* AfxGetMainWnd();
// The entry point's body: InitInstance, then Run (or ExitInstance when InitInstance fails).
VTFRAMEWORK_API int AfxWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show);

// One message of a loop: FALSE when it was WM_QUIT (then the quit is posted again for the outer
// loop). Offers it to PreTranslateMessage before dispatching it.
VTFRAMEWORK_API BOOL AfxPumpMessage();
VTFRAMEWORK_API BOOL AfxPreTranslateMessage(MSG* message);
// Frees the temporary window and drawing objects of this thread; loops call it when idle.
VTFRAMEWORK_API void AfxDeleteTempMaps();

// A message box owned by the active window of the application, with the application's name as caption.
VTFRAMEWORK_API int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);
