#pragma once

#include "html/ComputedStyle.h"
#include "html/StyleSheet.h"

namespace Html {

class Node;

// Computes every element's style: the engine's default sheet, the legacy presentation attributes
// (width, bgcolor, cellpadding, ...), the page's sheets and the inline style attribute, in that
// order of precedence, by specificity and then order; !important lifts a declaration above them.
class StyleResolver {
public:
    StyleResolver();
    // The page's rules; the sheet must outlive the resolver's use of it.
    void SetAuthorSheet(const StyleSheet* sheet) { author_ = sheet; }
    // Computes the styles of the subtree; the root inherits from nothing.
    void Resolve(Node& root);

private:
    void ResolveElement(Node& element, const ComputedStyle* parent, const Node* table);

    StyleSheet defaults_;
    const StyleSheet* author_ = nullptr;
};

// Value parsers shared with the rest of the engine.
bool ParseColor(const std::wstring& text, Color& color);
// A length in px, em (of fontSize), pt or %; plain numbers count as pixels. False when invalid.
bool ParseLength(const std::wstring& text, int fontSize, Length& length);
// The address inside url(...), or empty.
std::wstring UrlOf(const std::wstring& value);

}  // namespace Html
