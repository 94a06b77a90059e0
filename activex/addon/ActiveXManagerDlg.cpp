#include "activex/addon/ActiveXManagerDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "activex/ActiveXListFilter.h"
#include "activex/addon/CApplyComment.h"
#include "activex/addon/CBlockDangerDlg.h"
#include "core/ExceptionGuard.h"
#include "core/Trace.h"
#include "html/Node.h"
#include "html/Page.h"
#include "shell/AddonExport.h"

using System::String;

namespace {

constexpr struct {
    const wchar_t* heading;
    int width;
} Columns[] = {{L"이름", 250}, {L"등급", 65}, {L"종류", 65}, {L"CLSID", 250}};

void Trace(const String& text) { System::Diagnostics::Trace::WriteLine(L"ActiveXManagerDlg: " + text); }

const ActiveXEntry* EntryOf(DWORD_PTR data) { return reinterpret_cast<const ActiveXEntry*>(data); }

// Dangerous controls red, safe and essential ones green, the rest black.
COLORREF TextColor(const CColoredListCtrl&, int, DWORD_PTR data)
{
    const ActiveXEntry* entry = EntryOf(data);
    int rating = entry ? entry->GetRating() : 0;
    if (rating == 0 || rating < -2 || rating > 2) return RGB(0, 0, 0);
    return rating > 0 ? RGB(0, 160, 10) : RGB(221, 0, 0);
}

int Compare(DWORD_PTR first, DWORD_PTR second, int column)
{
    const ActiveXEntry* a = EntryOf(first);
    const ActiveXEntry* b = EntryOf(second);
    switch (column) {
    case 0: return CColoredListCtrl::CompareTexts(a->GetTitle(), b->GetTitle());
    case 1: return a->GetRating() - b->GetRating();
    case 2: return CColoredListCtrl::CompareTexts(a->GetType(), b->GetType());
    case 3: return CColoredListCtrl::CompareTexts(a->GetClsid(), b->GetClsid());
    default: return 0;
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(ActiveXManagerDlg, CDHtmlDialogEx)
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_MESSAGE(WM_AXM_LIST, OnListMessage)
    ON_NOTIFY(NM_CLICK, IDC_AXM_LIST, OnListClick)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_AXM_TREE, OnTreeSelChanged)
END_MESSAGE_MAP()

BEGIN_DHTML_EVENT_MAP(ActiveXManagerDlg)
    DHTML_EVENT_ONCLICK(L"LeftBtn", OnBack)
    DHTML_EVENT_ONCLICK(L"LnkShowAllImg", OnShowAll)
    DHTML_EVENT_ONCLICK(L"LnkHideAllImg", OnShowAll)
    DHTML_EVENT_ONCLICK(L"LnkRefreshImg", OnRefresh)
    DHTML_EVENT_ONCLICK(L"LnkRefreshImgOn", OnRefresh)
    DHTML_EVENT_ONCLICK(L"LnkCutImg", OnBlock)
    DHTML_EVENT_ONCLICK(L"LnkCutImgOn", OnBlock)
    DHTML_EVENT_ONCLICK(L"LnkNoCutImg", OnUnblock)
    DHTML_EVENT_ONCLICK(L"LnkNoCutImgOn", OnUnblock)
    DHTML_EVENT_ONCLICK(L"removeBtnImg", OnClearSearch)
    DHTML_EVENT_TAG_ALL(Html::EventType::SelectStart, OnSelectStart)
    DHTML_EVENT_TAG_ALL(Html::EventType::DragStart, OnDragStart)
END_DHTML_EVENT_MAP()

ActiveXManagerDlg::ActiveXManagerDlg(CWnd* parent) : ActiveXManagerDlg(parent, Places()) {}

ActiveXManagerDlg::ActiveXManagerDlg(CWnd* parent, Places places)
    : CDHtmlDialogEx(TemplateId, PageId, parent), places_(std::move(places)), feed_(*places_.killBits)
{
}

ActiveXManagerDlg::~ActiveXManagerDlg()
{
    // Here rather than in the base destructor, so that WM_DESTROY still finds this class.
    if (m_hWnd) DestroyWindow();
}

INT_PTR ActiveXManagerDlg::RunDialog(CDialog& dialog) { return dialog.DoModal(); }

BOOL ActiveXManagerDlg::OnInitDialog()
{
    CDHtmlDialogEx::OnInitDialog();
    blocking_ = std::make_unique<ActiveXBlocking>(places_.settingsPath, [this](bool& dontAskAgain) { return ShowNote(dontAskAgain); });
    if (!CreatePanes()) {
        Trace(String::Format(L"cannot create the panes (error %lu)", GetLastError()));
        return TRUE;
    }
    ActiveXFeed::DownloadAtStart(places_.feedUrl, places_.cachePath);
    SendMessage(WM_AXM_LIST, 1, 0);
    timer_ = SetTimer(SearchTimer, SearchPeriodMs, nullptr);
    if (!timer_) Trace(String::Format(L"no search timer (error %lu)", GetLastError()));
    return TRUE;
}

void ActiveXManagerDlg::OnDocumentComplete()
{
    CDHtmlDialogEx::OnDocumentComplete();
    CallScript(L"enable_button", CString(L"LeftBtn"));
}

bool ActiveXManagerDlg::CreatePanes()
{
    if (!unblocked_.LoadBitmap(IDB_AXM_UNBLOCKED) || !blocked_.LoadBitmap(IDB_AXM_BLOCKED) ||
        !pictures_.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0) || pictures_.Add(&unblocked_, RGB(255, 255, 255)) < 0 ||
        pictures_.Add(&blocked_, RGB(255, 255, 255)) < 0)
        Trace(String::Format(L"cannot load the list's pictures (error %lu)", GetLastError()));

    const UINT style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (!listPane_.Create(this, IDD_AXM_LIST_PANE, style, IDD_AXM_LIST_PANE) ||
        !infoPane_.Create(this, IDD_AXM_PROGINFO_PANE, style, IDD_AXM_PROGINFO_PANE) ||
        !categoryPane_.Create(this, IDD_AXM_CATEGORY_PANE, style, IDD_AXM_CATEGORY_PANE))
        return false;

    CColoredListCtrl& list = GetList();
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    list.SetImageList(&pictures_, LVSIL_SMALL);
    for (int column = 0; column < static_cast<int>(std::size(Columns)); ++column) {
        if (list.InsertColumn(column, Columns[column].heading, LVCFMT_LEFT, Columns[column].width) < 0)
            Trace(String(L"cannot add the column ") + Columns[column].heading);
    }
    list.SetTextColorRule(&TextColor);
    list.SetSortRule(&Compare, static_cast<int>(std::size(Columns)));

    CRect client;
    GetClientRect(&client);
    CRect area(SideMargin, TopBand, std::max(SideMargin + 1, static_cast<int>(client.right) - SideMargin),
               std::max(TopBand + 1, static_cast<int>(client.bottom) - BottomBand));
    if (!listSplitter_.Create(CSSplitter::Stacked, this, &listPane_, &infoPane_, ListSplitterId, area, 150, 100)) return false;
    listSplitter_.KeepSecondPaneSize(true);
    listSplitter_.SetDivision(area.Height() - infoPane_.m_sizeDefault.cy - 1);
    if (!categorySplitter_.Create(CSSplitter::SideBySide, this, &categoryPane_, &listSplitter_, CategorySplitterId, area, 80,
                                  140))
        return false;
    categorySplitter_.SetDivision(categoryPane_.m_sizeDefault.cx + 1);
    listSplitter_.ShowSecondPane(false);
    listPane_.SetCaption(ActiveXFeed::AllCategory);
    listPane_.SetPicture(categoryPane_.GetPicture(0));
    return true;
}

void ActiveXManagerDlg::LayoutPanes(int width, int height)
{
    if (!categorySplitter_.m_hWnd) return;
    categorySplitter_.MoveWindow(SideMargin, TopBand, std::max(1, width - 2 * SideMargin), std::max(1, height - TopBand - BottomBand));
}

void ActiveXManagerDlg::OnSize(UINT type, int cx, int cy)
{
    CDHtmlDialogEx::OnSize(type, cx, cy);
    if (type != SIZE_MINIMIZED) LayoutPanes(cx, cy);
}

void ActiveXManagerDlg::OnDestroy()
{
    if (timer_) KillTimer(timer_);
    timer_ = 0;
    // The rows point into the feed's entries, which go with the window.
    if (listPane_.m_hWnd) GetList().DeleteAllItems();
    CDHtmlDialogEx::OnDestroy();
}

ActiveXEntry* ActiveXManagerDlg::GetEntry(int row)
{
    if (!listPane_.m_hWnd || row < 0) return nullptr;
    return reinterpret_cast<ActiveXEntry*>(GetList().GetItemData(row));
}

int ActiveXManagerDlg::FindRow(const String& clsid)
{
    for (int row = 0; listPane_.m_hWnd && row < GetList().GetItemCount(); ++row) {
        if (ActiveXEntry* entry = GetEntry(row); entry && entry->GetClsid() == clsid) return row;
    }
    return -1;
}

void ActiveXManagerDlg::RememberSelection()
{
    remembered_.clear();
    if (!listPane_.m_hWnd) return;
    CColoredListCtrl& list = GetList();
    POSITION position = list.GetFirstSelectedItemPosition();
    while (position) {
        if (ActiveXEntry* entry = GetEntry(list.GetNextSelectedItem(position))) remembered_.insert(entry->GetClsid().GetStdString());
    }
}

LRESULT ActiveXManagerDlg::OnListMessage(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 1) {
        Reload();
    } else {
        Refill(lParam == 1 ? search_ : String());
    }
    return 1;
}

void ActiveXManagerDlg::Reload()
{
    if (!listPane_.m_hWnd) return;
    // The rows point at the entries the load replaces.
    GetList().DeleteAllItems();
    category_ = ActiveXFeed::AllCategory;
    System::TraceExceptions([&] { feed_.Load(places_.feedUrl, places_.cachePath); });
    OfferToBlockDangerous();
    rebuildingTree_ = true;
    categoryPane_.Build(feed_.GetCategories());
    rebuildingTree_ = false;
    Refill(search_);
}

void ActiveXManagerDlg::OfferToBlockDangerous()
{
    std::vector<ActiveXEntry*> dangerous = FindUnblockedDangerous(feed_.GetEntries());
    if (dangerous.empty()) return;
    INT_PTR answer = IDCANCEL;
    {
        AddonExport::ResourceHandleScope resources;
        CBlockDangerDlg question(dangerous, this);
        answer = RunDialog(question);
    }
    if (answer != IDOK) return;
    try {
        ActiveXBlocking::BlockWithoutNote(dangerous);
    } catch (System::Exception* caught) {
        System::ExceptionHolder failure(caught);
        Trace(failure->ToString());
        MessageBox((L"위험한 ActiveX를 차단하지 못했습니다.\r\n" + failure->GetMessage()).GetBuffer(), L"ActiveX 관리",
                   MB_OK | MB_ICONWARNING);
    }
}

bool ActiveXManagerDlg::ShowNote(bool& dontAskAgain)
{
    AddonExport::ResourceHandleScope resources;
    CApplyComment note(this);
    if (RunDialog(note) != IDOK) return false;
    dontAskAgain = note.IsNoNoteTicked();
    return true;
}

void ActiveXManagerDlg::SetRowPicture(int row, const ActiveXEntry& entry)
{
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = entry.IsBlocked() ? BlockedPicture : UnblockedPicture;
    GetList().SetItem(&item);
}

void ActiveXManagerDlg::Refill(const String& search)
{
    if (!listPane_.m_hWnd) return;
    CColoredListCtrl& list = GetList();
    list.DeleteAllItems();
    list.ClearSort();
    list.SetRedraw(FALSE);
    int reselected = -1;
    for (ActiveXEntry* entry : ActiveXListFilter(category_, search).Apply(feed_.GetEntries())) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = list.GetItemCount();
        item.pszText = const_cast<wchar_t*>(entry->GetTitle().GetBuffer());
        item.iImage = entry->IsBlocked() ? BlockedPicture : UnblockedPicture;
        item.lParam = reinterpret_cast<LPARAM>(entry);
        int row = list.InsertItem(&item);
        if (row < 0) {
            Trace(L"cannot add the row of " + entry->GetTitle());
            continue;
        }
        list.SetItemText(row, 1, entry->GetRatingText().GetBuffer());
        list.SetItemText(row, 2, entry->GetType().GetBuffer());
        list.SetItemText(row, 3, entry->GetClsid().GetBuffer());
        if (remembered_.count(entry->GetClsid().GetStdString())) {
            list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            reselected = row;
        }
    }
    list.SetRedraw(TRUE);
    list.Invalidate();
    if (search.IsEmpty() && reselected >= 0) {
        ShowEntry(GetEntry(reselected));
        list.EnsureVisible(reselected, FALSE);
        list.SetFocus();
    } else {
        HideInfoPane();
    }
    remembered_.clear();
}

void ActiveXManagerDlg::ShowEntry(const ActiveXEntry* entry)
{
    if (!entry) return;
    CProgInfoPane::Item item;
    item.bitmap = entry->IsBlocked() ? static_cast<HBITMAP>(blocked_.m_hObject) : static_cast<HBITMAP>(unblocked_.m_hObject);
    item.name = entry->GetTitle().GetBuffer();
    item.secondLine = entry->GetAuthor().GetBuffer();
    item.rating = entry->GetRating();
    item.ratingText = entry->GetRatingText().GetBuffer();
    item.description = entry->GetDescription().GetBuffer();
    infoPane_.ShowItem(std::move(item));
    if (listSplitter_.m_hWnd && !listSplitter_.IsSecondPaneShown()) listSplitter_.ShowSecondPane(true);
}

void ActiveXManagerDlg::HideInfoPane()
{
    if (listSplitter_.m_hWnd && listSplitter_.IsSecondPaneShown()) listSplitter_.ShowSecondPane(false);
}

void ActiveXManagerDlg::SelectAll()
{
    CColoredListCtrl& list = GetList();
    int count = list.GetItemCount();
    if (count == 0) return;
    list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    list.EnsureVisible(count - 1, FALSE);
    ShowEntry(GetEntry(count - 1));
}

void ActiveXManagerDlg::ApplyToSelection(bool block)
{
    if (!listPane_.m_hWnd || !blocking_) return;
    CColoredListCtrl& list = GetList();
    std::vector<int> rows;
    std::vector<ActiveXEntry*> entries;
    POSITION position = list.GetFirstSelectedItemPosition();
    while (position) {
        int row = list.GetNextSelectedItem(position);
        if (ActiveXEntry* entry = GetEntry(row)) {
            rows.push_back(row);
            entries.push_back(entry);
        }
    }
    if (rows.empty()) return;
    try {
        // Each picture changes before the note, which then stands over the list as it now is.
        blocking_->Apply(entries, block, [&](size_t index) {
            SetRowPicture(rows[index], *entries[index]);
            ShowEntry(entries[index]);
        });
    } catch (System::Exception* caught) {
        System::ExceptionHolder failure(caught);
        Trace(failure->ToString());
        MessageBox((String(block ? L"ActiveX를 차단하지 못했습니다.\r\n" : L"ActiveX의 차단을 풀지 못했습니다.\r\n") + failure->GetMessage())
                       .GetBuffer(),
                   L"ActiveX 관리", MB_OK | MB_ICONWARNING);
    }
    list.Invalidate();
}

String ActiveXManagerDlg::ReadSearchBox() const
{
    Html::Node* box = GetElement(L"search");
    return box ? String(box->Value()) : search_;
}

void ActiveXManagerDlg::OnTimer(UINT_PTR id)
{
    if (id != SearchTimer) {
        CDHtmlDialogEx::OnTimer(id);
        return;
    }
    String typed = ReadSearchBox();
    if (typed == search_) return;
    search_ = typed;
    SendMessage(WM_AXM_LIST, 0, 1);
    HideInfoPane();
}

void ActiveXManagerDlg::OnListClick(NMHDR* header, LRESULT* result)
{
    *result = 0;
    auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
    ActiveXEntry* entry = GetEntry(click->iItem);
    if (!entry) return;
    LVHITTESTINFO hit = {};
    hit.pt = click->ptAction;
    GetList().SubItemHitTest(&hit);
    if (hit.iItem == click->iItem && hit.iSubItem == 0 && (hit.flags & LVHT_ONITEMICON)) {
        try {
            if (entry->Toggle() == 1) SetRowPicture(click->iItem, *entry);
        } catch (System::Exception* caught) {
            System::ExceptionHolder failure(caught);
            Trace(failure->ToString());
            MessageBox((L"ActiveX의 차단 상태를 바꾸지 못했습니다.\r\n" + failure->GetMessage()).GetBuffer(), L"ActiveX 관리",
                       MB_OK | MB_ICONWARNING);
        }
    }
    ShowEntry(entry);
}

void ActiveXManagerDlg::OnTreeSelChanged(NMHDR* header, LRESULT* result)
{
    *result = 0;
    HTREEITEM item = reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem;
    if (!item) return;
    String text = categoryPane_.GetTree().GetItemText(item).GetString();
    if (text.IsEmpty()) return;
    category_ = text;
    listPane_.SetPicture(categoryPane_.GetPicture(categoryPane_.GetPictureIndex(item)));
    listPane_.SetCaption(text.GetBuffer());
    // A rebuild after a refresh keeps what the refresh link remembered.
    if (rebuildingTree_) return;
    RememberSelection();
    Refill(search_);
}

HRESULT ActiveXManagerDlg::OnBack(Html::Node*)
{
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_ADDON_BACK, 0, 0);
    return S_OK;
}

HRESULT ActiveXManagerDlg::OnShowAll(Html::Node*)
{
    SelectAll();
    return S_OK;
}

HRESULT ActiveXManagerDlg::OnRefresh(Html::Node*)
{
    RememberSelection();
    SendMessage(WM_AXM_LIST, 1, 0);
    return S_OK;
}

HRESULT ActiveXManagerDlg::OnBlock(Html::Node*)
{
    ApplyToSelection(true);
    return S_OK;
}

HRESULT ActiveXManagerDlg::OnUnblock(Html::Node*)
{
    ApplyToSelection(false);
    return S_OK;
}

HRESULT ActiveXManagerDlg::OnClearSearch(Html::Node*)
{
    search_ = String();
    if (Html::Node* box = GetElement(L"search")) box->SetValue(L"");
    Trace(L"search: \"" + search_ + L"\"");
    SendMessage(WM_AXM_LIST, 0, 1);
    return S_OK;
}
