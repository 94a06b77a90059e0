#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "html/Node.h"
#include "html/Page.h"
#include "html/ResourceLoader.h"
#include "shell/CDHtmlDialogEx.h"
#include "shell/tests/ShellTestResources.h"
#include "shell/tests/ShellTestSupport.h"

using ShellTesting::Centre;
using ShellTesting::ClickAt;
using ShellTesting::PumpPending;
using ShellTesting::PumpUntil;

namespace {

class ShellDialog : public CDHtmlDialogEx {
public:
    ShellDialog() : CDHtmlDialogEx(IDD_SHELL_TEST, IDR_SHELL_TEST_PAGE, nullptr) {}

    int nextClicks = 0;
    int completed = 0;
    int cancels = 0;
    std::vector<WPARAM> keysReceived;

    HRESULT OnNext(Html::Node*)
    {
        ++nextClicks;
        return S_OK;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) keysReceived.push_back(wParam);
        return CDHtmlDialogEx::WindowProc(message, wParam, lParam);
    }
    void OnCancel() override { ++cancels; }

    // Offers a key message the way the message loop does; true when the window got it.
    bool Reaches(UINT message, WPARAM key)
    {
        keysReceived.clear();
        MSG record{m_hWnd, message, key, 1, 0, {}};
        if (!PreTranslateMessage(&record)) {
            TranslateMessage(&record);
            DispatchMessageW(&record);
        }
        // Characters the translation queued are not what these tests look at.
        MSG character;
        while (PeekMessageW(&character, m_hWnd, WM_CHAR, WM_SYSDEADCHAR, PM_REMOVE)) {
        }
        return std::find(keysReceived.begin(), keysReceived.end(), key) != keysReceived.end();
    }
    std::wstring PageMarkup() { return GetPage()->GetDocument().Root()->OuterHtml(); }

protected:
    void OnDocumentComplete() override { ++completed; }

    DECLARE_DHTML_EVENT_MAP()
};

BEGIN_DHTML_EVENT_MAP(ShellDialog)
DHTML_EVENT_ONCLICK(L"BtnNext", OnNext)
DHTML_EVENT_TAG_ALL(Html::EventType::SelectStart, OnSelectStart)
DHTML_EVENT_TAG_ALL(Html::EventType::DragStart, OnDragStart)
END_DHTML_EVENT_MAP()

// Holds a key down through injected input, for GetAsyncKeyState to see; lets go when destroyed.
class HeldKey {
public:
    explicit HeldKey(WORD key) : key_(key)
    {
        // Wine sets the key state back to the display's own keyboard when a window of the thread
        // takes the focus, which may come just after the first press: press until it holds.
        for (int attempt = 0; attempt < 5 && !Seen(); ++attempt) {
            Send(0);
            DropQueuedKeys();
        }
    }
    ~HeldKey()
    {
        Send(KEYEVENTF_KEYUP);
        DropQueuedKeys();
    }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;

    bool Seen() const { return (GetAsyncKeyState(key_) & 0x8000) != 0; }

private:
    void Send(DWORD flags)
    {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key_;
        input.ki.dwFlags = flags;
        if (SendInput(1, &input, sizeof input) != 1) ADD_FAILURE() << "SendInput failed, error " << GetLastError();
    }
    // Runs what is queued, except the injected keys: dispatched, a lone Alt would open the system
    // menu.
    static void DropQueuedKeys()
    {
        MSG message;
        for (int i = 0; i < 500 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) DispatchMessageW(&message);
        }
    }

    WORD key_;
};

// The test dialog, created modeless, shown and with its page laid out.
class DialogExTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog_.Create(IDD_SHELL_TEST));
        dialog_.ShowWindow(SW_SHOW);
        ASSERT_TRUE(PumpUntil([this] { return dialog_.completed > 0; }));
        DropCaptionDrags();
    }
    void TearDown() override
    {
        DropCaptionDrags();
        if (dialog_.m_hWnd) dialog_.DestroyWindow();
    }

    // Takes a posted caption drag off the queue without running it (that would start a move loop).
    bool TakeCaptionDrag()
    {
        MSG message;
        if (!PeekMessageW(&message, dialog_.m_hWnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE)) return false;
        EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), message.wParam);
        return true;
    }
    void DropCaptionDrags()
    {
        while (dialog_.m_hWnd && TakeCaptionDrag()) {
        }
    }
    // A press at a point and a move beyond the drag distance, as a selection or drag starts.
    void PressAndMove(POINT at)
    {
        dialog_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        dialog_.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 12, at.y + 1));
    }
    void Release(POINT at) { dialog_.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x + 12, at.y + 1)); }

    ShellDialog dialog_;
};

TEST_F(DialogExTest, SwallowsBrowserKeysOnEveryKindOfKeyMessage)
{
    std::vector<WPARAM> keys{VK_ESCAPE, VK_HELP, VK_F1, VK_F2};
    for (WPARAM key = VK_F4; key <= VK_F12; ++key) keys.push_back(key);
    for (UINT message : {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP}) {
        for (WPARAM key : keys) {
            MSG record{dialog_.m_hWnd, message, key, 1, 0, {}};
            EXPECT_TRUE(dialog_.PreTranslateMessage(&record)) << "message " << message << " key " << key;
        }
    }
}

TEST_F(DialogExTest, EscapeF1AndF5NeverReachTheWindowWhileF3AndLettersDo)
{
    EXPECT_FALSE(dialog_.Reaches(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_FALSE(dialog_.Reaches(WM_KEYDOWN, VK_F1));
    EXPECT_FALSE(dialog_.Reaches(WM_KEYDOWN, VK_F5));
    EXPECT_FALSE(dialog_.Reaches(WM_SYSKEYDOWN, VK_F4));
    EXPECT_TRUE(dialog_.Reaches(WM_KEYDOWN, VK_F3));
    EXPECT_TRUE(dialog_.Reaches(WM_KEYDOWN, 'P'));
    EXPECT_EQ(0, dialog_.cancels);
}

TEST_F(DialogExTest, EscapeThroughTheMessageLoopLeavesTheDialogOpen)
{
    dialog_.keysReceived.clear();
    ASSERT_TRUE(dialog_.PostMessage(WM_KEYDOWN, VK_ESCAPE, 1));
    ASSERT_TRUE(dialog_.PostMessage(WM_KEYDOWN, VK_F3, 1));
    PumpPending();
    EXPECT_EQ(0, dialog_.cancels);
    EXPECT_TRUE(dialog_.IsWindowVisible());
    EXPECT_EQ(std::vector<WPARAM>{VK_F3}, dialog_.keysReceived);
}

// Ctrl and Alt are read from the asynchronous key state, so they are pressed for real here.
TEST_F(DialogExTest, CtrlShortcutsAreSwallowedOnlyWhileCtrlIsDown)
{
    {
        HeldKey control(VK_CONTROL);
        if (!control.Seen()) GTEST_SKIP() << "injected input does not reach GetAsyncKeyState on this display";
        for (WPARAM key : {'N', 'P', 'D', 'A'}) EXPECT_FALSE(dialog_.Reaches(WM_KEYDOWN, key)) << char(key);
        EXPECT_FALSE(dialog_.Reaches(WM_KEYUP, 'P'));
        EXPECT_TRUE(dialog_.Reaches(WM_KEYDOWN, 'B'));
        EXPECT_TRUE(dialog_.Reaches(WM_KEYDOWN, VK_F3));
        // Other messages carry their own values in wParam: a timer numbered like 'P' still runs.
        MSG timer{dialog_.m_hWnd, WM_TIMER, 'P', 0, 0, {}};
        EXPECT_FALSE(dialog_.PreTranslateMessage(&timer));
        MSG privateMessage{dialog_.m_hWnd, WM_USER + 7, 'A', 0, 0, {}};
        EXPECT_FALSE(dialog_.PreTranslateMessage(&privateMessage));
    }
    EXPECT_TRUE(dialog_.Reaches(WM_KEYDOWN, 'P'));
}

TEST_F(DialogExTest, AltArrowsAreSwallowedOnlyWhileAltIsDown)
{
    {
        HeldKey alt(VK_MENU);
        if (!alt.Seen()) GTEST_SKIP() << "injected input does not reach GetAsyncKeyState on this display";
        EXPECT_FALSE(dialog_.Reaches(WM_SYSKEYDOWN, VK_LEFT));
        EXPECT_FALSE(dialog_.Reaches(WM_SYSKEYDOWN, VK_RIGHT));
        EXPECT_TRUE(dialog_.Reaches(WM_SYSKEYDOWN, VK_UP));
    }
    EXPECT_TRUE(dialog_.Reaches(WM_SYSKEYDOWN, VK_LEFT));
}

TEST_F(DialogExTest, SelectionAndDragAreAllowedOnlyInEditElements)
{
    Html::Node* input = dialog_.GetElement(L"txtInput");
    Html::Node* paragraph = dialog_.GetElement(L"para");
    ASSERT_TRUE(input && paragraph);
    EXPECT_EQ(S_OK, dialog_.OnSelectStart(input));
    EXPECT_EQ(S_OK, dialog_.OnDragStart(input));
    EXPECT_EQ(S_FALSE, dialog_.OnSelectStart(paragraph));
    EXPECT_EQ(S_FALSE, dialog_.OnDragStart(paragraph));
    EXPECT_EQ(S_FALSE, dialog_.OnSelectStart(nullptr));
    EXPECT_FALSE(TakeCaptionDrag());
}

TEST_F(DialogExTest, HeaderAndTitleClassesDragTheWindowButOtherCasesDoNot)
{
    EXPECT_EQ(S_FALSE, dialog_.OnSelectStart(dialog_.GetElement(L"band")));
    EXPECT_TRUE(TakeCaptionDrag());
    EXPECT_EQ(S_FALSE, dialog_.OnDragStart(dialog_.GetElement(L"caption")));
    EXPECT_TRUE(TakeCaptionDrag());
    EXPECT_EQ(S_FALSE, dialog_.OnSelectStart(dialog_.GetElement(L"notBand")));
    EXPECT_EQ(S_FALSE, dialog_.OnSelectStart(dialog_.GetElement(L"BtnNext")));
    EXPECT_FALSE(TakeCaptionDrag());
}

TEST_F(DialogExTest, PressAndMoveOnThePageGoesThroughTheEventMap)
{
    Html::Page* page = dialog_.GetPage();
    const Html::Rect& band = dialog_.GetElement(L"band")->Box().border;
    POINT onBand{band.x + band.width - 30, band.y + 4};
    PressAndMove(onBand);
    EXPECT_TRUE(TakeCaptionDrag());
    Release(onBand);

    POINT onParagraph = Centre(dialog_, L"para");
    PressAndMove(onParagraph);
    EXPECT_FALSE(page->Events().IsSelecting());
    EXPECT_FALSE(TakeCaptionDrag());
    Release(onParagraph);

    POINT onNotBand = Centre(dialog_, L"notBand");
    PressAndMove(onNotBand);
    EXPECT_FALSE(TakeCaptionDrag());
    Release(onNotBand);

    POINT onInput = Centre(dialog_, L"txtInput");
    PressAndMove(onInput);
    EXPECT_TRUE(page->Events().IsSelecting());
    Release(onInput);
}

TEST_F(DialogExTest, DisabledArrowCallsNoHandlerUntilEnabledAgain)
{
    POINT arrow = Centre(dialog_, L"BtnNext");
    ClickAt(dialog_, arrow);
    EXPECT_EQ(1, dialog_.nextClicks);

    EXPECT_TRUE(dialog_.CallScript(L"disable_button", L"BtnNext"));
    PumpPending();
    EXPECT_EQ(CString(L"images/arrow_right_dis.gif"), dialog_.GetElementAttribute(L"_BtnNext", L"src"));
    ClickAt(dialog_, arrow);
    EXPECT_EQ(1, dialog_.nextClicks);
    EXPECT_EQ(CString(L"images/arrow_right_dis.gif"), dialog_.GetElementAttribute(L"_BtnNext", L"src"));

    EXPECT_TRUE(dialog_.CallScript(L"enable_button", L"BtnNext"));
    PumpPending();
    ClickAt(dialog_, arrow);
    EXPECT_EQ(2, dialog_.nextClicks);
}

TEST_F(DialogExTest, CallScriptOfAMissingFunctionReturnsFalseAndChangesNothing)
{
    std::wstring before = dialog_.PageMarkup();
    EXPECT_FALSE(dialog_.CallScript(L"no_such_function", L"BtnNext"));
    EXPECT_FALSE(dialog_.CallScript(L"no_such_function", L"BtnNext", L"BtnPrevious"));
    EXPECT_FALSE(dialog_.CallScript(L"no_such_function", CStringArray()));
    EXPECT_EQ(before, dialog_.PageMarkup());
}

TEST_F(DialogExTest, CallScriptPassesTheTextsInOrder)
{
    std::vector<std::wstring> received;
    dialog_.RegisterScript(L"record", [&received](const std::vector<std::wstring>& arguments) { received = arguments; });
    EXPECT_TRUE(dialog_.CallScript(L"record", L"하나", L"둘"));
    EXPECT_EQ((std::vector<std::wstring>{L"하나", L"둘"}), received);
    CStringArray three;
    three.Add(L"a");
    three.Add(L"");
    three.Add(L"c");
    EXPECT_TRUE(dialog_.CallScript(L"record", three));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"", L"c"}), received);
    EXPECT_TRUE(dialog_.CallScript(L"record", CStringArray()));
    EXPECT_TRUE(received.empty());
}

TEST_F(DialogExTest, CallScriptReportsAFailingPageFunctionAsFalse)
{
    dialog_.RegisterScript(L"fails", [](const std::vector<std::wstring>&) {
        throw new System::InvalidOperationException(L"the page function failed");
    });
    EXPECT_FALSE(dialog_.CallScript(L"fails", L"x"));
    EXPECT_TRUE(dialog_.CallScript(L"enable_button", L"BtnNext"));
}

TEST(DialogExWithoutWindowTest, CallScriptBeforeThePageIsLoadedReturnsFalse)
{
    ShellDialog dialog;
    EXPECT_FALSE(dialog.CallScript(L"enable_button", L"BtnNext"));
    EXPECT_FALSE(dialog.CallScript(L"enable_button", L"BtnNext", L"BtnPrevious"));
    EXPECT_EQ(S_FALSE, dialog.OnSelectStart(nullptr));
}

// The program carries its own resource script and the shared assets side by side.
TEST_F(DialogExTest, PageFromTheModuleUsesTheSharedStyleSheetAndImages)
{
    Html::ModuleResourceLoader loader(GetModuleHandleW(nullptr));
    std::string bytes;
    EXPECT_TRUE(loader.LoadPage(IDR_SHELL_TEST_PAGE, bytes));
    EXPECT_TRUE(loader.Load(L"css/shell.css", bytes));
    EXPECT_EQ(29, dialog_.GetElement(L"band")->Box().border.height);
    EXPECT_EQ(24, dialog_.GetElement(L"BtnNext")->Box().border.width);
}

}  // namespace
