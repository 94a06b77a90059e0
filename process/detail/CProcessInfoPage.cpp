#include "process/detail/CProcessInfoPage.h"

#include <shellapi.h>

#include <algorithm>

#include "framework/CControls.h"
#include "process/ProcessInfo.h"
#include "process/detail/ProcessDetailResource.h"

namespace {

constexpr int RightMargin = 10;

void CreateDotum(CFont& font, int pixels, int weight)
{
    font.CreateFont(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"돋움");
}

HICON ShellIcon(const wchar_t* name, DWORD attributes, UINT size)
{
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(name, attributes, &info, sizeof info, SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | size))
        return nullptr;
    return info.hIcon;
}

}  // namespace

BEGIN_MESSAGE_MAP(CProcessInfoPage, CPropertyPage)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CProcessInfoPage::CProcessInfoPage(const ProcessInfo& process) : CPropertyPage(IDD_PROCESS_INFO_PAGE), process_(process)
{
}

UniqueIcon CProcessInfoPage::LoadFileTypeIcon(const ProcessInfo& process)
{
    const System::String& name = process.GetPath().IsEmpty() ? process.GetImageName() : process.GetPath();
    UniqueIcon icon(ShellIcon(name.GetBuffer(), FILE_ATTRIBUTE_NORMAL, SHGFI_LARGEICON));
    if (!icon) icon.Reset(ShellIcon(name.GetBuffer(), FILE_ATTRIBUTE_NORMAL, SHGFI_SMALLICON));
    // By attributes, so the folder icon comes even where Windows lives on another drive.
    if (!icon) icon.Reset(ShellIcon(L"C:\\Windows", FILE_ATTRIBUTE_DIRECTORY, SHGFI_LARGEICON));
    return icon;
}

BOOL CProcessInfoPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CreateDotum(nameFont_, 16, FW_BOLD);
    CreateDotum(ratingFont_, 14, FW_BOLD);
    CreateDotum(explanationFont_, 12, FW_NORMAL);

    if (CWnd* name = GetDlgItem(IDC_PROCESS_IMAGE_NAME)) name->SetFont(&nameFont_);
    if (CWnd* rating = GetDlgItem(IDC_PROCESS_RATING)) rating->SetFont(&ratingFont_);
    if (CWnd* explanation = GetDlgItem(IDC_PROCESS_RATING_EXPLANATION)) explanation->SetFont(&explanationFont_);
    SetDlgItemText(IDC_PROCESS_IMAGE_NAME, process_.GetImageName().GetBuffer());
    SetDlgItemText(IDC_PROCESS_DESCRIPTION, process_.GetDescription().GetBuffer());
    SetDlgItemText(IDC_PROCESS_RATING, ProcessInfo::GetRatingText(process_.GetRating()).GetBuffer());
    SetDlgItemText(IDC_PROCESS_RATING_EXPLANATION, process_.GetRatingText().GetBuffer());

    icon_ = LoadFileTypeIcon(process_);
    if (auto* picture = static_cast<CStatic*>(GetDlgItem(IDC_PROCESS_ICON))) picture->SetIcon(icon_.Get());

    CRect client;
    GetClientRect(&client);
    Layout(client.Width());
    return TRUE;
}

void CProcessInfoPage::OnSize(UINT type, int width, int height)
{
    CPropertyPage::OnSize(type, width, height);
    Layout(width);
}

// The texts keep their place and take the width the page has.
void CProcessInfoPage::Layout(int width)
{
    for (int id :
         {IDC_PROCESS_IMAGE_NAME, IDC_PROCESS_DESCRIPTION, IDC_PROCESS_RATING, IDC_PROCESS_RATING_EXPLANATION}) {
        CWnd* control = GetDlgItem(id);
        if (!control) continue;
        CRect rect;
        control->GetWindowRect(&rect);
        ScreenToClient(&rect);
        int right = width - RightMargin;
        control->MoveWindow(rect.left, rect.top, std::max(0, right - static_cast<int>(rect.left)), rect.Height());
    }
}
