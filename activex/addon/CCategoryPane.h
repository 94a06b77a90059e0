#pragma once

#include <windows.h>

#include <vector>

#include "core/String.h"
#include "startup/ui/CPictureTreePane.h"

// The category pane: "전체" with the feed's categories under it, fully expanded.
class CCategoryPane : public CPictureTreePane {
public:
    static constexpr int PictureCount = 3;

    CCategoryPane();

    // Replaces the nodes with the categories (the first one the root) and selects the root.
    void Build(const std::vector<System::String>& categories);
    // The node of a category text, or null.
    HTREEITEM Find(const System::String& category) const;
};
