#pragma once

#include <windows.h>

#include "startup/StartupEntry.h"
#include "startup/ui/CColoredListCtrl.h"

// How the startup list colours and sorts its rows, whose item data are StartupEntry pointers.
namespace StartupListRules {

enum Column { NameColumn, ManufacturerColumn, RatingColumn, CommandLineColumn, CategoryColumn, ColumnCount };
// Columns 0 to 2 show the sort arrow; the command line and category sort without one.
constexpr int ArrowColumns = 3;

// Grey when the row's box is cleared, else by rating: black for -3 and 0, green above 0, red below.
COLORREF TextColor(const CColoredListCtrl& list, int item, DWORD_PTR data);
// Name, manufacturer, rating text, category in column form; the command line keeps the order.
int Compare(DWORD_PTR first, DWORD_PTR second, int column);
// Puts both rules on a list.
void Apply(CColoredListCtrl& list);

}  // namespace StartupListRules
