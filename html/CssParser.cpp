#include "html/CssParser.h"

#include <cwctype>

#include "html/ResourceLoader.h"

namespace Html {

namespace {

std::wstring Trim(const std::wstring& text)
{
    size_t begin = text.find_first_not_of(L" \t\r\n\f");
    if (begin == std::wstring::npos) return std::wstring();
    size_t end = text.find_last_not_of(L" \t\r\n\f");
    return text.substr(begin, end - begin + 1);
}

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

std::wstring StripComments(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size());
    size_t position = 0;
    while (position < text.size()) {
        size_t start = text.find(L"/*", position);
        if (start == std::wstring::npos) {
            out.append(text, position, std::wstring::npos);
            break;
        }
        out.append(text, position, start - position);
        size_t end = text.find(L"*/", start + 2);
        if (end == std::wstring::npos) break;
        out += L' ';
        position = end + 2;
    }
    return out;
}

// Splits a value at white space, keeping url(...) and quoted strings whole.
std::vector<std::wstring> Tokens(const std::wstring& value)
{
    std::vector<std::wstring> tokens;
    std::wstring current;
    int depth = 0;
    wchar_t quote = 0;
    for (wchar_t c : value) {
        if (quote) {
            current += c;
            if (c == quote) quote = 0;
            continue;
        }
        if (c == L'"' || c == L'\'') quote = c;
        if (c == L'(') ++depth;
        if (c == L')' && depth > 0) --depth;
        if (iswspace(c) && depth == 0) {
            if (!current.empty()) tokens.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) tokens.push_back(current);
    return tokens;
}

const struct {
    const wchar_t* name;
    Property property;
} kLonghands[] = {
    {L"display", Property::Display}, {L"position", Property::Position}, {L"left", Property::Left},
    {L"top", Property::Top}, {L"right", Property::Right}, {L"bottom", Property::Bottom},
    {L"width", Property::Width}, {L"height", Property::Height},
    {L"margin-top", Property::MarginTop}, {L"margin-right", Property::MarginRight},
    {L"margin-bottom", Property::MarginBottom}, {L"margin-left", Property::MarginLeft},
    {L"padding-top", Property::PaddingTop}, {L"padding-right", Property::PaddingRight},
    {L"padding-bottom", Property::PaddingBottom}, {L"padding-left", Property::PaddingLeft},
    {L"border-top-width", Property::BorderTopWidth}, {L"border-right-width", Property::BorderRightWidth},
    {L"border-bottom-width", Property::BorderBottomWidth}, {L"border-left-width", Property::BorderLeftWidth},
    {L"border-top-style", Property::BorderTopStyle}, {L"border-right-style", Property::BorderRightStyle},
    {L"border-bottom-style", Property::BorderBottomStyle}, {L"border-left-style", Property::BorderLeftStyle},
    {L"border-top-color", Property::BorderTopColor}, {L"border-right-color", Property::BorderRightColor},
    {L"border-bottom-color", Property::BorderBottomColor}, {L"border-left-color", Property::BorderLeftColor},
    {L"background-color", Property::BackgroundColor}, {L"background-image", Property::BackgroundImage},
    {L"background-repeat", Property::BackgroundRepeat}, {L"background-position", Property::BackgroundPosition},
    {L"color", Property::Color}, {L"font-family", Property::FontFamily}, {L"font-size", Property::FontSize},
    {L"font-weight", Property::FontWeight}, {L"font-style", Property::FontStyle},
    {L"text-align", Property::TextAlign}, {L"vertical-align", Property::VerticalAlign},
    {L"line-height", Property::LineHeight}, {L"white-space", Property::WhiteSpace},
    {L"text-decoration", Property::TextDecoration}, {L"overflow", Property::Overflow},
    {L"overflow-y", Property::Overflow}, {L"cursor", Property::Cursor}, {L"visibility", Property::Visibility},
    {L"z-index", Property::ZIndex}, {L"table-layout", Property::TableLayout},
    {L"border-spacing", Property::BorderSpacing},
};

const Property kMargins[] = {Property::MarginTop, Property::MarginRight, Property::MarginBottom, Property::MarginLeft};
const Property kPaddings[] = {Property::PaddingTop, Property::PaddingRight, Property::PaddingBottom,
                              Property::PaddingLeft};
const Property kBorderWidths[] = {Property::BorderTopWidth, Property::BorderRightWidth, Property::BorderBottomWidth,
                                  Property::BorderLeftWidth};
const Property kBorderStyles[] = {Property::BorderTopStyle, Property::BorderRightStyle, Property::BorderBottomStyle,
                                  Property::BorderLeftStyle};
const Property kBorderColors[] = {Property::BorderTopColor, Property::BorderRightColor, Property::BorderBottomColor,
                                  Property::BorderLeftColor};

bool IsBorderStyle(const std::wstring& token)
{
    static const wchar_t* styles[] = {L"none", L"hidden", L"solid", L"dashed", L"dotted", L"double",
                                      L"groove", L"ridge", L"inset", L"outset"};
    for (const wchar_t* style : styles) {
        if (token == style) return true;
    }
    return false;
}

bool IsLengthToken(const std::wstring& token)
{
    return (!token.empty() && (iswdigit(token[0]) || token[0] == L'.' || token[0] == L'-')) ||
           token == L"thin" || token == L"medium" || token == L"thick";
}

class DeclarationSink {
public:
    DeclarationSink(std::vector<Declaration>& out, bool important) : out_(out), important_(important) {}
    void Add(Property property, const std::wstring& value) { out_.push_back(Declaration{property, value, important_}); }
    void AddSides(const Property (&properties)[4], const std::vector<std::wstring>& tokens)
    {
        if (tokens.empty() || tokens.size() > 4) return;
        const std::wstring& top = tokens[0];
        const std::wstring& right = tokens.size() > 1 ? tokens[1] : top;
        const std::wstring& bottom = tokens.size() > 2 ? tokens[2] : top;
        const std::wstring& left = tokens.size() > 3 ? tokens[3] : right;
        Add(properties[0], top);
        Add(properties[1], right);
        Add(properties[2], bottom);
        Add(properties[3], left);
    }

private:
    std::vector<Declaration>& out_;
    bool important_;
};

std::wstring ResolveUrls(const std::wstring& value, const std::wstring& baseUrl)
{
    size_t start = Lower(value).find(L"url(");
    if (start == std::wstring::npos) return value;
    size_t end = value.find(L')', start);
    if (end == std::wstring::npos) return value;
    std::wstring inner = Trim(value.substr(start + 4, end - start - 4));
    if (inner.size() >= 2 && (inner[0] == L'"' || inner[0] == L'\'')) inner = inner.substr(1, inner.size() - 2);
    return value.substr(0, start) + L"url(" + ResolveUrl(baseUrl, inner) + L")" + value.substr(end + 1);
}

void Expand(const std::wstring& name, const std::wstring& rawValue, bool important, const std::wstring& baseUrl,
            std::vector<Declaration>& out)
{
    DeclarationSink sink(out, important);
    std::wstring value = ResolveUrls(rawValue, baseUrl);
    for (const auto& longhand : kLonghands) {
        if (name == longhand.name) {
            sink.Add(longhand.property, value);
            return;
        }
    }
    std::vector<std::wstring> tokens = Tokens(value);
    if (name == L"margin") {
        sink.AddSides(kMargins, tokens);
    } else if (name == L"padding") {
        sink.AddSides(kPaddings, tokens);
    } else if (name == L"border-width") {
        sink.AddSides(kBorderWidths, tokens);
    } else if (name == L"border-style") {
        sink.AddSides(kBorderStyles, tokens);
    } else if (name == L"border-color") {
        sink.AddSides(kBorderColors, tokens);
    } else if (name == L"border" || name == L"border-top" || name == L"border-right" || name == L"border-bottom" ||
               name == L"border-left") {
        std::wstring width = L"medium", style = L"none", color = L"currentcolor";
        for (const auto& token : tokens) {
            std::wstring lower = Lower(token);
            if (IsBorderStyle(lower)) {
                style = lower;
            } else if (IsLengthToken(lower)) {
                width = lower;
            } else {
                color = token;
            }
        }
        for (int side = 0; side < 4; ++side) {
            static const wchar_t* sides[] = {L"border-top", L"border-right", L"border-bottom", L"border-left"};
            if (name != L"border" && name != sides[side]) continue;
            sink.Add(kBorderWidths[side], width);
            sink.Add(kBorderStyles[side], style);
            sink.Add(kBorderColors[side], color);
        }
    } else if (name == L"background") {
        std::wstring color = L"transparent", image = L"none", repeat = L"repeat", position;
        for (const auto& token : tokens) {
            std::wstring lower = Lower(token);
            if (lower.compare(0, 4, L"url(") == 0 || lower == L"none") {
                image = token;
            } else if (lower == L"repeat" || lower == L"repeat-x" || lower == L"repeat-y" || lower == L"no-repeat") {
                repeat = lower;
            } else if (lower == L"left" || lower == L"right" || lower == L"top" || lower == L"bottom" ||
                       lower == L"center" || (!lower.empty() && (iswdigit(lower[0]) || lower[0] == L'-'))) {
                position += (position.empty() ? L"" : L" ") + lower;
            } else if (lower != L"scroll" && lower != L"fixed") {
                color = token;
            }
        }
        sink.Add(Property::BackgroundColor, color);
        sink.Add(Property::BackgroundImage, image);
        sink.Add(Property::BackgroundRepeat, repeat);
        sink.Add(Property::BackgroundPosition, position.empty() ? L"0 0" : position);
    } else if (name == L"font") {
        size_t index = 0;
        for (; index < tokens.size(); ++index) {
            std::wstring lower = Lower(tokens[index]);
            if (lower == L"italic" || lower == L"oblique") {
                sink.Add(Property::FontStyle, lower);
            } else if (lower == L"bold" || lower == L"bolder" || lower == L"lighter" ||
                       (lower.size() == 3 && iswdigit(lower[0]) && lower[1] == L'0')) {
                sink.Add(Property::FontWeight, lower);
            } else if (lower != L"normal" && lower != L"small-caps") {
                break;
            }
        }
        if (index >= tokens.size()) return;
        std::wstring size = tokens[index++];
        size_t slash = size.find(L'/');
        if (slash != std::wstring::npos) {
            sink.Add(Property::LineHeight, size.substr(slash + 1));
            size = size.substr(0, slash);
        }
        sink.Add(Property::FontSize, size);
        std::wstring family;
        for (; index < tokens.size(); ++index) family += (family.empty() ? L"" : L" ") + tokens[index];
        if (!family.empty()) sink.Add(Property::FontFamily, family);
    }
}

}  // namespace

std::vector<Declaration> CssParser::ParseDeclarations(const std::wstring& text, const std::wstring& baseUrl)
{
    std::vector<Declaration> out;
    std::wstring clean = StripComments(text);
    size_t position = 0;
    while (position < clean.size()) {
        size_t end = position;
        int depth = 0;
        wchar_t quote = 0;
        for (; end < clean.size(); ++end) {
            wchar_t c = clean[end];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == L'"' || c == L'\'') {
                quote = c;
            } else if (c == L'(') {
                ++depth;
            } else if (c == L')' && depth > 0) {
                --depth;
            } else if (c == L';' && depth == 0) {
                break;
            }
        }
        std::wstring item = clean.substr(position, end - position);
        position = end + 1;
        size_t colon = item.find(L':');
        if (colon == std::wstring::npos) continue;
        std::wstring name = Lower(Trim(item.substr(0, colon)));
        std::wstring value = Trim(item.substr(colon + 1));
        bool important = false;
        size_t bang = value.find(L'!');
        if (bang != std::wstring::npos) {
            important = Lower(Trim(value.substr(bang + 1))) == L"important";
            value = Trim(value.substr(0, bang));
        }
        if (name.empty() || value.empty()) continue;
        Expand(name, value, important, baseUrl, out);
    }
    return out;
}

void CssParser::Parse(const std::wstring& text, const std::wstring& baseUrl, StyleSheet& sheet)
{
    std::wstring clean = StripComments(text);
    size_t position = 0;
    while (position < clean.size()) {
        size_t start = clean.find_first_not_of(L" \t\r\n\f", position);
        if (start == std::wstring::npos) break;
        if (clean.compare(start, 4, L"<!--") == 0 || clean.compare(start, 3, L"-->") == 0) {
            position = start + (clean[start] == L'<' ? 4 : 3);
            continue;
        }
        size_t open = clean.find(L'{', start);
        size_t semicolon = clean.find(L';', start);
        if (clean[start] == L'@' && semicolon < open) {
            position = semicolon + 1;
            continue;
        }
        if (open == std::wstring::npos) break;
        size_t close = open + 1;
        for (int depth = 1; close < clean.size(); ++close) {
            if (clean[close] == L'{') ++depth;
            if (clean[close] == L'}' && --depth == 0) break;
        }
        if (clean[start] != L'@') {
            std::wstring selectors = clean.substr(start, open - start);
            std::vector<Declaration> declarations =
                ParseDeclarations(clean.substr(open + 1, close - open - 1), baseUrl);
            size_t from = 0;
            while (from <= selectors.size()) {
                size_t comma = selectors.find(L',', from);
                if (comma == std::wstring::npos) comma = selectors.size();
                StyleRule rule;
                if (Selector::Parse(Trim(selectors.substr(from, comma - from)), rule.selector)) {
                    rule.declarations = declarations;
                    sheet.Add(std::move(rule));
                }
                from = comma + 1;
            }
        }
        position = close + 1;
    }
}

}  // namespace Html
