#include "html/Document.h"

#include <algorithm>

namespace Html {

Document::Document() = default;
Document::~Document() = default;

void Document::SetRoot(std::unique_ptr<Node> root)
{
    ++removals_;
    root_ = std::move(root);
    idsValid_ = false;
    needsLayout_ = true;
    changed_.clear();
}

Node* Document::Body() const
{
    if (!root_) return nullptr;
    for (const auto& child : root_->Children()) {
        if (child->Tag() == L"body") return child.get();
    }
    return root_.get();
}

namespace {

void IndexIds(Node* node, std::unordered_map<std::wstring, Node*>& ids)
{
    if (node->IsText()) return;
    if (const std::wstring* id = node->FindAttribute(L"id")) ids.emplace(*id, node);
    for (const auto& child : node->Children()) IndexIds(child.get(), ids);
}

void CollectTag(Node* node, const std::wstring& tag, std::vector<Node*>& out)
{
    if (node->IsText()) return;
    if (node->Tag() == tag) out.push_back(node);
    for (const auto& child : node->Children()) CollectTag(child.get(), tag, out);
}

}  // namespace

Node* Document::GetElementById(const std::wstring& id)
{
    if (!root_) return nullptr;
    if (!idsValid_) {
        ids_.clear();
        IndexIds(root_.get(), ids_);
        idsValid_ = true;
    }
    auto found = ids_.find(id);
    return found == ids_.end() ? nullptr : found->second;
}

std::vector<Node*> Document::GetElementsByTagName(const std::wstring& tag) const
{
    std::vector<Node*> out;
    if (root_) CollectTag(root_.get(), tag, out);
    return out;
}

Rect SubtreeBounds(const Node& node)
{
    Rect bounds;
    if (node.IsDisplayed()) bounds = node.Box().border;
    for (const auto& child : node.Children()) bounds = bounds.Union(SubtreeBounds(*child));
    return bounds;
}

void Document::NoteChange(Node* node, bool structure)
{
    if (structure) idsValid_ = false;
    bool first = !needsLayout_;
    needsLayout_ = true;
    if (std::find(changed_.begin(), changed_.end(), node) == changed_.end()) {
        oldDamage_ = oldDamage_.Union(SubtreeBounds(*node));
        changed_.push_back(node);
    }
    if (first && changeListener_) changeListener_();
}

void Document::NoteValueChange(Node* node)
{
    if (valueListener_) valueListener_(*node);
}

namespace {

bool TreeHolds(const Node& tree, const Node* node)
{
    if (&tree == node) return true;
    for (const auto& child : tree.Children()) {
        if (TreeHolds(*child, node)) return true;
    }
    return false;
}

}  // namespace

bool Document::Contains(const Node* node) const
{
    return root_ && node && TreeHolds(*root_, node);
}

void Document::NoteRemoving(Node* subtreeRoot)
{
    ++removals_;
    changed_.erase(std::remove_if(changed_.begin(), changed_.end(),
                                  [subtreeRoot](Node* node) { return subtreeRoot->IsInclusiveAncestorOf(node); }),
                   changed_.end());
    idsValid_ = false;
}

Rect Document::TakeOldDamage()
{
    Rect damage = oldDamage_;
    oldDamage_ = Rect{};
    return damage;
}

std::vector<Node*> Document::TakeChangedNodes()
{
    std::vector<Node*> nodes;
    nodes.swap(changed_);
    return nodes;
}

}  // namespace Html
