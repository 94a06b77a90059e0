#pragma once

#include <functional>
#include <string>
#include <vector>

#include "html/HtmlApi.h"
#include "html/Node.h"

namespace Html {

class Document;
class Node;
class ScriptRegistry;

enum class EventType { MouseOver, MouseOut, MouseDown, MouseUp, Click, DoubleClick, SelectStart, DragStart };

// The attribute that holds an event's handler ("onclick").
HTML_API const wchar_t* EventAttribute(EventType type);

// One event on its way from the target up to the root.
struct Event {
    EventType type;
    Node* target = nullptr;
    Node* current = nullptr;
    int x = 0;
    int y = 0;
    // Set by a handler that returns false: the default action (selection, drag) does not happen.
    bool cancelled = false;
    // Set by a handler to stop the event from going further up.
    bool stopped = false;
};

// Turns pointer input into page events on the element under the pointer, bubbling to its
// ancestors. At each element the event attribute runs first, then the host's listener.
class HTML_API EventRouter {
public:
    using HitTest = std::function<Node*(int x, int y)>;
    using Listener = std::function<void(Event& event)>;

    EventRouter(Document& document, const ScriptRegistry& scripts, HitTest hitTest);

    void SetListener(Listener listener) { listener_ = std::move(listener); }

    void MouseMove(int x, int y);
    void MouseDown(int x, int y);
    void MouseUp(int x, int y);
    void DoubleClick(int x, int y);
    // The pointer left the page.
    void MouseLeave();

    // Sends an event to target and its ancestors; false when a handler cancelled it.
    bool Dispatch(EventType type, Node* target, int x, int y);

    Node* Hovered();
    // Whether the current press started a selection that no handler cancelled.
    bool IsSelecting() const { return selecting_; }

private:
    // A node the router keeps between calls, with the serial that tells it from a successor.
    struct Held {
        Node* node = nullptr;
        unsigned long long serial = 0;
        void Set(Node* to)
        {
            node = to;
            serial = to ? to->Serial() : 0;
        }
    };

    void Revalidate();
    Node* Valid(const Held& held);

    Document& document_;
    const ScriptRegistry& scripts_;
    HitTest hitTest_;
    Listener listener_;
    Held hovered_;
    Held pressed_;
    int pressX_ = 0;
    int pressY_ = 0;
    bool pressStarted_ = false;
    bool selecting_ = false;
    unsigned removals_ = 0;
};

}  // namespace Html
