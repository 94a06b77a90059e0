#include "sweeper/addon/SweeperDlg.h"

#include <cwchar>
#include <memory>

#include "core/Application.h"
#include "core/ExceptionGuard.h"
#include "core/Process.h"
#include "core/Trace.h"
#include "framework/CGdiObject.h"
#include "sweeper/Catalogue.h"
#include "sweeper/addon/SweeperPageScript.h"

using System::String;
using SweeperTexts::Moment;
using SweeperTexts::Pass;

namespace {

constexpr UINT TreeControlId = 1001;
// The page keeps these bands free above and below the tree, and these margins beside it.
constexpr int TopBand = 45;
constexpr int BottomBand = 145;
constexpr int SideMargin = 2;
// How often a wait for the worker lets the worker's messages through.
constexpr int WorkerPollInterval = 10;

// Disk, Registry, History, ApplicationHistory and Privacy, then the icon of every item.
constexpr UINT SmallBitmaps[] = {4011, 4008, 4010, 4009, 4003, 4002};
// The bar from empty to full in steps of ten percent, then the bar of a finished pass.
constexpr UINT BarBitmaps[] = {4013, 4014, 4015, 4016, 4017, 4018, 4019, 4020, 4021, 4022, 4023, 4012};
constexpr COLORREF MaskColor = RGB(255, 255, 255);

constexpr struct {
    const wchar_t* heading;
    int width;
} Columns[] = {{L"항목", 250}, {L"진행율", 70}, {L"수", 70}, {L"크기", 70}, {L"상태", 150}};

// The further columns of a row.
enum SubItem { BarColumn = 0, CountColumn = 1, SizeColumn = 2, StatusColumn = 3, SubItemCount = 4 };

bool AddBitmaps(CImageList& list, const UINT* ids, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        CBitmap bitmap;
        if (!bitmap.LoadBitmap(ids[i])) {
            System::Diagnostics::Trace::WriteLine(
                String::Format(L"SweeperDlg: cannot load bitmap %u (error %lu)", ids[i], GetLastError()));
            return false;
        }
        if (list.Add(&bitmap, MaskColor) < 0) {
            System::Diagnostics::Trace::WriteLine(String::Format(L"SweeperDlg: cannot add bitmap %u to an image list", ids[i]));
            return false;
        }
    }
    return true;
}

void SetCounterTexts(CRowContent& content, const CString& count, const CString& size, const CString& status)
{
    content.SetSubItemText(CountColumn, count);
    content.SetSubItemText(SizeColumn, size);
    content.SetSubItemText(StatusColumn, status);
}

}  // namespace

BEGIN_MESSAGE_MAP(SweeperDlg, CDHtmlDialogEx)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_ANALYZE, OnAnalyzeMessage)
    ON_MESSAGE(WM_SWEEP, OnSweepMessage)
    ON_MESSAGE(WM_PASS_COMPLETED, OnPassCompletedMessage)
    ON_MESSAGE(WM_PASS_PROGRESS, OnPassProgressMessage)
    ON_MESSAGE(WM_STOP, OnStopMessage)
    ON_MESSAGE(WM_PASS_STOPPED, OnPassStoppedMessage)
    ON_MESSAGE(WM_COMPLETE, OnCompleteMessage)
END_MESSAGE_MAP()

BEGIN_DHTML_EVENT_MAP(SweeperDlg)
    DHTML_EVENT_ONCLICK(L"BtnPrevious", OnBtnPrevious)
    DHTML_EVENT_ONCLICK(L"BtnAnalyze", OnBtnAnalyze)
    DHTML_EVENT_ONCLICK(L"BtnSweep", OnBtnSweep)
    DHTML_EVENT_ONCLICK(L"BtnComplete", OnBtnComplete)
    DHTML_EVENT_ONCLICK(L"BtnStop", OnBtnStop)
    DHTML_EVENT_ONCLICK(L"BtnSelectAll", OnBtnSelectAll)
END_DHTML_EVENT_MAP()

SweeperDlg::SweeperDlg(CWnd* parent)
    : CDHtmlDialogEx(TemplateId, PageId, parent),
      stateStart_(this),
      stateAnalyzing_(this),
      stateAnalyzed_(this),
      stateSweeping_(this),
      stateFinished_(this)
{
    SweeperTexts::AddLabels(labels_);
}

SweeperDlg::~SweeperDlg()
{
    // Here rather than in the base destructor, so that WM_DESTROY still finds this class: it stops
    // the worker and saves the ticks.
    if (m_hWnd) DestroyWindow();
}

Sweeper* SweeperDlg::CreateTree() { return BuildCatalogue(); }

Microsoft::Win32::RegistryKey* SweeperDlg::OpenSettingsKey() { return System::Application::GetUserAppDataRegistry(); }

void SweeperDlg::SetState(SweeperDlgState* next)
{
    if (next == state_) return;
    if (state_) state_->OnLeave();
    state_ = next;
    if (state_) state_->OnEnter();
}

void SweeperDlg::ShowAdvice(LPCWSTR advice, LPCWSTR adviceDetail, LPCWSTR progress)
{
    advice_ = advice;
    adviceDetail_ = adviceDetail;
    if (progress) progress_ = progress;
    UpdateData(FALSE);
}

void SweeperDlg::CallStateFunction(LPCWSTR function) { CallScript(function, CString()); }

bool SweeperDlg::StartPass(Pass pass)
{
    bool sweep = pass == Pass::Sweep;
    // The last pass's worker may still be on its way out of its final event.
    WaitForWorker(false);
    for (const auto& entry : sweepers_) entry.value->SetSelected(tree_.GetTick(treeItems_.Get(entry.key)) != FALSE);
    root_->Reset(sweep);
    nextProgressMessage_ = 0;
    return System::TraceExceptions([&] { root_->StartThread(sweep ? 1 : 0); });
}

void SweeperDlg::StartRefreshTimer()
{
    if (!SetTimer(RefreshTimerId, RefreshInterval)) {
        System::Diagnostics::Trace::WriteLine(String::Format(L"SweeperDlg: cannot start the refresh timer (error %lu)", GetLastError()));
    }
}

void SweeperDlg::StopRefreshTimer() { KillTimer(RefreshTimerId); }

bool SweeperDlg::IsInPass(const Sweeper* node)
{
    for (; node && node->GetParent(); node = node->GetParent()) {
        if (!node->IsSelected()) return false;
    }
    return true;
}

void SweeperDlg::RefreshRows(Pass pass, Moment moment)
{
    for (const auto& entry : sweepers_) {
        Sweeper* node = entry.value;
        CSuperGridCtrl::CTreeItem* row = treeItems_.Get(entry.key);
        CRowContent& content = row->GetContent();
        if (IsInPass(node)) {
            int progress = node->GetProgress();
            content.SetSubItemImage(BarColumn, moment == Moment::PassCompleted ? CompletedBarImage : progress / 10);
            SetCounterTexts(content, SweeperTexts::Count(node->GetCount()).GetBuffer(),
                            SweeperTexts::Megabytes(node->GetSize()).GetBuffer(),
                            SweeperTexts::Status(pass, moment, progress).GetBuffer());
        } else {
            SetCounterTexts(content, CString(), CString(), CString());
        }
        tree_.UpdateRow(row);
    }
}

void SweeperDlg::RefreshOverallBar()
{
    String text = SweeperTexts::OverallProgress(root_->GetProgress());
    if (std::wcscmp(text.GetBuffer(), progress_) != 0) SetOverallBar(text.GetBuffer());
}

void SweeperDlg::SetOverallBar(LPCWSTR progress)
{
    progress_ = progress;
    UpdateData(FALSE);
}

void SweeperDlg::ClearRows()
{
    for (const auto& entry : treeItems_) {
        CRowContent& content = entry.value->GetContent();
        content.SetSubItemImage(BarColumn, 0);
        SetCounterTexts(content, CString(), CString(), CString());
        tree_.UpdateRow(entry.value);
    }
}

CSuperGridCtrl::CTreeItem* SweeperDlg::GetRow(const String& key) const
{
    CSuperGridCtrl::CTreeItem* row = nullptr;
    return treeItems_.TryGetValue(key, row) ? row : nullptr;
}

int SweeperDlg::OnCreate(LPCREATESTRUCT create)
{
    if (CDHtmlDialogEx::OnCreate(create) == -1) return -1;
    if (!smallImages_.Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 2) ||
        !barImages_.Create(65, 16, ILC_COLOR32 | ILC_MASK, 12, 0)) {
        System::Diagnostics::Trace::WriteLine(String::Format(L"SweeperDlg: cannot create the image lists (error %lu)", GetLastError()));
        return -1;
    }
    // Rows without icons or bars still work, so a missing bitmap is only traced.
    AddBitmaps(smallImages_, SmallBitmaps, std::size(SmallBitmaps));
    AddBitmaps(barImages_, BarBitmaps, std::size(BarBitmaps));

    if (!tree_.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, TreeArea(), this, TreeControlId)) {
        System::Diagnostics::Trace::WriteLine(String::Format(L"SweeperDlg: cannot create the tree-list (error %lu)", GetLastError()));
        return -1;
    }
    tree_.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FLATSB);
    tree_.SetImageList(&smallImages_, LVSIL_SMALL);
    tree_.SetSubItemImageList(&barImages_);
    for (int column = 0; column < static_cast<int>(std::size(Columns)); ++column) {
        if (tree_.InsertColumn(column, Columns[column].heading, LVCFMT_LEFT, Columns[column].width) < 0) {
            System::Diagnostics::Trace::WriteLine(String(L"SweeperDlg: cannot add the column ") + Columns[column].heading);
        }
    }
    return 0;
}

CRect SweeperDlg::TreeArea() const
{
    CRect area;
    GetClientRect(&area);
    area.DeflateRect(SideMargin, TopBand, SideMargin, BottomBand);
    // A window shorter than its bands gets an empty tree rather than an inverted one.
    if (area.bottom < area.top) area.bottom = area.top;
    if (area.right < area.left) area.right = area.left;
    return area;
}

// The console hosts the window shorter than its template and maximises it to the work area, so the
// tree follows the client area on every change.
void SweeperDlg::OnSize(UINT type, int cx, int cy)
{
    CDHtmlDialogEx::OnSize(type, cx, cy);
    if (tree_.GetSafeHwnd()) tree_.MoveWindow(TreeArea());
}

BOOL SweeperDlg::OnInitDialog()
{
    CDHtmlDialogEx::OnInitDialog();
    // The privilege widens what the passes may open; a standard user lacks it, and the passes then
    // do without.
    System::TraceExceptions([] { System::Diagnostics::Process::EnterDebugMode(); });

    std::unique_ptr<SelectionStore> store;
    // Without the store every row starts ticked, as on a first start.
    System::TraceExceptions([&] {
        settingsKey_.reset(OpenSettingsKey());
        store = std::make_unique<SelectionStore>(*settingsKey_);
    });
    if (!System::TraceExceptions([&] { root_.reset(CreateTree()); }) || !root_) root_ = std::make_unique<Sweeper>(String());
    root_->Progress.AddHandler(&rootEvents_, &SweeperDlg::OnRootProgress);
    root_->Completed.AddHandler(&rootEvents_, &SweeperDlg::OnRootCompleted);
    FillTree(store.get());
    return TRUE;
}

void SweeperDlg::FillTree(const SelectionStore* store)
{
    int position = 0;
    for (Sweeper* category : root_->GetChildren()) {
        CSuperGridCtrl::CTreeItem* row = AddRow(category, nullptr, position++, store);
        if (!row) continue;
        for (Sweeper* item : category->GetChildren()) AddRow(item, row, ItemImage, store);
        tree_.Expand(row);
    }
}

CSuperGridCtrl::CTreeItem* SweeperDlg::AddRow(Sweeper* node, CSuperGridCtrl::CTreeItem* parentRow, int image,
                                              const SelectionStore* store)
{
    String key = node->GetFullName();
    auto content = std::make_unique<CRowContent>();
    content->SetItemText(SweeperTexts::LabelOf(labels_, key, node->GetName()).GetBuffer());
    content->SetImage(image);
    for (int column = 0; column < SubItemCount; ++column) content->AddSubItemText(CString());
    content->SetSubItemImage(BarColumn, 0);
    content->SetKey(key.GetBuffer());
    content->SetCheck(!store || store->IsTicked(key) ? 1 : 0);
    CSuperGridCtrl::CTreeItem* row =
        parentRow ? tree_.InsertChildItem(parentRow, std::move(content)) : tree_.InsertRootItem(std::move(content));
    if (!row) return nullptr;
    treeItems_.Add(key, row);
    sweepers_.Add(key, node);
    return row;
}

void SweeperDlg::DoDataExchange(CDataExchange* exchange)
{
    CDHtmlDialogEx::DoDataExchange(exchange);
    DDX_DHtml_ElementInnerText(exchange, L"Advice", advice_);
    DDX_DHtml_ElementInnerText(exchange, L"AdviceDetail", adviceDetail_);
    DDX_DHtml_AttributeValue(exchange, L"Progress", L"width", progress_);
}

void SweeperDlg::OnRegisterPageScripts()
{
    CDHtmlDialogEx::OnRegisterPageScripts();
    if (Html::Page* page = GetPage()) SweeperPageScript::Register(*page);
}

void SweeperDlg::OnDocumentComplete()
{
    CDHtmlDialogEx::OnDocumentComplete();
    CallScript(L"enable_button", CString(L"BtnPrevious"));
    CallScript(L"disable_button", CString(L"BtnNext"));
    SetState(&stateStart_);
}

void SweeperDlg::OnDestroy()
{
    // Messages of a worker that is being stopped must no longer move the window between states.
    if (state_) state_->OnLeave();
    state_ = nullptr;
    WaitForWorker(true);
    SaveTicks();
    CDHtmlDialogEx::OnDestroy();
}

void SweeperDlg::SaveTicks()
{
    if (!settingsKey_) return;
    System::TraceExceptions([&] {
        SelectionStore store(*settingsKey_);
        for (const auto& entry : treeItems_) store.SetTicked(entry.key, tree_.GetTick(entry.value) != FALSE);
    });
}

void SweeperDlg::WaitForWorker(bool stop)
{
    if (!root_) return;
    for (;;) {
        // Run clears the flag as it starts, so it is set again until the worker is gone.
        if (stop) root_->SetStopRequested(true);
        if (root_->WaitForThread(WorkerPollInterval)) return;
        // The worker may be blocked sending this window a message; let it through.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void SweeperDlg::OnTimer(UINT_PTR id)
{
    if (state_) System::TraceExceptions([&] { state_->OnTimer(id); });
    CDHtmlDialogEx::OnTimer(id);
}

LRESULT SweeperDlg::Dispatch(void (SweeperDlgState::*operation)())
{
    if (state_) System::TraceExceptions([&] { (state_->*operation)(); });
    return 1;
}

LRESULT SweeperDlg::OnAnalyzeMessage(WPARAM, LPARAM) { return Dispatch(&SweeperDlgState::OnAnalyze); }
LRESULT SweeperDlg::OnSweepMessage(WPARAM, LPARAM) { return Dispatch(&SweeperDlgState::OnSweep); }
LRESULT SweeperDlg::OnPassCompletedMessage(WPARAM, LPARAM) { return Dispatch(&SweeperDlgState::OnPassCompleted); }
LRESULT SweeperDlg::OnPassProgressMessage(WPARAM, LPARAM) { return Dispatch(&SweeperDlgState::OnProgress); }
LRESULT SweeperDlg::OnStopMessage(WPARAM, LPARAM) { return Dispatch(&SweeperDlgState::OnStop); }
LRESULT SweeperDlg::OnPassStoppedMessage(WPARAM, LPARAM) { return Dispatch(&SweeperDlgState::OnPassStopped); }
LRESULT SweeperDlg::OnCompleteMessage(WPARAM, LPARAM) { return Dispatch(&SweeperDlgState::OnComplete); }

HRESULT SweeperDlg::OnBtnPrevious(Html::Node*)
{
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_ADDON_BACK, 0, 0);
    return S_OK;
}

HRESULT SweeperDlg::OnBtnAnalyze(Html::Node*)
{
    SendMessage(WM_ANALYZE);
    return S_OK;
}

HRESULT SweeperDlg::OnBtnSweep(Html::Node*)
{
    SendMessage(WM_SWEEP);
    return S_OK;
}

HRESULT SweeperDlg::OnBtnComplete(Html::Node*)
{
    SendMessage(WM_COMPLETE);
    return S_OK;
}

HRESULT SweeperDlg::OnBtnStop(Html::Node*)
{
    SendMessage(WM_STOP);
    return S_OK;
}

HRESULT SweeperDlg::OnBtnSelectAll(Html::Node*)
{
    for (const auto& entry : treeItems_) {
        tree_.SetTick(entry.value, TRUE);
        tree_.UpdateRow(entry.value);
    }
    return S_OK;
}

void SweeperDlg::OnRootProgress(System::Object* target, System::Object*)
{
    SweeperDlg* dialog = static_cast<RootEvents*>(target)->dialog;
    ULONGLONG now = GetTickCount64();
    if (now < dialog->nextProgressMessage_) return;
    dialog->nextProgressMessage_ = now + ProgressMessageInterval;
    ::SendMessageW(dialog->m_hWnd, WM_PASS_PROGRESS, 0, 0);
}

void SweeperDlg::OnRootCompleted(System::Object* target, System::Object* sender)
{
    SweeperDlg* dialog = static_cast<RootEvents*>(target)->dialog;
    bool completed = static_cast<Sweeper*>(sender)->GetProgress() == 100;
    ::SendMessageW(dialog->m_hWnd, completed ? WM_PASS_COMPLETED : WM_PASS_STOPPED, 0, 0);
}
