#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "html/Geometry.h"
#include "html/ScrollBar.h"

namespace Html {

class Node;
class ImageCache;
class TextSelection;
struct TextFragment;

// Told about every element box and text run the painter draws (node is the text node for a run),
// so a caller can see how much a repaint touched.
using PaintObserver = std::function<void(const Node& node, const Rect& box)>;

// Paints a laid-out tree with GDI: backgrounds, borders, text and images, the positioned boxes
// over the flow in z-index order, scroll bars and the text selection. Only what meets the painted
// area is visited: subtrees whose ink lies elsewhere are skipped whole.
class Painter {
public:
    Painter(HDC dc, ImageCache& images, int originX, int originY);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    void SetSelection(const TextSelection* selection) { selection_ = selection; }
    void SetObserver(const PaintObserver* observer) { observer_ = observer; }
    // The scroll bar part held down by the mouse, drawn pushed.
    void SetPressedPart(const Node* scroller, ScrollBarPart part)
    {
        pressedScroller_ = scroller;
        pressedPart_ = part;
    }

    // Paints the part of the page inside area (page coordinates); page point p lands on device
    // point p - origin.
    void Paint(Node& root, const Rect& area);

private:
    // Where painting shows: flow is the clip of the content in normal flow, absolute that of
    // absolute boxes, which escape the clipping boxes between them and their containing block.
    struct Clip {
        Rect flow;
        Rect absolute;
    };
    struct Deferred {
        Node* node;
        Rect clip;
    };

    void PaintTree(Node& node, const Clip& clip, std::vector<Deferred>& positioned, bool isRoot);
    void PaintPositioned(std::vector<Deferred>& positioned);
    void PaintDecorations(Node& node);
    void PaintBackground(Node& node, const Rect& box);
    void PaintBorders(Node& node, const Rect& box, bool first, bool last);
    void PaintTexts(Node& node);
    void DrawRun(const TextFragment& fragment, COLORREF color);
    void PaintSelection(const TextFragment& fragment, const Rect& extent, int start, int end);
    void PaintImage(Node& node);
    void PaintInputValue(Node& node);
    void PaintScrollBar(Node& node);
    bool Meets(const Node& node) const;
    void Report(const Node& node, const Rect& box);
    void Fill(const Rect& box, COLORREF color);
    void Blend(HBITMAP bitmap, int width, int height, const Rect& destination, int sourceX, int sourceY);
    void ClipTo(const Rect& box);
    RECT Device(const Rect& box) const;

    HDC dc_;
    HDC imageDC_;
    ImageCache& images_;
    int originX_;
    int originY_;
    // The clip of what is being painted now, in page coordinates.
    Rect area_;
    const TextSelection* selection_ = nullptr;
    const PaintObserver* observer_ = nullptr;
    const Node* pressedScroller_ = nullptr;
    ScrollBarPart pressedPart_ = ScrollBarPart::None;
};

}  // namespace Html
