#pragma once

#include <windows.h>

#include "framework/CGdiObject.h"
#include "framework/CString.h"
#include "startup/ui/CPaneBar.h"

// The pane under a list that describes its selected item: a picture and the name on a light
// band, the rating on a band of the rating's colour, and the description below. What an item
// is stays the caller's; it hands over the texts and the picture.
class CProgInfoPane : public CPaneBar {
public:
    static constexpr UINT PictureId = 1013;
    static constexpr UINT NameId = 1012;
    static constexpr UINT SecondLineId = 1014;
    static constexpr UINT RatingId = 1028;
    static constexpr UINT DescriptionId = 1017;

    static constexpr int TopBandHeight = 50;
    static constexpr int RatingBandTop = 51;
    static constexpr int RatingBandBottom = 66;
    static constexpr COLORREF TopColor = RGB(206, 218, 235);
    static constexpr COLORREF LineColor = RGB(95, 95, 95);
    static constexpr COLORREF BodyColor = RGB(235, 240, 255);
    static constexpr COLORREF SecondLineTextColor = RGB(90, 90, 90);

    static const wchar_t* const NothingSelectedName;
    static const wchar_t* const NothingSelectedDescription;

    // One item as the pane shows it. The pane takes the icon over (and destroys it); a bitmap
    // stays the caller's and must outlive its use.
    struct Item {
        HICON icon = nullptr;
        HBITMAP bitmap = nullptr;
        CString name;
        // Shown under the name when the template has the control (the startup manager's).
        CString secondLine;
        int rating = -3;
        CString ratingText;
        CString description;
    };

    CProgInfoPane() = default;
    ~CProgInfoPane() override;

    BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id) override;

    void ShowItem(Item item);
    // "선택되지 않음" with the hint, no picture and no rating band.
    void Clear();
    bool IsItemShown() const { return itemShown_; }
    int GetRating() const { return rating_; }
    // Above 0 green, below 0 (other than -3) red, 0 and -3 grey.
    static COLORREF RatingColor(int rating);

protected:
    BOOL OnEraseBkgnd(CDC* dc);
    HBRUSH OnCtlColor(CDC* dc, CWnd* window, UINT kind);
    void LayoutControls(int width, int height) override;
    // Room kept free right of the name, for a control a derived pane puts there.
    void SetNameRightMargin(int pixels) { nameRightMargin_ = pixels; }

    DECLARE_MESSAGE_MAP()

private:
    void SetPicture(HICON icon, HBITMAP bitmap);
    void PlaceName();

    CFont nameFont_;
    CFont ratingFont_;
    CFont descriptionFont_;
    CBrush topBrush_;
    CBrush bodyBrush_;
    CBrush ratingBrush_;
    HICON icon_ = nullptr;
    int rating_ = -3;
    bool itemShown_ = false;
    int nameRightMargin_ = 10;
};
