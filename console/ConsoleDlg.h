#pragma once

#include <windows.h>

#include "core/Dictionary.h"
#include "core/String.h"
#include "framework/CRect.h"
#include "framework/CString.h"
#include "shell/CDHtmlDialogEx.h"

class Addon;
class AddonManager;

namespace System {
class Exception;
}  // namespace System

// The console's main window. Its home page lists the catalogue's tools in one section per
// category; opening a tool grows the console to the tool's size and fades the tool's dialog in
// over it, below the 29-pixel header band; going home fades the tool out and shrinks back.
//
// When the environment variable VTCON_MOMENTS_FILE names a file, the console appends a line
// "home <counter>" once the home page is filled and "tool <counter>" whenever a tool has been
// faded in, where counter is QueryPerformanceCounter's value at that moment (for the benchmark).
class ConsoleDlg : public CDHtmlDialogEx {
public:
    // The tools come from addons; their icon files are relative to startupPath; the smooth-switch
    // setting is read from and written to settingsPath (vacon.cfg).
    ConsoleDlg(AddonManager& addons, const System::String& startupPath, const System::String& settingsPath,
               CWnd* parent = nullptr);
    ~ConsoleDlg() override;

    // The id of the tool to open once the home page is filled; empty for none.
    void SetStartId(const System::String& id);

    // What a click on a tool does: shows an add-on library's dialog, starts an installed outside
    // program, or offers the download page of a missing one. A tool that cannot be found or
    // loaded is reported in a message box and the console stays as it was.
    void OpenTool(const System::String& id);
    // Shows the last shown tool again (the forward arrow).
    void ShowCurrentTool();
    // Fades the shown tool out and returns to the home page (the back arrow, WM_ADDON_BACK).
    void GoHome();
    // The console fills the work area, or goes back to its normal place and size.
    void Maximise();
    void Restore();

    const CString& GetTitle() const { return title_; }
    bool IsPageFilled() const { return pageFilled_; }
    // True while a switch animation runs; clicks on the arrows and tools are ignored meanwhile.
    bool IsBusy() const { return busy_; }
    bool IsToolShown() const { return toolShown_; }
    bool IsMaximised() const { return maximised_; }
    bool IsSmoothSwitch() const { return smooth_; }
    CWnd* GetCurrentDialog() const { return currentDialog_; }
    const System::String& GetCurrentId() const { return currentId_; }
    // Category text to section id ("00", "01", ...), in the order the sections were added.
    const System::Dictionary<System::String, System::String>& GetSections() const { return sections_; }

protected:
    BOOL OnInitDialog() override;
    void OnDocumentComplete() override;
    void OnRegisterPageScripts() override;
    void DoDataExchange(CDataExchange* exchange) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter on the page is no reason to close the console.
    void OnOK() override;

    // Shows a message box owned by the console with the console's caption; tests replace it.
    virtual int ShowMessage(const CString& text, UINT type);
    // Opens an address with the shell; tests replace it.
    virtual void OpenAddress(const System::String& url);

    HRESULT OnHeaderDoubleClick(Html::Node* element);
    HRESULT OnButtonMinimise(Html::Node* element);
    HRESULT OnButtonMaximise(Html::Node* element);
    HRESULT OnButtonNormal(Html::Node* element);
    HRESULT OnButtonClose(Html::Node* element);
    HRESULT OnButtonPrevious(Html::Node* element);
    HRESULT OnButtonNext(Html::Node* element);
    HRESULT OnButtonMenu(Html::Node* element);
    HRESULT OnAddonClick(Html::Node* element);

    // The menu's commands.
    void OnOptions();
    void OnHelpTopics();
    void OnAbout();
    void OnHomePage();
    void OnExit();

    int OnCreate(LPCREATESTRUCT create);
    void OnTimer(UINT_PTR id);
    LRESULT OnAddonBack(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
    DECLARE_DHTML_EVENT_MAP()

private:
    // Whether each arrow was enabled, to put back after a switch that could not start.
    struct ArrowState {
        bool previous;
        bool next;
    };

    void FillHomePage();
    // The tool with that id; null, after telling the user, when the catalogue has none.
    Addon* FindTool(const System::String& id);
    void OpenStartTool();
    void ShowTool(Addon* addon);
    void ReportFailure(const CString& what, System::Exception* failure);
    void SetTitle(const CString& title);
    CString LoadingTitle() const;

    ArrowState GetArrowState() const;
    void SetArrowState(ArrowState state);

    void StartTimer(UINT_PTR id);
    // One step of a timer's animation; true when the animation of that timer is complete.
    bool StepTimer(UINT_PTR id);
    void ResizeToGrowth();
    void SetToolAlpha();
    void KeepToolGlued();
    void ReportMoment(const char* name) const;

    AddonManager& addons_;
    System::String startupPath_;
    System::String settingsPath_;

    CString title_;
    bool pageFilled_ = false;
    bool busy_ = false;
    CWnd* currentDialog_ = nullptr;
    System::String currentId_;
    System::String currentName_;
    bool toolShown_ = false;
    bool maximised_ = false;
    bool smooth_ = true;
    int headerHeight_ = 0;
    int pageBaseHeight_ = 0;
    int sectionHeight_ = 0;
    CSize homeSize_;
    CSize targetSize_;
    CRect normalRect_;
    CRect toolRect_;
    int growPercent_ = 0;
    int alphaPercent_ = 0;
    System::Dictionary<System::String, System::String> sections_;
    System::String startId_;
};
