#pragma once

#include <unordered_map>
#include <utility>
#include <vector>

#include "html/CollapsingMargins.h"
#include "html/Geometry.h"
#include "html/Node.h"

namespace Html {

class FontCache;
class ImageCache;
struct Font;

// Places every displayed element of a styled tree: block flow with margin collapsing, inline flow
// with line wrapping, replaced images, inline blocks, tables and absolute boxes. Boxes go into
// each node's LayoutBox in page coordinates.
class LayoutEngine {
public:
    LayoutEngine(FontCache& fonts, ImageCache& images) : fonts_(fonts), images_(images) {}

    // Lays out the tree for a viewport; returns the height of the page's content.
    int Layout(Node& root, int viewportWidth, int viewportHeight);

    // Smallest and largest useful border-box widths.
    struct Widths {
        int min = 0;
        int max = 0;
    };

private:
    struct Containing {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = -1;  // unknown while the containing block is being laid out
    };
    struct PendingAbsolute {
        Node* node;
        int staticX;
        int staticY;
    };

    // BlockLayout.cpp
    int LayoutBlock(Node& element, int x, int y, const Containing& containing, int forcedBorderWidth = -1,
                    int forcedContentHeight = -1);
    int LayoutChildren(Node& element, int x, int y, int width, const Containing& containing, bool collapseTop,
                       bool collapseBottom, int& escapedBottom);
    // The margins that adjoin the element's top margin: those of its first in-flow children, and
    // of every box before them whose margins collapse through it.
    CollapsingMargins TopMarginRun(Node& element, int containingWidth);
    bool CollapsesThrough(const Node& element, int containingWidth) const;
    void ComputeEdges(Node& element, int containingWidth);
    void LayoutAbsolute(Node& element, int staticX, int staticY, const Containing& containing);
    int ShrinkToFit(Node& element, int available);
    void LayoutReplaced(Node& element, int containingWidth);
    bool IsReplaced(const Node& element) const;
    bool IsBlockLevel(const Node& node) const;
    bool StartsFormattingContext(const Node& element, bool isRoot) const;
    std::pair<int, int> RelativeOffset(const Node& element, const Containing& containing) const;

    // InlineLayout.cpp
    int LayoutInline(Node& container, const std::vector<Node*>& run, int x, int y, int width,
                     const Containing& containing);
    void InlineWidths(Node& container, const std::vector<Node*>& run, Widths& widths);
    int LineHeightOf(const ComputedStyle& style, const Font* font) const;

    // TableLayout.cpp
    int LayoutTable(Node& table, int x, int y, const Containing& containing);
    Widths TableWidths(Node& table);

    Widths Intrinsic(Node& element);
    const Font* FontOf(const ComputedStyle& style);

    FontCache& fonts_;
    ImageCache& images_;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
    std::vector<std::vector<PendingAbsolute>> absolutes_;
    std::unordered_map<const Node*, Widths> intrinsic_;

    friend class InlineBuilder;
};

}  // namespace Html
