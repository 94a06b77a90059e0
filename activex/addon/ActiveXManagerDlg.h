#pragma once

#include <windows.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "activex/ActiveXBlocking.h"
#include "activex/ActiveXFeed.h"
#include "activex/AxmSettings.h"
#include "activex/KillBits.h"
#include "activex/addon/CActiveXListPane.h"
#include "activex/addon/CCategoryPane.h"
#include "activex/res/resource.h"
#include "core/DateTime.h"
#include "core/String.h"
#include "framework/CGdiObject.h"
#include "framework/CImageList.h"
#include "shell/CDHtmlDialogEx.h"
#include "startup/ui/CProgInfoPane.h"
#include "startup/ui/CSSplitter.h"

// The ActiveX manager's window: a page with a toolbar of links and a search box over the category
// tree, the control list and the information pane, held by two splitters that follow the
// window's size. The feed owns the entries; the list's rows point at them.
class ActiveXManagerDlg : public CDHtmlDialogEx {
public:
    static constexpr UINT TemplateId = IDD_AXM;
    static constexpr UINT PageId = IDR_AXM_PAGE;
    // wParam 1 reloads; wParam 0 refilters, with the search text when lParam is 1.
    static constexpr UINT WM_AXM_LIST = WM_USER + 1000;
    static constexpr UINT_PTR SearchTimer = 1;
    static constexpr UINT SearchPeriodMs = 100;
    static constexpr UINT ListSplitterId = 63237;
    static constexpr UINT CategorySplitterId = 63236;
    static constexpr int TopBand = 45;
    static constexpr int BottomBand = 30;
    static constexpr int SideMargin = 2;
    // Pictures of the list.
    static constexpr int UnblockedPicture = 0;
    static constexpr int BlockedPicture = 1;

    // Where the window reads its feed, settings and kill bits; the defaults are the suite's.
    struct Places {
        System::String feedUrl = ActiveXFeed::GetDefaultUrl();
        System::String cachePath = ActiveXFeed::GetDefaultCachePath();
        System::String settingsPath = AxmSettings::GetDefaultPath();
        const KillBits* killBits = &KillBits::Default();
    };

    explicit ActiveXManagerDlg(CWnd* parent);
    ActiveXManagerDlg(CWnd* parent, Places places);
    ~ActiveXManagerDlg() override;

    CColoredListCtrl& GetList() { return listPane_.GetList(); }
    CActiveXListPane& GetListPane() { return listPane_; }
    CCategoryPane& GetCategoryPane() { return categoryPane_; }
    CProgInfoPane& GetInfoPane() { return infoPane_; }
    CSSplitter& GetListSplitter() { return listSplitter_; }
    CSSplitter& GetCategorySplitter() { return categorySplitter_; }
    const ActiveXFeed& GetFeed() const { return feed_; }
    const System::String& GetCategory() const { return category_; }
    const System::String& GetSearchText() const { return search_; }
    bool IsInfoPaneShown() const { return listSplitter_.m_hWnd && listSplitter_.IsSecondPaneShown(); }
    ActiveXEntry* GetEntry(int row);
    int FindRow(const System::String& clsid);

    void RememberSelection();
    void Reload();
    void Refill(const System::String& search);
    void ApplyToSelection(bool block);
    void SelectAll();

protected:
    // Runs the danger question or the note; the default is modal.
    virtual INT_PTR RunDialog(CDialog& dialog);

    BOOL OnInitDialog() override;
    void OnDocumentComplete() override;
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    LRESULT OnListMessage(WPARAM wParam, LPARAM lParam);
    void OnListClick(NMHDR* header, LRESULT* result);
    void OnTreeSelChanged(NMHDR* header, LRESULT* result);

    HRESULT OnBack(Html::Node* element);
    HRESULT OnShowAll(Html::Node* element);
    HRESULT OnRefresh(Html::Node* element);
    HRESULT OnBlock(Html::Node* element);
    HRESULT OnUnblock(Html::Node* element);
    HRESULT OnClearSearch(Html::Node* element);

    DECLARE_MESSAGE_MAP()
    DECLARE_DHTML_EVENT_MAP()

private:
    bool CreatePanes();
    void LayoutPanes(int width, int height);
    void ShowEntry(const ActiveXEntry* entry);
    void HideInfoPane();
    void SetRowPicture(int row, const ActiveXEntry& entry);
    void OfferToBlockDangerous();
    bool ShowNote(bool& dontAskAgain);
    System::String ReadSearchBox() const;

    Places places_;
    ActiveXFeed feed_;
    std::unique_ptr<ActiveXBlocking> blocking_;
    System::String category_ = ActiveXFeed::AllCategory;
    System::String search_;
    std::set<std::wstring> remembered_;
    bool rebuildingTree_ = false;
    UINT_PTR timer_ = 0;
    CActiveXListPane listPane_;
    CCategoryPane categoryPane_;
    CProgInfoPane infoPane_;
    CSSplitter listSplitter_;
    CSSplitter categorySplitter_;
    CImageList pictures_;
    CBitmap unblocked_;
    CBitmap blocked_;
};
