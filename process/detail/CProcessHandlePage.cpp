#include "process/detail/CProcessHandlePage.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "core/ExceptionGuard.h"
#include "core/Trace.h"
#include "core/UniqueResource.h"
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

struct PinnedWork {
    HMODULE module;
    std::function<void()> work;
};

DWORD WINAPI RunPinnedWork(void* parameter)
{
    std::unique_ptr<PinnedWork> pinned(static_cast<PinnedWork*>(parameter));
    try {
        System::TraceExceptions(pinned->work);
    } catch (...) {
        System::Diagnostics::Trace::WriteLine(L"CProcessHandlePage: the handle reader ended with an exception.");
    }
    HMODULE module = pinned->module;
    pinned.reset();
    FreeLibraryAndExitThread(module, 0);
}

// Runs work on a thread of its own that nobody waits for. The thread holds the module that holds
// this code loaded until it ends, so closing the console while it still reads cannot unload the
// add-on from under it. Returns the system's error when no thread could be started.
DWORD StartPinnedWork(std::function<void()> work)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&RunPinnedWork),
                            &module))
        return GetLastError();
    auto* pinned = new PinnedWork{module, std::move(work)};
    System::UniqueHandle thread(CreateThread(nullptr, 0, RunPinnedWork, pinned, 0, nullptr));
    if (thread) return ERROR_SUCCESS;
    DWORD error = GetLastError();
    delete pinned;
    FreeLibrary(module);
    return error;
}

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
    if (!list_.SubclassDlgItem(IDC_PROCESS_HANDLE_LIST, this)) {
        System::Diagnostics::Trace::WriteLine(L"CProcessHandlePage: the template has no list control");
        return TRUE;
    }
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
    DWORD error = StartPinnedWork([shared, processId, options] {
        Array<String> names = GetProcessHandleNames(processId, options);
        std::lock_guard<std::mutex> hold(shared->lock);
        shared->names = std::move(names);
        if (shared->page) ::PostMessageW(shared->page, WM_HANDLE_NAMES_READ, 0, 0);
    });
    if (error != ERROR_SUCCESS) {
        // Without a thread the reader runs here; it still gives up on each stuck handle in time.
        System::Diagnostics::Trace::WriteLine(
            String::Format(L"CProcessHandlePage: no worker thread (error %lu)", error));
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
        int top = Margin + std::max(0, listHeight) + 2;
        status->MoveWindow(Margin, top, std::max(0, width - 2 * Margin), StatusHeight - 2);
        status->ShowWindow(reading_ ? SW_SHOW : SW_HIDE);
    }
}
