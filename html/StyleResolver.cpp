#include "html/StyleResolver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cwctype>

#include "html/CssParser.h"
#include "html/Node.h"

namespace Html {

namespace {

const wchar_t kDefaultSheet[] =
    L"html, body, div, p, h1, h2, h3, h4, h5, h6, ul, ol, li, form, center, dl, dt, dd, blockquote, pre,"
    L" address, fieldset, hr { display: block }"
    L" head, script, style, title, meta, link { display: none }"
    L" table { display: table; border-spacing: 2px }"
    L" thead, tbody, tfoot { display: table-row-group; vertical-align: middle }"
    L" tr { display: table-row; vertical-align: inherit }"
    L" td, th { display: table-cell; padding: 1px; vertical-align: middle }"
    L" th { font-weight: bold; text-align: center }"
    L" body { margin: 8px }"
    L" p, ul, ol, dl, blockquote { margin: 1em 0 }"
    L" ul, ol { padding-left: 40px }"
    L" h1 { font-size: 2em; margin: 0.67em 0; font-weight: bold }"
    L" h2 { font-size: 1.5em; margin: 0.83em 0; font-weight: bold }"
    L" h3 { font-size: 1.17em; margin: 1em 0; font-weight: bold }"
    L" h4 { margin: 1.33em 0; font-weight: bold }"
    L" h5 { font-size: 0.83em; margin: 1.67em 0; font-weight: bold }"
    L" h6 { font-size: 0.67em; margin: 2.33em 0; font-weight: bold }"
    L" b, strong { font-weight: bold } i, em { font-style: italic } u { text-decoration: underline }"
    L" center { text-align: center } pre { white-space: pre; font-family: monospace }"
    L" a:link { color: #0000ee; text-decoration: underline; cursor: pointer }"
    L" hr { border: 1px inset #808080; margin: 0.5em 0 }"
    L" input { display: inline-block; border: 2px inset #767676; padding: 1px 2px; font-size: 13px;"
    L" font-family: sans-serif; background-color: white; cursor: text }";

enum Level { kDefault, kHint, kAuthor, kInline, kAuthorImportant, kInlineImportant };

struct Applied {
    int level;
    int specificity;
    int order;
    const Declaration* declaration;
};

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

// A legacy attribute's length: "120" is pixels, "50%" a percentage.
bool HintLength(const Node& element, const wchar_t* attribute, std::wstring& value)
{
    const std::wstring* text = element.FindAttribute(attribute);
    if (!text || text->empty()) return false;
    Length length;
    if (!ParseLength(*text, 16, length) || length.IsAuto()) return false;
    value = length.IsPercent() ? *text : std::to_wstring(static_cast<int>(length.value)) + L"px";
    return true;
}

class HintBuilder {
public:
    explicit HintBuilder(std::vector<Declaration>& out) : out_(out) {}
    void Add(Property property, const std::wstring& value) { out_.push_back(Declaration{property, value, false}); }
    void AddSides(Property first, const std::wstring& value)
    {
        for (int side = 0; side < 4; ++side) Add(static_cast<Property>(static_cast<int>(first) + side), value);
    }

private:
    std::vector<Declaration>& out_;
};

void BuildHints(const Node& element, const Node* table, std::vector<Declaration>& hints)
{
    HintBuilder hint(hints);
    const std::wstring& tag = element.Tag();
    std::wstring value;
    bool sized = tag == L"img" || tag == L"table" || tag == L"td" || tag == L"th" || tag == L"input";
    if (sized && HintLength(element, L"width", value)) hint.Add(Property::Width, value);
    if ((sized || tag == L"tr") && HintLength(element, L"height", value)) hint.Add(Property::Height, value);
    if (const std::wstring* color = element.FindAttribute(L"bgcolor")) hint.Add(Property::BackgroundColor, *color);
    if (const std::wstring* image = element.FindAttribute(L"background")) {
        hint.Add(Property::BackgroundImage, L"url(" + *image + L")");
    }
    std::wstring align = Lower(element.GetAttribute(L"align"));
    std::wstring valign = Lower(element.GetAttribute(L"valign"));
    if (tag == L"table") {
        if (HintLength(element, L"cellspacing", value)) hint.Add(Property::BorderSpacing, value);
        if (align == L"center") {
            hint.Add(Property::MarginLeft, L"auto");
            hint.Add(Property::MarginRight, L"auto");
        }
        std::wstring border = element.GetAttribute(L"border");
        if (!border.empty() && border != L"0") {
            hint.AddSides(Property::BorderTopWidth, std::to_wstring(_wtoi(border.c_str())) + L"px");
            hint.AddSides(Property::BorderTopStyle, L"outset");
            hint.AddSides(Property::BorderTopColor, L"gray");
        }
    } else if (tag == L"td" || tag == L"th" || tag == L"tr") {
        if (!align.empty()) hint.Add(Property::TextAlign, align);
        if (!valign.empty()) hint.Add(Property::VerticalAlign, valign == L"center" ? L"middle" : valign);
        if (element.HasAttribute(L"nowrap")) hint.Add(Property::WhiteSpace, L"nowrap");
        const Node* row = element.Parent();
        if (valign.empty() && tag != L"tr" && row && row->Tag() == L"tr" && row->HasAttribute(L"valign")) {
            valign = Lower(row->GetAttribute(L"valign"));
            hint.Add(Property::VerticalAlign, valign == L"center" ? L"middle" : valign);
        }
        if (tag != L"tr" && table) {
            if (HintLength(*table, L"cellpadding", value)) hint.AddSides(Property::PaddingTop, value);
            std::wstring border = table->GetAttribute(L"border");
            if (!border.empty() && border != L"0") {
                hint.AddSides(Property::BorderTopWidth, L"1px");
                hint.AddSides(Property::BorderTopStyle, L"inset");
                hint.AddSides(Property::BorderTopColor, L"gray");
            }
        }
    } else if (tag == L"img") {
        if (align == L"middle" || align == L"absmiddle") hint.Add(Property::VerticalAlign, L"middle");
        if (align == L"top" || align == L"bottom") hint.Add(Property::VerticalAlign, align);
        std::wstring border = element.GetAttribute(L"border");
        if (!border.empty()) {
            hint.AddSides(Property::BorderTopWidth, std::to_wstring(_wtoi(border.c_str())) + L"px");
            hint.AddSides(Property::BorderTopStyle, L"solid");
        }
        if (HintLength(element, L"hspace", value)) {
            hint.Add(Property::MarginLeft, value);
            hint.Add(Property::MarginRight, value);
        }
        if (HintLength(element, L"vspace", value)) {
            hint.Add(Property::MarginTop, value);
            hint.Add(Property::MarginBottom, value);
        }
    } else if (tag == L"div" || tag == L"p" || (tag.size() == 2 && tag[0] == L'h' && iswdigit(tag[1]))) {
        if (align == L"center" || align == L"left" || align == L"right") hint.Add(Property::TextAlign, align);
    } else if (tag == L"font") {
        if (const std::wstring* color = element.FindAttribute(L"color")) hint.Add(Property::Color, *color);
        if (const std::wstring* face = element.FindAttribute(L"face")) hint.Add(Property::FontFamily, *face);
    } else if (tag == L"body") {
        if (const std::wstring* color = element.FindAttribute(L"text")) hint.Add(Property::Color, *color);
        if (HintLength(element, L"leftmargin", value) || HintLength(element, L"marginwidth", value)) {
            hint.Add(Property::MarginLeft, value);
            hint.Add(Property::MarginRight, value);
        }
        if (HintLength(element, L"topmargin", value) || HintLength(element, L"marginheight", value)) {
            hint.Add(Property::MarginTop, value);
            hint.Add(Property::MarginBottom, value);
        }
    }
}

int FontSizeOf(const std::wstring& text, int parentSize)
{
    static const struct {
        const wchar_t* name;
        int size;
    } keywords[] = {{L"xx-small", 9}, {L"x-small", 10}, {L"small", 13}, {L"medium", 16},
                    {L"large", 18}, {L"x-large", 24}, {L"xx-large", 32}};
    for (const auto& keyword : keywords) {
        if (text == keyword.name) return keyword.size;
    }
    if (text == L"smaller") return std::max(1, static_cast<int>(std::lround(parentSize / 1.2)));
    if (text == L"larger") return static_cast<int>(std::lround(parentSize * 1.2));
    Length length;
    if (!ParseLength(text, parentSize, length) || length.IsAuto()) return parentSize;
    int size = length.Resolve(parentSize, parentSize);
    return size > 0 ? size : parentSize;
}

Display DisplayOf(const std::wstring& value, Display fallback)
{
    if (value == L"none") return Display::None;
    if (value == L"block" || value == L"list-item" || value == L"flex") return Display::Block;
    if (value == L"inline") return Display::Inline;
    if (value == L"inline-block") return Display::InlineBlock;
    if (value == L"table" || value == L"inline-table") return Display::Table;
    if (value == L"table-row-group" || value == L"table-header-group" || value == L"table-footer-group") {
        return Display::TableRowGroup;
    }
    if (value == L"table-row") return Display::TableRow;
    if (value == L"table-cell") return Display::TableCell;
    return fallback;
}

void ApplyBorderWidth(BorderSide& side, const std::wstring& value, int fontSize)
{
    if (value == L"thin") {
        side.width = 1;
    } else if (value == L"medium") {
        side.width = 3;
    } else if (value == L"thick") {
        side.width = 5;
    } else {
        Length length;
        if (ParseLength(value, fontSize, length) && length.unit == Length::Unit::Px) {
            side.width = std::max(0, length.Resolve(0));
        }
    }
}

void ApplyBackgroundPosition(ComputedStyle& style, const std::wstring& value, int fontSize)
{
    std::vector<std::wstring> parts;
    size_t position = 0;
    while (position < value.size()) {
        size_t start = value.find_first_not_of(L" \t", position);
        if (start == std::wstring::npos) break;
        size_t end = value.find_first_of(L" \t", start);
        if (end == std::wstring::npos) end = value.size();
        parts.push_back(value.substr(start, end - start));
        position = end;
    }
    if (parts.empty()) return;
    // Keywords may come in either order ("top left"); a vertical keyword first is swapped.
    if (parts.size() == 2 && (parts[0] == L"top" || parts[0] == L"bottom") &&
        (parts[1] == L"left" || parts[1] == L"right" || parts[1] == L"center")) {
        std::swap(parts[0], parts[1]);
    }
    if (parts.size() == 1) {
        if (parts[0] == L"top" || parts[0] == L"bottom") {
            parts.insert(parts.begin(), L"center");
        } else {
            parts.push_back(L"center");
        }
    }
    auto keyword = [fontSize](const std::wstring& text, Length& out) {
        if (text == L"left" || text == L"top") {
            out = Length::Percent(0);
        } else if (text == L"center") {
            out = Length::Percent(50);
        } else if (text == L"right" || text == L"bottom") {
            out = Length::Percent(100);
        } else {
            Length length;
            if (ParseLength(text, fontSize, length) && !length.IsAuto()) out = length;
        }
    };
    keyword(parts[0], style.backgroundX);
    keyword(parts[1], style.backgroundY);
}

void Apply(ComputedStyle& style, Property property, const std::wstring& raw, const ComputedStyle* parent)
{
    std::wstring value = Lower(raw);
    int fontSize = style.fontSize;
    Length length;
    auto lengthOf = [&](Length& target) {
        if (ParseLength(value, fontSize, length)) target = length;
    };
    int index = static_cast<int>(property);
    switch (property) {
    case Property::Display: style.display = DisplayOf(value, style.display); break;
    case Property::Position:
        if (value == L"static") style.position = Position::Static;
        if (value == L"relative") style.position = Position::Relative;
        if (value == L"absolute" || value == L"fixed") style.position = Position::Absolute;
        break;
    case Property::Left: lengthOf(style.left); break;
    case Property::Top: lengthOf(style.top); break;
    case Property::Right: lengthOf(style.right); break;
    case Property::Bottom: lengthOf(style.bottom); break;
    case Property::Width: lengthOf(style.width); break;
    case Property::Height: lengthOf(style.height); break;
    case Property::MarginTop: case Property::MarginRight: case Property::MarginBottom: case Property::MarginLeft:
        lengthOf(style.margin[index - static_cast<int>(Property::MarginTop)]);
        break;
    case Property::PaddingTop: case Property::PaddingRight: case Property::PaddingBottom: case Property::PaddingLeft:
        if (value != L"auto") lengthOf(style.padding[index - static_cast<int>(Property::PaddingTop)]);
        break;
    case Property::BorderTopWidth: case Property::BorderRightWidth: case Property::BorderBottomWidth:
    case Property::BorderLeftWidth:
        ApplyBorderWidth(style.border[index - static_cast<int>(Property::BorderTopWidth)], value, fontSize);
        break;
    case Property::BorderTopStyle: case Property::BorderRightStyle: case Property::BorderBottomStyle:
    case Property::BorderLeftStyle:
        style.border[index - static_cast<int>(Property::BorderTopStyle)].visible =
            value != L"none" && value != L"hidden";
        break;
    case Property::BorderTopColor: case Property::BorderRightColor: case Property::BorderBottomColor:
    case Property::BorderLeftColor: {
        Color color;
        BorderSide& side = style.border[index - static_cast<int>(Property::BorderTopColor)];
        if (value == L"currentcolor") {
            side.color = style.color;
        } else if (ParseColor(value, color)) {
            side.color = color;
        }
        break;
    }
    case Property::BackgroundColor: {
        Color color;
        if (ParseColor(value, color)) style.backgroundColor = color;
        break;
    }
    case Property::BackgroundImage: style.backgroundImage = UrlOf(raw); break;
    case Property::BackgroundRepeat:
        if (value == L"repeat") style.backgroundRepeat = BackgroundRepeat::Repeat;
        if (value == L"repeat-x") style.backgroundRepeat = BackgroundRepeat::RepeatX;
        if (value == L"repeat-y") style.backgroundRepeat = BackgroundRepeat::RepeatY;
        if (value == L"no-repeat") style.backgroundRepeat = BackgroundRepeat::NoRepeat;
        break;
    case Property::BackgroundPosition: ApplyBackgroundPosition(style, value, fontSize); break;
    case Property::Color: {
        Color color;
        if (ParseColor(value, color)) style.color = color;
        break;
    }
    case Property::FontFamily: style.fontFamily = raw; break;
    case Property::FontSize: style.fontSize = FontSizeOf(value, parent ? parent->fontSize : 16); break;
    case Property::FontWeight:
        if (value == L"bold" || value == L"bolder") {
            style.fontWeight = 700;
        } else if (value == L"normal" || value == L"lighter") {
            style.fontWeight = 400;
        } else if (iswdigit(value[0])) {
            style.fontWeight = _wtoi(value.c_str());
        }
        break;
    case Property::FontStyle: style.italic = value == L"italic" || value == L"oblique"; break;
    case Property::TextAlign:
        if (value == L"left" || value == L"justify" || value == L"start") style.textAlign = TextAlign::Left;
        if (value == L"center" || value == L"middle") style.textAlign = TextAlign::Center;
        if (value == L"right" || value == L"end") style.textAlign = TextAlign::Right;
        break;
    case Property::VerticalAlign:
        if (value == L"baseline") style.verticalAlign = VerticalAlign::Baseline;
        if (value == L"middle") style.verticalAlign = VerticalAlign::Middle;
        if (value == L"top") style.verticalAlign = VerticalAlign::Top;
        if (value == L"bottom") style.verticalAlign = VerticalAlign::Bottom;
        if (value == L"text-top") style.verticalAlign = VerticalAlign::TextTop;
        if (value == L"text-bottom") style.verticalAlign = VerticalAlign::TextBottom;
        break;
    case Property::LineHeight:
        if (value == L"normal") {
            style.lineHeight = Length::Auto();
        } else if (!value.empty() && value.find_first_not_of(L"0123456789.") == std::wstring::npos) {
            style.lineHeight = Length{Length::Unit::Number, static_cast<float>(_wtof(value.c_str()))};
        } else if (ParseLength(value, fontSize, length) && !length.IsAuto()) {
            style.lineHeight = Length::Px(static_cast<float>(length.Resolve(fontSize)));
        }
        break;
    case Property::WhiteSpace:
        if (value == L"normal" || value == L"pre-line") style.whiteSpace = WhiteSpace::Normal;
        if (value == L"nowrap") style.whiteSpace = WhiteSpace::NoWrap;
        if (value == L"pre" || value == L"pre-wrap") style.whiteSpace = WhiteSpace::Pre;
        break;
    case Property::TextDecoration:
        style.underline = value.find(L"underline") != std::wstring::npos;
        style.lineThrough = value.find(L"line-through") != std::wstring::npos;
        break;
    case Property::Overflow:
        if (value == L"visible") style.overflow = Overflow::Visible;
        if (value == L"hidden") style.overflow = Overflow::Hidden;
        if (value == L"auto") style.overflow = Overflow::Auto;
        if (value == L"scroll") style.overflow = Overflow::Scroll;
        break;
    case Property::Cursor:
        if (value == L"auto") style.cursor = Cursor::Auto;
        if (value == L"default") style.cursor = Cursor::Default;
        if (value == L"pointer" || value == L"hand") style.cursor = Cursor::Pointer;
        if (value == L"text") style.cursor = Cursor::Text;
        if (value == L"move") style.cursor = Cursor::Move;
        break;
    case Property::Visibility: style.visible = value != L"hidden" && value != L"collapse"; break;
    case Property::ZIndex: style.zIndex = value == L"auto" ? 0 : _wtoi(value.c_str()); break;
    case Property::TableLayout: style.fixedTableLayout = value == L"fixed"; break;
    case Property::BorderSpacing:
        if (ParseLength(value, fontSize, length) && length.unit == Length::Unit::Px) {
            style.borderSpacing = length.Resolve(0);
        }
        break;
    case Property::Count: break;
    }
}

void Inherit(ComputedStyle& style, const ComputedStyle& parent)
{
    style.color = parent.color;
    style.fontFamily = parent.fontFamily;
    style.fontSize = parent.fontSize;
    style.fontWeight = parent.fontWeight;
    style.italic = parent.italic;
    style.textAlign = parent.textAlign;
    style.lineHeight = parent.lineHeight;
    style.whiteSpace = parent.whiteSpace;
    style.underline = parent.underline;
    style.lineThrough = parent.lineThrough;
    style.cursor = parent.cursor;
    style.visible = parent.visible;
    style.borderSpacing = parent.borderSpacing;
}

// Takes one property's computed value from the parent, for "inherit".
void InheritProperty(ComputedStyle& style, Property property, const ComputedStyle& parent)
{
    auto side = [&](Property first) { return static_cast<int>(property) - static_cast<int>(first); };
    switch (property) {
    case Property::Display: style.display = parent.display; break;
    case Property::Position: style.position = parent.position; break;
    case Property::Left: style.left = parent.left; break;
    case Property::Top: style.top = parent.top; break;
    case Property::Right: style.right = parent.right; break;
    case Property::Bottom: style.bottom = parent.bottom; break;
    case Property::Width: style.width = parent.width; break;
    case Property::Height: style.height = parent.height; break;
    case Property::MarginTop: case Property::MarginRight: case Property::MarginBottom: case Property::MarginLeft:
        style.margin[side(Property::MarginTop)] = parent.margin[side(Property::MarginTop)];
        break;
    case Property::PaddingTop: case Property::PaddingRight: case Property::PaddingBottom: case Property::PaddingLeft:
        style.padding[side(Property::PaddingTop)] = parent.padding[side(Property::PaddingTop)];
        break;
    case Property::BorderTopWidth: case Property::BorderRightWidth: case Property::BorderBottomWidth:
    case Property::BorderLeftWidth:
        style.border[side(Property::BorderTopWidth)].width = parent.border[side(Property::BorderTopWidth)].width;
        break;
    case Property::BorderTopStyle: case Property::BorderRightStyle: case Property::BorderBottomStyle:
    case Property::BorderLeftStyle:
        style.border[side(Property::BorderTopStyle)].visible = parent.border[side(Property::BorderTopStyle)].visible;
        break;
    case Property::BorderTopColor: case Property::BorderRightColor: case Property::BorderBottomColor:
    case Property::BorderLeftColor:
        style.border[side(Property::BorderTopColor)].color = parent.border[side(Property::BorderTopColor)].color;
        break;
    case Property::BackgroundColor: style.backgroundColor = parent.backgroundColor; break;
    case Property::BackgroundImage: style.backgroundImage = parent.backgroundImage; break;
    case Property::BackgroundRepeat: style.backgroundRepeat = parent.backgroundRepeat; break;
    case Property::BackgroundPosition:
        style.backgroundX = parent.backgroundX;
        style.backgroundY = parent.backgroundY;
        break;
    case Property::Color: style.color = parent.color; break;
    case Property::FontFamily: style.fontFamily = parent.fontFamily; break;
    case Property::FontSize: style.fontSize = parent.fontSize; break;
    case Property::FontWeight: style.fontWeight = parent.fontWeight; break;
    case Property::FontStyle: style.italic = parent.italic; break;
    case Property::TextAlign: style.textAlign = parent.textAlign; break;
    case Property::VerticalAlign: style.verticalAlign = parent.verticalAlign; break;
    case Property::LineHeight: style.lineHeight = parent.lineHeight; break;
    case Property::WhiteSpace: style.whiteSpace = parent.whiteSpace; break;
    case Property::TextDecoration:
        style.underline = parent.underline;
        style.lineThrough = parent.lineThrough;
        break;
    case Property::Overflow: style.overflow = parent.overflow; break;
    case Property::Cursor: style.cursor = parent.cursor; break;
    case Property::Visibility: style.visible = parent.visible; break;
    case Property::ZIndex: style.zIndex = parent.zIndex; break;
    case Property::TableLayout: style.fixedTableLayout = parent.fixedTableLayout; break;
    case Property::BorderSpacing: style.borderSpacing = parent.borderSpacing; break;
    case Property::Count: break;
    }
}

}  // namespace

bool ParseColor(const std::wstring& text, Color& color)
{
    std::wstring value = Lower(text);
    if (value == L"transparent") {
        color = Color{};
        return true;
    }
    if (!value.empty() && value[0] == L'#') {
        std::wstring hex = value.substr(1);
        if (hex.find_first_not_of(L"0123456789abcdef") != std::wstring::npos) return false;
        if (hex.size() == 3) hex = {hex[0], hex[0], hex[1], hex[1], hex[2], hex[2]};
        if (hex.size() != 6) return false;
        unsigned long rgb = wcstoul(hex.c_str(), nullptr, 16);
        color = Color::Rgb(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
        return true;
    }
    if (value.compare(0, 4, L"rgb(") == 0) {
        int r = 0, g = 0, b = 0;
        if (swscanf(value.c_str() + 4, L"%d , %d , %d", &r, &g, &b) != 3) return false;
        auto clamp = [](int v) { return static_cast<BYTE>(std::max(0, std::min(255, v))); };
        color = Color::Rgb(RGB(clamp(r), clamp(g), clamp(b)));
        return true;
    }
    static const struct {
        const wchar_t* name;
        COLORREF rgb;
    } names[] = {{L"black", RGB(0, 0, 0)}, {L"white", RGB(255, 255, 255)}, {L"red", RGB(255, 0, 0)},
                 {L"green", RGB(0, 128, 0)}, {L"blue", RGB(0, 0, 255)}, {L"gray", RGB(128, 128, 128)},
                 {L"grey", RGB(128, 128, 128)}, {L"silver", RGB(192, 192, 192)}, {L"maroon", RGB(128, 0, 0)},
                 {L"navy", RGB(0, 0, 128)}, {L"purple", RGB(128, 0, 128)}, {L"teal", RGB(0, 128, 128)},
                 {L"olive", RGB(128, 128, 0)}, {L"lime", RGB(0, 255, 0)}, {L"aqua", RGB(0, 255, 255)},
                 {L"fuchsia", RGB(255, 0, 255)}, {L"yellow", RGB(255, 255, 0)}, {L"orange", RGB(255, 165, 0)},
                 {L"lightgray", RGB(211, 211, 211)}, {L"lightgrey", RGB(211, 211, 211)},
                 {L"darkgray", RGB(169, 169, 169)}, {L"darkgrey", RGB(169, 169, 169)}};
    for (const auto& name : names) {
        if (value == name.name) {
            color = Color::Rgb(name.rgb);
            return true;
        }
    }
    return false;
}

bool ParseLength(const std::wstring& text, int fontSize, Length& length)
{
    std::wstring value = Lower(text);
    if (value == L"auto") {
        length = Length::Auto();
        return true;
    }
    const wchar_t* begin = value.c_str();
    wchar_t* end = nullptr;
    double number = wcstod(begin, &end);
    if (end == begin) return false;
    std::wstring unit(end);
    if (unit.empty() || unit == L"px") {
        length = Length::Px(static_cast<float>(number));
    } else if (unit == L"%") {
        length = Length::Percent(static_cast<float>(number));
    } else if (unit == L"em") {
        length = Length::Px(static_cast<float>(number * fontSize));
    } else {
        // Absolute units, at the 96 pixels to the inch that CSS fixes.
        static const struct {
            const wchar_t* unit;
            double pixels;
        } absolute[] = {{L"in", 96.0}, {L"cm", 96.0 / 2.54}, {L"mm", 96.0 / 25.4}, {L"pt", 96.0 / 72.0}, {L"pc", 16.0}};
        const auto* found = std::find_if(std::begin(absolute), std::end(absolute), [&](const auto& item) { return unit == item.unit; });
        if (found == std::end(absolute)) return false;
        length = Length::Px(static_cast<float>(number * found->pixels));
    }
    return true;
}

std::wstring UrlOf(const std::wstring& value)
{
    size_t start = Lower(value).find(L"url(");
    if (start == std::wstring::npos) return std::wstring();
    size_t end = value.find(L')', start);
    if (end == std::wstring::npos) return std::wstring();
    std::wstring inner = value.substr(start + 4, end - start - 4);
    size_t first = inner.find_first_not_of(L" \t\"'");
    size_t last = inner.find_last_not_of(L" \t\"'");
    return first == std::wstring::npos ? std::wstring() : inner.substr(first, last - first + 1);
}

StyleResolver::StyleResolver()
{
    CssParser::Parse(kDefaultSheet, std::wstring(), defaults_);
}

void StyleResolver::Resolve(Node& root)
{
    ResolveElement(root, nullptr, nullptr);
}

void StyleResolver::ResolveElement(Node& element, const ComputedStyle* parent, const Node* table)
{
    ComputedStyle style;
    if (parent) Inherit(style, *parent);

    std::vector<Applied> applied;
    for (const auto& rule : defaults_.Rules()) {
        if (!rule.selector.Matches(element)) continue;
        for (const auto& declaration : rule.declarations) {
            applied.push_back(Applied{kDefault, rule.selector.Specificity(), rule.order, &declaration});
        }
    }
    std::vector<Declaration> hints;
    BuildHints(element, table, hints);
    for (const auto& declaration : hints) applied.push_back(Applied{kHint, 0, 0, &declaration});
    if (author_) {
        for (const auto& rule : author_->Rules()) {
            if (!rule.selector.Matches(element)) continue;
            for (const auto& declaration : rule.declarations) {
                int level = declaration.important ? kAuthorImportant : kAuthor;
                applied.push_back(Applied{level, rule.selector.Specificity(), rule.order, &declaration});
            }
        }
    }
    std::vector<Declaration> inlineStyle;
    if (const std::wstring* text = element.FindAttribute(L"style")) {
        inlineStyle = CssParser::ParseDeclarations(*text, std::wstring());
        for (const auto& declaration : inlineStyle) {
            applied.push_back(Applied{declaration.important ? kInlineImportant : kInline, 0, 0, &declaration});
        }
    }
    std::stable_sort(applied.begin(), applied.end(), [](const Applied& a, const Applied& b) {
        if (a.level != b.level) return a.level < b.level;
        if (a.specificity != b.specificity) return a.specificity < b.specificity;
        return a.order < b.order;
    });
    std::array<const std::wstring*, static_cast<size_t>(Property::Count)> winners{};
    for (const auto& item : applied) winners[static_cast<size_t>(item.declaration->property)] = &item.declaration->value;

    // The font size first: em lengths of the other properties depend on it; then the colour, which
    // currentcolor borders read.
    auto apply = [&](Property property) {
        const std::wstring* value = winners[static_cast<size_t>(property)];
        if (!value) return;
        if (Lower(*value) == L"inherit") {
            if (parent) InheritProperty(style, property, *parent);
            return;
        }
        Apply(style, property, *value, parent);
    };
    apply(Property::FontSize);
    apply(Property::Color);
    for (auto& side : style.border) side.color = style.color;
    for (size_t index = 0; index < winners.size(); ++index) {
        Property property = static_cast<Property>(index);
        if (property == Property::FontSize || property == Property::Color) continue;
        apply(property);
    }
    if (style.position == Position::Absolute && style.display != Display::None && style.display != Display::Table) {
        style.display = Display::Block;
    }
    if (!parent) {
        if (style.display != Display::None) style.display = Display::Block;
    }
    element.MutableStyle() = style;

    const Node* childTable = element.Tag() == L"table" ? &element : table;
    for (const auto& child : element.Children()) {
        if (child->IsText()) {
            ComputedStyle& textStyle = child->MutableStyle();
            textStyle = ComputedStyle();
            Inherit(textStyle, style);
            textStyle.display = Display::Inline;
            continue;
        }
        if (style.display == Display::None) {
            child->MutableStyle().display = Display::None;
            continue;
        }
        ResolveElement(*child, &element.Style(), childTable);
    }
}

}  // namespace Html
