#include "startup/addon/CDomainPane.h"

#include <vector>

#include "core/Array.h"
#include "startup/Category.h"
#include "startup/StartupTexts.h"
#include "startup/res/resource.h"

using System::String;

// The bitmaps are 193 onwards; a node without a picture counts as "everything" (2).
CDomainPane::CDomainPane() : CPictureTreePane(IDC_CATEGORY_TREE, IDB_CATEGORY_FIRST, PictureCount, 2) {}

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
