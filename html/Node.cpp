#include "html/Node.h"

#include <atomic>

#include "html/Document.h"
#include "html/XhtmlParser.h"

namespace Html {

namespace {

std::wstring Trim(const std::wstring& text)
{
    size_t begin = text.find_first_not_of(L" \t\r\n");
    if (begin == std::wstring::npos) return std::wstring();
    size_t end = text.find_last_not_of(L" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

// The declarations of a style attribute as name and value pairs, in order.
std::vector<std::pair<std::wstring, std::wstring>> SplitDeclarations(const std::wstring& style)
{
    std::vector<std::pair<std::wstring, std::wstring>> out;
    size_t position = 0;
    while (position <= style.size()) {
        size_t end = style.find(L';', position);
        if (end == std::wstring::npos) end = style.size();
        std::wstring item = style.substr(position, end - position);
        size_t colon = item.find(L':');
        if (colon != std::wstring::npos) {
            std::wstring name = Lower(Trim(item.substr(0, colon)));
            if (!name.empty()) out.emplace_back(name, Trim(item.substr(colon + 1)));
        }
        position = end + 1;
    }
    return out;
}

void EscapeInto(std::wstring& out, const std::wstring& text, bool attribute)
{
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'"':
            if (attribute) {
                out += L"&quot;";
                break;
            }
            out += c;
            break;
        default: out += c;
        }
    }
}

std::atomic<unsigned long long> serials{0};

bool IsVoidElement(const std::wstring& tag)
{
    return tag == L"br" || tag == L"img" || tag == L"input" || tag == L"hr" || tag == L"meta" || tag == L"link";
}

}  // namespace

Node::Node(Document* document, bool isText, std::wstring tagOrText)
    : document_(document), serial_(++serials), isText_(isText)
{
    if (isText) {
        tag_ = L"#text";
        text_ = std::move(tagOrText);
    } else {
        tag_ = Lower(std::move(tagOrText));
    }
}

std::unique_ptr<Node> Node::CreateElement(Document* document, const std::wstring& tag)
{
    return std::unique_ptr<Node>(new Node(document, false, tag));
}

std::unique_ptr<Node> Node::CreateText(Document* document, const std::wstring& text)
{
    return std::unique_ptr<Node>(new Node(document, true, text));
}

void Node::Changed(bool structure)
{
    if (!document_) return;
    const Node* top = this;
    while (top->parent_) top = top->parent_;
    if (top == document_->Root()) document_->NoteChange(this, structure);
}

void Node::SetText(const std::wstring& text)
{
    text_ = text;
    measure_.valid = false;
    Changed(true);
}

const std::wstring* Node::FindAttribute(const std::wstring& name) const
{
    for (const auto& attribute : attributes_) {
        if (attribute.first == name) return &attribute.second;
    }
    return nullptr;
}

std::wstring Node::GetAttribute(const std::wstring& name) const
{
    const std::wstring* value = FindAttribute(name);
    return value ? *value : std::wstring();
}

void Node::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    std::wstring key = Lower(name);
    for (auto& attribute : attributes_) {
        if (attribute.first == key) {
            if (attribute.second == value) return;
            attribute.second = value;
            Changed(key == L"id");
            return;
        }
    }
    attributes_.emplace_back(key, value);
    Changed(key == L"id");
}

void Node::RemoveAttribute(const std::wstring& name)
{
    std::wstring key = Lower(name);
    for (auto it = attributes_.begin(); it != attributes_.end(); ++it) {
        if (it->first == key) {
            attributes_.erase(it);
            Changed(key == L"id");
            return;
        }
    }
}

bool Node::HasClass(const std::wstring& name) const
{
    const std::wstring* classes = FindAttribute(L"class");
    if (!classes || name.empty()) return false;
    size_t position = 0;
    while (position < classes->size()) {
        size_t begin = classes->find_first_not_of(L" \t\r\n", position);
        if (begin == std::wstring::npos) break;
        size_t end = classes->find_first_of(L" \t\r\n", begin);
        if (end == std::wstring::npos) end = classes->size();
        if (classes->compare(begin, end - begin, name) == 0) return true;
        position = end;
    }
    return false;
}

Node* Node::AppendChild(std::unique_ptr<Node> child)
{
    child->parent_ = this;
    children_.push_back(std::move(child));
    Changed(true);
    return children_.back().get();
}

void Node::RemoveChildren()
{
    if (children_.empty()) return;
    Changed(true);
    if (document_) {
        for (const auto& child : children_) document_->NoteRemoving(child.get());
    }
    children_.clear();
}

std::vector<std::unique_ptr<Node>> Node::TakeChildren()
{
    if (!children_.empty()) {
        Changed(true);
        if (document_) {
            for (const auto& child : children_) document_->NoteRemoving(child.get());
        }
    }
    std::vector<std::unique_ptr<Node>> children;
    children.swap(children_);
    for (auto& child : children) child->parent_ = nullptr;
    return children;
}

bool Node::IsInclusiveAncestorOf(const Node* node) const
{
    for (; node; node = node->parent_) {
        if (node == this) return true;
    }
    return false;
}

std::wstring Node::InnerText() const
{
    if (isText_) return text_;
    std::wstring out;
    for (const auto& child : children_) {
        if (child->tag_ == L"br") {
            out += L"\r\n";
        } else {
            out += child->InnerText();
        }
    }
    return out;
}

void Node::SetInnerText(const std::wstring& text)
{
    RemoveChildren();
    if (!text.empty()) AppendChild(CreateText(document_, text));
    Changed(true);
}

void Node::AppendHtml(std::wstring& out) const
{
    if (isText_) {
        EscapeInto(out, text_, false);
        return;
    }
    out += L'<';
    out += tag_;
    for (const auto& attribute : attributes_) {
        out += L' ';
        out += attribute.first;
        out += L"=\"";
        EscapeInto(out, attribute.second, true);
        out += L'"';
    }
    if (children_.empty() && IsVoidElement(tag_)) {
        out += L" />";
        return;
    }
    out += L'>';
    for (const auto& child : children_) child->AppendHtml(out);
    out += L"</";
    out += tag_;
    out += L'>';
}

std::wstring Node::InnerHtml() const
{
    std::wstring out;
    for (const auto& child : children_) child->AppendHtml(out);
    return out;
}

std::wstring Node::OuterHtml() const
{
    std::wstring out;
    AppendHtml(out);
    return out;
}

bool Node::SetInnerHtml(const std::wstring& fragment)
{
    std::vector<std::unique_ptr<Node>> nodes;
    if (!XhtmlParser::ParseFragment(document_, fragment, nodes)) return false;
    RemoveChildren();
    for (auto& node : nodes) {
        node->parent_ = this;
        children_.push_back(std::move(node));
    }
    Changed(true);
    return true;
}

std::wstring Node::GetStyleProperty(const std::wstring& name) const
{
    std::wstring key = Lower(name);
    std::wstring found;
    for (const auto& declaration : SplitDeclarations(GetAttribute(L"style"))) {
        if (declaration.first == key) found = declaration.second;
    }
    return found;
}

void Node::SetStyleProperty(const std::wstring& name, const std::wstring& value)
{
    std::wstring key = Lower(name);
    std::wstring style;
    for (const auto& declaration : SplitDeclarations(GetAttribute(L"style"))) {
        if (declaration.first == key) continue;
        style += declaration.first + L": " + declaration.second + L"; ";
    }
    if (!value.empty()) style += key + L": " + value + L";";
    while (!style.empty() && style.back() == L' ') style.pop_back();
    if (style.empty()) {
        RemoveAttribute(L"style");
    } else {
        SetAttribute(L"style", style);
    }
}

std::wstring Node::Value() const
{
    return valueSet_ ? value_ : GetAttribute(L"value");
}

void Node::SetValue(const std::wstring& value)
{
    value_ = value;
    valueSet_ = true;
    if (document_) document_->NoteValueChange(this);
}

bool Node::IsTextEdit() const
{
    if (tag_ == L"textarea") return true;
    if (tag_ != L"input") return false;
    std::wstring type = Lower(GetAttribute(L"type"));
    return type.empty() || type == L"text" || type == L"password";
}

Node* Node::AppendTableRow()
{
    Node* container = this;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        const std::wstring& tag = (*it)->tag_;
        if (tag == L"tbody" || tag == L"thead" || tag == L"tfoot") {
            container = it->get();
            break;
        }
    }
    return container->AppendChild(CreateElement(document_, L"tr"));
}

Node* Node::AppendTableCell()
{
    return AppendChild(CreateElement(document_, L"td"));
}

std::wstring EscapeMarkup(const std::wstring& text, bool attribute)
{
    std::wstring out;
    EscapeInto(out, text, attribute);
    return out;
}

}  // namespace Html
