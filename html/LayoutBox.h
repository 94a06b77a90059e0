#pragma once

#include <string>
#include <vector>

#include "html/Geometry.h"

namespace Html {

class Node;
struct Font;
struct ComputedStyle;

// A piece of a text node placed on one line, painted by the block that owns the line.
struct TextFragment {
    const Node* node = nullptr;
    const ComputedStyle* style = nullptr;
    const Font* font = nullptr;
    int start = 0;
    int length = 0;
    int x = 0;
    int baseline = 0;
    int width = 0;
};

// An inline element's part on one line; its left side is open when the element began on an
// earlier line, its right side when it goes on to the next one.
struct InlineFragment {
    Rect box;
    bool first = true;
    bool last = true;
};

// Where layout put an element, in page coordinates.
struct LayoutBox {
    Rect border;
    Edges margin;
    Edges borderWidth;
    Edges padding;
    std::vector<InlineFragment> fragments;
    std::vector<TextFragment> texts;
    // Bottom of the content including overflowing children, for scrolling and clipping.
    int contentBottom = 0;
    bool displayed = false;
    // Baseline of the first line, for inline blocks and table cells; -1 when there is none.
    int baseline = -1;

    Rect PaddingBox() const
    {
        return Rect{border.x + borderWidth.left, border.y + borderWidth.top,
                    border.width - borderWidth.Horizontal(), border.height - borderWidth.Vertical()};
    }
    Rect ContentBox() const
    {
        Rect box = PaddingBox();
        return Rect{box.x + padding.left, box.y + padding.top, box.width - padding.Horizontal(),
                    box.height - padding.Vertical()};
    }
};

// The text of one text node after white-space collapsing, measured in one font: ends[i] is the
// advance from the start to the end of character i.
struct TextMeasure {
    std::wstring text;
    const Font* font = nullptr;
    std::vector<int> ends;
    bool valid = false;

    int Width(int start, int length) const
    {
        if (length <= 0) return 0;
        return ends[start + length - 1] - (start > 0 ? ends[start - 1] : 0);
    }
};

}  // namespace Html
