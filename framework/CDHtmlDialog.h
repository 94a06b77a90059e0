#pragma once

#include <windows.h>

#include <memory>

#include "framework/CDialog.h"
#include "framework/CString.h"
#include "framework/FrameworkApi.h"
#include "html/EventRouter.h"
#include "html/ScriptRegistry.h"

namespace Html {
class Node;
class Page;
}  // namespace Html

class CDHtmlDialog;

// An event map handler: the element whose binding matched (not necessarily the event's target).
using DHtmlEventHandler = HRESULT (*)(CDHtmlDialog* dialog, Html::Node* element);

// One binding of a page event to a handler of the dialog. An entry matches an element by id, by
// class name, or every element (tag "all").
struct DHtmlEventMapEntry {
    enum class Kind { End, Element, Class, AllTags };
    Kind kind;
    Html::EventType event;
    const wchar_t* name;
    DHtmlEventHandler handler;
};

// A dialog whose client area is a page of the module's RT_HTML resources. The page is loaded when
// the dialog is created and OnDocumentComplete follows once it is laid out, after OnInitDialog has
// returned. Page events reach the handlers of the DHTML event map; text inputs are edit controls.
class VTFRAMEWORK_API CDHtmlDialog : public CDialog {
public:
    CDHtmlDialog(UINT templateId, UINT htmlResourceId, CWnd* parent = nullptr);
    ~CDHtmlDialog() override;

    // The page; null until the dialog was created and its page loaded.
    // (OnRegisterPageScripts already sees the page being loaded.)
    Html::Page* GetPage() const;
    BOOL IsDocumentLoaded() const;

    // Element access by id; the getters give "" and the setters do nothing when there is no element.
    Html::Node* GetElement(LPCWSTR id) const;
    CString GetElementText(LPCWSTR id) const;
    void SetElementText(LPCWSTR id, LPCWSTR text);
    CString GetElementHtml(LPCWSTR id) const;
    void SetElementHtml(LPCWSTR id, LPCWSTR html);
    CString GetElementAttribute(LPCWSTR id, LPCWSTR attribute) const;
    void SetElementAttribute(LPCWSTR id, LPCWSTR attribute, LPCWSTR value);

    // Registers (or replaces) a page function of this dialog's page.
    void RegisterScript(LPCWSTR name, Html::ScriptFunction function);

    BOOL OnInitDialog() override;
    // Loads the page before the OnInitDialog chain runs and frees it when the window goes. A page
    // engine exception ends here, traced, instead of unwinding through the system.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Once per load, after OnInitDialog has returned and the page is laid out. Not called when the
    // page could not be loaded.
    virtual void OnDocumentComplete();
    // Called when the page is loaded, before it is laid out or any of its events run: the place to
    // register the page's own functions.
    virtual void OnRegisterPageScripts();
    virtual const DHtmlEventMapEntry* GetDHtmlEventMap() const;

    // The page's share of these messages; a subclass that maps one of them itself calls these.
    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);

    UINT m_nHtmlResID;

    DECLARE_MESSAGE_MAP()

private:
    struct Host;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void LoadPage();
    void FreePage();
    // Lays the page out again when the DOM changed, then fits the edit controls to it.
    void UpdateLayout();
    void RouteEvent(Html::Event& event);
    void ScheduleAnimation();
    static void CALLBACK AnimationTimerProc(HWND hwnd, UINT message, UINT_PTR id, DWORD now);

    std::unique_ptr<Host> host_;
};

// Data exchange between members and the page; a missing element exchanges "".
VTFRAMEWORK_API void DDX_DHtml_ElementInnerText(CDataExchange* exchange, LPCWSTR id, CString& value);
VTFRAMEWORK_API void DDX_DHtml_ElementInnerHtml(CDataExchange* exchange, LPCWSTR id, CString& value);
VTFRAMEWORK_API void DDX_DHtml_ElementValue(CDataExchange* exchange, LPCWSTR id, CString& value);
VTFRAMEWORK_API void DDX_DHtml_AttributeValue(CDataExchange* exchange, LPCWSTR id, LPCWSTR attribute, CString& value);

// The DHTML event map of a class; handlers are members `HRESULT Handler(Html::Node* element)`.
#define DECLARE_DHTML_EVENT_MAP() \
protected:                        \
    const DHtmlEventMapEntry* GetDHtmlEventMap() const override;

#define BEGIN_DHTML_EVENT_MAP(theClass)                                  \
    const DHtmlEventMapEntry* theClass::GetDHtmlEventMap() const {       \
        using ThisClass = theClass;                                      \
        static const DHtmlEventMapEntry entries[] = {

#define DHTML_EVENT_THUNK(memberFxn) \
    [](CDHtmlDialog* dialog, Html::Node* element) -> HRESULT { return static_cast<ThisClass*>(dialog)->memberFxn(element); }

#define DHTML_EVENT_ELEMENT(eventType, elementId, memberFxn) \
    {DHtmlEventMapEntry::Kind::Element, eventType, elementId, DHTML_EVENT_THUNK(memberFxn)},
#define DHTML_EVENT_CLASS(eventType, className, memberFxn) \
    {DHtmlEventMapEntry::Kind::Class, eventType, className, DHTML_EVENT_THUNK(memberFxn)},
#define DHTML_EVENT_TAG_ALL(eventType, memberFxn) \
    {DHtmlEventMapEntry::Kind::AllTags, eventType, nullptr, DHTML_EVENT_THUNK(memberFxn)},

#define DHTML_EVENT_ONCLICK(elementId, memberFxn) DHTML_EVENT_ELEMENT(Html::EventType::Click, elementId, memberFxn)
#define DHTML_EVENT_ONDBLCLICK(elementId, memberFxn) DHTML_EVENT_ELEMENT(Html::EventType::DoubleClick, elementId, memberFxn)
#define DHTML_EVENT_ONMOUSEOVER(elementId, memberFxn) DHTML_EVENT_ELEMENT(Html::EventType::MouseOver, elementId, memberFxn)
#define DHTML_EVENT_ONMOUSEOUT(elementId, memberFxn) DHTML_EVENT_ELEMENT(Html::EventType::MouseOut, elementId, memberFxn)
#define DHTML_EVENT_ONMOUSEDOWN(elementId, memberFxn) DHTML_EVENT_ELEMENT(Html::EventType::MouseDown, elementId, memberFxn)
#define DHTML_EVENT_ONMOUSEUP(elementId, memberFxn) DHTML_EVENT_ELEMENT(Html::EventType::MouseUp, elementId, memberFxn)

#define END_DHTML_EVENT_MAP()                                                    \
            {DHtmlEventMapEntry::Kind::End, Html::EventType::Click, nullptr, nullptr} \
        };                                                                      \
        return entries;                                                         \
    }
