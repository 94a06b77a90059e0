#include "activex/addon/CCategoryPane.h"

#include "activex/ActiveXFeed.h"
#include "activex/res/resource.h"
#include "core/Trace.h"

using System::String;

BOOL CCategoryPane::Create(CWnd* parent, UINT templateId, UINT style, UINT id)
{
    if (!images_.Create(16, 16, ILC_COLOR24 | ILC_MASK, PictureCount, 0)) return FALSE;
    for (int i = 0; i < PictureCount; ++i) {
        if (!pictures_[i].LoadBitmap(IDB_AXM_CATEGORY_FIRST + i) || images_.Add(&pictures_[i], RGB(255, 255, 255)) < 0)
            System::Diagnostics::Trace::WriteLine(String::Format(L"CCategoryPane: no picture %d (error %lu)", i, GetLastError()));
    }
    if (!CPaneBar::Create(parent, templateId, style, id)) return FALSE;
    if (!tree_.SubclassDlgItem(IDC_AXM_TREE, this)) return FALSE;
    tree_.SetImageList(&images_, TVSIL_NORMAL);
    tree_.SetBkColor(TreeColor);
    CRect client;
    GetClientRect(&client);
    LayoutControls(client.Width(), client.Height());
    return TRUE;
}

void CCategoryPane::Build(const std::vector<String>& categories)
{
    tree_.DeleteAllItems();
    if (categories.empty()) return;
    HTREEITEM root = tree_.InsertItem(categories[0].GetBuffer(), 0, 0);
    for (size_t i = 1; i < categories.size(); ++i) {
        int picture = categories[i] == ActiveXFeed::NewCategory ? 2 : 1;
        tree_.InsertItem(categories[i].GetBuffer(), picture, picture, root);
    }
    tree_.Expand(root, TVE_EXPAND);
    tree_.SelectItem(root);
}

HTREEITEM CCategoryPane::Find(const String& category) const
{
    HTREEITEM root = tree_.GetRootItem();
    if (!root) return nullptr;
    if (String(tree_.GetItemText(root).GetString()) == category) return root;
    for (HTREEITEM item = tree_.GetChildItem(root); item; item = tree_.GetNextSiblingItem(item)) {
        if (String(tree_.GetItemText(item).GetString()) == category) return item;
    }
    return nullptr;
}

int CCategoryPane::GetPictureIndex(HTREEITEM item) const
{
    int image = 0;
    int selected = 0;
    return item && tree_.GetItemImage(item, image, selected) ? image : 0;
}

HBITMAP CCategoryPane::GetPicture(int index) const
{
    if (index < 0 || index >= PictureCount) return nullptr;
    return static_cast<HBITMAP>(pictures_[index].m_hObject);
}

void CCategoryPane::LayoutControls(int width, int height)
{
    if (tree_.m_hWnd) tree_.MoveWindow(0, 0, width, height);
}
