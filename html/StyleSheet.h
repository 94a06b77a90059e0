#pragma once

#include <string>
#include <vector>

#include "html/Selector.h"

namespace Html {

// The longhand properties the engine computes; shorthands are expanded when parsed.
enum class Property {
    Display, Position, Left, Top, Right, Bottom, Width, Height,
    MarginTop, MarginRight, MarginBottom, MarginLeft,
    PaddingTop, PaddingRight, PaddingBottom, PaddingLeft,
    BorderTopWidth, BorderRightWidth, BorderBottomWidth, BorderLeftWidth,
    BorderTopStyle, BorderRightStyle, BorderBottomStyle, BorderLeftStyle,
    BorderTopColor, BorderRightColor, BorderBottomColor, BorderLeftColor,
    BackgroundColor, BackgroundImage, BackgroundRepeat, BackgroundPosition,
    Color, FontFamily, FontSize, FontWeight, FontStyle,
    TextAlign, VerticalAlign, LineHeight, WhiteSpace, TextDecoration,
    Overflow, Cursor, Visibility, ZIndex, TableLayout, BorderSpacing,
    Count
};

struct Declaration {
    Property property;
    std::wstring value;  // trimmed; urls already resolved against the sheet
    bool important = false;
};

struct StyleRule {
    Selector selector;
    std::vector<Declaration> declarations;
    int order = 0;
};

// The rules of one or more sheets, in the order they appeared; a grouped selector gives one rule
// per member.
class StyleSheet {
public:
    void Add(StyleRule rule)
    {
        rule.order = static_cast<int>(rules_.size());
        rules_.push_back(std::move(rule));
    }
    const std::vector<StyleRule>& Rules() const { return rules_; }
    void Clear() { rules_.clear(); }

private:
    std::vector<StyleRule> rules_;
};

}  // namespace Html
