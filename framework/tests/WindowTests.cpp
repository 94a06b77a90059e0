#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "framework/CControls.h"
#include "framework/CDC.h"
#include "framework/CWinApp.h"
#include "framework/CWnd.h"

namespace {

constexpr UINT WM_PING = WM_APP + 1;
constexpr UINT WM_BASE_ONLY = WM_APP + 2;
constexpr UINT ID_ACTION = 4001;

// Pumps messages through the framework's loop until done() or the limit of rounds.
template <class Done>
void PumpUntil(Done done, int rounds = 200)
{
    for (int i = 0; i < rounds && !done(); ++i) {
        MSG peek;
        if (PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            AfxPumpMessage();
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
}

class BaseWindow : public CWnd {
public:
    std::vector<CString> calls;

protected:
    LRESULT OnPing(WPARAM wParam, LPARAM)
    {
        calls.push_back(L"base ping");
        return static_cast<LRESULT>(wParam) + 1;
    }
    LRESULT OnBaseOnly(WPARAM, LPARAM)
    {
        calls.push_back(L"base only");
        return 7;
    }
    void OnAction() { calls.push_back(L"base action"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWindow, CWnd)
ON_MESSAGE(WM_PING, OnPing)
ON_MESSAGE(WM_BASE_ONLY, OnBaseOnly)
ON_COMMAND(ID_ACTION, OnAction)
END_MESSAGE_MAP()

// Extends its base's map: its own ping wins, the base's other entries still work.
class DerivedWindow : public BaseWindow {
public:
    int created = 0;
    int timerTicks = 0;
    BOOL preTranslated = FALSE;
    std::vector<UINT> preTranslatedMessages;

    BOOL PreTranslateMessage(MSG* message) override
    {
        if (message->message == WM_KEYDOWN) preTranslatedMessages.push_back(static_cast<UINT>(message->wParam));
        return message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE;
    }

protected:
    int OnCreate(LPCREATESTRUCT create)
    {
        ++created;
        return CWnd::OnCreate(create);
    }
    LRESULT OnPing(WPARAM, LPARAM)
    {
        calls.push_back(L"derived ping");
        return 42;
    }
    void OnTimer(UINT_PTR id)
    {
        if (id == 9 && ++timerTicks == 3) KillTimer(9);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWindow, BaseWindow)
ON_WM_CREATE()
ON_MESSAGE(WM_PING, OnPing)
ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(MessageMapTest, DerivedMapExtendsItsBase)
{
    DerivedWindow window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"창", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 100), nullptr, 0));
    EXPECT_EQ(window.created, 1) << "WM_CREATE must reach the map";
    EXPECT_EQ(CWnd::FromHandlePermanent(window.m_hWnd), &window);

    EXPECT_EQ(window.SendMessage(WM_PING, 1), 42);
    EXPECT_EQ(window.SendMessage(WM_BASE_ONLY), 7);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(ID_ACTION, 0));
    EXPECT_EQ(window.calls, (std::vector<CString>{L"derived ping", L"base only", L"base action"}));

    // Unmapped messages reach the window's own procedure.
    window.SetWindowText(L"제목");
    CString title;
    window.GetWindowText(title);
    EXPECT_EQ(title, CString(L"제목"));

    HWND hwnd = window.m_hWnd;
    window.DestroyWindow();
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST(MessageMapTest, TimersReachTheMap)
{
    DerivedWindow window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"timer", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100), nullptr, 0));
    window.SetTimer(9, 10);
    PumpUntil([&] { return window.timerTicks >= 3; });
    EXPECT_EQ(window.timerTicks, 3);
}

TEST(MessageMapTest, PreTranslateWalksFromTheTargetUpThroughItsParents)
{
    DerivedWindow parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"parent", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 200), nullptr, 0));
    CWnd child;
    ASSERT_TRUE(child.Create(L"EDIT", L"", WS_VISIBLE, CRect(0, 0, 100, 20), &parent, 77));

    child.PostMessage(WM_KEYDOWN, 'A');
    child.PostMessage(WM_KEYDOWN, VK_ESCAPE);
    parent.PostMessage(WM_PING);
    PumpUntil([&] { return !parent.calls.empty(); });
    EXPECT_EQ(parent.preTranslatedMessages, (std::vector<UINT>{'A', VK_ESCAPE}));
}

// A label that picks its own colours, as coloured static texts of the tools do.
class SelfColouredLabel : public CStatic {
public:
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ~SelfColouredLabel() override { DeleteObject(brush); }

protected:
    HBRUSH CtlColor(CDC* dc, UINT kind)
    {
        dc->SetTextColor(RGB(200, 0, 0));
        return kind == CTLCOLOR_STATIC ? brush : nullptr;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfColouredLabel, CStatic)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

TEST(MessageMapTest, ColourMessagesAreReflectedToTheControl)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"host", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 100), nullptr, 0));
    SelfColouredLabel label;
    ASSERT_TRUE(label.Create(L"빨강", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), &parent, 5));
    HDC dc = GetDC(label.m_hWnd);
    LRESULT brush = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), label.brush);
    EXPECT_EQ(GetTextColor(dc), RGB(200, 0, 0));
    ReleaseDC(label.m_hWnd, dc);
    parent.DestroyWindow();
}

TEST(MessageMapTest, TemporaryObjectsWrapForeignWindowsUntilIdle)
{
    HWND foreign = CreateWindowExW(0, L"STATIC", L"x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CWnd* wrapper = CWnd::FromHandle(foreign);
    EXPECT_EQ(wrapper->m_hWnd, foreign);
    EXPECT_EQ(CWnd::FromHandle(foreign), wrapper);
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    AfxDeleteTempMaps();
    EXPECT_TRUE(IsWindow(foreign)) << "a temporary object never destroys the window";
    DestroyWindow(foreign);
}

}  // namespace

namespace {

class RecordingCommandLine : public CCommandLineInfo {
public:
    struct Parameter {
        CString text;
        BOOL flag;
        BOOL last;
    };
    std::vector<Parameter> parameters;
    void ParseParam(const wchar_t* param, BOOL flag, BOOL last) override { parameters.push_back({param, flag, last}); }
};

TEST(CommandLineTest, EachParameterArrivesWithItsLeadingDashStrippedAndFlagged)
{
    // The test program itself was started with GoogleTest's "--gtest_filter=…" parameter.
    CWinApp application(L"test");
    RecordingCommandLine info;
    application.ParseCommandLine(info);
    ASSERT_FALSE(info.parameters.empty());
    bool sawFilter = false;
    for (const auto& parameter : info.parameters) {
        if (parameter.text.Find(L"-gtest_filter=") == 0) {
            sawFilter = true;
            EXPECT_TRUE(parameter.flag);
        }
    }
    EXPECT_TRUE(sawFilter);
    EXPECT_TRUE(info.parameters.back().last);
    EXPECT_EQ(AfxGetApp(), &application);
}

}  // namespace
