#pragma once

#include <string>
#include <unordered_map>
#include <utility>

#include "html/Geometry.h"

namespace Html {

class Document;
class Node;
struct TextFragment;

// Text chosen with the mouse: the characters between an anchor and a focus position, in document
// order, counted in the text as laid out (white space collapsed).
class TextSelection {
public:
    struct Position {
        const Node* node = nullptr;
        int offset = 0;
        // The node's serial, which tells it from a later node at the same address.
        unsigned long long serial = 0;
    };

    // The text position nearest to a page point among the text that can be seen: on the point's
    // line when there is one, else on the nearest line. No node when the page shows no text.
    static Position PositionAt(const Node& root, int x, int y);

    // Selects from anchor to focus (in either order); returns the page area whose look changed.
    Rect Select(const Node& root, Position anchor, Position focus);
    // Selects nothing; returns the page area that showed the selection.
    Rect Clear(const Node& root);
    // After the page was laid out again: keeps the selection on the nodes still in the document,
    // within their new text, or drops it.
    void Revalidate(Document& document);

    bool IsEmpty() const { return ranges_.empty(); }
    // The characters of a laid-out text run inside the selection; false when none is.
    bool Range(const TextFragment& fragment, int& start, int& end) const;
    // The selected text, lines of different blocks and line breaks separated by "\r\n".
    std::wstring Text(const Node& root) const;

private:
    using Ranges = std::unordered_map<const Node*, std::pair<int, int>>;

    Rect Changed(const Node& root, const Ranges& before) const;

    Position anchor_;
    Position focus_;
    Ranges ranges_;
};

}  // namespace Html
