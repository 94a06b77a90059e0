#pragma once

#include <string>
#include <vector>

namespace Html {

class Node;

// One compound selector: a type, an id and classes that one element must all have.
struct CompoundSelector {
    std::wstring tag;  // empty or "*" for any
    std::wstring id;
    std::vector<std::wstring> classes;
    bool link = false;  // :link, an a element with an href

    bool Matches(const Node& element) const;
};

// A complex selector: compounds joined by descendant (' ') or child ('>') combinators.
class Selector {
public:
    // False for selectors the engine does not support (attribute selectors, pseudo-classes other
    // than :link, sibling combinators); such rules never apply.
    static bool Parse(const std::wstring& text, Selector& selector);

    bool Matches(const Node& element) const;
    // ids * 10000 + classes * 100 + types.
    int Specificity() const { return specificity_; }

private:
    bool MatchesFrom(const Node& element, int index) const;

    std::vector<CompoundSelector> compounds_;
    std::vector<wchar_t> combinators_;  // combinators_[i] joins compounds_[i] and compounds_[i + 1]
    int specificity_ = 0;
};

}  // namespace Html
