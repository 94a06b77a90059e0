#include "framework/CDHtmlDialog.h"

#include <objbase.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/ExceptionGuard.h"
#include "core/String.h"
#include "core/Trace.h"
#include "framework/CDC.h"
#include "framework/CException.h"
#include "framework/DHtmlPageEdits.h"
#include "framework/ModuleState.h"
#include "html/Page.h"

namespace {

// Far from the small ids subclasses give their own timers.
constexpr UINT_PTR kAnimationTimer = 0xD4A7;

void Trace(const System::String& line) { System::Diagnostics::Trace::WriteLine(L"CDHtmlDialog: " + line); }

void TraceLastError(const wchar_t* what)
{
    DWORD error = ::GetLastError();
    Trace(System::String::Format(L"%s failed, error %lu", what, error));
}

// Registered rather than WM_USER-based: subclasses number their own messages from WM_USER.
UINT RegisteredMessage(const wchar_t* name)
{
    UINT message = ::RegisterWindowMessageW(name);
    if (!message) TraceLastError(L"RegisterWindowMessage");
    return message;
}

UINT DocumentCompleteMessage()
{
    static const UINT message = RegisteredMessage(L"Vela.CDHtmlDialog.DocumentComplete");
    return message;
}

UINT PageUpdateMessage()
{
    static const UINT message = RegisteredMessage(L"Vela.CDHtmlDialog.UpdatePage");
    return message;
}

// The page decodes its images with WIC, so the thread needs COM while the page lives.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))
    {
        // A thread already in the multithreaded apartment serves as well.
        if (FAILED(result_) && result_ != RPC_E_CHANGED_MODE) {
            Trace(System::String::Format(L"CoInitializeEx failed, error 0x%08lX", static_cast<unsigned long>(result_)));
        }
    }
    ~ComApartment()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

std::wstring Text(LPCWSTR text) { return text ? std::wstring(text) : std::wstring(); }

CString ToCString(const std::wstring& text) { return CString(text.c_str(), static_cast<int>(text.size())); }

CDHtmlDialog* ExchangeDialog(CDataExchange* exchange)
{
    return exchange ? dynamic_cast<CDHtmlDialog*>(exchange->m_pDlgWnd) : nullptr;
}

}  // namespace

struct CDHtmlDialog::Host {
    // The page, with the apartment it needs, which goes after it.
    struct LoadedPage {
        ComApartment com;
        Html::Page page;
    };

    explicit Host(CWnd& dialog) : edits(dialog) {}

    // Functions registered through RegisterScript, for every page this dialog loads.
    std::vector<std::pair<std::wstring, Html::ScriptFunction>> scripts;
    // Shared so that a page whose handler destroyed the dialog lives until its event is over.
    std::shared_ptr<LoadedPage> loaded;
    // Cleared when the page is let go, so page events still under way stop reaching the dialog.
    std::shared_ptr<bool> alive;
    DHtmlPageEdits edits;
    bool completePending = false;
    bool trackingLeave = false;
    bool pressed = false;
    bool animating = false;
};

BEGIN_MESSAGE_MAP(CDHtmlDialog, CDialog)
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEWHEEL()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
END_MESSAGE_MAP()

CDHtmlDialog::CDHtmlDialog(UINT templateId, UINT htmlResourceId, CWnd* parent)
    : CDialog(templateId, parent), m_nHtmlResID(htmlResourceId), host_(std::make_unique<Host>(*this))
{
}

CDHtmlDialog::~CDHtmlDialog()
{
    // Destroyed here, while this class still handles the window's last messages.
    if (m_hWnd && CWnd::FromHandlePermanent(m_hWnd) == this) DestroyWindow();
    FreePage();
}

Html::Page* CDHtmlDialog::GetPage() const { return host_->loaded ? &host_->loaded->page : nullptr; }

BOOL CDHtmlDialog::IsDocumentLoaded() const { return host_->loaded && host_->loaded->page.IsLoaded(); }

BOOL CDHtmlDialog::OnInitDialog() { return CDialog::OnInitDialog(); }

void CDHtmlDialog::OnDocumentComplete() {}

void CDHtmlDialog::OnRegisterPageScripts() {}

const DHtmlEventMapEntry* CDHtmlDialog::GetDHtmlEventMap() const
{
    static const DHtmlEventMapEntry entries[] = {{DHtmlEventMapEntry::Kind::End, Html::EventType::Click, nullptr, nullptr}};
    return entries;
}

LRESULT CDHtmlDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The page engine reports failures (a font or bitmap it cannot make) as exceptions, which must
    // not unwind through the system's window procedure.
    try {
        return HandleMessage(message, wParam, lParam);
    } catch (System::Exception* caught) {
        System::ExceptionHolder exception(caught);
        Trace(System::String::Format(L"message 0x%04X failed: ", message) + exception->ToString());
        return 0;
    }
}

LRESULT CDHtmlDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        LoadPage();
        LRESULT result = CDialog::WindowProc(message, wParam, lParam);
        if (host_->completePending && m_hWnd) {
            UINT complete = DocumentCompleteMessage();
            if (!complete || !PostMessage(complete)) {
                if (complete) TraceLastError(L"PostMessage of the document-complete notice");
                host_->completePending = false;
                OnDocumentComplete();
            }
        }
        return result;
    }
    if (message == WM_DESTROY) {
        LRESULT result = CDialog::WindowProc(message, wParam, lParam);
        FreePage();
        return result;
    }
    if (message != 0 && message == DocumentCompleteMessage()) {
        if (host_->completePending) {
            host_->completePending = false;
            UpdateLayout();
            OnDocumentComplete();
        }
        return 0;
    }
    if (message != 0 && message == PageUpdateMessage()) {
        if (host_->loaded) {
            host_->loaded->page.Update();
            host_->edits.Sync();
            ScheduleAnimation();
        }
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CDHtmlDialog::LoadPage()
{
    FreePage();
    // The page paints the client area; the edit controls over its inputs paint themselves.
    ModifyStyle(0, WS_CLIPCHILDREN);

    LPCWSTR name = MAKEINTRESOURCEW(m_nHtmlResID);
    HINSTANCE module = AfxFindResourceHandle(name, RT_HTML);
    if (!module) {
        Trace(System::String::Format(L"no resource module has the page %u; the dialog stays empty", m_nHtmlResID));
        return;
    }

    auto loaded = std::make_shared<Host::LoadedPage>();
    Html::Page& page = loaded->page;
    for (const auto& script : host_->scripts) page.Scripts().Register(script.first, script.second);
    host_->loaded = loaded;
    OnRegisterPageScripts();

    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    page.SetViewport(client.right, client.bottom);
    bool ok = false;
    try {
        page.LoadFromResource(module, m_nHtmlResID);
        ok = true;
    } catch (System::Exception* caught) {
        System::ExceptionHolder exception(caught);
        Trace(System::String::Format(L"the page %u cannot be shown; the dialog stays empty: ", m_nHtmlResID) +
              exception->ToString());
    } catch (const std::bad_alloc&) {
        Trace(System::String::Format(L"out of memory loading the page %u; the dialog stays empty", m_nHtmlResID));
    }
    if (!ok) {
        host_->loaded.reset();
        return;
    }

    auto alive = std::make_shared<bool>(true);
    host_->alive = alive;
    page.Events().SetListener([this, alive](Html::Event& event) {
        if (*alive) RouteEvent(event);
        if (!*alive) event.stopped = true;
    });
    page.SetInvalidateCallback([this](const Html::Rect& area) {
        RECT rect = area.ToRECT();
        ::InvalidateRect(m_hWnd, &rect, FALSE);
    });
    page.SetChangeCallback([this] {
        // One layout for however many changes a handler makes.
        UINT update = PageUpdateMessage();
        if (!update || !PostMessage(update)) {
            if (update) TraceLastError(L"PostMessage of a page update");
            // The next paint lays the page out instead.
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
    });
    host_->edits.Attach(page);
    host_->edits.Sync();
    ScheduleAnimation();
    host_->completePending = true;
}

void CDHtmlDialog::FreePage()
{
    if (host_->alive) *host_->alive = false;
    host_->alive.reset();
    if (host_->animating && m_hWnd) ::KillTimer(m_hWnd, kAnimationTimer);
    host_->animating = false;
    host_->completePending = false;
    host_->trackingLeave = false;
    if (host_->pressed) {
        host_->pressed = false;
        if (m_hWnd && ::GetCapture() == m_hWnd) ::ReleaseCapture();
    }
    host_->edits.Detach();
    if (host_->loaded) {
        host_->loaded->page.SetInvalidateCallback(nullptr);
        host_->loaded->page.SetChangeCallback(nullptr);
    }
    host_->loaded.reset();
}

void CDHtmlDialog::UpdateLayout()
{
    if (!host_->loaded) return;
    Html::Page& page = host_->loaded->page;
    bool stale = page.GetDocument().NeedsLayout();
    page.Update();
    if (stale) host_->edits.Sync();
}

void CDHtmlDialog::RouteEvent(Html::Event& event)
{
    Html::Node* current = event.current;
    if (!current || !host_->loaded) return;
    std::shared_ptr<bool> alive = host_->alive;
    Html::Document& document = host_->loaded->page.GetDocument();
    unsigned removals = document.RemovalCount();
    const std::wstring id = current->Id();
    const std::wstring className = current->ClassName();
    for (const DHtmlEventMapEntry* entry = GetDHtmlEventMap(); entry && entry->kind != DHtmlEventMapEntry::Kind::End; ++entry) {
        if (entry->event != event.type || !entry->handler) continue;
        bool matches = false;
        switch (entry->kind) {
        case DHtmlEventMapEntry::Kind::Element: matches = entry->name && id == entry->name; break;
        case DHtmlEventMapEntry::Kind::Class: matches = entry->name && className == entry->name; break;
        case DHtmlEventMapEntry::Kind::AllTags: matches = current == event.target; break;
        case DHtmlEventMapEntry::Kind::End: break;
        }
        if (!matches) continue;

        HRESULT result = S_OK;
        // A handler's exception must not unwind through the window procedure.
        try {
            result = entry->handler(this, current);
        } catch (System::Exception* caught) {
            System::ExceptionHolder exception(caught);
            Trace(L"a page event handler failed: " + exception->ToString());
        } catch (CException* caught) {
            wchar_t message[256] = {};
            caught->GetErrorMessage(message, 256);
            caught->Delete();
            Trace(System::String(L"a page event handler failed: ") + message);
        }
        if (!*alive) {
            event.stopped = true;
            return;
        }
        if (result == S_FALSE && (event.type == Html::EventType::SelectStart || event.type == Html::EventType::DragStart)) {
            event.cancelled = true;
        }
        // The handler took the element off the page: it has no more bindings to run.
        if (document.RemovalCount() != removals && !document.Contains(current)) return;
    }
}

void CDHtmlDialog::ScheduleAnimation()
{
    if (!host_->loaded || !m_hWnd) return;
    DWORD delay = host_->loaded->page.Animate(::GetTickCount());
    if (delay == INFINITE) {
        if (host_->animating) ::KillTimer(m_hWnd, kAnimationTimer);
        host_->animating = false;
        return;
    }
    // A timer procedure, so the frames never show up in the subclass's WM_TIMER handler.
    host_->animating =
        ::SetTimer(m_hWnd, kAnimationTimer, std::max<DWORD>(delay, USER_TIMER_MINIMUM), &AnimationTimerProc) != 0;
    if (!host_->animating) TraceLastError(L"SetTimer for page animation");
}

void CALLBACK CDHtmlDialog::AnimationTimerProc(HWND hwnd, UINT, UINT_PTR, DWORD)
{
    auto* dialog = dynamic_cast<CDHtmlDialog*>(CWnd::FromHandlePermanent(hwnd));
    if (!dialog) {
        ::KillTimer(hwnd, kAnimationTimer);
        return;
    }
    dialog->ScheduleAnimation();
}

void CDHtmlDialog::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    if (!host_->loaded || type == SIZE_MINIMIZED) return;
    host_->loaded->page.SetViewport(cx, cy);
    host_->edits.Sync();
}

void CDHtmlDialog::OnPaint()
{
    CPaintDC dc(this);
    if (!dc.GetSafeHdc()) {
        TraceLastError(L"BeginPaint");
        return;
    }
    CRect area(dc.m_ps.rcPaint);
    if (area.IsRectEmpty()) return;
    UpdateLayout();
    // Drawn off screen and copied in one step, so a repaint does not flicker.
    CMemDC memory(&dc, &area);
    memory.FillSolidRect(&area, ::GetSysColor(COLOR_WINDOW));
    if (host_->loaded) {
        host_->loaded->page.Paint(memory.GetSafeHdc(), Html::Rect{area.left, area.top, area.Width(), area.Height()});
    }
}

BOOL CDHtmlDialog::OnEraseBkgnd(CDC*) { return TRUE; }

void CDHtmlDialog::OnMouseMove(UINT flags, CPoint point)
{
    std::shared_ptr<Host::LoadedPage> loaded = host_->loaded;
    if (!loaded) {
        CDialog::OnMouseMove(flags, point);
        return;
    }
    if (!host_->trackingLeave) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
        host_->trackingLeave = ::TrackMouseEvent(&track) != FALSE;
        if (!host_->trackingLeave) TraceLastError(L"TrackMouseEvent");
    }
    UpdateLayout();
    loaded->page.MouseMove(point.x, point.y);
}

void CDHtmlDialog::OnLButtonDown(UINT flags, CPoint point)
{
    std::shared_ptr<Host::LoadedPage> loaded = host_->loaded;
    if (!loaded) {
        CDialog::OnLButtonDown(flags, point);
        return;
    }
    // Held for the press, so the release reaches the page even off the window.
    SetCapture();
    host_->pressed = ::GetCapture() == m_hWnd;
    UpdateLayout();
    loaded->page.MouseDown(point.x, point.y);
}

void CDHtmlDialog::OnLButtonUp(UINT flags, CPoint point)
{
    // Let go before the click runs: its handler may open a modal window.
    if (host_->pressed) {
        host_->pressed = false;
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    }
    std::shared_ptr<Host::LoadedPage> loaded = host_->loaded;
    if (!loaded) {
        CDialog::OnLButtonUp(flags, point);
        return;
    }
    UpdateLayout();
    std::shared_ptr<bool> alive = host_->alive;
    loaded->page.MouseUp(point.x, point.y);
    if (!*alive) return;
    // Released off the window: no move will come to end the hover there.
    RECT client{};
    if (::GetClientRect(m_hWnd, &client) && !::PtInRect(&client, point)) loaded->page.MouseLeave();
}

void CDHtmlDialog::OnLButtonDblClk(UINT flags, CPoint point)
{
    std::shared_ptr<Host::LoadedPage> loaded = host_->loaded;
    if (!loaded) {
        CDialog::OnLButtonDblClk(flags, point);
        return;
    }
    SetCapture();
    host_->pressed = ::GetCapture() == m_hWnd;
    UpdateLayout();
    loaded->page.DoubleClick(point.x, point.y);
}

BOOL CDHtmlDialog::OnMouseWheel(UINT flags, short delta, CPoint point)
{
    std::shared_ptr<Host::LoadedPage> loaded = host_->loaded;
    if (loaded) {
        POINT client = point;
        if (::ScreenToClient(m_hWnd, &client)) {
            UpdateLayout();
            if (loaded->page.MouseWheel(client.x, client.y, delta)) return TRUE;
        }
    }
    return CDialog::OnMouseWheel(flags, delta, point);
}

BOOL CDHtmlDialog::OnSetCursor(CWnd* window, UINT hitTest, UINT message)
{
    if (host_->loaded && window && window->m_hWnd == m_hWnd && hitTest == HTCLIENT) {
        POINT point{};
        if (::GetCursorPos(&point) && ::ScreenToClient(m_hWnd, &point)) {
            UpdateLayout();
            if (HCURSOR cursor = ::LoadCursorW(nullptr, host_->loaded->page.CursorAt(point.x, point.y))) {
                ::SetCursor(cursor);
                return TRUE;
            }
            TraceLastError(L"LoadCursor");
        }
    }
    return CDialog::OnSetCursor(window, hitTest, message);
}

LRESULT CDHtmlDialog::OnMouseLeave(WPARAM, LPARAM)
{
    host_->trackingLeave = false;
    // While the button is held the page keeps the press; the release ends it.
    if (host_->loaded && !host_->pressed) host_->loaded->page.MouseLeave();
    return 0;
}

LRESULT CDHtmlDialog::OnCaptureChanged(WPARAM, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(lParam) != m_hWnd) host_->pressed = false;
    return Default();
}

Html::Node* CDHtmlDialog::GetElement(LPCWSTR id) const
{
    return host_->loaded && id ? host_->loaded->page.GetElementById(id) : nullptr;
}

CString CDHtmlDialog::GetElementText(LPCWSTR id) const
{
    Html::Node* element = GetElement(id);
    return element ? ToCString(element->InnerText()) : CString();
}

void CDHtmlDialog::SetElementText(LPCWSTR id, LPCWSTR text)
{
    if (Html::Node* element = GetElement(id)) element->SetInnerText(Text(text));
}

CString CDHtmlDialog::GetElementHtml(LPCWSTR id) const
{
    Html::Node* element = GetElement(id);
    return element ? ToCString(element->InnerHtml()) : CString();
}

void CDHtmlDialog::SetElementHtml(LPCWSTR id, LPCWSTR html)
{
    Html::Node* element = GetElement(id);
    if (element && !element->SetInnerHtml(Text(html))) {
        Trace(L"the markup for element \"" + Text(id) + L"\" cannot be parsed; the element is unchanged");
    }
}

CString CDHtmlDialog::GetElementAttribute(LPCWSTR id, LPCWSTR attribute) const
{
    Html::Node* element = GetElement(id);
    return element && attribute ? ToCString(element->GetAttribute(attribute)) : CString();
}

void CDHtmlDialog::SetElementAttribute(LPCWSTR id, LPCWSTR attribute, LPCWSTR value)
{
    Html::Node* element = GetElement(id);
    if (element && attribute) element->SetAttribute(attribute, Text(value));
}

void CDHtmlDialog::RegisterScript(LPCWSTR name, Html::ScriptFunction function)
{
    std::wstring key = Text(name);
    auto& scripts = host_->scripts;
    auto found = std::find_if(scripts.begin(), scripts.end(), [&](const auto& script) { return script.first == key; });
    if (found != scripts.end()) {
        found->second = function;
    } else {
        scripts.emplace_back(key, function);
    }
    if (host_->loaded) host_->loaded->page.Scripts().Register(key, std::move(function));
}

void DDX_DHtml_ElementInnerText(CDataExchange* exchange, LPCWSTR id, CString& value)
{
    CDHtmlDialog* dialog = ExchangeDialog(exchange);
    if (!dialog) return;
    if (exchange->m_bSaveAndValidate) {
        value = dialog->GetElementText(id);
    } else {
        dialog->SetElementText(id, value);
    }
}

void DDX_DHtml_ElementInnerHtml(CDataExchange* exchange, LPCWSTR id, CString& value)
{
    CDHtmlDialog* dialog = ExchangeDialog(exchange);
    if (!dialog) return;
    if (exchange->m_bSaveAndValidate) {
        value = dialog->GetElementHtml(id);
    } else {
        dialog->SetElementHtml(id, value);
    }
}

void DDX_DHtml_ElementValue(CDataExchange* exchange, LPCWSTR id, CString& value)
{
    CDHtmlDialog* dialog = ExchangeDialog(exchange);
    if (!dialog) return;
    Html::Node* element = dialog->GetElement(id);
    if (exchange->m_bSaveAndValidate) {
        value = element ? ToCString(element->Value()) : CString();
    } else if (element) {
        element->SetValue(value.GetString());
    }
}

void DDX_DHtml_AttributeValue(CDataExchange* exchange, LPCWSTR id, LPCWSTR attribute, CString& value)
{
    CDHtmlDialog* dialog = ExchangeDialog(exchange);
    if (!dialog) return;
    if (exchange->m_bSaveAndValidate) {
        value = dialog->GetElementAttribute(id, attribute);
    } else {
        dialog->SetElementAttribute(id, attribute, value);
    }
}
