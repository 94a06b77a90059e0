#pragma once

#include "core/Array.h"
#include "core/String.h"

// The texts a domain ("Logon.CurrentUser.Startup") is shown with, and the way back from a tree path.
class Category {
public:
    // The list's column form: "현재 사용자/시작 폴더".
    static System::String FormatCategoryColumn(const System::String& domain);
    // The list pane's caption form: "Logon" reads "전체".
    static System::String FormatCategoryCaption(const System::String& domain);
    // The category of a tree item, from the texts of the item and its ancestors, root first.
    static System::String FromTreePath(const System::Array<System::String>& texts);
};
