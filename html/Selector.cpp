#include "html/Selector.h"

#include "html/Node.h"

namespace Html {

namespace {

bool IsIdentChar(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-' ||
           c == L'_' || c > 0x7F;
}

std::wstring ReadIdent(const std::wstring& text, size_t& position)
{
    size_t start = position;
    while (position < text.size() && IsIdentChar(text[position])) ++position;
    return text.substr(start, position - start);
}

}  // namespace

bool CompoundSelector::Matches(const Node& element) const
{
    if (element.IsText()) return false;
    if (!tag.empty() && tag != L"*" && tag != element.Tag()) return false;
    if (!id.empty()) {
        const std::wstring* value = element.FindAttribute(L"id");
        if (!value || *value != id) return false;
    }
    for (const auto& name : classes) {
        if (!element.HasClass(name)) return false;
    }
    return !link || (element.Tag() == L"a" && element.HasAttribute(L"href"));
}

bool Selector::Parse(const std::wstring& text, Selector& selector)
{
    selector = Selector();
    size_t position = 0;
    wchar_t pending = 0;
    while (true) {
        bool sawSpace = false;
        while (position < text.size() && iswspace(text[position])) {
            ++position;
            sawSpace = true;
        }
        if (position >= text.size()) break;
        if (text[position] == L'>') {
            pending = L'>';
            ++position;
            continue;
        }
        if (!selector.compounds_.empty()) {
            if (!pending && !sawSpace) return false;
            selector.combinators_.push_back(pending ? pending : L' ');
        }
        pending = 0;
        CompoundSelector compound;
        bool any = false;
        while (position < text.size() && !iswspace(text[position]) && text[position] != L'>') {
            wchar_t c = text[position];
            if (c == L'*') {
                compound.tag = L"*";
                ++position;
            } else if (c == L'#') {
                ++position;
                compound.id = ReadIdent(text, position);
                if (compound.id.empty()) return false;
                selector.specificity_ += 10000;
            } else if (c == L'.') {
                ++position;
                std::wstring name = ReadIdent(text, position);
                if (name.empty()) return false;
                compound.classes.push_back(name);
                selector.specificity_ += 100;
            } else if (c == L':') {
                ++position;
                std::wstring pseudo = ReadIdent(text, position);
                // An unvisited link is the only link state a page here can be in.
                if (pseudo != L"link") return false;
                compound.link = true;
                selector.specificity_ += 100;
            } else if (IsIdentChar(c)) {
                compound.tag = ReadIdent(text, position);
                for (wchar_t& ch : compound.tag) ch = static_cast<wchar_t>(towlower(ch));
                selector.specificity_ += 1;
            } else {
                return false;
            }
            any = true;
        }
        if (!any) return false;
        selector.compounds_.push_back(compound);
    }
    return !selector.compounds_.empty() && !pending;
}

bool Selector::Matches(const Node& element) const
{
    return MatchesFrom(element, static_cast<int>(compounds_.size()) - 1);
}

bool Selector::MatchesFrom(const Node& element, int index) const
{
    if (!compounds_[index].Matches(element)) return false;
    if (index == 0) return true;
    wchar_t combinator = combinators_[index - 1];
    for (const Node* ancestor = element.Parent(); ancestor; ancestor = ancestor->Parent()) {
        if (MatchesFrom(*ancestor, index - 1)) return true;
        if (combinator == L'>') return false;
    }
    return false;
}

}  // namespace Html
