#include "startup/addon/StartupListRules.h"

#include "startup/Category.h"

namespace StartupListRules {

COLORREF TextColor(const CColoredListCtrl& list, int item, DWORD_PTR data)
{
    const auto* entry = reinterpret_cast<const StartupEntry*>(data);
    if (!list.GetCheck(item)) return RGB(190, 190, 190);
    int rating = entry ? entry->GetRating() : -3;
    if (rating == -3 || rating == 0) return RGB(0, 0, 0);
    return rating > 0 ? RGB(0, 160, 10) : RGB(221, 0, 0);
}

int Compare(DWORD_PTR first, DWORD_PTR second, int column)
{
    const auto* a = reinterpret_cast<const StartupEntry*>(first);
    const auto* b = reinterpret_cast<const StartupEntry*>(second);
    switch (column) {
    case NameColumn:
        return CColoredListCtrl::CompareTexts(a->GetName(), b->GetName());
    case ManufacturerColumn:
        return CColoredListCtrl::CompareTexts(a->GetManufacturer(), b->GetManufacturer());
    case RatingColumn:
        // Rating texts are compared as they are.
        return System::String::Compare(a->GetRatingText(), b->GetRatingText(), false);
    case CategoryColumn:
        return CColoredListCtrl::CompareTexts(Category::FormatCategoryColumn(a->GetDomain()),
                                              Category::FormatCategoryColumn(b->GetDomain()));
    default:
        return 0;
    }
}

void Apply(CColoredListCtrl& list)
{
    list.SetTextColorRule(&TextColor);
    list.SetSortRule(&Compare, ArrowColumns);
}

}  // namespace StartupListRules
