#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "core/Dictionary.h"
#include "core/Exception.h"
#include "core/List.h"
#include "core/String.h"
#include "framework/CImageList.h"
#include "shell/CDHtmlDialogEx.h"
#include "startup/BackupManager.h"
#include "startup/StartupStore.h"
#include "startup/addon/CDomainPane.h"
#include "startup/addon/CStartupListPane.h"
#include "startup/res/resource.h"
#include "startup/ui/CProgInfoPane.h"
#include "startup/ui/CSSplitter.h"

// The startup manager's window: a page with a toolbar of links over the category tree, the
// startup list and the information pane, held by two splitters that follow the window's size.
// The list owns its entries; every change goes through the store and is refilled from the system.
class CVelaSpannerDlg : public CDHtmlDialogEx {
public:
    static constexpr UINT TemplateId = IDD_VELASPANNER;
    static constexpr UINT PageId = IDR_VELASPANNER_PAGE;
    static constexpr UINT WM_REFILL = WM_USER + 1011;
    static constexpr UINT ListSplitterId = 1040;
    static constexpr UINT CategorySplitterId = 1041;
    // The page's toolbar above the panes and its band below them, and the side margins.
    static constexpr int TopBand = 45;
    static constexpr int BottomBand = 46;
    static constexpr int LeftMargin = 2;
    static constexpr int RightMargin = 4;

    explicit CVelaSpannerDlg(CWnd* parent);
    ~CVelaSpannerDlg() override;

    // What the window shows, for its callers and tests.
    CColoredListCtrl& GetList() { return listPane_.GetList(); }
    CStartupListPane& GetListPane() { return listPane_; }
    CDomainPane& GetDomainPane() { return domainPane_; }
    CProgInfoPane& GetInfoPane() { return infoPane_; }
    CSSplitter& GetListSplitter() { return listSplitter_; }
    CSSplitter& GetCategorySplitter() { return categorySplitter_; }
    StartupStore* GetStore() const { return store_.get(); }
    const System::String& GetCategory() const { return category_; }
    bool IsHideEssential() const { return hideEssential_; }
    bool IsCategoryShown() const { return categoryShown_; }
    bool IsListReady() const { return listReady_; }
    // The entry of a row, or null.
    StartupEntry* GetEntry(int row) const;
    // The row of the entry of that name, or -1.
    int FindRow(const System::String& name) const;

    // What the toolbar and the panes do.
    void ShowCategoryPane(bool show);
    void RememberSelection();
    void Refill();
    void ToggleHideEssential();
    void DeleteSelected();
    void Backup();
    void Restore();

protected:
    // The store the window works on, which it then owns: the suite's data folder and "Logon".
    virtual StartupStore* CreateStore();
    // Fills the program information table from the information server.
    virtual void LoadProgramInformation();
    virtual int ShowMessage(const System::String& text, UINT type);
    // Runs the backup or restore dialog; the default is modal.
    virtual INT_PTR RunDialog(CDialog& dialog);

    BOOL OnInitDialog() override;
    void OnDocumentComplete() override;
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    LRESULT OnRefillMessage(WPARAM, LPARAM);
    void OnListClick(NMHDR* header, LRESULT* result);
    void OnListItemChanged(NMHDR* header, LRESULT* result);
    void OnTreeSelChanged(NMHDR* header, LRESULT* result);
    void OnHideEssentialClicked();

    HRESULT OnBtnPrevious(Html::Node* element);
    HRESULT OnShowCategory(Html::Node* element);
    HRESULT OnHideCategory(Html::Node* element);
    HRESULT OnRefresh(Html::Node* element);
    HRESULT OnRemove(Html::Node* element);
    HRESULT OnBackup(Html::Node* element);
    HRESULT OnRestore(Html::Node* element);

    DECLARE_MESSAGE_MAP()
    DECLARE_DHTML_EVENT_MAP()

private:
    bool CreatePanes();
    void LayoutPanes(int width, int height);
    void ShowEntry(const StartupEntry* entry);
    void AddRow(StartupEntry* entry);
    int SmallIconOf(const System::String& imagePath);
    // The entries of the rows, in row order.
    System::List<StartupEntry*> ShownEntries() const;
    void EmptyList();
    void SetCheckByCode(int row, bool checked);
    void ReportFailure(const System::String& text);
    void ReadSettings();
    void WriteSettings();

    std::unique_ptr<StartupStore> store_;
    std::unique_ptr<BackupManager> backups_;
    System::String category_ = L"Logon";
    bool hideEssential_ = false;
    bool categoryShown_ = false;
    bool listReady_ = false;
    bool settingChecksByCode_ = false;
    std::set<std::wstring> rememberedNames_;
    int32_t settingsValue_ = 0;
    CDomainPane domainPane_;
    CStartupListPane listPane_;
    CProgInfoPane infoPane_;
    CSSplitter listSplitter_;
    CSSplitter categorySplitter_;
    CImageList smallIcons_;
    // The small icon of each program file, read once per window.
    System::Dictionary<System::String, int> iconIndexes_{64};
};
