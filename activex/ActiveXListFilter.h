#pragma once

#include <vector>

#include "activex/ActiveXEntry.h"
#include "core/DateTime.h"
#include "core/String.h"

// Which entries the control list shows for a category of the pane and a search text: "전체"
// shows every entry, "새로 추가된 항목" the newly added ones, any other category the entries of that
// type (ordinal); a search text keeps the entries whose name contains it, ignoring case.
class ActiveXListFilter {
public:
    ActiveXListFilter(const System::String& category, const System::String& searchText,
                      const System::DateTime& today = System::DateTime::GetToday());

    bool Shows(const ActiveXEntry& entry) const;
    // The entries shown, in load order.
    std::vector<ActiveXEntry*> Apply(const std::vector<ActiveXEntry*>& entries) const;

private:
    enum class Kind { All, New, Type };

    Kind kind_;
    System::String category_;
    System::String search_;
    System::DateTime today_;
};
