#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "process/ProcessInfo.h"
#include "process/detail/CProcessDetailSheet.h"
#include "process/detail/ProcessDetailResource.h"
#include "process/tests/HoldingChild.h"
#include "testing/HostPath.h"
#include "testing/MessagePump.h"
#include "testing/WindowScreenshot.h"

namespace {

using TestSupport::PumpUntil;

constexpr int Margin = 7;

std::wstring BuildFolder() { return TestSupport::HostPath(PROCESS_BUILD_DIR); }

void SaveImage(HWND window, const wchar_t* name)
{
    EXPECT_TRUE(TestSupport::SaveWindowImage(window, BuildFolder() + L"\\" + name));
}

std::function<void()>* currentScript = nullptr;

// Runs script inside the sheet's modal loop, then cancels the sheet, also when the script stopped
// at a failed assertion. Returns what DoModal returned.
INT_PTR RunSheet(CProcessDetailSheet& sheet, std::function<void()> script)
{
    std::function<void()> run = [&] {
        script();
        if (sheet.m_hWnd) PropSheet_PressButton(sheet.m_hWnd, PSBTN_CANCEL);
    };
    currentScript = &run;
    SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        (*currentScript)();
    });
    INT_PTR result = sheet.DoModal();
    currentScript = nullptr;
    return result;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

HWND Control(CProcessDetailSheet& sheet, int page, int id) { return GetDlgItem(sheet.GetPage(page)->m_hWnd, id); }

std::vector<std::wstring> TabTexts(HWND sheet)
{
    HWND tabs = PropSheet_GetTabControl(sheet);
    std::vector<std::wstring> texts;
    for (int i = 0; i < TabCtrl_GetItemCount(tabs); ++i) {
        wchar_t text[64] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        TabCtrl_GetItem(tabs, i, &item);
        texts.push_back(text);
    }
    return texts;
}

LOGFONTW FontOf(HWND control)
{
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

struct TreeNode {
    std::wstring text;
    int image = -1;
    std::vector<std::wstring> children;
};

std::wstring TreeText(HWND tree, HTREEITEM item, int* image = nullptr)
{
    wchar_t text[512] = {};
    TVITEMW data = {};
    data.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_HANDLE;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = 512;
    TreeView_GetItem(tree, &data);
    if (image) *image = data.iImage;
    return text;
}

std::vector<TreeNode> TreeRoots(HWND tree)
{
    std::vector<TreeNode> roots;
    for (HTREEITEM root = TreeView_GetRoot(tree); root; root = TreeView_GetNextSibling(tree, root)) {
        TreeNode node;
        node.text = TreeText(tree, root, &node.image);
        for (HTREEITEM child = TreeView_GetChild(tree, root); child; child = TreeView_GetNextSibling(tree, child))
            node.children.push_back(TreeText(tree, child));
        roots.push_back(node);
    }
    return roots;
}

std::wstring ListText(HWND list, int row, int column)
{
    wchar_t text[1024] = {};
    ListView_GetItemText(list, row, column, text, 1024);
    return text;
}

std::vector<std::wstring> ListColumn(HWND list, int column)
{
    std::vector<std::wstring> texts;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) texts.push_back(ListText(list, row, column));
    return texts;
}

std::pair<std::wstring, int> Heading(HWND list, int column)
{
    wchar_t text[64] = {};
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT | LVCF_WIDTH;
    info.pszText = text;
    info.cchTextMax = 64;
    if (!ListView_GetColumn(list, column, &info)) return {L"", -1};
    return {text, info.cx};
}

bool AnyEndsWith(const std::vector<std::wstring>& texts, const std::wstring& tail)
{
    for (const std::wstring& text : texts)
        if (text.size() >= tail.size() && _wcsicmp(text.c_str() + text.size() - tail.size(), tail.c_str()) == 0)
            return true;
    return false;
}

bool AnyContains(const std::vector<std::wstring>& texts, const std::wstring& part)
{
    for (const std::wstring& text : texts)
        if (text.find(part) != std::wstring::npos) return true;
    return false;
}

// The control's rectangle in its page's client coordinates.
RECT PlaceOf(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A list fills its page but for the margins, whatever size the page is given.
void ExpectListFollowsPageSize(CProcessDetailSheet& sheet, int page, HWND list, int bottomBand)
{
    HWND window = sheet.GetPage(page)->m_hWnd;
    RECT before;
    GetWindowRect(window, &before);
    MapWindowPoints(nullptr, sheet.m_hWnd, reinterpret_cast<POINT*>(&before), 2);
    int width = before.right - before.left - 60, height = before.bottom - before.top - 40;
    MoveWindow(window, before.left, before.top, width, height, TRUE);
    RECT placed = PlaceOf(list);
    EXPECT_EQ(placed.left, Margin);
    EXPECT_EQ(placed.right, width - Margin);
    EXPECT_EQ(placed.bottom, height - Margin - bottomBand);
    MoveWindow(window, before.left, before.top, before.right - before.left, before.bottom - before.top, TRUE);
}

int VisibleWindowsOfThisThreadBesides(HWND sheet)
{
    struct Count {
        HWND sheet;
        int others = 0;
    } count{sheet};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) {
            auto* count = reinterpret_cast<Count*>(data);
            if (window != count->sheet && IsWindowVisible(window)) ++count->others;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.others;
}

using ProcessDetailSheetTest = HoldingChild;

TEST_F(ProcessDetailSheetTest, ShowsTheProcessOnItsFourTabsEachReadOnFirstShowing)
{
    auto entry = std::make_unique<ProcessInfo>(child_->Id(), L"process_test_child.exe", L"시험용 자식 프로세스",
                                               L"tester", 0, 0, TestChildProcess::Path());
    CProcessDetailSheet sheet(*entry);
    // The list's next refresh may delete the entry while the sheet is open.
    entry.reset();

    INT_PTR result = RunSheet(sheet, [&] {
        ASSERT_NE(sheet.m_hWnd, nullptr);
        EXPECT_EQ(TextOf(sheet.m_hWnd), L"프로세스 정보 - 시험용 자식 프로세스");
        EXPECT_EQ(TabTexts(sheet.m_hWnd), (std::vector<std::wstring>{L"정보", L"윈도우", L"모듈", L"핸들"}));
        EXPECT_EQ(sheet.GetActivePage(), sheet.GetPage(0));
        for (int button : {IDHELP, 0x3021 /* Apply */}) {
            HWND found = GetDlgItem(sheet.m_hWnd, button);
            EXPECT_TRUE(!found || !IsWindowVisible(found)) << "button " << button;
        }
        for (int page = 1; page < 4; ++page) EXPECT_EQ(sheet.GetPage(page)->m_hWnd, nullptr) << "page " << page;

        EXPECT_EQ(TextOf(Control(sheet, 0, IDC_PROCESS_IMAGE_NAME)), L"process_test_child.exe");
        EXPECT_EQ(TextOf(Control(sheet, 0, IDC_PROCESS_DESCRIPTION)), L"시험용 자식 프로세스");
        EXPECT_EQ(TextOf(Control(sheet, 0, IDC_PROCESS_RATING)), L"지정되지 않음");
        EXPECT_EQ(TextOf(Control(sheet, 0, IDC_PROCESS_RATING_EXPLANATION)), L"정보가 없습니다");
        struct Expected {
            int id, height, weight;
        };
        for (Expected font : {Expected{IDC_PROCESS_IMAGE_NAME, -16, FW_BOLD}, Expected{IDC_PROCESS_RATING, -14, FW_BOLD},
                              Expected{IDC_PROCESS_RATING_EXPLANATION, -12, FW_NORMAL}}) {
            LOGFONTW shown = FontOf(Control(sheet, 0, font.id));
            EXPECT_STREQ(shown.lfFaceName, L"돋움") << font.id;
            EXPECT_EQ(shown.lfHeight, font.height) << font.id;
            EXPECT_EQ(shown.lfWeight, font.weight) << font.id;
        }
        EXPECT_NE(SendMessageW(Control(sheet, 0, IDC_PROCESS_ICON), STM_GETICON, 0, 0), 0);
        SaveImage(sheet.m_hWnd, L"process_detail_info.png");

        sheet.SetActivePage(1);
        HWND tree = Control(sheet, 1, IDC_PROCESS_WINDOW_TREE);
        ASSERT_NE(tree, nullptr);
        EXPECT_NE(TreeView_GetImageList(tree, TVSIL_NORMAL), nullptr);
        std::vector<TreeNode> roots = TreeRoots(tree);
        const TreeNode* titled = nullptr;
        int untitled = 0;
        for (const TreeNode& root : roots) {
            if (root.text == L"VtpsmTitledWindow") titled = &root;
            if (root.text == L"<이름 없음>" && root.children.empty()) ++untitled;
        }
        ASSERT_NE(titled, nullptr);
        EXPECT_EQ(titled->children, (std::vector<std::wstring>{L"VtpsmChildText", L"<이름 없음>"}));
        EXPECT_EQ(titled->image, CProcessWindowPage::WindowImage);
        EXPECT_EQ(untitled, 1);
        SaveImage(sheet.m_hWnd, L"process_detail_windows.png");

        sheet.SetActivePage(2);
        HWND modules = Control(sheet, 2, IDC_PROCESS_MODULE_LIST);
        ASSERT_NE(modules, nullptr);
        EXPECT_EQ(Heading(modules, 0), std::make_pair(std::wstring(L"모듈 이름"), 100));
        EXPECT_EQ(Heading(modules, 1), std::make_pair(std::wstring(L"모듈 경로"), 400));
        ASSERT_GT(ListView_GetItemCount(modules), 1);
        EXPECT_EQ(ListText(modules, 0, 0), L"process_test_child.exe");
        std::vector<std::wstring> names = ListColumn(modules, 0), paths = ListColumn(modules, 1);
        bool kernel32 = false;
        for (size_t row = 0; row < names.size(); ++row)
            kernel32 |= _wcsicmp(names[row].c_str(), L"kernel32.dll") == 0 && AnyEndsWith({paths[row]}, L"\\kernel32.dll");
        EXPECT_TRUE(kernel32);
        ExpectListFollowsPageSize(sheet, 2, modules, 0);
        SaveImage(sheet.m_hWnd, L"process_detail_modules.png");

        sheet.SetActivePage(3);
        ASSERT_TRUE(PumpUntil([&] { return !sheet.GetHandlePage().IsReading(); }, 10000));
        HWND handles = Control(sheet, 3, IDC_PROCESS_HANDLE_LIST);
        ASSERT_NE(handles, nullptr);
        EXPECT_EQ(Heading(handles, 0), std::make_pair(std::wstring(L"파일 경로"), 500));
        EXPECT_EQ(Heading(handles, 1).second, -1) << "one column only";
        std::vector<std::wstring> held = ListColumn(handles, 0);
        EXPECT_TRUE(AnyEndsWith(held, L"\\held-open.txt"));
        EXPECT_TRUE(AnyEndsWith(held, L"\\" + KeyLeaf()));
        EXPECT_FALSE(AnyContains(held, L"VtpsmTestChildEvent"));
        EXPECT_FALSE(IsWindowVisible(Control(sheet, 3, IDC_PROCESS_HANDLE_STATUS)));
        ExpectListFollowsPageSize(sheet, 3, handles, 0);
        SaveImage(sheet.m_hWnd, L"process_detail_handles.png");
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(sheet.GetProcess().GetDescription(), L"시험용 자식 프로세스");
}

TEST_F(ProcessDetailSheetTest, HandleTabAnswersAtOnceWhileANameQueryBlocksFillsWhenTheReaderGivesUpAndClosesWithoutWaiting)
{
    // Wine answers every file-name query at once, so a query that waits for ever stands in for a
    // handle whose query blocks.
    HandleNameOptions options;
    options.maxAbandonedQueries = 1;
    options.query = [](FWHandleToNameInfo&) { Sleep(INFINITE); };
    ProcessInfo entry(child_->Id(), L"process_test_child.exe", L"", L"", 0, 0, TestChildProcess::Path());
    CProcessDetailSheet sheet(entry, options);

    RunSheet(sheet, [&] {
        ULONGLONG start = GetTickCount64();
        sheet.SetActivePage(3);
        EXPECT_LT(GetTickCount64() - start, 500u) << "the tab waited for the reader";
        EXPECT_TRUE(sheet.GetHandlePage().IsReading());
        HWND status = Control(sheet, 3, IDC_PROCESS_HANDLE_STATUS);
        HWND handles = Control(sheet, 3, IDC_PROCESS_HANDLE_LIST);
        EXPECT_TRUE(IsWindowVisible(status));
        EXPECT_EQ(TextOf(status), L"열린 파일과 레지스트리 키를 읽는 중입니다...");
        EXPECT_EQ(ListView_GetItemCount(handles), 0);
        SaveImage(sheet.m_hWnd, L"process_detail_handles_reading.png");
        RECT statusPlace = PlaceOf(status);
        ExpectListFollowsPageSize(sheet, 3, handles, statusPlace.bottom - statusPlace.top + 2);
        // The other tabs still work while the names are read.
        sheet.SetActivePage(0);
        EXPECT_EQ(sheet.GetActivePage(), sheet.GetPage(0));
        sheet.SetActivePage(3);

        ASSERT_TRUE(PumpUntil([&] { return !sheet.GetHandlePage().IsReading(); }, 10000));
        ULONGLONG elapsed = GetTickCount64() - start;
        EXPECT_GE(elapsed, 900u);
        std::vector<std::wstring> held = ListColumn(handles, 0);
        EXPECT_FALSE(AnyEndsWith(held, L"\\held-open.txt"));
        EXPECT_TRUE(AnyEndsWith(held, L"\\" + KeyLeaf()));
        EXPECT_FALSE(IsWindowVisible(status));
    });

    // Closed while the names are read, the sheet does not wait; the reader ends after the page is
    // gone and what it read goes nowhere.
    {
        CProcessDetailSheet closing(entry, options);
        ULONGLONG closed = 0;
        RunSheet(closing, [&] {
            closing.SetActivePage(3);
            EXPECT_TRUE(closing.GetHandlePage().IsReading());
            closed = GetTickCount64();
        });
        EXPECT_LT(GetTickCount64() - closed, 500u);
    }
    PumpUntil([] { return false; }, 1500);
}

TEST(ProcessDetailSheetEndedTest, ProcessThatHasEndedShowsEmptyTabsAndNoError)
{
    DWORD id = 0;
    {
        TestChildProcess child(L"wait");
        ASSERT_TRUE(child.Started());
        id = child.Id();
    }
    ProcessInfo entry(id, L"gone.exe", L"", L"", 0, 0, L"");
    CProcessDetailSheet sheet(entry);

    RunSheet(sheet, [&] {
        EXPECT_EQ(TextOf(sheet.m_hWnd), L"프로세스 정보 - ");
        EXPECT_EQ(TextOf(Control(sheet, 0, IDC_PROCESS_IMAGE_NAME)), L"gone.exe");
        EXPECT_NE(SendMessageW(Control(sheet, 0, IDC_PROCESS_ICON), STM_GETICON, 0, 0), 0)
            << "no path: the icon comes from the image name's type";
        sheet.SetActivePage(1);
        EXPECT_EQ(TreeView_GetCount(Control(sheet, 1, IDC_PROCESS_WINDOW_TREE)), 0u);
        sheet.SetActivePage(2);
        EXPECT_EQ(ListView_GetItemCount(Control(sheet, 2, IDC_PROCESS_MODULE_LIST)), 0);
        sheet.SetActivePage(3);
        ASSERT_TRUE(PumpUntil([&] { return !sheet.GetHandlePage().IsReading(); }, 10000));
        EXPECT_EQ(ListView_GetItemCount(Control(sheet, 3, IDC_PROCESS_HANDLE_LIST)), 0);
        EXPECT_EQ(VisibleWindowsOfThisThreadBesides(sheet.m_hWnd), 0) << "a message box or another window came up";
    });
}

}  // namespace
