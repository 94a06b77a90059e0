#include <algorithm>

#include "html/BoxGeometry.h"
#include "html/FontCache.h"
#include "html/ImageCache.h"
#include "html/LayoutEngine.h"
#include "html/ResourceLoader.h"

namespace Html {

namespace {

// The scroll position stays: layout clamps it to the new content.
void ResetBoxes(Node& node)
{
    LayoutBox& box = node.MutableBox();
    box.displayed = false;
    box.border = Rect{};
    box.fragments.clear();
    box.texts.clear();
    box.baseline = -1;
    box.scrollBar = false;
    box.scrollHeight = 0;
    for (const auto& child : node.Children()) ResetBoxes(*child);
}

int ScrollBarWidth()
{
    int width = GetSystemMetrics(SM_CXVSCROLL);
    return width > 0 ? width : 16;
}

bool IsWhitespaceText(const Node& node)
{
    return node.IsText() && node.Style().whiteSpace != WhiteSpace::Pre &&
           node.Text().find_first_not_of(L" \t\r\n") == std::wstring::npos;
}

// Hidden and absolutely positioned elements take no part in the flow of their parent.
bool IsOutOfFlow(const Node& node)
{
    return !node.IsText() && (node.Style().display == Display::None || node.Style().position == Position::Absolute);
}

bool HasInlineContent(const std::vector<Node*>& run)
{
    return std::any_of(run.begin(), run.end(), [](const Node* node) { return !IsWhitespaceText(*node); });
}

}  // namespace

const Font* LayoutEngine::FontOf(const ComputedStyle& style)
{
    return fonts_.Get(style.fontFamily, style.fontSize, style.fontWeight, style.italic);
}

int LayoutEngine::LineHeightOf(const ComputedStyle& style, const Font* font) const
{
    switch (style.lineHeight.unit) {
    case Length::Unit::Px: return style.lineHeight.Resolve(0);
    case Length::Unit::Number: return style.lineHeight.Resolve(style.fontSize);
    default: return font->ascent + font->descent + font->lineGap;
    }
}

int LayoutEngine::Layout(Node& root, int viewportWidth, int viewportHeight)
{
    viewportWidth_ = viewportWidth;
    viewportHeight_ = viewportHeight;
    intrinsic_.clear();
    absolutes_.clear();
    ResetBoxes(root);
    if (root.Style().display == Display::None) return 0;
    Containing initial{0, 0, viewportWidth, viewportHeight};
    ComputeEdges(root, viewportWidth);
    LayoutBlock(root, 0, root.Box().margin.top, initial);
    UpdateInkBounds(root);
    return std::max(root.Box().border.Bottom() + root.Box().margin.bottom, root.Box().contentBottom);
}

bool LayoutEngine::IsReplaced(const Node& element) const
{
    return element.Tag() == L"img" || element.Tag() == L"input";
}

bool LayoutEngine::IsBlockLevel(const Node& node) const
{
    if (node.IsText()) return false;
    const ComputedStyle& style = node.Style();
    if (style.position == Position::Absolute) return false;
    switch (style.display) {
    case Display::Block: case Display::Table: case Display::TableRowGroup: case Display::TableRow:
    case Display::TableCell:
        return true;
    default:
        return false;
    }
}

bool LayoutEngine::StartsFormattingContext(const Node& element, bool isRoot) const
{
    const ComputedStyle& style = element.Style();
    return isRoot || style.display == Display::TableCell || style.display == Display::InlineBlock ||
           style.display == Display::Table || style.position == Position::Absolute ||
           style.overflow != Overflow::Visible;
}

void LayoutEngine::ComputeEdges(Node& element, int containingWidth)
{
    const ComputedStyle& style = element.Style();
    LayoutBox& box = element.MutableBox();
    int* margins[] = {&box.margin.top, &box.margin.right, &box.margin.bottom, &box.margin.left};
    int* paddings[] = {&box.padding.top, &box.padding.right, &box.padding.bottom, &box.padding.left};
    int* borders[] = {&box.borderWidth.top, &box.borderWidth.right, &box.borderWidth.bottom, &box.borderWidth.left};
    for (int side = 0; side < 4; ++side) {
        *margins[side] = style.margin[side].Resolve(containingWidth, 0);
        *paddings[side] = std::max(0, style.padding[side].Resolve(containingWidth, 0));
        *borders[side] = style.border[side].UsedWidth();
    }
}

CollapsingMargins LayoutEngine::TopMarginRun(Node& element, int containingWidth)
{
    const ComputedStyle& style = element.Style();
    CollapsingMargins run;
    run.Add(style.margin[0].Resolve(containingWidth, 0));
    if (StartsFormattingContext(element, element.Parent() == nullptr) || style.display != Display::Block ||
        IsReplaced(element) || style.border[0].UsedWidth() > 0 || style.padding[0].Resolve(containingWidth, 0) > 0) {
        return run;
    }
    for (const auto& child : element.Children()) {
        if (IsWhitespaceText(*child) || IsOutOfFlow(*child)) continue;
        if (!IsBlockLevel(*child) || IsReplaced(*child)) break;
        run.Add(TopMarginRun(*child, containingWidth));
        if (!CollapsesThrough(*child, containingWidth)) break;
        run.Add(child->Style().margin[2].Resolve(containingWidth, 0));
    }
    return run;
}

// A block with no height of its own and nothing in flow but such blocks: its top and bottom
// margins adjoin, and collapse with its neighbours' as one.
bool LayoutEngine::CollapsesThrough(const Node& element, int containingWidth) const
{
    const ComputedStyle& style = element.Style();
    if (style.display != Display::Block || IsReplaced(element) || StartsFormattingContext(element, element.Parent() == nullptr))
        return false;
    if (style.border[0].UsedWidth() > 0 || style.border[2].UsedWidth() > 0 || style.padding[0].Resolve(containingWidth, 0) > 0 ||
        style.padding[2].Resolve(containingWidth, 0) > 0) {
        return false;
    }
    if (!style.height.IsAuto() && (style.height.IsPercent() || style.height.Resolve(0, 0) != 0)) return false;
    for (const auto& child : element.Children()) {
        if (IsWhitespaceText(*child) || IsOutOfFlow(*child)) continue;
        if (child->IsText() || !IsBlockLevel(*child) || !CollapsesThrough(*child, containingWidth)) return false;
    }
    return true;
}

void LayoutEngine::LayoutReplaced(Node& element, int containingWidth)
{
    const ComputedStyle& style = element.Style();
    LayoutBox& box = element.MutableBox();
    int width = 0;
    int height = 0;
    if (element.Tag() == L"img") {
        const Image* image = images_.Get(ResolveUrl(std::wstring(), element.GetAttribute(L"src")));
        int naturalWidth = image ? image->width : 0;
        int naturalHeight = image ? image->height : 0;
        bool autoWidth = style.width.IsAuto();
        bool autoHeight = style.height.IsAuto() || style.height.IsPercent();
        width = style.width.Resolve(containingWidth, naturalWidth);
        height = autoHeight ? naturalHeight : style.height.Resolve(0, naturalHeight);
        if (autoWidth && !autoHeight && naturalHeight > 0) width = naturalWidth * height / naturalHeight;
        if (!autoWidth && autoHeight && naturalWidth > 0) height = naturalHeight * width / naturalWidth;
    } else {
        const Font* font = FontOf(style);
        int size = _wtoi(element.GetAttribute(L"size").c_str());
        width = style.width.Resolve(containingWidth, font->averageWidth * (size > 0 ? size : 20));
        height = style.height.IsAuto() ? LineHeightOf(style, font) : style.height.Resolve(0);
        box.baseline = box.borderWidth.top + box.padding.top + (height + font->ascent - font->descent) / 2;
    }
    box.displayed = true;
    // Placed at the origin: the caller moves it where it goes.
    box.border = Rect{0, 0, std::max(0, width) + box.borderWidth.Horizontal() + box.padding.Horizontal(),
                      std::max(0, height) + box.borderWidth.Vertical() + box.padding.Vertical()};
    box.contentBottom = box.border.Bottom();
}

int LayoutEngine::ShrinkToFit(Node& element, int available)
{
    Widths widths = Intrinsic(element);
    return std::min(std::max(widths.min, available), widths.max);
}

std::pair<int, int> LayoutEngine::RelativeOffset(const Node& element, const Containing& containing) const
{
    const ComputedStyle& style = element.Style();
    if (style.position != Position::Relative) return {0, 0};
    int dx = !style.left.IsAuto() ? style.left.Resolve(containing.width) : -style.right.Resolve(containing.width, 0);
    int height = std::max(0, containing.height);
    int dy = !style.top.IsAuto() ? style.top.Resolve(height) : -style.bottom.Resolve(height, 0);
    return {dx, dy};
}

int LayoutEngine::LayoutBlock(Node& element, int x, int y, const Containing& containing, int forcedBorderWidth,
                              int forcedContentHeight)
{
    const ComputedStyle& style = element.Style();
    LayoutBox& box = element.MutableBox();
    box.displayed = true;
    box.texts.clear();
    box.baseline = -1;
    ComputeEdges(element, containing.width);
    bool isRoot = element.Parent() == nullptr;
    if (IsReplaced(element)) {
        LayoutReplaced(element, containing.width);
        box.border.x = x + box.margin.left;
        box.border.y = y;
        box.contentBottom = box.border.Bottom();
        if (box.baseline >= 0) box.baseline += y;
        return box.margin.bottom;
    }
    if (style.display == Display::Table) {
        LayoutTable(element, x, y, containing);
    } else {
        int edges = box.borderWidth.Horizontal() + box.padding.Horizontal();
        int borderWidth;
        if (forcedBorderWidth >= 0) {
            borderWidth = forcedBorderWidth;
        } else if (!style.width.IsAuto()) {
            borderWidth = std::max(0, style.width.Resolve(containing.width)) + edges;
            bool autoLeft = style.margin[3].IsAuto();
            bool autoRight = style.margin[1].IsAuto();
            int free = containing.width - borderWidth;
            if (autoLeft && autoRight) {
                box.margin.left = std::max(0, free / 2);
                box.margin.right = std::max(0, free - box.margin.left);
            } else if (autoLeft) {
                box.margin.left = std::max(0, free - box.margin.right);
            }
        } else {
            borderWidth = std::max(edges, containing.width - box.margin.Horizontal());
        }
        box.border = Rect{x + box.margin.left, y, borderWidth, 0};

        bool positioned = style.IsPositioned() || isRoot;
        if (positioned) absolutes_.emplace_back();
        int contentX = box.border.x + box.borderWidth.left + box.padding.left;
        int contentY = y + box.borderWidth.top + box.padding.top;
        int contentWidth = std::max(0, borderWidth - edges);
        bool scrolls = style.Scrolls();
        int barWidth = scrolls ? ScrollBarWidth() : 0;
        bool reserveBar = style.overflow == Overflow::Scroll;
        Containing inner{contentX, contentY, reserveBar ? std::max(0, contentWidth - barWidth) : contentWidth, -1};
        bool specifiedHeight = forcedContentHeight >= 0 ||
                               (!style.height.IsAuto() && (!style.height.IsPercent() || containing.height >= 0));
        int height = forcedContentHeight >= 0 ? forcedContentHeight
                     : specifiedHeight         ? std::max(0, style.height.Resolve(containing.height))
                                               : 0;
        if (specifiedHeight) inner.height = height;
        bool formattingContext = StartsFormattingContext(element, isRoot);
        bool collapseTop = !formattingContext && box.borderWidth.top == 0 && box.padding.top == 0;
        bool collapseBottom = !formattingContext && box.borderWidth.bottom == 0 && box.padding.bottom == 0 &&
                              !specifiedHeight;
        size_t waitingBefore = absolutes_.back().size();
        int escaped = 0;
        int contentHeight =
            LayoutChildren(element, contentX, contentY, inner.width, inner, collapseTop, collapseBottom, escaped);
        // Content taller than an overflow: auto box needs the bar, and the bar takes its width from
        // the content, which is laid out again narrower.
        if (style.overflow == Overflow::Auto && specifiedHeight && !reserveBar &&
            std::max(contentY + contentHeight, box.contentBottom) > contentY + height) {
            reserveBar = true;
            std::vector<PendingAbsolute>& waiting = absolutes_.back();
            waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(waitingBefore), waiting.end());
            box.texts.clear();
            box.baseline = -1;
            inner.width = std::max(0, contentWidth - barWidth);
            contentHeight =
                LayoutChildren(element, contentX, contentY, inner.width, inner, collapseTop, collapseBottom, escaped);
        }
        int paddingTop = y + box.borderWidth.top;
        int scrollHeight = std::max(contentY + contentHeight, box.contentBottom) + box.padding.bottom - paddingTop;
        if (!specifiedHeight) height = contentHeight;
        box.border.height = height + box.borderWidth.Vertical() + box.padding.Vertical();
        box.contentBottom = std::max(box.contentBottom, box.border.Bottom());
        if (collapseBottom) {
            CollapsingMargins bottom;
            bottom.Add(box.margin.bottom);
            bottom.Add(escaped);
            box.margin.bottom = bottom.Value();
        }

        std::pair<int, int> offset = RelativeOffset(element, containing);
        if (offset.first || offset.second) TranslateBox(element, offset.first, offset.second);
        if (positioned) {
            std::vector<PendingAbsolute> pending = std::move(absolutes_.back());
            absolutes_.pop_back();
            Rect padding = box.PaddingBox();
            Containing block{padding.x, padding.y, padding.width, padding.height};
            if (isRoot) block = Containing{0, 0, viewportWidth_, viewportHeight_};
            for (const auto& item : pending) {
                LayoutAbsolute(*item.node, item.staticX, item.staticY, block);
                scrollHeight = std::max(scrollHeight, item.node->Box().contentBottom + box.padding.bottom - padding.y);
            }
        }
        if (scrolls) {
            box.scrollBarWidth = barWidth;
            box.scrollHeight = scrollHeight;
            box.scrollBar = reserveBar || scrollHeight > box.PaddingBox().height;
            box.scrollLine = LineHeightOf(style, FontOf(style));
            box.scrollTop = std::min(std::max(0, box.scrollTop), box.MaxScroll());
            if (box.scrollTop > 0) ShiftContent(element, -box.scrollTop);
            // What scrolls inside the box does not make the page longer.
            box.contentBottom = box.border.Bottom();
        }
    }
    if (!style.Scrolls() || style.display == Display::Table) box.scrollTop = 0;
    return box.margin.bottom;
}

int LayoutEngine::LayoutChildren(Node& element, int x, int y, int width, const Containing& containing,
                                 bool collapseTop, bool collapseBottom, int& escapedBottom)
{
    LayoutBox& box = element.MutableBox();
    box.contentBottom = 0;
    int current = y;
    // The margins adjoining since the last content edge. While nothing but boxes that collapse
    // through has come, a parent that collapses its top margin has already taken them all.
    CollapsingMargins pending;
    bool atTop = true;
    auto gap = [&](const CollapsingMargins& margins) { return atTop && collapseTop ? 0 : margins.Value(); };
    std::vector<Node*> run;
    auto flush = [&]() {
        if (HasInlineContent(run)) {
            current += gap(pending);
            pending = CollapsingMargins();
            current += LayoutInline(element, run, x, current, width, containing);
            atTop = false;
        }
        run.clear();
    };
    for (const auto& child : element.Children()) {
        Node& node = *child;
        if (node.IsText()) {
            run.push_back(&node);
            continue;
        }
        const ComputedStyle& style = node.Style();
        if (style.display == Display::None) continue;
        if (style.position == Position::Absolute) {
            if (HasInlineContent(run)) {
                run.push_back(&node);
            } else {
                absolutes_.back().push_back(PendingAbsolute{&node, x, current + gap(pending)});
            }
            continue;
        }
        if (!IsBlockLevel(node)) {
            run.push_back(&node);
            continue;
        }
        flush();
        CollapsingMargins adjoining = pending;
        adjoining.Add(TopMarginRun(node, width));
        int bottomMargin = LayoutBlock(node, x, current + gap(adjoining), containing);
        box.contentBottom = std::max(box.contentBottom, node.Box().contentBottom);
        if (CollapsesThrough(node, width)) {
            // Its own top and bottom margins adjoin, so the run of margins goes on past it.
            if (!(atTop && collapseTop)) {
                pending = adjoining;
                pending.Add(bottomMargin);
            }
            continue;
        }
        // A relative offset moves the box but not the flow after it.
        current = node.Box().border.Bottom() - RelativeOffset(node, containing).second;
        pending = CollapsingMargins();
        pending.Add(bottomMargin);
        atTop = false;
    }
    flush();
    if (collapseBottom) {
        escapedBottom = gap(pending);
    } else {
        current += gap(pending);
    }
    return current - y;
}

namespace {

// The margins of an absolutely positioned box whose offsets on both sides and size are all given:
// auto margins take what is left over, shared equally when both are auto; with neither auto the
// far side's offset gives way. Horizontally, margins shared equally never go negative: the start
// margin is then 0.
std::pair<int, int> SolveMargins(const Length& start, const Length& end, int basis, int leftover, bool horizontal)
{
    int startValue = start.Resolve(basis, 0);
    int endValue = end.Resolve(basis, 0);
    if (start.IsAuto() && end.IsAuto()) {
        if (horizontal && leftover < 0) return {0, leftover};
        int half = leftover / 2;
        return {half, leftover - half};
    }
    if (start.IsAuto()) return {leftover - endValue, endValue};
    if (end.IsAuto()) return {startValue, leftover - startValue};
    return {startValue, leftover - startValue};
}

}  // namespace

void LayoutEngine::LayoutAbsolute(Node& element, int staticX, int staticY, const Containing& containing)
{
    const ComputedStyle& style = element.Style();
    LayoutBox& box = element.MutableBox();
    ComputeEdges(element, containing.width);
    int edges = box.borderWidth.Horizontal() + box.padding.Horizontal();
    int height = std::max(0, containing.height);
    int borderWidth;
    if (!style.width.IsAuto()) {
        borderWidth = std::max(0, style.width.Resolve(containing.width)) + edges;
    } else if (!style.left.IsAuto() && !style.right.IsAuto()) {
        borderWidth = containing.width - style.left.Resolve(containing.width) - style.right.Resolve(containing.width) -
                      box.margin.Horizontal();
    } else {
        int available = containing.width - style.left.Resolve(containing.width, 0) -
                        style.right.Resolve(containing.width, 0) - box.margin.Horizontal();
        borderWidth = IsReplaced(element) ? -1 : ShrinkToFit(element, available);
    }
    int marginLeft = box.margin.left;
    int x;
    if (!style.left.IsAuto() && !style.right.IsAuto() && !style.width.IsAuto()) {
        int leftover = containing.width - style.left.Resolve(containing.width) - style.right.Resolve(containing.width) - borderWidth;
        marginLeft = SolveMargins(style.margin[3], style.margin[1], containing.width, leftover, true).first;
        // The block adds the margin it computed itself (0 for auto) to the place it is given.
        x = containing.x + style.left.Resolve(containing.width) + marginLeft - box.margin.left;
    } else if (!style.left.IsAuto()) {
        x = containing.x + style.left.Resolve(containing.width);
    } else if (!style.right.IsAuto() && borderWidth >= 0) {
        x = containing.x + containing.width - style.right.Resolve(containing.width) - box.margin.right -
            borderWidth - marginLeft;
    } else {
        x = staticX;
    }

    int edgesY = box.borderWidth.Vertical() + box.padding.Vertical();
    bool topAndBottom = !style.top.IsAuto() && !style.bottom.IsAuto();
    int marginTop = box.margin.top;
    int forcedHeight = -1;
    if (topAndBottom && !style.height.IsAuto()) {
        int leftover = height - style.top.Resolve(height) - style.bottom.Resolve(height) -
                       (std::max(0, style.height.Resolve(height)) + edgesY);
        marginTop = SolveMargins(style.margin[0], style.margin[2], containing.width, leftover, false).first;
    } else if (topAndBottom) {
        // Stretched between its offsets; auto margins are then 0.
        forcedHeight = std::max(0, height - style.top.Resolve(height) - style.bottom.Resolve(height) - box.margin.top -
                                       box.margin.bottom - edgesY);
    }
    int y = !style.top.IsAuto() ? containing.y + style.top.Resolve(height) + marginTop : staticY + marginTop;
    LayoutBlock(element, x, y, containing, borderWidth, forcedHeight);
    box.margin.left = marginLeft;
    box.margin.top = marginTop;
    if (style.top.IsAuto() && !style.bottom.IsAuto()) {
        int bottom = containing.y + containing.height - style.bottom.Resolve(height) - box.margin.bottom;
        TranslateBox(element, 0, bottom - box.border.Bottom());
    }
}

LayoutEngine::Widths LayoutEngine::Intrinsic(Node& element)
{
    auto known = intrinsic_.find(&element);
    if (known != intrinsic_.end()) return known->second;
    const ComputedStyle& style = element.Style();
    ComputeEdges(element, 0);
    const LayoutBox& box = element.Box();
    int edges = box.borderWidth.Horizontal() + box.padding.Horizontal();
    Widths widths;
    if (IsReplaced(element)) {
        LayoutReplaced(element, 0);
        widths.min = widths.max = element.Box().border.width;
    } else if (style.display == Display::Table) {
        widths = TableWidths(element);
    } else if (style.width.unit == Length::Unit::Px) {
        widths.min = widths.max = style.width.Resolve(0) + edges;
    } else {
        std::vector<Node*> run;
        auto flush = [&]() {
            if (run.empty()) return;
            Widths inlineWidths;
            InlineWidths(element, run, inlineWidths);
            widths.min = std::max(widths.min, inlineWidths.min);
            widths.max = std::max(widths.max, inlineWidths.max);
            run.clear();
        };
        for (const auto& child : element.Children()) {
            if (!child->IsText() && (child->Style().display == Display::None ||
                                     child->Style().position == Position::Absolute)) {
                continue;
            }
            if (!IsBlockLevel(*child)) {
                run.push_back(child.get());
                continue;
            }
            flush();
            Widths inner = Intrinsic(*child);
            const ComputedStyle& childStyle = child->Style();
            int margins = childStyle.margin[1].Resolve(0, 0) + childStyle.margin[3].Resolve(0, 0);
            widths.min = std::max(widths.min, inner.min + margins);
            widths.max = std::max(widths.max, inner.max + margins);
        }
        flush();
        widths.min += edges;
        widths.max += edges;
    }
    widths.max = std::max(widths.max, widths.min);
    intrinsic_[&element] = widths;
    return widths;
}

}  // namespace Html
