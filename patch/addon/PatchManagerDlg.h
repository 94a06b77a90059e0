#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/CString.h"
#include "patch/AgentCheck.h"
#include "patch/PatchOperations.h"
#include "patch/addon/PatchManagerDlgState.h"
#include "patch/ui/CColoredProgressListCtrl.h"
#include "shell/CDHtmlDialogEx.h"

// The patch manager's window: an information panel, advice texts, a progress bar and one button
// layer on the page, with the update list laid over the panel while updates are shown. Nine state
// objects run the workflow; the agent check runs on a worker thread while this thread pumps
// messages, and the agent's notices arrive through PatchOperations.
class PatchManagerDlg : public CDHtmlDialogEx {
public:
    static constexpr UINT TemplateId = 1007;
    static constexpr UINT PageId = 1008;

    static constexpr UINT WM_PATCH_SEARCH = 0x0510;
    static constexpr UINT WM_PATCH_SEARCH_DONE = PatchOperations::WM_SEARCH_DONE;
    static constexpr UINT WM_PATCH_INSTALL = 0x0512;
    static constexpr UINT WM_PATCH_DOWNLOAD_DONE = PatchOperations::WM_DOWNLOAD_DONE;
    static constexpr UINT WM_PATCH_INSTALL_DONE = PatchOperations::WM_INSTALL_DONE;
    static constexpr UINT WM_PATCH_PROGRESS = PatchOperations::WM_PROGRESS;
    static constexpr UINT WM_PATCH_STOP = 0x0519;
    static constexpr UINT WM_PATCH_RETURN = 0x051A;
    static constexpr UINT WM_PATCH_COMPLETE = 0x051B;
    static constexpr UINT WM_PATCH_ITEM_CHECKED = CColoredProgressListCtrl::WM_PATCH_ITEM_CHECKED;
    static constexpr UINT WM_PATCH_CAN_CHECK = CColoredProgressListCtrl::WM_PATCH_CAN_CHECK;

    static constexpr UINT_PTR CycleTimerId = 0;
    static constexpr UINT CycleInterval = 1000;
    // Item data of a row whose EULA was declined.
    static constexpr int DeclinedRow = -10000;

    // What DownloadPatch did.
    enum class DownloadStart { Started, NothingSelected, Failed };

    explicit PatchManagerDlg(CWnd* parent);
    ~PatchManagerDlg() override;

    void ChangeState(PatchManagerDlgState* next);
    PatchManagerDlgState* GetState() const { return state_; }
    PatchManagerDlgState* StateStart() { return &stateStart_; }
    PatchManagerDlgState* StateCheckAgent() { return &stateCheckAgent_; }
    PatchManagerDlgState* StateSearching() { return &stateSearching_; }
    PatchManagerDlgState* StateSearched() { return &stateSearched_; }
    PatchManagerDlgState* StateDownloading() { return &stateDownloading_; }
    PatchManagerDlgState* StateInstalling() { return &stateInstalling_; }
    PatchManagerDlgState* StateFinished() { return &stateFinished_; }
    PatchManagerDlgState* StateError() { return &stateError_; }
    PatchManagerDlgState* StateFatalError() { return &stateFatalError_; }

    // What the states do to the window.
    void SetAdvice(const wchar_t* advice, const wchar_t* detail);
    void SetProgress(int percent);
    void CallStateScript(const wchar_t* function);
    void ShowList(bool shown, bool enabled);
    void EnableList(bool enabled);
    void StartCycleTimer();
    void StopCycleTimer();

    // The operations the states start.
    bool SearchPatch();
    DownloadStart DownloadPatch();
    bool InstallPatch();
    void AbortSearch();
    void AbortDownload();
    void AbortInstall();
    void SetPatchList();
    void ShowPatchNotice();
    void RestartWithResume();
    int IsRebootPending();
    bool IsRebootRequired();
    // The rows whose status reads "설치 완료"; total gets the number of rows.
    int CountInstalledRows(int& total) const;
    void DeleteAllRows();
    int GetUpdateCount() const { return operations_.GetUpdateCount(); }

    // For callers and tests.
    const CString& GetAdvice() const { return advice_; }
    const CString& GetAdviceDetail() const { return adviceDetail_; }
    const CString& GetProgress() const { return progress_; }
    CColoredProgressListCtrl& GetList() { return list_; }
    AgentCheck& GetAgentCheck() { return agentCheck_; }
    bool IsAgentCheckRunning() const { return checkRunning_; }
    // "vapm.cfg" in the suite's data folder.
    virtual std::wstring NoticeSettingsPath() const;
    static bool ReadNoticeSetting(const std::wstring& path);
    static bool WriteNoticeSetting(const std::wstring& path, bool show);
    // "%dB", "%.1fKB" or "%.1fMB".
    static CString FormatSize(unsigned int bytes);

protected:
    // The user's answers; tests answer for the user.
    virtual int ShowMessage(const CString& text, UINT type);
    // IDOK when the user agrees.
    virtual INT_PTR ShowEula(const CString& title, const CString& eula);
    // IDOK when closed with its button; dontShowAgain gets the check box.
    virtual INT_PTR ShowNotice(bool& dontShowAgain);
    virtual void RestartMachine();

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnDocumentComplete() override;
    void OnRegisterPageScripts() override;

    int OnCreate(LPCREATESTRUCT create);
    void OnDestroy();
    void OnSize(UINT type, int width, int height);
    void OnTimer(UINT_PTR id);
    LRESULT OnSearchMessage(WPARAM, LPARAM);
    LRESULT OnSearchDone(WPARAM result, LPARAM);
    LRESULT OnInstallMessage(WPARAM, LPARAM);
    LRESULT OnDownloadDone(WPARAM result, LPARAM);
    LRESULT OnInstallDone(WPARAM result, LPARAM);
    LRESULT OnProgressMessage(WPARAM record, LPARAM kind);
    LRESULT OnStopMessage(WPARAM, LPARAM);
    LRESULT OnReturnMessage(WPARAM, LPARAM);
    LRESULT OnCompleteMessage(WPARAM, LPARAM);
    LRESULT OnItemChecked(WPARAM row, LPARAM);
    LRESULT OnCanCheck(WPARAM row, LPARAM);

    HRESULT OnBtnPrevious(Html::Node* element);
    HRESULT OnBtnSearch(Html::Node* element);
    HRESULT OnBtnInstall(Html::Node* element);
    HRESULT OnBtnStop(Html::Node* element);
    HRESULT OnBtnReturn(Html::Node* element);
    HRESULT OnBtnComplete(Html::Node* element);

    DECLARE_MESSAGE_MAP()
    DECLARE_DHTML_EVENT_MAP()

private:
    void LayOutList(int width, int height);
    // Runs the agent check on its worker thread, letting this thread's messages through; returns
    // its exit code, -1 when it could not run.
    int RunAgentCheck();
    int FindRow(int record) const;
    void ShowRowStatus(int row, int image, const CString& status);
    const PatchRecord* RecordOfRow(int row) const;
    void ShowPartialResult();
    void AskRestart();

    PatchManagerDlgStateStart stateStart_;
    PatchManagerDlgStateCheckAgent stateCheckAgent_;
    PatchManagerDlgStateSearching stateSearching_;
    PatchManagerDlgStateSearched stateSearched_;
    PatchManagerDlgStateDownloading stateDownloading_;
    PatchManagerDlgStateInstalling stateInstalling_;
    PatchManagerDlgStateFinished stateFinished_;
    PatchManagerDlgStateError stateError_;
    PatchManagerDlgStateFatalError stateFatalError_;
    PatchManagerDlgState* state_ = nullptr;
    bool pageLoaded_ = false;
    bool checkRunning_ = false;
    AgentCheck agentCheck_;
    PatchOperations operations_;
    CColoredProgressListCtrl list_;
    int currentRow_ = 0;
    CString advice_;
    CString adviceDetail_;
    CString progress_;
};
