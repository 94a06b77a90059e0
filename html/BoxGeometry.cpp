#include "html/BoxGeometry.h"

#include "html/FontCache.h"
#include "html/Node.h"

namespace Html {

namespace {

bool IsAbsolute(const Node& node)
{
    return node.IsElement() && node.Style().position == Position::Absolute;
}

void MoveRect(Rect& rect, int dx, int dy)
{
    rect.x += dx;
    rect.y += dy;
}

void TranslateText(Node& text, int dx, int dy)
{
    LayoutBox& box = text.MutableBox();
    MoveRect(box.border, dx, dy);
    for (auto& fragment : box.fragments) MoveRect(fragment.box, dx, dy);
}

void TranslateTree(Node& element, int dx, int dy, bool containsAbsolutes);

// containsAbsolutes: an absolute child's containing block is inside the moved subtree.
void TranslateChildren(Node& element, int dx, int dy, bool containsAbsolutes)
{
    for (const auto& child : element.Children()) {
        if (child->IsText()) {
            TranslateText(*child, dx, dy);
        } else if (containsAbsolutes || !IsAbsolute(*child)) {
            TranslateTree(*child, dx, dy, containsAbsolutes);
        }
    }
}

void TranslateTree(Node& element, int dx, int dy, bool containsAbsolutes)
{
    LayoutBox& box = element.MutableBox();
    MoveRect(box.border, dx, dy);
    MoveRect(box.inkBounds, dx, dy);
    box.contentBottom += dy;
    if (box.baseline >= 0) box.baseline += dy;
    for (auto& fragment : box.fragments) MoveRect(fragment.box, dx, dy);
    for (auto& text : box.texts) {
        text.x += dx;
        text.baseline += dy;
    }
    TranslateChildren(element, dx, dy, containsAbsolutes || element.Style().IsPositioned());
}

}  // namespace

void TranslateBox(Node& element, int dx, int dy)
{
    TranslateTree(element, dx, dy, element.Style().IsPositioned());
}

void ShiftContent(Node& element, int dy)
{
    for (auto& text : element.MutableBox().texts) text.baseline += dy;
    TranslateChildren(element, 0, dy, element.Style().IsPositioned());
}

Rect TextInkRect(const TextFragment& fragment)
{
    return Rect{fragment.x - 1, fragment.baseline - fragment.font->ascent, fragment.width + 2,
                fragment.font->ascent + fragment.font->descent + 1};
}

void UpdateInkBounds(Node& node)
{
    LayoutBox& box = node.MutableBox();
    box.inkBounds = Rect{};
    box.absoluteInside = false;
    if (!node.IsDisplayed()) return;
    box.absoluteInside = IsAbsolute(node);
    Rect bounds = box.border;
    for (const auto& fragment : box.fragments) bounds = bounds.Union(fragment.box);
    for (const auto& text : box.texts) bounds = bounds.Union(TextInkRect(text));
    for (const auto& child : node.Children()) {
        if (child->IsText()) continue;
        UpdateInkBounds(*child);
        bounds = bounds.Union(child->Box().inkBounds);
        box.absoluteInside = box.absoluteInside || child->Box().absoluteInside;
    }
    box.inkBounds = bounds;
}

Rect VisibleRect(const Node& node, const Rect& rect)
{
    Rect visible = rect;
    // While escaping is set the walk looks for the containing block of an absolute box: the
    // clipping boxes it passes on the way do not clip that box.
    bool escaping = IsAbsolute(node);
    for (const Node* ancestor = node.Parent(); ancestor; ancestor = ancestor->Parent()) {
        const ComputedStyle& style = ancestor->Style();
        if (escaping && style.IsPositioned()) escaping = false;
        if (!escaping && style.overflow != Overflow::Visible && ancestor->IsDisplayed()) {
            visible = visible.Intersect(ancestor->Box().ClipBox());
        }
        if (!escaping && style.position == Position::Absolute) escaping = true;
    }
    return visible;
}

}  // namespace Html
