#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CControls.h"
#include "framework/CImageList.h"
#include "framework/CRect.h"
#include "framework/CString.h"
#include "framework/CWnd.h"
#include "framework/FrameworkApi.h"

// A tree view. Items are HTREEITEM handles; null stands for "none" in every result.
class VTFRAMEWORK_API CTreeCtrl : public CWnd {
public:
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    UINT GetCount() const;
    HTREEITEM InsertItem(LPTVINSERTSTRUCTW insert);
    HTREEITEM InsertItem(LPCWSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
    HTREEITEM InsertItem(LPCWSTR text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM after = TVI_LAST);
    // Deletes the item with everything below it.
    BOOL DeleteItem(HTREEITEM item);
    BOOL DeleteAllItems();
    // code is TVE_EXPAND, TVE_COLLAPSE or TVE_TOGGLE.
    BOOL Expand(HTREEITEM item, UINT code);

    // Empty when there is no such item.
    CString GetItemText(HTREEITEM item) const;
    BOOL SetItemText(HTREEITEM item, LPCWSTR text);
    DWORD_PTR GetItemData(HTREEITEM item) const;
    BOOL SetItemData(HTREEITEM item, DWORD_PTR data);
    BOOL GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;
    BOOL SetItemImage(HTREEITEM item, int image, int selectedImage);
    UINT GetItemState(HTREEITEM item, UINT mask) const;
    BOOL SetItemState(HTREEITEM item, UINT state, UINT mask);
    // With TVS_CHECKBOXES: state image 2 is checked, 1 unchecked.
    BOOL GetCheck(HTREEITEM item) const;
    BOOL SetCheck(HTREEITEM item, BOOL check = TRUE);
    BOOL ItemHasChildren(HTREEITEM item) const;

    // code is a TVGN_… relation.
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const;
    HTREEITEM GetRootItem() const;
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    HTREEITEM GetPrevSiblingItem(HTREEITEM item) const;
    HTREEITEM GetParentItem(HTREEITEM item) const;
    HTREEITEM GetSelectedItem() const;
    BOOL SelectItem(HTREEITEM item);

    // Each returns the item under the point (client coordinates), or null; flags get the TVHT_… part.
    HTREEITEM HitTest(CPoint point, UINT* flags = nullptr) const;
    HTREEITEM HitTest(TVHITTESTINFO* info) const;
    BOOL GetItemRect(HTREEITEM item, LPRECT rect, BOOL textOnly) const;
    BOOL EnsureVisible(HTREEITEM item);

    // kind is TVSIL_NORMAL or TVSIL_STATE. The tree never destroys the lists it is given.
    CImageList* GetImageList(int kind) const;
    // Returns the previous list as a temporary object, or null.
    CImageList* SetImageList(CImageList* list, int kind);
    COLORREF GetBkColor() const;
    // Returns the previous colour; (COLORREF)-1 restores the system colour.
    COLORREF SetBkColor(COLORREF color);
};
