#include "startup/addon/CDomainPane.h"

#include <vector>

#include "core/Array.h"
#include "core/Trace.h"
#include "startup/Category.h"
#include "startup/StartupTexts.h"
#include "startup/res/resource.h"

using System::String;

BOOL CDomainPane::Create(CWnd* parent, UINT templateId, UINT style, UINT id)
{
    if (!images_.Create(16, 16, ILC_COLOR24 | ILC_MASK, PictureCount, 0)) return FALSE;
    for (int i = 0; i < PictureCount; ++i) {
        if (!pictures_[i].LoadBitmap(IDB_CATEGORY_FIRST + i) || images_.Add(&pictures_[i], RGB(255, 255, 255)) < 0)
            System::Diagnostics::Trace::WriteLine(String::Format(L"CDomainPane: no picture %d (error %lu)", i, GetLastError()));
    }
    if (!CPaneBar::Create(parent, templateId, style, id)) return FALSE;
    if (!tree_.SubclassDlgItem(IDC_CATEGORY_TREE, this)) return FALSE;
    tree_.SetImageList(&images_, TVSIL_NORMAL);
    tree_.SetBkColor(TreeColor);
    CRect client;
    GetClientRect(&client);
    LayoutControls(client.Width(), client.Height());
    return TRUE;
}

void CDomainPane::BuildTree()
{
    tree_.DeleteAllItems();
    HTREEITEM root = tree_.InsertItem(StartupTexts::Everything, 2, 2);
    HTREEITEM user = tree_.InsertItem(StartupTexts::CurrentUser, 1, 1, root);
    tree_.InsertItem(StartupTexts::StartupFolder, 5, 5, user);
    tree_.InsertItem(StartupTexts::Registry, 4, 4, user);
    HTREEITEM machine = tree_.InsertItem(StartupTexts::AllUsers, 0, 0, root);
    tree_.InsertItem(StartupTexts::StartupFolder, 5, 5, machine);
    tree_.InsertItem(StartupTexts::Registry, 4, 4, machine);
    tree_.Expand(root, TVE_EXPAND);
    tree_.Expand(user, TVE_EXPAND);
    tree_.Expand(machine, TVE_EXPAND);
    tree_.SelectItem(root);
}

String CDomainPane::GetCategory(HTREEITEM item) const
{
    std::vector<String> texts;
    for (; item; item = tree_.GetParentItem(item)) texts.insert(texts.begin(), String(tree_.GetItemText(item).GetString()));
    return Category::FromTreePath(System::Array<String>(std::move(texts)));
}

HTREEITEM CDomainPane::Find(HTREEITEM from, const String& category) const
{
    for (HTREEITEM item = from; item; item = tree_.GetNextSiblingItem(item)) {
        if (GetCategory(item) == category) return item;
        if (HTREEITEM found = Find(tree_.GetChildItem(item), category)) return found;
    }
    return nullptr;
}

HTREEITEM CDomainPane::FindCategory(const String& category) const { return Find(tree_.GetRootItem(), category); }

int CDomainPane::GetPictureIndex(HTREEITEM item) const
{
    int image = 0;
    int selected = 0;
    return item && tree_.GetItemImage(item, image, selected) ? image : 2;
}

HBITMAP CDomainPane::GetPicture(int index) const
{
    if (index < 0 || index >= PictureCount) return nullptr;
    return static_cast<HBITMAP>(pictures_[index].m_hObject);
}

void CDomainPane::LayoutControls(int width, int height)
{
    if (tree_.m_hWnd) tree_.MoveWindow(0, 0, width, height);
}
