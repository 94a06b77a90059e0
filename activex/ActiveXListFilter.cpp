#include "activex/ActiveXListFilter.h"

#include "activex/ActiveXFeed.h"

using System::String;

ActiveXListFilter::ActiveXListFilter(const String& category, const String& searchText, const System::DateTime& today)
    : kind_(category == ActiveXFeed::AllCategory ? Kind::All
            : category == ActiveXFeed::NewCategory ? Kind::New
                                                   : Kind::Type),
      category_(category), search_(searchText.ToLower()), today_(today)
{
}

bool ActiveXListFilter::Shows(const ActiveXEntry& entry) const
{
    if (kind_ == Kind::New && !ActiveXFeed::IsNewlyAdded(entry, today_)) return false;
    if (kind_ == Kind::Type && entry.GetType() != category_) return false;
    return search_.IsEmpty() || entry.GetName().ToLower().Contains(search_);
}

std::vector<ActiveXEntry*> ActiveXListFilter::Apply(const std::vector<ActiveXEntry*>& entries) const
{
    std::vector<ActiveXEntry*> shown;
    for (ActiveXEntry* entry : entries) {
        if (Shows(*entry)) shown.push_back(entry);
    }
    return shown;
}
