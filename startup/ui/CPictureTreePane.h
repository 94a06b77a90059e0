#pragma once

#include <windows.h>

#include <memory>

#include "framework/CGdiObject.h"
#include "framework/CImageList.h"
#include "framework/CTreeCtrl.h"
#include "startup/ui/CPaneBar.h"

// A pane filled by one tree whose nodes show pictures from consecutive bitmap resources (white is
// their mask colour). A picture that cannot be loaded is traced and its nodes show none.
class CPictureTreePane : public CPaneBar {
public:
    static constexpr COLORREF TreeColor = RGB(234, 239, 246);

    // The tree is the template's control treeId; picture k is bitmap firstPictureId + k.
    CPictureTreePane(UINT treeId, UINT firstPictureId, int pictureCount, int fallbackPicture);

    BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id) override;

    CTreeCtrl& GetTree() { return tree_; }
    // The node's picture index; the fallback for no node.
    int GetPictureIndex(HTREEITEM item) const;
    // Null when the index is out of range or the bitmap could not be loaded.
    HBITMAP GetPicture(int index) const;

protected:
    void LayoutControls(int width, int height) override;

    CTreeCtrl tree_;

private:
    UINT treeId_;
    UINT firstPictureId_;
    int pictureCount_;
    int fallbackPicture_;
    CImageList images_;
    std::unique_ptr<CBitmap[]> pictures_;
};
