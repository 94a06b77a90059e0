#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "html/Geometry.h"
#include "html/HtmlApi.h"
#include "html/Node.h"

namespace Html {

// A parsed page: the element tree, with an id index and the record of changes made through the
// DOM since the page was last laid out.
class HTML_API Document {
public:
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    Node* Root() const { return root_.get(); }
    void SetRoot(std::unique_ptr<Node> root);
    // The body element, or the root when the page has none.
    Node* Body() const;
    // The first element in document order with that id, or null.
    Node* GetElementById(const std::wstring& id);
    std::vector<Node*> GetElementsByTagName(const std::wstring& tag) const;

    // Called by nodes. A structural change needs style and layout again; a value change only paint.
    void NoteChange(Node* node, bool structure);
    void NoteValueChange(Node* node);
    void NoteRemoving(Node* subtreeRoot);

    // Whether the node is in the tree; never dereferences it, so a deleted node is safe to ask about.
    bool Contains(const Node* node) const;
    // Whether the node is in the tree and is still the node with that serial, not a later one that
    // took a freed node's address.
    bool Contains(const Node* node, unsigned long long serial) const
    {
        return Contains(node) && node->Serial() == serial;
    }
    // Grows whenever nodes leave the tree, so holders of node pointers know when to check them.
    unsigned RemovalCount() const { return removals_; }

    bool NeedsLayout() const { return needsLayout_; }
    // Area the changes covered before layout ran again; cleared by the call.
    Rect TakeOldDamage();
    // The nodes changed since the last layout; cleared by the call.
    std::vector<Node*> TakeChangedNodes();
    void MarkLaidOut() { needsLayout_ = false; }

    // Told once after the first change that follows a layout, so the host can schedule an update.
    void SetChangeListener(std::function<void()> listener) { changeListener_ = std::move(listener); }
    // Told when C++ sets an input's value, so the host can update its edit control.
    void SetValueListener(std::function<void(Node&)> listener) { valueListener_ = std::move(listener); }

private:
    std::unique_ptr<Node> root_;
    std::unordered_map<std::wstring, Node*> ids_;
    bool idsValid_ = false;
    bool needsLayout_ = true;
    unsigned removals_ = 0;
    std::vector<Node*> changed_;
    Rect oldDamage_;
    std::function<void()> changeListener_;
    std::function<void(Node&)> valueListener_;
};

// The union of the boxes of a subtree as last laid out.
HTML_API Rect SubtreeBounds(const Node& node);

}  // namespace Html
