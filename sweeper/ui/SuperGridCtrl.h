#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <vector>

#include "framework/CImageList.h"
#include "framework/CListCtrl.h"
#include "framework/CRect.h"
#include "framework/CString.h"
#include "framework/CStringArray.h"

class CDC;

// What one row of the tree-list shows. Sub-items are the further columns, numbered from 0 for the
// second column; a negative sub-item raises System::ArgumentOutOfRangeException.
class CRowContent {
public:
    const CString& GetItemText() const { return m_text; }
    void SetItemText(const CString& text) { m_text = text; }

    // Appends the text of the next further column.
    void AddSubItemText(const CString& text);
    // Columns between the last text and this one get empty texts.
    void SetSubItemText(int subItem, const CString& text);
    // Empty for a column without a text.
    CString GetSubItemText(int subItem) const;
    int GetSubItemCount() const;

    // Index into the small image list; -1 for none.
    int GetImage() const { return m_image; }
    void SetImage(int image) { m_image = image; }

    // Index into the bar image list; -1 for none.
    int GetSubItemImage(int subItem) const;
    void SetSubItemImage(int subItem, int image);

    // CLR_NONE ((COLORREF)-1) for none.
    COLORREF GetSubItemColor(int subItem) const;
    void SetSubItemColor(int subItem, COLORREF color);

    // 1 ticked, 0 not; any other value counts as ticked.
    int GetCheck() const { return m_tick; }
    void SetCheck(int tick) { m_tick = tick ? 1 : 0; }

    const CString& GetKey() const { return m_key; }
    void SetKey(const CString& key) { m_key = key; }

private:
    CString m_text;
    CStringArray m_subItemTexts;
    int m_image = -1;
    std::map<int, int> m_subItemImages;
    std::map<int, COLORREF> m_subItemColors;
    int m_tick = 1;
    CString m_key;
};

// A tree shown in an owner-drawn report list view: each visible node is one row, indented by its
// level, with an expand button when it has children, an icon, a check box (the list view's state
// images, with LVS_EX_CHECKBOXES) and further columns that may show a bar image from a second image
// list. The parent must hand WM_DRAWITEM and WM_MEASUREITEM back to the control (the framework's
// reflection does). Columns are drawn in their index order.
class CSuperGridCtrl : public CListCtrl {
public:
    class CTreeItem {
    public:
        CRowContent& GetContent() const { return *m_content; }
        // Null for a top-level row.
        CTreeItem* GetParent() const { return m_parent; }
        int GetChildCount() const { return static_cast<int>(m_children.size()); }
        CTreeItem* GetChild(int index) const;
        // 1 for a top-level row.
        int GetIndent() const { return m_indent; }
        // The row's index in the list view, or -1 while it is hidden.
        int GetListIndex() const { return m_listIndex; }
        // Whether the children are shown once this row is.
        BOOL IsExpanded() const { return m_expanded; }

    private:
        friend class CSuperGridCtrl;
        CTreeItem(std::unique_ptr<CRowContent> content, CTreeItem* parent);

        std::unique_ptr<CRowContent> m_content;
        CTreeItem* m_parent;
        std::vector<std::unique_ptr<CTreeItem>> m_children;
        int m_indent;
        int m_listIndex = -1;
        BOOL m_expanded = FALSE;
    };

    CSuperGridCtrl() = default;
    ~CSuperGridCtrl() override;

    // Adds LVS_REPORT and LVS_OWNERDRAWFIXED to style.
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) override;

    // Both take the content over and return the new node. Null when the content is null or when the
    // list view refuses the row (traced); the tree is then unchanged.
    // A top-level row, appended at the end of the list.
    CTreeItem* InsertRootItem(std::unique_ptr<CRowContent> content);
    // The last child of parent, shown at once when parent's children are shown.
    CTreeItem* InsertChildItem(CTreeItem* parent, std::unique_ptr<CRowContent> content);

    int GetRootCount() const { return static_cast<int>(m_roots.size()); }
    CTreeItem* GetRootItem(int index) const;
    // The node shown at a list index, or null.
    CTreeItem* GetTreeItem(int listIndex) const;

    // The small images are the list view's (SetImageList with LVSIL_SMALL). The bar images for
    // further columns stay the caller's and must outlive their use.
    void SetSubItemImageList(CImageList* images) { m_subItemImages = images; }
    CImageList* GetSubItemImageList() const { return m_subItemImages; }

    // Shows the node's content again (texts, tick) and redraws its row if it is visible.
    void UpdateRow(CTreeItem* item);
    BOOL GetTick(const CTreeItem* item) const;
    // Also sets the check box of a visible row.
    void SetTick(CTreeItem* item, BOOL tick);

    // FALSE when a row could not be shown (traced); the rows shown stay consistent.
    BOOL Expand(CTreeItem* item);
    void Collapse(CTreeItem* item);
    // Expands the node and every node below it.
    BOOL ExpandAll(CTreeItem* item);

    // The text, or as much of its start as fits room pixels in dc's font followed by "...".
    static CString ShortenText(CDC* dc, const CString& text, int room);

    void DrawItem(LPDRAWITEMSTRUCT draw) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    static constexpr COLORREF StripeColor = RGB(229, 232, 239);

protected:
    // Called after every left click on a row that did not expand or collapse it.
    virtual void OnRowClicked(CTreeItem* item);

    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()

private:
    // Where the parts of the first column lie in a row.
    struct RowLayout {
        CRect button;
        CRect icon;
        CRect check;
        CRect label;
    };

    RowLayout LayoutRow(const CTreeItem& item, const CRect& row) const;
    int ColumnCount() const;
    int ColumnWidth(int column) const;
    int SmallIconWidth() const;
    HIMAGELIST StateImages() const;

    int ShowRow(int index, CTreeItem* item);
    BOOL ShowChildren(CTreeItem* item, int& next);
    // The list index just after the last visible row below item.
    int EndOfVisibleSubtree(const CTreeItem* item) const;
    void Renumber();
    void Toggle(CTreeItem* item);
    void Click(CPoint point);
    void MeasureItem(LPMEASUREITEMSTRUCT measure);

    void DrawFirstColumn(CDC* dc, const CTreeItem& item, const CRect& row);
    void DrawSubItem(CDC* dc, const CTreeItem& item, int subItem, const CRect& column);

    std::vector<std::unique_ptr<CTreeItem>> m_roots;
    CImageList* m_subItemImages = nullptr;
};
