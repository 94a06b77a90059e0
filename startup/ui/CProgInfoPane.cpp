#include "startup/ui/CProgInfoPane.h"

#include <algorithm>
#include <utility>

#include "framework/CControls.h"
#include "framework/CDC.h"

const wchar_t* const CProgInfoPane::NothingSelectedName = L"선택되지 않음";
const wchar_t* const CProgInfoPane::NothingSelectedDescription =
    L"현재 선택된 항목이 없습니다.\r\n목록에서 자세한 정보를 보기를 원하는 항목을 선택해주세요.";

namespace {

constexpr int Margin = 10;
constexpr int PictureLeft = 8;
constexpr int PictureTop = 9;
constexpr int PictureSize = 32;
constexpr int NameLeftWithPicture = 46;

void CreateDotum(CFont& font, int pixels, int weight)
{
    font.CreateFont(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"돋움");
}

}  // namespace

BEGIN_MESSAGE_MAP(CProgInfoPane, CPaneBar)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CProgInfoPane::~CProgInfoPane()
{
    if (icon_) DestroyIcon(icon_);
}

BOOL CProgInfoPane::Create(CWnd* parent, UINT templateId, UINT style, UINT id)
{
    CreateDotum(nameFont_, 16, FW_BOLD);
    CreateDotum(ratingFont_, 14, FW_BOLD);
    CreateDotum(descriptionFont_, 12, FW_NORMAL);
    topBrush_.CreateSolidBrush(TopColor);
    bodyBrush_.CreateSolidBrush(BodyColor);
    ratingBrush_.CreateSolidBrush(RatingColor(rating_));
    if (!CPaneBar::Create(parent, templateId, style, id)) return FALSE;
    if (CWnd* name = GetDlgItem(NameId)) name->SetFont(&nameFont_);
    if (CWnd* rating = GetDlgItem(RatingId)) rating->SetFont(&ratingFont_);
    if (CWnd* description = GetDlgItem(DescriptionId)) description->SetFont(&descriptionFont_);
    Clear();
    return TRUE;
}

COLORREF CProgInfoPane::RatingColor(int rating)
{
    if (rating > 0) return RGB(0, 135, 10);
    if (rating < 0 && rating != -3) return RGB(210, 0, 0);
    return RGB(108, 108, 108);
}

void CProgInfoPane::SetPicture(HICON icon, HBITMAP bitmap)
{
    auto* picture = static_cast<CStatic*>(GetDlgItem(PictureId));
    HICON old = icon_;
    icon_ = icon;
    if (picture) {
        if (icon) {
            picture->ModifyStyle(SS_TYPEMASK, SS_ICON);
            picture->SetIcon(icon);
        } else if (bitmap) {
            picture->ModifyStyle(SS_TYPEMASK, SS_BITMAP);
            picture->SetBitmap(bitmap);
        } else {
            picture->SetIcon(nullptr);
            picture->SetBitmap(nullptr);
        }
        picture->MoveWindow(PictureLeft, PictureTop, PictureSize, PictureSize);
        picture->ShowWindow(icon || bitmap ? SW_SHOW : SW_HIDE);
    }
    // Destroyed only once the control no longer shows it.
    if (old && old != icon) DestroyIcon(old);
}

void CProgInfoPane::ShowItem(Item item)
{
    rating_ = item.rating;
    itemShown_ = true;
    ratingBrush_.DeleteObject();
    ratingBrush_.CreateSolidBrush(RatingColor(rating_));
    SetPicture(item.icon, item.bitmap);
    SetDlgItemText(NameId, item.name);
    if (CWnd* second = GetDlgItem(SecondLineId)) {
        second->SetWindowText(item.secondLine);
        second->ShowWindow(SW_SHOW);
    }
    if (CWnd* rating = GetDlgItem(RatingId)) {
        rating->SetWindowText(item.ratingText);
        rating->ShowWindow(SW_SHOW);
    }
    SetDlgItemText(DescriptionId, item.description);
    PlaceName();
    Invalidate();
}

void CProgInfoPane::Clear()
{
    itemShown_ = false;
    SetPicture(nullptr, nullptr);
    SetDlgItemText(NameId, NothingSelectedName);
    for (UINT id : {SecondLineId, RatingId}) {
        if (CWnd* control = GetDlgItem(id)) {
            control->SetWindowText(L"");
            control->ShowWindow(SW_HIDE);
        }
    }
    SetDlgItemText(DescriptionId, NothingSelectedDescription);
    PlaceName();
    Invalidate();
}

void CProgInfoPane::PlaceName()
{
    CRect client;
    GetClientRect(&client);
    if (CWnd* name = GetDlgItem(NameId)) {
        int left = itemShown_ ? NameLeftWithPicture : Margin;
        int top = itemShown_ ? 10 : 15;
        name->MoveWindow(left, top, std::max(0, static_cast<int>(client.Width()) - left - nameRightMargin_), 18);
    }
}

void CProgInfoPane::LayoutControls(int width, int height)
{
    PlaceName();
    if (CWnd* second = GetDlgItem(SecondLineId))
        second->MoveWindow(NameLeftWithPicture, 30, std::max(0, width - NameLeftWithPicture - Margin), 16);
    if (CWnd* rating = GetDlgItem(RatingId))
        rating->MoveWindow(Margin, RatingBandTop, std::max(0, width - 2 * Margin), RatingBandBottom - RatingBandTop);
    if (CWnd* description = GetDlgItem(DescriptionId))
        description->MoveWindow(Margin, RatingBandBottom + 6, std::max(0, width - 2 * Margin),
                                std::max(0, height - RatingBandBottom - 6 - 4));
}

BOOL CProgInfoPane::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(client.left, client.top, client.Width(), TopBandHeight, TopColor);
    if (itemShown_) {
        dc->FillSolidRect(client.left, TopBandHeight, client.Width(), 1, LineColor);
        dc->FillSolidRect(client.left, RatingBandTop, client.Width(), RatingBandBottom - RatingBandTop,
                          RatingColor(rating_));
        dc->FillSolidRect(client.left, RatingBandBottom, client.Width(), 1, LineColor);
        dc->FillSolidRect(client.left, RatingBandBottom + 1, client.Width(), client.bottom - RatingBandBottom - 1,
                          BodyColor);
    } else {
        dc->FillSolidRect(client.left, TopBandHeight, client.Width(), client.bottom - TopBandHeight, BodyColor);
    }
    return TRUE;
}

HBRUSH CProgInfoPane::OnCtlColor(CDC* dc, CWnd* window, UINT kind)
{
    UINT id = window ? static_cast<UINT>(window->GetDlgCtrlID()) : 0;
    switch (id) {
    case NameId:
    case PictureId:
    case SecondLineId:
        dc->SetBkColor(TopColor);
        dc->SetTextColor(id == SecondLineId ? SecondLineTextColor : RGB(0, 0, 0));
        return topBrush_;
    case RatingId:
        dc->SetBkColor(RatingColor(rating_));
        dc->SetTextColor(RGB(255, 255, 255));
        return ratingBrush_;
    case DescriptionId:
        dc->SetBkColor(BodyColor);
        dc->SetTextColor(RGB(0, 0, 0));
        return bodyBrush_;
    default:
        return CPaneBar::OnCtlColor(dc, window, kind);
    }
}
