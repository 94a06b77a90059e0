#pragma once

#include <windows.h>

#include <algorithm>

namespace Html {

// A box in page pixels. Empty boxes (zero width or height) still have a position.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    bool IsEmpty() const { return width <= 0 || height <= 0; }
    bool Contains(int px, int py) const { return px >= x && py >= y && px < Right() && py < Bottom(); }
    bool operator==(const Rect& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool operator!=(const Rect& other) const { return !(*this == other); }
    RECT ToRECT() const { return RECT{x, y, Right(), Bottom()}; }

    // The smallest box holding both; an empty box adds nothing.
    Rect Union(const Rect& other) const
    {
        if (other.IsEmpty()) return *this;
        if (IsEmpty()) return other;
        int left = std::min(x, other.x);
        int top = std::min(y, other.y);
        return Rect{left, top, std::max(Right(), other.Right()) - left, std::max(Bottom(), other.Bottom()) - top};
    }
    Rect Intersect(const Rect& other) const
    {
        int left = std::max(x, other.x);
        int top = std::max(y, other.y);
        int right = std::min(Right(), other.Right());
        int bottom = std::min(Bottom(), other.Bottom());
        if (right <= left || bottom <= top) return Rect{left, top, 0, 0};
        return Rect{left, top, right - left, bottom - top};
    }
};

struct Edges {
    int top = 0;
    int right = 0;
    int bottom = 0;
    int left = 0;

    int Horizontal() const { return left + right; }
    int Vertical() const { return top + bottom; }
};

}  // namespace Html
