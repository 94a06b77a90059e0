#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/Document.h"
#include "html/EventRouter.h"
#include "html/HtmlApi.h"
#include "html/Painter.h"
#include "html/ScriptRegistry.h"
#include "html/ScrollBar.h"
#include "html/TextSelection.h"

namespace Html {

class FontCache;
struct Image;
class ImageCache;
class LayoutEngine;
class ResourceLoader;
class StyleResolver;
class StyleSheet;

// A loaded page as a host window sees it: load, lay out for a viewport, paint, hit-test, route
// pointer input to the page's script and the host, and tell the host which area to repaint after
// the page changed. COM must be initialised on the thread (images are decoded with WIC).
//
// Page coordinates are the page's own pixels from the top left of its content; a host that
// scrolls the whole page passes its offset as the paint origin. Painting, hit testing, the
// invalidation callback and Node::Box() all use them, with the scrolling of overflow: auto boxes
// already applied: when a box scrolls, the boxes inside it move.
class HTML_API Page {
public:
    Page();
    ~Page();
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // The page is an RT_HTML resource with a numeric id; its style sheets and images are RT_HTML
    // resources of the same module named by relative path. Throws ArgumentException when the
    // module has no such page and FormatException when it is not well-formed.
    void LoadFromResource(HMODULE module, UINT id);
    // A page file; its style sheets and images are read relative to its folder.
    void LoadFromFile(const std::wstring& path);
    // Page bytes (UTF-8 XHTML) with the loader of its resources.
    void Load(const std::string& utf8, std::unique_ptr<ResourceLoader> loader);
    bool IsLoaded() const { return loaded_; }

    Document& GetDocument() { return document_; }
    Node* GetElementById(const std::wstring& id) { return document_.GetElementById(id); }
    ScriptRegistry& Scripts() { return scripts_; }
    EventRouter& Events() { return *events_; }
    // Calls a registered page function; false when the page is not loaded or has none by that name.
    bool CallScript(const std::wstring& name, const std::vector<std::wstring>& arguments);

    void SetViewport(int width, int height);
    int ViewportWidth() const { return viewportWidth_; }
    int ViewportHeight() const { return viewportHeight_; }
    // Height of the laid-out content, for scrolling.
    int ContentHeight();

    // Applies the changes made through the DOM since the last update: styles, layout, and one
    // call of the invalidation callback with the area that changed on screen.
    void Update();
    // Told the page area to repaint after an update (page coordinates).
    void SetInvalidateCallback(std::function<void(const Rect&)> callback) { invalidate_ = std::move(callback); }
    // Told once after the first DOM change that follows an update, so the host can schedule Update.
    void SetChangeCallback(std::function<void()> callback) { document_.SetChangeListener(std::move(callback)); }
    // Told when C++ sets an input's value, so the host can move it into its edit control.
    void SetValueCallback(std::function<void(Node&)> callback) { document_.SetValueListener(std::move(callback)); }
    // Told after the content of a box scrolled, so the host can move what it placed over the page
    // (the edit controls of the text inputs inside it).
    void SetScrollCallback(std::function<void(Node&)> callback) { scrolled_ = std::move(callback); }
    // Told about every element box and text run that painting draws.
    void SetPaintObserver(PaintObserver observer) { paintObserver_ = std::move(observer); }

    // Paints area (page coordinates) into dc, page point p at device point p - origin. Updates first.
    // Only the boxes and text runs that meet the area are drawn.
    void Paint(HDC dc, const Rect& area, int originX = 0, int originY = 0);
    // The element under a page point: the deepest displayed, visible one; null outside the page.
    // Over a scroll bar it is the box that owns the bar.
    Node* HitTest(int x, int y);
    // The part of a node's border box the page shows: what scrolling or clipping boxes around it
    // cut off is left out; empty when it is out of sight. Hosts clip edit controls to it.
    Rect VisibleBox(const Node& node);
    // The cursor the element under a point asks for (IDC_ARROW, IDC_HAND, IDC_IBEAM, ...).
    LPCWSTR CursorAt(int x, int y);
    // Pointer input from the host, in page coordinates. The page handles its own parts (scroll
    // bars, selection) and routes the rest to its events. A press on a scroll bar belongs to the
    // bar until the button is released (hosts capture the mouse meanwhile); leaving the page lets
    // go of it. A press and move that starts a selection nobody cancelled selects text, which
    // stays selected until the next press.
    void MouseMove(int x, int y);
    void MouseDown(int x, int y);
    void MouseUp(int x, int y);
    void DoubleClick(int x, int y);
    void MouseLeave();
    // Scrolls the innermost scrolling box under the point that can still move that way, by the
    // system's lines per notch (delta as WM_MOUSEWHEEL gives it). True when something scrolled.
    bool MouseWheel(int x, int y, int delta);
    // Advances animated images to now (GetTickCount milliseconds), invalidating the boxes that show
    // them; returns the milliseconds until the next frame is due, INFINITE when nothing on show
    // animates. Hosts call it again after the page changed, since that may show an animation.
    DWORD Animate(DWORD now);

    // The text the user selected, lines separated by "\r\n"; empty when there is none.
    std::wstring SelectedText();

    // Text inputs the host covers with edit controls, in document order.
    std::vector<Node*> TextInputs();

private:
    // A press on a scroll bar, held until the button is released.
    struct BarPress {
        bool held = false;
        Node* scroller = nullptr;
        ScrollBarPart part = ScrollBarPart::None;
        // Where in the thumb it was grabbed.
        int grab = 0;
        unsigned long long serial = 0;
        unsigned removals = 0;
    };

    void LoadStyleSheets(Node& node);
    void Relayout();
    void Invalidate(const Rect& area);
    Node* HitTestNode(Node& node, int x, int y, bool flowVisible, bool absoluteVisible);
    bool OnScrollBar(Node* node, int x, int y) const;
    bool PressScrollBar(int x, int y);
    void ReleaseScrollBar();
    Node* PressedScroller();
    bool ScrollTo(Node& scroller, int top);
    void ExtendSelection(int x, int y);
    void CollectAnimated(Node& node);

    Document document_;
    ScriptRegistry scripts_;
    std::unique_ptr<EventRouter> events_;
    std::unique_ptr<ResourceLoader> loader_;
    std::unique_ptr<FontCache> fonts_;
    std::unique_ptr<ImageCache> images_;
    std::unique_ptr<StyleSheet> sheet_;
    std::unique_ptr<StyleResolver> resolver_;
    std::unique_ptr<LayoutEngine> layout_;
    std::function<void(const Rect&)> invalidate_;
    std::function<void(Node&)> scrolled_;
    PaintObserver paintObserver_;
    bool loaded_ = false;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
    int contentHeight_ = 0;
    unsigned layouts_ = 0;

    BarPress bar_;
    TextSelection selection_;
    int pressX_ = 0;
    int pressY_ = 0;
    bool anchored_ = false;
    TextSelection::Position anchor_;
    unsigned anchorRemovals_ = 0;

    // The displayed elements that show an animated image, as of layout pass animatedLayout_ and
    // the first animatedKnown_ animated images.
    std::vector<std::pair<Node*, Image*>> animated_;
    unsigned animatedLayout_ = 0;
    size_t animatedKnown_ = 0;
};

}  // namespace Html
