#include "shell/demo/ShellDemoDlg.h"

#include "core/Trace.h"
#include "html/Node.h"
#include "shell/demo/ShellDemoResources.h"

BEGIN_DHTML_EVENT_MAP(CShellDemoDlg)
DHTML_EVENT_ONCLICK(L"BtnPrevious", OnPrevious)
DHTML_EVENT_ONCLICK(L"BtnNext", OnNext)
DHTML_EVENT_ONCLICK(L"BtnMenu", OnMenu)
DHTML_EVENT_ONCLICK(L"BtnMin", OnMinimize)
DHTML_EVENT_ONCLICK(L"BtnMax", OnMaximize)
DHTML_EVENT_ONCLICK(L"BtnClose", OnClose)
DHTML_EVENT_TAG_ALL(Html::EventType::SelectStart, OnSelectStart)
DHTML_EVENT_TAG_ALL(Html::EventType::DragStart, OnDragStart)
END_DHTML_EVENT_MAP()

CShellDemoDlg::CShellDemoDlg(CWnd* parent) : CDHtmlDialogEx(IDD_SHELL_DEMO, IDR_SHELL_DEMO_PAGE, parent) {}

BOOL CShellDemoDlg::OnInitDialog()
{
    CDHtmlDialogEx::OnInitDialog();
    SetWindowText(L"벨라 툴박스 화면 예제");
    // The page is laid out in pixels; dialog units would scale it with the dialog font.
    if (!SetWindowPos(nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)) {
        System::Diagnostics::Trace::WriteLine(
            System::String::Format(L"CShellDemoDlg: SetWindowPos failed (error %lu)", GetLastError()));
    }
    CenterWindow();
    return TRUE;
}

HRESULT CShellDemoDlg::OnPrevious(Html::Node*)
{
    CallScript(L"layer_toggle", L"layerSecond");
    CallScript(L"layer_toggle", L"layerFirst");
    CallScript(L"disable_button", L"BtnPrevious");
    CallScript(L"enable_button", L"BtnNext");
    return S_OK;
}

HRESULT CShellDemoDlg::OnNext(Html::Node*)
{
    CallScript(L"layer_toggle", L"layerFirst");
    CallScript(L"layer_toggle", L"layerSecond");
    CallScript(L"disable_button", L"BtnNext");
    CallScript(L"enable_button", L"BtnPrevious");
    return S_OK;
}

HRESULT CShellDemoDlg::OnMenu(Html::Node*)
{
    CallScript(L"layer_toggle", L"layerMenu");
    return S_OK;
}

HRESULT CShellDemoDlg::OnMinimize(Html::Node*)
{
    ShowWindow(SW_MINIMIZE);
    return S_OK;
}

// One button for both: it shows the restore image while the window is maximised.
HRESULT CShellDemoDlg::OnMaximize(Html::Node* element)
{
    bool maximise = !IsZoomed();
    ShowWindow(maximise ? SW_MAXIMIZE : SW_RESTORE);
    element->SetClassName(maximise ? L"btn_normal" : L"btn_max");
    CallScript(L"_button_onmouseover", L"BtnMax");
    return S_OK;
}

HRESULT CShellDemoDlg::OnClose(Html::Node*)
{
    EndDialog(IDCANCEL);
    return S_OK;
}
