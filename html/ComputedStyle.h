#pragma once

#include <windows.h>

#include <string>

namespace Html {

enum class Display { None, Block, Inline, InlineBlock, Table, TableRowGroup, TableRow, TableCell };
enum class Position { Static, Relative, Absolute };
enum class TextAlign { Left, Center, Right };
enum class VerticalAlign { Baseline, Middle, Top, Bottom, TextTop, TextBottom };
enum class WhiteSpace { Normal, NoWrap, Pre };
// Auto shows a vertical scroll bar when the content is taller than the box; Scroll always does.
enum class Overflow { Visible, Hidden, Auto, Scroll };
enum class Cursor { Auto, Default, Pointer, Text, Move };
enum class BackgroundRepeat { Repeat, RepeatX, RepeatY, NoRepeat };

// A length as declared: auto, pixels, a percentage of a reference length, or (line-height only) a
// multiple of the font size.
struct Length {
    enum class Unit { Auto, Px, Percent, Number };
    Unit unit = Unit::Auto;
    float value = 0;

    static Length Auto() { return Length{}; }
    static Length Px(float px) { return Length{Unit::Px, px}; }
    static Length Percent(float percent) { return Length{Unit::Percent, percent}; }
    bool IsAuto() const { return unit == Unit::Auto; }
    bool IsPercent() const { return unit == Unit::Percent; }
    // Pixels against a reference length; auto gives fallback.
    int Resolve(int reference, int fallback = 0) const;
};

struct Color {
    COLORREF rgb = RGB(0, 0, 0);
    bool transparent = true;

    static Color Rgb(COLORREF value) { return Color{value, false}; }
};

struct BorderSide {
    int width = 0;
    Color color;
    // A border exists only with a visible style; its width counts only then.
    bool visible = false;

    int UsedWidth() const { return visible ? width : 0; }
};

// The values layout and paint use, after cascade and inheritance, in pixels where possible.
struct ComputedStyle {
    Display display = Display::Inline;
    Position position = Position::Static;
    Length left, top, right, bottom;
    Length width, height;
    Length margin[4] = {Length::Px(0), Length::Px(0), Length::Px(0), Length::Px(0)};   // top, right, bottom, left
    Length padding[4] = {Length::Px(0), Length::Px(0), Length::Px(0), Length::Px(0)};  // top, right, bottom, left
    BorderSide border[4];
    bool fixedTableLayout = false;
    int borderSpacing = 0;
    int zIndex = 0;

    Color backgroundColor;
    std::wstring backgroundImage;
    BackgroundRepeat backgroundRepeat = BackgroundRepeat::Repeat;
    Length backgroundX = Length::Percent(0);
    Length backgroundY = Length::Percent(0);

    Color color = Color::Rgb(RGB(0, 0, 0));
    std::wstring fontFamily = L"serif";
    int fontSize = 16;
    int fontWeight = 400;
    bool italic = false;
    bool underline = false;
    bool lineThrough = false;
    TextAlign textAlign = TextAlign::Left;
    VerticalAlign verticalAlign = VerticalAlign::Baseline;
    Length lineHeight;  // auto means normal
    WhiteSpace whiteSpace = WhiteSpace::Normal;
    Overflow overflow = Overflow::Visible;
    Cursor cursor = Cursor::Auto;
    bool visible = true;

    bool IsBlockContainer() const
    {
        return display == Display::Block || display == Display::InlineBlock || display == Display::TableCell;
    }
    bool IsInlineLevel() const
    {
        return (display == Display::Inline || display == Display::InlineBlock) && position != Position::Absolute;
    }
    bool IsPositioned() const { return position != Position::Static; }
    bool Scrolls() const { return overflow == Overflow::Auto || overflow == Overflow::Scroll; }
};

}  // namespace Html
