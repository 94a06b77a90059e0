#include "activex/addon/CActiveXListPane.h"

#include <algorithm>

#include "activex/res/resource.h"
#include "framework/CControls.h"

BOOL CActiveXListPane::Create(CWnd* parent, UINT templateId, UINT style, UINT id)
{
    SetBackgroundColor(BandColor);
    if (!CPaneBar::Create(parent, templateId, style, id)) return FALSE;
    if (!list_.SubclassDlgItem(IDC_AXM_LIST, this)) return FALSE;
    CRect client;
    GetClientRect(&client);
    LayoutControls(client.Width(), client.Height());
    return TRUE;
}

void CActiveXListPane::SetCaption(LPCWSTR caption) { SetDlgItemText(IDC_AXM_CAPTION, caption); }

void CActiveXListPane::SetPicture(HBITMAP picture)
{
    if (auto* control = static_cast<CStatic*>(GetDlgItem(IDC_AXM_PICTURE))) control->SetBitmap(picture);
}

void CActiveXListPane::LayoutControls(int width, int height)
{
    if (CWnd* picture = GetDlgItem(IDC_AXM_PICTURE)) picture->MoveWindow(5, 5, 16, 16);
    if (CWnd* caption = GetDlgItem(IDC_AXM_CAPTION)) caption->MoveWindow(26, 7, std::max(0, width - 30), 14);
    if (list_.m_hWnd) list_.MoveWindow(0, BandHeight, width, std::max(0, height - BandHeight));
}
