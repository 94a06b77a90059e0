#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/CDC.h"
#include "framework/CGdiObject.h"
#include "framework/CImageList.h"
#include "framework/CWnd.h"
#include "sweeper/ui/NTTreeListCtrl.h"
#include "testing/WindowScreenshot.h"

using CTreeItem = CSuperGridCtrl::CTreeItem;

namespace {

// The resource ids the sweeper's window loads its image lists from, in list order.
constexpr UINT IconIds[] = {4011, 4008, 4010, 4009, 4003, 4002};
constexpr UINT BarIds[] = {4013, 4014, 4015, 4016, 4017, 4018, 4019, 4020, 4021, 4022, 4023, 4012};
constexpr int ItemIcon = 5;
constexpr COLORREF White = RGB(255, 255, 255);
constexpr int ProgressLeft = 250;
constexpr int ProgressWidth = 70;
constexpr int RowHeight = 20;

void LoadImages(CImageList& images, int width, int height, const UINT* ids, int count)
{
    ASSERT_TRUE(images.Create(width, height, ILC_COLOR32 | ILC_MASK, count, 0));
    for (int index = 0; index < count; ++index) {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadBitmap(ids[index])) << ids[index];
        ASSERT_EQ(images.Add(&bitmap, White), index);
    }
}

// A memory context with a bitmap to draw on and read back.
class Canvas {
public:
    Canvas(int width, int height)
    {
        CClientDC screen(nullptr);
        EXPECT_TRUE(dc.CreateCompatibleDC(&screen));
        EXPECT_TRUE(bitmap.CreateCompatibleBitmap(&screen, width, height));
        previous_ = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, width, height, RGB(1, 2, 3));
    }
    ~Canvas() { dc.SelectObject(previous_); }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc, x, y); }

    CDC dc;
    CBitmap bitmap;

private:
    CBitmap* previous_ = nullptr;
};

// The tree-list as the sweeper's window sets it up, in a pop-up shown without activation.
class TreeListTest : public testing::Test {
protected:
    void SetUp() override
    {
        LoadImages(icons, 16, 16, IconIds, 6);
        LoadImages(bars, 65, 16, BarIds, 12);
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"정리", WS_POPUP | WS_BORDER, CRect(20, 20, 684, 440), nullptr, 0));
        ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(2, 2, 660, 416), &parent, 1001));
        tree.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FLATSB);
        tree.SetImageList(&icons, LVSIL_SMALL);
        tree.SetSubItemImageList(&bars);
        const wchar_t* headings[] = {L"항목", L"진행율", L"수", L"크기", L"상태"};
        const int widths[] = {250, ProgressWidth, 70, 70, 150};
        for (int column = 0; column < 5; ++column) tree.InsertColumn(column, headings[column], LVCFMT_LEFT, widths[column]);
        parent.ShowWindow(SW_SHOWNOACTIVATE);
        parent.UpdateWindow();
    }

    static std::unique_ptr<CRowContent> Row(const wchar_t* label, int image, int tick)
    {
        auto content = std::make_unique<CRowContent>();
        content->SetItemText(label);
        content->SetImage(image);
        content->SetCheck(tick);
        for (int column = 0; column < 4; ++column) content->AddSubItemText(L"");
        content->SetSubItemImage(0, 0);
        return content;
    }

    CTreeItem* AddCategory(const wchar_t* label, int image, int tick = 1)
    {
        CTreeItem* row = tree.InsertRootItem(Row(label, image, tick));
        EXPECT_NE(row, nullptr);
        return row;
    }

    CTreeItem* AddItem(CTreeItem* category, const wchar_t* label, int tick = 1)
    {
        CTreeItem* row = tree.InsertChildItem(category, Row(label, ItemIcon, tick));
        EXPECT_NE(row, nullptr);
        return row;
    }

    // "Privacy" and its five items, with the given ticks.
    CTreeItem* AddPrivacy(int categoryTick, int itemTick)
    {
        CTreeItem* privacy = AddCategory(L"개인정보", 4, categoryTick);
        for (const wchar_t* label : {L"메신저 및 네트워크 비밀번호", L"저장된 인터넷 비밀번호", L"네이트온:비밀번호", L"구글토크:비밀번호",
                                     L"파이어폭스:저장된 폼 정보"})
            AddItem(privacy, label, itemTick);
        return privacy;
    }

    std::vector<int> TicksOfChildren(CTreeItem* item) const
    {
        std::vector<int> ticks;
        for (int index = 0; index < item->GetChildCount(); ++index) ticks.push_back(tree.GetTick(item->GetChild(index)));
        return ticks;
    }

    // The check boxes the list view holds for the visible children.
    std::vector<int> ChecksOfChildren(CTreeItem* item) const
    {
        std::vector<int> checks;
        for (int index = 0; index < item->GetChildCount(); ++index) {
            int row = item->GetChild(index)->GetListIndex();
            checks.push_back(row < 0 ? -1 : tree.GetCheck(row));
        }
        return checks;
    }

    // Points inside a visible row's parts: the expand button, icon and check box each take one step
    // of 16 pixels after the indentation.
    CPoint PointOf(CTreeItem* item, int step) const
    {
        CRect row;
        EXPECT_TRUE(tree.GetItemRect(item->GetListIndex(), &row, LVIR_BOUNDS));
        return CPoint(row.left + (item->GetIndent() + step) * 16 + 8, row.CenterPoint().y);
    }
    CPoint ExpandButtonOf(CTreeItem* item) const { return PointOf(item, -1); }
    CPoint CheckBoxOf(CTreeItem* item) const { return PointOf(item, 1); }
    CPoint LabelOf(CTreeItem* item) const { return PointOf(item, 3); }

    void Click(CPoint point)
    {
        tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }

    void Press(UINT key)
    {
        tree.SendMessage(WM_KEYDOWN, key, 1);
        tree.SendMessage(WM_KEYUP, key, 0xC0000001);
    }

    void Select(CTreeItem* item)
    {
        tree.SetItemState(-1, 0, LVIS_SELECTED);
        tree.SetItemState(item->GetListIndex(), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    std::vector<std::wstring> VisibleLabels() const
    {
        std::vector<std::wstring> labels;
        for (int row = 0; row < tree.GetItemCount(); ++row) {
            CTreeItem* item = tree.GetTreeItem(row);
            EXPECT_EQ(item->GetListIndex(), row);
            labels.push_back(item->GetContent().GetItemText().GetString());
        }
        return labels;
    }

    // Draws one row the way the list view asks for it, on a canvas as wide as the columns.
    void DrawRow(Canvas& canvas, int row, UINT state = 0)
    {
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_LISTVIEW;
        draw.CtlID = 1001;
        draw.itemID = static_cast<UINT>(row);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = state;
        draw.hwndItem = tree;
        draw.hDC = canvas.dc;
        draw.rcItem = CRect(0, 0, 610, RowHeight);
        draw.itemData = tree.GetItemData(row);
        tree.DrawItem(&draw);
    }

    CImageList icons;
    CImageList bars;
    CWnd parent;
    NTTreeListCtrl tree;
};

TEST_F(TreeListTest, UntickingTheCategoryUnticksItsFiveItems)
{
    CTreeItem* privacy = AddPrivacy(1, 1);
    ASSERT_TRUE(tree.Expand(privacy));
    ASSERT_EQ(tree.GetItemCount(), 6);
    EXPECT_EQ(ChecksOfChildren(privacy), (std::vector<int>{1, 1, 1, 1, 1}));

    Click(CheckBoxOf(privacy));

    EXPECT_FALSE(tree.GetTick(privacy));
    EXPECT_FALSE(tree.GetCheck(privacy->GetListIndex()));
    EXPECT_EQ(TicksOfChildren(privacy), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(ChecksOfChildren(privacy), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(tree.GetNextItem(-1, LVNI_SELECTED), privacy->GetListIndex());
    EXPECT_EQ(CWnd::GetFocus(), &tree);
}

TEST_F(TreeListTest, TickingOneItemTicksItsCategoryAndUntickingItLeavesTheCategory)
{
    CTreeItem* privacy = AddPrivacy(0, 0);
    ASSERT_TRUE(tree.Expand(privacy));

    Click(CheckBoxOf(privacy->GetChild(2)));

    EXPECT_TRUE(tree.GetTick(privacy));
    EXPECT_TRUE(tree.GetCheck(privacy->GetListIndex()));
    EXPECT_EQ(TicksOfChildren(privacy), (std::vector<int>{0, 0, 1, 0, 0}));
    EXPECT_EQ(ChecksOfChildren(privacy), (std::vector<int>{0, 0, 1, 0, 0}));

    Click(CheckBoxOf(privacy->GetChild(2)));

    EXPECT_TRUE(tree.GetTick(privacy));
    EXPECT_TRUE(tree.GetCheck(privacy->GetListIndex()));
    EXPECT_EQ(TicksOfChildren(privacy), (std::vector<int>{0, 0, 0, 0, 0}));
}

// A click anywhere on a row hands down the tick the row has, even to children that are hidden.
TEST_F(TreeListTest, AClickOnALabelHandsTheRowsTickToItsHiddenChildren)
{
    CTreeItem* privacy = AddPrivacy(0, 1);

    Click(LabelOf(privacy));

    EXPECT_FALSE(tree.GetTick(privacy));
    EXPECT_EQ(TicksOfChildren(privacy), (std::vector<int>{0, 0, 0, 0, 0}));
    ASSERT_TRUE(tree.Expand(privacy));
    EXPECT_EQ(ChecksOfChildren(privacy), (std::vector<int>{0, 0, 0, 0, 0}));
}

TEST_F(TreeListTest, TheExpandButtonShowsAndHidesChildrenWithoutTheTickRules)
{
    CTreeItem* registry = AddCategory(L"레지스트리", 1, 0);
    for (const wchar_t* label : {L"존재하지 않는 ActiveX/클래스", L"존재하지 않는 공유 DLL", L"존재하지 않는 연결 프로그램",
                                 L"존재하지 않는 프로그램 경로"})
        AddItem(registry, label, 1);
    CTreeItem* privacy = AddPrivacy(1, 1);
    EXPECT_EQ(VisibleLabels(), (std::vector<std::wstring>{L"레지스트리", L"개인정보"}));

    Click(ExpandButtonOf(registry));

    EXPECT_TRUE(registry->IsExpanded());
    EXPECT_EQ(VisibleLabels(), (std::vector<std::wstring>{L"레지스트리", L"존재하지 않는 ActiveX/클래스", L"존재하지 않는 공유 DLL",
                                                          L"존재하지 않는 연결 프로그램", L"존재하지 않는 프로그램 경로", L"개인정보"}));
    EXPECT_EQ(privacy->GetListIndex(), 5);
    EXPECT_EQ(TicksOfChildren(registry), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(ChecksOfChildren(registry), (std::vector<int>{1, 1, 1, 1}));

    Click(ExpandButtonOf(registry));

    EXPECT_FALSE(registry->IsExpanded());
    EXPECT_EQ(VisibleLabels(), (std::vector<std::wstring>{L"레지스트리", L"개인정보"}));
    EXPECT_EQ(registry->GetChild(0)->GetListIndex(), -1);
    EXPECT_EQ(TicksOfChildren(registry), (std::vector<int>{1, 1, 1, 1}));
}

TEST_F(TreeListTest, SpaceFlipsTheSelectedRowsTickWithoutTheRules)
{
    CTreeItem* privacy = AddPrivacy(1, 1);
    ASSERT_TRUE(tree.Expand(privacy));
    Select(privacy);

    Press(VK_SPACE);

    EXPECT_FALSE(tree.GetTick(privacy));
    EXPECT_FALSE(tree.GetCheck(privacy->GetListIndex()));
    EXPECT_EQ(TicksOfChildren(privacy), (std::vector<int>{1, 1, 1, 1, 1}));

    Press(VK_SPACE);
    EXPECT_TRUE(tree.GetTick(privacy));
    EXPECT_TRUE(tree.GetCheck(privacy->GetListIndex()));
}

TEST_F(TreeListTest, KeypadKeysExpandAndCollapseAndTheChildrenKeepTheirTicks)
{
    CTreeItem* privacy = AddPrivacy(1, 1);
    CTreeItem* disk = AddCategory(L"디스크", 0);
    Select(privacy);

    Press(VK_ADD);
    EXPECT_EQ(tree.GetItemCount(), 7);
    EXPECT_EQ(disk->GetListIndex(), 6);
    Click(CheckBoxOf(privacy->GetChild(1)));
    Select(privacy);

    Press(VK_SUBTRACT);
    EXPECT_EQ(VisibleLabels(), (std::vector<std::wstring>{L"개인정보", L"디스크"}));
    EXPECT_EQ(ChecksOfChildren(privacy), (std::vector<int>{-1, -1, -1, -1, -1}));

    Press(VK_ADD);
    EXPECT_EQ(tree.GetItemCount(), 7);
    EXPECT_EQ(TicksOfChildren(privacy), (std::vector<int>{1, 0, 1, 1, 1}));
    EXPECT_EQ(ChecksOfChildren(privacy), (std::vector<int>{1, 0, 1, 1, 1}));
}

TEST_F(TreeListTest, MultiplyExpandsEveryLevelInTreeOrder)
{
    CTreeItem* history = AddCategory(L"일반 사용기록", 2);
    CTreeItem* browser = AddItem(history, L"인터넷");
    AddItem(browser, L"주소");
    AddItem(browser, L"방문");
    AddItem(history, L"최근 열어본 문서");
    AddCategory(L"개인정보", 4);
    Select(history);

    Press(VK_MULTIPLY);

    EXPECT_EQ(VisibleLabels(),
              (std::vector<std::wstring>{L"일반 사용기록", L"인터넷", L"주소", L"방문", L"최근 열어본 문서", L"개인정보"}));
    EXPECT_EQ(browser->GetChild(1)->GetIndent(), 3);

    Press(VK_SUBTRACT);
    EXPECT_EQ(VisibleLabels(), (std::vector<std::wstring>{L"일반 사용기록", L"개인정보"}));
    // Reopening shows the level below as it was left: open.
    Press(VK_ADD);
    EXPECT_EQ(tree.GetItemCount(), 6);
}

TEST_F(TreeListTest, AChildAddedUnderAShownParentFollowsItsSiblings)
{
    CTreeItem* registry = AddCategory(L"레지스트리", 1);
    AddItem(registry, L"공유 DLL");
    CTreeItem* privacy = AddCategory(L"개인정보", 4);
    ASSERT_TRUE(tree.Expand(registry));

    CTreeItem* added = AddItem(registry, L"프로그램 경로");

    EXPECT_EQ(VisibleLabels(), (std::vector<std::wstring>{L"레지스트리", L"공유 DLL", L"프로그램 경로", L"개인정보"}));
    EXPECT_EQ(added->GetListIndex(), 2);
    EXPECT_EQ(privacy->GetListIndex(), 3);
    EXPECT_EQ(AddItem(privacy, L"비밀번호")->GetListIndex(), -1);
    EXPECT_EQ(tree.InsertChildItem(privacy, nullptr), nullptr);
    EXPECT_EQ(tree.InsertRootItem(nullptr), nullptr);
}

TEST_F(TreeListTest, UpdatingARowShowsItsNewTextsAndTick)
{
    CTreeItem* privacy = AddPrivacy(1, 1);
    CRowContent& content = privacy->GetContent();
    content.SetSubItemText(1, L"12");
    content.SetSubItemText(3, L"분석 완료");
    content.SetCheck(0);

    tree.UpdateRow(privacy);

    EXPECT_EQ(tree.GetItemText(0, 2), L"12");
    EXPECT_EQ(tree.GetItemText(0, 4), L"분석 완료");
    EXPECT_FALSE(tree.GetCheck(0));
}

// A fixed-pitch font makes every width a multiple of one character's.
class ShortenTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        previous = ::SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
        character = dc.GetTextExtent(L"W", 1).cx;
        ASSERT_GT(character, 0);
        ASSERT_EQ(dc.GetTextExtent(L"iW.", 3).cx, 3 * character);
    }
    void TearDown() override { ::SelectObject(dc, previous); }

    CDC dc;
    HGDIOBJ previous = nullptr;
    int character = 0;
};

TEST_F(ShortenTextTest, LeavesATextThatFits)
{
    EXPECT_EQ(CSuperGridCtrl::ShortenText(&dc, L"abcdef", 6 * character), L"abcdef");
    EXPECT_EQ(CSuperGridCtrl::ShortenText(&dc, L"abcdef", 100 * character), L"abcdef");
    EXPECT_EQ(CSuperGridCtrl::ShortenText(&dc, L"", 0), L"");
    EXPECT_EQ(CSuperGridCtrl::ShortenText(&dc, L"", -5), L"");
}

TEST_F(ShortenTextTest, CutsATextThatIsTooWideAndEndsItInDots)
{
    EXPECT_EQ(CSuperGridCtrl::ShortenText(&dc, L"abcdef", 6 * character - 1), L"ab...");
    EXPECT_EQ(CSuperGridCtrl::ShortenText(&dc, L"abcdefghij", 7 * character), L"abcd...");
    EXPECT_EQ(CSuperGridCtrl::ShortenText(&dc, L"abcdefghij", 7 * character + character / 2), L"abcd...");
    EXPECT_EQ(CSuperGridCtrl::ShortenText(&dc, L"abcdefghij", 4 * character - 1), L"...");
    EXPECT_EQ(CSuperGridCtrl::ShortenText(&dc, L"abc", 0), L"...");
    EXPECT_EQ(CSuperGridCtrl::ShortenText(&dc, L"a", -1), L"...");
}

TEST_F(ShortenTextTest, NeverSplitsACharacterOutsideTheBasicPlane)
{
    const CString text(L"ab\U0001F600\U0001F600cdef");
    int full = dc.GetTextExtent(text).cx;
    for (int room = 0; room <= full; ++room) {
        CString shortened = CSuperGridCtrl::ShortenText(&dc, text, room);
        if (shortened == text) continue;
        ASSERT_EQ(shortened.Right(3), L"...") << room;
        CString kept = shortened.Left(shortened.GetLength() - 3);
        EXPECT_EQ(text.Left(kept.GetLength()), kept) << room;
        if (!kept.IsEmpty()) {
            EXPECT_FALSE(IS_HIGH_SURROGATE(kept[kept.GetLength() - 1])) << room;
            EXPECT_LE(dc.GetTextExtent(kept).cx + 3 * character, room) << room;
        }
    }
}

TEST_F(TreeListTest, DrawsBarFiveCentredInTheProgressColumn)
{
    CTreeItem* privacy = AddPrivacy(1, 1);
    ASSERT_TRUE(tree.Expand(privacy));
    CTreeItem* item = privacy->GetChild(0);
    item->GetContent().SetSubItemImage(0, 5);
    tree.UpdateRow(item);
    ASSERT_EQ(item->GetListIndex(), 1);

    Canvas canvas(610, RowHeight);
    DrawRow(canvas, 1);

    CBitmap half;
    ASSERT_TRUE(half.LoadBitmap(4018));
    CDC source;
    ASSERT_TRUE(source.CreateCompatibleDC(nullptr));
    CBitmap* previous = source.SelectObject(&half);
    const int left = ProgressLeft + (ProgressWidth - 65) / 2;
    const int top = (RowHeight - 16) / 2;
    int differences = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 65; ++x) {
            COLORREF image = GetPixel(source, x, y);
            COLORREF expected = image == White ? CSuperGridCtrl::StripeColor : image;
            if (canvas.Pixel(left + x, top + y) != expected) ++differences;
        }
    }
    source.SelectObject(previous);
    EXPECT_EQ(differences, 0);
    for (int y = 0; y < RowHeight; ++y) {
        EXPECT_EQ(canvas.Pixel(left - 1, y), CSuperGridCtrl::StripeColor) << y;
        EXPECT_EQ(canvas.Pixel(left + 65, y), CSuperGridCtrl::StripeColor) << y;
    }
}

TEST_F(TreeListTest, StripesOddRowsHighlightsSelectedOnesAndFillsSubItemColours)
{
    CTreeItem* privacy = AddPrivacy(1, 1);
    ASSERT_TRUE(tree.Expand(privacy));
    privacy->GetChild(1)->GetContent().SetSubItemColor(2, RGB(250, 200, 100));
    const int sizeColumn = 250 + 70 + 70 + 35;
    const int statusColumn = 250 + 70 + 70 + 70 + 140;

    Canvas even(610, RowHeight);
    DrawRow(even, 0);
    EXPECT_EQ(even.Pixel(statusColumn, 1), White);
    Canvas odd(610, RowHeight);
    DrawRow(odd, 1);
    EXPECT_EQ(odd.Pixel(statusColumn, 1), CSuperGridCtrl::StripeColor);
    Canvas selected(610, RowHeight);
    DrawRow(selected, 1, ODS_SELECTED);
    EXPECT_EQ(selected.Pixel(statusColumn, 1), GetSysColor(COLOR_HIGHLIGHT));
    Canvas coloured(610, RowHeight);
    DrawRow(coloured, 2);
    EXPECT_EQ(coloured.Pixel(sizeColumn, 1), RGB(250, 200, 100));
    EXPECT_EQ(coloured.Pixel(statusColumn, 1), White);
}

TEST_F(TreeListTest, TheParentHandsDrawingAndMeasuringBackToTheTree)
{
    CTreeItem* privacy = AddPrivacy(1, 1);
    ASSERT_TRUE(tree.Expand(privacy));
    tree.RedrawWindow();

    CRect row;
    ASSERT_TRUE(tree.GetItemRect(1, &row, LVIR_BOUNDS));
    EXPECT_GE(row.Height(), RowHeight);
    CClientDC dc(&tree);
    EXPECT_EQ(GetPixel(dc, 600, row.CenterPoint().y), CSuperGridCtrl::StripeColor);
    ASSERT_TRUE(tree.GetItemRect(2, &row, LVIR_BOUNDS));
    EXPECT_EQ(GetPixel(dc, 600, row.CenterPoint().y), White);
}

TEST(TreeListBitmapsTest, IconsAndBarsHaveTheirSizesAndTheBarsFillInSteps)
{
    for (UINT id : IconIds) {
        CBitmap icon;
        ASSERT_TRUE(icon.LoadBitmap(id)) << id;
        BITMAP info = {};
        ASSERT_TRUE(icon.GetBitmap(&info));
        EXPECT_EQ(info.bmWidth, 16) << id;
        EXPECT_EQ(info.bmHeight, 16) << id;
    }
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    std::vector<int> filled;
    COLORREF empty = CLR_NONE;
    for (UINT id : BarIds) {
        CBitmap bar;
        ASSERT_TRUE(bar.LoadBitmap(id)) << id;
        BITMAP info = {};
        ASSERT_TRUE(bar.GetBitmap(&info));
        EXPECT_EQ(info.bmWidth, 65) << id;
        EXPECT_EQ(info.bmHeight, 16) << id;
        CBitmap* previous = dc.SelectObject(&bar);
        // The inside of the empty bar has one colour; the fill is whatever differs from it.
        if (empty == CLR_NONE) empty = GetPixel(dc, 63, 8);
        int count = 0;
        for (int x = 1; x < 64; ++x) count += GetPixel(dc, x, 8) != empty ? 1 : 0;
        dc.SelectObject(previous);
        filled.push_back(count);
    }
    EXPECT_EQ(filled.front(), 0);
    for (size_t step = 1; step + 1 < filled.size(); ++step) EXPECT_GT(filled[step], filled[step - 1]) << step;
    EXPECT_EQ(filled[10], 63);
    EXPECT_EQ(filled[11], 63);
}

// The build folder is the one above the program's own bin folder.
std::wstring BuildFolderPath(const wchar_t* name)
{
    wchar_t program[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return name;
    std::wstring path(program, length);
    path.erase(path.find_last_of(L'\\'));
    path.erase(path.find_last_of(L'\\') + 1);
    return path + name;
}

TEST_F(TreeListTest, LeavesAScreenshotOfAFilledTree)
{
    struct Category {
        const wchar_t* label;
        int image;
        std::vector<const wchar_t*> items;
    };
    const Category categories[] = {
        {L"디스크", 0, {L"휴지통", L"임시파일", L"Windows 임시파일", L"인터넷 임시파일", L"인터넷 쿠키"}},
        {L"레지스트리", 1, {L"존재하지 않는 ActiveX/클래스", L"존재하지 않는 공유 DLL"}},
        {L"일반 사용기록", 2, {L"최근 열어본 파일", L"원격 데스크탑 연결:최근 연결한 컴퓨터 목록이 아주 길게 이어지는 항목"}},
        {L"프로그램 사용기록", 3, {L"미디어 플레이어:최근 열어본 파일"}},
        {L"개인정보", 4, {L"메신저 및 네트워크 비밀번호", L"저장된 인터넷 비밀번호"}},
    };
    int step = 0;
    for (const Category& category : categories) {
        CTreeItem* row = AddCategory(category.label, category.image, category.image != 3);
        for (const wchar_t* label : category.items) {
            CTreeItem* item = AddItem(row, label, step % 3 != 2);
            CRowContent& content = item->GetContent();
            int progress = (step * 3) % 12;
            content.SetSubItemImage(0, progress);
            content.SetSubItemText(1, progress == 11 ? L"1024" : L"37");
            content.SetSubItemText(2, L"12.5MB");
            content.SetSubItemText(3, progress == 11 ? L"분석 완료" : L"분석중... 40%");
            ++step;
        }
        ASSERT_TRUE(tree.Expand(row));
    }
    tree.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    tree.RedrawWindow();
    EXPECT_TRUE(TestSupport::SaveWindowImage(parent, BuildFolderPath(L"sweeper_treelist.png")));
}

}  // namespace
