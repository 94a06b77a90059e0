#include "startup/addon/CVelaSpannerDlg.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "core/ExceptionGuard.h"
#include "core/Trace.h"
#include "html/Node.h"
#include "html/Page.h"
#include "shell/AddonExport.h"
#include "startup/Category.h"
#include "startup/ProgramInfoLoader.h"
#include "startup/SpannerSettings.h"
#include "startup/StartupEntryInfo.h"
#include "startup/StartupTexts.h"
#include "startup/addon/CBackupDlg.h"
#include "startup/addon/CRestoreDlg.h"
#include "startup/addon/StartupListRules.h"
#include "startup/addon/StartupMessages.h"

using System::String;

namespace {

constexpr struct {
    const wchar_t* heading;
    int width;
} Columns[] = {{L"이름", 120}, {L"제조사", 150}, {L"등급", 90}, {L"실행경로", 300}, {L"구분", 200}};

// Picture 2 of the tree: everything.
constexpr int EverythingPicture = 2;

void Trace(const String& text) { System::Diagnostics::Trace::WriteLine(L"CVelaSpannerDlg: " + text); }

}  // namespace

BEGIN_MESSAGE_MAP(CVelaSpannerDlg, CDHtmlDialogEx)
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_REFILL, OnRefillMessage)
    ON_NOTIFY(NM_CLICK, IDC_STARTUP_LIST, OnListClick)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_STARTUP_LIST, OnListItemChanged)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_CATEGORY_TREE, OnTreeSelChanged)
    ON_COMMAND(IDC_HIDE_ESSENTIAL_LABEL, OnHideEssentialClicked)
    ON_COMMAND(IDC_HIDE_ESSENTIAL_PICTURE, OnHideEssentialClicked)
END_MESSAGE_MAP()

BEGIN_DHTML_EVENT_MAP(CVelaSpannerDlg)
    DHTML_EVENT_ONCLICK(L"BtnPrevious", OnBtnPrevious)
    DHTML_EVENT_ONCLICK(L"LnkShowCategoryTxt", OnShowCategory)
    DHTML_EVENT_ONCLICK(L"LnkShowCategoryImg", OnShowCategory)
    DHTML_EVENT_ONCLICK(L"LnkHideCategoryTxt", OnHideCategory)
    DHTML_EVENT_ONCLICK(L"LnkHideCategoryImg", OnHideCategory)
    DHTML_EVENT_ONCLICK(L"LnkRefreshTxt", OnRefresh)
    DHTML_EVENT_ONCLICK(L"LnkRefreshImg", OnRefresh)
    DHTML_EVENT_ONCLICK(L"LnkRefreshImgOn", OnRefresh)
    DHTML_EVENT_ONCLICK(L"LnkRemoveImg", OnRemove)
    DHTML_EVENT_ONCLICK(L"LnkRemoveImgOn", OnRemove)
    DHTML_EVENT_ONCLICK(L"LnkRemoveTxt", OnRemove)
    DHTML_EVENT_ONCLICK(L"LnkBackupImg", OnBackup)
    DHTML_EVENT_ONCLICK(L"LnkBackupImgOn", OnBackup)
    DHTML_EVENT_ONCLICK(L"LnkBackupTxt", OnBackup)
    DHTML_EVENT_ONCLICK(L"LnkRestoreImg", OnRestore)
    DHTML_EVENT_ONCLICK(L"LnkRestoreImgOn", OnRestore)
    DHTML_EVENT_ONCLICK(L"LnkRestoreTxt", OnRestore)
    DHTML_EVENT_ONCLICK(L"BtnRestore", OnRestore)
    DHTML_EVENT_TAG_ALL(Html::EventType::SelectStart, OnSelectStart)
    DHTML_EVENT_TAG_ALL(Html::EventType::DragStart, OnDragStart)
END_DHTML_EVENT_MAP()

CVelaSpannerDlg::CVelaSpannerDlg(CWnd* parent) : CDHtmlDialogEx(TemplateId, PageId, parent) {}

CVelaSpannerDlg::~CVelaSpannerDlg()
{
    // Here rather than in the base destructor, so that WM_DESTROY still finds this class: it
    // destroys the list's entries and writes the settings.
    if (m_hWnd) DestroyWindow();
}

StartupStore* CVelaSpannerDlg::CreateStore() { return new StartupStore(); }

void CVelaSpannerDlg::LoadProgramInformation() { ProgramInfoLoader::Load(); }

int CVelaSpannerDlg::ShowMessage(const String& text, UINT type)
{
    return MessageBox(text.GetBuffer(), StartupMessages::Caption, type);
}

INT_PTR CVelaSpannerDlg::RunDialog(CDialog& dialog) { return dialog.DoModal(); }

BOOL CVelaSpannerDlg::OnInitDialog()
{
    CDHtmlDialogEx::OnInitDialog();
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(IDI_VELASPANNER), RT_GROUP_ICON);
    if (module) {
        SetIcon(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_VELASPANNER), IMAGE_ICON, 0, 0,
                                              LR_DEFAULTSIZE | LR_SHARED)),
                TRUE);
        SetIcon(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_VELASPANNER), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED)),
                FALSE);
    }
    hideEssential_ = false;
    categoryShown_ = false;
    listReady_ = false;
    category_ = L"Logon";

    System::ExceptionHolder failure;
    try {
        store_.reset(CreateStore());
        backups_ = std::make_unique<BackupManager>(*store_);
    } catch (System::Exception* caught) {
        failure.reset(caught);
        Trace(L"no store: " + failure->ToString());
    }
    ReadSettings();

    if (!smallIcons_.Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK, 32, 32))
        Trace(String::Format(L"cannot create the icon list (error %lu)", GetLastError()));
    else
        smallIcons_.Add(LoadIconW(nullptr, IDI_APPLICATION));
    if (!CreatePanes()) {
        Trace(String::Format(L"cannot create the panes (error %lu)", GetLastError()));
        return TRUE;
    }
    listPane_.SetCaption(Category::FormatCategoryCaption(L"Logon").GetBuffer());
    listPane_.SetPicture(domainPane_.GetPicture(EverythingPicture));
    if (!store_) {
        ReportFailure(StartupMessages::ListFailed(*failure));
        return TRUE;
    }

    System::TraceExceptions([&] { LoadProgramInformation(); });
    SendMessage(WM_REFILL);
    domainPane_.BuildTree();
    try {
        backups_->AutoBackup(StartupTexts::AutomaticBackup, false);
    } catch (System::Exception* caught) {
        System::ExceptionHolder backupFailure(caught);
        Trace(L"automatic backup: " + backupFailure->ToString());
    }
    return TRUE;
}

void CVelaSpannerDlg::OnDocumentComplete()
{
    CDHtmlDialogEx::OnDocumentComplete();
    CallScript(L"enable_button", CString(L"BtnPrevious"));
    CallScript(L"disable_button", CString(L"BtnNext"));
}

bool CVelaSpannerDlg::CreatePanes()
{
    const UINT style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (!listPane_.Create(this, IDD_STARTUP_LIST_PANE, style, IDD_STARTUP_LIST_PANE) ||
        !infoPane_.Create(this, IDD_PROGINFO_PANE, style, IDD_PROGINFO_PANE) ||
        !domainPane_.Create(this, IDD_CATEGORY_PANE, style, IDD_CATEGORY_PANE))
        return false;

    CColoredListCtrl& list = GetList();
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    list.SetImageList(&smallIcons_, LVSIL_SMALL);
    for (int column = 0; column < static_cast<int>(std::size(Columns)); ++column) {
        if (list.InsertColumn(column, Columns[column].heading, LVCFMT_LEFT, Columns[column].width) < 0)
            Trace(String(L"cannot add the column ") + Columns[column].heading);
    }
    StartupListRules::Apply(list);

    CRect client;
    GetClientRect(&client);
    CRect area(LeftMargin, TopBand, std::max(LeftMargin + 1, static_cast<int>(client.right) - RightMargin),
               std::max(TopBand + 1, static_cast<int>(client.bottom) - BottomBand));
    if (!listSplitter_.Create(CSSplitter::Stacked, this, &listPane_, &infoPane_, ListSplitterId, area, 100, 100))
        return false;
    // The information pane keeps its height; the list takes what the window gains.
    listSplitter_.KeepSecondPaneSize(true);
    listSplitter_.SetDivision(area.Height() - infoPane_.m_sizeDefault.cy - 1);
    if (!categorySplitter_.Create(CSSplitter::SideBySide, this, &domainPane_, &listSplitter_, CategorySplitterId, area,
                                  80, 140))
        return false;
    categorySplitter_.SetDivision(domainPane_.m_sizeDefault.cx + 1);
    categorySplitter_.ShowFirstPane(false);
    return true;
}

void CVelaSpannerDlg::LayoutPanes(int width, int height)
{
    if (!categorySplitter_.m_hWnd) return;
    categorySplitter_.MoveWindow(LeftMargin, TopBand, std::max(1, width - LeftMargin - RightMargin),
                                 std::max(1, height - TopBand - BottomBand));
}

void CVelaSpannerDlg::OnSize(UINT type, int cx, int cy)
{
    CDHtmlDialogEx::OnSize(type, cx, cy);
    if (type != SIZE_MINIMIZED) LayoutPanes(cx, cy);
}

void CVelaSpannerDlg::OnDestroy()
{
    ProgramInfoTable::Clear();
    EmptyList();
    WriteSettings();
    CDHtmlDialogEx::OnDestroy();
}

void CVelaSpannerDlg::ReadSettings()
{
    settingsValue_ = 0;
    if (!store_) return;
    System::TraceExceptions([&] { settingsValue_ = SpannerSettings::Read(SpannerSettings::PathIn(store_->GetDataFolder())); });
}

void CVelaSpannerDlg::WriteSettings()
{
    if (!store_) return;
    System::TraceExceptions([&] { SpannerSettings::Write(SpannerSettings::PathIn(store_->GetDataFolder()), settingsValue_); });
}

void CVelaSpannerDlg::ReportFailure(const String& text)
{
    Trace(text);
    ShowMessage(text, MB_OK | MB_ICONWARNING);
}

StartupEntry* CVelaSpannerDlg::GetEntry(int row) const
{
    if (!listPane_.m_hWnd || row < 0) return nullptr;
    return reinterpret_cast<StartupEntry*>(const_cast<CVelaSpannerDlg*>(this)->GetList().GetItemData(row));
}

int CVelaSpannerDlg::FindRow(const String& name) const
{
    auto& list = const_cast<CVelaSpannerDlg*>(this)->GetList();
    for (int row = 0; row < list.GetItemCount(); ++row) {
        StartupEntry* entry = GetEntry(row);
        if (entry && entry->GetName() == name) return row;
    }
    return -1;
}

System::List<StartupEntry*> CVelaSpannerDlg::ShownEntries() const
{
    auto& list = const_cast<CVelaSpannerDlg*>(this)->GetList();
    System::List<StartupEntry*> shown(std::max(32, list.GetItemCount()));
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (StartupEntry* entry = GetEntry(row)) shown.Add(entry);
    }
    return shown;
}

void CVelaSpannerDlg::EmptyList()
{
    if (!listPane_.m_hWnd) return;
    CColoredListCtrl& list = GetList();
    std::vector<StartupEntry*> entries;
    for (int row = 0; row < list.GetItemCount(); ++row) entries.push_back(GetEntry(row));
    list.DeleteAllItems();
    for (StartupEntry* entry : entries) delete entry;
}

int CVelaSpannerDlg::SmallIconOf(const String& imagePath)
{
    int index = 0;
    if (imagePath.IsEmpty() || iconIndexes_.TryGetValue(imagePath, index)) return index;
    SHFILEINFOW info = {};
    if (SHGetFileInfoW(imagePath.GetBuffer(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon) {
        int added = smallIcons_.Add(info.hIcon);
        DestroyIcon(info.hIcon);
        if (added >= 0) index = added;
    }
    // A file without an icon is not asked again either.
    iconIndexes_.Add(imagePath, index);
    return index;
}

void CVelaSpannerDlg::AddRow(StartupEntry* entry)
{
    CColoredListCtrl& list = GetList();
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = list.GetItemCount();
    String name = entry->GetName();
    item.pszText = const_cast<wchar_t*>(name.GetBuffer());
    item.iImage = SmallIconOf(entry->GetImagePath());
    item.lParam = reinterpret_cast<LPARAM>(entry);
    int row = list.InsertItem(&item);
    if (row < 0) {
        Trace(L"cannot add the row of " + name);
        delete entry;
        return;
    }
    list.SetItemText(row, StartupListRules::ManufacturerColumn, entry->GetManufacturer().GetBuffer());
    list.SetItemText(row, StartupListRules::RatingColumn, entry->GetRatingText().GetBuffer());
    list.SetItemText(row, StartupListRules::CommandLineColumn, entry->GetCommandLineW().GetBuffer());
    list.SetItemText(row, StartupListRules::CategoryColumn, Category::FormatCategoryColumn(entry->GetDomain()).GetBuffer());
    list.SetCheck(row, entry->GetEnabled() != 0);
}

void CVelaSpannerDlg::RememberSelection()
{
    if (!listPane_.m_hWnd) return;
    CColoredListCtrl& list = GetList();
    POSITION position = list.GetFirstSelectedItemPosition();
    while (position) {
        if (StartupEntry* entry = GetEntry(list.GetNextSelectedItem(position)))
            rememberedNames_.insert(entry->GetName().GetStdString());
    }
}

LRESULT CVelaSpannerDlg::OnRefillMessage(WPARAM, LPARAM)
{
    Refill();
    return 1;
}

void CVelaSpannerDlg::Refill()
{
    if (!listPane_.m_hWnd || !store_) return;
    listReady_ = false;
    CColoredListCtrl& list = GetList();
    EmptyList();
    list.ClearSort();

    System::Array<StartupEntry*> entries;
    try {
        entries = store_->GetStartupEntries(category_);
    } catch (System::Exception* caught) {
        System::ExceptionHolder failure(caught);
        Trace(failure->ToString());
        // The registered programs are still worth showing when the store cannot be read.
        System::List<StartupEntry*> listed(32);
        System::TraceExceptions([&] { store_->AddListedEntries(category_, listed); });
        entries = listed.ToArray();
        ReportFailure(StartupMessages::ListFailed(*failure));
    }

    list.SetRedraw(FALSE);
    int reselected = -1;
    for (StartupEntry* entry : entries) {
        if (hideEssential_ && entry->GetRating() == 2) {
            delete entry;
            continue;
        }
        bool remembered = rememberedNames_.count(entry->GetName().GetStdString()) != 0;
        AddRow(entry);
        if (remembered) {
            int row = list.GetItemCount() - 1;
            list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            reselected = row;
        }
    }
    list.SetRedraw(TRUE);
    list.Invalidate();

    if (reselected >= 0) {
        list.EnsureVisible(reselected, FALSE);
        list.SetFocus();
        ShowEntry(GetEntry(reselected));
    } else if (list.GetItemCount() == 0) {
        infoPane_.Clear();
    } else {
        list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ShowEntry(GetEntry(0));
    }
    rememberedNames_.clear();
    listReady_ = true;
}

void CVelaSpannerDlg::ShowEntry(const StartupEntry* entry)
{
    if (!entry) {
        infoPane_.Clear();
        return;
    }
    CProgInfoPane::Item item;
    String imagePath = entry->GetImagePath();
    SHFILEINFOW info = {};
    if (!imagePath.IsEmpty() && SHGetFileInfoW(imagePath.GetBuffer(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON))
        item.icon = info.hIcon;
    item.name = entry->GetName().GetBuffer();
    item.secondLine = entry->GetManufacturer().GetBuffer();
    item.rating = entry->GetRating();
    item.ratingText = entry->GetRatingText().GetBuffer();
    item.description = entry->GetDescription().GetBuffer();
    infoPane_.ShowItem(std::move(item));
}

void CVelaSpannerDlg::SetCheckByCode(int row, bool checked)
{
    settingChecksByCode_ = true;
    GetList().SetCheck(row, checked);
    settingChecksByCode_ = false;
}

void CVelaSpannerDlg::OnListClick(NMHDR* header, LRESULT* result)
{
    *result = 0;
    int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
    if (row >= 0) ShowEntry(GetEntry(row));
}

void CVelaSpannerDlg::OnListItemChanged(NMHDR* header, LRESULT* result)
{
    *result = 0;
    auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    // Boxes set by a refill or by this window itself are the entries' state, not the user's wish.
    if (!listReady_ || settingChecksByCode_ || !store_ || change->iItem < 0 || !(change->uChanged & LVIF_STATE)) return;
    UINT image = change->uNewState & LVIS_STATEIMAGEMASK;
    if (image == (change->uOldState & LVIS_STATEIMAGEMASK) || (image != 0x2000 && image != 0x1000)) return;
    StartupEntry* entry = GetEntry(change->iItem);
    if (!entry) return;
    bool enable = image == 0x2000;
    if (enable == (entry->GetEnabled() != 0)) return;

    System::List<StartupEntry*> shown = ShownEntries();
    try {
        if (enable)
            store_->EnableEntry(entry, shown, category_, hideEssential_);
        else
            store_->DisableEntry(entry, shown, category_, hideEssential_);
    } catch (System::Exception* caught) {
        System::ExceptionHolder failure(caught);
        Trace(failure->ToString());
        SetCheckByCode(change->iItem, entry->GetEnabled() != 0);
        ReportFailure(enable ? StartupMessages::EnableFailed(entry->GetName(), *failure)
                             : StartupMessages::DisableFailed(entry->GetName(), *failure));
    }
    GetList().Update(change->iItem);
}

void CVelaSpannerDlg::OnTreeSelChanged(NMHDR* header, LRESULT* result)
{
    *result = 0;
    HTREEITEM item = reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem;
    if (!item) return;
    category_ = domainPane_.GetCategory(item);
    listPane_.SetCaption(Category::FormatCategoryCaption(category_).GetBuffer());
    listPane_.SetPicture(domainPane_.GetPicture(domainPane_.GetPictureIndex(item)));
    RememberSelection();
    Refill();
}

void CVelaSpannerDlg::OnHideEssentialClicked() { ToggleHideEssential(); }

void CVelaSpannerDlg::ToggleHideEssential()
{
    hideEssential_ = !hideEssential_;
    listPane_.SetHideEssential(hideEssential_);
    RememberSelection();
    Refill();
}

void CVelaSpannerDlg::ShowCategoryPane(bool show)
{
    categoryShown_ = show;
    if (categorySplitter_.m_hWnd) categorySplitter_.ShowFirstPane(show);
    // The page's show and hide links swap places.
    if (Html::Node* showLinks = GetElement(L"LayerShowCategory")) showLinks->SetStyleDisplay(show ? L"none" : L"block");
    if (Html::Node* hideLinks = GetElement(L"LayerHideCategory")) hideLinks->SetStyleDisplay(show ? L"block" : L"none");
    if (Html::Page* page = GetPage()) page->Update();
}

void CVelaSpannerDlg::DeleteSelected()
{
    if (!store_ || !listPane_.m_hWnd) return;
    CColoredListCtrl& list = GetList();
    std::vector<int> rows;
    POSITION position = list.GetFirstSelectedItemPosition();
    while (position) rows.push_back(list.GetNextSelectedItem(position));
    if (rows.empty()) return;
    std::vector<int> removed;
    System::List<StartupEntry*> shown = ShownEntries();
    try {
        store_->DeleteEntries(shown, rows, category_, hideEssential_, [&](int row) {
            list.DeleteItem(row);
            removed.push_back(row);
        });
    } catch (System::Exception* caught) {
        System::ExceptionHolder failure(caught);
        Trace(failure->ToString());
        // Rows go from the bottom up: the failing one is the lowest-placed row not yet removed.
        std::sort(rows.rbegin(), rows.rend());
        String name;
        for (int row : rows) {
            if (std::find(removed.begin(), removed.end(), row) != removed.end()) continue;
            if (StartupEntry* entry = GetEntry(row)) name = entry->GetName();
            break;
        }
        ReportFailure(StartupMessages::DeleteFailed(name, *failure));
    }
    if (list.GetSelectedCount() == 0) infoPane_.Clear();
}

void CVelaSpannerDlg::Backup()
{
    if (!backups_) return;
    AddonExport::ResourceHandleScope resources;
    CBackupDlg dialog(*backups_, this);
    dialog.SetMessageHandler([this](const String& text) { ReportFailure(text); });
    RunDialog(dialog);
}

void CVelaSpannerDlg::Restore()
{
    if (!backups_) return;
    INT_PTR result = IDCANCEL;
    {
        AddonExport::ResourceHandleScope resources;
        CRestoreDlg dialog(*backups_, this);
        dialog.SetMessageHandler([this](const String& text) { ReportFailure(text); });
        result = RunDialog(dialog);
    }
    if (result != IDOK) return;
    RememberSelection();
    Refill();
}

HRESULT CVelaSpannerDlg::OnBtnPrevious(Html::Node*)
{
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_ADDON_BACK, 0, 0);
    return S_OK;
}

HRESULT CVelaSpannerDlg::OnShowCategory(Html::Node*)
{
    ShowCategoryPane(true);
    return S_OK;
}

HRESULT CVelaSpannerDlg::OnHideCategory(Html::Node*)
{
    ShowCategoryPane(false);
    return S_OK;
}

HRESULT CVelaSpannerDlg::OnRefresh(Html::Node*)
{
    RememberSelection();
    Refill();
    return S_OK;
}

HRESULT CVelaSpannerDlg::OnRemove(Html::Node*)
{
    DeleteSelected();
    return S_OK;
}

HRESULT CVelaSpannerDlg::OnBackup(Html::Node*)
{
    Backup();
    return S_OK;
}

HRESULT CVelaSpannerDlg::OnRestore(Html::Node*)
{
    Restore();
    return S_OK;
}
