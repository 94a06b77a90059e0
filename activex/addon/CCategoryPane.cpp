#include "activex/addon/CCategoryPane.h"

#include "activex/ActiveXFeed.h"
#include "activex/res/resource.h"

using System::String;

// Pictures: all (0), a type (1), new (2); the bitmaps are 2040 onwards.
CCategoryPane::CCategoryPane() : CPictureTreePane(IDC_AXM_TREE, IDB_AXM_CATEGORY_FIRST, PictureCount, 0) {}

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
