#include "process/detail/CProcessWindowPage.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "core/Trace.h"
#include "framework/CImageList.h"
#include "process/WindowInfoManager.h"
#include "process/detail/ProcessDetailResource.h"

namespace {

constexpr int Margin = 7;

}  // namespace

BEGIN_MESSAGE_MAP(CProcessWindowPage, CPropertyPage)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CProcessWindowPage::CProcessWindowPage(const ProcessInfo& process)
    : CPropertyPage(IDD_PROCESS_WINDOW_PAGE), process_(process)
{
}

BOOL CProcessWindowPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (!tree_.SubclassDlgItem(IDC_PROCESS_WINDOW_TREE, this)) {
        System::Diagnostics::Trace::WriteLine(L"CProcessWindowPage: the template has no tree control");
        return TRUE;
    }
    // The system's list is shared by every program: the tree only borrows it.
    SHFILEINFOW info = {};
    auto systemIcons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"c:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (systemIcons) tree_.SetImageList(CImageList::FromHandle(systemIcons), TVSIL_NORMAL);
    Fill();
    CRect client;
    GetClientRect(&client);
    Layout(client.Width(), client.Height());
    return TRUE;
}

void CProcessWindowPage::Fill()
{
    WindowInfoManager manager;
    System::Array<WindowsInfo*> found = manager.GetWindows(process_);
    std::vector<std::unique_ptr<WindowsInfo>> windows(found.begin(), found.end());
    tree_.SetRedraw(FALSE);
    tree_.DeleteAllItems();
    for (const auto& window : windows) {
        HTREEITEM root = tree_.InsertItem(window->GetTitle().GetBuffer(), WindowImage, WindowImage);
        if (!root) continue;
        for (const System::String& child : window->GetChildren())
            tree_.InsertItem(child.GetBuffer(), WindowImage, WindowImage, root);
    }
    tree_.SetRedraw(TRUE);
    tree_.Invalidate();
}

void CProcessWindowPage::OnSize(UINT type, int width, int height)
{
    CPropertyPage::OnSize(type, width, height);
    Layout(width, height);
}

void CProcessWindowPage::Layout(int width, int height)
{
    if (tree_.m_hWnd)
        tree_.MoveWindow(Margin, Margin, std::max(0, width - 2 * Margin), std::max(0, height - 2 * Margin));
}
