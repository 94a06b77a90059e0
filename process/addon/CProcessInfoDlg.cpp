#include "process/addon/CProcessInfoDlg.h"

#include <algorithm>
#include <utility>

#include "process/detail/CProcessInfoPage.h"

using System::String;

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
    // The same icon as the detail sheet's information tab; the pane takes it over.
    item.icon = CProcessInfoPage::LoadFileTypeIcon(shown_).Release();
    item.name = shown_.GetImageName().GetBuffer();
    item.secondLine = shown_.GetDescription().GetBuffer();
    item.rating = shown_.GetRating();
    item.ratingText = ProcessInfo::GetRatingText(shown_.GetRating()).GetBuffer();
    item.description = shown_.GetRatingText().GetBuffer();
    ShowItem(std::move(item));
    if (CWnd* details = GetDlgItem(DetailsId)) details->EnableWindow(TRUE);
    Relayout();
}

void CProcessInfoDlg::ShowNothing()
{
    Clear();
    if (CWnd* details = GetDlgItem(DetailsId)) details->EnableWindow(FALSE);
    Relayout();
}

void CProcessInfoDlg::Relayout()
{
    CRect client;
    GetClientRect(&client);
    LayoutControls(client.Width(), client.Height());
}

void CProcessInfoDlg::LayoutControls(int width, int height)
{
    CProgInfoPane::LayoutControls(width, height);
    // Without a process the hint moves up into the place of the hidden rating band.
    int hintTop = IsShown() ? ShownHintTop : HintTopWithoutProcess;
    if (CWnd* hint = GetDlgItem(DescriptionId))
        hint->MoveWindow(HintLeft, hintTop, std::max(0, width - 2 * HintLeft), std::max(0, height - hintTop - 4));
    CWnd* details = GetDlgItem(DetailsId);
    if (!details) return;
    CRect button;
    details->GetWindowRect(&button);
    details->MoveWindow(std::max(0, width - DetailsRight), DetailsTop, button.Width(), button.Height());
}
