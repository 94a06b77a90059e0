#include "html/TextSelection.h"

#include <algorithm>
#include <climits>
#include <unordered_set>

#include "html/BoxGeometry.h"
#include "html/Document.h"
#include "html/FontCache.h"
#include "html/Node.h"

namespace Html {

namespace {

int TextLength(const Node& text)
{
    return static_cast<int>(text.Measure().text.size());
}

// The displayed text nodes in document order.
template <class Visit>
void ForEachText(const Node& node, Visit& visit)
{
    if (!node.IsDisplayed()) return;
    if (node.IsText()) {
        visit(node);
        return;
    }
    for (const auto& child : node.Children()) ForEachText(*child, visit);
}

// The displayed elements that own laid-out lines, in document order.
template <class Visit>
void ForEachLineOwner(const Node& node, Visit& visit)
{
    if (node.IsText() || !node.IsDisplayed()) return;
    if (!node.Box().texts.empty()) visit(node);
    for (const auto& child : node.Children()) ForEachLineOwner(*child, visit);
}

bool IsBlockLevel(const Node& element)
{
    switch (element.Style().display) {
    case Display::Block: case Display::Table: case Display::TableRowGroup: case Display::TableRow:
    case Display::TableCell:
        return true;
    default:
        return false;
    }
}

// How far a point is from a box along one axis; 0 inside.
long long Distance(int point, int start, int end)
{
    if (point < start) return static_cast<long long>(start) - point;
    if (point >= end) return static_cast<long long>(point) - end + 1;
    return 0;
}

void TrimEnd(std::wstring& text)
{
    while (!text.empty() && text.back() == L' ') text.pop_back();
}

}  // namespace

TextSelection::Position TextSelection::PositionAt(const Node& root, int x, int y)
{
    const TextFragment* best = nullptr;
    long long bestDy = LLONG_MAX, bestDx = LLONG_MAX;
    const Rect everywhere{INT_MIN / 4, INT_MIN / 4, INT_MAX / 2, INT_MAX / 2};
    auto visit = [&](const Node& owner) {
        const LayoutBox& box = owner.Box();
        Rect clip = VisibleRect(owner, owner.Style().overflow != Overflow::Visible ? box.ClipBox() : everywhere);
        if (clip.IsEmpty()) return;
        for (const TextFragment& fragment : box.texts) {
            if (!fragment.style->visible || fragment.length <= 0) continue;
            Rect line{fragment.x, fragment.baseline - fragment.font->ascent, fragment.width,
                      fragment.font->ascent + fragment.font->descent};
            line = line.Intersect(clip);
            if (line.IsEmpty()) continue;
            long long dy = Distance(y, line.y, line.Bottom());
            long long dx = Distance(x, line.x, line.Right());
            if (dy < bestDy || (dy == bestDy && dx < bestDx)) {
                best = &fragment;
                bestDy = dy;
                bestDx = dx;
            }
        }
    };
    ForEachLineOwner(root, visit);
    if (!best) return Position{};
    const TextMeasure& measure = best->node->Measure();
    int offset = best->start;
    int left = best->x;
    for (int index = 0; index < best->length; ++index) {
        int width = measure.Width(best->start + index, 1);
        if (x < left + width / 2) break;
        left += width;
        ++offset;
    }
    return Position{best->node, offset, best->node->Serial()};
}

namespace {

using Ranges = std::unordered_map<const Node*, std::pair<int, int>>;

void AddRange(Ranges& ranges, const Node& text, int start, int end)
{
    int length = TextLength(text);
    start = std::min(std::max(0, start), length);
    end = std::min(std::max(0, end), length);
    if (start < end) ranges[&text] = {start, end};
}

Ranges BuildRanges(const Node& root, const TextSelection::Position& anchor, const TextSelection::Position& focus)
{
    Ranges ranges;
    if (!anchor.node || !focus.node) return ranges;
    if (anchor.node == focus.node) {
        if (anchor.node->IsDisplayed()) {
            AddRange(ranges, *anchor.node, std::min(anchor.offset, focus.offset),
                     std::max(anchor.offset, focus.offset));
        }
        return ranges;
    }
    const TextSelection::Position* last = nullptr;
    bool done = false;
    auto visit = [&](const Node& text) {
        if (done) return;
        if (!last) {
            if (&text != anchor.node && &text != focus.node) return;
            const TextSelection::Position& first = &text == anchor.node ? anchor : focus;
            last = &text == anchor.node ? &focus : &anchor;
            AddRange(ranges, text, first.offset, TextLength(text));
        } else if (&text == last->node) {
            AddRange(ranges, text, 0, last->offset);
            done = true;
        } else {
            AddRange(ranges, text, 0, TextLength(text));
        }
    };
    ForEachText(root, visit);
    // An end that is no longer shown leaves no range to speak of.
    if (!done) ranges.clear();
    return ranges;
}

}  // namespace

Rect TextSelection::Changed(const Node& root, const Ranges& before) const
{
    std::unordered_set<const Node*> changed;
    for (const auto& entry : before) {
        auto now = ranges_.find(entry.first);
        if (now == ranges_.end() || now->second != entry.second) changed.insert(entry.first);
    }
    for (const auto& entry : ranges_) {
        if (before.find(entry.first) == before.end()) changed.insert(entry.first);
    }
    Rect area;
    if (changed.empty()) return area;
    auto visit = [&](const Node& owner) {
        for (const TextFragment& fragment : owner.Box().texts) {
            if (changed.count(fragment.node)) area = area.Union(TextInkRect(fragment));
        }
    };
    ForEachLineOwner(root, visit);
    return area;
}

Rect TextSelection::Select(const Node& root, Position anchor, Position focus)
{
    Ranges before;
    before.swap(ranges_);
    anchor_ = anchor;
    focus_ = focus;
    ranges_ = BuildRanges(root, anchor_, focus_);
    return Changed(root, before);
}

Rect TextSelection::Clear(const Node& root)
{
    Ranges before;
    before.swap(ranges_);
    anchor_ = focus_ = Position{};
    return Changed(root, before);
}

void TextSelection::Revalidate(Document& document)
{
    if (!anchor_.node) return;
    if (!document.Contains(anchor_.node, anchor_.serial) || !document.Contains(focus_.node, focus_.serial)) {
        anchor_ = focus_ = Position{};
        ranges_.clear();
        return;
    }
    ranges_ = BuildRanges(*document.Root(), anchor_, focus_);
}

bool TextSelection::Range(const TextFragment& fragment, int& start, int& end) const
{
    auto found = ranges_.find(fragment.node);
    if (found == ranges_.end()) return false;
    start = std::max(found->second.first, fragment.start);
    end = std::min(found->second.second, fragment.start + fragment.length);
    return start < end;
}

namespace {

// Gathers selected text, turning block boundaries and br elements into line breaks.
class TextCollector {
public:
    explicit TextCollector(const Ranges& ranges) : ranges_(ranges) {}

    void Walk(const Node& node)
    {
        if (!node.IsDisplayed()) return;
        if (node.IsText()) {
            auto found = ranges_.find(&node);
            if (found != ranges_.end()) {
                Append(node.Measure().text.substr(static_cast<size_t>(found->second.first),
                                                  static_cast<size_t>(found->second.second - found->second.first)));
            }
            return;
        }
        if (node.Tag() == L"br") {
            if (!text_.empty()) BreakLine();
            pendingBreak_ = false;
            return;
        }
        bool block = IsBlockLevel(node);
        if (block) pendingBreak_ = true;
        for (const auto& child : node.Children()) Walk(*child);
        if (block) pendingBreak_ = true;
    }

    std::wstring Result()
    {
        TrimEnd(text_);
        return text_;
    }

private:
    void BreakLine()
    {
        TrimEnd(text_);
        text_ += L"\r\n";
        lineStart_ = true;
    }

    void Append(std::wstring piece)
    {
        if (pendingBreak_ && !text_.empty()) BreakLine();
        pendingBreak_ = false;
        if (lineStart_ || text_.empty()) piece.erase(0, piece.find_first_not_of(L' '));
        if (piece.empty()) return;
        text_ += piece;
        lineStart_ = false;
    }

    const Ranges& ranges_;
    std::wstring text_;
    bool pendingBreak_ = false;
    bool lineStart_ = true;
};

}  // namespace

std::wstring TextSelection::Text(const Node& root) const
{
    if (ranges_.empty()) return std::wstring();
    TextCollector collector(ranges_);
    collector.Walk(root);
    return collector.Result();
}

}  // namespace Html
