#include "sysinfo/addon/SystemInfoViewerDlg.h"

#include "core/ExceptionGuard.h"
#include "core/Process.h"
#include "core/String.h"
#include "core/Trace.h"

using System::String;

BEGIN_MESSAGE_MAP(CSystemInfoViewerDlg, CDHtmlDialogEx)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BEGIN_DHTML_EVENT_MAP(CSystemInfoViewerDlg)
    DHTML_EVENT_ONCLICK(L"BtnPrevious", OnBtnPrevious)
END_DHTML_EVENT_MAP()

CSystemInfoViewerDlg::CSystemInfoViewerDlg(CWnd* parent)
    : CSystemInfoViewerDlg(parent, std::make_unique<CGeneralInfoTabDlg>(nullptr))
{
}

CSystemInfoViewerDlg::CSystemInfoViewerDlg(CWnd* parent, std::unique_ptr<CGeneralInfoTabDlg> generalTab)
    : CDHtmlDialogEx(TemplateId, PageId, parent), generalTab_(std::move(generalTab))
{
}

CSystemInfoViewerDlg::~CSystemInfoViewerDlg()
{
    // The tab is a child window: it goes with this window, before its object is deleted.
    if (m_hWnd) DestroyWindow();
}

BOOL CSystemInfoViewerDlg::OnInitDialog()
{
    CDHtmlDialogEx::OnInitDialog();
    // The privilege lets the drive and adapter queries open what a standard user may not.
    System::TraceExceptions([] { System::Diagnostics::Process::EnterDebugMode(); });
    if (!generalTab_->Create(CGeneralInfoTabDlg::TemplateId, this)) {
        System::Diagnostics::Trace::WriteLine(
            String::Format(L"CSystemInfoViewerDlg: cannot create the general tab (error %lu)", GetLastError()));
        return TRUE;
    }
    generalTab_->EnableWindow(TRUE);
    CRect client;
    GetClientRect(&client);
    PlaceGeneralTab(client.Width(), client.Height());
    generalTab_->ShowWindow(SW_SHOW);
    return TRUE;
}

void CSystemInfoViewerDlg::OnSize(UINT type, int cx, int cy)
{
    CDHtmlDialogEx::OnSize(type, cx, cy);
    PlaceGeneralTab(cx, cy);
}

void CSystemInfoViewerDlg::PlaceGeneralTab(int cx, int cy)
{
    if (!generalTab_->m_hWnd) return;
    int width = cx - 2 * TabMargin;
    int height = cy - TabTop - 1;
    generalTab_->MoveWindow(TabMargin, TabTop, width > 0 ? width : 0, height > 0 ? height : 0);
}

void CSystemInfoViewerDlg::OnDocumentComplete()
{
    CDHtmlDialogEx::OnDocumentComplete();
    CallScript(L"enable_button", CString(L"BtnPrevious"));
    CallScript(L"disable_button", CString(L"BtnNext"));
}

HRESULT CSystemInfoViewerDlg::OnBtnPrevious(Html::Node*)
{
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_ADDON_BACK, 0, 0);
    return S_OK;
}
