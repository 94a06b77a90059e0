#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/Document.h"
#include "html/EventRouter.h"
#include "html/ScriptRegistry.h"

namespace Html {

class FontCache;
class ImageCache;
class LayoutEngine;
class ResourceLoader;
class StyleResolver;
class StyleSheet;

// A loaded page as a host window sees it: load, lay out for a viewport, paint, hit-test, route
// pointer input to the page's script and the host, and tell the host which area to repaint after
// the page changed. COM must be initialised on the thread (images are decoded with WIC).
class Page {
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

    // Paints area (page coordinates) into dc, page point p at device point p - origin. Updates first.
    void Paint(HDC dc, const Rect& area, int originX = 0, int originY = 0);
    // The element under a page point: the deepest displayed, visible one; null outside the page.
    Node* HitTest(int x, int y);
    // The cursor the element under a point asks for (IDC_ARROW, IDC_HAND, IDC_IBEAM, ...).
    LPCWSTR CursorAt(int x, int y);
    // Pointer input from the host, in page coordinates. The page handles its own parts (scroll
    // bars, selection) and routes the rest to its events.
    void MouseMove(int x, int y);
    void MouseDown(int x, int y);
    void MouseUp(int x, int y);
    void DoubleClick(int x, int y);
    void MouseLeave();
    // True when the wheel scrolled something.
    bool MouseWheel(int x, int y, int delta);
    // Advances animated images to now (GetTickCount milliseconds); returns the milliseconds until
    // the next frame is due, INFINITE when nothing animates.
    DWORD Animate(DWORD now);

    // Text inputs the host covers with edit controls, in document order.
    std::vector<Node*> TextInputs();

private:
    void LoadStyleSheets(Node& node);
    void Relayout();
    Node* HitTestNode(Node& node, int x, int y, bool clipped);

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
    bool loaded_ = false;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
    int contentHeight_ = 0;
};

}  // namespace Html
