#include "process/detail/CProcessModulePage.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/Trace.h"
#include "process/ProcessInfo.h"
#include "process/ProcessModuleInfo.h"
#include "process/detail/ProcessDetailResource.h"

namespace {

constexpr int Margin = 7;

}  // namespace

BEGIN_MESSAGE_MAP(CProcessModulePage, CPropertyPage)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CProcessModulePage::CProcessModulePage(const ProcessInfo& process)
    : CPropertyPage(IDD_PROCESS_MODULE_PAGE), process_(process)
{
}

BOOL CProcessModulePage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (!list_.SubclassDlgItem(IDC_PROCESS_MODULE_LIST, this)) {
        System::Diagnostics::Trace::WriteLine(L"CProcessModulePage: the template has no list control");
        return TRUE;
    }
    list_.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list_.InsertColumn(0, L"모듈 이름", LVCFMT_LEFT, 100);
    list_.InsertColumn(1, L"모듈 경로", LVCFMT_LEFT, 400);
    Fill();
    CRect client;
    GetClientRect(&client);
    Layout(client.Width(), client.Height());
    return TRUE;
}

void CProcessModulePage::Fill()
{
    System::Array<ProcessModuleInfo*> found = GetProcessModules(process_.GetProcessId());
    std::vector<std::unique_ptr<ProcessModuleInfo>> modules(found.begin(), found.end());
    list_.SetRedraw(FALSE);
    list_.DeleteAllItems();
    for (const auto& module : modules) {
        int row = list_.InsertItem(list_.GetItemCount(), module->GetName().GetBuffer());
        if (row >= 0) list_.SetItemText(row, 1, module->GetPath().GetBuffer());
    }
    list_.SetRedraw(TRUE);
    list_.Invalidate();
}

void CProcessModulePage::OnSize(UINT type, int width, int height)
{
    CPropertyPage::OnSize(type, width, height);
    Layout(width, height);
}

void CProcessModulePage::Layout(int width, int height)
{
    if (list_.m_hWnd)
        list_.MoveWindow(Margin, Margin, std::max(0, width - 2 * Margin), std::max(0, height - 2 * Margin));
}
