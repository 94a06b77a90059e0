#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Trace.h"
#include "framework/CDHtmlDialog.h"
#include "framework/CWinApp.h"
#include "framework/tests/FrameworkTestResources.h"
#include "html/FontCache.h"
#include "html/Page.h"
#include "testing/MessagePump.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"

namespace {

using TestSupport::PumpUntil;
using TestSupport::PumpPending;

// Trace lines written while it lives.
class TraceCapture {
public:
    TraceCapture() : listener_(new Listener(lines_)) { System::Diagnostics::Trace::Listeners()->Add(listener_); }
    ~TraceCapture() { System::Diagnostics::Trace::Listeners()->Remove(listener_); }
    bool Contains(const std::wstring& text) const
    {
        for (const auto& line : *lines_) {
            if (line.find(text) != std::wstring::npos) return true;
        }
        return false;
    }

private:
    using Lines = std::shared_ptr<std::vector<std::wstring>>;
    class Listener : public System::Diagnostics::TraceListener {
    public:
        explicit Listener(Lines lines) : lines_(std::move(lines)) {}
        void WriteLine(const System::String& message) override { lines_->push_back(message.GetStdString()); }

    private:
        Lines lines_;
    };
    Lines lines_ = std::make_shared<std::vector<std::wstring>>();
    Listener* listener_;
};

class PageDialog : public CDHtmlDialog {
public:
    explicit PageDialog(UINT page = IDR_DHTML_PAGE) : CDHtmlDialog(IDD_DHTML, page) {}

    std::vector<std::wstring> calls;
    std::vector<std::wstring> order;
    int completed = 0;
    HRESULT selectResult = S_FALSE;
    bool exchange = false;
    bool endWhenComplete = false;
    std::function<void(PageDialog&)> onPanelClick;
    std::vector<UINT> keysSeen;
    int oks = 0;
    int cancels = 0;

    CString title = L"처음 제목";
    CString content = L"<i>기울임</i>";
    CString name = L"홍길동";
    CString gridWidth = L"300";
    CString missing = L"그대로";

    BOOL OnInitDialog() override
    {
        order.push_back(GetElement(L"title") ? L"init with page" : L"init without page");
        BOOL result = CDHtmlDialog::OnInitDialog();
        order.push_back(L"init returns");
        return result;
    }
    void OnOK() override { ++oks; }
    void OnCancel() override { ++cancels; }
    BOOL PreTranslateMessage(MSG* message) override
    {
        if (message->message == WM_KEYDOWN) keysSeen.push_back(static_cast<UINT>(message->wParam));
        return CDHtmlDialog::PreTranslateMessage(message);
    }

    Html::Rect Box(LPCWSTR id) const
    {
        Html::Node* element = GetElement(id);
        return element ? element->Box().border : Html::Rect{};
    }
    POINT Centre(LPCWSTR id) const
    {
        Html::Rect box = Box(id);
        return POINT{box.x + box.width / 2, box.y + box.height / 2};
    }
    void Click(LPCWSTR id)
    {
        POINT at = Centre(id);
        SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        if (m_hWnd) SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
    // The visible edit control at the centre of an element, or null.
    HWND EditOver(LPCWSTR id) const
    {
        HWND child = ChildWindowFromPointEx(m_hWnd, Centre(id), CWP_SKIPINVISIBLE);
        wchar_t className[32] = {};
        if (!child || child == m_hWnd || !GetClassNameW(child, className, 32)) return nullptr;
        return _wcsicmp(className, L"Edit") == 0 ? child : nullptr;
    }

    // The edit control whose window lies exactly over an element's border box, shown or not.
    HWND EditCovering(LPCWSTR id) const
    {
        Html::Rect box = Box(id);
        for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT rect{};
            ::GetWindowRect(child, &rect);
            MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
            if (rect.left == box.x && rect.top == box.y && rect.right == box.Right() && rect.bottom == box.Bottom()) {
                return child;
            }
        }
        return nullptr;
    }

protected:
    void OnRegisterPageScripts() override
    {
        order.push_back(GetPage() && !IsDocumentLoaded() ? L"scripts for the page being loaded" : L"scripts without page");
        RegisterScript(L"page_note", [this](const std::vector<std::wstring>& arguments) {
            calls.push_back(L"script:" + (arguments.empty() ? std::wstring() : arguments[0]));
        });
    }
    void OnDocumentComplete() override
    {
        ++completed;
        order.push_back(L"complete");
        if (endWhenComplete) EndDialog(IDOK);
    }
    void DoDataExchange(CDataExchange* exchange) override
    {
        if (!this->exchange) return;
        DDX_DHtml_ElementInnerText(exchange, L"title", title);
        DDX_DHtml_ElementInnerHtml(exchange, L"content", content);
        DDX_DHtml_ElementValue(exchange, L"name", name);
        DDX_DHtml_AttributeValue(exchange, L"grid", L"width", gridWidth);
        DDX_DHtml_ElementInnerText(exchange, L"nothing", missing);
    }

    HRESULT OnClickOk(Html::Node* element)
    {
        calls.push_back(L"id:" + element->Id());
        return S_OK;
    }
    HRESULT OnClickButtonClass(Html::Node* element)
    {
        calls.push_back(L"class:" + element->Id());
        return S_OK;
    }
    HRESULT OnClickAddon(Html::Node* element)
    {
        calls.push_back(L"addon:" + element->ClassName());
        return S_OK;
    }
    HRESULT OnClickPanel(Html::Node* element)
    {
        calls.push_back(L"panel:" + element->Id());
        if (onPanelClick) onPanelClick(*this);
        return S_OK;
    }
    HRESULT OnClickNext(Html::Node*)
    {
        calls.push_back(L"next");
        return S_OK;
    }
    HRESULT OnOutOk(Html::Node* element)
    {
        calls.push_back(L"out:" + element->Id());
        return S_OK;
    }
    HRESULT OnAnySelectStart(Html::Node* element)
    {
        calls.push_back(L"select:" + element->Id());
        return selectResult;
    }

    DECLARE_DHTML_EVENT_MAP()
};

BEGIN_DHTML_EVENT_MAP(PageDialog)
DHTML_EVENT_ONCLICK(L"BtnOk", OnClickOk)
DHTML_EVENT_CLASS(Html::EventType::Click, L"button", OnClickButtonClass)
DHTML_EVENT_ONCLICK(L"addon", OnClickAddon)
DHTML_EVENT_ONCLICK(L"panel", OnClickPanel)
DHTML_EVENT_ONCLICK(L"BtnNext", OnClickNext)
DHTML_EVENT_ONMOUSEOUT(L"BtnOk", OnOutOk)
DHTML_EVENT_TAG_ALL(Html::EventType::SelectStart, OnAnySelectStart)
END_DHTML_EVENT_MAP()

// A modeless dialog made by the test, complete and gone with the test.
class DHtmlDialogTest : public ::testing::Test {
protected:
    void Open(UINT page = IDR_DHTML_PAGE)
    {
        dialog_ = std::make_unique<PageDialog>(page);
        configure_(*dialog_);
        ASSERT_TRUE(dialog_->Create(IDD_DHTML));
        if (page != IDR_DHTML_MISSING && page != IDR_DHTML_BROKEN) {
            ASSERT_TRUE(PumpUntil([&] { return dialog_->completed > 0; }));
        }
    }
    void TearDown() override
    {
        if (dialog_ && dialog_->m_hWnd) dialog_->DestroyWindow();
        PumpPending();
    }

    std::function<void(PageDialog&)> configure_ = [](PageDialog&) {};
    std::unique_ptr<PageDialog> dialog_;
};

TEST_F(DHtmlDialogTest, PageIsReadyInOnInitDialogAndCompletesOnceAfterIt)
{
    dialog_ = std::make_unique<PageDialog>();
    ASSERT_TRUE(dialog_->Create(IDD_DHTML));
    EXPECT_TRUE(dialog_->IsDocumentLoaded());
    EXPECT_EQ(dialog_->completed, 0) << "the notice waits for OnInitDialog to return";
    ASSERT_TRUE(PumpUntil([&] { return dialog_->completed > 0; }));
    PumpPending();
    EXPECT_EQ(dialog_->order, (std::vector<std::wstring>{L"scripts for the page being loaded", L"init with page",
                                                         L"init returns", L"complete"}));
    EXPECT_EQ(dialog_->completed, 1);

    // Laid out for the client area, with the style sheet and image of the module's resources.
    RECT client{};
    GetClientRect(dialog_->m_hWnd, &client);
    EXPECT_EQ(dialog_->GetPage()->ViewportWidth(), client.right);
    EXPECT_EQ(dialog_->Box(L"red").width, 30) << "css/dialog.css applies";
    EXPECT_EQ(dialog_->Box(L"logo").width, 24) << "images/logo.gif gives the image its size";
    EXPECT_EQ(dialog_->Box(L"logo").height, 16);
}

TEST_F(DHtmlDialogTest, PageFunctionsRegisteredByTheDialogRunFromTheEventAttributes)
{
    configure_ = [](PageDialog& dialog) {
        dialog.RegisterScript(L"early", [&dialog](const std::vector<std::wstring>&) { dialog.calls.push_back(L"early"); });
    };
    Open();
    dialog_->Click(L"title");
    EXPECT_EQ(dialog_->calls, (std::vector<std::wstring>{L"script:title"}));
    EXPECT_TRUE(dialog_->GetPage()->CallScript(L"early", {})) << "registered before the page existed";
    EXPECT_EQ(dialog_->calls.back(), L"early");
}

TEST_F(DHtmlDialogTest, ResizingTheWindowLaysThePageOutForTheNewClientArea)
{
    Open();
    dialog_->SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(dialog_->m_hWnd, &client);
    EXPECT_EQ(dialog_->GetPage()->ViewportWidth(), client.right);
    EXPECT_EQ(dialog_->GetPage()->ViewportHeight(), client.bottom);
    EXPECT_EQ(dialog_->Box(L"content").width, 160) << "still laid out";
}

// Keeps a timer of its own, as the suite's windows do.
class TimerDialog : public PageDialog {
public:
    TimerDialog() : PageDialog(IDR_DHTML_ANIMATED) {}
    std::vector<UINT_PTR> timersSeen;

protected:
    void OnTimer(UINT_PTR id) { timersSeen.push_back(id); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TimerDialog, PageDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(DHtmlDialogAnimationTest, AnimatedImageRunsWithoutTouchingTheDialogsOwnTimers)
{
    TimerDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_DHTML));
    ASSERT_TRUE(PumpUntil([&] { return dialog.completed > 0; }));
    dialog.SetTimer(1, 20);
    dialog.ShowWindow(SW_SHOWNA);
    POINT blink = dialog.Centre(L"blink");
    bool sawRed = false;
    bool sawGreen = false;
    bool alternated = PumpUntil([&] {
        HDC dc = GetDC(dialog.m_hWnd);
        if (!dc) return false;
        COLORREF color = GetPixel(dc, blink.x, blink.y);
        ReleaseDC(dialog.m_hWnd, dc);
        sawRed = sawRed || color == RGB(255, 0, 0);
        sawGreen = sawGreen || color == RGB(0, 255, 0);
        return sawRed && sawGreen;
    });
    dialog.KillTimer(1);
    EXPECT_TRUE(alternated) << "red seen " << sawRed << ", green seen " << sawGreen;
    ASSERT_FALSE(dialog.timersSeen.empty());
    for (UINT_PTR id : dialog.timersSeen) EXPECT_EQ(id, 1u) << "only the dialog's own timer reaches OnTimer";
    dialog.DestroyWindow();
}

TEST(DHtmlDialogModalTest, ModalDialogCompletesInItsOwnLoop)
{
    PageDialog dialog;
    dialog.endWhenComplete = true;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.completed, 1);
    EXPECT_EQ(dialog.GetPage(), nullptr) << "the page goes with the window";
}

TEST_F(DHtmlDialogTest, ClickReachesHandlersByIdAndByClass)
{
    Open();
    dialog_->Click(L"BtnOk");
    EXPECT_EQ(dialog_->calls, (std::vector<std::wstring>{L"id:BtnOk", L"class:BtnOk"}));
    EXPECT_EQ(GetCapture(), nullptr) << "the press's capture ends with the release";
}

TEST_F(DHtmlDialogTest, ElementsSharingAnIdEachReachTheHandlerWithThemselves)
{
    Open();
    std::vector<Html::Node*> addons;
    for (Html::Node* div : dialog_->GetPage()->GetDocument().GetElementsByTagName(L"div")) {
        if (div->Id() == L"addon") addons.push_back(div);
    }
    ASSERT_EQ(addons.size(), 2u);
    for (Html::Node* addon : addons) {
        Html::Rect box = addon->Box().border;
        LPARAM at = MAKELPARAM(box.x + 5, box.y + box.height / 2);
        dialog_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        dialog_->SendMessage(WM_LBUTTONUP, 0, at);
    }
    EXPECT_EQ(dialog_->calls, (std::vector<std::wstring>{L"addon:sweeper", L"addon:startup"}));
}

TEST_F(DHtmlDialogTest, ClickOnAChildBubblesToTheParentsHandler)
{
    Open();
    dialog_->Click(L"child");
    EXPECT_EQ(dialog_->calls, (std::vector<std::wstring>{L"panel:panel"}));
}

TEST_F(DHtmlDialogTest, RenamedButtonMatchesNothingUntilItsIdIsBack)
{
    Open();
    dialog_->Click(L"_BtnNext");
    EXPECT_TRUE(dialog_->calls.empty());

    dialog_->SetElementAttribute(L"_BtnNext", L"id", L"BtnNext");
    PumpPending();
    dialog_->Click(L"BtnNext");
    EXPECT_EQ(dialog_->calls, (std::vector<std::wstring>{L"next"}));
}

TEST_F(DHtmlDialogTest, MouseLeavingTheWindowEndsTheHover)
{
    Open();
    POINT at = dialog_->Centre(L"BtnOk");
    dialog_->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    dialog_->SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(dialog_->calls, (std::vector<std::wstring>{L"out:BtnOk"}));
}

TEST_F(DHtmlDialogTest, ReleaseOffTheWindowEndsTheHoverOfThePress)
{
    Open();
    POINT at = dialog_->Centre(L"BtnOk");
    dialog_->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    dialog_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(GetCapture(), dialog_->m_hWnd) << "the press holds the mouse";
    dialog_->SendMessage(WM_MOUSELEAVE);
    EXPECT_TRUE(dialog_->calls.empty()) << "the press keeps the hover while the button is down";
    dialog_->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(-20, -20));
    EXPECT_EQ(dialog_->calls, (std::vector<std::wstring>{L"out:BtnOk"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(DHtmlDialogTest, SelectStartHandlerDecidesWhetherSelectionStarts)
{
    Open();
    POINT at = dialog_->Centre(L"text");
    auto drag = [&] {
        dialog_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        dialog_->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 20, at.y));
        bool selecting = dialog_->GetPage()->Events().IsSelecting();
        dialog_->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x + 20, at.y));
        return selecting;
    };

    EXPECT_FALSE(drag()) << "S_FALSE cancels";
    EXPECT_EQ(dialog_->calls, (std::vector<std::wstring>{L"select:text"})) << "once, on the target only";

    dialog_->selectResult = S_OK;
    EXPECT_TRUE(drag());
}

TEST_F(DHtmlDialogTest, DialogDestroyedByItsOwnClickHandlerEndsTheEventSafely)
{
    bool deleted = false;
    class SelfDeleting : public PageDialog {
    public:
        explicit SelfDeleting(bool& deleted) : deleted_(deleted) {}
        void PostNcDestroy() override
        {
            deleted_ = true;
            delete this;
        }

    private:
        bool& deleted_;
    };
    auto* dialog = new SelfDeleting(deleted);
    dialog->onPanelClick = [](PageDialog& self) { self.DestroyWindow(); };
    ASSERT_TRUE(dialog->Create(IDD_DHTML));
    HWND hwnd = dialog->m_hWnd;
    dialog->Click(L"child");
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(DHtmlDialogTest, DataExchangeGoesBothWays)
{
    configure_ = [](PageDialog& dialog) { dialog.exchange = true; };
    Open();
    // OnInitDialog put the members into the page.
    EXPECT_EQ(dialog_->GetElementText(L"title"), CString(L"처음 제목"));
    EXPECT_EQ(dialog_->GetElementHtml(L"content"), CString(L"<i>기울임</i>"));
    EXPECT_EQ(dialog_->GetElement(L"name")->Value(), L"홍길동");
    EXPECT_EQ(dialog_->GetElementAttribute(L"grid", L"width"), CString(L"300"));
    EXPECT_EQ(dialog_->Box(L"grid").width, 300) << "the page was laid out with the new width";

    dialog_->SetElementText(L"title", L"새 제목");
    dialog_->SetElementHtml(L"content", L"<b>굵게</b> 다시");
    dialog_->GetElement(L"name")->SetValue(L"임꺽정");
    dialog_->SetElementAttribute(L"grid", L"width", L"250");
    ASSERT_TRUE(dialog_->UpdateData(TRUE));
    EXPECT_EQ(dialog_->title, CString(L"새 제목"));
    EXPECT_EQ(dialog_->content, CString(L"<b>굵게</b> 다시"));
    EXPECT_EQ(dialog_->name, CString(L"임꺽정"));
    EXPECT_EQ(dialog_->gridWidth, CString(L"250"));
    EXPECT_EQ(dialog_->missing, CString()) << "a missing element exchanges an empty text";

    dialog_->title = L"세 번째";
    dialog_->gridWidth = L"180";
    ASSERT_TRUE(dialog_->UpdateData(FALSE));
    PumpPending();
    EXPECT_EQ(dialog_->GetElementText(L"title"), CString(L"세 번째"));
    EXPECT_EQ(dialog_->Box(L"grid").width, 180);
}

TEST_F(DHtmlDialogTest, EditControlCoversEachTextInputWithItsFont)
{
    Open();
    HWND edit = dialog_->EditOver(L"name");
    ASSERT_NE(edit, nullptr);
    RECT rect{};
    GetWindowRect(edit, &rect);
    MapWindowPoints(nullptr, dialog_->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    Html::Rect box = dialog_->Box(L"name");
    EXPECT_EQ(rect.left, box.x);
    EXPECT_EQ(rect.top, box.y);
    EXPECT_EQ(rect.right - rect.left, box.width);
    EXPECT_EQ(rect.bottom - rect.top, box.height);

    LOGFONTW font{};
    ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)), sizeof font, &font), 0);
    EXPECT_EQ(font.lfHeight, -14) << "the input's font size from the style sheet";
    const Html::ComputedStyle& style = dialog_->GetElement(L"name")->Style();
    Html::FontCache faces;
    EXPECT_EQ(std::wstring(font.lfFaceName), faces.Get(style.fontFamily, style.fontSize, style.fontWeight, style.italic)->face)
        << "the face the page picks from the input's family list";

    wchar_t text[64] = {};
    GetWindowTextW(edit, text, 64);
    EXPECT_STREQ(text, L"처음 값");

    HWND secret = dialog_->EditOver(L"secret");
    ASSERT_NE(secret, nullptr);
    EXPECT_NE(GetWindowLongPtrW(secret, GWL_STYLE) & ES_PASSWORD, 0);
}

TEST_F(DHtmlDialogTest, EditAndInputValuesFollowEachOther)
{
    Open();
    HWND edit = dialog_->EditOver(L"name");
    ASSERT_NE(edit, nullptr);
    Html::Node* input = dialog_->GetElement(L"name");

    SetWindowTextW(edit, L"입력한 값");
    EXPECT_EQ(input->Value(), L"입력한 값");

    input->SetValue(L"코드에서 넣은 값");
    wchar_t text[64] = {};
    GetWindowTextW(edit, text, 64);
    EXPECT_STREQ(text, L"코드에서 넣은 값");
    EXPECT_EQ(input->Value(), L"코드에서 넣은 값");
}

TEST_F(DHtmlDialogTest, EditsMoveHideAndGoWithTheirInputs)
{
    Open();
    HWND edit = dialog_->EditOver(L"name");
    ASSERT_NE(edit, nullptr);
    int before = dialog_->Box(L"name").y;

    dialog_->SetElementAttribute(L"spacer", L"style", L"height: 64px");
    PumpPending();
    EXPECT_EQ(dialog_->Box(L"name").y, before + 60);
    EXPECT_EQ(dialog_->EditOver(L"name"), edit) << "the same edit, moved with its input";

    dialog_->GetElement(L"form")->SetStyleDisplay(L"none");
    PumpPending();
    EXPECT_EQ(GetWindowLongPtrW(edit, GWL_STYLE) & WS_VISIBLE, 0);
    dialog_->GetElement(L"form")->SetStyleDisplay(L"");
    PumpPending();
    EXPECT_NE(GetWindowLongPtrW(edit, GWL_STYLE) & WS_VISIBLE, 0);

    dialog_->SetElementHtml(L"form", L"<input type=\"text\" id=\"other\" value=\"새 입력\" />");
    PumpPending();
    EXPECT_FALSE(IsWindow(edit)) << "the removed input's edit is gone";
    HWND other = dialog_->EditOver(L"other");
    ASSERT_NE(other, nullptr);
    wchar_t text[64] = {};
    GetWindowTextW(other, text, 64);
    EXPECT_STREQ(text, L"새 입력");
}

TEST_F(DHtmlDialogTest, EditsFollowScrollingAndShowOnlyWhatTheScrollingBoxShows)
{
    Open();
    ASSERT_NE(dialog_->GetElement(L"inner"), nullptr);
    Html::Page& page = *dialog_->GetPage();
    Html::Node& inner = *dialog_->GetElement(L"inner");
    HWND edit = dialog_->EditCovering(L"inner");
    ASSERT_NE(edit, nullptr);
    auto expectClippedToVisiblePart = [&] {
        Html::Rect box = inner.Box().border;
        Html::Rect visible = page.VisibleBox(inner);
        ASSERT_FALSE(visible.IsEmpty());
        ASSERT_TRUE(visible != box) << "the scrolling box cuts the input";
        RECT region{};
        ASSERT_EQ(GetWindowRgnBox(edit, &region), SIMPLEREGION);
        EXPECT_EQ(region.left, visible.x - box.x);
        EXPECT_EQ(region.top, visible.y - box.y);
        EXPECT_EQ(region.right, visible.Right() - box.x);
        EXPECT_EQ(region.bottom, visible.Bottom() - box.y);
    };
    expectClippedToVisiblePart();

    int before = inner.Box().border.y;
    POINT wheel = dialog_->Centre(L"scroller");
    ClientToScreen(dialog_->m_hWnd, &wheel);
    dialog_->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(wheel.x, wheel.y));
    ASSERT_LT(inner.Box().border.y, before) << "the wheel scrolled the box";
    EXPECT_EQ(dialog_->EditCovering(L"inner"), edit) << "the edit moved with its input";
    expectClippedToVisiblePart();

    for (int notch = 0; notch < 5; ++notch) {
        dialog_->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(wheel.x, wheel.y));
    }
    ASSERT_TRUE(page.VisibleBox(inner).IsEmpty());
    EXPECT_EQ(GetWindowLongPtrW(edit, GWL_STYLE) & WS_VISIBLE, 0) << "scrolled out of sight";
}

TEST_F(DHtmlDialogTest, KeysInAnEditPassThePreTranslateChainButNeverEndTheDialog)
{
    Open();
    dialog_->ShowWindow(SW_SHOW);
    HWND name = dialog_->EditOver(L"name");
    HWND secret = dialog_->EditOver(L"secret");
    ASSERT_NE(name, nullptr);
    ASSERT_NE(secret, nullptr);
    SetFocus(name);
    ASSERT_EQ(GetFocus(), name);

    PostMessageW(name, WM_KEYDOWN, VK_TAB, 0);
    PumpUntil([&] { return GetFocus() == secret; }, 500);
    EXPECT_EQ(GetFocus(), secret) << "Tab moves to the next input's edit";

    PostMessageW(secret, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(secret, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpUntil([&] { return dialog_->keysSeen.size() >= 3; }, 500);
    PumpPending();
    EXPECT_EQ(dialog_->keysSeen, (std::vector<UINT>{VK_TAB, VK_RETURN, VK_ESCAPE}));
    EXPECT_EQ(dialog_->oks, 0);
    EXPECT_EQ(dialog_->cancels, 0);
    EXPECT_TRUE(dialog_->IsWindowVisible());
}

TEST_F(DHtmlDialogTest, PaintsThePageAndAsksForThePagesCursor)
{
    Open();
    dialog_->SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog_->ShowWindow(SW_SHOW);
    dialog_->UpdateWindow();
    // Left beside the test program for a person to look at.
    wchar_t program[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring folder(program, length);
    folder.resize(folder.find_last_of(L'\\') + 1);
    EXPECT_TRUE(TestSupport::SaveWindowImage(dialog_->m_hWnd, folder + L"screenshots\\dhtml-dialog.png"));

    HDC dc = GetDC(dialog_->m_hWnd);
    ASSERT_NE(dc, nullptr);
    POINT red = dialog_->Centre(L"red");
    COLORREF painted = GetPixel(dc, red.x, red.y);
    ReleaseDC(dialog_->m_hWnd, dc);
    EXPECT_EQ(painted, RGB(255, 0, 0));
    EXPECT_EQ(dialog_->SendMessage(WM_ERASEBKGND, 0, 0), TRUE) << "the page paints all of the client area";

    POINT button = dialog_->Centre(L"BtnOk");
    ClientToScreen(dialog_->m_hWnd, &button);
    ASSERT_TRUE(SetCursorPos(button.x, button.y));
    EXPECT_EQ(dialog_->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog_->m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND)) << ".button asks for the pointer";
}

TEST_F(DHtmlDialogTest, MissingPageLeavesAnEmptyWorkingDialog)
{
    TraceCapture trace;
    Open(IDR_DHTML_MISSING);
    EXPECT_TRUE(trace.Contains(L"603"));
    EXPECT_EQ(dialog_->GetPage(), nullptr);
    EXPECT_FALSE(dialog_->IsDocumentLoaded());
    EXPECT_EQ(dialog_->order.front(), L"init without page");
    EXPECT_EQ(dialog_->GetElement(L"title"), nullptr);
    EXPECT_EQ(dialog_->GetElementText(L"title"), CString());
    dialog_->SetElementText(L"title", L"아무 데도");
    dialog_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    dialog_->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    dialog_->ShowWindow(SW_SHOW);
    dialog_->UpdateWindow();
    PumpPending();
    EXPECT_EQ(dialog_->completed, 0) << "no document, no completion";
}

TEST_F(DHtmlDialogTest, MalformedPageLeavesAnEmptyDialogAndSaysWhy)
{
    TraceCapture trace;
    Open(IDR_DHTML_BROKEN);
    EXPECT_TRUE(trace.Contains(L"602"));
    EXPECT_EQ(dialog_->GetPage(), nullptr);
    EXPECT_EQ(dialog_->GetElement(L"title"), nullptr);
    PumpPending();
    EXPECT_EQ(dialog_->completed, 0);
}

TEST(DHtmlDialogLifetimeTest, FiftyDialogsLeaveNoWindowOrDrawingObjectsBehind)
{
    auto openAndClose = [] {
        PageDialog dialog;
        ASSERT_TRUE(dialog.Create(IDD_DHTML));
        dialog.ShowWindow(SW_SHOWNA);
        dialog.UpdateWindow();
        ASSERT_TRUE(PumpUntil([&] { return dialog.completed > 0; }));
        dialog.Click(L"BtnOk");
        dialog.DestroyWindow();
        PumpPending();
    };
    openAndClose();
    AfxDeleteTempMaps();
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int i = 0; i < 50; ++i) openAndClose();
    AfxDeleteTempMaps();
    if (TestSupport::IsWine()) GTEST_SKIP() << "GetGuiResources answers 0 under Wine, so the counts prove nothing there";
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
}

}  // namespace
