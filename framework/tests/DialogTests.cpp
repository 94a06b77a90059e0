#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/CDialog.h"
#include "framework/CDialogBar.h"
#include "framework/CPropertySheet.h"
#include "framework/CWinApp.h"
#include "framework/ModuleState.h"
#include "framework/tests/FrameworkTestResources.h"

extern "C" __declspec(dllimport) CWnd* ProbeCreateWithResourceHandle(CWnd* parent);
extern "C" __declspec(dllimport) CWnd* ProbeCreateWithModuleState(CWnd* parent);
extern "C" __declspec(dllimport) HINSTANCE ProbeSeenResourceHandle();

namespace {

constexpr UINT WM_RUN_SCRIPT = WM_APP + 10;

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

// A form whose members are exchanged with its controls.
class FormDialog : public CDialog {
public:
    explicit FormDialog(CWnd* parent = nullptr) : CDialog(IDD_FORM, parent) {}

    CString name = L"홍길동";
    int agree = 1;
    int count = 3;
    int initialised = 0;
    std::vector<UINT> keysSeen;
    // Runs inside the modal loop, once the dialog is up.
    std::function<void(FormDialog&)> script;

    BOOL OnInitDialog() override
    {
        ++initialised;
        CDialog::OnInitDialog();
        if (script) PostMessage(WM_RUN_SCRIPT);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* message) override
    {
        if (message->message == WM_KEYDOWN) keysSeen.push_back(static_cast<UINT>(message->wParam));
        return CDialog::PreTranslateMessage(message);
    }

protected:
    void DoDataExchange(CDataExchange* exchange) override
    {
        DDX_Text(exchange, IDC_NAME, name);
        DDX_Check(exchange, IDC_AGREE, agree);
        DDX_Text(exchange, IDC_COUNT, count);
    }
    LRESULT OnRunScript(WPARAM, LPARAM)
    {
        script(*this);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FormDialog, CDialog)
ON_MESSAGE(WM_RUN_SCRIPT, OnRunScript)
END_MESSAGE_MAP()

CString ControlText(HWND dialog, int id)
{
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

TEST(DialogTest, ModelessDialogExchangesDataBothWays)
{
    FormDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FORM));
    EXPECT_EQ(dialog.initialised, 1);
    EXPECT_EQ(ControlText(dialog.m_hWnd, IDC_NAME), CString(L"홍길동"));
    EXPECT_EQ(IsDlgButtonChecked(dialog.m_hWnd, IDC_AGREE), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(ControlText(dialog.m_hWnd, IDC_COUNT), CString(L"3"));

    SetDlgItemTextW(dialog.m_hWnd, IDC_NAME, L"임꺽정");
    CheckDlgButton(dialog.m_hWnd, IDC_AGREE, BST_UNCHECKED);
    SetDlgItemTextW(dialog.m_hWnd, IDC_COUNT, L" 42 ");
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.name, CString(L"임꺽정"));
    EXPECT_EQ(dialog.agree, 0);
    EXPECT_EQ(dialog.count, 42);
    dialog.DestroyWindow();
}

TEST(DialogTest, ModalDialogEndsWithTheButtonsResultAfterItsScript)
{
    FormDialog dialog;
    dialog.script = [](FormDialog& self) {
        SetDlgItemTextW(self.m_hWnd, IDC_NAME, L"결과");
        self.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(self.m_hWnd, IDOK)));
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.name, CString(L"결과"));
    EXPECT_EQ(dialog.m_hWnd, nullptr);

    FormDialog cancelled;
    cancelled.script = [](FormDialog& self) { self.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)); };
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.name, CString(L"홍길동")) << "cancel leaves the members alone";
}

TEST(DialogTest, InvalidNumberKeepsTheModalDialogOpen)
{
    FormDialog dialog;
    int attempts = 0;
    dialog.script = [&](FormDialog& self) {
        SetDlgItemTextW(self.m_hWnd, IDC_COUNT, L"열둘");
        // The failed exchange tells the user in a box; close it from a timer so the test goes on.
        SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            if (HWND box = FindWindowW(L"#32770", nullptr)) PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        self.OnOK();
        ++attempts;
        EXPECT_NE(self.m_hWnd, nullptr);
        SetDlgItemTextW(self.m_hWnd, IDC_COUNT, L"12");
        self.OnOK();
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(attempts, 1);
    EXPECT_EQ(dialog.count, 12);
}

TEST(DialogTest, ModalLoopOffersKeysToTheDialogFirst)
{
    FormDialog dialog;
    dialog.script = [](FormDialog& self) {
        HWND edit = ::GetDlgItem(self.m_hWnd, IDC_NAME);
        PostMessageW(edit, WM_KEYDOWN, 'Q', 0);
        PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    };
    // Escape reaches the dialog manager through the dialog's PreTranslateMessage and cancels.
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_GE(dialog.keysSeen.size(), 2u);
    EXPECT_EQ(dialog.keysSeen[0], static_cast<UINT>('Q'));
    EXPECT_EQ(dialog.keysSeen[1], static_cast<UINT>(VK_ESCAPE));
}

constexpr UINT WM_TOOL_NOTICE = WM_APP + 11;

class OwnerWindow : public CWnd {
public:
    std::vector<UINT> messagesSeen;
    BOOL PreTranslateMessage(MSG* message) override
    {
        if (message->message == WM_KEYDOWN || message->message == WM_TOOL_NOTICE)
            messagesSeen.push_back(message->message);
        return FALSE;
    }
};

TEST(DialogTest, ModelessDialogOwnedByAnotherWindowGetsKeysInTheOwnersLoop)
{
    OwnerWindow owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"콘솔", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300), nullptr, 0));
    FormDialog tool(&owner);
    ASSERT_TRUE(tool.Create(IDD_FORM, &owner));
    EXPECT_EQ(::GetWindow(tool.m_hWnd, GW_OWNER), owner.m_hWnd);
    HWND edit = ::GetDlgItem(tool.m_hWnd, IDC_NAME);
    PostMessageW(edit, WM_KEYDOWN, VK_F5, 0);
    PostMessageW(edit, WM_TOOL_NOTICE, 0, 0);
    PumpUntil([&] { return !owner.messagesSeen.empty(); });
    EXPECT_EQ(tool.keysSeen, (std::vector<UINT>{VK_F5}));
    // The dialog manager took the key; what the dialog declines goes on up to its owner.
    EXPECT_EQ(owner.messagesSeen, (std::vector<UINT>{WM_TOOL_NOTICE}));
    tool.DestroyWindow();
    owner.DestroyWindow();
}

class CountingPage : public CPropertyPage {
public:
    explicit CountingPage(UINT id) : CPropertyPage(id) {}
    int initialised = 0;
    std::function<void()> onInit;
    BOOL OnInitDialog() override
    {
        ++initialised;
        if (onInit) onInit();
        return CPropertyPage::OnInitDialog();
    }
};

TEST(PropertySheetTest, PagesInitialiseTheFirstTimeTheirTabIsShown)
{
    CPropertySheet sheet(L"프로세스 정보");
    CountingPage general(IDD_PAGE_ONE), modules(IDD_PAGE_TWO);
    sheet.AddPage(&general);
    sheet.AddPage(&modules);
    int modulesBeforeSwitch = -1;
    // Drive the sheet from a timer inside its loop: look, switch tabs, then press OK.
    static std::function<void()> step;
    step = [&] {
        modulesBeforeSwitch = modules.initialised;
        sheet.SetActivePage(1);
        sheet.SetActivePage(0);
        sheet.SetActivePage(1);
        PropSheet_PressButton(sheet.m_hWnd, PSBTN_OK);
    };
    SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        step();
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(general.initialised, 1);
    EXPECT_EQ(modulesBeforeSwitch, 0);
    EXPECT_EQ(modules.initialised, 1);
    EXPECT_EQ(sheet.m_hWnd, nullptr);
}

TEST(DialogBarTest, ChildPaneFromTemplateTakesItsId)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"pane host", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), nullptr, 0));
    CDialogBar bar;
    ASSERT_TRUE(bar.Create(&parent, IDD_BAR, WS_VISIBLE, 1234));
    EXPECT_EQ(::GetParent(bar.m_hWnd), parent.m_hWnd);
    EXPECT_EQ(bar.GetDlgCtrlID(), 1234);
    EXPECT_GT(bar.m_sizeDefault.cx, 0);
    EXPECT_EQ(ControlText(bar.m_hWnd, IDC_NAME), CString(L"정보"));
    parent.DestroyWindow();
    EXPECT_EQ(bar.m_hWnd, nullptr) << "the pane went with its parent";
}

TEST(ResourceTest, AddOnCreatesItsDialogFromItsOwnResourcesAndRestoresTheHandle)
{
    HINSTANCE program = AfxGetResourceHandle();
    CDialog missing;
    EXPECT_FALSE(missing.Create(IDD_PROBE)) << "the program has no such template";

    CWnd* first = ProbeCreateWithResourceHandle(nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(AfxGetResourceHandle(), program);
    EXPECT_NE(ProbeSeenResourceHandle(), program);
    CString text;
    first->GetDlgItem(IDC_PROBE_TEXT)->GetWindowText(text);
    EXPECT_EQ(text, CString(L"부가 기능"));
    delete first;

    CWnd* second = ProbeCreateWithModuleState(nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(AfxGetResourceHandle(), program);
    EXPECT_EQ(AfxGetModuleState()->m_hCurrentResourceHandle, program);
    delete second;
    // The library joined the resource chain, so its template is now found from the program too.
    CDialog chained;
    EXPECT_TRUE(chained.Create(IDD_PROBE));
    chained.DestroyWindow();
}

TEST(LeakTest, DialogCreateDestroyCyclesLeakNoHandles)
{
    auto cycle = [] {
        FormDialog dialog;
        ASSERT_TRUE(dialog.Create(IDD_FORM));
        dialog.DestroyWindow();
        AfxDeleteTempMaps();
    };
    auto countWindows = [] {
        int count = 0;
        EnumThreadWindows(
            GetCurrentThreadId(), [](HWND, LPARAM counter) { return ++*reinterpret_cast<int*>(counter), TRUE; },
            reinterpret_cast<LPARAM>(&count));
        return count;
    };
    cycle();
    int windowsBefore = countWindows();
    DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD handlesBefore = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    for (int i = 0; i < 20; ++i) cycle();
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(handlesAfter, handlesBefore);
    EXPECT_EQ(countWindows(), windowsBefore);
    if (gdiBefore == 0 && userBefore == 0) {
        GTEST_SKIP() << "GetGuiResources counts nothing here (Wine does not implement it); kernel handles were checked";
    }
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
}

}  // namespace
