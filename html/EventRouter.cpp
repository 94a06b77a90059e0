#include "html/EventRouter.h"

#include <windows.h>

#include <cstdlib>

#include "html/Document.h"
#include "html/ScriptRegistry.h"

namespace Html {

namespace {

// A press on an image or inside a link drags that element; elsewhere it selects text.
bool StartsDrag(const Node* node)
{
    for (; node; node = node->Parent()) {
        if (node->Tag() == L"img") return true;
        if (node->Tag() == L"a" && node->HasAttribute(L"href")) return true;
    }
    return false;
}

}  // namespace

const wchar_t* EventAttribute(EventType type)
{
    switch (type) {
    case EventType::MouseOver: return L"onmouseover";
    case EventType::MouseOut: return L"onmouseout";
    case EventType::MouseDown: return L"onmousedown";
    case EventType::MouseUp: return L"onmouseup";
    case EventType::Click: return L"onclick";
    case EventType::DoubleClick: return L"ondblclick";
    case EventType::SelectStart: return L"onselectstart";
    case EventType::DragStart: return L"ondragstart";
    }
    return L"";
}

EventRouter::EventRouter(Document& document, const ScriptRegistry& scripts, HitTest hitTest)
    : document_(document), scripts_(scripts), hitTest_(std::move(hitTest)), removals_(document.RemovalCount())
{
}

Node* EventRouter::Valid(const Held& held)
{
    return held.node && document_.Contains(held.node, held.serial) ? held.node : nullptr;
}

void EventRouter::Revalidate()
{
    if (removals_ == document_.RemovalCount()) return;
    removals_ = document_.RemovalCount();
    hovered_.Set(Valid(hovered_));
    pressed_.Set(Valid(pressed_));
}

Node* EventRouter::Hovered()
{
    Revalidate();
    return hovered_.node;
}

bool EventRouter::Dispatch(EventType type, Node* target, int x, int y)
{
    if (!target) return true;
    std::vector<Node*> path;
    for (Node* node = target; node; node = node->Parent()) {
        if (node->IsElement()) path.push_back(node);
    }
    Event event{type, target, nullptr, x, y};
    unsigned removals = document_.RemovalCount();
    for (Node* node : path) {
        // A handler may have removed part of the page; nodes that left it get no event.
        if (document_.RemovalCount() != removals && !document_.Contains(node)) continue;
        event.current = node;
        if (const std::wstring* code = node->FindAttribute(EventAttribute(type))) {
            bool cancel = false;
            std::wstring handler = *code;
            scripts_.RunHandler(handler, *node, cancel);
            if (cancel) event.cancelled = true;
        }
        if (listener_ && (document_.RemovalCount() == removals || document_.Contains(node))) listener_(event);
        if (event.stopped) break;
    }
    Revalidate();
    return !event.cancelled;
}

void EventRouter::MouseMove(int x, int y)
{
    Revalidate();
    Node* target = hitTest_(x, y);
    if (target != hovered_.node) {
        Node* previous = hovered_.node;
        hovered_.Set(target);
        Held over = hovered_;
        Dispatch(EventType::MouseOut, previous, x, y);
        Revalidate();
        Dispatch(EventType::MouseOver, Valid(over), x, y);
    }
    Revalidate();
    if (pressed_.node && !pressStarted_ &&
        (std::abs(x - pressX_) >= GetSystemMetrics(SM_CXDRAG) || std::abs(y - pressY_) >= GetSystemMetrics(SM_CYDRAG))) {
        pressStarted_ = true;
        if (StartsDrag(pressed_.node)) {
            Dispatch(EventType::DragStart, pressed_.node, x, y);
        } else {
            selecting_ = Dispatch(EventType::SelectStart, pressed_.node, x, y);
        }
    }
}

void EventRouter::MouseDown(int x, int y)
{
    Revalidate();
    Node* target = hitTest_(x, y);
    pressed_.Set(target);
    pressX_ = x;
    pressY_ = y;
    pressStarted_ = false;
    selecting_ = false;
    Dispatch(EventType::MouseDown, target, x, y);
}

void EventRouter::MouseUp(int x, int y)
{
    Revalidate();
    Held target;
    target.Set(hitTest_(x, y));
    Held pressed = pressed_;
    pressed_.Set(nullptr);
    selecting_ = false;
    unsigned before = document_.RemovalCount();
    Dispatch(EventType::MouseUp, target.node, x, y);
    if (!target.node || !pressed.node) return;
    if (document_.RemovalCount() != before && (!Valid(target) || !Valid(pressed))) return;
    // The click goes to the nearest element that both the press and the release were in.
    for (Node* common = target.node; common; common = common->Parent()) {
        if (common->IsInclusiveAncestorOf(pressed.node)) {
            Dispatch(EventType::Click, common, x, y);
            return;
        }
    }
}

void EventRouter::DoubleClick(int x, int y)
{
    Revalidate();
    Dispatch(EventType::DoubleClick, hitTest_(x, y), x, y);
}

void EventRouter::MouseLeave()
{
    Revalidate();
    Node* previous = hovered_.node;
    hovered_.Set(nullptr);
    Dispatch(EventType::MouseOut, previous, 0, 0);
}

}  // namespace Html
