#include "html/ScrollBar.h"

#include <windows.h>

#include <algorithm>

#include "html/LayoutBox.h"

namespace Html {

namespace {

int Metric(int index)
{
    int value = GetSystemMetrics(index);
    return value > 0 ? value : 16;
}

}  // namespace

ScrollBarLayout LayOutScrollBar(const LayoutBox& box)
{
    ScrollBarLayout layout;
    layout.bar = box.ScrollBarBox();
    const Rect& bar = layout.bar;
    if (bar.IsEmpty()) return layout;
    int arrow = std::min(Metric(SM_CYVSCROLL), bar.height / 2);
    layout.up = Rect{bar.x, bar.y, bar.width, arrow};
    layout.down = Rect{bar.x, bar.Bottom() - arrow, bar.width, arrow};
    layout.track = Rect{bar.x, bar.y + arrow, bar.width, bar.height - 2 * arrow};
    int maxScroll = box.MaxScroll();
    layout.active = maxScroll > 0 && box.scrollHeight > 0;
    if (!layout.active) return layout;
    int thumbHeight = std::max(Metric(SM_CYVTHUMB),
                               static_cast<int>(static_cast<long long>(layout.track.height) *
                                                box.PaddingBox().height / box.scrollHeight));
    if (thumbHeight >= layout.track.height) return layout;
    int travel = layout.track.height - thumbHeight;
    int offset = static_cast<int>(static_cast<long long>(travel) * std::min(box.scrollTop, maxScroll) / maxScroll);
    layout.thumb = Rect{bar.x, layout.track.y + offset, bar.width, thumbHeight};
    return layout;
}

ScrollBarPart ScrollBarLayout::PartAt(int x, int y) const
{
    if (!active || !bar.Contains(x, y)) return ScrollBarPart::None;
    if (up.Contains(x, y)) return ScrollBarPart::LineUp;
    if (down.Contains(x, y)) return ScrollBarPart::LineDown;
    if (thumb.IsEmpty()) return ScrollBarPart::None;
    if (thumb.Contains(x, y)) return ScrollBarPart::Thumb;
    return y < thumb.y ? ScrollBarPart::PageUp : ScrollBarPart::PageDown;
}

int ScrollBarLayout::ScrollForThumb(int thumbTop, int maxScroll) const
{
    int travel = track.height - thumb.height;
    if (thumb.IsEmpty() || travel <= 0) return 0;
    int offset = std::min(std::max(0, thumbTop - track.y), travel);
    return static_cast<int>((static_cast<long long>(offset) * maxScroll + travel / 2) / travel);
}

}  // namespace Html
