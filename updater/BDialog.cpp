#include "updater/BDialog.h"

#include "framework/CDC.h"

BEGIN_MESSAGE_MAP(CBDialog, CDialog)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CBDialog::SetBackground(UINT bitmapId, int mode)
{
    m_background.DeleteObject();
    m_mode = mode;
    return m_background.LoadBitmap(bitmapId);
}

BOOL CBDialog::OnEraseBkgnd(CDC* dc)
{
    BITMAP info = {};
    if (!m_background.GetSafeHandle() || !m_background.GetBitmap(&info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
        return static_cast<BOOL>(Default());
    }
    CDC memory;
    if (!memory.CreateCompatibleDC(dc)) return static_cast<BOOL>(Default());
    CBitmap* old = memory.SelectObject(&m_background);
    CRect client;
    GetClientRect(&client);
    if (m_mode == Stretch) {
        dc->SetStretchBltMode(COLORONCOLOR);
        dc->StretchBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    } else {
        for (int y = 0; y < client.Height(); y += info.bmHeight) {
            for (int x = 0; x < client.Width(); x += info.bmWidth) {
                dc->BitBlt(x, y, info.bmWidth, info.bmHeight, &memory, 0, 0, SRCCOPY);
            }
        }
    }
    if (old) memory.SelectObject(old);
    return TRUE;
}
