#include "html/Painter.h"

#include <algorithm>

#include "core/Win32Exception.h"
#include "html/BoxGeometry.h"
#include "html/FontCache.h"
#include "html/ImageCache.h"
#include "html/Node.h"
#include "html/ResourceLoader.h"
#include "html/TextSelection.h"

namespace Html {

Painter::Painter(HDC dc, ImageCache& images, int originX, int originY)
    : dc_(dc), imageDC_(CreateCompatibleDC(dc)), images_(images), originX_(originX), originY_(originY)
{
    if (!imageDC_) Microsoft::Win32::Win32Exception::ThrowLastError(L"CreateCompatibleDC for page images");
}

Painter::~Painter()
{
    DeleteDC(imageDC_);
}

RECT Painter::Device(const Rect& box) const
{
    return RECT{box.x - originX_, box.y - originY_, box.Right() - originX_, box.Bottom() - originY_};
}

void Painter::ClipTo(const Rect& box)
{
    RECT rect = Device(box);
    IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void Painter::Paint(Node& root, const Rect& area)
{
    area_ = area;
    int saved = SaveDC(dc_);
    ClipTo(area);
    SetBkMode(dc_, TRANSPARENT);
    SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
    std::vector<Deferred> positioned;
    PaintTree(root, Clip{area, area}, positioned, true);
    PaintPositioned(positioned);
    RestoreDC(dc_, saved);
}

void Painter::PaintPositioned(std::vector<Deferred>& positioned)
{
    std::stable_sort(positioned.begin(), positioned.end(), [](const Deferred& a, const Deferred& b) {
        return a.node->Style().zIndex < b.node->Style().zIndex;
    });
    for (const Deferred& entry : positioned) {
        if (entry.clip.IsEmpty()) continue;
        int saved = SaveDC(dc_);
        ClipTo(entry.clip);
        std::vector<Deferred> inner;
        PaintTree(*entry.node, Clip{entry.clip, entry.clip}, inner, true);
        PaintPositioned(inner);
        RestoreDC(dc_, saved);
    }
}

void Painter::PaintTree(Node& node, const Clip& clip, std::vector<Deferred>& positioned, bool isRoot)
{
    if (node.IsText() || !node.IsDisplayed() || node.Style().display == Display::None) return;
    const ComputedStyle& style = node.Style();
    if (!isRoot && style.IsPositioned()) {
        positioned.push_back(Deferred{&node, style.position == Position::Absolute ? clip.absolute : clip.flow});
        return;
    }
    const LayoutBox& box = node.Box();
    area_ = clip.flow;
    if (style.visible && Meets(node)) {
        Report(node, box.border);
        PaintDecorations(node);
        if (node.Tag() == L"img") PaintImage(node);
        if (node.Tag() == L"input") PaintInputValue(node);
    }
    Clip inner = clip;
    int saved = 0;
    if (style.overflow != Overflow::Visible) {
        inner.flow = clip.flow.Intersect(box.ClipBox());
        saved = SaveDC(dc_);
        ClipTo(box.ClipBox());
    }
    // A positioned box (and the root) is the containing block of the absolute boxes inside it.
    if (style.IsPositioned() || !node.Parent()) inner.absolute = inner.flow;
    for (const auto& child : node.Children()) {
        if (child->IsText()) continue;
        const LayoutBox& childBox = child->Box();
        const Rect& reach = childBox.absoluteInside ? inner.absolute : inner.flow;
        if (childBox.inkBounds.Intersect(reach).IsEmpty()) continue;
        PaintTree(*child, inner, positioned, false);
    }
    area_ = inner.flow;
    PaintTexts(node);
    if (saved) RestoreDC(dc_, saved);
    area_ = clip.flow;
    if (style.visible && box.scrollBar) PaintScrollBar(node);
}

bool Painter::Meets(const Node& node) const
{
    const LayoutBox& box = node.Box();
    if (box.fragments.empty()) return !box.border.Intersect(area_).IsEmpty();
    for (const auto& fragment : box.fragments) {
        if (!fragment.box.Intersect(area_).IsEmpty()) return true;
    }
    return false;
}

void Painter::Report(const Node& node, const Rect& box)
{
    if (observer_ && *observer_) (*observer_)(node, box);
}

void Painter::Fill(const Rect& box, COLORREF color)
{
    if (box.IsEmpty()) return;
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush) return;
    RECT rect = Device(box);
    FillRect(dc_, &rect, brush);
    DeleteObject(brush);
}

void Painter::PaintDecorations(Node& node)
{
    const LayoutBox& box = node.Box();
    if (!box.fragments.empty()) {
        for (const auto& fragment : box.fragments) {
            if (fragment.box.Intersect(area_).IsEmpty()) continue;
            PaintBackground(node, fragment.box);
            PaintBorders(node, fragment.box, fragment.first, fragment.last);
        }
        return;
    }
    if (box.border.IsEmpty()) return;
    PaintBackground(node, box.border);
    PaintBorders(node, box.border, true, true);
}

void Painter::PaintBackground(Node& node, const Rect& box)
{
    const ComputedStyle& style = node.Style();
    if (!style.backgroundColor.transparent) Fill(box.Intersect(area_), style.backgroundColor.rgb);
    if (style.backgroundImage.empty()) return;
    const Image* image = images_.Get(ResolveUrl(std::wstring(), style.backgroundImage));
    if (!image) return;
    const LayoutBox& layout = node.Box();
    Rect origin{box.x + layout.borderWidth.left, box.y + layout.borderWidth.top,
                box.width - layout.borderWidth.Horizontal(), box.height - layout.borderWidth.Vertical()};
    int startX = origin.x + style.backgroundX.Resolve(origin.width - image->width);
    int startY = origin.y + style.backgroundY.Resolve(origin.height - image->height);
    bool repeatX = style.backgroundRepeat == BackgroundRepeat::Repeat || style.backgroundRepeat == BackgroundRepeat::RepeatX;
    bool repeatY = style.backgroundRepeat == BackgroundRepeat::Repeat || style.backgroundRepeat == BackgroundRepeat::RepeatY;
    Rect visible = box.Intersect(area_);
    if (visible.IsEmpty()) return;
    int firstX = startX, lastX = startX;
    int firstY = startY, lastY = startY;
    if (repeatX) {
        while (firstX > visible.x) firstX -= image->width;
        while (firstX + image->width <= visible.x) firstX += image->width;
        lastX = visible.Right();
    }
    if (repeatY) {
        while (firstY > visible.y) firstY -= image->height;
        while (firstY + image->height <= visible.y) firstY += image->height;
        lastY = visible.Bottom();
    }
    int saved = SaveDC(dc_);
    ClipTo(visible);
    for (int y = firstY; y <= lastY && (repeatY || y == startY); y += image->height) {
        if (repeatY && y >= lastY) break;
        for (int x = firstX; x <= lastX && (repeatX || x == startX); x += image->width) {
            if (repeatX && x >= lastX) break;
            Blend(image->bitmap, image->width, image->height, Rect{x, y, image->width, image->height}, 0, 0);
        }
    }
    RestoreDC(dc_, saved);
}

void Painter::PaintBorders(Node& node, const Rect& box, bool first, bool last)
{
    const ComputedStyle& style = node.Style();
    const LayoutBox& layout = node.Box();
    if (layout.borderWidth.top > 0) Fill(Rect{box.x, box.y, box.width, layout.borderWidth.top}, style.border[0].color.rgb);
    if (layout.borderWidth.bottom > 0) {
        Fill(Rect{box.x, box.Bottom() - layout.borderWidth.bottom, box.width, layout.borderWidth.bottom},
             style.border[2].color.rgb);
    }
    if (first && layout.borderWidth.left > 0) {
        Fill(Rect{box.x, box.y, layout.borderWidth.left, box.height}, style.border[3].color.rgb);
    }
    if (last && layout.borderWidth.right > 0) {
        Fill(Rect{box.Right() - layout.borderWidth.right, box.y, layout.borderWidth.right, box.height},
             style.border[1].color.rgb);
    }
}

void Painter::DrawRun(const TextFragment& fragment, COLORREF color)
{
    const std::wstring& text = fragment.node->Measure().text;
    HGDIOBJ previous = SelectObject(dc_, fragment.font->handle);
    SetTextColor(dc_, color);
    ExtTextOutW(dc_, fragment.x - originX_, fragment.baseline - originY_, 0, nullptr, text.c_str() + fragment.start,
                static_cast<UINT>(fragment.length), nullptr);
    SelectObject(dc_, previous);
}

void Painter::PaintTexts(Node& node)
{
    for (const TextFragment& fragment : node.Box().texts) {
        const ComputedStyle& style = *fragment.style;
        if (!style.visible || TextInkRect(fragment).Intersect(area_).IsEmpty()) continue;
        Rect extent{fragment.x, fragment.baseline - fragment.font->ascent, fragment.width,
                    fragment.font->ascent + fragment.font->descent};
        Report(*fragment.node, extent);
        DrawRun(fragment, style.color.rgb);
        int thickness = std::max(1, style.fontSize / 14);
        if (style.underline) {
            Fill(Rect{fragment.x, fragment.baseline + 1 + fragment.font->descent / 4, fragment.width, thickness},
                 style.color.rgb);
        }
        if (style.lineThrough) {
            Fill(Rect{fragment.x, fragment.baseline - fragment.font->xHeight / 2, fragment.width, thickness},
                 style.color.rgb);
        }
        int start = 0, end = 0;
        if (selection_ && selection_->Range(fragment, start, end)) PaintSelection(fragment, extent, start, end);
    }
}

void Painter::PaintSelection(const TextFragment& fragment, const Rect& extent, int start, int end)
{
    const TextMeasure& measure = fragment.node->Measure();
    Rect highlight{fragment.x + measure.Width(fragment.start, start - fragment.start), extent.y,
                   measure.Width(start, end - start), extent.height};
    Fill(highlight, GetSysColor(COLOR_HIGHLIGHT));
    // The whole run again in the highlight's text colour, clipped to the highlight, so the glyphs
    // stay exactly where they were.
    int saved = SaveDC(dc_);
    ClipTo(highlight);
    DrawRun(fragment, GetSysColor(COLOR_HIGHLIGHTTEXT));
    RestoreDC(dc_, saved);
}

void Painter::PaintImage(Node& node)
{
    const Image* image = images_.Get(ResolveUrl(std::wstring(), node.GetAttribute(L"src")));
    if (!image) return;
    Rect content = node.Box().ContentBox();
    if (content.Intersect(area_).IsEmpty()) return;
    Blend(image->bitmap, image->width, image->height, content, -1, -1);
}

void Painter::PaintInputValue(Node& node)
{
    std::wstring value = node.Value();
    if (value.empty()) return;
    Rect content = node.Box().ContentBox();
    if (content.Intersect(area_).IsEmpty()) return;
    const ComputedStyle& style = node.Style();
    HFONT font = CreateFontW(-style.fontSize, 0, 0, 0, style.fontWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, L"MS Shell Dlg");
    if (!font) return;
    HGDIOBJ previous = SelectObject(dc_, font);
    SetTextColor(dc_, style.color.rgb);
    UINT align = SetTextAlign(dc_, TA_TOP | TA_LEFT);
    RECT clip = Device(content);
    ExtTextOutW(dc_, clip.left, clip.top, ETO_CLIPPED, &clip, value.c_str(), static_cast<UINT>(value.size()), nullptr);
    SetTextAlign(dc_, align);
    SelectObject(dc_, previous);
    DeleteObject(font);
}

void Painter::PaintScrollBar(Node& node)
{
    ScrollBarLayout bar = LayOutScrollBar(node.Box());
    if (bar.bar.Intersect(area_).IsEmpty()) return;
    ScrollBarPart pressed = pressedScroller_ == &node ? pressedPart_ : ScrollBarPart::None;
    UINT inactive = bar.active ? 0 : DFCS_INACTIVE;
    RECT up = Device(bar.up);
    DrawFrameControl(dc_, &up, DFC_SCROLL,
                     DFCS_SCROLLUP | inactive | (pressed == ScrollBarPart::LineUp ? DFCS_PUSHED : 0));
    RECT down = Device(bar.down);
    DrawFrameControl(dc_, &down, DFC_SCROLL,
                     DFCS_SCROLLDOWN | inactive | (pressed == ScrollBarPart::LineDown ? DFCS_PUSHED : 0));
    RECT track = Device(bar.track);
    if (bar.track.height > 0) FillRect(dc_, &track, GetSysColorBrush(COLOR_SCROLLBAR));
    if (bar.thumb.IsEmpty()) return;
    // The held part of the track darkens, as the system's own bars show paging.
    if (pressed == ScrollBarPart::PageUp) {
        Fill(Rect{bar.track.x, bar.track.y, bar.track.width, bar.thumb.y - bar.track.y}, GetSysColor(COLOR_3DDKSHADOW));
    } else if (pressed == ScrollBarPart::PageDown) {
        Fill(Rect{bar.track.x, bar.thumb.Bottom(), bar.track.width, bar.track.Bottom() - bar.thumb.Bottom()},
             GetSysColor(COLOR_3DDKSHADOW));
    }
    RECT thumb = Device(bar.thumb);
    DrawFrameControl(dc_, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
}

void Painter::Blend(HBITMAP bitmap, int width, int height, const Rect& destination, int sourceX, int sourceY)
{
    HGDIOBJ previous = SelectObject(imageDC_, bitmap);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // A negative source position stretches the whole picture over the destination.
    if (sourceX < 0) {
        AlphaBlend(dc_, destination.x - originX_, destination.y - originY_, destination.width, destination.height,
                   imageDC_, 0, 0, width, height, blend);
    } else {
        AlphaBlend(dc_, destination.x - originX_, destination.y - originY_, width, height, imageDC_, sourceX, sourceY,
                   width, height, blend);
    }
    SelectObject(imageDC_, previous);
}

}  // namespace Html
