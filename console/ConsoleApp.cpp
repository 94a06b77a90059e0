#include "console/ConsoleApp.h"

#include "console/ConsoleDlg.h"
#include "core/Application.h"
#include "core/ExceptionGuard.h"
#include "core/Lifetime.h"
#include "core/TextWriterTraceListener.h"
#include "core/Trace.h"
#include "framework/CControls.h"

using System::Application;
using System::String;
using System::Diagnostics::Trace;

ConsoleApp::ConsoleApp() : CWinApp(L"벨라 툴박스") {}

BOOL ConsoleApp::InitInstance()
{
    PoInitialize();
    coreStarted_ = true;
    Trace::Listeners()->Add(
        new System::Diagnostics::TextWriterTraceListener(Application::GetExecutablePath() + L".log", String()));

    Application::SetUpdateUrl(Application::GetServerUrl(Application::Server::Update) + L"/app/vt/update.xml");
    if (HandOverToUpdate()) return FALSE;

    if (!AfxInitCommonControls())
        Trace::WriteLine(String::Format(L"ConsoleApp: the common controls could not be initialised (error %lu).",
                                        GetLastError()));
    CWinApp::InitInstance();

    // Without its data folder the console still runs, with the default setting.
    String settings;
    System::TraceExceptions([&] { settings = Application::GetCommonAppDataPath() + L"\\vacon.cfg"; });
    ConsoleDlg console(addons_, Application::GetStartupPath(), settings);
    m_pMainWnd = &console;
    String commandLine = m_lpCmdLine ? m_lpCmdLine : L"";
    Trace::WriteLine(commandLine);
    console.SetStartId(commandLine.Trim());
    if (console.DoModal() == -1) Trace::WriteLine(L"ConsoleApp: the console's window could not be created.");
    m_pMainWnd = nullptr;
    return FALSE;
}

int ConsoleApp::ExitInstance()
{
    if (coreStarted_) {
        coreStarted_ = false;
        PoFinalize();
    }
    return CWinApp::ExitInstance();
}

bool ConsoleApp::HandOverToUpdate()
{
    if (!Application::HasUpdate()) return false;
    int answer = AfxMessageBox(L"새로운 버전의 소프트웨어가 사용 가능합니다. 업데이트하시겠습니까?",
                               MB_YESNO | MB_ICONINFORMATION);
    if (answer != IDYES) return false;
    if (Application::Update(false)) return true;
    // The updater could not be started: the installed version still works, so keep it running.
    Trace::WriteLine(L"ConsoleApp: the updater could not be started.");
    AfxMessageBox(L"업데이트 프로그램을 시작하지 못했습니다. 현재 버전으로 계속합니다.", MB_OK | MB_ICONWARNING);
    return false;
}
