#pragma once

#include <windows.h>

#include <vector>

#include "core/String.h"
#include "framework/CGdiObject.h"
#include "framework/CImageList.h"
#include "framework/CTreeCtrl.h"
#include "startup/ui/CPaneBar.h"

// The category pane: "전체" with the feed's categories under it, fully expanded.
class CCategoryPane : public CPaneBar {
public:
    static constexpr COLORREF TreeColor = RGB(234, 239, 246);
    static constexpr int PictureCount = 3;

    BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id) override;

    CTreeCtrl& GetTree() { return tree_; }
    // Replaces the nodes with the categories (the first one the root) and selects the root.
    void Build(const std::vector<System::String>& categories);
    // The node of a category text, or null.
    HTREEITEM Find(const System::String& category) const;
    int GetPictureIndex(HTREEITEM item) const;
    // Bitmap 2040 + index; null when it could not be loaded.
    HBITMAP GetPicture(int index) const;

protected:
    void LayoutControls(int width, int height) override;

private:
    CTreeCtrl tree_;
    CImageList images_;
    CBitmap pictures_[PictureCount];
};
