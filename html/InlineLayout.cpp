#include <algorithm>

#include "html/BoxGeometry.h"
#include "html/FontCache.h"
#include "html/LayoutEngine.h"

namespace Html {

namespace {

const wchar_t kLineStart = 0;
const wchar_t kAtomicChar = 0xFFFC;

bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f';
}

// Scripts written without spaces between words: a line may break between any two characters.
bool IsIdeographic(wchar_t c)
{
    return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) || c == kAtomicChar;
}

bool NoBreakBefore(wchar_t c)
{
    return wcschr(L")]}.,!?:;%\x3001\x3002\xFF09\xFF0C\xFF0E\x300D\x300F", c) != nullptr && c != 0;
}

bool NoBreakAfter(wchar_t c)
{
    return wcschr(L"([{\xFF08\x300C\x300E", c) != nullptr && c != 0;
}

bool CanBreakBetween(wchar_t before, wchar_t after)
{
    if (before == kLineStart) return false;
    if (IsSpace(before)) return !IsSpace(after);
    if (IsSpace(after)) return false;
    if (NoBreakBefore(after) || NoBreakAfter(before)) return false;
    return IsIdeographic(before) || IsIdeographic(after);
}

}  // namespace

struct Piece {
    enum class Kind { Text, Open, Close, Atomic, Break, Absolute };
    Kind kind;
    Node* node;
    int start = 0;
    int length = 0;
    int width = 0;
    int minWidth = 0;
    int trailing = 0;
    bool breakBefore = false;
};

// Turns the inline content of a block into pieces that stay together, with the places where a
// line may break between them.
class InlineBuilder {
public:
    InlineBuilder(LayoutEngine& engine, bool measuringOnly, int available, const LayoutEngine::Containing* containing)
        : engine_(engine), measuringOnly_(measuringOnly), available_(available), containing_(containing)
    {
    }

    void Add(Node& node)
    {
        if (node.IsText()) {
            AddText(node);
            return;
        }
        const ComputedStyle& style = node.Style();
        if (style.display == Display::None) return;
        if (style.position == Position::Absolute) {
            if (!measuringOnly_) pieces.push_back(Piece{Piece::Kind::Absolute, &node});
            return;
        }
        if (node.Tag() == L"br") {
            node.MutableBox().displayed = true;
            pieces.push_back(Piece{Piece::Kind::Break, &node});
            last_ = kLineStart;
            return;
        }
        if (style.display == Display::Inline && !engine_.IsReplaced(node)) {
            engine_.ComputeEdges(node, available_);
            node.MutableBox().fragments.clear();
            const LayoutBox& box = node.Box();
            Piece open{Piece::Kind::Open, &node};
            open.width = open.minWidth = box.margin.left + box.borderWidth.left + box.padding.left;
            pieces.push_back(open);
            for (const auto& child : node.Children()) Add(*child);
            Piece close{Piece::Kind::Close, &node};
            close.width = close.minWidth = box.margin.right + box.borderWidth.right + box.padding.right;
            pieces.push_back(close);
            node.MutableBox().displayed = true;
            return;
        }
        AddAtomic(node);
    }

    std::vector<Piece> pieces;

private:
    void AddAtomic(Node& node)
    {
        const ComputedStyle& style = node.Style();
        bool blockInInline = style.display != Display::Inline && style.display != Display::InlineBlock;
        Piece piece{Piece::Kind::Atomic, &node};
        bool wrap = !node.Parent() || node.Parent()->Style().whiteSpace == WhiteSpace::Normal;
        piece.breakBefore = blockInInline || (wrap && last_ != kLineStart);
        if (blockInInline) pieces.push_back(Piece{Piece::Kind::Break, nullptr});
        if (measuringOnly_) {
            LayoutEngine::Widths widths = engine_.Intrinsic(node);
            int margins = style.margin[1].Resolve(0, 0) + style.margin[3].Resolve(0, 0);
            piece.width = widths.max + margins;
            piece.minWidth = widths.min + margins;
        } else {
            if (engine_.IsReplaced(node)) {
                engine_.ComputeEdges(node, available_);
                engine_.LayoutReplaced(node, available_);
            } else {
                engine_.ComputeEdges(node, available_);
                int margins = node.Box().margin.Horizontal();
                int width = blockInInline ? -1 : engine_.ShrinkToFit(node, available_ - margins);
                engine_.LayoutBlock(node, 0, 0, *containing_, width);
            }
            const LayoutBox& box = node.Box();
            piece.width = piece.minWidth = box.border.width + box.margin.Horizontal();
        }
        pieces.push_back(piece);
        if (blockInInline) {
            pieces.push_back(Piece{Piece::Kind::Break, nullptr});
            last_ = kLineStart;
        } else {
            last_ = kAtomicChar;
        }
    }

    void AddText(Node& node)
    {
        const ComputedStyle& style = node.Style();
        const Font* font = engine_.FontOf(style);
        TextMeasure& measure = node.Measure();
        if (!measuringOnly_) node.MutableBox().fragments.clear();
        bool pre = style.whiteSpace == WhiteSpace::Pre;
        if (!measure.valid || measure.font != font) {
            measure.text.clear();
            measure.text.reserve(node.Text().size());
            bool space = false;
            for (wchar_t c : node.Text()) {
                if (pre) {
                    measure.text += c == L'\t' ? L' ' : c;
                } else if (IsSpace(c)) {
                    if (!space) measure.text += L' ';
                    space = true;
                } else {
                    measure.text += c == 0xA0 ? 0xA0 : c;
                    space = false;
                }
            }
            engine_.fonts_.Measure(font, measure.text, measure.ends);
            measure.font = font;
            measure.valid = true;
        }
        const std::wstring& text = measure.text;
        bool wrap = style.whiteSpace == WhiteSpace::Normal;
        int position = 0;
        int size = static_cast<int>(text.size());
        while (position < size) {
            if (pre && (text[position] == L'\n' || text[position] == L'\r')) {
                if (text[position] == L'\r' && position + 1 < size && text[position + 1] == L'\n') ++position;
                pieces.push_back(Piece{Piece::Kind::Break, nullptr});
                last_ = kLineStart;
                ++position;
                continue;
            }
            if (!pre && text[position] == L' ' && (last_ == kLineStart || last_ == L' ')) {
                ++position;
                continue;
            }
            int start = position;
            bool breakBefore = wrap && CanBreakBetween(last_, text[start]);
            wchar_t previous = text[position++];
            while (position < size) {
                wchar_t c = text[position];
                if (pre && (c == L'\n' || c == L'\r')) break;
                if (wrap && CanBreakBetween(previous, c)) break;
                previous = c;
                ++position;
            }
            Piece piece{Piece::Kind::Text, &node};
            piece.start = start;
            piece.length = position - start;
            piece.width = piece.minWidth = measure.Width(start, piece.length);
            int spaces = 0;
            while (!pre && spaces < piece.length && text[position - 1 - spaces] == L' ') ++spaces;
            piece.trailing = measure.Width(position - spaces, spaces);
            piece.breakBefore = breakBefore;
            pieces.push_back(piece);
            last_ = previous;
        }
        node.MutableBox().displayed = true;
    }

    LayoutEngine& engine_;
    bool measuringOnly_;
    int available_;
    const LayoutEngine::Containing* containing_;
    wchar_t last_ = kLineStart;
};

namespace {

struct Word {
    int first = 0;
    int last = -1;
    int width = 0;
    int minWidth = 0;
    int trailing = 0;
    bool breakAfter = false;
};

// The last piece of a word that may end in spaces: a word ends with its text, and the closing
// edges of inline elements after the text do not hide the spaces. -1 when the word ends otherwise.
int LastTextPiece(const std::vector<Piece>& pieces, const Word& word)
{
    for (int index = word.last; index >= word.first; --index) {
        if (pieces[index].kind == Piece::Kind::Close) continue;
        return pieces[index].kind == Piece::Kind::Text ? index : -1;
    }
    return -1;
}

std::vector<Word> SplitWords(const std::vector<Piece>& pieces)
{
    std::vector<Word> words;
    auto push = [&](Word& word) {
        int text = LastTextPiece(pieces, word);
        word.trailing = text >= 0 ? pieces[text].trailing : 0;
        words.push_back(word);
    };
    Word word;
    word.first = 0;
    auto close = [&](int next, bool forced) {
        if (word.last >= word.first || forced) {
            word.breakAfter = forced;
            push(word);
        }
        word = Word();
        word.first = next;
    };
    for (int index = 0; index < static_cast<int>(pieces.size()); ++index) {
        const Piece& piece = pieces[index];
        if (piece.kind == Piece::Kind::Break) {
            word.last = index;
            close(index + 1, true);
            continue;
        }
        if (piece.breakBefore && word.last >= word.first) {
            // Opening edges of inline elements go with the word they start.
            int moved = index;
            while (moved - 1 > word.first && pieces[moved - 1].kind == Piece::Kind::Open) --moved;
            Word next;
            next.first = moved;
            for (int back = moved; back < index; ++back) {
                word.width -= pieces[back].width;
                word.minWidth -= pieces[back].minWidth;
                next.width += pieces[back].width;
                next.minWidth += pieces[back].minWidth;
            }
            word.last = moved - 1;
            push(word);
            word = next;
        }
        word.last = index;
        word.width += piece.width;
        word.minWidth += piece.minWidth;
    }
    if (word.last >= word.first) push(word);
    return words;
}

struct Metrics {
    int above = 0;
    int below = 0;
    void Include(int a, int b)
    {
        above = std::max(above, a);
        below = std::max(below, b);
    }
};

}  // namespace

void LayoutEngine::InlineWidths(Node& container, const std::vector<Node*>& run, Widths& widths)
{
    InlineBuilder builder(*this, true, 0, nullptr);
    for (Node* node : run) builder.Add(*node);
    std::vector<Word> words = SplitWords(builder.pieces);
    int line = 0;
    for (const Word& word : words) {
        widths.min = std::max(widths.min, word.minWidth - word.trailing);
        line += word.width;
        widths.max = std::max(widths.max, line - word.trailing);
        if (word.breakAfter) line = 0;
    }
    if (container.Style().whiteSpace != WhiteSpace::Normal) widths.min = widths.max;
}

int LayoutEngine::LayoutInline(Node& container, const std::vector<Node*>& run, int x, int y, int width,
                               const Containing& containing)
{
    InlineBuilder builder(*this, false, width, &containing);
    for (Node* node : run) builder.Add(*node);
    const std::vector<Piece>& pieces = builder.pieces;
    std::vector<Word> words = SplitWords(pieces);

    struct Line {
        int firstWord;
        int lastWord;
        int width;
    };
    std::vector<Line> lines;
    Line current{0, -1, 0};
    for (int index = 0; index < static_cast<int>(words.size()); ++index) {
        const Word& word = words[index];
        if (current.lastWord >= current.firstWord && current.width + word.width - word.trailing > width) {
            lines.push_back(current);
            current = Line{index, index - 1, 0};
        }
        current.lastWord = index;
        current.width += word.width;
        if (word.breakAfter) {
            lines.push_back(current);
            current = Line{index + 1, index, 0};
        }
    }
    if (current.lastWord >= current.firstWord) lines.push_back(current);

    const ComputedStyle& containerStyle = container.Style();
    const Font* strutFont = FontOf(containerStyle);
    int strutHeight = LineHeightOf(containerStyle, strutFont);
    int strutLeading = strutHeight - (strutFont->ascent + strutFont->descent);
    int strutAbove = strutFont->ascent + strutLeading / 2;
    int strutBelow = strutHeight - strutAbove;

    LayoutBox& containerBox = container.MutableBox();
    // Inline elements open on the current line, with the x where their part on it starts and whether
    // they began on it.
    std::vector<std::pair<Node*, int>> open;
    std::vector<bool> openFirst;
    int top = y;
    for (const Line& line : lines) {
        int firstPiece = words[line.firstWord].first;
        int lastPiece = words[line.lastWord].last;
        bool content = false;
        for (int index = firstPiece; index <= lastPiece; ++index) {
            Piece::Kind kind = pieces[index].kind;
            content = content || kind == Piece::Kind::Text || kind == Piece::Kind::Atomic ||
                      (kind == Piece::Kind::Break && pieces[index].node) || pieces[index].width > 0;
        }
        int used = line.width - words[line.lastWord].trailing;
        int offset = 0;
        if (used < width) {
            if (containerStyle.textAlign == TextAlign::Center) offset = (width - used) / 2;
            if (containerStyle.textAlign == TextAlign::Right) offset = width - used;
        }

        Metrics metrics;
        if (content) metrics.Include(strutAbove, strutBelow);
        std::vector<int> positions(lastPiece - firstPiece + 1);
        // The spaces that end the line hang past it: the inline elements closing after them end
        // where the text does.
        int hangingPiece = LastTextPiece(pieces, words[line.lastWord]);
        int penX = x + offset;
        int tallest = 0;
        for (int index = firstPiece; index <= lastPiece; ++index) {
            const Piece& piece = pieces[index];
            positions[index - firstPiece] = penX;
            penX += piece.width - (index == hangingPiece ? piece.trailing : 0);
            if (piece.kind == Piece::Kind::Text || piece.kind == Piece::Kind::Open) {
                const ComputedStyle& style = piece.node->Style();
                const Font* font = FontOf(style);
                int lineHeight = LineHeightOf(style, font);
                int leading = lineHeight - (font->ascent + font->descent);
                int above = font->ascent + leading / 2;
                metrics.Include(above, lineHeight - above);
            } else if (piece.kind == Piece::Kind::Atomic) {
                const LayoutBox& box = piece.node->Box();
                int height = box.border.height + box.margin.Vertical();
                switch (piece.node->Style().verticalAlign) {
                case VerticalAlign::Middle: {
                    int half = strutFont->xHeight / 2;
                    metrics.Include(height / 2 + half, height - height / 2 - half);
                    break;
                }
                case VerticalAlign::Top: case VerticalAlign::Bottom:
                    tallest = std::max(tallest, height);
                    break;
                case VerticalAlign::TextTop:
                    metrics.Include(strutFont->ascent, height - strutFont->ascent);
                    break;
                case VerticalAlign::TextBottom:
                    metrics.Include(height - strutFont->descent, strutFont->descent);
                    break;
                default: {
                    int above = box.baseline >= 0 ? box.margin.top + box.baseline - box.border.y : height;
                    if (piece.node->Style().overflow != Overflow::Visible) above = height;
                    metrics.Include(above, height - above);
                }
                }
            }
        }
        if (metrics.above + metrics.below < tallest) metrics.below = tallest - metrics.above;
        int lineHeight = metrics.above + metrics.below;
        int baseline = top + metrics.above;
        if (containerBox.baseline < 0 && content) containerBox.baseline = baseline;

        for (auto& entry : open) entry.second = x + offset;
        auto emitFragment = [&](Node* node, int startX, int endX, bool first, bool last) {
            const Font* font = FontOf(node->Style());
            LayoutBox& box = node->MutableBox();
            InlineFragment fragment;
            fragment.first = first;
            fragment.last = last;
            int left = first ? box.margin.left : 0;
            int right = last ? box.margin.right : 0;
            fragment.box = Rect{startX + left, baseline - font->ascent - box.padding.top - box.borderWidth.top,
                                endX - startX - left - right,
                                font->ascent + font->descent + box.padding.Vertical() + box.borderWidth.Vertical()};
            box.fragments.push_back(fragment);
            box.border = box.fragments.size() == 1 ? fragment.box : box.border.Union(fragment.box);
        };
        for (int index = firstPiece; index <= lastPiece; ++index) {
            const Piece& piece = pieces[index];
            int pieceX = positions[index - firstPiece];
            switch (piece.kind) {
            case Piece::Kind::Text: {
                TextFragment fragment;
                fragment.node = piece.node;
                fragment.style = &piece.node->Style();
                fragment.font = FontOf(piece.node->Style());
                fragment.start = piece.start;
                fragment.length = piece.length;
                fragment.x = pieceX;
                fragment.baseline = baseline;
                fragment.width = piece.width;
                containerBox.texts.push_back(fragment);
                LayoutBox& textBox = piece.node->MutableBox();
                Rect textRect{pieceX, baseline - fragment.font->ascent, piece.width - piece.trailing,
                              fragment.font->ascent + fragment.font->descent};
                textBox.border = textBox.fragments.empty() ? textRect : textBox.border.Union(textRect);
                textBox.fragments.push_back(InlineFragment{textRect, true, true});
                break;
            }
            case Piece::Kind::Open:
                open.emplace_back(piece.node, pieceX);
                openFirst.push_back(true);
                break;
            case Piece::Kind::Close: {
                for (size_t back = open.size(); back-- > 0;) {
                    if (open[back].first != piece.node) continue;
                    emitFragment(piece.node, open[back].second, pieceX + piece.width, openFirst[back], true);
                    open.erase(open.begin() + static_cast<long>(back));
                    openFirst.erase(openFirst.begin() + static_cast<long>(back));
                    break;
                }
                break;
            }
            case Piece::Kind::Atomic: {
                LayoutBox& box = piece.node->MutableBox();
                int height = box.border.height + box.margin.Vertical();
                int targetTop;
                switch (piece.node->Style().verticalAlign) {
                case VerticalAlign::Middle:
                    targetTop = baseline - strutFont->xHeight / 2 - height / 2;
                    break;
                case VerticalAlign::Top: targetTop = top; break;
                case VerticalAlign::Bottom: targetTop = top + lineHeight - height; break;
                case VerticalAlign::TextTop: targetTop = baseline - strutFont->ascent; break;
                case VerticalAlign::TextBottom: targetTop = baseline + strutFont->descent - height; break;
                default: {
                    int above = box.baseline >= 0 ? box.margin.top + box.baseline - box.border.y : height;
                    if (piece.node->Style().overflow != Overflow::Visible) above = height;
                    targetTop = baseline - above;
                }
                }
                TranslateBox(*piece.node, pieceX + box.margin.left - box.border.x, targetTop + box.margin.top - box.border.y);
                containerBox.contentBottom = std::max(containerBox.contentBottom, box.contentBottom);
                break;
            }
            case Piece::Kind::Absolute:
                absolutes_.back().push_back(PendingAbsolute{piece.node, pieceX, top});
                break;
            case Piece::Kind::Break:
                break;
            }
        }
        int lineEnd = penX;
        for (size_t index = 0; index < open.size(); ++index) {
            emitFragment(open[index].first, open[index].second, lineEnd, openFirst[index], false);
            openFirst[index] = false;
        }
        top += lineHeight;
    }
    return top - y;
}

}  // namespace Html
