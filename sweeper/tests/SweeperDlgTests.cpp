#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Registry.h"
#include "core/RegistryKey.h"
#include "core/Trace.h"
#include "framework/CWinApp.h"
#include "html/Node.h"
#include "html/Page.h"
#include "sweeper/FileSweeper.h"
#include "sweeper/RegistrySweeper.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/addon/SelectionStore.h"
#include "sweeper/addon/SweeperDlg.h"
#include "sweeper/addon/SweeperTexts.h"
#include "testing/HostPath.h"
#include "testing/MessagePump.h"
#include "testing/ScratchRegistryKey.h"
#include "testing/TempFolder.h"
#include "testing/WindowScreenshot.h"

using System::String;
using SweeperTexts::Moment;
using SweeperTexts::Pass;

namespace {

using TestSupport::PumpUntil;
using TestSupport::PumpPending;

std::wstring BuildFolder() { return TestSupport::HostPath(SWEEPER_BUILD_DIR); }

class Event {
public:
    Event() : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() { CloseHandle(handle_); }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    void Set() { SetEvent(handle_); }
    void Reset() { ResetEvent(handle_); }
    bool IsSet() const { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }
    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_;
};

// Where a gate leaf holds its pass: armed, it stops before item holdAt and tells the test so.
struct Gate {
    bool armed = false;
    int holdAt = 2;
    Event reached;
    Event release;
};

// A leaf of four items that the test can hold in the middle. While held it keeps raising Progress,
// as a leaf working through a long item does, so that a stop still reaches it.
class GateSweeper : public Sweeper {
public:
    GateSweeper(const String& name, Gate& gate) : Sweeper(name), gate_(gate) {}

    void Reset(bool keepFindings) override
    {
        Sweeper::Reset(keepFindings);
        counters_.Reset(keepFindings);
    }
    void Run(bool sweep) override
    {
        SetDone(false);
        counters_.Reset(true);
        counters_.AddToProcess(Items);
        for (int item = 0; item < Items; ++item) {
            if (item == gate_.holdAt && gate_.armed) {
                gate_.reached.Set();
                while (WaitForSingleObject(gate_.release.Handle(), 10) == WAIT_TIMEOUT) RaiseProgress();
            }
            counters_.Count(sweep);
            counters_.AddProcessed();
            RaiseProgress();
        }
        SetDone(true);
        RaiseCompleted();
    }
    int64_t GetSize() const override { return counters_.GetFoundBytes(); }
    int32_t GetCount() const override { return counters_.GetFound(); }
    int GetProgress() const override { return counters_.GetProgress(IsDone()); }

    static constexpr int Items = 4;

private:
    Gate& gate_;
    SweepCounters counters_;
};

// A leaf that raises Progress as fast as it can for a while, as a walk over many small items does.
class ChattySweeper : public Sweeper {
public:
    ChattySweeper(const String& name, ULONGLONG milliseconds, long long* events)
        : Sweeper(name), milliseconds_(milliseconds), events_(events)
    {
    }
    void Run(bool) override
    {
        SetDone(false);
        ULONGLONG end = GetTickCount64() + milliseconds_;
        while (GetTickCount64() < end) {
            ++*events_;
            RaiseProgress();
        }
        SetDone(true);
        RaiseCompleted();
    }
    int GetProgress() const override { return IsDone() ? 100 : 0; }

private:
    ULONGLONG milliseconds_;
    long long* events_;
};

const std::wstring RegistryItems[] = {L"CLSID", L"SharedDll", L"ProgID", L"AppPath"};

// Test folders and keys only, under the catalogue's real keys: Disk (Temp with 15 files of one
// megabyte, WindowsTemp with three empty files, IECache as a gate), Registry (four keys of two
// values each) and History (one key). The selection store lives below the scratch key too.
class Sandbox {
public:
    Sandbox()
    {
        std::string megabyte(1048576, 'x');
        for (int i = 0; i < 15; ++i) temp.WriteFile(L"junk" + std::to_wstring(i) + L".tmp", megabyte);
        for (int i = 0; i < 3; ++i) windowsTemp.WriteFile(L"empty" + std::to_wstring(i) + L".tmp", std::string());
        for (const std::wstring& name : RegistryItems) AddKeyWithValues(name);
        AddKeyWithValues(L"OpenMRU");
    }

    Sweeper* BuildTree()
    {
        auto root = std::make_unique<Sweeper>(String());
        auto* disk = new Sweeper(L"Disk");
        root->AddChild(disk);
        disk->AddChild(new FileSweeper(L"Temp", temp.Path()));
        disk->AddChild(new FileSweeper(L"WindowsTemp", windowsTemp.Path()));
        disk->AddChild(new GateSweeper(L"IECache", gate));
        auto* registry = new Sweeper(L"Registry");
        root->AddChild(registry);
        for (const std::wstring& name : RegistryItems) registry->AddChild(new RegistrySweeper(name, KeyPath(name)));
        auto* history = new Sweeper(L"History");
        root->AddChild(history);
        history->AddChild(new RegistrySweeper(L"CommonOpenMRU", KeyPath(L"OpenMRU")));
        if (chattyMilliseconds) history->AddChild(new ChattySweeper(L"IEHistory", chattyMilliseconds, &chattyEvents));
        return root.release();
    }

    int ValueCount(const std::wstring& name) const
    {
        DWORD values = 0;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, (registry.Path() + L"\\" + name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return static_cast<int>(values);
    }
    int FileCount(const TestSupport::TempFolder& folder) const
    {
        int files = 0;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder.Path() + L"\\*.tmp").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return 0;
        do ++files;
        while (FindNextFileW(find, &data));
        FindClose(find);
        return files;
    }
    // The key below which the window keeps its selection store.
    std::wstring SettingsPath() const { return registry.Path() + L"\\Settings"; }
    // A tick value of the selection store; -1 when it is missing.
    int StoredTick(const std::wstring& key) const
    {
        DWORD value = 0, size = sizeof value;
        std::wstring path = SettingsPath() + L"\\" + SelectionStore::KeyName;
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
            return -1;
        return static_cast<int>(value);
    }

    TestSupport::TempFolder temp;
    TestSupport::TempFolder windowsTemp;
    TestSupport::ScratchRegistryKey registry;
    Gate gate;
    ULONGLONG chattyMilliseconds = 0;
    long long chattyEvents = 0;

private:
    std::wstring KeyPath(const std::wstring& name) const { return registry.FullPath() + L"\\" + name; }
    void AddKeyWithValues(const std::wstring& name)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(registry.Handle(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
        for (const wchar_t* value : {L"a", L"b"}) RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
        RegCloseKey(key);
    }
};

// The sweeper window over the sandbox, counting the worker's Progress messages.
class SandboxSweeperDlg : public SweeperDlg {
public:
    SandboxSweeperDlg(CWnd* parent, Sandbox& sandbox) : SweeperDlg(parent), sandbox_(sandbox) {}

    int progressMessages = 0;

protected:
    Sweeper* CreateTree() override { return sandbox_.BuildTree(); }
    Microsoft::Win32::RegistryKey* OpenSettingsKey() override
    {
        return Microsoft::Win32::Registry::GetCurrentUser()->CreateSubKey(sandbox_.SettingsPath());
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PASS_PROGRESS) ++progressMessages;
        return SweeperDlg::WindowProc(message, wParam, lParam);
    }

private:
    Sandbox& sandbox_;
};

// Stands in for the console's main dialog: the owner that receives the back arrow's message.
class ConsoleStandIn : public CWnd {
public:
    int backs = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_ADDON_BACK && wParam == 0 && lParam == 0) ++backs;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class TraceCapture : public System::Diagnostics::TraceListener {
public:
    void WriteLine(const String& message) override { lines.push_back(message.GetStdString()); }
    std::vector<std::wstring> lines;
};

class SweeperDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(console_.CreateEx(0, AfxGetDefaultWindowClass(), L"console", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200),
                                      nullptr, 0));
        trace_ = new TraceCapture;
        System::Diagnostics::Trace::Listeners()->Add(trace_);
    }
    void TearDown() override
    {
        sandbox_.gate.release.Set();
        dialog_.reset();
        console_.DestroyWindow();
        PumpPending();
        System::Diagnostics::Trace::Listeners()->Remove(trace_);
    }

    void Open()
    {
        dialog_ = std::make_unique<SandboxSweeperDlg>(&console_, sandbox_);
        ASSERT_TRUE(dialog_->Create(SweeperDlg::TemplateId, &console_));
        ASSERT_TRUE(PumpUntil([&] { return dialog_->GetState() == dialog_->StateStart(); })) << "the page never completed";
    }
    void Close()
    {
        dialog_.reset();
        PumpPending();
    }
    // Runs the worker's messages until the window is in state.
    bool ReachState(SweeperDlgState* state) { return PumpUntil([&] { return dialog_->GetState() == state; }); }

    void Click(LPCWSTR id)
    {
        // As on screen: the page is laid out for its last changes before the user can click.
        dialog_->GetPage()->Update();
        Html::Node* element = dialog_->GetElement(id);
        ASSERT_NE(element, nullptr) << "no element " << String(id).ToUtf8();
        Html::Rect box = element->Box().border;
        LPARAM at = MAKELPARAM(box.x + box.width / 2, box.y + box.height / 2);
        dialog_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        dialog_->SendMessage(WM_LBUTTONUP, 0, at);
    }
    void ShowAndSave(const wchar_t* name)
    {
        dialog_->ShowWindow(SW_SHOWNOACTIVATE);
        dialog_->UpdateWindow();
        PumpPending();
        EXPECT_TRUE(TestSupport::SaveWindowImage(dialog_->m_hWnd, BuildFolder() + L"\\" + name));
    }

    CSuperGridCtrl::CTreeItem* Row(const wchar_t* key) const
    {
        CSuperGridCtrl::CTreeItem* row = dialog_->GetRow(key);
        EXPECT_NE(row, nullptr) << String(key).ToUtf8();
        return row;
    }
    std::wstring Text(const wchar_t* key, int subItem) const
    {
        CSuperGridCtrl::CTreeItem* row = Row(key);
        return row ? std::wstring(row->GetContent().GetSubItemText(subItem).GetString()) : L"<no row>";
    }
    std::wstring Count(const wchar_t* key) const { return Text(key, 1); }
    std::wstring Size(const wchar_t* key) const { return Text(key, 2); }
    std::wstring Status(const wchar_t* key) const { return Text(key, 3); }
    int Bar(const wchar_t* key) const
    {
        CSuperGridCtrl::CTreeItem* row = Row(key);
        return row ? row->GetContent().GetSubItemImage(0) : -2;
    }
    bool Ticked(const wchar_t* key) const { return dialog_->GetTree().GetTick(Row(key)) != FALSE; }
    void SetTicked(const wchar_t* key, bool ticked) { dialog_->GetTree().SetTick(Row(key), ticked); }
    std::wstring Display(const wchar_t* id) const
    {
        Html::Node* element = dialog_->GetElement(id);
        return element ? element->StyleDisplay() : L"<missing>";
    }
    bool Traced(const std::wstring& line) const
    {
        for (const std::wstring& traced : trace_->lines) {
            if (traced == line) return true;
        }
        return false;
    }

    std::vector<std::wstring> AllKeys() const
    {
        std::vector<std::wstring> keys{L"Disk", L"Disk.Temp", L"Disk.WindowsTemp", L"Disk.IECache", L"Registry", L"History",
                                       L"History.CommonOpenMRU"};
        for (const std::wstring& name : RegistryItems) keys.push_back(L"Registry." + name);
        return keys;
    }

    Sandbox sandbox_;
    ConsoleStandIn console_;
    std::unique_ptr<SandboxSweeperDlg> dialog_;
    TraceCapture* trace_ = nullptr;
};

}  // namespace

TEST(SweeperTextsTest, StatusFollowsTheMomentAndTheRowsProgress)
{
    EXPECT_EQ(SweeperTexts::Status(Pass::Analysis, Moment::Timer, 0), String());
    EXPECT_EQ(SweeperTexts::Status(Pass::Analysis, Moment::Timer, 37), String(L"분석중... 37%"));
    EXPECT_EQ(SweeperTexts::Status(Pass::Analysis, Moment::Timer, 100), String(L"분석 완료"));
    EXPECT_EQ(SweeperTexts::Status(Pass::Analysis, Moment::PassCompleted, 0), String(L"분석 완료"));
    EXPECT_EQ(SweeperTexts::Status(Pass::Analysis, Moment::PassStopped, 50), String(L"분석 중지됨"));
    EXPECT_EQ(SweeperTexts::Status(Pass::Analysis, Moment::PassStopped, 0), String());
    EXPECT_EQ(SweeperTexts::Status(Pass::Analysis, Moment::PassStopped, 100), String(L"분석 완료"));
    EXPECT_EQ(SweeperTexts::Status(Pass::Sweep, Moment::Timer, 99), String(L"정리중... 99%"));
    EXPECT_EQ(SweeperTexts::Status(Pass::Sweep, Moment::Timer, 100), String(L"정리 완료"));
    EXPECT_EQ(SweeperTexts::Status(Pass::Sweep, Moment::PassCompleted, 12), String(L"정리 완료"));
    EXPECT_EQ(SweeperTexts::Status(Pass::Sweep, Moment::PassStopped, 1), String(L"정리 중지됨"));
    EXPECT_EQ(SweeperTexts::Status(Pass::Sweep, Moment::PassStopped, 0), String());
}

TEST(SweeperTextsTest, FormatsCountsMegabytesAndTheBarWithAOnePercentFloor)
{
    EXPECT_EQ(SweeperTexts::Count(-3), String(L"-3"));
    EXPECT_EQ(SweeperTexts::Megabytes(15 * 1048576LL), String(L"15.0MB"));
    EXPECT_EQ(SweeperTexts::Megabytes(1572864), String(L"1.5MB"));
    EXPECT_EQ(SweeperTexts::Megabytes(5LL * 1024 * 1048576), String(L"5120.0MB")) << "sizes beyond 32 bits";
    EXPECT_EQ(SweeperTexts::OverallProgress(0), String(L"1%"));
    EXPECT_EQ(SweeperTexts::OverallProgress(1), String(L"1%"));
    EXPECT_EQ(SweeperTexts::OverallProgress(66), String(L"66%"));
    EXPECT_EQ(SweeperTexts::AnalyzedAdvice(15 * 1048576LL), String(L"15.0 MB의 공간을 확보할 수 있습니다."));
}

TEST(SweeperTextsTest, LabelsTheCatalogueAndFallsBackToTheNodesName)
{
    System::Dictionary<String, String> labels(64);
    SweeperTexts::AddLabels(labels);
    EXPECT_EQ(labels.GetCount(), 33);
    EXPECT_EQ(SweeperTexts::LabelOf(labels, L"Privacy.FFFormHistory", L"FFFormHistory"), String(L"파이어폭스:저장된 폼 정보"));
    EXPECT_EQ(SweeperTexts::LabelOf(labels, L"Disk.Unknown", L"Unknown"), String(L"Unknown"));
}

TEST(SelectionStoreTest, MissingAndForeignValuesCountAsTicked)
{
    TestSupport::ScratchRegistryKey scratch;
    std::unique_ptr<Microsoft::Win32::RegistryKey> parent(Microsoft::Win32::Registry::GetCurrentUser()->OpenSubKey(scratch.Path(), true));
    ASSERT_NE(parent, nullptr);
    SelectionStore store(*parent);
    EXPECT_TRUE(store.IsTicked(L"Disk"));
    store.SetTicked(L"Disk", false);
    store.SetTicked(L"Disk.Temp", true);
    EXPECT_FALSE(store.IsTicked(L"Disk"));
    EXPECT_TRUE(store.IsTicked(L"Disk.Temp"));

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (scratch.Path() + L"\\Sweeper").c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegSetValueExW(key, L"Registry", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"0"), 4);
    RegCloseKey(key);
    EXPECT_TRUE(store.IsTicked(L"Registry")) << "a value of another kind must not keep the window from opening";
    store.SetTicked(L"Registry", false);
    EXPECT_FALSE(SelectionStore(*parent).IsTicked(L"Registry"));
}

TEST_F(SweeperDlgTest, OpensInStartWithEveryRowTickedOnFirstStart)
{
    Open();
    for (const std::wstring& key : AllKeys()) EXPECT_TRUE(Ticked(key.c_str())) << String(key).ToUtf8();
    EXPECT_EQ(std::wstring(dialog_->GetAdvice()), L"PC를 분석하세요.");
    EXPECT_EQ(std::wstring(dialog_->GetElementText(L"Advice")), L"PC를 분석하세요.");
    EXPECT_EQ(Row(L"Disk.Temp")->GetContent().GetItemText(), CString(L"임시파일"));
    EXPECT_EQ(Row(L"Registry.CLSID")->GetContent().GetItemText(), CString(L"존재하지 않는 ActiveX/클래스"));
    EXPECT_EQ(Row(L"Disk")->GetContent().GetImage(), 0);
    EXPECT_EQ(Row(L"History")->GetContent().GetImage(), 2);
    EXPECT_EQ(Row(L"History.CommonOpenMRU")->GetContent().GetImage(), SweeperDlg::ItemImage);
    EXPECT_EQ(Row(L"Registry.AppPath")->GetParent(), Row(L"Registry"));

    // The page: Previous enabled, Next disabled (renamed), only Analyze shown, no busy signs.
    EXPECT_NE(dialog_->GetElement(L"BtnPrevious"), nullptr);
    EXPECT_EQ(dialog_->GetElement(L"BtnNext"), nullptr);
    EXPECT_NE(dialog_->GetElement(L"_BtnNext"), nullptr);
    EXPECT_EQ(Display(L"LayerAnalyze"), L"block");
    EXPECT_EQ(Display(L"LayerStop"), L"none");
    EXPECT_EQ(Display(L"LayerBusy"), L"none");
    EXPECT_EQ(Display(L"LayerMovingBar"), L"none");

    // The tree lies between the page's bands, 2 pixels in from each side.
    CRect client, tree;
    dialog_->GetClientRect(&client);
    dialog_->GetTree().GetWindowRect(&tree);
    dialog_->ScreenToClient(&tree);
    EXPECT_EQ(tree, CRect(2, 45, client.right - 2, client.bottom - 145));
    EXPECT_EQ(dialog_->GetTree().GetExtendedStyle() & 0x104u, 0x104u);
    ShowAndSave(L"sweeper_start.png");
}

TEST_F(SweeperDlgTest, AnalysisThroughThePageFindsTheSandboxAndTellsTheMegabytes)
{
    Open();
    Click(L"BtnAnalyze");
    EXPECT_EQ(dialog_->GetState(), dialog_->StateAnalyzing());
    ASSERT_TRUE(ReachState(dialog_->StateAnalyzed()));

    EXPECT_EQ(std::wstring(dialog_->GetAdvice()), L"15.0 MB의 공간을 확보할 수 있습니다.");
    EXPECT_EQ(std::wstring(dialog_->GetElementText(L"Advice")), L"15.0 MB의 공간을 확보할 수 있습니다.");
    EXPECT_EQ(std::wstring(dialog_->GetProgress()), L"100%");
    EXPECT_EQ(std::wstring(dialog_->GetElementAttribute(L"Progress", L"width")), L"100%");
    EXPECT_EQ(Count(L"Disk.Temp"), L"15");
    EXPECT_EQ(Size(L"Disk.Temp"), L"15.0MB");
    EXPECT_EQ(Count(L"Disk.WindowsTemp"), L"3");
    EXPECT_EQ(Count(L"Registry.CLSID"), L"2");
    EXPECT_EQ(Count(L"Disk"), L"22");
    EXPECT_EQ(Status(L"Disk.IECache"), L"분석 완료");
    EXPECT_EQ(Bar(L"Registry.AppPath"), SweeperDlg::CompletedBarImage);
    EXPECT_EQ(Display(L"LayerSweep"), L"block");
    EXPECT_EQ(Display(L"LayerAnalyze"), L"none");
    EXPECT_EQ(Display(L"LayerBusy"), L"none");
    EXPECT_EQ(sandbox_.FileCount(sandbox_.temp), 15) << "an analysis removes nothing";
    EXPECT_TRUE(Traced(L"Sweeping Disk.Temp"));
    ShowAndSave(L"sweeper_analyzed.png");
}

TEST_F(SweeperDlgTest, SweepRemovesWhatWasFoundAndCompleteClearsTheRows)
{
    Open();
    dialog_->SendMessage(SweeperDlg::WM_ANALYZE);
    ASSERT_TRUE(ReachState(dialog_->StateAnalyzed()));
    EXPECT_EQ(dialog_->SendMessage(SweeperDlg::WM_SWEEP), 1);
    EXPECT_EQ(dialog_->GetState(), dialog_->StateSweeping());
    EXPECT_EQ(Display(L"LayerStop"), L"block");
    EXPECT_EQ(Display(L"LayerBusy"), L"block");
    EXPECT_EQ(Display(L"LayerMovingBar"), L"block");
    ASSERT_TRUE(ReachState(dialog_->StateFinished()));

    EXPECT_EQ(std::wstring(dialog_->GetAdvice()), L"PC 정리가 완료되었습니다.");
    EXPECT_EQ(sandbox_.FileCount(sandbox_.temp), 0);
    EXPECT_EQ(sandbox_.FileCount(sandbox_.windowsTemp), 0);
    EXPECT_EQ(sandbox_.ValueCount(L"ProgID"), 0);
    EXPECT_EQ(sandbox_.ValueCount(L"OpenMRU"), 0);
    EXPECT_EQ(Count(L"Disk.Temp"), L"0") << "the sweep counts its removals down";
    EXPECT_EQ(Status(L"Disk.Temp"), L"정리 완료");
    EXPECT_EQ(Display(L"LayerComplete"), L"block");
    ShowAndSave(L"sweeper_finished.png");

    Click(L"BtnComplete");
    EXPECT_EQ(dialog_->GetState(), dialog_->StateStart());
    EXPECT_EQ(std::wstring(dialog_->GetAdvice()), L"PC를 분석하세요.");
    for (const std::wstring& key : AllKeys()) {
        EXPECT_EQ(Count(key.c_str()), L"") << String(key).ToUtf8();
        EXPECT_EQ(Status(key.c_str()), L"") << String(key).ToUtf8();
        EXPECT_EQ(Bar(key.c_str()), 0) << String(key).ToUtf8();
    }
    EXPECT_EQ(dialog_->GetRoot()->GetCount(), 0);

    // The next analysis starts from zero and finds nothing left.
    Click(L"BtnAnalyze");
    ASSERT_TRUE(ReachState(dialog_->StateAnalyzed()));
    EXPECT_EQ(Count(L"Disk.Temp"), L"0");
    EXPECT_EQ(Count(L"Registry"), L"0");
    EXPECT_EQ(std::wstring(dialog_->GetAdvice()), L"0.0 MB의 공간을 확보할 수 있습니다.");
}

TEST_F(SweeperDlgTest, UntickedCategoryKeepsItsTickedItemsOutOfThePass)
{
    Open();
    SetTicked(L"Registry", false);
    for (const std::wstring& name : RegistryItems) EXPECT_TRUE(Ticked((L"Registry." + name).c_str()));
    dialog_->SendMessage(SweeperDlg::WM_ANALYZE);
    ASSERT_TRUE(ReachState(dialog_->StateAnalyzed()));
    for (const std::wstring& name : RegistryItems) {
        std::wstring key = L"Registry." + name;
        EXPECT_EQ(Count(key.c_str()), L"") << String(key).ToUtf8();
        EXPECT_EQ(Size(key.c_str()), L"") << String(key).ToUtf8();
        EXPECT_EQ(Status(key.c_str()), L"") << String(key).ToUtf8();
        EXPECT_FALSE(Traced(L"Sweeping " + key));
    }
    EXPECT_EQ(Count(L"Registry"), L"");
    EXPECT_EQ(Count(L"History.CommonOpenMRU"), L"2");

    dialog_->SendMessage(SweeperDlg::WM_SWEEP);
    ASSERT_TRUE(ReachState(dialog_->StateFinished()));
    for (const std::wstring& name : RegistryItems) EXPECT_EQ(sandbox_.ValueCount(name), 2) << "unticked keys stay";
    EXPECT_EQ(sandbox_.ValueCount(L"OpenMRU"), 0);
}

TEST_F(SweeperDlgTest, StopDuringAnalysisReturnsToStartWithFinishedAndStoppedRows)
{
    sandbox_.gate.armed = true;
    Open();
    Click(L"BtnAnalyze");
    ASSERT_TRUE(PumpUntil([&] { return sandbox_.gate.reached.IsSet(); }));
    // Held at the gate: the row of the finished item says so, the held one shows its share.
    dialog_->SendMessage(WM_TIMER, SweeperDlg::RefreshTimerId);
    EXPECT_EQ(Status(L"Disk.Temp"), L"분석 완료");
    EXPECT_EQ(Status(L"Disk.IECache"), L"분석중... 50%");
    EXPECT_EQ(Bar(L"Disk.IECache"), 5);

    Click(L"BtnStop");
    sandbox_.gate.release.Set();
    ASSERT_TRUE(ReachState(dialog_->StateStart()));
    EXPECT_EQ(std::wstring(dialog_->GetAdvice()), L"PC를 분석하세요.");
    EXPECT_EQ(Status(L"Disk.Temp"), L"분석 완료");
    EXPECT_EQ(Status(L"Disk.IECache"), L"분석 중지됨");
    EXPECT_EQ(Status(L"Registry.CLSID"), L"") << "items after the stop never started";
    EXPECT_FALSE(Traced(L"Sweeping Registry"));
    EXPECT_TRUE(Traced(L"Sweep stopped"));
    EXPECT_EQ(Display(L"LayerAnalyze"), L"block");
    EXPECT_EQ(Display(L"LayerBusy"), L"none");

    // Stop means nothing once the pass is over, and Analyze starts afresh.
    EXPECT_EQ(dialog_->SendMessage(SweeperDlg::WM_STOP), 1);
    EXPECT_EQ(dialog_->GetState(), dialog_->StateStart());
    sandbox_.gate.armed = false;
    dialog_->SendMessage(SweeperDlg::WM_ANALYZE);
    ASSERT_TRUE(ReachState(dialog_->StateAnalyzed()));
    EXPECT_EQ(Status(L"Registry.CLSID"), L"분석 완료");
}

TEST_F(SweeperDlgTest, StoppedSweepReturnsToAnalyzedWithWhatIsLeft)
{
    Open();
    dialog_->SendMessage(SweeperDlg::WM_ANALYZE);
    ASSERT_TRUE(ReachState(dialog_->StateAnalyzed()));
    sandbox_.gate.armed = true;
    dialog_->SendMessage(SweeperDlg::WM_SWEEP);
    ASSERT_TRUE(PumpUntil([&] { return sandbox_.gate.reached.IsSet(); }));
    dialog_->SendMessage(SweeperDlg::WM_ANALYZE);
    EXPECT_EQ(dialog_->GetState(), dialog_->StateSweeping()) << "Analyze means nothing while sweeping";
    dialog_->SendMessage(SweeperDlg::WM_STOP);
    sandbox_.gate.release.Set();
    ASSERT_TRUE(ReachState(dialog_->StateAnalyzed()));
    EXPECT_EQ(Status(L"Disk.IECache"), L"정리 중지됨");
    EXPECT_EQ(Status(L"Disk.Temp"), L"정리 완료");
    EXPECT_EQ(std::wstring(dialog_->GetAdvice()), L"0.0 MB의 공간을 확보할 수 있습니다.") << "the files are gone";
    EXPECT_EQ(sandbox_.ValueCount(L"CLSID"), 2) << "the registry was not reached";
}

TEST_F(SweeperDlgTest, OverallBarNeverShowsZeroPercent)
{
    sandbox_.gate.armed = true;
    sandbox_.gate.holdAt = 0;
    Open();
    // Only the gate runs, held before its first item: the root's progress is 0.
    for (const wchar_t* key : {L"Disk.Temp", L"Disk.WindowsTemp", L"Registry", L"History"}) SetTicked(key, false);
    dialog_->SendMessage(SweeperDlg::WM_ANALYZE);
    EXPECT_EQ(std::wstring(dialog_->GetElementAttribute(L"Progress", L"width")), L"1%");
    ASSERT_TRUE(PumpUntil([&] { return sandbox_.gate.reached.IsSet(); }));
    ASSERT_EQ(dialog_->GetRoot()->GetProgress(), 0);
    dialog_->SendMessage(WM_TIMER, SweeperDlg::RefreshTimerId);
    EXPECT_EQ(std::wstring(dialog_->GetProgress()), L"1%");
    EXPECT_EQ(std::wstring(dialog_->GetElementAttribute(L"Progress", L"width")), L"1%");
    EXPECT_EQ(Status(L"Disk.IECache"), L"");
    Html::Node* bar = dialog_->GetElement(L"Progress");
    ASSERT_NE(bar, nullptr);
    dialog_->GetPage()->Update();
    EXPECT_GT(bar->Box().border.width, 0) << "a 1% bar is still drawn";

    sandbox_.gate.release.Set();
    ASSERT_TRUE(ReachState(dialog_->StateAnalyzed()));
    EXPECT_EQ(std::wstring(dialog_->GetElementAttribute(L"Progress", L"width")), L"100%");
}

TEST_F(SweeperDlgTest, TicksSurviveClosingAndReopening)
{
    Open();
    SetTicked(L"Disk.WindowsTemp", false);
    SetTicked(L"Registry", false);
    Close();
    EXPECT_EQ(sandbox_.StoredTick(L"Disk.WindowsTemp"), 0);
    EXPECT_EQ(sandbox_.StoredTick(L"Registry"), 0);
    EXPECT_EQ(sandbox_.StoredTick(L"Disk.Temp"), 1);
    EXPECT_EQ(sandbox_.StoredTick(L"Registry.ProgID"), 1);

    Open();
    EXPECT_FALSE(Ticked(L"Disk.WindowsTemp"));
    EXPECT_FALSE(Ticked(L"Registry"));
    EXPECT_TRUE(Ticked(L"Disk.Temp"));
    EXPECT_TRUE(Ticked(L"Registry.ProgID"));
}

TEST_F(SweeperDlgTest, SelectAllTicksEveryRowAndTheNextPassTakesThem)
{
    Open();
    SetTicked(L"Disk", false);
    SetTicked(L"Registry.SharedDll", false);
    dialog_->SendMessage(SweeperDlg::WM_ANALYZE);
    ASSERT_TRUE(ReachState(dialog_->StateAnalyzed()));
    EXPECT_EQ(Count(L"Disk.Temp"), L"");

    Click(L"BtnSelectAll");
    for (const std::wstring& key : AllKeys()) EXPECT_TRUE(Ticked(key.c_str())) << String(key).ToUtf8();
    Sweeper* disk = dialog_->GetRoot()->GetChildren()[0];
    EXPECT_FALSE(disk->IsSelected()) << "the nodes follow the ticks only when a pass starts";

    dialog_->SendMessage(SweeperDlg::WM_SWEEP);
    ASSERT_TRUE(ReachState(dialog_->StateFinished()));
    EXPECT_TRUE(disk->IsSelected());
    EXPECT_EQ(sandbox_.FileCount(sandbox_.temp), 0);
    EXPECT_EQ(sandbox_.ValueCount(L"SharedDll"), 0);
}

TEST_F(SweeperDlgTest, BackArrowSendsTheConsoleItsMessage)
{
    Open();
    Click(L"BtnPrevious");
    EXPECT_EQ(console_.backs, 1);
    Click(L"_BtnNext");
    EXPECT_EQ(console_.backs, 1);
    EXPECT_EQ(dialog_->GetState(), dialog_->StateStart());
}

TEST_F(SweeperDlgTest, WorkerSendsFewProgressMessagesForAPassOfManyEvents)
{
    sandbox_.chattyMilliseconds = 600;
    Open();
    ULONGLONG start = GetTickCount64();
    dialog_->SendMessage(SweeperDlg::WM_ANALYZE);
    ASSERT_TRUE(ReachState(dialog_->StateAnalyzed()));
    ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GT(sandbox_.chattyEvents, 1000) << "the pass must raise many events for this test to mean anything";
    EXPECT_GE(dialog_->progressMessages, 1);
    EXPECT_LE(dialog_->progressMessages, static_cast<int>(elapsed / SweeperDlg::ProgressMessageInterval) + 2);
    EXPECT_EQ(Status(L"History.IEHistory"), L"분석 완료");
}

TEST_F(SweeperDlgTest, ClosingDuringAPassStopsTheWorkerAndSavesTheTicks)
{
    sandbox_.gate.armed = true;
    Open();
    SetTicked(L"History", false);
    dialog_->SendMessage(SweeperDlg::WM_ANALYZE);
    ASSERT_TRUE(PumpUntil([&] { return sandbox_.gate.reached.IsSet(); }));
    Sweeper* root = dialog_->GetRoot();
    dialog_->DestroyWindow();
    EXPECT_TRUE(root->WaitForThread(0)) << "the worker ended before the window went";
    EXPECT_TRUE(Traced(L"Sweep stopped"));
    EXPECT_EQ(sandbox_.StoredTick(L"History"), 0);
    EXPECT_EQ(sandbox_.FileCount(sandbox_.temp), 15);
}
