#pragma once

#include <windows.h>

#include "core/String.h"
#include "startup/ui/CPictureTreePane.h"

// The category pane: a fixed tree of the places programs start from, fully expanded.
class CDomainPane : public CPictureTreePane {
public:
    static constexpr int PictureCount = 6;

    CDomainPane();

    // Builds the seven nodes, expands them and selects the root.
    void BuildTree();
    // The category of a node: its path turned back into domain words.
    System::String GetCategory(HTREEITEM item) const;
    // The node of a category, or null.
    HTREEITEM FindCategory(const System::String& category) const;

private:
    HTREEITEM Find(HTREEITEM from, const System::String& category) const;
};
