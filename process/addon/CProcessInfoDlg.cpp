#include "process/addon/CProcessInfoDlg.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

using System::String;

namespace {

HICON ShellIcon(const wchar_t* path, UINT size)
{
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path, FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | size))
        return nullptr;
    return info.hIcon;
}

}  // namespace

HICON CProcessInfoDlg::FileTypeIcon(const String& path)
{
    if (HICON icon = ShellIcon(path.GetBuffer(), SHGFI_LARGEICON)) return icon;
    if (HICON icon = ShellIcon(path.GetBuffer(), SHGFI_SMALLICON)) return icon;
    return ShellIcon(L"C:\\Windows", SHGFI_LARGEICON);
}

BOOL CProcessInfoDlg::Create(CWnd* parent, UINT templateId, UINT style, UINT id)
{
    SetNameRightMargin(DetailsRight + 10);
    if (!CProgInfoPane::Create(parent, templateId, style, id)) return FALSE;
    ShowNothing();
    return TRUE;
}

void CProcessInfoDlg::ShowProcess(const ProcessInfo& info)
{
    shown_.CopyFrom(info);
    CProgInfoPane::Item item;
    item.icon = FileTypeIcon(shown_.GetPath());
    item.name = shown_.GetImageName().GetBuffer();
    item.secondLine = shown_.GetDescription().GetBuffer();
    item.rating = shown_.GetRating();
    item.ratingText = ProcessInfo::GetRatingText(shown_.GetRating()).GetBuffer();
    item.description = shown_.GetRatingText().GetBuffer();
    ShowItem(std::move(item));
    if (CWnd* details = GetDlgItem(DetailsId)) details->EnableWindow(TRUE);
}

void CProcessInfoDlg::ShowNothing()
{
    Clear();
    if (CWnd* details = GetDlgItem(DetailsId)) details->EnableWindow(FALSE);
}

void CProcessInfoDlg::LayoutControls(int width, int height)
{
    CProgInfoPane::LayoutControls(width, height);
    CWnd* details = GetDlgItem(DetailsId);
    if (!details) return;
    CRect button;
    details->GetWindowRect(&button);
    details->MoveWindow(std::max(0, width - DetailsRight), DetailsTop, button.Width(), button.Height());
}
