#include "html/Painter.h"

#include <algorithm>

#include "core/Win32Exception.h"
#include "html/FontCache.h"
#include "html/ImageCache.h"
#include "html/Node.h"
#include "html/ResourceLoader.h"

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

void Painter::Paint(Node& root, const Rect& area)
{
    area_ = area;
    int saved = SaveDC(dc_);
    IntersectClipRect(dc_, area.x - originX_, area.y - originY_, area.Right() - originX_, area.Bottom() - originY_);
    SetBkMode(dc_, TRANSPARENT);
    SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
    std::vector<Node*> positioned;
    PaintTree(root, positioned, true);
    PaintPositioned(positioned);
    RestoreDC(dc_, saved);
}

void Painter::PaintPositioned(std::vector<Node*>& positioned)
{
    std::stable_sort(positioned.begin(), positioned.end(),
                     [](const Node* a, const Node* b) { return a->Style().zIndex < b->Style().zIndex; });
    for (Node* node : positioned) {
        std::vector<Node*> inner;
        PaintTree(*node, inner, true);
        PaintPositioned(inner);
    }
}

void Painter::PaintTree(Node& node, std::vector<Node*>& positioned, bool isRoot)
{
    if (node.IsText() || !node.IsDisplayed() || node.Style().display == Display::None) return;
    if (!isRoot && node.Style().IsPositioned()) {
        positioned.push_back(&node);
        return;
    }
    const ComputedStyle& style = node.Style();
    if (style.visible) {
        PaintDecorations(node);
        if (node.Tag() == L"img") PaintImage(node);
        if (node.Tag() == L"input") PaintInputValue(node);
    }
    int saved = 0;
    if (style.overflow != Overflow::Visible) {
        Rect clip = node.Box().PaddingBox();
        saved = SaveDC(dc_);
        IntersectClipRect(dc_, clip.x - originX_, clip.y - originY_, clip.Right() - originX_, clip.Bottom() - originY_);
    }
    for (const auto& child : node.Children()) PaintTree(*child, positioned, false);
    PaintTexts(node);
    if (saved) RestoreDC(dc_, saved);
}

void Painter::Fill(const Rect& box, COLORREF color)
{
    if (box.IsEmpty()) return;
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush) return;
    RECT rect{box.x - originX_, box.y - originY_, box.Right() - originX_, box.Bottom() - originY_};
    FillRect(dc_, &rect, brush);
    DeleteObject(brush);
}

void Painter::PaintDecorations(Node& node)
{
    const LayoutBox& box = node.Box();
    if (!box.fragments.empty()) {
        for (const auto& fragment : box.fragments) {
            PaintBackground(node, fragment.box);
            PaintBorders(node, fragment.box, fragment.first, fragment.last);
        }
        return;
    }
    if (box.border.IsEmpty() || box.border.Intersect(area_).IsEmpty()) return;
    PaintBackground(node, box.border);
    PaintBorders(node, box.border, true, true);
}

void Painter::PaintBackground(Node& node, const Rect& box)
{
    const ComputedStyle& style = node.Style();
    if (!style.backgroundColor.transparent) Fill(box, style.backgroundColor.rgb);
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
    IntersectClipRect(dc_, visible.x - originX_, visible.y - originY_, visible.Right() - originX_,
                      visible.Bottom() - originY_);
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

void Painter::PaintTexts(Node& node)
{
    for (const TextFragment& fragment : node.Box().texts) {
        const ComputedStyle& style = *fragment.style;
        if (!style.visible) continue;
        Rect extent{fragment.x, fragment.baseline - fragment.font->ascent, fragment.width,
                    fragment.font->ascent + fragment.font->descent};
        if (extent.Intersect(area_).IsEmpty()) continue;
        const std::wstring& text = fragment.node->Measure().text;
        HGDIOBJ previous = SelectObject(dc_, fragment.font->handle);
        SetTextColor(dc_, style.color.rgb);
        ExtTextOutW(dc_, fragment.x - originX_, fragment.baseline - originY_, 0, nullptr, text.c_str() + fragment.start,
                    static_cast<UINT>(fragment.length), nullptr);
        SelectObject(dc_, previous);
        int thickness = std::max(1, style.fontSize / 14);
        if (style.underline) {
            Fill(Rect{fragment.x, fragment.baseline + 1 + fragment.font->descent / 4, fragment.width, thickness},
                 style.color.rgb);
        }
        if (style.lineThrough) {
            Fill(Rect{fragment.x, fragment.baseline - fragment.font->xHeight / 2, fragment.width, thickness},
                 style.color.rgb);
        }
    }
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
    const ComputedStyle& style = node.Style();
    HFONT font = CreateFontW(-style.fontSize, 0, 0, 0, style.fontWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, L"MS Shell Dlg");
    if (!font) return;
    Rect content = node.Box().ContentBox();
    HGDIOBJ previous = SelectObject(dc_, font);
    SetTextColor(dc_, style.color.rgb);
    UINT align = SetTextAlign(dc_, TA_TOP | TA_LEFT);
    RECT clip{content.x - originX_, content.y - originY_, content.Right() - originX_, content.Bottom() - originY_};
    ExtTextOutW(dc_, clip.left, clip.top, ETO_CLIPPED, &clip, value.c_str(), static_cast<UINT>(value.size()), nullptr);
    SetTextAlign(dc_, align);
    SelectObject(dc_, previous);
    DeleteObject(font);
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
