#include "updater/UpdateApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include "updater/UpdateCommandLineInfo.h"
#include "updater/UpdateDlg.h"

namespace {

CUpdateApp theApplication;

CString ExecutablePath()
{
    WCHAR path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, _countof(path));
    return length == 0 || length > MAX_PATH ? CString() : CString(path, static_cast<int>(length));
}

}  // namespace

BOOL CUpdateApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();

    CUpdateCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    m_updater.SetUrl(commandLine.GetUrl());
    m_updater.SetDirectory(commandLine.GetDirectory());

    const CString& command = commandLine.GetCommand();
    if (command == L"check") {
        if (m_updater.Check()) m_exitCode = 1;
    } else if (command == L"update") {
        HandOver(commandLine.GetUrl(), commandLine.GetDirectory(), commandLine.GetProgram());
    } else if (command == L"_update") {
        RunUpdate(commandLine.GetDirectory(), commandLine.GetProgram());
    }
    return FALSE;
}

// The update runs from a copy so that it can replace this executable too.
void CUpdateApp::HandOver(const CString& url, const CString& directory, const CString& program)
{
    CString self = ExecutablePath();
    WCHAR temp[MAX_PATH + 1] = {};
    WCHAR name[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(_countof(temp), temp);
    if (self.IsEmpty() || length == 0 || length > MAX_PATH || !GetTempFileNameW(temp, L"", 0, name)) return;
    DeleteFileW(name);
    CString copy = CString(name) + L".exe";
    if (!CopyFileW(self, copy, FALSE)) return;
    CString parameters;
    parameters.Format(L"/_update \"%s\" \"%s\" \"%s\"", url.GetString(), directory.GetString(), program.GetString());
    ShellExecuteW(nullptr, L"open", copy, parameters, nullptr, SW_SHOW);
}

void CUpdateApp::RunUpdate(const CString& directory, const CString& program)
{
    {
        CUpdateDlg dialog(m_updater);
        m_pMainWnd = &dialog;
        INT_PTR result = dialog.DoModal();
        m_pMainWnd = nullptr;
        if (result == IDOK && !program.IsEmpty()) {
            ShellExecuteW(nullptr, L"open", program, nullptr, directory, SW_SHOW);
        }
    }
    // A running program cannot delete itself: the temporary copy goes at the next restart instead.
    CString self = ExecutablePath();
    if (!DeleteFileW(self)) MoveFileExW(self, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show)
{
    return AfxWinMain(instance, previous, commandLine, show);
}
