#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "html/ComputedStyle.h"
#include "html/HtmlApi.h"
#include "html/LayoutBox.h"

namespace Html {

class Document;

// One node of a page: an element or a text. C++ code reaches the page through these, as script
// would through the browser's document object model.
class HTML_API Node {
public:
    using Attribute = std::pair<std::wstring, std::wstring>;

    static std::unique_ptr<Node> CreateElement(Document* document, const std::wstring& tag);
    static std::unique_ptr<Node> CreateText(Document* document, const std::wstring& text);
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    bool IsText() const { return isText_; }
    bool IsElement() const { return !isText_; }
    // Lower-case tag name; "#text" for texts.
    const std::wstring& Tag() const { return tag_; }
    const std::wstring& Text() const { return text_; }
    void SetText(const std::wstring& text);
    Document* GetDocument() const { return document_; }

    const std::vector<Attribute>& Attributes() const { return attributes_; }
    const std::wstring* FindAttribute(const std::wstring& name) const;
    std::wstring GetAttribute(const std::wstring& name) const;
    bool HasAttribute(const std::wstring& name) const { return FindAttribute(name) != nullptr; }
    void SetAttribute(const std::wstring& name, const std::wstring& value);
    void RemoveAttribute(const std::wstring& name);

    std::wstring Id() const { return GetAttribute(L"id"); }
    void SetId(const std::wstring& id) { SetAttribute(L"id", id); }
    std::wstring ClassName() const { return GetAttribute(L"class"); }
    void SetClassName(const std::wstring& name) { SetAttribute(L"class", name); }
    // Whether the class attribute lists name (case-sensitive).
    bool HasClass(const std::wstring& name) const;

    Node* Parent() const { return parent_; }
    const std::vector<std::unique_ptr<Node>>& Children() const { return children_; }
    Node* AppendChild(std::unique_ptr<Node> child);
    void RemoveChildren();
    // Hands the children over to the caller, as parentless nodes.
    std::vector<std::unique_ptr<Node>> TakeChildren();
    bool IsInclusiveAncestorOf(const Node* node) const;

    // Texts of the subtree; a br gives a line break.
    std::wstring InnerText() const;
    // Replaces the children with one text.
    void SetInnerText(const std::wstring& text);
    std::wstring InnerHtml() const;
    std::wstring OuterHtml() const;
    // Replaces the children with the parsed fragment. An HTML-style fragment is accepted too (void
    // elements left open, &nbsp;); false, and the children unchanged, when it cannot be parsed.
    bool SetInnerHtml(const std::wstring& fragment);

    // A property of the inline style attribute ("" when not set there).
    std::wstring GetStyleProperty(const std::wstring& name) const;
    // Sets a property of the inline style attribute; an empty value removes it.
    void SetStyleProperty(const std::wstring& name, const std::wstring& value);
    std::wstring StyleDisplay() const { return GetStyleProperty(L"display"); }
    void SetStyleDisplay(const std::wstring& value) { SetStyleProperty(L"display", value); }

    // The current value of an input element (its value attribute until changed).
    std::wstring Value() const;
    void SetValue(const std::wstring& value);
    bool IsTextEdit() const;

    // Appends a row to a table (into its last row group when it has one) and a cell to a row.
    Node* AppendTableRow();
    Node* AppendTableCell();

    const ComputedStyle& Style() const { return style_; }
    ComputedStyle& MutableStyle() { return style_; }
    const LayoutBox& Box() const { return box_; }
    LayoutBox& MutableBox() { return box_; }
    TextMeasure& Measure() { return measure_; }
    const TextMeasure& Measure() const { return measure_; }
    // Whether layout gave the node a box in the last pass.
    bool IsDisplayed() const { return box_.displayed; }
    // Tells this node from a later one that reuses its address after it was freed.
    unsigned long long Serial() const { return serial_; }

private:
    Node(Document* document, bool isText, std::wstring tagOrText);
    void Changed(bool structure);
    void AppendHtml(std::wstring& out) const;

    Document* document_;
    unsigned long long serial_;
    bool isText_;
    std::wstring tag_;
    std::wstring text_;
    std::wstring value_;
    bool valueSet_ = false;
    std::vector<Attribute> attributes_;
    Node* parent_ = nullptr;
    std::vector<std::unique_ptr<Node>> children_;
    ComputedStyle style_;
    LayoutBox box_;
    TextMeasure measure_;
};

// The text as markup that shows exactly these characters: &, < and > (and " for an attribute
// value) become references, so that text from outside can go into inner HTML without acting as tags.
HTML_API std::wstring EscapeMarkup(const std::wstring& text, bool attribute = false);

}  // namespace Html
