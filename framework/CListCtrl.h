#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CControls.h"
#include "framework/CImageList.h"
#include "framework/CObject.h"
#include "framework/CRect.h"
#include "framework/CString.h"
#include "framework/CWnd.h"
#include "framework/FrameworkApi.h"

// A list view. Custom drawing is done by a derived class that handles NM_CUSTOMDRAW with
// ON_NOTIFY_REFLECT; owner-drawn lists (LVS_OWNERDRAWFIXED) override DrawItem.
class VTFRAMEWORK_API CListCtrl : public CWnd {
public:
    CListCtrl() = default;
    ~CListCtrl() override;

    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // LVS_EX_… styles; SetExtendedStyle replaces them all and returns the previous ones.
    DWORD GetExtendedStyle() const;
    DWORD SetExtendedStyle(DWORD styles);
    COLORREF GetBkColor() const;
    BOOL SetBkColor(COLORREF color);

    // Each returns the new column's index, or -1.
    int InsertColumn(int column, const LVCOLUMNW* info);
    int InsertColumn(int column, LPCWSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    BOOL GetColumn(int column, LVCOLUMNW* info) const;
    // The list's header: the object that subclasses it, or one that lives as long as this list.
    CHeaderCtrl* GetHeaderCtrl() const;

    int GetItemCount() const;
    // Each returns the new item's index, or -1.
    int InsertItem(const LVITEMW* item);
    int InsertItem(int index, LPCWSTR text);
    int InsertItem(int index, LPCWSTR text, int image);
    BOOL DeleteItem(int index);
    BOOL DeleteAllItems();
    BOOL GetItem(LVITEMW* item) const;
    BOOL SetItem(const LVITEMW* item);
    BOOL SetItem(int index, int subItem, UINT mask, LPCWSTR text, int image, UINT state, UINT stateMask,
                 LPARAM data);
    // Empty when there is no such item or sub-item.
    CString GetItemText(int index, int subItem) const;
    BOOL SetItemText(int index, int subItem, LPCWSTR text);
    DWORD_PTR GetItemData(int index) const;
    BOOL SetItemData(int index, DWORD_PTR data);
    UINT GetItemState(int index, UINT mask) const;
    // index -1 changes every item.
    BOOL SetItemState(int index, UINT state, UINT mask);
    // With LVS_EX_CHECKBOXES: state image 2 is checked, 1 unchecked. An item without a state image
    // counts as unchecked.
    BOOL GetCheck(int index) const;
    BOOL SetCheck(int index, BOOL check = TRUE);

    UINT GetSelectedCount() const;
    // Walks the selected items in index order: null when nothing is selected; each call of
    // GetNextSelectedItem returns an item and moves position on (to null after the last).
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& position) const;
    // The next item after start (-1: from the beginning) with the LVNI_… relation, or -1.
    int GetNextItem(int start, int flags) const;
    int FindItem(LVFINDINFOW* find, int start = -1) const;

    // Each returns the item under the point (client coordinates), or -1; flags get the LVHT_… part.
    int HitTest(CPoint point, UINT* flags = nullptr) const;
    int HitTest(LVHITTESTINFO* info) const;
    // Also fills info->iSubItem with the column.
    int SubItemHitTest(LVHITTESTINFO* info);
    // area is LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL or LVIR_SELECTBOUNDS.
    BOOL GetItemRect(int index, LPRECT rect, UINT area) const;
    BOOL GetSubItemRect(int index, int subItem, int area, CRect& rect) const;
    int GetTopIndex() const;
    int GetCountPerPage() const;
    BOOL EnsureVisible(int index, BOOL partialOK);
    BOOL RedrawItems(int first, int last);
    BOOL Update(int index);

    // kind is LVSIL_NORMAL, LVSIL_SMALL or LVSIL_STATE. A list set through SetImageList stays its
    // owner's: the control lets go of it when it is destroyed instead of destroying it, so a
    // CImageList object can own it (and a list that is shared, such as the system's, survives).
    CImageList* GetImageList(int kind) const;
    // Returns the previous list as a temporary object, or null.
    CImageList* SetImageList(CImageList* list, int kind);

    // Sorts with compare(data of item 1, data of item 2, data): negative, zero or positive.
    BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR data);

    // Draws an item of an owner-drawn list when the parent hands WM_DRAWITEM back to the list;
    // derived classes override it.
    virtual void DrawItem(LPDRAWITEMSTRUCT draw);

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ReleaseImageLists();

    mutable CHeaderCtrl m_header;
    // The lists handed over through SetImageList, by kind.
    HIMAGELIST m_imageLists[LVSIL_STATE + 1] = {};
};
