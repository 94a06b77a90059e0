#include "patch/PatchOperations.h"

#include <atomic>

#include "core/String.h"
#include "core/Trace.h"
#include "patch/AgentCheck.h"
#include "patch/UpdateAgentCallbacks.h"

using System::ComPtr;
using System::String;
using System::Diagnostics::Trace;

namespace {

constexpr UINT NoticeSearchCompleted = WM_USER + 1;
constexpr UINT NoticeDownloadCompleted = WM_USER + 2;
constexpr UINT NoticeDownloadProgress = WM_USER + 3;
constexpr UINT NoticeInstallCompleted = WM_USER + 4;
constexpr UINT NoticeInstallProgress = WM_USER + 5;
const wchar_t NotifyClass[] = L"VelaPatchNotify";
const wchar_t SearchCriteria[] = L"IsInstalled=0 and Type='Software'";

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : value_(SysAllocString(text)) {}
    Bstr() = default;
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return value_; }
    BSTR* Receive()
    {
        SysFreeString(value_);
        value_ = nullptr;
        return &value_;
    }
    std::wstring Text() const { return value_ ? std::wstring(value_, SysStringLen(value_)) : std::wstring(); }

private:
    BSTR value_ = nullptr;
};

HWND WindowOf(const VARIANT& state)
{
    return state.vt == VT_UI4 ? reinterpret_cast<HWND>(static_cast<ULONG_PTR>(state.ulVal)) : nullptr;
}

void PostProgress(IDownloadJob* job, HWND window, UINT notice)
{
    IDownloadProgress* progress = nullptr;
    if (SUCCEEDED(job->GetProgress(&progress)) && progress && !PostMessageW(window, notice, reinterpret_cast<WPARAM>(progress), 0)) {
        progress->Release();
    }
}

void PostProgress(IInstallationJob* job, HWND window, UINT notice)
{
    IInstallationProgress* progress = nullptr;
    if (SUCCEEDED(job->GetProgress(&progress)) && progress && !PostMessageW(window, notice, reinterpret_cast<WPARAM>(progress), 0)) {
        progress->Release();
    }
}

// A callback the agent calls on its own threads: it only reads the job and posts to the window the
// job names. Its count of references is atomic, since the agent holds and lets go of it there.
template <class Interface, class Job, UINT Notice, bool Progress>
class AgentCallback final : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == __uuidof(Interface)) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Invoke(Job* job, IDispatch*) override
    {
        if (!job) return E_POINTER;
        VARIANT state;
        VariantInit(&state);
        if (FAILED(job->get_AsyncState(&state))) return S_OK;
        HWND window = WindowOf(state);
        VariantClear(&state);
        if constexpr (Progress) {
            PostProgress(job, window, Notice);
        } else {
            VARIANT_BOOL completed = VARIANT_FALSE;
            if (SUCCEEDED(job->get_IsCompleted(&completed)) && completed) PostMessageW(window, Notice, 0, 0);
        }
        return S_OK;
    }

private:
    std::atomic<ULONG> references_{1};
};

using CSearchCompletedCallback = AgentCallback<ISearchCompletedCallback, ISearchJob, NoticeSearchCompleted, false>;
using CDownloadProgressChangedCallback = AgentCallback<IDownloadProgressChangedCallback, IDownloadJob, NoticeDownloadProgress, true>;
using CDownloadCompletedCallback = AgentCallback<IDownloadCompletedCallback, IDownloadJob, NoticeDownloadCompleted, false>;
using CInstallationProgressChangedCallback =
    AgentCallback<IInstallationProgressChangedCallback, IInstallationJob, NoticeInstallProgress, true>;
using CInstallationCompletedCallback = AgentCallback<IInstallationCompletedCallback, IInstallationJob, NoticeInstallCompleted, false>;

template <class Callback>
void Hold(ComPtr<IUnknown>& holder)
{
    holder.Attach(static_cast<IUnknown*>(new Callback()));
}

// The module holding the window procedure: the class goes with it when the add-on is unloaded.
HINSTANCE OwnModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&WindowOf), &module);
    return module;
}

// A flag property: false when it cannot be read.
template <class Object, class Getter>
bool Flag(Object* object, Getter getter)
{
    VARIANT_BOOL value = VARIANT_FALSE;
    return object && SUCCEEDED((object->*getter)(&value)) && value == VARIANT_TRUE;
}

unsigned int Low32(const DECIMAL& value) { return value.Lo32; }

}  // namespace

PatchOperations::PatchOperations(HWND target) : target_(target) {}

PatchOperations::~PatchOperations() { ReleaseAll(); }

int PatchOperations::MapResultCode(OperationResultCode code)
{
    switch (code) {
    case orcNotStarted:
        return 1;
    case orcInProgress:
        return 3;
    case orcSucceeded:
        return 0;
    case orcSucceededWithErrors:
        return 4;
    case orcFailed:
        return 1;
    case orcAborted:
        return 2;
    default:
        return -1;
    }
}

int PatchOperations::InitializeUpdateSession(const wchar_t* clientId)
{
    if (!comInitialized_) comInitialized_ = SUCCEEDED(CoInitialize(nullptr));
    if (!session_) {
        HRESULT result = CoCreateInstance(UpdateAgentIds::UpdateSession, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IUpdateSession),
                                          reinterpret_cast<void**>(session_.Receive()));
        if (FAILED(result) || !session_) {
            Trace::WriteLine(String::Format(L"InitializeUpdateSession: no session (0x%08lX)", static_cast<unsigned long>(result)));
            return -3;
        }
        Bstr id(clientId);
        session_->put_ClientApplicationID(id.Get());
    }
    if (!notifyWindow_) {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &PatchOperations::NotifyProc;
        windowClass.hInstance = OwnModule();
        windowClass.lpszClassName = NotifyClass;
        RegisterClassExW(&windowClass);
        notifyWindow_ = CreateWindowExW(0, NotifyClass, L"NotifyWnd", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
        if (!notifyWindow_) {
            Trace::WriteLine(String::Format(L"InitializeUpdateSession: no NotifyWnd (error %lu)", GetLastError()));
            return -3;
        }
        SetWindowLongPtrW(notifyWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    return 0;
}

VARIANT PatchOperations::State() const
{
    VARIANT state;
    VariantInit(&state);
    state.vt = VT_UI4;
    state.ulVal = static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(notifyWindow_));
    return state;
}

void PatchOperations::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (target_) SendMessageW(target_, message, wParam, lParam);
}

LRESULT CALLBACK PatchOperations::NotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<PatchOperations*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case NoticeSearchCompleted:
        if (self) self->OnSearchCompleted();
        return 0;
    case NoticeDownloadCompleted:
        if (self) self->OnDownloadCompleted();
        return 0;
    case NoticeInstallCompleted:
        if (self) self->OnInstallCompleted();
        return 0;
    case NoticeDownloadProgress: {
        ComPtr<IDownloadProgress> progress;
        progress.Attach(reinterpret_cast<IDownloadProgress*>(wParam));
        if (self) self->OnDownloadProgress(progress.Get());
        return 0;
    }
    case NoticeInstallProgress: {
        ComPtr<IInstallationProgress> progress;
        progress.Attach(reinterpret_cast<IInstallationProgress*>(wParam));
        if (self) self->OnInstallProgress(progress.Get());
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool PatchOperations::SearchPatch()
{
    Trace::WriteLine(L"SearchPatch()");
    records_.clear();
    ReleaseSearch();
    if (!session_ || FAILED(session_->CreateUpdateSearcher(searcher_.Receive())) || !searcher_) {
        Trace::WriteLine(L"SearchUpdates error");
        return false;
    }
    searcher_->put_ServerSelection(ssWindowsUpdate);
    searcher_->put_CanAutomaticallyUpgradeService(VARIANT_TRUE);
    searcher_->put_IncludePotentiallySupersededUpdates(VARIANT_FALSE);
    Hold<CSearchCompletedCallback>(searchCallback_);
    Bstr criteria(SearchCriteria);
    HRESULT result = searcher_->BeginSearch(criteria.Get(), searchCallback_.Get(), State(), searchJob_.Receive());
    if (FAILED(result) || !searchJob_) {
        Trace::WriteLine(String::Format(L"SearchUpdates error (0x%08lX)", static_cast<unsigned long>(result)));
        ReleaseSearch();
        return false;
    }
    return true;
}

void PatchOperations::OnSearchCompleted()
{
    if (!searcher_ || !searchJob_) return;
    HRESULT ended = searcher_->EndSearch(searchJob_.Get(), searchResult_.Receive());
    searchJob_->CleanUp();
    searchJob_.Reset();
    searchCallback_.Reset();
    int result = -1;
    if (SUCCEEDED(ended) && searchResult_) {
        searchResult_->get_Updates(updates_.Receive());
        OperationResultCode code = orcFailed;
        searchResult_->get_ResultCode(&code);
        result = MapResultCode(code);
        ReadRecords();
    }
    searcher_.Reset();
    Trace::WriteLine(L"PatchCallback()");
    Send(WM_SEARCH_DONE, static_cast<WPARAM>(result), 0);
}

int PatchOperations::GetUpdateCount() const { return static_cast<int>(records_.size()); }

void PatchOperations::ReadRecords()
{
    records_.clear();
    LONG count = 0;
    if (!updates_ || FAILED(updates_->get_Count(&count))) count = 0;
    indexMap_.assign(static_cast<size_t>(count), -1);
    if (count > MaxRecords) {
        Trace::WriteLine(String::Format(L"SetPatchList: %ld updates found, the first %d are listed", static_cast<long>(count), MaxRecords));
        count = MaxRecords;
    }
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IUpdate> update;
        if (FAILED(updates_->get_Item(i, update.Receive())) || !update) break;
        PatchRecord record;
        record.index = static_cast<int>(i);
        record.autoSelect = Flag(update.Get(), &IUpdate::get_AutoSelectOnWebSites);
        record.mandatory = Flag(update.Get(), &IUpdate::get_IsMandatory);
        record.downloaded = Flag(update.Get(), &IUpdate::get_IsDownloaded);
        Bstr text;
        if (SUCCEEDED(update->get_Title(text.Receive()))) record.title = text.Text();
        if (SUCCEEDED(update->get_Description(text.Receive()))) record.description = text.Text();
        if (SUCCEEDED(update->get_EulaText(text.Receive()))) record.eula = text.Text();
        if (SUCCEEDED(update->get_SupportUrl(text.Receive()))) record.supportUrl = text.Text();
        ComPtr<IUpdateIdentity> identity;
        if (SUCCEEDED(update->get_Identity(identity.Receive())) && identity && SUCCEEDED(identity->get_UpdateID(text.Receive()))) {
            record.updateId = text.Text();
        }
        DECIMAL size = {};
        if (SUCCEEDED(update->get_MaxDownloadSize(&size))) record.size = Low32(size);
        UpdateType type = utSoftware;
        if (SUCCEEDED(update->get_Type(&type))) record.type = type;
        ComPtr<IInstallationBehavior> behavior;
        if (SUCCEEDED(update->get_InstallationBehavior(behavior.Receive())) && behavior) {
            InstallationImpact impact = iiNormal;
            if (SUCCEEDED(behavior->get_Impact(&impact))) record.impact = impact;
            InstallationRebootBehavior reboot = irbNeverReboots;
            if (SUCCEEDED(behavior->get_RebootBehavior(&reboot))) record.rebootBehavior = reboot;
            record.userInput = Flag(behavior.Get(), &IInstallationBehavior::get_CanRequestUserInput);
        }
        ComPtr<IStringCollection> articles;
        LONG articleCount = 0;
        if (SUCCEEDED(update->get_KBArticleIDs(articles.Receive())) && articles && SUCCEEDED(articles->get_Count(&articleCount))) {
            for (LONG a = 0; a < articleCount; ++a) {
                if (FAILED(articles->get_Item(a, text.Receive()))) continue;
                if (!record.articles.empty()) record.articles += L",";
                record.articles += text.Text();
            }
        }
        records_.push_back(std::move(record));
    }
}

bool PatchOperations::AcceptEula(int record)
{
    ComPtr<IUpdate> update;
    return updates_ && SUCCEEDED(updates_->get_Item(record, update.Receive())) && update && SUCCEEDED(update->AcceptEula());
}

bool PatchOperations::StartDownload(const std::vector<int>& records)
{
    Trace::WriteLine(L"DownloadPatch()");
    ReleaseDownload();
    downloadResult_.Reset();
    if (!session_ || !updates_ || records.empty()) {
        Trace::WriteLine(L"DownloadUpdates error");
        return false;
    }
    // Only asked to start: waiting for it here would freeze the window, and the agent waits itself.
    AgentCheck::StartServiceAndWait(L"BITS", 0);
    if (FAILED(CoCreateInstance(UpdateAgentIds::UpdateCollection, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IUpdateCollection),
                                reinterpret_cast<void**>(downloadCollection_.Receive())))) {
        Trace::WriteLine(L"DownloadUpdates error: no update collection");
        return false;
    }
    std::fill(indexMap_.begin(), indexMap_.end(), -1);
    LONG position = 0;
    for (int index = 0; index < static_cast<int>(indexMap_.size()); ++index) {
        bool selected = false;
        for (int record : records) selected = selected || record == index;
        ComPtr<IUpdate> update;
        LONG added = 0;
        if (!selected || FAILED(updates_->get_Item(index, update.Receive())) || FAILED(downloadCollection_->Add(update.Get(), &added))) continue;
        indexMap_[static_cast<size_t>(index)] = position++;
    }
    if (position == 0 || FAILED(session_->CreateUpdateDownloader(downloader_.Receive())) || !downloader_) {
        Trace::WriteLine(L"DownloadUpdates error");
        return false;
    }
    downloader_->put_Updates(downloadCollection_.Get());
    reported_ = 0;
    lastTotals_ = DownloadTotals{0, 0, 0};
    Hold<CDownloadProgressChangedCallback>(progressCallback_);
    Hold<CDownloadCompletedCallback>(completedCallback_);
    HRESULT result = downloader_->BeginDownload(progressCallback_.Get(), completedCallback_.Get(), State(), downloadJob_.Receive());
    if (FAILED(result) || !downloadJob_) {
        Trace::WriteLine(String::Format(L"DownloadUpdates error (0x%08lX)", static_cast<unsigned long>(result)));
        ReleaseDownload();
        return false;
    }
    return true;
}

int PatchOperations::RecordAt(LONG position) const
{
    for (size_t i = 0; i < indexMap_.size(); ++i) {
        if (indexMap_[i] == position) return static_cast<int>(i);
    }
    Trace::WriteLine(L"INDEX ERROR!!!!!");
    return -1;
}

void PatchOperations::ReportDownload(LONG position, int result, unsigned int bytes, unsigned int total, int currentPercent,
                                     const DownloadTotals& totals)
{
    int record = RecordAt(position);
    if (record < 0) return;
    downloadRecord_ = DownloadProgressRecord();
    downloadRecord_.result = result;
    downloadRecord_.index = record;
    downloadRecord_.currentBytes = bytes;
    downloadRecord_.currentTotal = total;
    downloadRecord_.bytes = totals.bytes;
    downloadRecord_.total = totals.total;
    downloadRecord_.currentPercent = currentPercent;
    downloadRecord_.percent = totals.percent;
    Trace::WriteLine(String::Format(L"downcb %d %d %d %d %d %d %d %d", result, record, bytes, total, downloadRecord_.bytes,
                                    downloadRecord_.total, currentPercent, totals.percent));
    Send(WM_PROGRESS, reinterpret_cast<WPARAM>(&downloadRecord_), 0);
}

void PatchOperations::OnDownloadProgress(IDownloadProgress* progress)
{
    LONG current = 0, currentPercent = 0, percent = 0;
    DECIMAL bytes = {}, total = {}, allBytes = {}, allTotal = {};
    if (!progress || FAILED(progress->get_CurrentUpdateIndex(&current))) return;
    progress->get_CurrentUpdateBytesDownloaded(&bytes);
    progress->get_CurrentUpdateBytesToDownload(&total);
    progress->get_TotalBytesDownloaded(&allBytes);
    progress->get_TotalBytesToDownload(&allTotal);
    progress->get_CurrentUpdatePercentComplete(&currentPercent);
    progress->get_PercentComplete(&percent);
    DownloadTotals totals{Low32(allBytes), Low32(allTotal), static_cast<int>(percent)};
    lastTotals_ = totals;
    auto resultOf = [&](LONG position) {
        ComPtr<IUpdateDownloadResult> result;
        OperationResultCode code = orcInProgress;
        if (SUCCEEDED(progress->GetUpdateResult(position, result.Receive())) && result) result->get_ResultCode(&code);
        return MapResultCode(code);
    };
    for (LONG position = reported_; position < current; ++position) ReportDownload(position, resultOf(position), 1, 1, 100, totals);
    ReportDownload(current, resultOf(current), Low32(bytes), Low32(total), currentPercent, totals);
    reported_ = current;
}

void PatchOperations::OnDownloadCompleted()
{
    if (!downloader_ || !downloadJob_) return;
    HRESULT ended = downloader_->EndDownload(downloadJob_.Get(), downloadResult_.Receive());
    downloadJob_->CleanUp();
    downloadJob_.Reset();
    progressCallback_.Reset();
    completedCallback_.Reset();
    int result = -1;
    LONG count = 0;
    if (SUCCEEDED(ended) && downloadResult_) {
        if (downloadCollection_ && SUCCEEDED(downloadCollection_->get_Count(&count)) && count > 0) {
            for (LONG position = reported_; position < count; ++position) {
                ComPtr<IUpdateDownloadResult> each;
                OperationResultCode eachCode = orcFailed;
                if (SUCCEEDED(downloadResult_->GetUpdateResult(position, each.Receive())) && each) each->get_ResultCode(&eachCode);
                ReportDownload(position, MapResultCode(eachCode), 1, 1, 100, DownloadTotals{lastTotals_.total, lastTotals_.total, 100});
            }
        }
        OperationResultCode code = orcFailed;
        downloadResult_->get_ResultCode(&code);
        result = MapResultCode(code);
    }
    downloader_.Reset();
    Trace::WriteLine(L"PatchCallback()");
    Send(WM_DOWNLOAD_DONE, static_cast<WPARAM>(result), 0);
}

bool PatchOperations::InstallPatch()
{
    Trace::WriteLine(L"InstallPatch()");
    ReleaseInstall();
    installResult_.Reset();
    if (!session_ || !downloadResult_ || !downloadCollection_) {
        Trace::WriteLine(L"InstallUpdates error");
        return false;
    }
    AgentCheck::StartServiceAndWait(L"SRService", 0);
    if (FAILED(session_->CreateUpdateInstaller(installer_.Receive())) || !installer_) {
        Trace::WriteLine(L"InstallUpdates error");
        return false;
    }
    bool rebootFirst = Flag(installer_.Get(), &IUpdateInstaller::get_RebootRequiredBeforeInstallation);
    bool busy = Flag(installer_.Get(), &IUpdateInstaller::get_IsBusy);
    if (rebootFirst || busy) {
        Trace::WriteLine(rebootFirst ? L"InstallUpdates error: restart required first" : L"InstallUpdates error: installer busy");
        installer_.Reset();
        return false;
    }
    installer_->put_Updates(downloadCollection_.Get());
    reported_ = 0;
    Hold<CInstallationProgressChangedCallback>(progressCallback_);
    Hold<CInstallationCompletedCallback>(completedCallback_);
    HRESULT result = installer_->BeginInstall(progressCallback_.Get(), completedCallback_.Get(), State(), installJob_.Receive());
    if (FAILED(result) || !installJob_) {
        Trace::WriteLine(String::Format(L"InstallUpdates error (0x%08lX)", static_cast<unsigned long>(result)));
        ReleaseInstall();
        return false;
    }
    return true;
}

void PatchOperations::ReportInstall(LONG position, int result, int currentPercent, int percent)
{
    int record = RecordAt(position);
    if (record < 0) return;
    installRecord_ = InstallProgressRecord();
    installRecord_.result = result;
    installRecord_.index = record;
    installRecord_.currentPercent = currentPercent;
    installRecord_.percent = percent;
    Trace::WriteLine(String::Format(L"instcb %d %d %d %d", result, record, currentPercent, percent));
    Send(WM_PROGRESS, reinterpret_cast<WPARAM>(&installRecord_), 1);
}

void PatchOperations::OnInstallProgress(IInstallationProgress* progress)
{
    LONG current = 0, currentPercent = 0, percent = 0;
    if (!progress || FAILED(progress->get_CurrentUpdateIndex(&current))) return;
    progress->get_CurrentUpdatePercentComplete(&currentPercent);
    progress->get_PercentComplete(&percent);
    auto resultOf = [&](LONG position) {
        ComPtr<IUpdateInstallationResult> result;
        OperationResultCode code = orcInProgress;
        if (SUCCEEDED(progress->GetUpdateResult(position, result.Receive())) && result) result->get_ResultCode(&code);
        return MapResultCode(code);
    };
    for (LONG position = reported_; position < current; ++position) ReportInstall(position, resultOf(position), 100, percent);
    ReportInstall(current, resultOf(current), currentPercent, percent);
    reported_ = current;
}

void PatchOperations::OnInstallCompleted()
{
    if (!installer_ || !installJob_) return;
    HRESULT ended = installer_->EndInstall(installJob_.Get(), installResult_.Receive());
    installJob_->CleanUp();
    installJob_.Reset();
    progressCallback_.Reset();
    completedCallback_.Reset();
    int result = -1;
    LONG count = 0;
    if (SUCCEEDED(ended) && installResult_) {
        if (downloadCollection_ && SUCCEEDED(downloadCollection_->get_Count(&count))) {
            for (LONG position = reported_; position < count; ++position) {
                ComPtr<IUpdateInstallationResult> each;
                OperationResultCode code = orcFailed;
                if (SUCCEEDED(installResult_->GetUpdateResult(position, each.Receive())) && each) each->get_ResultCode(&code);
                ReportInstall(position, MapResultCode(code), 100, 100);
            }
        }
        OperationResultCode code = orcFailed;
        installResult_->get_ResultCode(&code);
        result = MapResultCode(code);
    }
    installer_.Reset();
    Trace::WriteLine(L"PatchCallback()");
    Send(WM_INSTALL_DONE, static_cast<WPARAM>(result), 0);
}

bool PatchOperations::AbortSearch()
{
    if (!searchJob_ || FAILED(searchJob_->RequestAbort())) {
        Trace::WriteLine(L"AbortAsyncSearch error");
        return false;
    }
    return true;
}

bool PatchOperations::AbortDownload() { return downloadJob_ && SUCCEEDED(downloadJob_->RequestAbort()); }

bool PatchOperations::AbortInstall() { return installJob_ && SUCCEEDED(installJob_->RequestAbort()); }

int PatchOperations::IsRebootPending()
{
    ComPtr<ISystemInformation> information;
    if (FAILED(CoCreateInstance(UpdateAgentIds::SystemInformation, nullptr, CLSCTX_INPROC_SERVER, __uuidof(ISystemInformation),
                                reinterpret_cast<void**>(information.Receive())))) {
        return -1;
    }
    VARIANT_BOOL pending = VARIANT_FALSE;
    if (FAILED(information->get_RebootRequired(&pending))) return -1;
    return pending == VARIANT_TRUE ? 1 : 0;
}

bool PatchOperations::IsRebootRequired()
{
    return Flag(installResult_.Get(), &IInstallationResult::get_RebootRequired);
}

void PatchOperations::ReleaseSearch()
{
    if (searchJob_) {
        searchJob_->RequestAbort();
        searchJob_->CleanUp();
    }
    searchJob_.Reset();
    searchCallback_.Reset();
    searchResult_.Reset();
    updates_.Reset();
    searcher_.Reset();
}

void PatchOperations::ReleaseDownload()
{
    if (downloadJob_) {
        downloadJob_->RequestAbort();
        downloadJob_->CleanUp();
    }
    downloadJob_.Reset();
    progressCallback_.Reset();
    completedCallback_.Reset();
    downloader_.Reset();
    downloadCollection_.Reset();
}

void PatchOperations::ReleaseInstall()
{
    if (installJob_) {
        installJob_->RequestAbort();
        installJob_->CleanUp();
    }
    installJob_.Reset();
    progressCallback_.Reset();
    completedCallback_.Reset();
    installer_.Reset();
}

void PatchOperations::ReleaseAll()
{
    ReleaseInstall();
    installResult_.Reset();
    ReleaseDownload();
    downloadResult_.Reset();
    ReleaseSearch();
    records_.clear();
    indexMap_.clear();
    if (notifyWindow_) {
        // Progress objects still queued hold references of the agent.
        MSG message;
        while (PeekMessageW(&message, notifyWindow_, NoticeDownloadProgress, NoticeDownloadProgress, PM_REMOVE)) {
            reinterpret_cast<IUnknown*>(message.wParam)->Release();
        }
        while (PeekMessageW(&message, notifyWindow_, NoticeInstallProgress, NoticeInstallProgress, PM_REMOVE)) {
            reinterpret_cast<IUnknown*>(message.wParam)->Release();
        }
        DestroyWindow(notifyWindow_);
        notifyWindow_ = nullptr;
        UnregisterClassW(NotifyClass, OwnModule());
    }
    session_.Reset();
    if (comInitialized_) CoUninitialize();
    comInitialized_ = false;
}
