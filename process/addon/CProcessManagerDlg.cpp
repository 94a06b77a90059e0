#include "process/addon/CProcessManagerDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <set>

#include "core/ExceptionGuard.h"
#include "core/Process.h"
#include "core/Trace.h"
#include "framework/CDC.h"
#include "framework/CImageList.h"
#include "html/Node.h"
#include "process/detail/CProcessDetailSheet.h"
#include "shell/AddonExport.h"

using System::String;

namespace {

constexpr struct {
    const wchar_t* heading;
    int width;
    int format;
} Columns[] = {{L"이미지 이름", 120, LVCFMT_LEFT},
               {L"이름", 270, LVCFMT_LEFT},
               {L"등급", 90, LVCFMT_LEFT},
               {L"CPU", 40, LVCFMT_LEFT},
               {L"메모리 사용", 80, LVCFMT_RIGHT}};

constexpr wchar_t MessageCaption[] = L"Vela 툴박스";

void Trace(const String& text) { System::Diagnostics::Trace::WriteLine(L"CProcessManagerDlg: " + text); }

void CreateFace(CFont& font, int pixels, const wchar_t* face)
{
    if (!font.CreateFont(-pixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face))
        Trace(String::Format(L"cannot create the font %ls (error %lu)", face, GetLastError()));
}

template <class Number>
int CompareNumbers(Number first, Number second)
{
    return first < second ? -1 : (second < first ? 1 : 0);
}

}  // namespace

BEGIN_MESSAGE_MAP(CProcessManagerDlg, CDHtmlDialogEx)
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_WM_CONTEXTMENU()
    ON_MESSAGE(WM_PROCESS_REFRESH, OnRefreshMessage)
    ON_NOTIFY(NM_CLICK, IDC_PROCESS_LIST, OnListClick)
    ON_NOTIFY(NM_RCLICK, IDC_PROCESS_LIST, OnListClick)
    ON_BN_CLICKED(IDC_PROCESS_DETAILS, OnDetailsClicked)
END_MESSAGE_MAP()

BEGIN_DHTML_EVENT_MAP(CProcessManagerDlg)
    DHTML_EVENT_ONCLICK(L"BtnPrevious", OnBtnPrevious)
    DHTML_EVENT_ONCLICK(L"LnkRefreshImg", OnRefresh)
    DHTML_EVENT_ONCLICK(L"LnkRefreshImgOn", OnRefresh)
    DHTML_EVENT_ONCLICK(L"LnkRemoveImg", OnRemove)
    DHTML_EVENT_ONCLICK(L"LnkRemoveImgOn", OnRemove)
    DHTML_EVENT_ONCLICK(L"btnRequired", OnHideSystemPrograms)
    DHTML_EVENT_ONCLICK(L"btnRequiredOn", OnHideSystemPrograms)
    DHTML_EVENT_ONCLICK(L"btnRequiredTxt", OnHideSystemPrograms)
    DHTML_EVENT_TAG_ALL(Html::EventType::SelectStart, OnSelectStart)
    DHTML_EVENT_TAG_ALL(Html::EventType::DragStart, OnDragStart)
END_DHTML_EVENT_MAP()

CProcessManagerDlg::CProcessManagerDlg(CWnd* parent) : CDHtmlDialogEx(TemplateId, PageId, parent) {}

ProcessManager* CProcessManagerDlg::CreateManager() { return new ProcessManager(); }

CProcessManagerDlg::~CProcessManagerDlg()
{
    // Here rather than in the base destructor, so that WM_DESTROY still finds this class.
    if (m_hWnd) DestroyWindow();
}

int CProcessManagerDlg::ShowMessage(const String& text, UINT type)
{
    return MessageBox(text.GetBuffer(), MessageCaption, type);
}

UINT CProcessManagerDlg::TrackMenu(CMenu& popup, CPoint screenPoint)
{
    return static_cast<UINT>(::TrackPopupMenu(popup.GetSafeHmenu(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                                                         TPM_RETURNCMD | TPM_NONOTIFY,
                                              screenPoint.x, screenPoint.y, 0, m_hWnd, nullptr));
}

BOOL CProcessManagerDlg::OnInitDialog()
{
    CDHtmlDialogEx::OnInitDialog();
    // Lets the model open processes of other accounts; without it they only show fewer details.
    System::TraceExceptions([] { System::Diagnostics::Process::EnterDebugMode(); });
    manager_.reset(CreateManager());
    if (!CreateControls()) {
        Trace(String::Format(L"cannot create the controls (error %lu)", GetLastError()));
        return TRUE;
    }
    manager_->EnablePerformanceCounters();
    CRect client;
    GetClientRect(&client);
    LayoutControls(client.Width(), client.Height());
    return TRUE;
}

bool CProcessManagerDlg::CreateControls()
{
    const UINT paneStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (!infoPane_.Create(this, CProcessInfoDlg::TemplateId, paneStyle, InfoPaneId)) return false;
    if (!cpuGraph_.CreateInPlaceOf(this, IDC_CPU_GRAPH) || !memoryGraph_.CreateInPlaceOf(this, IDC_MEMORY_GRAPH)) return false;
    for (C2DPushGraph* graph : {&cpuGraph_, &memoryGraph_}) {
        SetUpGraph(*graph);
        graph->AddLine(0, GraphLineColor);
    }

    if (!list_.SubclassDlgItem(IDC_PROCESS_LIST, this)) return false;
    list_.SetExtendedStyle(list_.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    SHFILEINFOW info = {};
    auto systemIcons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"c:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (systemIcons)
        list_.SetImageList(CImageList::FromHandle(systemIcons), LVSIL_SMALL);
    else
        Trace(L"no system icon list");
    for (int column = 0; column < ColumnCount; ++column) {
        if (list_.InsertColumn(column, Columns[column].heading, Columns[column].format, Columns[column].width) < 0)
            Trace(String(L"cannot add the column ") + Columns[column].heading);
    }
    list_.SetSortRule(
        [this](DWORD_PTR first, DWORD_PTR second, int column) {
            ProcessInfo* a = nullptr;
            ProcessInfo* b = nullptr;
            if (!manager_->TryGetProcess(static_cast<uint32_t>(first), a) ||
                !manager_->TryGetProcess(static_cast<uint32_t>(second), b))
                return 0;
            switch (column) {
            case ImageNameColumn: return CColoredListCtrl::CompareTexts(a->GetImageName(), b->GetImageName());
            case DescriptionColumn: return CColoredListCtrl::CompareTexts(a->GetDescription(), b->GetDescription());
            case CpuColumn: return CompareNumbers(a->GetCpu(), b->GetCpu());
            case MemoryColumn: return CompareNumbers(a->GetMemory(), b->GetMemory());
            default: return 0;
            }
        },
        ColumnCount);

    CreateFace(captionFont_, 20, L"돋움");
    CreateFace(valueFont_, 22, L"Arial");
    struct {
        CColorStatic& control;
        UINT id;
        CFont& font;
        COLORREF text;
    } statics[] = {{cpuCaption_, IDC_CPU_CAPTION, captionFont_, CaptionTextColor},
                   {cpuValue_, IDC_CPU_VALUE, valueFont_, ValueTextColor},
                   {memoryCaption_, IDC_MEMORY_CAPTION, captionFont_, CaptionTextColor},
                   {memoryValue_, IDC_MEMORY_VALUE, valueFont_, ValueTextColor}};
    for (auto& item : statics) {
        if (!item.control.SubclassDlgItem(item.id, this)) return false;
        item.control.SetTextColor(item.text);
        item.control.SetBkColor(GraphBackColor);
        if (item.font.m_hObject) item.control.SetFont(&item.font);
    }
    return true;
}

void CProcessManagerDlg::SetUpGraph(C2DPushGraph& graph)
{
    graph.SetBackColor(GraphBackColor);
    graph.SetGridColor(GraphGridColor);
    graph.SetLabelColor(GraphLineColor);
    graph.ShowLabels(true);
    graph.ShowGrid(true);
    graph.SetInterval(5);
    graph.SetGridSize(15);
    graph.SetLabels(L"100%", L"0%");
    graph.SetRange(0, 100);
    graph.SetLineBars(0, false);
}

void CProcessManagerDlg::OnDocumentComplete()
{
    CDHtmlDialogEx::OnDocumentComplete();
    CallScript(L"enable_button", CString(L"BtnPrevious"));
    CallScript(L"disable_button", CString(L"BtnNext"));
    for (C2DPushGraph* graph : {&cpuGraph_, &memoryGraph_}) {
        if (!graph->m_hWnd) continue;
        SetUpGraph(*graph);
        graph->Update();
    }
    if (timerRunning_) return;
    SendMessage(WM_PROCESS_REFRESH, 1, 0);
    timerRunning_ = SetTimer(RefreshTimer, RefreshPeriodMs, nullptr) != 0;
    if (!timerRunning_) Trace(String::Format(L"no refresh timer (error %lu)", GetLastError()));
}

void CProcessManagerDlg::LayoutControls(int width, int height)
{
    if (!list_.m_hWnd) return;
    int half = width / 2;
    cpuCaption_.MoveWindow(5, 50, 58, 30);
    cpuValue_.MoveWindow(5, 85, 58, 24);
    cpuGraph_.MoveWindow(65, 47, std::max(1, half - 70), 60);
    memoryCaption_.MoveWindow(half + 5, 50, 100, 30);
    memoryValue_.MoveWindow(half + 10, 85, 98, 24);
    memoryGraph_.MoveWindow(half + 110, 47, std::max(1, half - 115), 60);
    list_.MoveWindow(1, 110, std::max(1, width - 1), std::max(1, height - 265));
    infoPane_.MoveWindow(1, std::max(111, height - 154), std::max(1, width - 3), 150);
}

void CProcessManagerDlg::OnSize(UINT type, int cx, int cy)
{
    CDHtmlDialogEx::OnSize(type, cx, cy);
    if (type != SIZE_MINIMIZED) LayoutControls(cx, cy);
}

void CProcessManagerDlg::OnClose()
{
    if (timerRunning_) KillTimer(RefreshTimer);
    timerRunning_ = false;
    CDHtmlDialogEx::OnClose();
}

void CProcessManagerDlg::OnDestroy()
{
    if (timerRunning_) KillTimer(RefreshTimer);
    timerRunning_ = false;
    CDHtmlDialogEx::OnDestroy();
}

void CProcessManagerDlg::OnTimer(UINT_PTR id)
{
    if (id != RefreshTimer) {
        CDHtmlDialogEx::OnTimer(id);
        return;
    }
    RefreshList(false);
}

LRESULT CProcessManagerDlg::OnRefreshMessage(WPARAM wParam, LPARAM lParam)
{
    if (lParam != 0)
        RebuildList();
    else
        RefreshList(wParam == 1);
    return 0;
}

uint32_t CProcessManagerDlg::GetRowProcessId(int row) const
{
    if (!list_.m_hWnd || row < 0 || row >= list_.GetItemCount()) return 0;
    return static_cast<uint32_t>(list_.GetItemData(row));
}

int CProcessManagerDlg::FindRow(uint32_t processId) const
{
    if (!list_.m_hWnd) return -1;
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(processId);
    return list_.FindItem(&find);
}

bool CProcessManagerDlg::IsHidden(const ProcessInfo& info) const
{
    return hideSystemPrograms_ && info.IsSystemAccount();
}

int CProcessManagerDlg::SystemIconIndex(const String& path) const
{
    if (path.IsEmpty()) return NoIconIndex;
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path.GetBuffer(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) return NoIconIndex;
    return info.iIcon;
}

void CProcessManagerDlg::WriteFigures(int row, ProcessInfo& info)
{
    list_.SetItemText(row, CpuColumn, String::Format(L"%d", info.GetCpu()).GetBuffer());
    list_.SetItemText(row, MemoryColumn, FormatMemoryCell(info.GetMemory()).GetBuffer());
    info.ClearChanged();
}

void CProcessManagerDlg::AddRow(ProcessInfo& info)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = list_.GetItemCount();
    item.pszText = const_cast<wchar_t*>(info.GetImageName().GetBuffer());
    item.iImage = SystemIconIndex(info.GetPath());
    item.lParam = static_cast<LPARAM>(info.GetProcessId());
    int row = list_.InsertItem(&item);
    if (row < 0) {
        Trace(L"cannot add the row of " + info.GetImageName());
        return;
    }
    list_.SetItemText(row, DescriptionColumn, info.GetDescription().GetBuffer());
    list_.SetItemText(row, RatingColumn, ProcessInfo::GetRatingText(info.GetRating()).GetBuffer());
    WriteFigures(row, info);
}

void CProcessManagerDlg::SelectRow(int row)
{
    list_.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CProcessManagerDlg::ShowRowInPane(int row)
{
    ProcessInfo* info = nullptr;
    uint32_t processId = GetRowProcessId(row);
    if (row < 0 || row >= list_.GetItemCount() || !manager_->TryGetProcess(processId, info)) return;
    infoPane_.ShowProcess(*info);
}

void CProcessManagerDlg::RefreshList(bool selectFirst)
{
    if (!list_.m_hWnd || !manager_) return;
    System::Array<ProcessInfo*> created = manager_->GetProcesses();
    int selectedRow = list_.GetNextItem(-1, LVNI_SELECTED);
    uint32_t remembered = selectedRow >= 0 ? GetRowProcessId(selectedRow) : 0;

    list_.SetRedraw(FALSE);
    for (int row = list_.GetItemCount() - 1; row >= 0; --row) {
        uint32_t processId = GetRowProcessId(row);
        ProcessInfo* info = nullptr;
        if (!manager_->TryGetProcess(processId, info) || IsHidden(*info)) {
            list_.DeleteItem(row);
            continue;
        }
        if (remembered != 0 && processId == remembered) SelectRow(row);
        if (info->IsChanged()) WriteFigures(row, *info);
    }
    for (ProcessInfo* info : created) {
        if (info->GetProcessId() != 0 && !IsHidden(*info)) AddRow(*info);
    }
    if (selectFirst && list_.GetItemCount() > 0) {
        SelectRow(0);
        ShowRowInPane(0);
    }
    PushLoadFigures();
    list_.Resort();
    list_.SetRedraw(TRUE);
}

void CProcessManagerDlg::PushLoadFigures()
{
    ProcessInfo* idle = nullptr;
    if (manager_->TryGetProcess(0, idle)) {
        int load = GetProcessorLoad(*manager_);
        cpuGraph_.Push(0, load);
        cpuValue_.SetWindowText(String::Format(L"%d%%", load).GetBuffer());
    }
    MemoryLoad memory = GetMemoryLoad();
    memoryGraph_.Push(0, memory.percent);
    memoryValue_.SetWindowText(FormatSize(memory.usedBytes).GetBuffer());
}

void CProcessManagerDlg::RebuildList()
{
    if (!list_.m_hWnd || !manager_) return;
    int selectedRow = list_.GetNextItem(-1, LVNI_SELECTED);
    uint32_t remembered = selectedRow >= 0 ? GetRowProcessId(selectedRow) : 0;
    list_.SetRedraw(FALSE);
    list_.DeleteAllItems();
    for (uint32_t processId : manager_->GetProcessIds()) {
        ProcessInfo* info = nullptr;
        if (processId != 0 && manager_->TryGetProcess(processId, info) && !IsHidden(*info)) AddRow(*info);
    }
    list_.Resort();
    int row = remembered != 0 ? FindRow(remembered) : -1;
    if (row >= 0) {
        SelectRow(row);
    } else if (list_.GetItemCount() > 0) {
        SelectRow(0);
        ShowRowInPane(0);
    } else {
        infoPane_.ShowNothing();
    }
    list_.SetRedraw(TRUE);
}

void CProcessManagerDlg::ToggleHideSystemPrograms()
{
    hideSystemPrograms_ = !hideSystemPrograms_;
    if (Html::Node* off = GetElement(L"btnRequired")) off->SetStyleDisplay(hideSystemPrograms_ ? L"none" : L"inline");
    if (Html::Node* on = GetElement(L"btnRequiredOn")) on->SetStyleDisplay(hideSystemPrograms_ ? L"inline" : L"none");
    SendMessage(WM_PROCESS_REFRESH, 0, 1);
}

std::vector<uint32_t> CProcessManagerDlg::SelectedProcessIds() const
{
    std::vector<uint32_t> ids;
    if (!list_.m_hWnd) return ids;
    for (int row = list_.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list_.GetNextItem(row, LVNI_SELECTED))
        ids.push_back(GetRowProcessId(row));
    return ids;
}

void CProcessManagerDlg::EndSelectedProcesses()
{
    std::vector<uint32_t> ids = SelectedProcessIds();
    if (ids.empty()) {
        ShowMessage(L"끝낼 프로세스를 목록에서 선택해 주세요.", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (ShowMessage(L"프로세스를 종료하시겠습니까?", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    std::set<ProcessManager::EndResult> refusals;
    for (uint32_t processId : ids) {
        ProcessManager::EndResult result = manager_->EndProcess(processId);
        Trace(String::Format(L"EndProcess(%lu): %d", static_cast<unsigned long>(processId), static_cast<int>(result)));
        if (result != ProcessManager::EndResult::Ended) refusals.insert(result);
    }
    if (refusals.empty()) return;
    String text;
    for (ProcessManager::EndResult result : refusals) {
        if (!text.IsEmpty()) text = text + L"\r\n";
        text = text + ProcessManager::GetEndResultText(result);
    }
    ShowMessage(text, MB_OK | MB_ICONWARNING);
}

void CProcessManagerDlg::OnListClick(NMHDR* header, LRESULT* result)
{
    *result = 0;
    ShowRowInPane(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
}

void CProcessManagerDlg::OnContextMenu(CWnd* window, CPoint point)
{
    if (!list_.m_hWnd || !window || window->m_hWnd != list_.m_hWnd) return;
    int focused = list_.GetNextItem(-1, LVNI_SELECTED);
    if (focused < 0) return;
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: at the selected row.
        CRect rowRect;
        list_.GetItemRect(focused, &rowRect, LVIR_LABEL);
        point = CPoint(rowRect.left, rowRect.bottom);
        list_.ClientToScreen(&point);
    }
    CMenu menu;
    {
        AddonExport::ResourceHandleScope resources;
        if (!menu.LoadMenu(IDR_PROCESS_MENU)) {
            Trace(String::Format(L"cannot load the menu (error %lu)", GetLastError()));
            return;
        }
    }
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup) return;
    switch (TrackMenu(*popup, point)) {
    case ID_PROCESS_SHOW_INFO: {
        ProcessInfo* info = nullptr;
        std::vector<uint32_t> ids = SelectedProcessIds();
        auto found = std::find_if(ids.begin(), ids.end(), [&](uint32_t processId) { return manager_->TryGetProcess(processId, info); });
        if (found == ids.end()) break;
        // A copy: the timer keeps refreshing the model, which may drop the entry, while the sheet is open.
        ProcessInfo chosen(*info);
        ShowDetailSheet(chosen);
        break;
    }
    case ID_PROCESS_END: EndSelectedProcesses(); break;
    default: break;
    }
}

void CProcessManagerDlg::OnDetailsClicked()
{
    if (infoPane_.IsShown()) ShowDetailSheet(infoPane_.GetShownProcess());
}

void CProcessManagerDlg::ShowDetailSheet(const ProcessInfo& info)
{
    Trace(String::Format(L"ShowDetailSheet(%lu) %ls", static_cast<unsigned long>(info.GetProcessId()),
                         info.GetImageName().GetBuffer()));
    RunDetailSheet(info);
}

void CProcessManagerDlg::RunDetailSheet(const ProcessInfo& info) { ShowProcessDetailSheet(info); }

HRESULT CProcessManagerDlg::OnBtnPrevious(Html::Node*)
{
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_ADDON_BACK, 0, 0);
    return S_OK;
}

HRESULT CProcessManagerDlg::OnRefresh(Html::Node*)
{
    list_.ClearSort();
    SendMessage(WM_PROCESS_REFRESH, 0, 0);
    return S_OK;
}

HRESULT CProcessManagerDlg::OnRemove(Html::Node*)
{
    EndSelectedProcesses();
    return S_OK;
}

HRESULT CProcessManagerDlg::OnHideSystemPrograms(Html::Node*)
{
    ToggleHideSystemPrograms();
    return S_OK;
}
