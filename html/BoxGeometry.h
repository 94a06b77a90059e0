#pragma once

#include "html/Geometry.h"

namespace Html {

class Node;
struct TextFragment;

// Moves an element's boxes and those of its content. Absolute boxes whose containing block lies
// outside the element stay where they are: they do not belong to its flow.
void TranslateBox(Node& element, int dx, int dy);

// Moves the content of a box (its lines and children, not the box itself) down by dy, as scrolling
// and the vertical alignment of table cells do.
void ShiftContent(Node& element, int dy);

// Recomputes every element's inkBounds after layout or scrolling moved boxes.
void UpdateInkBounds(Node& node);

// What a text run paints, a little wider than its advance for overhanging glyphs and underlines.
Rect TextInkRect(const TextFragment& fragment);

// The part of rect (belonging to node) left visible by the clipping boxes around node: overflow
// hidden, auto and scroll ancestors, except those an absolute box escapes through its
// containing block. The node's own clipping does not count.
Rect VisibleRect(const Node& node, const Rect& rect);

}  // namespace Html
