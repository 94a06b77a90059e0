#include <windows.h>

#include "framework/CWinApp.h"
#include "shell/demo/ShellDemoDlg.h"

namespace {

class ShellDemoApp : public CWinApp {
public:
    ShellDemoApp() : CWinApp(L"shell_demo") {}

    BOOL InitInstance() override
    {
        CShellDemoDlg dialog;
        m_pMainWnd = &dialog;
        INT_PTR result = dialog.DoModal();
        m_pMainWnd = nullptr;
        if (result == -1) {
            MessageBoxW(nullptr, L"예제 창을 열 수 없습니다.", L"shell_demo", MB_OK | MB_ICONERROR);
            m_exitCode = 1;
        }
        return FALSE;
    }
};

ShellDemoApp application;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show)
{
    return AfxWinMain(instance, previous, commandLine, show);
}
