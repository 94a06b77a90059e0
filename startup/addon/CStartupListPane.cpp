#include "startup/addon/CStartupListPane.h"

#include <algorithm>

#include "core/String.h"
#include "core/Trace.h"
#include "startup/res/resource.h"

BOOL CStartupListPane::Create(CWnd* parent, UINT templateId, UINT style, UINT id)
{
    if (!hideOff_.LoadBitmap(IDB_HIDE_ESSENTIAL_OFF) || !hideOn_.LoadBitmap(IDB_HIDE_ESSENTIAL_ON))
        System::Diagnostics::Trace::WriteLine(
            System::String::Format(L"CStartupListPane: cannot load the toggle's bitmaps (error %lu)", GetLastError()));
    SetBackgroundColor(BandColor);
    if (!CPaneBar::Create(parent, templateId, style, id)) return FALSE;
    if (!list_.SubclassDlgItem(IDC_STARTUP_LIST, this)) return FALSE;
    SetHideEssential(false);
    CRect client;
    GetClientRect(&client);
    LayoutControls(client.Width(), client.Height());
    return TRUE;
}

void CStartupListPane::SetCaption(LPCWSTR caption) { SetDlgItemText(IDC_CATEGORY_CAPTION, caption); }

void CStartupListPane::SetPicture(HBITMAP picture)
{
    if (auto* control = static_cast<CStatic*>(GetDlgItem(IDC_CATEGORY_PICTURE))) control->SetBitmap(picture);
}

void CStartupListPane::SetHideEssential(bool on)
{
    if (auto* control = static_cast<CStatic*>(GetDlgItem(IDC_HIDE_ESSENTIAL_PICTURE)))
        control->SetBitmap(on ? hideOn_ : hideOff_);
}

void CStartupListPane::LayoutControls(int width, int height)
{
    constexpr int LabelWidth = 110;
    if (CWnd* picture = GetDlgItem(IDC_CATEGORY_PICTURE)) picture->MoveWindow(5, 5, 16, 16);
    if (CWnd* label = GetDlgItem(IDC_HIDE_ESSENTIAL_LABEL)) label->MoveWindow(width - LabelWidth - 4, 7, LabelWidth, 14);
    if (CWnd* toggle = GetDlgItem(IDC_HIDE_ESSENTIAL_PICTURE)) toggle->MoveWindow(width - LabelWidth - 24, 5, 16, 16);
    if (CWnd* caption = GetDlgItem(IDC_CATEGORY_CAPTION))
        caption->MoveWindow(26, 7, std::max(0, width - LabelWidth - 26 - 30), 14);
    if (list_.m_hWnd) list_.MoveWindow(0, BandHeight, width, std::max(0, height - BandHeight));
}
