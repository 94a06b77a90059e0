#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "console/AddonManager.h"
#include "console/ConsoleDlg.h"
#include "console/OptionDlg.h"
#include "console/res/resource.h"
#include "core/Application.h"
#include "core/Exception.h"
#include "core/UniqueResource.h"
#include "framework/CDHtmlDialog.h"
#include "framework/CWinApp.h"
#include "html/Node.h"
#include "html/Page.h"
#include "testing/HostPath.h"
#include "testing/MessagePump.h"
#include "testing/TempFolder.h"
#include "testing/WindowScreenshot.h"

// Rectangles in failure messages.
void PrintTo(const CRect& rect, std::ostream* out)
{
    *out << "(" << rect.left << ", " << rect.top << ")-(" << rect.right << ", " << rect.bottom << ")";
}

void PrintTo(const CSize& size, std::ostream* out) { *out << size.cx << " x " << size.cy; }

void PrintTo(const CPoint& point, std::ostream* out) { *out << "(" << point.x << ", " << point.y << ")"; }

namespace {

using TestSupport::PumpUntil;
using TestSupport::PumpPending;

using System::String;

const wchar_t kHomeTitle[] = L"벨라 툴박스";
const wchar_t kPageAddon[] = L"console_test_addon.dll";
const wchar_t kPlainAddon[] = L"console_test_addon_state.dll";

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring TestProgramFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return Folder(path);
}

using TestSupport::HostPath;

CRect WindowRect(HWND window)
{
    CRect rect;
    GetWindowRect(window, &rect);
    return rect;
}

void CollectById(Html::Node& node, const std::wstring& id, std::vector<Html::Node*>& found)
{
    if (node.IsElement() && node.Id() == id) found.push_back(&node);
    for (const auto& child : node.Children()) CollectById(*child, id, found);
}

// Presses and releases the left button over the middle of an element, as the user would.
void Click(CDHtmlDialog& dialog, Html::Node* element)
{
    ASSERT_NE(element, nullptr);
    dialog.GetPage()->Update();
    Html::Rect box = element->Box().border;
    LPARAM at = MAKELPARAM(box.x + box.width / 2, box.y + box.height / 2);
    dialog.SendMessage(WM_MOUSEMOVE, 0, at);
    dialog.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    dialog.SendMessage(WM_LBUTTONUP, 0, at);
}

// The console with the user's answers and the shell replaced, and the keys its window receives.
class TestConsole : public ConsoleDlg {
public:
    using ConsoleDlg::ConsoleDlg;

    std::vector<CString> messages;
    int answer = IDNO;
    std::vector<String> addresses;
    std::vector<UINT> keysReceived;

protected:
    int ShowMessage(const CString& text, UINT) override
    {
        messages.push_back(text);
        return answer;
    }
    void OpenAddress(const String& url) override { addresses.push_back(url); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN) keysReceived.push_back(static_cast<UINT>(wParam));
        return ConsoleDlg::WindowProc(message, wParam, lParam);
    }
};

struct Tool {
    std::wstring id;
    std::wstring name;
    std::wstring category;
    std::wstring module;
    int external = 0;
};

std::string Utf8(const std::wstring& text) { return String(text).ToUtf8(); }

class ConsoleWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        settings_ = folder_ / L"vacon.cfg";
    }
    void TearDown() override
    {
        if (console_ && console_->m_hWnd) console_->DestroyWindow();
        console_.reset();
        addons_.reset();
        if (com_) CoUninitialize();
    }

    void WriteCatalogue(const std::vector<Tool>& tools)
    {
        std::wstring xml = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><addons>";
        for (const Tool& tool : tools) {
            xml += L"<item><id>" + tool.id + L"</id><name>" + tool.name + L"</name><category>" + tool.category +
                   L"</category><description>" + tool.name + L" 설명</description><imageFileName>icons\\" + tool.id +
                   L".png</imageFileName><moduleFileName>" + tool.module + L"</moduleFileName><downloadUrl>" +
                   L"http://127.0.0.1/download/" + tool.id + L"</downloadUrl><external>" +
                   std::to_wstring(tool.external) + L"</external></item>";
        }
        folder_.WriteFile(L"vtaddons3.xml", Utf8(xml + L"</addons>"));
        CopyIcons(tools);
    }
    // The deployment's icons, so that screenshots look like the product.
    void CopyIcons(const std::vector<Tool>& tools)
    {
        CreateDirectoryW((folder_ / L"icons").c_str(), nullptr);
        std::wstring source = HostPath(CONSOLE_DEPLOY_DIR) + L"\\icons\\";
        WIN32_FIND_DATAW found;
        System::UniqueFindHandle search(FindFirstFileW((source + L"*.png").c_str(), &found));
        std::vector<std::wstring> icons;
        if (search) {
            do icons.push_back(source + found.cFileName);
            while (FindNextFileW(search.Get(), &found));
        }
        for (size_t index = 0; index < tools.size() && !icons.empty(); ++index) {
            std::wstring target = folder_ / (L"icons\\" + tools[index].id + L".png");
            CopyFileW(icons[index % icons.size()].c_str(), target.c_str(), FALSE);
        }
    }

    static std::wstring Library(const wchar_t* name) { return TestProgramFolder() + L"\\" + name; }
    static Tool PageTool() { return {L"01", L"시험 도구", L"시스템 관리", Library(kPageAddon)}; }
    static Tool PlainTool() { return {L"02", L"상태 도구", L"시스템 관리", Library(kPlainAddon)}; }

    void SetSmooth(bool smooth) { COptionDlg::WriteSmoothSwitch(settings_.c_str(), smooth); }

    TestConsole& Open(const std::wstring& startId = L"")
    {
        addons_ = std::make_unique<AddonManager>(String(folder_.Path().c_str()));
        console_ = std::make_unique<TestConsole>(*addons_, String(folder_.Path().c_str()), String(settings_.c_str()));
        console_->SetStartId(startId.c_str());
        EXPECT_TRUE(console_->Create(IDD_CONSOLE));
        console_->ShowWindow(SW_SHOW);
        EXPECT_TRUE(PumpUntil([&] { return console_->IsPageFilled(); }));
        PumpPending();
        return *console_;
    }

    Html::Node* Element(const wchar_t* id) { return console_->GetElement(id); }
    std::vector<Html::Node*> All(const wchar_t* id)
    {
        std::vector<Html::Node*> found;
        CollectById(*console_->GetPage()->GetDocument().Root(), id, found);
        return found;
    }
    Html::Node* Icon(const std::wstring& toolId)
    {
        for (Html::Node* icon : All(L"addon")) {
            if (icon->ClassName() == toolId) return icon;
        }
        return nullptr;
    }
    bool ArrowEnabled(const wchar_t* id) { return Element(id) != nullptr; }
    void Tick(UINT_PTR timer) { console_->SendMessage(WM_TIMER, timer); }
    // Finishes the running switch through the real timers.
    void WaitForSwitch() { EXPECT_TRUE(PumpUntil([&] { return !console_->IsBusy(); })); }

    TestConsole& ShowToolWithoutSmoothing(const Tool& tool)
    {
        SetSmooth(false);
        WriteCatalogue({tool});
        TestConsole& console = Open();
        Click(console, Icon(tool.id));
        Tick(0);
        Tick(1);
        return console;
    }

    Addon* Find(const std::wstring& id) { return addons_->GetAddon(id.c_str()); }

    TestSupport::TempFolder folder_;
    std::wstring settings_;
    std::unique_ptr<AddonManager> addons_;
    std::unique_ptr<TestConsole> console_;

private:
    bool com_ = false;
};

TEST_F(ConsoleWindowTest, ListsCategoriesAsSectionsInOrderOfFirstAppearance)
{
    WriteCatalogue({{L"10", L"청소", L"시스템 관리", L"a.dll"},
                    {L"11", L"정보", L"", L"b.dll"},
                    {L"12", L"차단", L"보안", L"c.dll"},
                    {L"13", L"시작", L"시스템 관리", L"d.dll"}});
    TestConsole& console = Open();

    std::vector<std::pair<String, String>> sections;
    for (const auto& entry : console.GetSections()) sections.emplace_back(entry.key, entry.value);
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0], std::make_pair(String(L"시스템 관리"), String(L"00")));
    EXPECT_EQ(sections[1], std::make_pair(String(L"기타"), String(L"01")));
    EXPECT_EQ(sections[2], std::make_pair(String(L"보안"), String(L"02")));
    EXPECT_EQ(WindowRect(console.m_hWnd).Height(), 3 * 117 + 74);

    Html::Node* system = Element(L"section_00");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->InnerText().find(L"시스템 관리"), 0u);
    EXPECT_EQ(Element(L"section_01")->InnerText().find(L"기타"), 0u);
    std::vector<Html::Node*> icons = All(L"addon");
    ASSERT_EQ(icons.size(), 4u);
    EXPECT_EQ(icons[0]->ClassName(), L"10");
    EXPECT_EQ(icons[1]->ClassName(), L"13") << "tools of one category share its section, in catalogue order";
    EXPECT_TRUE(system->IsInclusiveAncestorOf(icons[1]));
    EXPECT_EQ(icons[0]->GetAttribute(L"src"), L"file://" + folder_.Path() + L"\\icons\\10.png");
    EXPECT_EQ(icons[0]->GetAttribute(L"title"), L"청소 설명");

    EXPECT_FALSE(ArrowEnabled(L"BtnPrevious"));
    EXPECT_FALSE(ArrowEnabled(L"BtnNext"));
    EXPECT_EQ(console.GetTitle(), CString(kHomeTitle));
    CString caption;
    console.GetWindowText(caption);
    EXPECT_EQ(caption, CString(kHomeTitle));
    EXPECT_EQ(console.GetElementText(L"txtTitle"), CString(kHomeTitle));
    EXPECT_TRUE(TestSupport::SaveWindowImage(console.m_hWnd, HostPath(CONSOLE_BUILD_DIR) + L"\\console_home.png"));
}

TEST_F(ConsoleWindowTest, EmptyCatalogueGivesTheBarePage)
{
    WriteCatalogue({});
    TestConsole& console = Open();
    EXPECT_EQ(console.GetSections().GetCount(), 0);
    EXPECT_EQ(WindowRect(console.m_hWnd).Height(), 74);

    console.ShowCurrentTool();
    EXPECT_EQ(console.messages.size(), 1u) << "no tool was shown yet";
    EXPECT_FALSE(console.IsBusy());
    EXPECT_FALSE(ArrowEnabled(L"BtnNext"));
}

TEST_F(ConsoleWindowTest, WithoutSmoothingAToolIsShownAndHiddenInTwoTicksEachWay)
{
    SetSmooth(false);
    WriteCatalogue({PageTool()});
    TestConsole& console = Open();
    CRect home = WindowRect(console.m_hWnd);

    Click(console, Icon(L"01"));
    EXPECT_TRUE(console.IsBusy());
    EXPECT_EQ(console.GetTitle(), CString(L"시험 도구 불러오는 중..."));
    CWnd* tool = console.GetCurrentDialog();
    ASSERT_NE(tool, nullptr);
    EXPECT_TRUE(tool->GetExStyle() & WS_EX_LAYERED);
    EXPECT_FALSE(tool->IsWindowVisible());
    EXPECT_FALSE(ArrowEnabled(L"BtnPrevious"));
    EXPECT_FALSE(ArrowEnabled(L"BtnNext"));

    Tick(0);
    Addon* addon = Find(L"01");
    CRect grown = WindowRect(console.m_hWnd);
    EXPECT_EQ(grown.TopLeft(), home.TopLeft());
    EXPECT_EQ(grown.Width(), addon->GetWidth());
    EXPECT_EQ(grown.Height(), addon->GetHeight());
    EXPECT_TRUE(tool->IsWindowVisible());
    Tick(1);
    EXPECT_FALSE(console.IsBusy());
    EXPECT_TRUE(console.IsToolShown());
    EXPECT_EQ(console.GetTitle(), CString(L"시험 도구"));
    EXPECT_EQ(console.GetElementText(L"txtTitle"), CString(L"시험 도구"));
    EXPECT_TRUE(ArrowEnabled(L"BtnPrevious"));
    EXPECT_FALSE(ArrowEnabled(L"BtnNext"));
    CRect toolRect = WindowRect(tool->m_hWnd);
    EXPECT_EQ(toolRect, CRect(grown.left, grown.top + 29, grown.right, grown.bottom));
    PumpPending();
    tool->UpdateWindow();
    EXPECT_TRUE(TestSupport::SaveScreenImage(console.m_hWnd, HostPath(CONSOLE_BUILD_DIR) + L"\\console_addon.png"));

    Click(console, Element(L"BtnPrevious"));
    EXPECT_TRUE(console.IsBusy());
    EXPECT_EQ(console.GetTitle(), CString(L"시험 도구 해제하는 중..."));
    Tick(3);
    EXPECT_FALSE(tool->IsWindowVisible());
    Tick(2);
    EXPECT_FALSE(console.IsBusy());
    EXPECT_FALSE(console.IsToolShown());
    EXPECT_EQ(WindowRect(console.m_hWnd), home);
    EXPECT_EQ(console.GetTitle(), CString(kHomeTitle));
    EXPECT_FALSE(ArrowEnabled(L"BtnPrevious"));
    EXPECT_TRUE(ArrowEnabled(L"BtnNext"));
}

TEST_F(ConsoleWindowTest, SmoothSwitchRunsOnTheTimersAndIgnoresClicksMeanwhile)
{
    WriteCatalogue({PageTool(), PlainTool()});
    TestConsole& console = Open();
    ASSERT_TRUE(console.IsSmoothSwitch()) << "no settings file means smooth switching";
    CRect home = WindowRect(console.m_hWnd);

    Click(console, Icon(L"01"));
    ASSERT_TRUE(console.IsBusy());
    Click(console, Icon(L"02"));
    EXPECT_EQ(console.GetCurrentId(), String(L"01"));
    EXPECT_EQ(Find(L"02")->GetModule(), nullptr) << "the second tool was not even loaded";
    Tick(0);
    int toolWidth = Find(L"01")->GetWidth();
    EXPECT_EQ(WindowRect(console.m_hWnd).Width(), home.Width() + (toolWidth - home.Width()) * 15 / 100)
        << "the first step grows the console by 15 percent of the way";

    WaitForSwitch();
    EXPECT_TRUE(console.IsToolShown());
    EXPECT_EQ(WindowRect(console.m_hWnd).Size(), CSize(Find(L"01")->GetWidth(), Find(L"01")->GetHeight()));
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(console.GetCurrentDialog()->m_hWnd, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 255);

    console.SendMessage(WM_ADDON_BACK);
    ASSERT_TRUE(console.IsBusy());
    console.ShowCurrentTool();
    EXPECT_FALSE(console.IsToolShown()) << "the forward arrow waits for the way home to end";
    WaitForSwitch();
    EXPECT_EQ(WindowRect(console.m_hWnd), home);
    EXPECT_FALSE(console.GetCurrentDialog()->IsWindowVisible());
}

TEST_F(ConsoleWindowTest, StartIdOpensItsToolOnceThePageIsFilled)
{
    SetSmooth(false);
    WriteCatalogue({PlainTool(), PageTool()});
    TestConsole& console = Open(L"01");
    EXPECT_EQ(All(L"addon").size(), 2u);
    EXPECT_EQ(console.GetCurrentId(), String(L"01"));
    WaitForSwitch();
    EXPECT_TRUE(console.IsToolShown());
    EXPECT_TRUE(console.GetCurrentDialog()->IsWindowVisible());
    EXPECT_TRUE(console.messages.empty());
}

TEST_F(ConsoleWindowTest, UnknownStartIdIsReportedAndTheHomePageStays)
{
    WriteCatalogue({PageTool()});
    TestConsole& console = Open(L"99");
    ASSERT_EQ(console.messages.size(), 1u);
    EXPECT_NE(console.messages[0].Find(L"'99'"), -1) << console.messages[0].GetString();
    EXPECT_FALSE(console.IsBusy());
    EXPECT_FALSE(console.IsToolShown());
    EXPECT_EQ(console.GetTitle(), CString(kHomeTitle));
}

namespace {

// What the user saw of the console's first message box: its text, and whether the console stood
// shown and fully painted behind it. The box is answered with OK.
struct MessageBoxSighting {
    std::wstring text;
    bool consoleShown = false;
    bool consolePainted = false;
};

HWND FindMessageBox(DWORD thread)
{
    struct Search {
        DWORD thread;
        HWND found;
    } search{thread, nullptr};
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM parameter) -> BOOL {
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window) || !GetWindow(window, GW_OWNER)) return TRUE;
            reinterpret_cast<Search*>(parameter)->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

MessageBoxSighting WatchForMessageBox(DWORD thread)
{
    MessageBoxSighting sighting;
    for (int attempt = 0; attempt < 1000; ++attempt, Sleep(10)) {
        HWND box = FindMessageBox(thread);
        if (!box) continue;
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        sighting.text = text;
        HWND console = GetWindow(box, GW_OWNER);
        sighting.consoleShown = IsWindowVisible(console);
        sighting.consolePainted = !GetUpdateRect(console, nullptr, FALSE);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        break;
    }
    return sighting;
}

}  // namespace

TEST_F(ConsoleWindowTest, UnknownStartIdIsToldInKoreanOnlyOverThePaintedHomePage)
{
    WriteCatalogue({PageTool()});
    AddonManager addons(String(folder_.Path().c_str()));
    ConsoleDlg console(addons, String(folder_.Path().c_str()), String(settings_.c_str()));
    console.SetStartId(L"77");
    MessageBoxSighting sighting;
    std::thread watcher([&, thread = GetCurrentThreadId()] { sighting = WatchForMessageBox(thread); });
    // Created hidden, as a modal console is until its first idle moment.
    ASSERT_TRUE(console.Create(IDD_CONSOLE));
    EXPECT_TRUE(PumpUntil([&] { return console.IsPageFilled(); }));
    PumpPending();
    watcher.join();

    EXPECT_EQ(sighting.text, L"'77' 도구를 찾을 수 없습니다.");
    EXPECT_TRUE(std::none_of(sighting.text.begin(), sighting.text.end(), [](wchar_t c) { return iswalpha(c) && c < 0x80; }))
        << "technical detail belongs in the trace";
    EXPECT_TRUE(sighting.consoleShown);
    EXPECT_TRUE(sighting.consolePainted);
    console.DestroyWindow();
}

TEST_F(ConsoleWindowTest, RestoringFromMaximisedWhileAToolIsShownGivesTheToolsSize)
{
    TestConsole& console = ShowToolWithoutSmoothing(PageTool());
    ASSERT_TRUE(console.IsToolShown());
    CRect shown = WindowRect(console.m_hWnd);

    PumpPending();
    Html::Node* header = Element(L"_header");
    ASSERT_NE(header, nullptr);
    Html::Rect band = header->Box().border;
    console.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(band.x + band.width / 2, band.y + 3));
    CRect workArea;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_TRUE(console.IsMaximised());
    EXPECT_EQ(WindowRect(console.m_hWnd), workArea);
    EXPECT_EQ(WindowRect(console.GetCurrentDialog()->m_hWnd),
              CRect(workArea.left, workArea.top + 29, workArea.right, workArea.bottom))
        << "the tool stays glued to the console";

    PumpPending();
    Click(console, Element(L"BtnNormal"));
    EXPECT_FALSE(console.IsMaximised());
    EXPECT_EQ(WindowRect(console.m_hWnd), shown);
    EXPECT_EQ(WindowRect(console.m_hWnd).Size(), CSize(Find(L"01")->GetWidth(), Find(L"01")->GetHeight()));
}

TEST_F(ConsoleWindowTest, ToolFollowsTheConsoleWhenItMoves)
{
    TestConsole& console = ShowToolWithoutSmoothing(PageTool());
    CRect before = WindowRect(console.m_hWnd);
    console.SetWindowPos(nullptr, before.left + 37, before.top + 21, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CRect after = WindowRect(console.m_hWnd);
    EXPECT_EQ(WindowRect(console.GetCurrentDialog()->m_hWnd),
              CRect(after.left, after.top + 29, after.right, after.bottom));
}

TEST_F(ConsoleWindowTest, SameAddonOpenedTwiceIsLoadedOnce)
{
    TestConsole& console = ShowToolWithoutSmoothing(PageTool());
    CWnd* first = console.GetCurrentDialog();
    HMODULE module = Find(L"01")->GetModule();
    console.GoHome();
    Tick(3);
    Tick(2);
    PumpPending();

    Click(console, Icon(L"01"));
    Tick(0);
    Tick(1);
    EXPECT_TRUE(console.IsToolShown());
    EXPECT_EQ(console.GetCurrentDialog(), first);
    EXPECT_EQ(Find(L"01")->GetModule(), module);
    auto constructed =
        reinterpret_cast<LONG (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "AddonProbeConstructed")));
    ASSERT_NE(constructed, nullptr);
    EXPECT_EQ(constructed(), 1);
}

TEST_F(ConsoleWindowTest, ForwardArrowShowsTheLastToolAgain)
{
    TestConsole& console = ShowToolWithoutSmoothing(PageTool());
    CWnd* tool = console.GetCurrentDialog();
    console.GoHome();
    Tick(3);
    Tick(2);
    PumpPending();
    Click(console, Element(L"BtnNext"));
    EXPECT_TRUE(console.IsBusy());
    Tick(0);
    Tick(1);
    EXPECT_TRUE(console.IsToolShown());
    EXPECT_EQ(console.GetCurrentDialog(), tool);
    EXPECT_TRUE(tool->IsWindowVisible());
    EXPECT_EQ(console.GetTitle(), CString(L"시험 도구"));
}

TEST_F(ConsoleWindowTest, BackArrowOfTheToolTakesTheConsoleHome)
{
    TestConsole& console = ShowToolWithoutSmoothing(PageTool());
    auto* tool = dynamic_cast<CDHtmlDialog*>(console.GetCurrentDialog());
    ASSERT_NE(tool, nullptr);
    PumpPending();
    Click(*tool, tool->GetElement(L"BtnPrevious"));
    EXPECT_TRUE(console.IsBusy());
    EXPECT_FALSE(console.IsToolShown());
    Tick(3);
    Tick(2);
    EXPECT_FALSE(tool->IsWindowVisible());
    EXPECT_EQ(console.GetTitle(), CString(kHomeTitle));

    console.SendMessage(WM_ADDON_BACK);
    EXPECT_FALSE(console.IsBusy()) << "going home from home does nothing";
    EXPECT_TRUE(ArrowEnabled(L"BtnNext"));
}

TEST_F(ConsoleWindowTest, ToolThatCannotBeLoadedIsReportedEveryTimeAndTheConsoleStaysUsable)
{
    SetSmooth(false);
    WriteCatalogue({PageTool(),
                    {L"21", L"없는 도구", L"고장", Library(L"missing_addon.dll")},
                    {L"22", L"내보내기 없는 도구", L"고장", Library(L"console_test_addon_noexport.dll")},
                    {L"23", L"빈 대화 상자 도구", L"고장", Library(L"console_test_addon_null.dll")}});
    TestConsole& console = Open();
    Click(console, Icon(L"01"));
    Tick(0);
    Tick(1);
    console.GoHome();
    Tick(3);
    Tick(2);
    PumpPending();
    CRect home = WindowRect(console.m_hWnd);

    const std::vector<std::pair<const wchar_t*, const wchar_t*>> failures = {
        {L"21", L"도구 파일이 없거나"}, {L"21", L"도구 파일이 없거나"},
        {L"22", L"도구 화면을 만드는 기능이 없습니다"}, {L"23", L"도구 화면을 만드는 중에 오류가 났습니다"}};
    for (const auto& [id, reason] : failures) {
        console.messages.clear();
        Click(console, Icon(id));
        ASSERT_EQ(console.messages.size(), 1u) << id;
        EXPECT_NE(console.messages[0].Find(Find(id)->GetName().GetBuffer()), -1) << console.messages[0].GetString();
        EXPECT_NE(console.messages[0].Find(reason), -1) << console.messages[0].GetString();
        EXPECT_FALSE(console.IsBusy());
        EXPECT_FALSE(console.IsToolShown());
        EXPECT_EQ(console.GetCurrentId(), String(L"01"));
        EXPECT_EQ(console.GetTitle(), CString(kHomeTitle));
        EXPECT_FALSE(ArrowEnabled(L"BtnPrevious"));
        EXPECT_TRUE(ArrowEnabled(L"BtnNext")) << "the arrows are as they were before the click";
        EXPECT_EQ(WindowRect(console.m_hWnd), home);
        PumpPending();
    }
    EXPECT_EQ(Find(L"21")->GetModule(), nullptr);

    console.messages.clear();
    Click(console, Icon(L"21"));
    CString again = console.messages.at(0);
    console.messages.clear();
    Click(console, Icon(L"21"));
    EXPECT_EQ(console.messages.at(0), again) << "a missing library fails the same way each time";

    console.OpenTool(L"99");
    ASSERT_EQ(console.messages.size(), 2u);
    EXPECT_NE(console.messages[1].Find(L"'99'"), -1);

    Click(console, Icon(L"01"));
    Tick(0);
    Tick(1);
    EXPECT_TRUE(console.IsToolShown());
    EXPECT_EQ(console.GetTitle(), CString(L"시험 도구"));
}

TEST_F(ConsoleWindowTest, MissingOutsideProgramIsOfferedForDownloadOnly)
{
    WriteCatalogue({{L"31", L"없는 프로그램", L"외부", L"%SystemRoot%\\no_such_program.exe", 1}});
    TestConsole& console = Open();
    console.answer = IDNO;
    Click(console, Icon(L"31"));
    ASSERT_EQ(console.messages.size(), 1u);
    EXPECT_EQ(console.messages[0],
              CString(L"해당 도구가 현재 PC에 설치되어 있지 않습니다.\r\n인터넷으로 부터 해당 도구를 내려받으시겠습니까?"));
    EXPECT_FALSE(console.IsBusy());
    EXPECT_EQ(console.GetCurrentDialog(), nullptr);
}

TEST_F(ConsoleWindowTest, KeyboardFilterWorksInTheConsoleAndInTheHostedTool)
{
    TestConsole& console = ShowToolWithoutSmoothing(PageTool());
    for (UINT key : std::initializer_list<UINT>{VK_ESCAPE, VK_F5, VK_F1, VK_F3})
        console.PostMessage(WM_KEYDOWN, key, 0);
    PumpPending();
    EXPECT_TRUE(console.IsWindowVisible()) << "Escape does not close the console";
    EXPECT_EQ(console.keysReceived, std::vector<UINT>{VK_F3});

    HWND edit = FindWindowExW(console.GetCurrentDialog()->m_hWnd, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr) << "the test add-on's page has a text input";
    static std::vector<UINT> editKeys;
    editKeys.clear();
    SUBCLASSPROC recorder = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR) -> LRESULT {
        if (message == WM_KEYDOWN) editKeys.push_back(static_cast<UINT>(wParam));
        return DefSubclassProc(window, message, wParam, lParam);
    };
    ASSERT_TRUE(SetWindowSubclass(edit, recorder, 1, 0));
    for (UINT key : std::initializer_list<UINT>{VK_ESCAPE, VK_F5, VK_F12, VK_F3, 'X'})
        PostMessageW(edit, WM_KEYDOWN, key, 0);
    PumpPending();
    RemoveWindowSubclass(edit, recorder, 1);
    EXPECT_EQ(editKeys, (std::vector<UINT>{VK_F3, 'X'}));
    wchar_t text[16] = {};
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(text, L"x") << "ordinary typing reaches the tool's input";
    EXPECT_TRUE(console.GetCurrentDialog()->IsWindowVisible());
}

TEST_F(ConsoleWindowTest, MenuOpensAtTheClientCornerAndItsCommandsWork)
{
    WriteCatalogue({PageTool()});
    TestConsole& console = Open();
    static CRect menuRect;
    menuRect = CRect();
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (HWND menu = FindWindowW(L"#32768", nullptr)) GetWindowRect(menu, &menuRect);
        EndMenu();
    });
    Click(console, Element(L"BtnMenu"));
    CPoint corner(0, 0);
    console.ClientToScreen(&corner);
    EXPECT_EQ(menuRect.TopLeft(), CPoint(corner.x + 10, corner.y + 25));
    EXPECT_EQ(corner, WindowRect(console.m_hWnd).TopLeft()) << "the console has no frame of its own";

    console.SendMessage(WM_COMMAND, ID_HELP_TOPICS);
    console.SendMessage(WM_COMMAND, ID_HOME_PAGE);
    ASSERT_EQ(console.addresses.size(), 2u);
    EXPECT_EQ(console.addresses[0], System::Application::GetServerUrl(System::Application::Server::Guide));
    EXPECT_EQ(console.addresses[1], System::Application::GetServerUrl(System::Application::Server::HomePage));

    console.SendMessage(WM_COMMAND, ID_APP_EXIT_CONSOLE);
    EXPECT_FALSE(console.IsWindowVisible()) << "exit ends the console's dialog";
}

TEST_F(ConsoleWindowTest, CloseButtonEndsTheConsoleButEnterDoesNot)
{
    WriteCatalogue({PageTool()});
    TestConsole& console = Open();
    console.PostMessage(WM_KEYDOWN, VK_RETURN, 0);
    PumpPending();
    EXPECT_TRUE(console.IsWindowVisible());
    Click(console, Element(L"BtnClose"));
    EXPECT_FALSE(console.IsWindowVisible());
}

TEST_F(ConsoleWindowTest, SettingsDialogChangesTheSwitchAtOnceAndWritesIt)
{
    WriteCatalogue({PageTool()});
    TestConsole& console = Open();
    ASSERT_TRUE(console.IsSmoothSwitch());
    static UINT checkedAtStart;
    checkedAtStart = 99;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND options = FindWindowW(L"#32770", L"환경 설정");
        if (!options) return;
        KillTimer(nullptr, id);
        checkedAtStart = IsDlgButtonChecked(options, IDC_SMOOTH_SWITCH);
        SendDlgItemMessageW(options, IDC_SMOOTH_SWITCH, BM_CLICK, 0, 0);
        SendDlgItemMessageW(options, IDOK, BM_CLICK, 0, 0);
    });
    console.SendMessage(WM_COMMAND, ID_OPTIONS);
    EXPECT_EQ(checkedAtStart, static_cast<UINT>(BST_CHECKED));
    EXPECT_FALSE(console.IsSmoothSwitch());
    EXPECT_FALSE(COptionDlg::ReadSmoothSwitch(settings_.c_str()));
}

}  // namespace
