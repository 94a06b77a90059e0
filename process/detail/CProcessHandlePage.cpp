#include "process/detail/CProcessHandlePage.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "core/ExceptionGuard.h"
#include "core/Thread.h"
#include "process/ProcessInfo.h"
#include "process/detail/ProcessDetailResource.h"

using System::Array;
using System::String;

const wchar_t* const CProcessHandlePage::ReadingText = L"열린 파일과 레지스트리 키를 읽는 중입니다...";

namespace {

constexpr int Margin = 7;
constexpr int StatusHeight = 16;
// WM_USER values belong to the dialog manager (DM_SETDEFID and its kin).
constexpr UINT WM_HANDLE_NAMES_READ = WM_APP + 1;

}  // namespace

struct CProcessHandlePage::Reading {
    std::mutex lock;
    // Null once the page is gone: the worker then drops what it read.
    HWND page = nullptr;
    Array<String> names;
};

BEGIN_MESSAGE_MAP(CProcessHandlePage, CPropertyPage)
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_HANDLE_NAMES_READ, OnNamesRead)
END_MESSAGE_MAP()

CProcessHandlePage::CProcessHandlePage(const ProcessInfo& process, const HandleNameOptions& options)
    : CPropertyPage(IDD_PROCESS_HANDLE_PAGE), process_(process), options_(options)
{
}

CProcessHandlePage::~CProcessHandlePage() { DetachReading(); }

BOOL CProcessHandlePage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (!list_.SubclassDlgItem(IDC_PROCESS_HANDLE_LIST, this)) return TRUE;
    list_.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list_.InsertColumn(0, L"파일 경로", LVCFMT_LEFT, 500);
    StartReading();
    return TRUE;
}

void CProcessHandlePage::StartReading()
{
    reading_ = true;
    SetDlgItemText(IDC_PROCESS_HANDLE_STATUS, ReadingText);
    CRect client;
    GetClientRect(&client);
    Layout(client.Width(), client.Height());

    shared_ = std::make_shared<Reading>();
    shared_->page = m_hWnd;
    std::shared_ptr<Reading> shared = shared_;
    uint32_t processId = process_.GetProcessId();
    HandleNameOptions options = options_;
    System::Threading::Thread worker([shared, processId, options](void*) {
        Array<String> names = GetProcessHandleNames(processId, options);
        std::lock_guard<std::mutex> hold(shared->lock);
        shared->names = std::move(names);
        if (shared->page) ::PostMessageW(shared->page, WM_HANDLE_NAMES_READ, 0, 0);
    });
    // The worker ends on its own once the reader returns; nobody waits for it.
    if (!System::TraceExceptions([&] { worker.Start(); })) {
        shared_->page = nullptr;
        ShowNames(GetProcessHandleNames(processId, options_));
    }
}

LRESULT CProcessHandlePage::OnNamesRead(WPARAM, LPARAM)
{
    if (!shared_) return 0;
    Array<String> names;
    {
        std::lock_guard<std::mutex> hold(shared_->lock);
        names = std::move(shared_->names);
        shared_->page = nullptr;
    }
    shared_.reset();
    ShowNames(names);
    return 0;
}

void CProcessHandlePage::ShowNames(const Array<String>& names)
{
    list_.SetRedraw(FALSE);
    list_.DeleteAllItems();
    for (const String& name : names) list_.InsertItem(list_.GetItemCount(), name.GetBuffer());
    list_.SetRedraw(TRUE);
    list_.Invalidate();
    reading_ = false;
    SetDlgItemText(IDC_PROCESS_HANDLE_STATUS, L"");
    CRect client;
    GetClientRect(&client);
    Layout(client.Width(), client.Height());
}

void CProcessHandlePage::OnDestroy()
{
    DetachReading();
    CPropertyPage::OnDestroy();
}

void CProcessHandlePage::DetachReading()
{
    if (!shared_) return;
    std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->page = nullptr;
}

void CProcessHandlePage::OnSize(UINT type, int width, int height)
{
    CPropertyPage::OnSize(type, width, height);
    Layout(width, height);
}

// The status line shows only while the names are being read; the list takes the rest.
void CProcessHandlePage::Layout(int width, int height)
{
    int listHeight = height - 2 * Margin - (reading_ ? StatusHeight : 0);
    if (list_.m_hWnd) list_.MoveWindow(Margin, Margin, std::max(0, width - 2 * Margin), std::max(0, listHeight));
    if (CWnd* status = GetDlgItem(IDC_PROCESS_HANDLE_STATUS)) {
        status->MoveWindow(Margin, Margin + std::max(0, listHeight) + 2, std::max(0, width - 2 * Margin), StatusHeight - 2);
        status->ShowWindow(reading_ ? SW_SHOW : SW_HIDE);
    }
}
