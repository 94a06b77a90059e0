#include "html/Page.h"

#include <algorithm>
#include <map>

#include "core/Exception.h"
#include "core/String.h"
#include "core/Trace.h"
#include "html/BoxGeometry.h"
#include "html/CssParser.h"
#include "html/FontCache.h"
#include "html/ImageCache.h"
#include "html/LayoutEngine.h"
#include "html/Painter.h"
#include "html/ResourceLoader.h"
#include "html/StyleResolver.h"
#include "html/StyleSheet.h"
#include "html/XhtmlParser.h"

namespace Html {

namespace {

void CollectBoxes(const Node& node, std::vector<Rect>& boxes)
{
    boxes.push_back(node.IsDisplayed() ? node.Box().border : Rect{});
    for (const auto& child : node.Children()) CollectBoxes(*child, boxes);
}

// What must be repainted when a box moved or resized. A box that only grew or shrank at the bottom
// needs only the strip between its old and new bottom edges (with its bottom border), unless its
// background image is placed from the bottom.
Rect ChangedArea(const Node& node, const Rect& before, const Rect& after)
{
    if (before.IsEmpty() || after.IsEmpty() || before.x != after.x || before.y != after.y ||
        before.width != after.width) {
        return before.Union(after);
    }
    const ComputedStyle& style = node.Style();
    bool anchoredBelow = !style.backgroundImage.empty() && !(style.backgroundY.IsPercent() && style.backgroundY.value == 0) &&
                         !(style.backgroundY.unit == Length::Unit::Px);
    if (anchoredBelow) return before.Union(after);
    int border = node.Box().borderWidth.bottom;
    int top = std::min(before.Bottom(), after.Bottom()) - border;
    return Rect{after.x, top, after.width, std::max(before.Bottom(), after.Bottom()) - top};
}

void CompareBoxes(const Node& node, const std::vector<Rect>& old, size_t& index, Rect& damage)
{
    Rect now = node.IsDisplayed() ? node.Box().border : Rect{};
    if (index < old.size() && old[index] != now) damage = damage.Union(ChangedArea(node, old[index], now));
    ++index;
    for (const auto& child : node.Children()) CompareBoxes(*child, old, index, damage);
}

void CollectTextInputs(Node& node, std::vector<Node*>& out)
{
    if (node.IsText() || !node.IsDisplayed()) return;
    if (node.Tag() == L"input" && node.IsTextEdit()) out.push_back(&node);
    for (const auto& child : node.Children()) CollectTextInputs(*child, out);
}

std::wstring DecodeText(const std::string& bytes)
{
    size_t skip = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    return System::String::FromUtf8(bytes.data() + skip, static_cast<int>(bytes.size() - skip)).GetStdString();
}

}  // namespace

Page::Page() = default;
Page::~Page() = default;

void Page::LoadFromResource(HMODULE module, UINT id)
{
    auto loader = std::make_unique<ModuleResourceLoader>(module);
    std::string bytes;
    if (!loader->LoadPage(id, bytes)) {
        throw new System::ArgumentException(System::String::Format(L"The module has no page resource %u.", id));
    }
    Load(bytes, std::move(loader));
}

void Page::LoadFromFile(const std::wstring& path)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) throw new System::IO::IOException(L"The page file does not exist: " + path);
    size_t slash = path.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
    Load(bytes, std::make_unique<FileResourceLoader>(folder));
}

void Page::Load(const std::string& utf8, std::unique_ptr<ResourceLoader> loader)
{
    loaded_ = false;
    bar_ = BarPress{};
    selection_ = TextSelection{};
    anchored_ = false;
    animated_.clear();
    animatedLayout_ = 0;
    animatedKnown_ = 0;
    XhtmlParser::ParsePage(&document_, utf8);
    loader_ = std::move(loader);
    fonts_ = std::make_unique<FontCache>();
    images_ = std::make_unique<ImageCache>(*loader_);
    sheet_ = std::make_unique<StyleSheet>();
    resolver_ = std::make_unique<StyleResolver>();
    layout_ = std::make_unique<LayoutEngine>(*fonts_, *images_);
    LoadStyleSheets(*document_.Root());
    resolver_->SetAuthorSheet(sheet_.get());
    events_ = std::make_unique<EventRouter>(document_, scripts_, [this](int x, int y) { return HitTest(x, y); });
    loaded_ = true;
    Relayout();
    document_.TakeChangedNodes();
    document_.TakeOldDamage();
}

void Page::LoadStyleSheets(Node& node)
{
    if (node.IsText()) return;
    if (node.Tag() == L"style") {
        CssParser::Parse(node.InnerText(), std::wstring(), *sheet_);
    } else if (node.Tag() == L"link" && node.GetAttribute(L"rel").find(L"stylesheet") != std::wstring::npos) {
        std::wstring url = ResolveUrl(std::wstring(), node.GetAttribute(L"href"));
        std::string bytes;
        if (LoadUrl(*loader_, url, bytes)) {
            CssParser::Parse(DecodeText(bytes), url, *sheet_);
        } else {
            System::Diagnostics::Trace::WriteLine(L"Page style sheet not found: " + url);
        }
    }
    for (const auto& child : node.Children()) LoadStyleSheets(*child);
}

bool Page::CallScript(const std::wstring& name, const std::vector<std::wstring>& arguments)
{
    return loaded_ && scripts_.Call(name, arguments);
}

void Page::SetViewport(int width, int height)
{
    viewportWidth_ = std::max(0, width);
    viewportHeight_ = std::max(0, height);
    if (loaded_) {
        Relayout();
        if (invalidate_) invalidate_(Rect{0, 0, viewportWidth_, std::max(viewportHeight_, contentHeight_)});
    }
}

int Page::ContentHeight()
{
    Update();
    return contentHeight_;
}

void Page::Relayout()
{
    Node* root = document_.Root();
    resolver_->Resolve(*root);
    contentHeight_ = layout_->Layout(*root, viewportWidth_, viewportHeight_);
    document_.MarkLaidOut();
    ++layouts_;
    selection_.Revalidate(document_);
}

void Page::Invalidate(const Rect& area)
{
    if (invalidate_ && !area.IsEmpty()) invalidate_(area);
}

void Page::Update()
{
    if (!loaded_ || !document_.NeedsLayout()) return;
    Rect damage = document_.TakeOldDamage();
    std::vector<Node*> changed = document_.TakeChangedNodes();
    std::vector<Rect> old;
    CollectBoxes(*document_.Root(), old);
    Relayout();
    size_t index = 0;
    CompareBoxes(*document_.Root(), old, index, damage);
    for (Node* node : changed) damage = damage.Union(SubtreeBounds(*node));
    if (invalidate_ && !damage.IsEmpty()) invalidate_(damage);
}

void Page::Paint(HDC dc, const Rect& area, int originX, int originY)
{
    if (!loaded_) return;
    Update();
    Painter painter(dc, *images_, originX, originY);
    painter.SetSelection(&selection_);
    painter.SetObserver(&paintObserver_);
    painter.SetPressedPart(PressedScroller(), bar_.part);
    painter.Paint(*document_.Root(), area);
}

// flowVisible and absoluteVisible: whether the point is inside the clip that applies to the
// node's flow content and to absolute boxes whose containing block lies further out.
Node* Page::HitTestNode(Node& node, int x, int y, bool flowVisible, bool absoluteVisible)
{
    const LayoutBox& box = node.Box();
    if (node.IsText()) {
        if (!flowVisible) return nullptr;
        for (const auto& fragment : box.fragments) {
            if (fragment.box.Contains(x, y)) return &node;
        }
        return nullptr;
    }
    if (!node.IsDisplayed() || node.Style().display == Display::None) return nullptr;
    const ComputedStyle& style = node.Style();
    bool visible = style.position == Position::Absolute ? absoluteVisible : flowVisible;
    if (visible && style.visible && box.ScrollBarBox().Contains(x, y)) return &node;
    bool childFlow = visible && (style.overflow == Overflow::Visible || box.ClipBox().Contains(x, y));
    bool childAbsolute = style.IsPositioned() || !node.Parent() ? childFlow : absoluteVisible;
    if (childFlow || childAbsolute) {
        std::vector<Node*> positioned;
        for (const auto& child : node.Children()) {
            if (child->IsElement() && child->Style().IsPositioned()) positioned.push_back(child.get());
        }
        // Topmost first: higher z-index, and among equals the later one.
        std::reverse(positioned.begin(), positioned.end());
        std::stable_sort(positioned.begin(), positioned.end(),
                         [](const Node* a, const Node* b) { return a->Style().zIndex > b->Style().zIndex; });
        for (Node* child : positioned) {
            if (Node* hit = HitTestNode(*child, x, y, childFlow, childAbsolute)) return hit->IsText() ? &node : hit;
        }
        for (auto it = node.Children().rbegin(); it != node.Children().rend(); ++it) {
            Node& child = **it;
            if (child.IsElement() && child.Style().IsPositioned()) continue;
            if (Node* hit = HitTestNode(child, x, y, childFlow, childAbsolute)) return hit->IsText() ? &node : hit;
        }
    }
    if (!visible || !style.visible) return nullptr;
    if (box.fragments.empty()) return box.border.Contains(x, y) ? &node : nullptr;
    for (const auto& fragment : box.fragments) {
        if (fragment.box.Contains(x, y)) return &node;
    }
    return nullptr;
}

Node* Page::HitTest(int x, int y)
{
    if (!loaded_) return nullptr;
    Update();
    Node* hit = HitTestNode(*document_.Root(), x, y, true, true);
    // The root covers the whole viewport, as a browser's document does.
    if (!hit && x >= 0 && y >= 0 && x < viewportWidth_ && y < std::max(viewportHeight_, contentHeight_)) {
        hit = document_.Body();
    }
    return hit;
}

Rect Page::VisibleBox(const Node& node)
{
    Update();
    if (!node.IsDisplayed()) return Rect{};
    return VisibleRect(node, node.Box().border);
}

bool Page::OnScrollBar(Node* node, int x, int y) const
{
    return node && node->Box().ScrollBarBox().Contains(x, y);
}

LPCWSTR Page::CursorAt(int x, int y)
{
    Node* hit = HitTest(x, y);
    if (OnScrollBar(hit, x, y)) return IDC_ARROW;
    for (Node* node = hit; node; node = node->Parent()) {
        switch (node->Style().cursor) {
        case Cursor::Pointer: return IDC_HAND;
        case Cursor::Text: return IDC_IBEAM;
        case Cursor::Move: return IDC_SIZEALL;
        case Cursor::Default: return IDC_ARROW;
        case Cursor::Auto: break;
        }
        if (node->Tag() == L"a" && node->HasAttribute(L"href")) return IDC_HAND;
        if (node->IsTextEdit()) return IDC_IBEAM;
    }
    return IDC_ARROW;
}

std::vector<Node*> Page::TextInputs()
{
    std::vector<Node*> inputs;
    if (!loaded_) return inputs;
    Update();
    CollectTextInputs(*document_.Root(), inputs);
    return inputs;
}

Node* Page::PressedScroller()
{
    if (bar_.scroller && bar_.removals != document_.RemovalCount() &&
        !document_.Contains(bar_.scroller, bar_.serial)) {
        bar_.scroller = nullptr;
    }
    return bar_.scroller;
}

bool Page::ScrollTo(Node& scroller, int top)
{
    LayoutBox& box = scroller.MutableBox();
    top = std::min(std::max(0, top), box.MaxScroll());
    if (top == box.scrollTop) return false;
    ShiftContent(scroller, box.scrollTop - top);
    box.scrollTop = top;
    UpdateInkBounds(*document_.Root());
    Invalidate(VisibleRect(scroller, box.PaddingBox()));
    if (scrolled_) scrolled_(scroller);
    return true;
}

namespace {

// A page of a box: what it shows, less a line that stays in view.
int PageStep(const LayoutBox& box)
{
    return std::max(box.scrollLine, box.ClipBox().height - box.scrollLine);
}

}  // namespace

bool Page::PressScrollBar(int x, int y)
{
    Node* scroller = HitTest(x, y);
    if (!OnScrollBar(scroller, x, y)) return false;
    const LayoutBox& box = scroller->Box();
    ScrollBarLayout layout = LayOutScrollBar(box);
    bar_ = BarPress{true, scroller, layout.PartAt(x, y), y - layout.thumb.y, scroller->Serial(),
                    document_.RemovalCount()};
    switch (bar_.part) {
    case ScrollBarPart::LineUp: ScrollTo(*scroller, box.scrollTop - box.scrollLine); break;
    case ScrollBarPart::LineDown: ScrollTo(*scroller, box.scrollTop + box.scrollLine); break;
    case ScrollBarPart::PageUp: ScrollTo(*scroller, box.scrollTop - PageStep(box)); break;
    case ScrollBarPart::PageDown: ScrollTo(*scroller, box.scrollTop + PageStep(box)); break;
    case ScrollBarPart::Thumb: case ScrollBarPart::None: break;
    }
    // The held part shows pushed.
    Invalidate(VisibleRect(*scroller, layout.bar));
    return true;
}

void Page::ReleaseScrollBar()
{
    if (!bar_.held) return;
    Node* scroller = PressedScroller();
    bar_ = BarPress{};
    if (scroller) Invalidate(VisibleRect(*scroller, scroller->Box().ScrollBarBox()));
}

void Page::ExtendSelection(int x, int y)
{
    const Node& root = *document_.Root();
    if (!anchored_) {
        anchor_ = TextSelection::PositionAt(root, pressX_, pressY_);
        anchorRemovals_ = document_.RemovalCount();
        anchored_ = true;
    }
    // A handler took the text where the selection began off the page: nothing is selected.
    if (anchor_.node && anchorRemovals_ != document_.RemovalCount() &&
        !document_.Contains(anchor_.node, anchor_.serial)) {
        anchor_ = TextSelection::Position{};
    }
    anchorRemovals_ = document_.RemovalCount();
    Invalidate(selection_.Select(root, anchor_, TextSelection::PositionAt(root, x, y)));
}

void Page::MouseMove(int x, int y)
{
    if (!loaded_) return;
    if (bar_.held) {
        Node* scroller = PressedScroller();
        if (scroller && bar_.part == ScrollBarPart::Thumb) {
            Update();
            ScrollBarLayout layout = LayOutScrollBar(scroller->Box());
            ScrollTo(*scroller, layout.ScrollForThumb(y - bar_.grab, scroller->Box().MaxScroll()));
        }
        return;
    }
    events_->MouseMove(x, y);
    if (events_->IsSelecting()) ExtendSelection(x, y);
}

void Page::MouseDown(int x, int y)
{
    if (!loaded_) return;
    ReleaseScrollBar();
    if (PressScrollBar(x, y)) return;
    Invalidate(selection_.Clear(*document_.Root()));
    pressX_ = x;
    pressY_ = y;
    anchored_ = false;
    events_->MouseDown(x, y);
}

void Page::MouseUp(int x, int y)
{
    if (!loaded_) return;
    if (bar_.held) {
        ReleaseScrollBar();
        return;
    }
    events_->MouseUp(x, y);
}

void Page::DoubleClick(int x, int y)
{
    if (!loaded_) return;
    // The second press of a double click on a bar scrolls once more, as the system's bars do.
    ReleaseScrollBar();
    if (PressScrollBar(x, y)) return;
    events_->DoubleClick(x, y);
}

void Page::MouseLeave()
{
    if (!loaded_) return;
    ReleaseScrollBar();
    events_->MouseLeave();
}

bool Page::MouseWheel(int x, int y, int delta)
{
    if (!loaded_ || delta == 0) return false;
    UINT lines = 3;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) lines = 3;
    for (Node* node = HitTest(x, y); node; node = node->Parent()) {
        const LayoutBox& box = node->Box();
        if (!box.scrollBar || !box.PaddingBox().Contains(x, y)) continue;
        int step = lines == WHEEL_PAGESCROLL ? PageStep(box) : static_cast<int>(lines) * box.scrollLine;
        int amount = MulDiv(-delta, step, WHEEL_DELTA);
        if (amount != 0 && ScrollTo(*node, box.scrollTop + amount)) return true;
    }
    return false;
}

std::wstring Page::SelectedText()
{
    if (!loaded_) return std::wstring();
    Update();
    return selection_.Text(*document_.Root());
}

void Page::CollectAnimated(Node& node)
{
    if (node.IsText() || !node.IsDisplayed()) return;
    const ComputedStyle& style = node.Style();
    auto add = [this, &node](const std::wstring& url) {
        Image* image = images_->Get(ResolveUrl(std::wstring(), url));
        if (image && image->IsAnimated()) animated_.emplace_back(&node, image);
    };
    if (style.visible && node.Tag() == L"img") add(node.GetAttribute(L"src"));
    if (style.visible && !style.backgroundImage.empty()) add(style.backgroundImage);
    for (const auto& child : node.Children()) CollectAnimated(*child);
}

DWORD Page::Animate(DWORD now)
{
    if (!loaded_) return INFINITE;
    Update();
    // Looked for once per layout: a page without animations costs nothing after that.
    if (animatedLayout_ != layouts_ || animatedKnown_ != images_->Animated().size()) {
        animated_.clear();
        CollectAnimated(*document_.Root());
        animatedLayout_ = layouts_;
        animatedKnown_ = images_->Animated().size();
    }
    std::map<Image*, std::vector<Rect>> shown;
    for (const auto& entry : animated_) {
        Rect visible = VisibleRect(*entry.first, entry.first->Box().border);
        if (!visible.IsEmpty()) shown[entry.second].push_back(visible);
    }
    DWORD wait = INFINITE;
    for (Image* image : images_->Animated()) {
        auto found = shown.find(image);
        if (found == shown.end()) {
            image->Pause();
            continue;
        }
        if (image->Advance(now)) {
            for (const Rect& area : found->second) Invalidate(area);
        }
        wait = std::min(wait, image->Remaining(now));
    }
    return wait;
}

}  // namespace Html
