#pragma once

#include <windows.h>

#include <memory>

#include "core/Dictionary.h"
#include "core/RegistryKey.h"
#include "core/String.h"
#include "framework/CImageList.h"
#include "framework/CString.h"
#include "shell/CDHtmlDialogEx.h"
#include "sweeper/Sweeper.h"
#include "sweeper/addon/SelectionStore.h"
#include "sweeper/addon/SweeperDlgState.h"
#include "sweeper/addon/SweeperTexts.h"
#include "sweeper/ui/NTTreeListCtrl.h"

// The sweeper's window: the result tree-list over an HTML page, driven through five workflow
// states. A pass runs on the tree's worker thread, which reports to the window only by sending
// it the pass messages; the rows follow the tree's counters once a second.
class SweeperDlg : public CDHtmlDialogEx {
public:
    static constexpr UINT TemplateId = 4000;
    static constexpr UINT PageId = 4001;

    // The window's messages; each handler returns 1.
    static constexpr UINT WM_ANALYZE = 0x500;
    static constexpr UINT WM_SWEEP = 0x501;
    static constexpr UINT WM_PASS_COMPLETED = 0x502;
    static constexpr UINT WM_PASS_PROGRESS = 0x503;
    static constexpr UINT WM_STOP = 0x504;
    static constexpr UINT WM_PASS_STOPPED = 0x505;
    static constexpr UINT WM_COMPLETE = 0x506;

    static constexpr UINT_PTR RefreshTimerId = 0;
    static constexpr UINT RefreshInterval = 1000;
    // The worker's Progress events come per item; sending each one across threads would cost more
    // than the pass itself, and nothing on the window acts on them, so at most one per interval goes.
    static constexpr ULONGLONG ProgressMessageInterval = 250;

    // Positions of the images in the two image lists.
    static constexpr int ItemImage = 5;
    static constexpr int CompletedBarImage = 11;

    explicit SweeperDlg(CWnd* parent);
    ~SweeperDlg() override;

    // What the states do to the window.
    Sweeper* GetRoot() const { return root_.get(); }
    SweeperDlgState* GetState() const { return state_; }
    SweeperDlgState* StateStart() { return &stateStart_; }
    SweeperDlgState* StateAnalyzing() { return &stateAnalyzing_; }
    SweeperDlgState* StateAnalyzed() { return &stateAnalyzed_; }
    SweeperDlgState* StateSweeping() { return &stateSweeping_; }
    SweeperDlgState* StateFinished() { return &stateFinished_; }
    // Leaves the current state and enters next; nothing when next is already current.
    void SetState(SweeperDlgState* next);
    // Writes the advice texts (and the bar, when given) and shows them on the page.
    void ShowAdvice(LPCWSTR advice, LPCWSTR adviceDetail, LPCWSTR progress = nullptr);
    void CallStateFunction(LPCWSTR function);
    // Copies the ticks into the tree, resets it and starts the worker. False, traced, when the
    // worker could not be started.
    bool StartPass(SweeperTexts::Pass pass);
    void StartRefreshTimer();
    void StopRefreshTimer();
    // Shows every row's counters and status as they are now.
    void RefreshRows(SweeperTexts::Pass pass, SweeperTexts::Moment moment);
    // Shows the root's progress on the bar, when its text changed.
    void RefreshOverallBar();
    void SetOverallBar(LPCWSTR progress);
    // Empties the counter columns of every row and its bar.
    void ClearRows();

    // What the window shows, for its callers and tests.
    NTTreeListCtrl& GetTree() { return tree_; }
    // The row of a catalogue key, or null.
    CSuperGridCtrl::CTreeItem* GetRow(const System::String& key) const;
    const CString& GetAdvice() const { return advice_; }
    const CString& GetAdviceDetail() const { return adviceDetail_; }
    const CString& GetProgress() const { return progress_; }

protected:
    // The tree the window works on, which it then owns: the catalogue.
    virtual Sweeper* CreateTree();
    // The key that holds the selection store; the caller deletes it. Opened once, when the dialog
    // initialises, and kept for saving the ticks when the window goes.
    virtual Microsoft::Win32::RegistryKey* OpenSettingsKey();

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnDocumentComplete() override;
    void OnRegisterPageScripts() override;

    int OnCreate(LPCREATESTRUCT create);
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnTimer(UINT_PTR id);
    LRESULT OnAnalyzeMessage(WPARAM, LPARAM);
    LRESULT OnSweepMessage(WPARAM, LPARAM);
    LRESULT OnPassCompletedMessage(WPARAM, LPARAM);
    LRESULT OnPassProgressMessage(WPARAM, LPARAM);
    LRESULT OnStopMessage(WPARAM, LPARAM);
    LRESULT OnPassStoppedMessage(WPARAM, LPARAM);
    LRESULT OnCompleteMessage(WPARAM, LPARAM);

    HRESULT OnBtnPrevious(Html::Node* element);
    HRESULT OnBtnAnalyze(Html::Node* element);
    HRESULT OnBtnSweep(Html::Node* element);
    HRESULT OnBtnComplete(Html::Node* element);
    HRESULT OnBtnStop(Html::Node* element);
    HRESULT OnBtnSelectAll(Html::Node* element);

    DECLARE_MESSAGE_MAP()
    DECLARE_DHTML_EVENT_MAP()

private:
    // The window as the target of the root's event handlers, which want a System::Object.
    struct RootEvents : System::Object {
        explicit RootEvents(SweeperDlg* owner) : dialog(owner) {}
        SweeperDlg* dialog;
    };
    CRect TreeArea() const;
    static void OnRootProgress(System::Object* target, System::Object* sender);
    static void OnRootCompleted(System::Object* target, System::Object* sender);

    void FillTree(const SelectionStore* store);
    // Null when the control refused the row (it traces why).
    CSuperGridCtrl::CTreeItem* AddRow(Sweeper* node, CSuperGridCtrl::CTreeItem* parentRow, int image,
                                      const SelectionStore* store);
    void SaveTicks();
    // Waits until no worker runs, stopping it first when asked, and lets the messages it sends
    // this window through meanwhile.
    void WaitForWorker(bool stop);
    LRESULT Dispatch(void (SweeperDlgState::*operation)());
    // Whether the node takes part in the pass: it and every node above it are selected.
    static bool IsInPass(const Sweeper* node);

    System::Dictionary<System::String, System::String> labels_{64};
    SweeperDlgStateStart stateStart_;
    SweeperDlgStateAnalyzing stateAnalyzing_;
    SweeperDlgStateAnalyzed stateAnalyzed_;
    SweeperDlgStateSweeping stateSweeping_;
    SweeperDlgStateFinished stateFinished_;
    SweeperDlgState* state_ = nullptr;
    std::unique_ptr<Sweeper> root_;
    std::unique_ptr<Microsoft::Win32::RegistryKey> settingsKey_;
    RootEvents rootEvents_{this};
    // The image lists outlive the tree, which only borrows them.
    CImageList smallImages_;
    CImageList barImages_;
    NTTreeListCtrl tree_;
    System::Dictionary<System::String, Sweeper*> sweepers_{64};
    System::Dictionary<System::String, CSuperGridCtrl::CTreeItem*> treeItems_{64};
    CString advice_;
    CString adviceDetail_;
    CString progress_;
    // Written only by the worker, and by the window before it starts one.
    ULONGLONG nextProgressMessage_ = 0;
};
