#pragma once

#include <windows.h>

#include "core/String.h"
#include "framework/CGdiObject.h"
#include "framework/CImageList.h"
#include "framework/CTreeCtrl.h"
#include "startup/ui/CPaneBar.h"

// The category pane: a fixed tree of the places programs start from, fully expanded.
class CDomainPane : public CPaneBar {
public:
    static constexpr COLORREF TreeColor = RGB(234, 239, 246);
    static constexpr int PictureCount = 6;

    BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id) override;

    CTreeCtrl& GetTree() { return tree_; }
    // Builds the seven nodes, expands them and selects the root.
    void BuildTree();
    // The category of a node: its path turned back into domain words.
    System::String GetCategory(HTREEITEM item) const;
    // The node of a category, or null.
    HTREEITEM FindCategory(const System::String& category) const;
    int GetPictureIndex(HTREEITEM item) const;
    // Bitmap 193 + index; null when it could not be loaded.
    HBITMAP GetPicture(int index) const;

protected:
    void LayoutControls(int width, int height) override;

private:
    HTREEITEM Find(HTREEITEM from, const System::String& category) const;

    CTreeCtrl tree_;
    CImageList images_;
    CBitmap pictures_[PictureCount];
};
