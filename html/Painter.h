#pragma once

#include <windows.h>

#include <vector>

#include "html/Geometry.h"

namespace Html {

class Node;
class ImageCache;

// Paints a laid-out tree with GDI: backgrounds, borders, text and images, the positioned boxes
// over the flow in z-index order.
class Painter {
public:
    Painter(HDC dc, ImageCache& images, int originX, int originY);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    // Paints the part of the page inside area (page coordinates); page point p lands on device
    // point p - origin.
    void Paint(Node& root, const Rect& area);

private:
    void PaintTree(Node& node, std::vector<Node*>& positioned, bool isRoot);
    void PaintPositioned(std::vector<Node*>& positioned);
    void PaintDecorations(Node& node);
    void PaintBackground(Node& node, const Rect& box);
    void PaintBorders(Node& node, const Rect& box, bool first, bool last);
    void PaintTexts(Node& node);
    void PaintImage(Node& node);
    void PaintInputValue(Node& node);
    void Fill(const Rect& box, COLORREF color);
    void Blend(HBITMAP bitmap, int width, int height, const Rect& destination, int sourceX, int sourceY);

    HDC dc_;
    HDC imageDC_;
    ImageCache& images_;
    int originX_;
    int originY_;
    Rect area_;
};

}  // namespace Html
