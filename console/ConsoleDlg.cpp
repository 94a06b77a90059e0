#include "console/ConsoleDlg.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "console/AboutDlg.h"
#include "console/AddonManager.h"
#include "console/HomePageScript.h"
#include "console/OptionDlg.h"
#include "console/res/resource.h"
#include "core/Application.h"
#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "core/Trace.h"
#include "core/UniqueResource.h"
#include "core/Win32Exception.h"
#include "framework/CException.h"
#include "framework/CMenu.h"
#include "framework/ModuleState.h"
#include "html/Node.h"
#include "html/Page.h"

using System::Diagnostics::Trace;
using System::String;

namespace {

const wchar_t kConsoleTitle[] = L"벨라 툴박스";
const wchar_t kOtherCategory[] = L"기타";
const wchar_t kNotInstalled[] =
    L"해당 도구가 현재 PC에 설치되어 있지 않습니다.\r\n인터넷으로 부터 해당 도구를 내려받으시겠습니까?";

constexpr int kHeaderHeight = 29;
constexpr int kPageBaseHeight = 44;
constexpr int kSectionHeight = 117;
constexpr UINT kAnimationInterval = 10;
constexpr int kGrowStep = 15;
constexpr int kAlphaStep = 5;

enum AnimationTimer : UINT_PTR { kGrowTimer = 0, kFadeInTimer = 1, kShrinkTimer = 2, kFadeOutTimer = 3 };

CString ToCString(const String& text) { return CString(text.GetBuffer()); }

// The operating system's error code is the one detail worth showing the user, for whoever helps
// them; the rest of a failure is technical and not in the user's language, so it goes to the trace.
CString ErrorCodeLine(const System::Exception& failure)
{
    auto* win32 = dynamic_cast<const Microsoft::Win32::Win32Exception*>(&failure);
    if (!win32) return CString();
    CString line;
    line.Format(L"\r\n\r\n(오류 코드 %u)", win32->GetNativeErrorCode());
    return line;
}

// Why a tool's library gave no dialog, in the user's words.
const wchar_t* LoadFailureReason(const System::Exception& failure)
{
    auto* win32 = dynamic_cast<const Microsoft::Win32::Win32Exception*>(&failure);
    uint32_t code = win32 ? win32->GetNativeErrorCode() : 0;
    if (code == ERROR_MOD_NOT_FOUND || code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        return L"도구 파일이 없거나 도구에 필요한 파일을 찾을 수 없습니다.";
    if (code == ERROR_PROC_NOT_FOUND) return L"도구 파일에 도구 화면을 만드는 기능이 없습니다.";
    if (code == ERROR_BAD_EXE_FORMAT) return L"도구 파일이 이 컴퓨터에서 쓸 수 없는 형식입니다.";
    return L"도구 화면을 만드는 중에 오류가 났습니다.";
}

// The address of a tool's icon; an item without one gets none rather than the folder's address.
CString ImageUrl(const String& startupPath, const String& imageFileName)
{
    if (imageFileName.IsEmpty()) return CString();
    return ToCString(String::Format(L"file://%s\\%s", startupPath.GetBuffer(), imageFileName.GetBuffer()));
}

HICON LoadConsoleIcon(int sizeMetric)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(IDI_CONSOLE), RT_GROUP_ICON);
    if (!module) return nullptr;
    int size = GetSystemMetrics(sizeMetric);
    // Shared icons belong to the system, which frees them with the module.
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_CONSOLE), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace

BEGIN_MESSAGE_MAP(ConsoleDlg, CDHtmlDialogEx)
ON_WM_CREATE()
ON_WM_TIMER()
ON_MESSAGE(WM_ADDON_BACK, OnAddonBack)
ON_COMMAND(ID_OPTIONS, OnOptions)
ON_COMMAND(ID_HELP_TOPICS, OnHelpTopics)
ON_COMMAND(ID_APP_ABOUT_CONSOLE, OnAbout)
ON_COMMAND(ID_HOME_PAGE, OnHomePage)
ON_COMMAND(ID_APP_EXIT_CONSOLE, OnExit)
END_MESSAGE_MAP()

BEGIN_DHTML_EVENT_MAP(ConsoleDlg)
DHTML_EVENT_ONDBLCLICK(L"_header", OnHeaderDoubleClick)
DHTML_EVENT_ONCLICK(L"BtnMin", OnButtonMinimise)
DHTML_EVENT_ONCLICK(L"BtnMax", OnButtonMaximise)
DHTML_EVENT_ONCLICK(L"BtnNormal", OnButtonNormal)
DHTML_EVENT_ONCLICK(L"BtnClose", OnButtonClose)
DHTML_EVENT_ONCLICK(L"BtnPrevious", OnButtonPrevious)
DHTML_EVENT_ONCLICK(L"BtnNext", OnButtonNext)
DHTML_EVENT_ONCLICK(L"BtnMenu", OnButtonMenu)
DHTML_EVENT_ONCLICK(L"MenuArrow", OnButtonMenu)
DHTML_EVENT_ONCLICK(L"addon", OnAddonClick)
DHTML_EVENT_ONCLICK(L"addon_link", OnAddonClick)
DHTML_EVENT_TAG_ALL(Html::EventType::SelectStart, OnSelectStart)
DHTML_EVENT_TAG_ALL(Html::EventType::DragStart, OnDragStart)
END_DHTML_EVENT_MAP()

ConsoleDlg::ConsoleDlg(AddonManager& addons, const String& startupPath, const String& settingsPath, CWnd* parent)
    : CDHtmlDialogEx(IDD_CONSOLE, IDR_HOME_PAGE, parent),
      addons_(addons),
      startupPath_(startupPath),
      settingsPath_(settingsPath),
      title_(kConsoleTitle),
      sections_(64)
{
}

ConsoleDlg::~ConsoleDlg() = default;

void ConsoleDlg::SetStartId(const String& id) { startId_ = id; }

int ConsoleDlg::OnCreate(LPCREATESTRUCT create)
{
    int result = CDHtmlDialogEx::OnCreate(create);
    SetWindowText(title_);
    return result;
}

BOOL ConsoleDlg::OnInitDialog()
{
    CDHtmlDialogEx::OnInitDialog();
    HICON big = LoadConsoleIcon(SM_CXICON);
    HICON small = LoadConsoleIcon(SM_CXSMICON);
    if (!big || !small) Trace::WriteLine(L"ConsoleDlg: the console's icon could not be loaded.");
    SetIcon(big, TRUE);
    SetIcon(small, FALSE);

    headerHeight_ = kHeaderHeight;
    pageBaseHeight_ = kPageBaseHeight;
    sectionHeight_ = kSectionHeight;
    CRect window;
    GetWindowRect(&window);
    homeSize_ = window.Size();
    normalRect_ = window;
    maximised_ = false;
    // Without a readable setting the switch stays smooth, as for a new installation.
    smooth_ = true;
    System::TraceExceptions([&] { smooth_ = COptionDlg::ReadSmoothSwitch(settingsPath_); });
    return TRUE;
}

void ConsoleDlg::OnRegisterPageScripts()
{
    CDHtmlDialogEx::OnRegisterPageScripts();
    if (Html::Page* page = GetPage()) RegisterHomePageScript(*page);
}

void ConsoleDlg::DoDataExchange(CDataExchange* exchange)
{
    CDHtmlDialogEx::DoDataExchange(exchange);
    DDX_DHtml_ElementInnerText(exchange, L"txtTitle", title_);
}

void ConsoleDlg::OnOK() {}

void ConsoleDlg::OnDocumentComplete()
{
    CDHtmlDialogEx::OnDocumentComplete();
    if (!pageFilled_) FillHomePage();
    if (startId_.IsEmpty()) return;
    // The home page shows, painted, before a tool opens over it or a message says why none can:
    // a modal console would otherwise stay hidden until its first idle moment.
    if (!IsWindowVisible()) ShowWindow(SW_SHOW);
    UpdateWindow();
    OpenStartTool();
}

void ConsoleDlg::FillHomePage()
{
    CallScript(L"clear_section", CStringArray());
    sections_.Clear();
    for (Addon* addon : addons_.GetAddons()) {
        String category = addon->GetCategory().IsEmpty() ? String(kOtherCategory) : addon->GetCategory();
        String sectionId;
        if (!sections_.TryGetValue(category, sectionId)) {
            sectionId = String::Format(L"%02d", sections_.GetCount());
            CallScript(L"add_section", ToCString(sectionId), ToCString(category));
            sections_.Add(category, sectionId);
        }
        CStringArray arguments;
        arguments.Add(ToCString(sectionId));
        arguments.Add(ToCString(addon->GetId()));
        arguments.Add(ToCString(addon->GetName()));
        arguments.Add(ToCString(addon->GetDescription()));
        arguments.Add(ImageUrl(startupPath_, addon->GetImageFileName()));
        CallScript(L"add_addon", arguments);
    }
    SetArrowState({false, false});

    CRect window;
    GetWindowRect(&window);
    int height = sections_.GetCount() * sectionHeight_ + pageBaseHeight_ + headerHeight_ + 1;
    MoveWindow(window.left, window.top, window.Width(), height);
    GetWindowRect(&normalRect_);
    homeSize_ = normalRect_.Size();
    pageFilled_ = true;
    ReportMoment("home");
}

Addon* ConsoleDlg::FindTool(const String& id)
{
    try {
        return addons_.GetAddon(id);
    } catch (System::Exception* failure) {
        CString what;
        what.Format(L"'%s' 도구를 찾을 수 없습니다.", id.GetBuffer());
        ReportFailure(what, failure);
        return nullptr;
    }
}

void ConsoleDlg::OpenStartTool()
{
    Addon* addon = FindTool(startId_);
    if (!addon) return;
    if (!addon->IsExternal()) {
        ShowTool(addon);
        return;
    }
    // Started from the command line, a missing outside program is not offered for download.
    System::TraceExceptions([&] {
        if (addon->IsInstalled()) addon->Run();
    });
}

void ConsoleDlg::OpenTool(const String& id)
{
    if (busy_) return;
    Trace::WriteLine(id);
    Addon* addon = FindTool(id);
    if (!addon) return;
    if (!addon->IsExternal()) {
        ShowTool(addon);
        return;
    }
    try {
        if (addon->IsInstalled()) {
            addon->Run();
        } else if (ShowMessage(kNotInstalled, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            addon->OpenDownloadPage();
        }
    } catch (System::Exception* failure) {
        CString what;
        what.Format(L"'%s' 도구를 실행하지 못했습니다.", addon->GetName().GetBuffer());
        ReportFailure(what, failure);
    }
}

void ConsoleDlg::ShowCurrentTool() { ShowTool(nullptr); }

void ConsoleDlg::ShowTool(Addon* addon)
{
    if (busy_) return;
    busy_ = true;
    ArrowState arrows = GetArrowState();
    SetArrowState({false, false});

    String previousId = currentId_;
    String previousName = currentName_;
    CString previousTitle = title_;
    // A tool that cannot be shown leaves the console as it was before the click.
    auto fail = [&](System::Exception* failure) {
        currentId_ = previousId;
        currentName_ = previousName;
        SetTitle(previousTitle);
        busy_ = false;
        SetArrowState(arrows);
        CString what;
        if (addon) {
            what.Format(L"'%s' 도구를 불러오지 못했습니다.\r\n%s", addon->GetName().GetBuffer(),
                        LoadFailureReason(*failure));
        } else {
            what = L"다시 보여 줄 도구가 없습니다.";
        }
        ReportFailure(what, failure);
    };
    try {
        if (addon) {
            currentId_ = addon->GetId();
            currentName_ = addon->GetName();
            SetTitle(LoadingTitle());
            CWnd* dialog = addon->GetDialog(this);
            currentDialog_ = dialog;
            if (maximised_) {
                CRect client;
                GetClientRect(&client);
                targetSize_ = client.Size();
            } else {
                targetSize_ = CSize(addon->GetWidth(), addon->GetHeight());
            }
            CRect window;
            GetWindowRect(&window);
            toolRect_ = CRect(window.left, window.top, window.left + addon->GetWidth(),
                              window.top + addon->GetHeight());
        }
    } catch (System::Exception* failure) {
        fail(failure);
        return;
    } catch (CException* failure) {
        // The add-on's own code runs while its dialog is made; the framework's failures end there too.
        wchar_t text[256] = {};
        failure->GetErrorMessage(text, 256);
        failure->Delete();
        fail(new System::ApplicationException(text));
        return;
    }
    if (!currentDialog_) {
        fail(new System::ArgumentException(L"No tool has been shown yet."));
        return;
    }

    SetTitle(LoadingTitle());
    CRect window;
    GetWindowRect(&window);
    currentDialog_->MoveWindow(window.left, window.top + headerHeight_, window.Width(),
                               window.Height() - headerHeight_);
    currentDialog_->ModifyStyleEx(0, WS_EX_LAYERED);
    if (!(currentDialog_->GetExStyle() & WS_EX_LAYERED))
        Trace::WriteLine(L"ConsoleDlg: the tool's window could not be made layered.");
    growPercent_ = alphaPercent_ = smooth_ ? 0 : 100;
    StartTimer(kGrowTimer);
    toolShown_ = true;
}

void ConsoleDlg::GoHome()
{
    // Going home from home would replay the shrink from the tool's size.
    if (busy_ || !toolShown_) return;
    busy_ = true;
    SetArrowState({false, false});
    CString title;
    title.Format(L"%s 해제하는 중...", currentName_.GetBuffer());
    SetTitle(title);
    growPercent_ = alphaPercent_ = smooth_ ? 100 : 0;
    StartTimer(kFadeOutTimer);
    toolShown_ = false;
}

void ConsoleDlg::Maximise()
{
    CRect workArea;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0)) {
        Trace::WriteLine(
            String::Format(L"ConsoleDlg::Maximise: the work area is unknown (error %lu).", GetLastError()));
        return;
    }
    MoveWindow(&workArea);
    homeSize_ = workArea.Size();
    maximised_ = true;
}

void ConsoleDlg::Restore()
{
    homeSize_ = normalRect_.Size();
    if (toolShown_) {
        MoveWindow(toolRect_.left, toolRect_.top, toolRect_.Width(), toolRect_.Height());
    } else {
        MoveWindow(&normalRect_);
    }
    maximised_ = false;
}

void ConsoleDlg::ReportFailure(const CString& what, System::Exception* failure)
{
    System::ExceptionHolder holder(failure);
    Trace::WriteLine(failure->ToString());
    ShowMessage(what + ErrorCodeLine(*failure), MB_OK | MB_ICONWARNING);
}

int ConsoleDlg::ShowMessage(const CString& text, UINT type) { return MessageBox(text, kConsoleTitle, type); }

void ConsoleDlg::OpenAddress(const String& url)
{
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(m_hWnd, L"open", url.GetBuffer(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32)
        Trace::WriteLine(
            String::Format(L"ConsoleDlg: opening %s failed (%d).", url.GetBuffer(), static_cast<int>(result)));
}

void ConsoleDlg::SetTitle(const CString& title)
{
    title_ = title;
    SetWindowText(title_);
    UpdateData(FALSE);
}

CString ConsoleDlg::LoadingTitle() const
{
    CString title;
    title.Format(L"%s 불러오는 중...", currentName_.GetBuffer());
    return title;
}

ConsoleDlg::ArrowState ConsoleDlg::GetArrowState() const
{
    // A disabled arrow carries the id "_" + its id.
    return {GetElement(L"BtnPrevious") != nullptr, GetElement(L"BtnNext") != nullptr};
}

void ConsoleDlg::SetArrowState(ArrowState state)
{
    CallScript(state.previous ? L"enable_button" : L"disable_button", L"BtnPrevious");
    CallScript(state.next ? L"enable_button" : L"disable_button", L"BtnNext");
}

void ConsoleDlg::StartTimer(UINT_PTR id)
{
    if (SetTimer(id, kAnimationInterval)) return;
    // Without a timer the switch still has to end: run its steps at once.
    Trace::WriteLine(String::Format(L"ConsoleDlg: timer %d could not be started (error %lu).", static_cast<int>(id),
                                    GetLastError()));
    while (!StepTimer(id)) {
    }
}

void ConsoleDlg::OnTimer(UINT_PTR id)
{
    if (id > kFadeOutTimer) {
        CDHtmlDialogEx::OnTimer(id);
        return;
    }
    StepTimer(id);
}

bool ConsoleDlg::StepTimer(UINT_PTR id)
{
    switch (id) {
    case kGrowTimer:
        growPercent_ = std::min(100, growPercent_ + kGrowStep);
        ResizeToGrowth();
        if (growPercent_ < 100) return false;
        KillTimer(kGrowTimer);
        if (currentDialog_) {
            SetToolAlpha();
            currentDialog_->ShowWindow(SW_SHOW);
        }
        StartTimer(kFadeInTimer);
        return true;
    case kFadeInTimer:
        alphaPercent_ = std::min(100, alphaPercent_ + kAlphaStep);
        SetToolAlpha();
        if (alphaPercent_ < 100) return false;
        KillTimer(kFadeInTimer);
        SetTitle(ToCString(currentName_));
        SetArrowState({true, false});
        busy_ = false;
        ReportMoment("tool");
        return true;
    case kFadeOutTimer:
        alphaPercent_ = std::max(0, alphaPercent_ - kAlphaStep);
        SetToolAlpha();
        if (alphaPercent_ > 0) return false;
        if (currentDialog_) currentDialog_->ShowWindow(SW_HIDE);
        KillTimer(kFadeOutTimer);
        StartTimer(kShrinkTimer);
        return true;
    case kShrinkTimer:
        growPercent_ = std::max(0, growPercent_ - kGrowStep);
        ResizeToGrowth();
        if (growPercent_ > 0) return false;
        KillTimer(kShrinkTimer);
        SetTitle(kConsoleTitle);
        SetArrowState({false, true});
        busy_ = false;
        return true;
    default:
        return true;
    }
}

void ConsoleDlg::ResizeToGrowth()
{
    int width = homeSize_.cx + (targetSize_.cx - homeSize_.cx) * growPercent_ / 100;
    int height = homeSize_.cy + (targetSize_.cy - homeSize_.cy) * growPercent_ / 100;
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ConsoleDlg::SetToolAlpha()
{
    if (!currentDialog_) return;
    auto alpha = static_cast<BYTE>(alphaPercent_ * 255 / 100);
    if (!currentDialog_->SetLayeredWindowAttributes(0, alpha, LWA_ALPHA))
        Trace::WriteLine(
            String::Format(L"ConsoleDlg: the tool's transparency could not be set (error %lu).", GetLastError()));
}

void ConsoleDlg::KeepToolGlued()
{
    if (!currentDialog_ || !currentDialog_->GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    client.top += headerHeight_;
    currentDialog_->MoveWindow(&client);
}

LRESULT ConsoleDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CDHtmlDialogEx::WindowProc(message, wParam, lParam);
    if ((message == WM_MOVE || message == WM_SIZE) && m_hWnd) KeepToolGlued();
    return result;
}

LRESULT ConsoleDlg::OnAddonBack(WPARAM, LPARAM)
{
    GoHome();
    return 0;
}

HRESULT ConsoleDlg::OnHeaderDoubleClick(Html::Node*)
{
    if (maximised_) {
        Restore();
    } else {
        Maximise();
    }
    return S_OK;
}

HRESULT ConsoleDlg::OnButtonMinimise(Html::Node*)
{
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    maximised_ = false;
    return S_OK;
}

HRESULT ConsoleDlg::OnButtonMaximise(Html::Node*)
{
    Maximise();
    return S_OK;
}

HRESULT ConsoleDlg::OnButtonNormal(Html::Node*)
{
    Restore();
    return S_OK;
}

HRESULT ConsoleDlg::OnButtonClose(Html::Node*)
{
    EndDialog(0);
    return S_OK;
}

HRESULT ConsoleDlg::OnButtonPrevious(Html::Node*)
{
    GoHome();
    return S_OK;
}

HRESULT ConsoleDlg::OnButtonNext(Html::Node*)
{
    ShowCurrentTool();
    return S_OK;
}

HRESULT ConsoleDlg::OnButtonMenu(Html::Node*)
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_CONSOLE_MENU)) {
        Trace::WriteLine(String::Format(L"ConsoleDlg: the menu could not be loaded (error %lu).", GetLastError()));
        return S_OK;
    }
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup) {
        Trace::WriteLine(L"ConsoleDlg: the menu has no pop-up.");
        return S_OK;
    }
    CPoint corner(0, 0);
    ClientToScreen(&corner);
    if (!popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, corner.x + 10, corner.y + 25, this))
        Trace::WriteLine(String::Format(L"ConsoleDlg: the menu could not be shown (error %lu).", GetLastError()));
    return S_OK;
}

HRESULT ConsoleDlg::OnAddonClick(Html::Node* element)
{
    OpenTool(element->ClassName());
    return S_OK;
}

void ConsoleDlg::OnOptions()
{
    COptionDlg options(this);
    options.m_smoothSwitch = smooth_ ? 1 : 0;
    if (options.DoModal() != IDOK) return;
    smooth_ = options.m_smoothSwitch != 0;
    try {
        COptionDlg::WriteSmoothSwitch(settingsPath_, smooth_);
    } catch (System::Exception* failure) {
        ReportFailure(L"설정을 저장하지 못했습니다.", failure);
    }
}

void ConsoleDlg::OnHelpTopics() { OpenAddress(System::Application::GetServerUrl(System::Application::Server::Guide)); }

void ConsoleDlg::OnAbout()
{
    AboutDlg about(this);
    if (about.DoModal() == -1) Trace::WriteLine(L"ConsoleDlg: the about box could not be shown.");
}

void ConsoleDlg::OnHomePage() { OpenAddress(System::Application::GetServerUrl(System::Application::Server::HomePage)); }

void ConsoleDlg::OnExit() { EndDialog(0); }

void ConsoleDlg::ReportMoment(const char* name) const
{
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"VTCON_MOMENTS_FILE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    System::UniqueHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        Trace::WriteLine(String::Format(L"ConsoleDlg: %s cannot be opened (error %lu).", path, GetLastError()));
        return;
    }
    std::string line = std::string(name) + " " + std::to_string(now.QuadPart) + "\r\n";
    DWORD written = 0;
    if (!WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
        Trace::WriteLine(String::Format(L"ConsoleDlg: %s cannot be written (error %lu).", path, GetLastError()));
}
