#pragma once

#include <windows.h>

#include <functional>

#include "core/String.h"
#include "framework/CListCtrl.h"
#include "startup/ui/CSortHeaderCtrl.h"

// A report list with striped rows (also below the last row), text colours chosen per row by
// its owner, and click-to-sort columns. What an item is stays the owner's: the item data is
// a pointer to its record, read only by the owner's rules.
class CColoredListCtrl : public CListCtrl {
public:
    static constexpr COLORREF EvenRowColor = RGB(255, 255, 255);
    static constexpr COLORREF OddRowColor = RGB(229, 232, 239);

    // The text colour of a row.
    using TextColorRule = std::function<COLORREF(const CColoredListCtrl& list, int item, DWORD_PTR data)>;
    // Orders two records by a column: negative, zero or positive, ascending.
    using SortRule = std::function<int(DWORD_PTR first, DWORD_PTR second, int column)>;

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) override;

    // Without a rule, text is black.
    void SetTextColorRule(TextColorRule rule) { textColorRule_ = std::move(rule); }
    // Without a rule, header clicks do nothing. Columns from arrowColumns on sort without an
    // arrow in the header.
    void SetSortRule(SortRule rule, int arrowColumns);

    // What a header click does: the column becomes the sort column, the direction flips, and
    // the rows are sorted.
    void SortByColumn(int column);
    // Sorts the rows again by the current column and direction (after rows changed); nothing
    // without a sort column.
    void Resort();
    // Forgets the sort column and removes the header's arrow (the rows stay where they are).
    void ClearSort();
    int GetSortColumn() const { return sortColumn_; }
    bool IsAscending() const { return ascending_; }
    CSortHeaderCtrl& GetSortHeader() { return header_; }

    // Texts compared lower-cased and then case-sensitively, as every sort key of the lists is.
    static int CompareTexts(const System::String& first, const System::String& second);

protected:
    void PreSubclassWindow() override;
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    void OnColumnClick(NMHDR* header, LRESULT* result);
    BOOL OnEraseBkgnd(CDC* dc);

    DECLARE_MESSAGE_MAP()

private:
    void SubclassHeader();
    static int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM list);

    CSortHeaderCtrl header_;
    TextColorRule textColorRule_;
    SortRule sortRule_;
    int arrowColumns_ = 0;
    int sortColumn_ = -1;
    // The first click flips it to ascending.
    bool ascending_ = false;
};
