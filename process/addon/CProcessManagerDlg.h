#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/String.h"
#include "framework/CGdiObject.h"
#include "framework/CMenu.h"
#include "process/ProcessManager.h"
#include "process/addon/CProcessInfoDlg.h"
#include "process/res/resource.h"
#include "process/ui/C2DPushGraph.h"
#include "process/ui/CColorStatic.h"
#include "shell/CDHtmlDialogEx.h"
#include "startup/ui/CColoredListCtrl.h"

// The process manager's window: a page with the toolbar, over which the window lays the processor
// and memory graphs with their captions and values, the process list and the information pane,
// all placed from the client size. A one-second timer refreshes the list from the model in place.
// The rows' item data is the process id; the model owns the entries.
class CProcessManagerDlg : public CDHtmlDialogEx {
public:
    static constexpr UINT TemplateId = IDD_PROCESS_MANAGER;
    static constexpr UINT PageId = IDR_PROCESS_PAGE;
    // lParam non-zero rebuilds the list; otherwise refreshes it, and wParam 1 also selects the
    // first row and shows it in the pane.
    static constexpr UINT WM_PROCESS_REFRESH = 0x0811;
    static constexpr UINT_PTR RefreshTimer = 0;
    static constexpr UINT RefreshPeriodMs = 1000;
    static constexpr UINT InfoPaneId = IDC_PROCESS_INFO_PANE;
    static constexpr int NoIconIndex = 3;
    enum Column { ImageNameColumn, DescriptionColumn, RatingColumn, CpuColumn, MemoryColumn, ColumnCount };

    static constexpr COLORREF GraphBackColor = 0x3C3835;
    static constexpr COLORREF GraphGridColor = 0x7B7B7B;
    static constexpr COLORREF GraphLineColor = 0x27FF00;
    static constexpr COLORREF CaptionTextColor = 0x7B7B7B;
    static constexpr COLORREF ValueTextColor = 0xC3C3C3;

    explicit CProcessManagerDlg(CWnd* parent);
    ~CProcessManagerDlg() override;

    CColoredListCtrl& GetList() { return list_; }
    CProcessInfoDlg& GetInfoPane() { return infoPane_; }
    C2DPushGraph& GetCpuGraph() { return cpuGraph_; }
    C2DPushGraph& GetMemoryGraph() { return memoryGraph_; }
    ProcessManager& GetManager() { return *manager_; }
    bool IsHidingSystemPrograms() const { return hideSystemPrograms_; }
    // The process id of a row, or 0.
    uint32_t GetRowProcessId(int row) const;
    // The row of a process, or -1.
    int FindRow(uint32_t processId) const;

    // The timer's work: updates the model, drops the rows of ended (or hidden) processes, redraws
    // changed figures, appends new processes, pushes the load figures and keeps the sort order.
    void RefreshList(bool selectFirst);
    // All rows anew from the model, keeping the selected process.
    void RebuildList();
    void ToggleHideSystemPrograms();
    // Asks first; then ends every selected process and tells why any could not be ended.
    void EndSelectedProcesses();

protected:
    // The model the window lists, which it then owns; the default reads the system.
    virtual ProcessManager* CreateManager();
    virtual int ShowMessage(const System::String& text, UINT type);
    // Shows the list's context menu at the screen point and returns the chosen command, 0 for none.
    virtual UINT TrackMenu(CMenu& popup, CPoint screenPoint);
    // Runs the detail sheet of the process modally.
    virtual void RunDetailSheet(const ProcessInfo& info);

    BOOL OnInitDialog() override;
    void OnDocumentComplete() override;
    void OnSize(UINT type, int cx, int cy);
    void OnClose();
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void OnContextMenu(CWnd* window, CPoint point);
    LRESULT OnRefreshMessage(WPARAM wParam, LPARAM lParam);
    void OnListClick(NMHDR* header, LRESULT* result);
    void OnDetailsClicked();

    HRESULT OnBtnPrevious(Html::Node* element);
    HRESULT OnRefresh(Html::Node* element);
    HRESULT OnRemove(Html::Node* element);
    HRESULT OnHideSystemPrograms(Html::Node* element);

    DECLARE_MESSAGE_MAP()
    DECLARE_DHTML_EVENT_MAP()

private:
    bool CreateControls();
    void SetUpGraph(C2DPushGraph& graph);
    void LayoutControls(int width, int height);
    bool IsHidden(const ProcessInfo& info) const;
    void AddRow(ProcessInfo& info);
    void WriteFigures(int row, ProcessInfo& info);
    void SelectRow(int row);
    void ShowRowInPane(int row);
    void PushLoadFigures();
    std::vector<uint32_t> SelectedProcessIds() const;
    int SystemIconIndex(const System::String& path) const;
    // Opens the detail sheet of the process; both openers come here.
    void ShowDetailSheet(const ProcessInfo& info);

    std::unique_ptr<ProcessManager> manager_;
    bool hideSystemPrograms_ = false;
    bool timerRunning_ = false;
    CColoredListCtrl list_;
    CProcessInfoDlg infoPane_;
    C2DPushGraph cpuGraph_;
    C2DPushGraph memoryGraph_;
    CColorStatic cpuCaption_;
    CColorStatic cpuValue_;
    CColorStatic memoryCaption_;
    CColorStatic memoryValue_;
    CFont captionFont_;
    CFont valueFont_;
};
