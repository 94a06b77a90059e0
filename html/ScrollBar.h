#pragma once

#include "html/Geometry.h"

namespace Html {

struct LayoutBox;

enum class ScrollBarPart { None, LineUp, LineDown, PageUp, PageDown, Thumb };

// The parts of a box's vertical scroll bar, in page coordinates, laid out as the system's own:
// an arrow at each end, the track between them and the thumb in the track.
struct ScrollBarLayout {
    Rect bar;
    Rect up;
    Rect down;
    Rect track;
    // Empty when there is nothing to scroll or no room for it.
    Rect thumb;
    // Whether there is anything to scroll; an inactive bar is drawn greyed and ignores presses.
    bool active = false;

    // The part at a point of the bar; None where pressing does nothing.
    ScrollBarPart PartAt(int x, int y) const;
    // The scroll position that puts the thumb's top at thumbTop.
    int ScrollForThumb(int thumbTop, int maxScroll) const;
};

ScrollBarLayout LayOutScrollBar(const LayoutBox& box);

}  // namespace Html
