#include "startup/ui/CPictureTreePane.h"

#include "core/String.h"
#include "core/Trace.h"

CPictureTreePane::CPictureTreePane(UINT treeId, UINT firstPictureId, int pictureCount, int fallbackPicture)
    : treeId_(treeId),
      firstPictureId_(firstPictureId),
      pictureCount_(pictureCount),
      fallbackPicture_(fallbackPicture),
      pictures_(new CBitmap[pictureCount])
{
}

BOOL CPictureTreePane::Create(CWnd* parent, UINT templateId, UINT style, UINT id)
{
    if (!images_.Create(16, 16, ILC_COLOR24 | ILC_MASK, pictureCount_, 0)) return FALSE;
    for (int i = 0; i < pictureCount_; ++i) {
        if (!pictures_[i].LoadBitmap(firstPictureId_ + i) || images_.Add(&pictures_[i], RGB(255, 255, 255)) < 0) {
            System::Diagnostics::Trace::WriteLine(
                System::String::Format(L"tree pane: no picture %u (error %lu)", firstPictureId_ + i, GetLastError()));
        }
    }
    if (!CPaneBar::Create(parent, templateId, style, id)) return FALSE;
    if (!tree_.SubclassDlgItem(treeId_, this)) return FALSE;
    tree_.SetImageList(&images_, TVSIL_NORMAL);
    tree_.SetBkColor(TreeColor);
    CRect client;
    GetClientRect(&client);
    LayoutControls(client.Width(), client.Height());
    return TRUE;
}

int CPictureTreePane::GetPictureIndex(HTREEITEM item) const
{
    int image = 0;
    int selected = 0;
    return item && tree_.GetItemImage(item, image, selected) ? image : fallbackPicture_;
}

HBITMAP CPictureTreePane::GetPicture(int index) const
{
    if (index < 0 || index >= pictureCount_) return nullptr;
    return static_cast<HBITMAP>(pictures_[index].m_hObject);
}

void CPictureTreePane::LayoutControls(int width, int height)
{
    if (tree_.m_hWnd) tree_.MoveWindow(0, 0, width, height);
}
