// The patch manager's window driven through its page against the fake update agent: search,
// the list's initial checks and check rules, EULA, download and installation with their row
// texts, partial results, restart, stop, the cycling bar, and the release of every agent object.
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/String.h"
#include "core/Trace.h"
#include "framework/CWinApp.h"
#include "html/Node.h"
#include "html/Page.h"
#include "patch/addon/PatchManagerDlg.h"
#include "patch/addon/PatchTexts.h"
#include "testing/HostPath.h"
#include "testing/FakeUpdateAgent.h"
#include "testing/HttpServer.h"
#include "testing/MessagePump.h"
#include "testing/TempFolder.h"
#include "testing/WindowScreenshot.h"

using System::String;
using TestSupport::FakeUpdateAgent;
using TestSupport::PumpPending;
using TestSupport::PumpUntil;

namespace {

std::string Utf8(const CString& text) { return String(text.GetString()).ToUtf8(); }

class TraceCapture : public System::Diagnostics::TraceListener {
public:
    void WriteLine(const String& message) override { lines.push_back(message.GetStdString()); }
    int Count(const std::wstring& line) const
    {
        int count = 0;
        for (const std::wstring& each : lines) count += each == line;
        return count;
    }
    std::vector<std::wstring> lines;
};

// The dialog with the user's answers given by the test, a notice setting in a temporary folder and
// a restart that only counts.
class TestPatchDlg : public PatchManagerDlg {
public:
    TestPatchDlg(CWnd* parent, std::wstring settings) : PatchManagerDlg(parent), settings_(std::move(settings)) {}

    std::vector<CString> messages;
    std::deque<int> answers;
    std::vector<CString> eulas;
    std::deque<INT_PTR> eulaAnswers;
    int notices = 0;
    bool dontShowAgain = false;
    int restarts = 0;

    std::wstring NoticeSettingsPath() const override { return settings_; }

protected:
    int ShowMessage(const CString& text, UINT) override
    {
        messages.push_back(text);
        if (answers.empty()) return IDNO;
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    INT_PTR ShowEula(const CString& title, const CString&) override
    {
        eulas.push_back(title);
        if (eulaAnswers.empty()) return IDOK;
        INT_PTR answer = eulaAnswers.front();
        eulaAnswers.pop_front();
        return answer;
    }
    INT_PTR ShowNotice(bool& dontShow) override
    {
        ++notices;
        dontShow = dontShowAgain;
        return IDOK;
    }
    void RestartMachine() override { ++restarts; }

private:
    std::wstring settings_;
};

const char kThreeUpdates[] =
    "steps=4\nstepDelay=5\nsearchDelay=20\n"
    "[update]\ntitle=보안 업데이트 KB100\nid=a1\nsize=1023\nautoSelect=1\nrebootRequired=1\n"
    "[update]\ntitle=보안 업데이트 KB200\nid=b2\nsize=1024\nautoSelect=1\ninstall=4\n"
    "[update]\ntitle=선택 업데이트 KB300\nid=c3\nsize=1048576\n";

class PatchManagerDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring refused = FakeUpdateAgent::Register();
        if (!refused.empty()) GTEST_SKIP() << std::string(refused.begin(), refused.end());
        com_ = SUCCEEDED(CoInitialize(nullptr));
        ASSERT_TRUE(console_.CreateEx(0, AfxGetDefaultWindowClass(), L"console", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), nullptr, 0));
        trace_ = new TraceCapture;
        System::Diagnostics::Trace::Listeners()->Add(trace_);
    }
    void TearDown() override
    {
        dialog_.reset();
        console_.DestroyWindow();
        PumpPending();
        if (trace_) System::Diagnostics::Trace::Listeners()->Remove(trace_);
        agent_.reset();
        if (com_) CoUninitialize();
    }

    void Open(const std::string& scenario)
    {
        agent_ = std::make_unique<FakeUpdateAgent>(scenario);
        dialog_ = std::make_unique<TestPatchDlg>(&console_, settings_ / L"vapm.cfg");
        // No catalogue server: the agent check keeps the installed agent, as without network.
        dialog_->GetAgentCheck().SetRedistributableServer(L"http://127.0.0.1:" + std::to_wstring(TestSupport::HttpServer::UnusedPort()));
        ASSERT_TRUE(dialog_->Create(PatchManagerDlg::TemplateId, &console_));
        ASSERT_TRUE(PumpUntil([&] { return dialog_->GetState() == dialog_->StateStart(); })) << "the page never completed";
    }
    void Click(LPCWSTR id)
    {
        dialog_->GetPage()->Update();
        Html::Node* element = dialog_->GetElement(id);
        ASSERT_NE(element, nullptr) << String(id).ToUtf8();
        Html::Rect box = element->Box().border;
        LPARAM at = MAKELPARAM(box.x + box.width / 2, box.y + box.height / 2);
        dialog_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        dialog_->SendMessage(WM_LBUTTONUP, 0, at);
    }
    bool Shown(LPCWSTR id)
    {
        Html::Node* element = dialog_->GetElement(id);
        return element && element->StyleDisplay() != L"none";
    }
    bool Reach(PatchManagerDlgState* state) { return PumpUntil([&] { return dialog_->GetState() == state; }); }
    void SearchUntilSearched()
    {
        Click(L"BtnSearch");
        ASSERT_TRUE(Reach(dialog_->StateSearched())) << Utf8(dialog_->GetAdvice());
    }
    std::wstring Cell(int row, int column) const { return dialog_->GetList().GetItemText(row, column).GetString(); }
    std::vector<bool> Checks() const
    {
        std::vector<bool> checks;
        for (int row = 0; row < dialog_->GetList().GetItemCount(); ++row) checks.push_back(dialog_->GetList().GetCheck(row) != FALSE);
        return checks;
    }
    void ShowAndSave(const wchar_t* name)
    {
        dialog_->ShowWindow(SW_SHOWNOACTIVATE);
        dialog_->UpdateWindow();
        PumpPending();
        EXPECT_TRUE(TestSupport::SaveWindowImage(dialog_->m_hWnd, TestSupport::HostPath(PATCH_BUILD_DIR) + L"\\" + name));
    }

    bool com_ = false;
    CWnd console_;
    TraceCapture* trace_ = nullptr;
    TestSupport::TempFolder settings_;
    std::unique_ptr<FakeUpdateAgent> agent_;
    std::unique_ptr<TestPatchDlg> dialog_;
};

}  // namespace

TEST_F(PatchManagerDlgTest, ThreeUpdatesAreListedWithTheirInitialChecksImportanceAndSizes)
{
    Open(kThreeUpdates);
    EXPECT_EQ(dialog_->GetAdvice(), CString(PatchTexts::StartAdvice));
    EXPECT_FALSE(dialog_->GetList().IsWindowVisible());
    SearchUntilSearched();
    EXPECT_EQ(dialog_->GetAdvice(), CString(L"3 개의 업데이트가 있습니다."));
    EXPECT_EQ(dialog_->GetProgress(), CString(L"100%"));
    ASSERT_EQ(dialog_->GetList().GetItemCount(), 3);
    EXPECT_EQ(Cell(0, 0), L"보안 업데이트 KB100");
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true, false})) << "without mandatory updates the automatic ones are checked";
    EXPECT_EQ(Cell(0, 2), L"중요");
    EXPECT_EQ(Cell(2, 2), L"일반");
    EXPECT_EQ(Cell(0, 3), L"1023B");
    EXPECT_EQ(Cell(1, 3), L"1.0KB");
    EXPECT_EQ(Cell(2, 3), L"1.0MB");
    EXPECT_TRUE(Shown(L"InstallButtonLayer"));
    EXPECT_FALSE(Shown(L"SearchButtonLayer"));
    EXPECT_EQ(dialog_->notices, 1);
    ShowAndSave(L"patch_searched.png");
}

TEST_F(PatchManagerDlgTest, MandatoryAndExclusiveUpdatesFollowTheCheckRules)
{
    Open("searchDelay=10\n"
         "[update]\ntitle=필수 A\nmandatory=1\n"
         "[update]\ntitle=필수 단독 B\nmandatory=1\nimpact=2\n"
         "[update]\ntitle=필수 C\nmandatory=1\n"
         "[update]\ntitle=선택 D\nautoSelect=1\n");
    SearchUntilSearched();
    EXPECT_EQ(Checks(), (std::vector<bool>{false, true, false, false})) << "only the first exclusive mandatory update";
    auto& list = dialog_->GetList();

    dialog_->answers = {IDNO};
    EXPECT_FALSE(list.RequestCheck(0, true));
    EXPECT_EQ(dialog_->messages.back(), CString(PatchTexts::ExclusiveCheckedQuestion));
    EXPECT_EQ(Checks(), (std::vector<bool>{false, true, false, false}));
    dialog_->answers = {IDYES};
    EXPECT_TRUE(list.RequestCheck(0, true));
    EXPECT_EQ(Checks(), (std::vector<bool>{true, false, false, false})) << "the exclusive one makes way";

    dialog_->answers = {IDYES};
    EXPECT_TRUE(list.RequestCheck(1, true));
    EXPECT_EQ(dialog_->messages.back(), CString(PatchTexts::ExclusiveQuestion));
    EXPECT_EQ(Checks(), (std::vector<bool>{false, true, false, false})) << "an exclusive update goes alone";

    EXPECT_FALSE(list.RequestCheck(3, true));
    EXPECT_EQ(dialog_->messages.back(), CString(PatchTexts::MandatoryFirst));
    EXPECT_EQ(dialog_->SendMessage(PatchManagerDlg::WM_PATCH_CAN_CHECK, 3), 0) << "drawn grey";
    EXPECT_EQ(dialog_->SendMessage(PatchManagerDlg::WM_PATCH_CAN_CHECK, 0), 1);
    EXPECT_TRUE(list.RequestCheck(1, false)) << "unchecking is always accepted";
}

TEST_F(PatchManagerDlgTest, RowsShowDownloadAndInstallationProgressAsImagesAndTexts)
{
    Open(kThreeUpdates);
    SearchUntilSearched();
    auto download = [&](int result, unsigned bytes, unsigned total) {
        DownloadProgressRecord record;
        record.result = result;
        record.index = 1;
        record.currentBytes = bytes;
        record.currentTotal = total;
        dialog_->SendMessage(PatchManagerDlg::WM_PATCH_PROGRESS, reinterpret_cast<WPARAM>(&record), 0);
        return std::make_pair(dialog_->GetList().GetProgressImage(1), Cell(1, 4));
    };
    EXPECT_EQ(download(3, 0, 0), std::make_pair(0, std::wstring(L"다운로드 중... 0%"))) << "0 of 0 bytes counts as 0 of 1";
    EXPECT_EQ(download(3, 512, 1024), std::make_pair(5, std::wstring(L"다운로드 중... 50%")));
    EXPECT_EQ(download(0, 1, 1), std::make_pair(11, std::wstring(L"다운로드 완료")));
    EXPECT_EQ(download(1, 1, 1), std::make_pair(0, std::wstring(L"다운로드 실패")));

    auto install = [&](int result, int percent) {
        InstallProgressRecord record;
        record.result = result;
        record.index = 1;
        record.currentPercent = percent;
        dialog_->SendMessage(PatchManagerDlg::WM_PATCH_PROGRESS, reinterpret_cast<WPARAM>(&record), 1);
        return std::make_pair(dialog_->GetList().GetProgressImage(1), Cell(1, 4));
    };
    EXPECT_EQ(install(3, 50), std::make_pair(5, std::wstring(L"설치 중... 50%")));
    EXPECT_EQ(install(0, 100), std::make_pair(11, std::wstring(L"설치 완료")));
    EXPECT_EQ(install(1, 100), std::make_pair(0, std::wstring(L"설치 실패")));
    EXPECT_EQ(install(3, 0), std::make_pair(0, std::wstring()));

    DownloadProgressRecord unknown;
    unknown.index = 77;
    dialog_->SendMessage(PatchManagerDlg::WM_PATCH_PROGRESS, reinterpret_cast<WPARAM>(&unknown), 0);
    EXPECT_EQ(trace_->Count(L"Index error"), 1);
}

TEST_F(PatchManagerDlgTest, OneOfThreeInstallationsFailingEndsInErrorAndAsksForTheRestart)
{
    Open(kThreeUpdates);
    SearchUntilSearched();
    ASSERT_TRUE(dialog_->GetList().RequestCheck(2, true));
    dialog_->answers = {IDYES};
    Click(L"BtnInstall");
    ASSERT_TRUE(Reach(dialog_->StateError())) << Utf8(dialog_->GetAdvice());
    EXPECT_EQ(dialog_->GetAdvice(), CString(L"3개의 업데이트 중 2개가 설치되었습니다."));
    EXPECT_EQ(dialog_->GetAdviceDetail(), CString(PatchTexts::PartialDetail));
    EXPECT_EQ(Cell(0, 4), L"설치 완료");
    EXPECT_EQ(Cell(1, 4), L"설치 실패");
    EXPECT_EQ(Cell(2, 4), L"설치 완료");
    ASSERT_FALSE(dialog_->messages.empty());
    EXPECT_EQ(dialog_->messages.back(), CString(PatchTexts::RestartQuestion));
    EXPECT_EQ(dialog_->restarts, 1);

    HKEY runOnce = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 0, KEY_READ | KEY_WRITE, &runOnce),
              ERROR_SUCCESS);
    wchar_t value[MAX_PATH + 16] = {};
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExW(runOnce, L"Vela Toolbox", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size), ERROR_SUCCESS);
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    EXPECT_EQ(std::wstring(value), L"\"" + std::wstring(program) + L"\" 04") << "the console's path, quoted";
    RegDeleteValueW(runOnce, L"Vela Toolbox");
    RegCloseKey(runOnce);

    EXPECT_TRUE(Shown(L"ReturnButtonLayer"));
    Click(L"BtnReturn");
    EXPECT_EQ(dialog_->GetState(), dialog_->StateStart());
}

TEST_F(PatchManagerDlgTest, DownloadShowsProgressAndAllInstalledEndsFinished)
{
    Open("steps=10\nstepDelay=60\nsearchDelay=10\n"
         "[update]\ntitle=누적 보안 업데이트 KB400\nsize=5242880\nautoSelect=1\n"
         "[update]\ntitle=보안 업데이트 KB500\nsize=2048\nautoSelect=1\n");
    SearchUntilSearched();
    Click(L"BtnInstall");
    ASSERT_TRUE(Reach(dialog_->StateDownloading()));
    EXPECT_EQ(dialog_->GetAdvice(), CString(PatchTexts::DownloadingAdvice));
    EXPECT_TRUE(Shown(L"StopButtonLayer"));
    ASSERT_TRUE(PumpUntil([&] { return dialog_->GetList().GetProgressImage(0) >= 4; }));
    EXPECT_EQ(Cell(0, 4).rfind(L"다운로드 중... ", 0), 0u) << String(Cell(0, 4)).ToUtf8();
    ShowAndSave(L"patch_downloading.png");

    ASSERT_TRUE(Reach(dialog_->StateFinished())) << Utf8(dialog_->GetAdvice());
    EXPECT_EQ(dialog_->GetAdvice(), CString(PatchTexts::FinishedAdvice));
    EXPECT_EQ(Cell(0, 4), L"설치 완료");
    EXPECT_EQ(Cell(1, 4), L"설치 완료");
    EXPECT_EQ(dialog_->GetList().GetProgressImage(1), 11);
    EXPECT_TRUE(dialog_->messages.empty()) << "no restart is needed";
    ShowAndSave(L"patch_finished.png");
    Click(L"BtnComplete");
    EXPECT_EQ(dialog_->GetState(), dialog_->StateStart());
}

TEST_F(PatchManagerDlgTest, ADeclinedEulaLeavesItsRowOutOfTheDownload)
{
    Open("searchDelay=10\n"
         "[update]\ntitle=약관 업데이트\nautoSelect=1\neula=이 업데이트의 사용권 계약\n"
         "[update]\ntitle=보안 업데이트\nautoSelect=1\n"
         "[update]\ntitle=선택 안 한 업데이트\n");
    SearchUntilSearched();
    dialog_->eulaAnswers = {IDCANCEL};
    Click(L"BtnInstall");
    ASSERT_EQ(dialog_->eulas.size(), 1u);
    EXPECT_EQ(dialog_->eulas[0], CString(L"약관 업데이트"));
    ASSERT_EQ(dialog_->GetList().GetItemCount(), 2) << "the unchecked row is removed";
    EXPECT_EQ(Cell(0, 4), L"설치 거부");
    ASSERT_TRUE(Reach(dialog_->StateError())) << Utf8(dialog_->GetAdvice());
    EXPECT_EQ(Cell(0, 4), L"설치 거부");
    EXPECT_EQ(Cell(1, 4), L"설치 완료");
    EXPECT_EQ(dialog_->GetAdvice(), CString(L"2개의 업데이트 중 1개가 설치되었습니다."));
}

TEST_F(PatchManagerDlgTest, DecliningEveryEulaEndsWithNothingInstalled)
{
    Open("searchDelay=10\n[update]\ntitle=약관 업데이트\nautoSelect=1\neula=계약\n");
    SearchUntilSearched();
    dialog_->eulaAnswers = {IDCANCEL};
    Click(L"BtnInstall");
    EXPECT_EQ(dialog_->GetState(), dialog_->StateError());
    EXPECT_EQ(dialog_->GetAdvice(), CString(L"1개의 업데이트 중 0개가 설치되었습니다."));
}

TEST_F(PatchManagerDlgTest, StoppingASearchShowsTheStoppingLayoutThenStart)
{
    Open("searchDelay=-1\n[update]\ntitle=A\n");
    Click(L"BtnSearch");
    ASSERT_TRUE(Reach(dialog_->StateSearching()));
    EXPECT_TRUE(Shown(L"StopButtonLayer"));
    EXPECT_TRUE(Shown(L"moveBar"));
    dialog_->answers = {IDNO};
    Click(L"BtnStop");
    EXPECT_EQ(dialog_->GetState(), dialog_->StateSearching()) << "No keeps searching";
    dialog_->answers = {IDYES};
    Click(L"BtnStop");
    EXPECT_EQ(dialog_->messages.back(), CString(PatchTexts::StopQuestion));
    EXPECT_TRUE(Shown(L"StoppingButtonLayer"));
    EXPECT_EQ(dialog_->GetAdvice(), CString(PatchTexts::SearchingStopAdvice));
    ASSERT_TRUE(Reach(dialog_->StateStart()));
    EXPECT_TRUE(Shown(L"SearchButtonLayer"));
    EXPECT_EQ(dialog_->GetAdvice(), CString(PatchTexts::StartAdvice));
}

TEST_F(PatchManagerDlgTest, ASearchWithoutUpdatesReturnsToStartWithTheNoUpdatesAdvice)
{
    Open("searchDelay=10\n");
    Click(L"BtnSearch");
    ASSERT_TRUE(PumpUntil([&] { return dialog_->GetAdvice() == CString(PatchTexts::NoUpdatesAdvice); }));
    EXPECT_EQ(dialog_->GetState(), dialog_->StateStart());
    EXPECT_EQ(dialog_->GetAdviceDetail(), CString(PatchTexts::NoUpdatesDetail));
    EXPECT_TRUE(Shown(L"SearchButtonLayer"));
    EXPECT_FALSE(dialog_->GetList().IsWindowVisible());
}

TEST_F(PatchManagerDlgTest, OperationsThatCannotStartEndInTheirFailureInsteadOfSpinning)
{
    Open("searchBegin=0x80004005\n");
    Click(L"BtnSearch");
    EXPECT_EQ(dialog_->GetState(), dialog_->StateError());
    EXPECT_EQ(dialog_->GetAdvice(), CString(PatchTexts::SearchFailed));
    EXPECT_TRUE(Shown(L"ReturnButtonLayer"));
    Click(L"BtnReturn");

    dialog_.reset();
    agent_.reset();
    agent_ = std::make_unique<FakeUpdateAgent>("searchDelay=10\ndownloadBegin=0x80004005\n[update]\ntitle=A\nautoSelect=1\n");
    dialog_ = std::make_unique<TestPatchDlg>(&console_, settings_ / L"vapm.cfg");
    dialog_->GetAgentCheck().SetRedistributableServer(L"http://127.0.0.1:" + std::to_wstring(TestSupport::HttpServer::UnusedPort()));
    ASSERT_TRUE(dialog_->Create(PatchManagerDlg::TemplateId, &console_));
    ASSERT_TRUE(Reach(dialog_->StateStart()));
    SearchUntilSearched();
    Click(L"BtnInstall");
    EXPECT_EQ(dialog_->GetState(), dialog_->StateError());
    EXPECT_EQ(dialog_->GetAdvice(), CString(PatchTexts::DownloadFailed));
}

TEST_F(PatchManagerDlgTest, TheBarCyclesWhileTheAgentIsCheckedAndWhileSearching)
{
    Open("searchDelay=-1\n[update]\ntitle=A\n");
    Click(L"BtnSearch");
    ASSERT_TRUE(Reach(dialog_->StateSearching()));
    EXPECT_EQ(dialog_->GetProgress(), CString(L"1%"));
    std::vector<CString> seen;
    for (int tick = 0; tick < 52; ++tick) {
        dialog_->SendMessage(WM_TIMER, PatchManagerDlg::CycleTimerId);
        seen.push_back(dialog_->GetProgress());
    }
    EXPECT_EQ(seen[0], CString(L"2%"));
    EXPECT_EQ(seen[48], CString(L"98%"));
    EXPECT_EQ(seen[49], CString(L"1%"));
    EXPECT_EQ(seen[50], CString(L"3%"));
    EXPECT_EQ(seen[51], CString(L"5%"));

    dialog_->ChangeState(dialog_->StateCheckAgent());
    EXPECT_EQ(dialog_->GetProgress(), CString(L"1%"));
    EXPECT_FALSE(Shown(L"SearchButtonLayer")) << "no buttons during the check";
    dialog_->SendMessage(WM_TIMER, PatchManagerDlg::CycleTimerId);
    EXPECT_EQ(dialog_->GetProgress(), CString(L"2%"));
}

TEST_F(PatchManagerDlgTest, ASecondSearchDuringTheAgentCheckStartsNoSecondCheck)
{
    TestSupport::HttpServer slowCatalogue;
    TestSupport::HttpServer::Response late;
    late.status = 404;
    late.delayMs = 700;
    slowCatalogue.Serve("/redist/wuredist.cab", late);
    Open("searchDelay=10\n[update]\ntitle=A\n");
    dialog_->GetAgentCheck().SetRedistributableServer(slowCatalogue.Url(""));
    // Both arrive while the first check runs and this thread pumps its messages.
    dialog_->PostMessage(PatchManagerDlg::WM_PATCH_SEARCH);
    dialog_->PostMessage(PatchManagerDlg::WM_PATCH_SEARCH);
    Click(L"BtnSearch");
    ASSERT_TRUE(Reach(dialog_->StateSearched()));
    PumpPending();
    EXPECT_EQ(trace_->Count(L"CheckAgent::OnStart"), 1);
    EXPECT_EQ(slowCatalogue.Requests().size(), 1u);
}

TEST_F(PatchManagerDlgTest, EveryAgentObjectIsReleasedWhenTheWindowCloses)
{
    Open("steps=50\nstepDelay=20\nsearchDelay=10\n[update]\ntitle=A\nautoSelect=1\n[update]\ntitle=B\nautoSelect=1\n");
    SearchUntilSearched();
    EXPECT_GT(FakeUpdateAgent::LiveObjects(), 0);
    Click(L"BtnInstall");
    ASSERT_TRUE(Reach(dialog_->StateDownloading()));
    dialog_.reset();
    EXPECT_TRUE(PumpUntil([] { return FakeUpdateAgent::LiveObjects() == 0; }, 5000))
        << FakeUpdateAgent::LiveObjects() << " objects of the agent are still held";
}

TEST_F(PatchManagerDlgTest, TheNoticeComesAfterEverySearchUntilTheUserTurnsItOff)
{
    std::wstring path = settings_ / L"vapm.cfg";
    EXPECT_TRUE(PatchManagerDlg::ReadNoticeSetting(path)) << "a missing setting shows the notice";
    Open("searchDelay=10\n[update]\ntitle=A\n");
    dialog_->dontShowAgain = true;
    SearchUntilSearched();
    EXPECT_EQ(dialog_->notices, 1);
    EXPECT_EQ(settings_.ReadFile(L"vapm.cfg"), std::string("\0\0\0\0", 4));
    dialog_->SendMessage(PatchManagerDlg::WM_PATCH_RETURN);
    SearchUntilSearched();
    EXPECT_EQ(dialog_->notices, 1);
    EXPECT_TRUE(PatchManagerDlg::WriteNoticeSetting(path, true));
    EXPECT_EQ(settings_.ReadFile(L"vapm.cfg"), std::string("\1\0\0\0", 4));
}

TEST_F(PatchManagerDlgTest, TheListKeepsClearOfTheBandsWhenTheWindowIsResized)
{
    Open(kThreeUpdates);
    SearchUntilSearched();
    for (CSize size : {CSize(732, 519), CSize(1000, 700)}) {
        dialog_->MoveWindow(0, 0, size.cx, size.cy);
        CRect client, list;
        dialog_->GetClientRect(&client);
        dialog_->GetList().GetWindowRect(&list);
        dialog_->ScreenToClient(&list);
        EXPECT_EQ(list, CRect(2, 45, client.right - 2, client.bottom - 145));
    }
}

TEST_F(PatchManagerDlgTest, APendingRestartIsOfferedInsteadOfInstalling)
{
    Open("searchDelay=10\nrebootPending=1\n[update]\ntitle=A\nautoSelect=1\n");
    SearchUntilSearched();
    dialog_->answers = {IDYES};
    Click(L"BtnInstall");
    ASSERT_FALSE(dialog_->messages.empty());
    EXPECT_EQ(dialog_->messages.back(), CString(PatchTexts::RebootPendingQuestion));
    EXPECT_EQ(dialog_->restarts, 1);
    EXPECT_EQ(dialog_->GetState(), dialog_->StateSearched()) << "nothing is downloaded";
}

TEST_F(PatchManagerDlgTest, MoreThan512UpdatesListTheFirst512AndTraceTheRest)
{
    std::string scenario = "searchDelay=10\n";
    for (int i = 0; i < 515; ++i) scenario += "[update]\ntitle=U" + std::to_string(i) + "\n";
    Open(scenario);
    SearchUntilSearched();
    EXPECT_EQ(dialog_->GetList().GetItemCount(), 512);
    EXPECT_EQ(Cell(511, 0), L"U511");
    EXPECT_EQ(trace_->Count(L"SetPatchList: 515 updates found, the first 512 are listed"), 1);
}

TEST_F(PatchManagerDlgTest, ABusyInstallerEndsInTheInstallationFailure)
{
    Open("searchDelay=10\nsteps=2\nstepDelay=5\ninstallerBusy=1\n[update]\ntitle=A\nautoSelect=1\n");
    SearchUntilSearched();
    Click(L"BtnInstall");
    ASSERT_TRUE(Reach(dialog_->StateError())) << Utf8(dialog_->GetAdvice());
    EXPECT_EQ(dialog_->GetAdvice(), CString(PatchTexts::InstallFailed));
    EXPECT_TRUE(dialog_->GetList().IsWindowEnabled());
    EXPECT_TRUE(Shown(L"ReturnButtonLayer"));
}
