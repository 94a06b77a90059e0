#pragma once

#include <algorithm>
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

// Where layout put an element, in page coordinates: the coordinates of painting, hit testing and
// the invalidation callback. Scrolling is already applied: the content of a box scrolled down by
// scrollTop pixels lies that much higher than layout first put it.
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

    // Vertical scrolling of an overflow: auto or scroll box. scrollTop survives layouts, so a
    // changed page keeps its lists where the user scrolled them.
    int scrollTop = 0;
    int scrollHeight = 0;      // content height from the top of the padding box
    int scrollLine = 0;        // one line of the box's text, the step of arrows and the wheel
    int scrollBarWidth = 0;
    bool scrollBar = false;

    // Everything the element and its descendants paint, and whether an absolute box is among them,
    // so the painter can skip subtrees outside the area it repaints.
    Rect inkBounds;
    bool absoluteInside = false;

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
    // The strip at the right of the padding box that the vertical scroll bar takes; empty without one.
    Rect ScrollBarBox() const
    {
        if (!scrollBar) return Rect{};
        Rect box = PaddingBox();
        int width = std::min(scrollBarWidth, std::max(0, box.width));
        return Rect{box.Right() - width, box.y, width, box.height};
    }
    // Where the content of a clipping box shows: the padding box without the scroll bar.
    Rect ClipBox() const
    {
        Rect box = PaddingBox();
        if (scrollBar) box.width = std::max(0, box.width - scrollBarWidth);
        return box;
    }
    int MaxScroll() const { return scrollBar ? std::max(0, scrollHeight - PaddingBox().height) : 0; }
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
