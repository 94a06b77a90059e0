// The process manager's window driven as the user drives it, over real child processes the tests
// start. The window switches the system's performance counters on, so the tests run only in the
// throw-away test prefix. A test cannot start processes of the service accounts, so where one needs
// them the model's owner lookup names some of the test's own children as those accounts.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Trace.h"
#include "framework/CDC.h"
#include "process/addon/CProcessManagerDlg.h"
#include "process/tests/TestChildProcess.h"
#include "testing/HostPath.h"
#include "testing/MessagePump.h"
#include "testing/PageClick.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"

using System::String;
using TestSupport::PumpPending;
using TestSupport::PumpUntil;

namespace {

class AccountsManager : public ProcessManager {
public:
    explicit AccountsManager(std::map<uint32_t, std::wstring> accounts) : accounts_(std::move(accounts)) {}

protected:
    String ReadOwner(uint32_t processId, HANDLE process) override
    {
        auto account = accounts_.find(processId);
        return account != accounts_.end() ? String(account->second.c_str()) : ProcessManager::ReadOwner(processId, process);
    }

private:
    std::map<uint32_t, std::wstring> accounts_;
};

class TestProcessDlg : public CProcessManagerDlg {
public:
    TestProcessDlg() : CProcessManagerDlg(nullptr) {}
    std::map<uint32_t, std::wstring> accounts;
    std::vector<std::wstring> messages;
    int answer = IDNO;
    UINT menuChoice = 0;
    int menus = 0;
    std::vector<std::wstring> menuItems;
    // What the pane showed when the menu opened.
    uint32_t paneAtMenu = 0;
    std::vector<uint32_t> sheets;

protected:
    ProcessManager* CreateManager() override { return new AccountsManager(accounts); }
    int ShowMessage(const String& text, UINT) override
    {
        messages.push_back(text.GetStdString());
        return answer;
    }
    UINT TrackMenu(CMenu& popup, CPoint) override
    {
        ++menus;
        paneAtMenu = GetInfoPane().IsShown() ? GetInfoPane().GetShownProcess().GetProcessId() : 0;
        menuItems.clear();
        for (int i = 0; i < ::GetMenuItemCount(popup.GetSafeHmenu()); ++i) {
            wchar_t text[64] = {};
            ::GetMenuStringW(popup.GetSafeHmenu(), static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            menuItems.push_back(text);
        }
        return menuChoice;
    }
    void RunDetailSheet(const ProcessInfo& info) override { sheets.push_back(info.GetProcessId()); }
};

class ProcessManagerDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring why = TestSupport::WhyDestructiveTestsAreRefused();
        if (!why.empty()) GTEST_SKIP() << String(why.c_str()).ToUtf8();
    }
    void TearDown() override { dialog_.reset(); }

    TestProcessDlg& Open(std::map<uint32_t, std::wstring> accounts = {})
    {
        dialog_ = std::make_unique<TestProcessDlg>();
        dialog_->accounts = std::move(accounts);
        EXPECT_TRUE(dialog_->Create(CProcessManagerDlg::TemplateId));
        dialog_->SetWindowPos(nullptr, 0, 0, 820, 600, SWP_NOZORDER | SWP_NOMOVE);
        dialog_->ShowWindow(SW_SHOW);
        EXPECT_TRUE(PumpUntil([&] { return dialog_->IsDocumentLoaded() && dialog_->GetList().GetItemCount() > 0; }));
        PumpPending();
        return *dialog_;
    }
    std::vector<uint32_t> RowIds()
    {
        std::vector<uint32_t> ids;
        for (int row = 0; row < dialog_->GetList().GetItemCount(); ++row) ids.push_back(dialog_->GetRowProcessId(row));
        return ids;
    }
    std::vector<uint32_t> SelectedIds()
    {
        std::vector<uint32_t> ids;
        for (int row = 0; row < dialog_->GetList().GetItemCount(); ++row) {
            if (dialog_->GetList().GetItemState(row, LVIS_SELECTED)) ids.push_back(dialog_->GetRowProcessId(row));
        }
        return ids;
    }
    void Select(uint32_t processId)
    {
        CColoredListCtrl& list = dialog_->GetList();
        list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        int row = dialog_->FindRow(processId);
        ASSERT_GE(row, 0);
        list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    // A header click, as the list reports it to its window.
    void ClickHeader(int column)
    {
        NMLISTVIEW click = {};
        click.hdr = {dialog_->GetList().m_hWnd, IDC_PROCESS_LIST, static_cast<UINT>(LVN_COLUMNCLICK)};
        click.iItem = -1;
        click.iSubItem = column;
        dialog_->SendMessage(WM_NOTIFY, IDC_PROCESS_LIST, reinterpret_cast<LPARAM>(&click));
    }
    // A right click on a row as the list view reports it: the click, then the menu request.
    void RightClickRow(uint32_t processId)
    {
        int row = dialog_->FindRow(processId);
        ASSERT_GE(row, 0);
        CRect box;
        ASSERT_TRUE(dialog_->GetList().GetItemRect(row, &box, LVIR_LABEL));
        // The release waits in the queue, so the list's wait for a drag ends at once.
        LPARAM at = MAKELPARAM(box.CenterPoint().x, box.CenterPoint().y);
        dialog_->GetList().PostMessage(WM_RBUTTONUP, 0, at);
        dialog_->GetList().SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, at);
        PumpPending();
    }
    bool HasRow(uint32_t processId) { return dialog_->FindRow(processId) >= 0; }

    std::unique_ptr<TestProcessDlg> dialog_;
};

TEST_F(ProcessManagerDlgTest, HidingSystemProgramsRemovesServiceAccountRowsAtOnceAndKeepsNewOnesOut)
{
    TestChildProcess system(L"wait"), localService(L"wait"), networkService(L"wait"), user(L"wait");
    ASSERT_TRUE(system.Started() && localService.Started() && networkService.Started() && user.Started());
    TestProcessDlg& dialog = Open({{system.Id(), L"SYSTEM"}, {localService.Id(), L"LOCAL SERVICE"}, {networkService.Id(), L"NETWORK SERVICE"}});
    dialog.RefreshList(false);
    for (const TestChildProcess* child : {&system, &localService, &networkService, &user}) ASSERT_TRUE(HasRow(child->Id()));
    int rowsBefore = dialog.GetList().GetItemCount();

    TestSupport::ClickElement(dialog, L"btnRequiredTxt");
    EXPECT_TRUE(dialog.IsHidingSystemPrograms());
    // At once: the click rebuilt the rows without waiting for the timer.
    EXPECT_FALSE(HasRow(system.Id()));
    EXPECT_FALSE(HasRow(localService.Id()));
    EXPECT_FALSE(HasRow(networkService.Id()));
    EXPECT_TRUE(HasRow(user.Id()));
    EXPECT_EQ(dialog.GetList().GetItemCount(), rowsBefore - 3);
    EXPECT_EQ(dialog.GetElement(L"btnRequired")->StyleDisplay(), L"none");

    // The idle entry is never a row, though the processor figure comes from it.
    EXPECT_FALSE(HasRow(0));
    dialog.RefreshList(false);
    EXPECT_FALSE(HasRow(system.Id())) << "a refresh does not bring hidden rows back";

    TestSupport::ClickElement(dialog, L"btnRequiredOn");
    EXPECT_FALSE(dialog.IsHidingSystemPrograms());
    EXPECT_TRUE(HasRow(system.Id()));
    EXPECT_EQ(dialog.GetList().GetItemCount(), rowsBefore);
}

TEST_F(ProcessManagerDlgTest, SelectionFollowsTheSameProcessAcrossRefreshesAndSorting)
{
    TestChildProcess first(L"wait"), second(L"spin");
    ASSERT_TRUE(first.Started() && second.Started());
    TestProcessDlg& dialog = Open();
    dialog.RefreshList(false);
    Select(second.Id());

    for (int column : {CProcessManagerDlg::ImageNameColumn, CProcessManagerDlg::MemoryColumn, CProcessManagerDlg::CpuColumn,
                       CProcessManagerDlg::ImageNameColumn}) {
        ClickHeader(column);
        EXPECT_EQ(dialog.GetList().GetSortColumn(), column);
        EXPECT_EQ(SelectedIds(), std::vector<uint32_t>{second.Id()}) << "after sorting by column " << column;
        dialog.RefreshList(false);
        EXPECT_EQ(SelectedIds(), std::vector<uint32_t>{second.Id()}) << "after a refresh sorted by column " << column;
    }
    // The last two clicks on the image name sorted it both ways: the rows keep that order.
    std::vector<std::wstring> names;
    for (uint32_t processId : RowIds()) {
        ProcessInfo* info = nullptr;
        ASSERT_TRUE(dialog.GetManager().TryGetProcess(processId, info));
        names.push_back(info->GetImageName().ToLower().GetStdString());
    }
    bool ascending = dialog.GetList().IsAscending();
    EXPECT_TRUE(ascending ? std::is_sorted(names.begin(), names.end()) : std::is_sorted(names.rbegin(), names.rend()));

    // Sorted by processor load, the spinning child stays selected as its figure changes.
    ClickHeader(CProcessManagerDlg::CpuColumn);
    Sleep(300);
    dialog.RefreshList(false);
    EXPECT_EQ(SelectedIds(), std::vector<uint32_t>{second.Id()});
}

TEST_F(ProcessManagerDlgTest, RefreshButtonKeepsTheOrderAndStopsSortingUntilTheNextHeaderClick)
{
    TestProcessDlg& dialog = Open();
    ClickHeader(CProcessManagerDlg::ImageNameColumn);
    ClickHeader(CProcessManagerDlg::ImageNameColumn);
    std::vector<uint32_t> sorted = RowIds();

    TestSupport::ClickElement(dialog, L"LnkRefreshImg");
    EXPECT_EQ(dialog.GetList().GetSortColumn(), -1);

    // A process that starts now is appended, not sorted in.
    TestChildProcess child(L"wait");
    ASSERT_TRUE(child.Started());
    dialog.RefreshList(false);
    ASSERT_TRUE(HasRow(child.Id()));
    std::vector<uint32_t> appended = RowIds();
    auto childRow = std::find(appended.begin(), appended.end(), child.Id());
    EXPECT_TRUE(std::none_of(childRow, appended.end(), [&](uint32_t id) {
        return std::find(sorted.begin(), sorted.end(), id) != sorted.end();
    })) << "every row listed before stays above the new one";

    ClickHeader(CProcessManagerDlg::ImageNameColumn);
    EXPECT_EQ(dialog.GetList().GetSortColumn(), CProcessManagerDlg::ImageNameColumn);
}

TEST_F(ProcessManagerDlgTest, RightClickShowsTheRowInThePaneBeforeTheMenuAndOnlyOnTheList)
{
    TestChildProcess child(L"wait");
    ASSERT_TRUE(child.Started());
    TestProcessDlg& dialog = Open();
    dialog.RefreshList(false);
    ProcessInfo* self = nullptr;
    ASSERT_TRUE(dialog.GetManager().TryGetProcess(GetCurrentProcessId(), self));
    dialog.GetInfoPane().ShowProcess(*self);

    RightClickRow(child.Id());
    EXPECT_EQ(dialog.menus, 1);
    EXPECT_EQ(dialog.paneAtMenu, child.Id());
    EXPECT_EQ(dialog.menuItems, (std::vector<std::wstring>{L"정보보기", L"프로세스끝내기"}));
    EXPECT_EQ(dialog.GetInfoPane().GetShownProcess().GetImageName().GetStdString(), L"process_test_child.exe");
    CString name;
    dialog.GetInfoPane().GetDlgItemText(CProgInfoPane::NameId, name);
    EXPECT_EQ(std::wstring(name.GetString()), L"process_test_child.exe");

    // Outside the list there is no menu.
    CPoint screen(40, 20);
    dialog.ClientToScreen(&screen);
    dialog.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog.m_hWnd), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(dialog.menus, 1);

    // The pane keeps its copy after the process has gone.
    child.End();
    dialog.RefreshList(false);
    EXPECT_FALSE(HasRow(child.Id()));
    EXPECT_EQ(dialog.GetInfoPane().GetShownProcess().GetProcessId(), child.Id());
}

TEST_F(ProcessManagerDlgTest, EndingAChildAsksFirstAndItsRowLeavesAtTheNextTickButTheConsoleItselfIsNeverEnded)
{
    TestChildProcess child(L"wait");
    ASSERT_TRUE(child.Started());
    TestProcessDlg& dialog = Open();
    dialog.RefreshList(false);
    dialog.answer = IDYES;
    dialog.GetList().SetItemState(-1, 0, LVIS_SELECTED);
    TestSupport::ClickElement(dialog, L"LnkRemoveImg");
    EXPECT_EQ(dialog.messages, std::vector<std::wstring>{L"끝낼 프로세스를 목록에서 선택해 주세요."}) << "nothing chosen, nothing asked";
    dialog.messages.clear();
    Select(child.Id());

    dialog.answer = IDNO;
    TestSupport::ClickElement(dialog, L"LnkRemoveImg");
    EXPECT_EQ(dialog.messages, std::vector<std::wstring>{L"프로세스를 종료하시겠습니까?"});
    EXPECT_EQ(WaitForSingleObject(child.Handle(), 200), static_cast<DWORD>(WAIT_TIMEOUT)) << "No leaves it running";

    dialog.answer = IDYES;
    dialog.menuChoice = ID_PROCESS_END;
    RightClickRow(child.Id());
    EXPECT_EQ(dialog.messages.size(), 2u);
    EXPECT_EQ(WaitForSingleObject(child.Handle(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(HasRow(child.Id())) << "the list changes at the next refresh, not at once";
    EXPECT_TRUE(PumpUntil([&] { return !HasRow(child.Id()); }, 3000)) << "the timer's next tick drops the row";
    EXPECT_EQ(dialog.messages.size(), 2u) << "an ended process needs no further word";

    // The test program stands in for the console, whose window this is.
    dialog.messages.clear();
    Select(GetCurrentProcessId());
    TestSupport::ClickElement(dialog, L"LnkRemoveImgOn");
    EXPECT_EQ(dialog.messages, (std::vector<std::wstring>{L"프로세스를 종료하시겠습니까?", L"벨라 툴박스 자신은 종료할 수 없습니다."}));
    EXPECT_TRUE(HasRow(GetCurrentProcessId()));
}

TEST_F(ProcessManagerDlgTest, GraphsShowTheLoadOfABusyChildAndTheDetailsButtonFollowsTheWidth)
{
    TestChildProcess busy(L"spin");
    ASSERT_TRUE(busy.Started());
    TestProcessDlg& dialog = Open();
    // A few real ticks of the timer.
    ULONGLONG until = GetTickCount64() + 3500;
    PumpUntil([&] { return GetTickCount64() > until; }, 5000);
    int row = dialog.FindRow(busy.Id());
    ASSERT_GE(row, 0);
    EXPECT_GT(_wtoi(dialog.GetList().GetItemText(row, CProcessManagerDlg::CpuColumn).GetString()), 0);
    const PushGraphLine* cpu = &dialog.GetCpuGraph().GetData().GetLines().at(0);
    ASSERT_GE(cpu->values.size(), 3u);
    EXPECT_GT(cpu->values.back(), 0);
    CString value;
    dialog.GetDlgItemText(IDC_CPU_VALUE, value);
    EXPECT_EQ(std::wstring(value.GetString()), std::to_wstring(cpu->values.back()) + L"%");
    dialog.GetDlgItemText(IDC_MEMORY_VALUE, value);
    EXPECT_TRUE(std::wstring(value.GetString()).find(L" MB") != std::wstring::npos ||
                std::wstring(value.GetString()).find(L" GB") != std::wstring::npos);
    TestSupport::SaveWindowImage(dialog.m_hWnd, TestSupport::HostPath(PROCESS_BUILD_DIR) + L"\\screenshots\\vtpsm_busy_child.png");

    // The window's controls follow its size in the console-hosted test; the pane's button here.
    for (SIZE size : {SIZE{700, 480}, SIZE{1000, 700}}) {
        dialog.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        CRect client;
        dialog.GetClientRect(&client);
        int w = client.Width();
        CRect button;
        dialog.GetInfoPane().GetDlgItem(IDC_PROCESS_DETAILS)->GetWindowRect(&button);
        dialog.GetInfoPane().ScreenToClient(&button);
        EXPECT_EQ(button.left, w - 3 - CProcessInfoDlg::DetailsRight);
    }
}

TEST_F(ProcessManagerDlgTest, TheMenuAndTheDetailsButtonBothAskForTheSheetOfTheirProcess)
{
    TestChildProcess child(L"wait");
    ASSERT_TRUE(child.Started());
    TestProcessDlg& dialog = Open();
    dialog.RefreshList(false);
    auto asked = [&](uint32_t processId) { return std::count(dialog.sheets.begin(), dialog.sheets.end(), processId); };

    dialog.menuChoice = ID_PROCESS_SHOW_INFO;
    RightClickRow(child.Id());
    EXPECT_EQ(asked(child.Id()), 1);

    // The button asks for the pane's own copy, also once the process has gone.
    Select(GetCurrentProcessId());
    child.End();
    dialog.RefreshList(false);
    CWnd* details = dialog.GetInfoPane().GetDlgItem(IDC_PROCESS_DETAILS);
    ASSERT_NE(details, nullptr);
    EXPECT_TRUE(details->IsWindowEnabled());
    dialog.GetInfoPane().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PROCESS_DETAILS, BN_CLICKED), reinterpret_cast<LPARAM>(details->m_hWnd));
    EXPECT_EQ(asked(child.Id()), 2);
    auto hintTop = [&] {
        CRect hint;
        dialog.GetInfoPane().GetDlgItem(CProgInfoPane::DescriptionId)->GetWindowRect(&hint);
        dialog.GetInfoPane().ScreenToClient(&hint);
        return hint.top;
    };
    EXPECT_EQ(hintTop(), 77) << "below the rating band";

    dialog.GetInfoPane().ShowNothing();
    EXPECT_FALSE(details->IsWindowEnabled());
    EXPECT_EQ(hintTop(), 60) << "in the empty band's place";
}

// A full and an empty load are drawn on the graph's top and bottom rows, not beyond them.
TEST_F(ProcessManagerDlgTest, PushGraphDrawsFullAndEmptyLoadOnItsTopAndBottomRows)
{
    TestProcessDlg& dialog = Open();
    const CRect area(0, 0, 120, 60);
    const COLORREF line = RGB(255, 0, 0);
    C2DPushGraph graph;
    ASSERT_TRUE(graph.Create(WS_VISIBLE, area, &dialog, 4321));
    graph.SetBackColor(RGB(0, 0, 0));
    graph.SetGridColor(RGB(0, 0, 255));
    graph.SetLabelColor(RGB(0, 255, 0));
    graph.ShowLabels(true);
    graph.ShowGrid(true);
    graph.SetInterval(5);
    graph.AddLine(0, line);
    for (int value : {100, 100, 0, 0, 100}) ASSERT_TRUE(graph.Push(0, value));

    CClientDC screen(nullptr);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, area.Width(), area.Height()));
    CBitmap* old = memory.SelectObject(&bitmap);
    graph.Draw(memory, area);
    // Two equal values in a row draw a flat stretch of one interval on their row; a slope from one
    // extreme to the other only crosses a row.
    auto flatStretchOnRow = [&](int y) {
        int pixels = 0;
        for (int x = 0; x < area.Width(); ++x) pixels += GetPixel(memory.m_hDC, x, y) == line;
        return pixels >= 5;
    };
    EXPECT_TRUE(flatStretchOnRow(0)) << "100% on the top row";
    EXPECT_TRUE(flatStretchOnRow(area.Height() - 1)) << "0% on the bottom row";
    memory.SelectObject(old);
}

}  // namespace
