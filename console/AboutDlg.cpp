#include "console/AboutDlg.h"

#include "console/res/resource.h"
#include "core/Application.h"

namespace {

constexpr int kAboutWidth = 291;
constexpr int kAboutHeight = 181;

}  // namespace

BEGIN_DHTML_EVENT_MAP(AboutDlg)
DHTML_EVENT_ONCLICK(L"BtnClose", OnButtonClose)
DHTML_EVENT_TAG_ALL(Html::EventType::SelectStart, OnSelectStart)
DHTML_EVENT_TAG_ALL(Html::EventType::DragStart, OnDragStart)
END_DHTML_EVENT_MAP()

AboutDlg::AboutDlg(CWnd* parent) : CDHtmlDialogEx(IDD_ABOUT, IDR_ABOUT_PAGE, parent)
{
    version_ = System::Application::GetProductVersion().Replace(L", ", L".").GetBuffer();
}

BOOL AboutDlg::OnInitDialog()
{
    CDHtmlDialogEx::OnInitDialog();
    SetWindowPos(nullptr, 0, 0, kAboutWidth, kAboutHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow();
    return TRUE;
}

void AboutDlg::OnDocumentComplete()
{
    CDHtmlDialogEx::OnDocumentComplete();
    UpdateData(FALSE);
}

void AboutDlg::DoDataExchange(CDataExchange* exchange)
{
    CDHtmlDialogEx::DoDataExchange(exchange);
    DDX_DHtml_ElementInnerText(exchange, L"TxtVersion", version_);
}

HRESULT AboutDlg::OnButtonClose(Html::Node*)
{
    EndDialog(IDOK);
    return S_OK;
}
