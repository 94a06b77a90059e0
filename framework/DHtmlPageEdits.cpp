#include "framework/DHtmlPageEdits.h"

#include <algorithm>

#include "core/ExceptionGuard.h"
#include "core/String.h"
#include "core/Trace.h"
#include "html/FontCache.h"
#include "html/Page.h"

namespace {

// Control ids of the edits, away from the small ids of a template's own controls.
constexpr UINT kFirstEditId = 0xDE00;
constexpr UINT kEditIdCount = 0x100;

std::wstring WindowText(HWND window)
{
    int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

bool HasBorder(const Html::ComputedStyle& style)
{
    for (const auto& side : style.border) {
        if (side.UsedWidth() > 0) return true;
    }
    return false;
}

// The edit's own visibility, whether or not the dialog is shown yet.
bool IsShown(HWND edit) { return (::GetWindowLongPtrW(edit, GWL_STYLE) & WS_VISIBLE) != 0; }

bool IsPassword(const Html::Node& input) { return _wcsicmp(input.GetAttribute(L"type").c_str(), L"password") == 0; }

void TraceLastError(const wchar_t* what)
{
    DWORD error = ::GetLastError();
    System::Diagnostics::Trace::WriteLine(System::String::Format(L"%s failed, error %lu", what, error));
}

}  // namespace

BEGIN_MESSAGE_MAP(DHtmlPageEdit, CWnd)
ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
ON_MESSAGE(WM_KEYDOWN, OnKeyMessage)
ON_MESSAGE(WM_CHAR, OnCharMessage)
ON_CONTROL_REFLECT(EN_CHANGE, OnChange)
END_MESSAGE_MAP()

LRESULT DHtmlPageEdit::OnGetDlgCode(WPARAM wParam, LPARAM lParam)
{
    LRESULT code = Default();
    // Asked by the dialog manager about a key: Enter and Escape come to the edit instead of
    // pressing the dialog's default or cancel button.
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (message && message->message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        code |= DLGC_WANTMESSAGE;
    }
    return code;
}

LRESULT DHtmlPageEdit::OnKeyMessage(WPARAM wParam, LPARAM)
{
    if (wParam == VK_RETURN || wParam == VK_ESCAPE) return 0;
    return Default();
}

LRESULT DHtmlPageEdit::OnCharMessage(WPARAM wParam, LPARAM)
{
    // A single-line edit would beep at these.
    if (wParam == L'\r' || wParam == L'\n' || wParam == 0x1B) return 0;
    return Default();
}

void DHtmlPageEdit::OnChange() { owner_.EditChanged(*this); }

DHtmlPageEdits::DHtmlPageEdits(CWnd& host) : host_(host) {}

DHtmlPageEdits::~DHtmlPageEdits()
{
    // The edits go before the fonts they use.
    edits_.clear();
}

void DHtmlPageEdits::Attach(Html::Page& page)
{
    Detach();
    page_ = &page;
    removals_ = page.GetDocument().RemovalCount();
    page.SetValueCallback([this](Html::Node& input) { ValueSet(input); });
    page.SetScrollCallback([this](Html::Node&) { Reposition(); });
}

void DHtmlPageEdits::Detach()
{
    if (page_) {
        page_->SetValueCallback(nullptr);
        page_->SetScrollCallback(nullptr);
    }
    page_ = nullptr;
    edits_.clear();
    fonts_.clear();
    faces_.reset();
}

DHtmlPageEdit* DHtmlPageEdits::Find(const Html::Node* input) const
{
    for (const auto& edit : edits_) {
        if (edit->input_ == input) return edit.get();
    }
    return nullptr;
}

void DHtmlPageEdits::Sync()
{
    if (!page_) return;
    Html::Document& document = page_->GetDocument();
    if (document.RemovalCount() != removals_) {
        removals_ = document.RemovalCount();
        edits_.erase(std::remove_if(edits_.begin(), edits_.end(),
                                    [&](const std::unique_ptr<DHtmlPageEdit>& edit) {
                                        return !document.Contains(edit->input_);
                                    }),
                     edits_.end());
        // A node made since may sit where a removed input was, so the survivors show their own
        // inputs' values again.
        for (const auto& edit : edits_) ShowValue(*edit, edit->input_->Value());
    }

    for (const auto& edit : edits_) edit->seen_ = false;
    HWND previous = nullptr;
    for (Html::Node* input : page_->TextInputs()) {
        DHtmlPageEdit* edit = Find(input);
        if (!edit) {
            std::unique_ptr<DHtmlPageEdit> created = Create(*input);
            if (!created) continue;
            // Tab order is window order: keep it the document's.
            if (previous && !::SetWindowPos(created->m_hWnd, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE)) {
                TraceLastError(L"SetWindowPos for the tab order of a page edit");
            }
            edit = created.get();
            edits_.push_back(std::move(created));
        }
        edit->seen_ = true;
        Place(*edit);
        previous = edit->m_hWnd;
    }
    for (const auto& edit : edits_) {
        if (!edit->seen_ && IsShown(edit->m_hWnd)) ::ShowWindow(edit->m_hWnd, SW_HIDE);
    }
}

void DHtmlPageEdits::Reposition()
{
    if (!page_) return;
    Html::Document& document = page_->GetDocument();
    for (const auto& edit : edits_) {
        if (edit->seen_ && document.Contains(edit->input_)) Place(*edit);
    }
}

std::unique_ptr<DHtmlPageEdit> DHtmlPageEdits::Create(Html::Node& input)
{
    auto edit = std::make_unique<DHtmlPageEdit>(*this, &input);
    DWORD style = WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL;
    if (HasBorder(input.Style())) style |= WS_BORDER;
    if (IsPassword(input)) style |= ES_PASSWORD;
    UINT id = kFirstEditId + created_++ % kEditIdCount;
    syncing_ = true;
    BOOL made = edit->CreateEx(0, L"EDIT", input.Value().c_str(), style, CRect(), &host_, id);
    syncing_ = false;
    if (!made) {
        DWORD error = ::GetLastError();
        System::Diagnostics::Trace::WriteLine(System::String::Format(
            L"Creating the edit control of page input \"%s\" failed, error %lu", input.Id().c_str(), error));
        return nullptr;
    }
    // Until the input's own font is known, the dialog's.
    edit->SendMessage(WM_SETFONT, static_cast<WPARAM>(host_.SendMessage(WM_GETFONT)), FALSE);
    return edit;
}

void DHtmlPageEdits::Place(DHtmlPageEdit& edit)
{
    const Html::Node& input = *edit.input_;
    if (CFont* font = FontFor(input.Style())) {
        if (font != edit.font_) {
            edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->m_hObject), TRUE);
            edit.font_ = font;
        }
    }
    RECT rect = input.Box().border.ToRECT();
    if (!::EqualRect(&rect, &edit.placed_)) {
        if (::SetWindowPos(edit.m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           SWP_NOZORDER | SWP_NOACTIVATE)) {
            edit.placed_ = rect;
        } else {
            TraceLastError(L"SetWindowPos of a page edit");
        }
    }
    Html::Rect visible = page_->VisibleBox(input);
    bool shown = input.IsDisplayed() && input.Style().visible && !visible.IsEmpty();
    if (shown) Clip(edit, visible);
    if (shown != IsShown(edit.m_hWnd)) ::ShowWindow(edit.m_hWnd, shown ? SW_SHOWNA : SW_HIDE);
}

void DHtmlPageEdits::Clip(DHtmlPageEdit& edit, const Html::Rect& visible)
{
    RECT clip{visible.x - edit.placed_.left, visible.y - edit.placed_.top, visible.Right() - edit.placed_.left,
              visible.Bottom() - edit.placed_.top};
    if (::EqualRect(&clip, &edit.clip_)) return;
    RECT whole{0, 0, edit.placed_.right - edit.placed_.left, edit.placed_.bottom - edit.placed_.top};
    CRgn region;
    if (!::EqualRect(&clip, &whole) && !region.CreateRectRgnIndirect(&clip)) {
        TraceLastError(L"CreateRectRgn for a page edit");
        return;
    }
    // No region shows the whole edit; a region taken by the window leaves the CRgn empty.
    if (!edit.SetWindowRgn(static_cast<HRGN>(region.m_hObject), TRUE)) {
        TraceLastError(L"SetWindowRgn of a page edit");
        return;
    }
    edit.clip_ = clip;
}

CFont* DHtmlPageEdits::FontFor(const Html::ComputedStyle& style)
{
    CFont* result = nullptr;
    System::TraceExceptions([&] {
        if (!faces_) faces_ = std::make_unique<Html::FontCache>();
        const Html::Font* resolved = faces_->Get(style.fontFamily, style.fontSize, style.fontWeight, style.italic);
        auto key = std::make_tuple(resolved->face, style.fontSize, style.fontWeight, style.italic);
        std::unique_ptr<CFont>& font = fonts_[key];
        if (!font) {
            LOGFONTW description{};
            description.lfHeight = -style.fontSize;
            description.lfWeight = style.fontWeight;
            description.lfItalic = style.italic ? TRUE : FALSE;
            description.lfCharSet = DEFAULT_CHARSET;
            description.lfQuality = ANTIALIASED_QUALITY;
            lstrcpynW(description.lfFaceName, resolved->face.c_str(), LF_FACESIZE);
            auto created = std::make_unique<CFont>();
            if (!created->CreateFontIndirect(&description)) {
                TraceLastError(L"CreateFontIndirect for a page edit");
                fonts_.erase(key);
                return;
            }
            font = std::move(created);
        }
        result = font.get();
    });
    return result;
}

void DHtmlPageEdits::EditChanged(DHtmlPageEdit& edit)
{
    if (syncing_ || !page_ || !page_->GetDocument().Contains(edit.input_)) return;
    syncing_ = true;
    edit.input_->SetValue(WindowText(edit.m_hWnd));
    syncing_ = false;
}

void DHtmlPageEdits::ValueSet(Html::Node& input)
{
    if (syncing_) return;
    if (DHtmlPageEdit* edit = Find(&input)) ShowValue(*edit, input.Value());
}

void DHtmlPageEdits::ShowValue(DHtmlPageEdit& edit, const std::wstring& value)
{
    if (WindowText(edit.m_hWnd) == value) return;
    syncing_ = true;
    if (!::SetWindowTextW(edit.m_hWnd, value.c_str())) TraceLastError(L"SetWindowText of a page edit");
    syncing_ = false;
}
