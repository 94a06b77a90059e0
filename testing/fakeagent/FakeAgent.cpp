// The fake update agent: an in-process COM server answering under the agent's class ids from a
// scenario file (Scenario.h), for tests and the Wine demo only. Like the real agent it runs every
// search, download and installation on a thread of its own and calls the caller's callbacks there.
#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "patch/UpdateAgentCallbacks.h"
#include "testing/fakeagent/AgentDefaults.h"
#include "testing/fakeagent/Scenario.h"

namespace FakeAgent {

namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
HMODULE g_module = nullptr;

// The agent's answers to a call out of order, and to a pass without updates.
constexpr HRESULT IllegalMethodCall = static_cast<HRESULT>(0x8000000E);
constexpr HRESULT NoUpdate = static_cast<HRESULT>(0x80240024);

// Holds one reference; the fake's own small twin of the core's holder, so that the DLL links
// nothing of the suite.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* pointer) : pointer_(pointer)
    {
        if (pointer_) pointer_->AddRef();
    }
    Ref(const Ref& other) : Ref(other.pointer_) {}
    Ref& operator=(const Ref& other)
    {
        Ref copy(other);
        std::swap(pointer_, copy.pointer_);
        return *this;
    }
    ~Ref()
    {
        if (pointer_) pointer_->Release();
    }
    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Takes over a reference that the caller already holds.
    static Ref Adopt(T* pointer)
    {
        Ref ref;
        ref.pointer_ = pointer;
        return ref;
    }

private:
    T* pointer_ = nullptr;
};

template <class Defaults>
class ComObject : public Defaults {
public:
    using Interface = typename Defaults::Interface;

    ComObject() { ++g_objects; }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface)) {
            *out = static_cast<Interface*>(this);
            this->AddRef();
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
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

protected:
    virtual ~ComObject() { --g_objects; }

private:
    std::atomic<ULONG> references_{1};
};

// Hands a new object out through an out pointer: the caller gets the one reference it was born with.
template <class Object, class Interface>
HRESULT Give(Object* object, Interface** out)
{
    if (!out) {
        object->Release();
        return E_POINTER;
    }
    *out = object;
    return S_OK;
}

template <class Interface>
HRESULT Share(Interface* object, Interface** out)
{
    if (!out) return E_POINTER;
    *out = object;
    if (object) object->AddRef();
    return S_OK;
}

HRESULT GiveText(const std::wstring& text, BSTR* out)
{
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT GiveFlag(bool value, VARIANT_BOOL* out)
{
    if (!out) return E_POINTER;
    *out = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

template <class T, class V>
HRESULT GiveValue(V value, T* out)
{
    if (!out) return E_POINTER;
    *out = static_cast<T>(value);
    return S_OK;
}

HRESULT GiveDecimal(long long value, DECIMAL* out)
{
    if (!out) return E_POINTER;
    return VarDecFromI8(value, out);
}

DWORD WINAPI RunAgentThread(LPVOID parameter)
{
    auto* job = static_cast<std::function<void()>*>(parameter);
    (*job)();
    delete job;
    FreeLibraryAndExitThread(g_module, 0);
}

// Runs work on a new thread that keeps this DLL loaded until it has ended.
bool StartAgentThread(std::function<void()> work)
{
    HMODULE pinned = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&StartAgentThread), &pinned)) {
        return false;
    }
    auto* task = new std::function<void()>(std::move(work));
    HANDLE thread = CreateThread(nullptr, 0, &RunAgentThread, task, 0, nullptr);
    if (!thread) {
        delete task;
        FreeLibrary(pinned);
        return false;
    }
    CloseHandle(thread);
    return true;
}

// Sleeps for milliseconds (-1: until aborted) in short steps; false when aborted meanwhile.
bool Pause(int milliseconds, const std::atomic<bool>& abort)
{
    ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds < 0 ? 0 : milliseconds);
    while (!abort) {
        if (milliseconds >= 0 && GetTickCount64() >= end) return true;
        Sleep(5);
    }
    return false;
}

class FakeStrings : public ComObject<StringCollectionDefaults> {
public:
    explicit FakeStrings(std::vector<std::wstring> items) : items_(std::move(items)) {}
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, BSTR* out) override
    {
        if (index < 0 || index >= static_cast<LONG>(items_.size())) return E_INVALIDARG;
        return GiveText(items_[index], out);
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* out) override { return GiveValue(items_.size(), out); }
    HRESULT STDMETHODCALLTYPE get_ReadOnly(VARIANT_BOOL* out) override { return GiveFlag(true, out); }

private:
    std::vector<std::wstring> items_;
};

class FakeIdentity : public ComObject<UpdateIdentityDefaults> {
public:
    explicit FakeIdentity(std::wstring id) : id_(std::move(id)) {}
    HRESULT STDMETHODCALLTYPE get_UpdateID(BSTR* out) override { return GiveText(id_, out); }
    HRESULT STDMETHODCALLTYPE get_RevisionNumber(LONG* out) override { return GiveValue(1, out); }

private:
    std::wstring id_;
};

class FakeBehavior : public ComObject<InstallationBehaviorDefaults> {
public:
    explicit FakeBehavior(const ScenarioUpdate& update) : update_(update) {}
    HRESULT STDMETHODCALLTYPE get_Impact(InstallationImpact* out) override { return GiveValue(update_.impact, out); }
    HRESULT STDMETHODCALLTYPE get_RebootBehavior(InstallationRebootBehavior* out) override
    {
        return GiveValue(update_.rebootBehavior, out);
    }
    HRESULT STDMETHODCALLTYPE get_CanRequestUserInput(VARIANT_BOOL* out) override { return GiveFlag(update_.userInput, out); }

private:
    ScenarioUpdate update_;
};

class FakeUpdate : public ComObject<UpdateDefaults> {
public:
    explicit FakeUpdate(const ScenarioUpdate& update) : update_(update) {}
    const ScenarioUpdate& Fields() const { return update_; }
    bool IsEulaAccepted() const { return eulaAccepted_; }

    HRESULT STDMETHODCALLTYPE get_Title(BSTR* out) override { return GiveText(update_.title, out); }
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* out) override { return GiveText(update_.description, out); }
    HRESULT STDMETHODCALLTYPE get_EulaText(BSTR* out) override { return GiveText(update_.eula, out); }
    HRESULT STDMETHODCALLTYPE get_SupportUrl(BSTR* out) override { return GiveText(update_.supportUrl, out); }
    HRESULT STDMETHODCALLTYPE get_AutoSelectOnWebSites(VARIANT_BOOL* out) override { return GiveFlag(update_.autoSelect, out); }
    HRESULT STDMETHODCALLTYPE get_IsMandatory(VARIANT_BOOL* out) override { return GiveFlag(update_.mandatory, out); }
    HRESULT STDMETHODCALLTYPE get_IsDownloaded(VARIANT_BOOL* out) override { return GiveFlag(update_.downloaded, out); }
    HRESULT STDMETHODCALLTYPE get_EulaAccepted(VARIANT_BOOL* out) override
    {
        return GiveFlag(update_.eula.empty() || eulaAccepted_, out);
    }
    HRESULT STDMETHODCALLTYPE get_Type(UpdateType* out) override { return GiveValue(update_.type, out); }
    HRESULT STDMETHODCALLTYPE get_MaxDownloadSize(DECIMAL* out) override { return GiveDecimal(update_.size, out); }
    HRESULT STDMETHODCALLTYPE get_Identity(IUpdateIdentity** out) override { return Give(new FakeIdentity(update_.id), out); }
    HRESULT STDMETHODCALLTYPE get_InstallationBehavior(IInstallationBehavior** out) override
    {
        return Give(new FakeBehavior(update_), out);
    }
    HRESULT STDMETHODCALLTYPE get_KBArticleIDs(IStringCollection** out) override { return Give(new FakeStrings(update_.articles), out); }
    HRESULT STDMETHODCALLTYPE AcceptEula() override
    {
        eulaAccepted_ = true;
        return S_OK;
    }

private:
    ScenarioUpdate update_;
    std::atomic<bool> eulaAccepted_{false};
};

class FakeUpdateCollection : public ComObject<UpdateCollectionDefaults> {
public:
    FakeUpdateCollection() = default;
    explicit FakeUpdateCollection(std::vector<Ref<IUpdate>> items) : items_(std::move(items)) {}
    const std::vector<Ref<IUpdate>>& Items() const { return items_; }

    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IUpdate** out) override
    {
        if (index < 0 || index >= static_cast<LONG>(items_.size())) return E_INVALIDARG;
        return Share(items_[index].Get(), out);
    }
    HRESULT STDMETHODCALLTYPE put_Item(LONG index, IUpdate* value) override
    {
        if (index < 0 || index >= static_cast<LONG>(items_.size()) || !value) return E_INVALIDARG;
        items_[index] = Ref<IUpdate>(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* out) override { return GiveValue(items_.size(), out); }
    HRESULT STDMETHODCALLTYPE get_ReadOnly(VARIANT_BOOL* out) override { return GiveFlag(false, out); }
    HRESULT STDMETHODCALLTYPE Add(IUpdate* value, LONG* out) override
    {
        if (!value) return E_INVALIDARG;
        items_.emplace_back(value);
        if (out) *out = static_cast<LONG>(items_.size() - 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clear() override
    {
        items_.clear();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Insert(LONG index, IUpdate* value) override
    {
        if (index < 0 || index > static_cast<LONG>(items_.size()) || !value) return E_INVALIDARG;
        items_.insert(items_.begin() + index, Ref<IUpdate>(value));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RemoveAt(LONG index) override
    {
        if (index < 0 || index >= static_cast<LONG>(items_.size())) return E_INVALIDARG;
        items_.erase(items_.begin() + index);
        return S_OK;
    }

private:
    std::vector<Ref<IUpdate>> items_;
};

// The updates of a collection handed to a downloader or installer, as its own copy.
std::vector<Ref<IUpdate>> CopyUpdates(IUpdateCollection* collection)
{
    std::vector<Ref<IUpdate>> updates;
    LONG count = 0;
    if (!collection || FAILED(collection->get_Count(&count))) return updates;
    for (LONG i = 0; i < count; ++i) {
        IUpdate* update = nullptr;
        if (SUCCEEDED(collection->get_Item(i, &update)) && update) updates.push_back(Ref<IUpdate>::Adopt(update));
    }
    return updates;
}

const ScenarioUpdate* FieldsOf(IUpdate* update)
{
    auto* fake = dynamic_cast<FakeUpdate*>(update);
    return fake ? &fake->Fields() : nullptr;
}

// The operation result of a whole pass from the results of its updates.
int OverallResult(const std::vector<int>& results, bool aborted)
{
    if (aborted) return orcAborted;
    bool anySucceeded = false, anyFailed = false;
    for (int result : results) {
        if (result == orcSucceeded || result == orcSucceededWithErrors) anySucceeded = true;
        else anyFailed = true;
    }
    if (!anyFailed) return orcSucceeded;
    return anySucceeded ? orcSucceededWithErrors : orcFailed;
}

class FakeSearchJob : public ComObject<SearchJobDefaults> {
public:
    FakeSearchJob(const VARIANT& state, ISearchCompletedCallback* callback) : callback_(callback)
    {
        VariantInit(&state_);
        VariantCopy(&state_, const_cast<VARIANT*>(&state));
    }
    ~FakeSearchJob() override { VariantClear(&state_); }

    HRESULT STDMETHODCALLTYPE get_AsyncState(VARIANT* out) override
    {
        if (!out) return E_POINTER;
        VariantInit(out);
        return VariantCopy(out, &state_);
    }
    HRESULT STDMETHODCALLTYPE get_IsCompleted(VARIANT_BOOL* out) override { return GiveFlag(completed_, out); }
    HRESULT STDMETHODCALLTYPE CleanUp() override
    {
        std::lock_guard<std::mutex> guard(lock_);
        callback_ = Ref<ISearchCompletedCallback>();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RequestAbort() override
    {
        abort_ = true;
        return S_OK;
    }

    void Run(const Scenario& scenario)
    {
        aborted_ = !Pause(scenario.searchDelay, abort_);
        completed_ = true;
        Ref<ISearchCompletedCallback> callback;
        {
            std::lock_guard<std::mutex> guard(lock_);
            callback = callback_;
        }
        if (callback) callback->Invoke(this, nullptr);
    }
    bool IsCompleted() const { return completed_; }
    bool WasAborted() const { return aborted_; }

private:
    VARIANT state_;
    std::mutex lock_;
    Ref<ISearchCompletedCallback> callback_;
    std::atomic<bool> completed_{false};
    std::atomic<bool> abort_{false};
    std::atomic<bool> aborted_{false};
};

class FakeSearchResult : public ComObject<SearchResultDefaults> {
public:
    FakeSearchResult(int result, IUpdateCollection* updates) : result_(result), updates_(updates) {}
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode* out) override { return GiveValue(result_, out); }
    HRESULT STDMETHODCALLTYPE get_Updates(IUpdateCollection** out) override { return Share(updates_.Get(), out); }

private:
    int result_;
    Ref<IUpdateCollection> updates_;
};

class FakeSearcher : public ComObject<UpdateSearcherDefaults> {
public:
    explicit FakeSearcher(std::shared_ptr<const Scenario> scenario) : scenario_(std::move(scenario)) {}
    HRESULT STDMETHODCALLTYPE put_ServerSelection(ServerSelection) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE put_CanAutomaticallyUpgradeService(VARIANT_BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE put_IncludePotentiallySupersededUpdates(VARIANT_BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE BeginSearch(BSTR, IUnknown* onCompleted, VARIANT state, ISearchJob** out) override
    {
        if (!out) return E_POINTER;
        if (FAILED(scenario_->searchBegin)) return scenario_->searchBegin;
        ISearchCompletedCallback* callback = nullptr;
        if (!onCompleted || FAILED(onCompleted->QueryInterface(__uuidof(ISearchCompletedCallback), reinterpret_cast<void**>(&callback)))) {
            return E_INVALIDARG;
        }
        auto job = Ref<FakeSearchJob>::Adopt(new FakeSearchJob(state, callback));
        callback->Release();
        auto scenario = scenario_;
        if (!StartAgentThread([job, scenario] { job->Run(*scenario); })) return E_OUTOFMEMORY;
        return Share<ISearchJob>(job.Get(), out);
    }
    HRESULT STDMETHODCALLTYPE EndSearch(ISearchJob* job, ISearchResult** out) override
    {
        auto* fake = dynamic_cast<FakeSearchJob*>(job);
        if (!fake || !out) return E_INVALIDARG;
        if (!fake->IsCompleted()) return IllegalMethodCall;
        std::vector<Ref<IUpdate>> updates;
        int result = fake->WasAborted() ? orcAborted : scenario_->searchResult;
        if (result == orcSucceeded || result == orcSucceededWithErrors) {
            for (const ScenarioUpdate& update : scenario_->updates) updates.push_back(Ref<IUpdate>::Adopt(new FakeUpdate(update)));
        }
        auto collection = Ref<IUpdateCollection>::Adopt(new FakeUpdateCollection(std::move(updates)));
        return Give(new FakeSearchResult(result, collection.Get()), out);
    }

private:
    std::shared_ptr<const Scenario> scenario_;
};

// Progress of a download or installation as it stood when asked.
struct Snapshot {
    long current = 0;
    long long currentBytes = 0;
    long long currentTotal = 0;
    long long bytes = 0;
    long long total = 0;
    long currentPercent = 0;
    long percent = 0;
    std::vector<int> results;
    std::vector<bool> rebootRequired;
};

class FakeUpdateDownloadResult : public ComObject<UpdateDownloadResultDefaults> {
public:
    explicit FakeUpdateDownloadResult(int result) : result_(result) {}
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode* out) override { return GiveValue(result_, out); }
    HRESULT STDMETHODCALLTYPE get_HResult(LONG* out) override { return GiveValue(result_ == orcFailed ? E_FAIL : S_OK, out); }

private:
    int result_;
};

class FakeUpdateInstallationResult : public ComObject<UpdateInstallationResultDefaults> {
public:
    FakeUpdateInstallationResult(int result, bool reboot) : result_(result), reboot_(reboot) {}
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode* out) override { return GiveValue(result_, out); }
    HRESULT STDMETHODCALLTYPE get_HResult(LONG* out) override { return GiveValue(result_ == orcFailed ? E_FAIL : S_OK, out); }
    HRESULT STDMETHODCALLTYPE get_RebootRequired(VARIANT_BOOL* out) override { return GiveFlag(reboot_, out); }

private:
    int result_;
    bool reboot_;
};

int ResultAt(const Snapshot& snapshot, LONG index)
{
    return index >= 0 && index < static_cast<LONG>(snapshot.results.size()) ? snapshot.results[index] : -1;
}

class FakeDownloadProgress : public ComObject<DownloadProgressDefaults> {
public:
    explicit FakeDownloadProgress(Snapshot snapshot) : s_(std::move(snapshot)) {}
    HRESULT STDMETHODCALLTYPE get_CurrentUpdateIndex(LONG* out) override { return GiveValue(s_.current, out); }
    HRESULT STDMETHODCALLTYPE get_CurrentUpdateBytesDownloaded(DECIMAL* out) override { return GiveDecimal(s_.currentBytes, out); }
    HRESULT STDMETHODCALLTYPE get_CurrentUpdateBytesToDownload(DECIMAL* out) override { return GiveDecimal(s_.currentTotal, out); }
    HRESULT STDMETHODCALLTYPE get_TotalBytesDownloaded(DECIMAL* out) override { return GiveDecimal(s_.bytes, out); }
    HRESULT STDMETHODCALLTYPE get_TotalBytesToDownload(DECIMAL* out) override { return GiveDecimal(s_.total, out); }
    HRESULT STDMETHODCALLTYPE get_CurrentUpdatePercentComplete(LONG* out) override { return GiveValue(s_.currentPercent, out); }
    HRESULT STDMETHODCALLTYPE get_PercentComplete(LONG* out) override { return GiveValue(s_.percent, out); }
    HRESULT STDMETHODCALLTYPE get_CurrentUpdateDownloadPhase(DownloadPhase* out) override { return GiveValue(dphDownloading, out); }
    HRESULT STDMETHODCALLTYPE GetUpdateResult(LONG index, IUpdateDownloadResult** out) override
    {
        int result = ResultAt(s_, index);
        return result < 0 ? E_INVALIDARG : Give(new FakeUpdateDownloadResult(result), out);
    }

private:
    Snapshot s_;
};

class FakeInstallationProgress : public ComObject<InstallationProgressDefaults> {
public:
    explicit FakeInstallationProgress(Snapshot snapshot) : s_(std::move(snapshot)) {}
    HRESULT STDMETHODCALLTYPE get_CurrentUpdateIndex(LONG* out) override { return GiveValue(s_.current, out); }
    HRESULT STDMETHODCALLTYPE get_CurrentUpdatePercentComplete(LONG* out) override { return GiveValue(s_.currentPercent, out); }
    HRESULT STDMETHODCALLTYPE get_PercentComplete(LONG* out) override { return GiveValue(s_.percent, out); }
    HRESULT STDMETHODCALLTYPE GetUpdateResult(LONG index, IUpdateInstallationResult** out) override
    {
        int result = ResultAt(s_, index);
        return result < 0 ? E_INVALIDARG : Give(new FakeUpdateInstallationResult(result, s_.rebootRequired[index]), out);
    }

private:
    Snapshot s_;
};

// What a download job and an installation job share: the updates, the callbacks, the progress
// that the agent thread writes and the caller reads, and abort.
template <class Defaults, class ProgressCallback, class CompletedCallback>
class FakeJob : public ComObject<Defaults> {
public:
    FakeJob(std::vector<Ref<IUpdate>> updates, const VARIANT& state, ProgressCallback* progress, CompletedCallback* completed)
        : updates_(std::move(updates)), progress_(progress), completed_(completed)
    {
        VariantInit(&state_);
        VariantCopy(&state_, const_cast<VARIANT*>(&state));
        snapshot_.results.assign(updates_.size(), orcNotStarted);
        snapshot_.rebootRequired.assign(updates_.size(), false);
        for (const auto& update : updates_) {
            const ScenarioUpdate* fields = FieldsOf(update.Get());
            snapshot_.total += fields ? fields->size : 0;
        }
    }
    ~FakeJob() override { VariantClear(&state_); }

    HRESULT STDMETHODCALLTYPE get_AsyncState(VARIANT* out) override
    {
        if (!out) return E_POINTER;
        VariantInit(out);
        return VariantCopy(out, &state_);
    }
    HRESULT STDMETHODCALLTYPE get_IsCompleted(VARIANT_BOOL* out) override { return GiveFlag(done_, out); }
    HRESULT STDMETHODCALLTYPE get_Updates(IUpdateCollection** out) override
    {
        return Give(new FakeUpdateCollection(updates_), out);
    }
    HRESULT STDMETHODCALLTYPE CleanUp() override
    {
        std::lock_guard<std::mutex> guard(lock_);
        progress_ = Ref<ProgressCallback>();
        completed_ = Ref<CompletedCallback>();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RequestAbort() override
    {
        abort_ = true;
        return S_OK;
    }

    // Works through the updates in steps, reporting each step; result(update) is the update's
    // final result and reboot(update) whether it asks for a restart.
    template <class Result, class Reboot>
    void Run(const Scenario& scenario, Result result, Reboot reboot)
    {
        bool aborted = false;
        long long before = 0;
        for (size_t i = 0; i < updates_.size() && !aborted; ++i) {
            const ScenarioUpdate* fields = FieldsOf(updates_[i].Get());
            long long size = fields ? fields->size : 0;
            for (int step = 1; step <= scenario.steps; ++step) {
                if (!Pause(scenario.stepDelay, abort_)) {
                    aborted = true;
                    break;
                }
                {
                    std::lock_guard<std::mutex> guard(lock_);
                    Snapshot& s = snapshot_;
                    s.current = static_cast<long>(i);
                    s.currentTotal = size;
                    s.currentBytes = size * step / scenario.steps;
                    s.currentPercent = step * 100 / scenario.steps;
                    s.bytes = before + s.currentBytes;
                    s.percent = static_cast<long>((i * 100 + s.currentPercent) / updates_.size());
                    if (step == scenario.steps) {
                        s.results[i] = fields ? result(*fields) : orcFailed;
                        s.rebootRequired[i] = fields && reboot(*fields);
                    } else {
                        s.results[i] = orcInProgress;
                    }
                }
                Ref<ProgressCallback> callback;
                {
                    std::lock_guard<std::mutex> guard(lock_);
                    callback = progress_;
                }
                if (callback) callback->Invoke(this, nullptr);
            }
            before += size;
        }
        Ref<CompletedCallback> callback;
        {
            std::lock_guard<std::mutex> guard(lock_);
            for (int& code : snapshot_.results) {
                if (code == orcNotStarted || code == orcInProgress) code = aborted ? orcAborted : code;
            }
            overall_ = OverallResult(snapshot_.results, aborted);
            callback = completed_;
        }
        done_ = true;
        if (callback) callback->Invoke(this, nullptr);
    }

    bool IsDone() const { return done_; }
    Snapshot Current()
    {
        std::lock_guard<std::mutex> guard(lock_);
        return snapshot_;
    }
    int Overall()
    {
        std::lock_guard<std::mutex> guard(lock_);
        return overall_;
    }

protected:
    std::vector<Ref<IUpdate>> updates_;

private:
    VARIANT state_;
    std::mutex lock_;
    Ref<ProgressCallback> progress_;
    Ref<CompletedCallback> completed_;
    Snapshot snapshot_;
    int overall_ = orcNotStarted;
    std::atomic<bool> abort_{false};
    std::atomic<bool> done_{false};
};

class FakeDownloadJob : public FakeJob<DownloadJobDefaults, IDownloadProgressChangedCallback, IDownloadCompletedCallback> {
public:
    using FakeJob::FakeJob;
    HRESULT STDMETHODCALLTYPE GetProgress(IDownloadProgress** out) override { return Give(new FakeDownloadProgress(Current()), out); }
};

class FakeInstallationJob
    : public FakeJob<InstallationJobDefaults, IInstallationProgressChangedCallback, IInstallationCompletedCallback> {
public:
    using FakeJob::FakeJob;
    HRESULT STDMETHODCALLTYPE GetProgress(IInstallationProgress** out) override
    {
        return Give(new FakeInstallationProgress(Current()), out);
    }
};

class FakeDownloadResult : public ComObject<DownloadResultDefaults> {
public:
    FakeDownloadResult(int result, Snapshot snapshot) : result_(result), s_(std::move(snapshot)) {}
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode* out) override { return GiveValue(result_, out); }
    HRESULT STDMETHODCALLTYPE get_HResult(LONG* out) override { return GiveValue(result_ == orcFailed ? E_FAIL : S_OK, out); }
    HRESULT STDMETHODCALLTYPE GetUpdateResult(LONG index, IUpdateDownloadResult** out) override
    {
        int result = ResultAt(s_, index);
        return result < 0 ? E_INVALIDARG : Give(new FakeUpdateDownloadResult(result), out);
    }

private:
    int result_;
    Snapshot s_;
};

class FakeInstallationResult : public ComObject<InstallationResultDefaults> {
public:
    FakeInstallationResult(int result, Snapshot snapshot) : result_(result), s_(std::move(snapshot)) {}
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode* out) override { return GiveValue(result_, out); }
    HRESULT STDMETHODCALLTYPE get_HResult(LONG* out) override { return GiveValue(result_ == orcFailed ? E_FAIL : S_OK, out); }
    HRESULT STDMETHODCALLTYPE get_RebootRequired(VARIANT_BOOL* out) override
    {
        bool reboot = false;
        for (size_t i = 0; i < s_.results.size(); ++i) {
            bool installed = s_.results[i] == orcSucceeded || s_.results[i] == orcSucceededWithErrors;
            reboot = reboot || (installed && s_.rebootRequired[i]);
        }
        return GiveFlag(reboot, out);
    }
    HRESULT STDMETHODCALLTYPE GetUpdateResult(LONG index, IUpdateInstallationResult** out) override
    {
        int result = ResultAt(s_, index);
        return result < 0 ? E_INVALIDARG : Give(new FakeUpdateInstallationResult(result, s_.rebootRequired[index]), out);
    }

private:
    int result_;
    Snapshot s_;
};

template <class Callback>
Ref<Callback> CallbackOf(IUnknown* object)
{
    Callback* callback = nullptr;
    if (!object || FAILED(object->QueryInterface(__uuidof(Callback), reinterpret_cast<void**>(&callback)))) return Ref<Callback>();
    return Ref<Callback>::Adopt(callback);
}

class FakeDownloader : public ComObject<UpdateDownloaderDefaults> {
public:
    explicit FakeDownloader(std::shared_ptr<const Scenario> scenario) : scenario_(std::move(scenario)) {}
    HRESULT STDMETHODCALLTYPE put_Updates(IUpdateCollection* value) override
    {
        updates_ = CopyUpdates(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BeginDownload(IUnknown* onProgress, IUnknown* onCompleted, VARIANT state, IDownloadJob** out) override
    {
        if (!out) return E_POINTER;
        if (FAILED(scenario_->downloadBegin)) return scenario_->downloadBegin;
        if (updates_.empty()) return NoUpdate;
        auto progress = CallbackOf<IDownloadProgressChangedCallback>(onProgress);
        auto completed = CallbackOf<IDownloadCompletedCallback>(onCompleted);
        if (!progress || !completed) return E_INVALIDARG;
        auto job = Ref<FakeDownloadJob>::Adopt(new FakeDownloadJob(updates_, state, progress.Get(), completed.Get()));
        auto scenario = scenario_;
        bool started = StartAgentThread([job, scenario] {
            job->Run(*scenario, [](const ScenarioUpdate& u) { return u.downloadResult; }, [](const ScenarioUpdate&) { return false; });
        });
        if (!started) return E_OUTOFMEMORY;
        return Share<IDownloadJob>(job.Get(), out);
    }
    HRESULT STDMETHODCALLTYPE EndDownload(IDownloadJob* job, IDownloadResult** out) override
    {
        auto* fake = dynamic_cast<FakeDownloadJob*>(job);
        if (!fake || !out) return E_INVALIDARG;
        if (!fake->IsDone()) return IllegalMethodCall;
        return Give(new FakeDownloadResult(fake->Overall(), fake->Current()), out);
    }

private:
    std::shared_ptr<const Scenario> scenario_;
    std::vector<Ref<IUpdate>> updates_;
};

class FakeInstaller : public ComObject<UpdateInstallerDefaults> {
public:
    explicit FakeInstaller(std::shared_ptr<const Scenario> scenario) : scenario_(std::move(scenario)) {}
    HRESULT STDMETHODCALLTYPE put_Updates(IUpdateCollection* value) override
    {
        updates_ = CopyUpdates(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IsBusy(VARIANT_BOOL* out) override { return GiveFlag(scenario_->installerBusy, out); }
    HRESULT STDMETHODCALLTYPE get_RebootRequiredBeforeInstallation(VARIANT_BOOL* out) override
    {
        return GiveFlag(scenario_->rebootBeforeInstall, out);
    }
    HRESULT STDMETHODCALLTYPE BeginInstall(IUnknown* onProgress, IUnknown* onCompleted, VARIANT state, IInstallationJob** out) override
    {
        if (!out) return E_POINTER;
        if (FAILED(scenario_->installBegin)) return scenario_->installBegin;
        if (updates_.empty()) return NoUpdate;
        auto progress = CallbackOf<IInstallationProgressChangedCallback>(onProgress);
        auto completed = CallbackOf<IInstallationCompletedCallback>(onCompleted);
        if (!progress || !completed) return E_INVALIDARG;
        auto job = Ref<FakeInstallationJob>::Adopt(new FakeInstallationJob(updates_, state, progress.Get(), completed.Get()));
        auto scenario = scenario_;
        bool started = StartAgentThread([job, scenario] {
            job->Run(*scenario, [](const ScenarioUpdate& u) { return u.installResult; },
                     [](const ScenarioUpdate& u) { return u.rebootRequired; });
        });
        if (!started) return E_OUTOFMEMORY;
        return Share<IInstallationJob>(job.Get(), out);
    }
    HRESULT STDMETHODCALLTYPE EndInstall(IInstallationJob* job, IInstallationResult** out) override
    {
        auto* fake = dynamic_cast<FakeInstallationJob*>(job);
        if (!fake || !out) return E_INVALIDARG;
        if (!fake->IsDone()) return IllegalMethodCall;
        return Give(new FakeInstallationResult(fake->Overall(), fake->Current()), out);
    }

private:
    std::shared_ptr<const Scenario> scenario_;
    std::vector<Ref<IUpdate>> updates_;
};

class FakeSession : public ComObject<UpdateSessionDefaults> {
public:
    FakeSession() : scenario_(Scenario::LoadCurrent()) {}
    HRESULT STDMETHODCALLTYPE get_ClientApplicationID(BSTR* out) override { return GiveText(clientId_, out); }
    HRESULT STDMETHODCALLTYPE put_ClientApplicationID(BSTR value) override
    {
        clientId_ = value ? value : L"";
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ReadOnly(VARIANT_BOOL* out) override { return GiveFlag(false, out); }
    HRESULT STDMETHODCALLTYPE CreateUpdateSearcher(IUpdateSearcher** out) override { return Give(new FakeSearcher(scenario_), out); }
    HRESULT STDMETHODCALLTYPE CreateUpdateDownloader(IUpdateDownloader** out) override
    {
        return Give(new FakeDownloader(scenario_), out);
    }
    HRESULT STDMETHODCALLTYPE CreateUpdateInstaller(IUpdateInstaller** out) override { return Give(new FakeInstaller(scenario_), out); }

private:
    std::shared_ptr<const Scenario> scenario_;
    std::wstring clientId_;
};

class FakeAgentInfo : public ComObject<WindowsUpdateAgentInfoDefaults> {
public:
    FakeAgentInfo() : scenario_(Scenario::LoadCurrent()) {}
    HRESULT STDMETHODCALLTYPE GetInfo(VARIANT identifier, VARIANT* out) override
    {
        if (!out) return E_POINTER;
        if (identifier.vt != VT_BSTR || !identifier.bstrVal) return E_INVALIDARG;
        if (std::wstring(identifier.bstrVal) != L"ProductVersionString" || scenario_->version.empty()) return E_FAIL;
        VariantInit(out);
        out->vt = VT_BSTR;
        return GiveText(scenario_->version, &out->bstrVal);
    }

private:
    std::shared_ptr<const Scenario> scenario_;
};

class FakeSystemInformation : public ComObject<SystemInformationDefaults> {
public:
    FakeSystemInformation() : scenario_(Scenario::LoadCurrent()) {}
    HRESULT STDMETHODCALLTYPE get_RebootRequired(VARIANT_BOOL* out) override { return GiveFlag(scenario_->rebootPending, out); }

private:
    std::shared_ptr<const Scenario> scenario_;
};

class Factory : public IClassFactory {
public:
    using Create = IUnknown* (*)();
    explicit Factory(Create create) : create_(create) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factories are static: they live as long as the DLL.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        IUnknown* object = create_();
        if (!object) return E_OUTOFMEMORY;
        HRESULT result = object->QueryInterface(iid, out);
        object->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        lock ? ++g_locks : --g_locks;
        return S_OK;
    }

private:
    Create create_;
};

template <class Object>
IUnknown* CreateObject()
{
    return static_cast<typename Object::Interface*>(new Object());
}

Factory g_sessionFactory(&CreateObject<FakeSession>);
Factory g_collectionFactory(&CreateObject<FakeUpdateCollection>);
Factory g_agentInfoFactory(&CreateObject<FakeAgentInfo>);
Factory g_systemInformationFactory(&CreateObject<FakeSystemInformation>);

const struct {
    const CLSID* clsid;
    const wchar_t* name;
    Factory* factory;
} Classes[] = {
    {&UpdateAgentIds::UpdateSession, L"UpdateSession (fake agent)", &g_sessionFactory},
    {&UpdateAgentIds::UpdateCollection, L"UpdateColl (fake agent)", &g_collectionFactory},
    {&UpdateAgentIds::WindowsUpdateAgentInfo, L"WindowsUpdateAgentInfo (fake agent)", &g_agentInfoFactory},
    {&UpdateAgentIds::SystemInformation, L"SystemInformation (fake agent)", &g_systemInformationFactory},
};

bool WriteText(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

}  // namespace FakeAgent

using namespace FakeAgent;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const auto& entry : Classes) {
        if (clsid == *entry.clsid) return entry.factory->QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

// Registers this DLL under the agent's class ids for the whole machine: only ever in a throw-away
// test or demo prefix.
HRESULT STDAPICALLTYPE DllRegisterServer()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return HRESULT_FROM_WIN32(GetLastError());
    for (const auto& entry : Classes) {
        wchar_t clsid[40];
        StringFromGUID2(*entry.clsid, clsid, 40);
        std::wstring keyPath = std::wstring(L"Software\\Classes\\CLSID\\") + clsid + L"\\InprocServer32";
        HKEY key = nullptr;
        LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        bool written = WriteText(key, nullptr, std::wstring(path, length)) && WriteText(key, L"ThreadingModel", L"Both");
        RegCloseKey(key);
        if (!written) return E_ACCESSDENIED;
        HKEY classKey = nullptr;
        std::wstring classPath = std::wstring(L"Software\\Classes\\CLSID\\") + clsid;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, classPath.c_str(), 0, KEY_WRITE, &classKey) == ERROR_SUCCESS) {
            WriteText(classKey, nullptr, entry.name);
            RegCloseKey(classKey);
        }
    }
    return S_OK;
}

// For tests: how many of the fake agent's objects are alive, so a test can see that the suite let
// go of every one.
LONG STDAPICALLTYPE FakeAgentObjectCount() { return g_objects; }

}  // extern "C"
