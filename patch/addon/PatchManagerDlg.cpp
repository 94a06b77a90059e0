#include "patch/addon/PatchManagerDlg.h"

#include <algorithm>
#include <memory>

#include "core/Application.h"
#include "core/ExceptionGuard.h"
#include "core/Process.h"
#include "core/Registry.h"
#include "core/RegistryKey.h"
#include "core/Trace.h"
#include "core/UniqueResource.h"
#include "core/WholeFile.h"
#include "framework/CWinApp.h"
#include "patch/addon/CEulaDlg.h"
#include "patch/addon/PatchPageScript.h"
#include "patch/addon/PatchTexts.h"

using System::String;
using System::Diagnostics::Trace;

namespace {

constexpr UINT ListControlId = 1001;
// The page keeps these bands free above and below the list, and these margins beside it.
constexpr int TopBand = 45;
constexpr int BottomBand = 145;
constexpr int SideMargin = 2;
enum Column { TitleColumn = 0, ProgressColumn = 1, ImportanceColumn = 2, SizeColumn = 3, StatusColumn = 4 };
const wchar_t ClientId[] = L"VelaToolbox.PatchManager";
const wchar_t RunOnceKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

const wchar_t* RequirementText(int code)
{
    switch (code) {
    case AgentCheck::UnsupportedSystem:
        return PatchTexts::UnsupportedSystem;
    case AgentCheck::NotAdministrator:
        return PatchTexts::NotAdministrator;
    case AgentCheck::Windows2000BelowSp3:
        return PatchTexts::Windows2000BelowSp3;
    default:
        return PatchTexts::RequirementUnknown;
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(PatchManagerDlg, CDHtmlDialogEx)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_PATCH_SEARCH, OnSearchMessage)
    ON_MESSAGE(WM_PATCH_SEARCH_DONE, OnSearchDone)
    ON_MESSAGE(WM_PATCH_INSTALL, OnInstallMessage)
    ON_MESSAGE(WM_PATCH_DOWNLOAD_DONE, OnDownloadDone)
    ON_MESSAGE(WM_PATCH_INSTALL_DONE, OnInstallDone)
    ON_MESSAGE(WM_PATCH_PROGRESS, OnProgressMessage)
    ON_MESSAGE(WM_PATCH_STOP, OnStopMessage)
    ON_MESSAGE(WM_PATCH_RETURN, OnReturnMessage)
    ON_MESSAGE(WM_PATCH_COMPLETE, OnCompleteMessage)
    ON_MESSAGE(WM_PATCH_ITEM_CHECKED, OnItemChecked)
    ON_MESSAGE(WM_PATCH_CAN_CHECK, OnCanCheck)
END_MESSAGE_MAP()

BEGIN_DHTML_EVENT_MAP(PatchManagerDlg)
    DHTML_EVENT_ONCLICK(L"BtnPrevious", OnBtnPrevious)
    DHTML_EVENT_ONCLICK(L"BtnSearch", OnBtnSearch)
    DHTML_EVENT_ONCLICK(L"BtnInstall", OnBtnInstall)
    DHTML_EVENT_ONCLICK(L"BtnStop", OnBtnStop)
    DHTML_EVENT_ONCLICK(L"BtnReturn", OnBtnReturn)
    DHTML_EVENT_ONCLICK(L"BtnComplete", OnBtnComplete)
END_DHTML_EVENT_MAP()

PatchManagerDlg::PatchManagerDlg(CWnd* parent)
    : CDHtmlDialogEx(TemplateId, PageId, parent),
      stateStart_(this),
      stateCheckAgent_(this),
      stateSearching_(this),
      stateSearched_(this),
      stateDownloading_(this),
      stateInstalling_(this),
      stateFinished_(this),
      stateError_(this),
      stateFatalError_(this)
{
}

PatchManagerDlg::~PatchManagerDlg()
{
    // Here rather than in the base destructor, so that WM_DESTROY still finds this class and lets
    // go of the agent.
    if (m_hWnd) DestroyWindow();
}

void PatchManagerDlg::ChangeState(PatchManagerDlgState* next)
{
    if (next == state_) return;
    if (state_) state_->OnLeave();
    state_ = next;
    if (state_) state_->OnEnter();
}

void PatchManagerDlg::SetAdvice(const wchar_t* advice, const wchar_t* detail)
{
    advice_ = advice;
    adviceDetail_ = detail;
    UpdateData(FALSE);
}

void PatchManagerDlg::SetProgress(int percent)
{
    progress_.Format(L"%d%%", percent);
    UpdateData(FALSE);
}

void PatchManagerDlg::CallStateScript(const wchar_t* function) { CallScript(function, CString()); }

void PatchManagerDlg::ShowList(bool shown, bool enabled)
{
    list_.ShowWindow(shown ? SW_SHOW : SW_HIDE);
    list_.EnableWindow(enabled ? TRUE : FALSE);
}

void PatchManagerDlg::EnableList(bool enabled) { list_.EnableWindow(enabled ? TRUE : FALSE); }

void PatchManagerDlg::StartCycleTimer()
{
    if (!SetTimer(CycleTimerId, CycleInterval)) Trace::WriteLine(String::Format(L"PatchManagerDlg: no timer (error %lu)", GetLastError()));
}

void PatchManagerDlg::StopCycleTimer() { KillTimer(CycleTimerId); }

int PatchManagerDlg::OnCreate(LPCREATESTRUCT create)
{
    if (CDHtmlDialogEx::OnCreate(create) == -1) return -1;
    CRect area;
    GetClientRect(&area);
    CRect listArea(SideMargin, TopBand, area.Width() - SideMargin, area.Height() - BottomBand);
    if (!list_.Create(WS_CHILD | WS_TABSTOP | WS_BORDER, listArea, this, ListControlId)) {
        Trace::WriteLine(String::Format(L"PatchManagerDlg: cannot create the update list (error %lu)", GetLastError()));
        return -1;
    }
    list_.EnableWindow(FALSE);
    return 0;
}

void PatchManagerDlg::OnSize(UINT type, int width, int height)
{
    CDHtmlDialogEx::OnSize(type, width, height);
    LayOutList(width, height);
}

void PatchManagerDlg::LayOutList(int width, int height)
{
    // The same bands as on creation, so that the list never covers the advice or the buttons.
    if (list_.m_hWnd) {
        list_.MoveWindow(SideMargin, TopBand, std::max(0, width - 2 * SideMargin), std::max(0, height - TopBand - BottomBand));
    }
}

BOOL PatchManagerDlg::OnInitDialog()
{
    CDHtmlDialogEx::OnInitDialog();
    System::TraceExceptions([] { System::Diagnostics::Process::EnterDebugMode(); });
    operations_.SetTarget(m_hWnd);
    return TRUE;
}

void PatchManagerDlg::DoDataExchange(CDataExchange* exchange)
{
    CDHtmlDialogEx::DoDataExchange(exchange);
    DDX_DHtml_ElementInnerText(exchange, L"Advice", advice_);
    DDX_DHtml_ElementInnerText(exchange, L"AdviceDetail", adviceDetail_);
    DDX_DHtml_AttributeValue(exchange, L"Progress", L"width", progress_);
}

void PatchManagerDlg::OnRegisterPageScripts()
{
    CDHtmlDialogEx::OnRegisterPageScripts();
    if (Html::Page* page = GetPage()) PatchPageScript::Register(*page);
}

void PatchManagerDlg::OnDocumentComplete()
{
    CDHtmlDialogEx::OnDocumentComplete();
    Trace::WriteLine(L"OnDocumentComplete");
    if (pageLoaded_) return;
    pageLoaded_ = true;
    Trace::WriteLine(L"OnDocumentComplete init");
    CallScript(L"enable_button", CString(L"BtnPrevious"));
    CallScript(L"disable_button", CString(L"BtnNext"));
    ChangeState(&stateStart_);
    int code = AgentCheck::CheckSystemRequirements();
    if (code != AgentCheck::Qualifies) state_->OnMessage(-1, RequirementText(code), nullptr);
}

void PatchManagerDlg::OnDestroy()
{
    StopCycleTimer();
    state_ = nullptr;
    operations_.ReleaseAll();
    CDHtmlDialogEx::OnDestroy();
}

void PatchManagerDlg::OnTimer(UINT_PTR id)
{
    if (state_) state_->OnTimer(id);
    CDHtmlDialogEx::OnTimer(id);
}

int PatchManagerDlg::RunAgentCheck()
{
    HANDLE created = CreateThread(nullptr, 0, &AgentCheck::WorkerThread, &agentCheck_, CREATE_SUSPENDED, nullptr);
    if (!created) {
        Trace::WriteLine(String::Format(L"PatchManagerDlg: cannot start the agent check (error %lu)", GetLastError()));
        return -1;
    }
    System::UniqueHandle thread(created);
    checkRunning_ = true;
    ResumeThread(created);
    bool quit = false;
    WPARAM quitCode = 0;
    while (!quit && MsgWaitForMultipleObjects(1, &created, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (message.message == WM_QUIT) {
                PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
                quit = true;
                quitCode = message.wParam;
                break;
            }
            AfxPumpMessage();
        }
    }
    // The application is ending: the check still finishes, and the end is passed on afterwards.
    if (quit) WaitForSingleObject(created, INFINITE);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeThread(created, &code);
    checkRunning_ = false;
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return static_cast<int>(code);
}

LRESULT PatchManagerDlg::OnSearchMessage(WPARAM, LPARAM)
{
    if (!state_ || checkRunning_) return 1;
    state_->OnStart();
    // Only a search begun from Start (or Finished) reaches the check; nothing else may start one.
    if (state_ != &stateCheckAgent_) return 1;
    int code = RunAgentCheck();
    if (!::IsWindow(m_hWnd) || state_ != &stateCheckAgent_) return 1;
    if (code == AgentCheck::AgentTooOldNoCatalogue) {
        state_->OnMessage(1, PatchTexts::NoCatalogue, nullptr);
    } else if (code == -1) {
        ChangeState(&stateStart_);
    } else if (operations_.InitializeUpdateSession(ClientId) != 0) {
        state_->OnMessage(1, PatchTexts::NoSession, nullptr);
    } else {
        state_->OnCompleted();
    }
    return 1;
}

LRESULT PatchManagerDlg::OnSearchDone(WPARAM wParam, LPARAM)
{
    int result = static_cast<int>(wParam);
    Trace::WriteLine(String::Format(L"OnSearchCompleted %d", result));
    if (!state_) return 1;
    switch (result) {
    case 0:
    case 4:
        state_->OnCompleted();
        break;
    case 1:
        state_->OnMessage(1, PatchTexts::SearchFailed, nullptr);
        break;
    case -1:
        state_->OnMessage(1, PatchTexts::UnknownError, nullptr);
        break;
    case 2:
        ChangeState(&stateStart_);
        break;
    default:
        break;
    }
    return 1;
}

void PatchManagerDlg::ShowPartialResult()
{
    int total = 0;
    int installed = CountInstalledRows(total);
    state_->OnMessage(1, String::Format(PatchTexts::PartialAdvice, total, installed).GetBuffer(), PatchTexts::PartialDetail);
}

LRESULT PatchManagerDlg::OnDownloadDone(WPARAM wParam, LPARAM)
{
    int result = static_cast<int>(wParam);
    Trace::WriteLine(String::Format(L"OnDownloadCompleted %d", result));
    if (!state_) return 1;
    if (result == 1) state_->OnMessage(1, PatchTexts::DownloadFailed, nullptr);
    else if (result == 2) ShowPartialResult();
    else if (result == -1) state_->OnMessage(1, PatchTexts::UnknownError, nullptr);
    else state_->OnCompleted();
    return 1;
}

LRESULT PatchManagerDlg::OnInstallDone(WPARAM wParam, LPARAM)
{
    int result = static_cast<int>(wParam);
    Trace::WriteLine(String::Format(L"OnPatchCompleted %d", result));
    if (!state_) return 1;
    if (result == 1) {
        state_->OnMessage(1, PatchTexts::InstallFailed, nullptr);
        return 1;
    }
    if (result == 2 || result == 4 || result == -1) {
        ShowPartialResult();
    } else {
        int total = 0;
        if (CountInstalledRows(total) != total) ShowPartialResult();
        else state_->OnCompleted();
    }
    AskRestart();
    return 1;
}

void PatchManagerDlg::AskRestart()
{
    if (IsRebootRequired() && ShowMessage(PatchTexts::RestartQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES) RestartWithResume();
}

LRESULT PatchManagerDlg::OnInstallMessage(WPARAM, LPARAM)
{
    if (!state_) return 1;
    if (IsRebootPending() == 1) {
        if (ShowMessage(PatchTexts::RebootPendingQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES) RestartMachine();
        return 1;
    }
    bool anyChecked = false;
    for (int row = 0; row < list_.GetItemCount(); ++row) anyChecked = anyChecked || list_.GetCheck(row);
    if (anyChecked) state_->OnStart();
    else ShowMessage(PatchTexts::NothingChecked, MB_OK | MB_ICONEXCLAMATION);
    return 1;
}

LRESULT PatchManagerDlg::OnStopMessage(WPARAM, LPARAM)
{
    CallStateScript(L"_StateStopping_OnEnter");
    if (state_) state_->OnStop();
    return 1;
}

LRESULT PatchManagerDlg::OnReturnMessage(WPARAM, LPARAM)
{
    ChangeState(&stateStart_);
    return 1;
}

LRESULT PatchManagerDlg::OnCompleteMessage(WPARAM, LPARAM)
{
    ChangeState(&stateStart_);
    return 1;
}

bool PatchManagerDlg::SearchPatch() { return operations_.SearchPatch(); }

const PatchRecord* PatchManagerDlg::RecordOfRow(int row) const
{
    int index = static_cast<int>(list_.GetItemData(row));
    const auto& records = operations_.GetRecords();
    return index >= 0 && index < static_cast<int>(records.size()) ? &records[static_cast<size_t>(index)] : nullptr;
}

CString PatchManagerDlg::FormatSize(unsigned int bytes)
{
    CString text;
    if (bytes < 1024) text.Format(L"%dB", static_cast<int>(bytes));
    else if (bytes < 1048576) text.Format(L"%.1fKB", bytes / 1024.0);
    else text.Format(L"%.1fMB", bytes / 1048576.0);
    return text;
}

void PatchManagerDlg::SetPatchList()
{
    Trace::WriteLine(L"SetPatchList()");
    DeleteAllRows();
    Trace::WriteLine(L"indx\t\ttitle\t\t\t\t\t\t\t\t\t\tguid\t\t\t\t\t\tautosel\timpact\tisdown\tmanda\treboot\tuserinp\ttype");
    const auto& records = operations_.GetRecords();
    int mandatory = 0, mandatoryExclusive = 0, autoSelect = 0, autoSelectExclusive = 0, other = 0, otherExclusive = 0;
    for (const PatchRecord& record : records) {
        bool exclusive = record.impact > 1;
        if (record.mandatory) {
            ++mandatory;
            mandatoryExclusive += exclusive;
        } else if (record.autoSelect) {
            ++autoSelect;
            autoSelectExclusive += exclusive;
        } else {
            ++other;
            otherExclusive += exclusive;
        }
        Trace::WriteLine(String::Format(L"%d\t\t%.30s\t\t\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d", record.index, record.title.c_str(),
                                        record.updateId.c_str(), record.autoSelect, record.impact, record.downloaded,
                                        record.mandatory, record.rebootBehavior, record.userInput, record.type));
    }
    Trace::WriteLine(String::Format(L"mandatory %d", mandatory));
    Trace::WriteLine(String::Format(L"autoselect %d other %d exclusive %d %d %d", autoSelect, other, mandatoryExclusive,
                                    autoSelectExclusive, otherExclusive));

    // Which records start checked: the first exclusive one of the leading group alone, else the whole group.
    std::vector<bool> checked(records.size(), false);
    auto inGroup = [&](const PatchRecord& record) { return mandatory > 0 ? record.mandatory : (!record.mandatory && record.autoSelect); };
    bool groupExclusive = mandatory > 0 ? mandatoryExclusive > 0 : autoSelectExclusive > 0;
    for (size_t i = 0; i < records.size(); ++i) {
        if (!inGroup(records[i])) continue;
        if (!groupExclusive) {
            checked[i] = true;
        } else if (records[i].impact > 1) {
            checked[i] = true;
            break;
        }
    }
    for (size_t i = 0; i < records.size(); ++i) {
        const PatchRecord& record = records[i];
        int row = list_.InsertItem(static_cast<int>(i), record.title.c_str());
        if (row < 0) {
            Trace::WriteLine(L"SetPatchList: a row could not be added");
            continue;
        }
        list_.SetItemData(row, static_cast<DWORD_PTR>(record.index));
        list_.SetProgressImage(row, 0);
        list_.SetItemText(row, ImportanceColumn,
                          record.mandatory ? PatchTexts::Mandatory : record.autoSelect ? PatchTexts::Important : PatchTexts::Normal);
        list_.SetItemText(row, SizeColumn, FormatSize(record.size));
        list_.ForceCheck(row, checked[i]);
    }
}

LRESULT PatchManagerDlg::OnCanCheck(WPARAM wParam, LPARAM)
{
    const PatchRecord* record = RecordOfRow(static_cast<int>(wParam));
    if (!record) return 1;
    for (const PatchRecord& each : operations_.GetRecords()) {
        if (each.mandatory) return record->mandatory ? 1 : 0;
    }
    return 1;
}

LRESULT PatchManagerDlg::OnItemChecked(WPARAM wParam, LPARAM)
{
    int row = static_cast<int>(wParam);
    const PatchRecord* record = RecordOfRow(row);
    if (!record) return 1;
    bool anyMandatory = false, mandatoryExclusive = false, otherExclusive = false;
    for (const PatchRecord& each : operations_.GetRecords()) {
        anyMandatory = anyMandatory || each.mandatory;
        mandatoryExclusive = mandatoryExclusive || (each.mandatory && each.impact > 1);
        otherExclusive = otherExclusive || (!each.mandatory && each.impact > 1);
    }
    if (anyMandatory && !record->mandatory) {
        ShowMessage(PatchTexts::MandatoryFirst, MB_OK | MB_ICONSTOP);
        return 0;
    }
    if (!(anyMandatory ? mandatoryExclusive : otherExclusive)) return 1;

    // The checked rows of the same group, split into those that must be installed alone and the rest.
    std::vector<int> exclusiveRows, otherRows;
    for (int each = 0; each < list_.GetItemCount(); ++each) {
        const PatchRecord* eachRecord = RecordOfRow(each);
        if (each == row || !eachRecord || !list_.GetCheck(each) || eachRecord->mandatory != anyMandatory) continue;
        (eachRecord->impact == 2 ? exclusiveRows : otherRows).push_back(each);
    }
    if (record->impact == 2 && !(exclusiveRows.empty() && otherRows.empty())) {
        if (ShowMessage(PatchTexts::ExclusiveQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return 0;
        for (int each = 0; each < list_.GetItemCount(); ++each) list_.ForceCheck(each, false);
    } else if (record->impact != 2 && !exclusiveRows.empty()) {
        if (ShowMessage(PatchTexts::ExclusiveCheckedQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return 0;
        for (int each : exclusiveRows) list_.ForceCheck(each, false);
    }
    return 1;
}

PatchManagerDlg::DownloadStart PatchManagerDlg::DownloadPatch()
{
    currentRow_ = 0;
    std::vector<int> selected;
    std::vector<int> unchecked;
    for (int row = 0; row < list_.GetItemCount(); ++row) {
        const PatchRecord* record = RecordOfRow(row);
        // Only what the user checked is downloaded.
        if (!list_.GetCheck(row) || !record) {
            unchecked.push_back(row);
            continue;
        }
        if (record->eula.empty()) {
            selected.push_back(record->index);
        } else if (ShowEula(record->title.c_str(), record->eula.c_str()) == IDOK) {
            operations_.AcceptEula(record->index);
            selected.push_back(record->index);
        } else {
            list_.SetItemData(row, static_cast<DWORD_PTR>(static_cast<LONG_PTR>(DeclinedRow)));
            ShowRowStatus(row, 0, PatchTexts::Declined);
        }
    }
    list_.SetRedraw(FALSE);
    for (auto row = unchecked.rbegin(); row != unchecked.rend(); ++row) list_.DeleteItem(*row);
    list_.SetRedraw(TRUE);
    list_.Invalidate();
    if (selected.empty()) {
        state_->OnMessage(1, String::Format(PatchTexts::PartialAdvice, list_.GetItemCount(), 0).GetBuffer(), PatchTexts::PartialDetail);
        return DownloadStart::NothingSelected;
    }
    return operations_.StartDownload(selected) ? DownloadStart::Started : DownloadStart::Failed;
}

bool PatchManagerDlg::InstallPatch()
{
    currentRow_ = 0;
    for (int row = 0; row < list_.GetItemCount(); ++row) {
        if (static_cast<LONG_PTR>(list_.GetItemData(row)) != DeclinedRow) ShowRowStatus(row, 0, CString());
    }
    return operations_.InstallPatch();
}

void PatchManagerDlg::AbortSearch()
{
    // Without a running search no notice will come: back to the start at once.
    if (!operations_.AbortSearch()) ChangeState(&stateStart_);
}

void PatchManagerDlg::AbortDownload()
{
    operations_.AbortDownload();
    if (currentRow_ < list_.GetItemCount()) list_.SetItemText(currentRow_, StatusColumn, PatchTexts::Stopping);
}

void PatchManagerDlg::AbortInstall()
{
    operations_.AbortInstall();
    if (currentRow_ < list_.GetItemCount()) list_.SetItemText(currentRow_, StatusColumn, PatchTexts::Stopping);
}

int PatchManagerDlg::FindRow(int record) const
{
    for (int row = 0; row < list_.GetItemCount(); ++row) {
        if (static_cast<int>(list_.GetItemData(row)) == record) return row;
    }
    return -1;
}

void PatchManagerDlg::ShowRowStatus(int row, int image, const CString& status)
{
    list_.SetProgressImage(row, image);
    list_.SetItemText(row, StatusColumn, status);
    list_.Update(row);
}

LRESULT PatchManagerDlg::OnProgressMessage(WPARAM wParam, LPARAM kind)
{
    if (!wParam) return 1;
    int record = kind == 0 ? reinterpret_cast<const DownloadProgressRecord*>(wParam)->index
                           : reinterpret_cast<const InstallProgressRecord*>(wParam)->index;
    int row = FindRow(record);
    if (row < 0) {
        Trace::WriteLine(L"Index error");
        return 1;
    }
    currentRow_ = row;
    CString status;
    int image = 0;
    if (kind == 0) {
        const auto& report = *reinterpret_cast<const DownloadProgressRecord*>(wParam);
        unsigned long long total = report.currentTotal == 0 ? 1 : report.currentTotal;
        unsigned long long bytes = report.currentTotal == 0 ? 0 : report.currentBytes;
        image = static_cast<int>(bytes * 11 / total);
        int percent = static_cast<int>(bytes * 100 / total);
        if (report.result == 1) {
            status = PatchTexts::DownloadFailedRow;
            image = 0;
        } else if (percent >= 0 && percent < 100) {
            status.Format(PatchTexts::DownloadingRow, percent);
        } else if (percent == 100) {
            status = PatchTexts::DownloadedRow;
        }
    } else {
        const auto& report = *reinterpret_cast<const InstallProgressRecord*>(wParam);
        int percent = report.currentPercent;
        image = percent < 1 ? 0 : percent * 11 / 100;
        if (percent >= 1 && percent <= 99) {
            status.Format(PatchTexts::InstallingRow, percent);
        } else if (percent == 100) {
            if (report.result == 0 || report.result == 3) {
                status = PatchTexts::InstalledRow;
            } else if (report.result == 1 || report.result == 2) {
                status = PatchTexts::InstallFailedRow;
                image = 0;
            }
        }
    }
    ShowRowStatus(row, std::min(image, CColoredProgressListCtrl::ProgressImages - 1), status);
    list_.EnsureVisible(row, FALSE);
    return 1;
}

int PatchManagerDlg::CountInstalledRows(int& total) const
{
    total = list_.GetItemCount();
    int installed = 0;
    for (int row = 0; row < total; ++row) installed += list_.GetItemText(row, StatusColumn) == CString(PatchTexts::InstalledRow);
    return installed;
}

void PatchManagerDlg::DeleteAllRows() { list_.DeleteAllItems(); }

int PatchManagerDlg::IsRebootPending() { return operations_.IsRebootPending(); }

bool PatchManagerDlg::IsRebootRequired() { return operations_.IsRebootRequired(); }

std::wstring PatchManagerDlg::NoticeSettingsPath() const
{
    std::wstring path;
    System::TraceExceptions([&] { path = (System::Application::GetCommonAppDataPath() + L"\\vapm.cfg").GetStdString(); });
    return path;
}

bool PatchManagerDlg::ReadNoticeSetting(const std::wstring& path)
{
    System::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return true;
    BYTE value[4] = {};
    DWORD read = 0;
    if (!ReadFile(file.Get(), value, sizeof value, &read, nullptr) || read < sizeof value) return true;
    return (value[0] | value[1] << 8 | value[2] << 16 | static_cast<DWORD>(value[3]) << 24) != 0;
}

bool PatchManagerDlg::WriteNoticeSetting(const std::wstring& path, bool show)
{
    const uint8_t value[4] = {static_cast<uint8_t>(show ? 1 : 0), 0, 0, 0};
    return System::TraceExceptions([&] {
        System::IO::WriteFileWhole(path.c_str(), [&](System::IO::Stream& file) { file.Write(value, sizeof value); });
    });
}

void PatchManagerDlg::ShowPatchNotice()
{
    std::wstring path = NoticeSettingsPath();
    if (!path.empty() && !ReadNoticeSetting(path)) return;
    bool dontShow = false;
    if (ShowNotice(dontShow) == IDOK && !path.empty()) WriteNoticeSetting(path, !dontShow);
}

void PatchManagerDlg::RestartWithResume()
{
    System::TraceExceptions([] {
        // The root belongs to the library; the subkey is this code's to delete.
        Microsoft::Win32::RegistryKey* user = Microsoft::Win32::Registry::GetCurrentUser();
        std::unique_ptr<Microsoft::Win32::RegistryKey> runOnce(user ? user->CreateSubKey(RunOnceKey) : nullptr);
        if (!runOnce) return;
        // Quoted: an install folder with spaces would otherwise start another program.
        String command = L"\"" + System::Application::GetExecutablePath() + L"\" 04";
        Trace::WriteLine(L"RestartWithResume: " + command);
        runOnce->SetValue(L"Vela Toolbox", command);
    });
    RestartMachine();
}

void PatchManagerDlg::RestartMachine()
{
    System::UniqueHandle token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive())) {
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) ||
            !AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr)) {
            Trace::WriteLine(String::Format(L"RestartMachine: no shutdown privilege (error %lu)", GetLastError()));
        }
    }
    if (!ExitWindowsEx(EWX_REBOOT | EWX_FORCE, SHTDN_REASON_MAJOR_OPERATINGSYSTEM | SHTDN_REASON_FLAG_PLANNED)) {
        Trace::WriteLine(String::Format(L"RestartMachine: ExitWindowsEx failed (error %lu)", GetLastError()));
    }
}

int PatchManagerDlg::ShowMessage(const CString& text, UINT type) { return MessageBox(text, PatchTexts::Caption, type); }

INT_PTR PatchManagerDlg::ShowEula(const CString& title, const CString& eula)
{
    CEulaDlg dialog(this, title, eula);
    return dialog.DoModal();
}

INT_PTR PatchManagerDlg::ShowNotice(bool& dontShowAgain)
{
    CPatchNoticeDlg dialog(this);
    INT_PTR result = dialog.DoModal();
    dontShowAgain = dialog.IsDontShowChecked();
    return result;
}

HRESULT PatchManagerDlg::OnBtnPrevious(Html::Node*)
{
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_ADDON_BACK, 0, 0);
    return S_OK;
}

HRESULT PatchManagerDlg::OnBtnSearch(Html::Node*)
{
    SendMessage(WM_PATCH_SEARCH);
    return S_OK;
}

HRESULT PatchManagerDlg::OnBtnInstall(Html::Node*)
{
    SendMessage(WM_PATCH_INSTALL);
    return S_OK;
}

HRESULT PatchManagerDlg::OnBtnStop(Html::Node*)
{
    if (ShowMessage(PatchTexts::StopQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES) SendMessage(WM_PATCH_STOP);
    return S_OK;
}

HRESULT PatchManagerDlg::OnBtnReturn(Html::Node*)
{
    SendMessage(WM_PATCH_RETURN);
    return S_OK;
}

HRESULT PatchManagerDlg::OnBtnComplete(Html::Node*)
{
    SendMessage(WM_PATCH_COMPLETE);
    return S_OK;
}
