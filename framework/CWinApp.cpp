#include "framework/CWinApp.h"

#include <shellapi.h>

#include "framework/CDC.h"
#include "framework/CGdiObject.h"
#include "framework/CImageList.h"
#include "framework/CMenu.h"
#include "framework/CWnd.h"

namespace {

CWinApp* theApplication = nullptr;

}  // namespace

void CCommandLineInfo::ParseParam(const wchar_t* param, BOOL flag, BOOL)
{
    if (!flag && m_strFileName.IsEmpty()) m_strFileName = param;
}

CWinApp::CWinApp(LPCWSTR appName) : m_pszAppName(appName) { theApplication = this; }

CWinApp::~CWinApp()
{
    if (theApplication == this) theApplication = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return m_exitCode; }

int CWinApp::Run()
{
    while (AfxPumpMessage()) {
        MSG peek;
        if (!PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) AfxDeleteTempMaps();
    }
    // The quit was posted again for outer loops; take it off the queue now that the loop is done.
    MSG quit;
    if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) m_exitCode = static_cast<int>(quit.wParam);
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG* message)
{
    return CWnd::WalkPreTranslateTree(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, message);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return;
    for (int i = 1; i < count; ++i) {
        const wchar_t* param = arguments[i];
        BOOL flag = param[0] == L'/' || param[0] == L'-';
        info.ParseParam(flag ? param + 1 : param, flag, i == count - 1);
    }
    LocalFree(arguments);
}

CWinApp* AfxGetApp() { return theApplication; }

CWnd* AfxGetMainWnd() { return theApplication ? theApplication->m_pMainWnd : nullptr; }

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show)
{
    CWinApp* application = AfxGetApp();
    if (!application) return -1;
    application->m_hInstance = instance;
    application->m_lpCmdLine = commandLine;
    application->m_nCmdShow = show;
    if (!application->InitInstance()) return application->ExitInstance();
    return application->Run();
}

BOOL AfxPreTranslateMessage(MSG* message)
{
    if (CWinApp* application = AfxGetApp()) return application->PreTranslateMessage(message);
    return CWnd::WalkPreTranslateTree(nullptr, message);
}

BOOL AfxPumpMessage()
{
    MSG message;
    BOOL result = GetMessageW(&message, nullptr, 0, 0);
    if (result == 0) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return FALSE;
    }
    if (result == -1) return FALSE;
    if (!AfxPreTranslateMessage(&message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return TRUE;
}

void AfxDeleteTempMaps()
{
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CImageList::DeleteTempMap();
    CMenu::DeleteTempMap();
}

int AfxMessageBox(LPCWSTR text, UINT type, UINT)
{
    HWND owner = GetActiveWindow();
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        owner = main ? main->m_hWnd : nullptr;
    }
    CWinApp* application = AfxGetApp();
    LPCWSTR caption = application && application->m_pszAppName ? application->m_pszAppName : nullptr;
    return MessageBoxW(owner, text, caption, type);
}
