#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/CControls.h"
#include "framework/CDC.h"
#include "framework/CGdiObject.h"
#include "framework/CWnd.h"

namespace {

std::wstring WindowText(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

class ControlParent : public CWnd {
public:
    int clicks = 0;

protected:
    void OnSmoothClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ControlParent, CWnd)
ON_BN_CLICKED(1000, OnSmoothClicked)
END_MESSAGE_MAP()

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"환경 설정", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300), nullptr, 0));
    }

    ControlParent parent;
};

TEST_F(ControlsTest, StaticsShowTextBitmapsAndIconsThatStayTheCallers)
{
    CStatic label;
    ASSERT_TRUE(label.Create(L"선택되지 않음", WS_VISIBLE | SS_LEFT, CRect(10, 15, 200, 35), &parent, 1012));
    EXPECT_EQ(WindowText(label), L"선택되지 않음");
    EXPECT_EQ(GetDlgCtrlID(label), 1012);
    EXPECT_EQ(::GetParent(label), parent.m_hWnd);

    CStatic picture;
    ASSERT_TRUE(picture.Create(nullptr, WS_VISIBLE | SS_BITMAP, CRect(0, 50, 32, 82), &parent));
    EXPECT_EQ(GetDlgCtrlID(picture), 0xffff);
    CClientDC screen(nullptr);
    CBitmap first;
    CBitmap second;
    ASSERT_TRUE(first.CreateCompatibleBitmap(&screen, 8, 8));
    ASSERT_TRUE(second.CreateCompatibleBitmap(&screen, 8, 8));
    EXPECT_EQ(picture.SetBitmap(first), nullptr);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)), static_cast<HBITMAP>(first));
    EXPECT_EQ(picture.SetBitmap(second), static_cast<HBITMAP>(first));
    EXPECT_EQ(picture.GetBitmap(), static_cast<HBITMAP>(second));
    picture.DestroyWindow();
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BITMAP));

    CStatic icon;
    ASSERT_TRUE(icon.Create(nullptr, WS_VISIBLE | SS_ICON, CRect(0, 90, 32, 122), &parent, 1006));
    HICON application = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    EXPECT_EQ(icon.SetIcon(application), nullptr);
    EXPECT_EQ(icon.GetIcon(), application);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)), application);
}

TEST_F(ControlsTest, EditsSelectReplaceAndLimitText)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 300, 34), &parent, 1003));
    edit.SetWindowText(L"자동 백업 파일");
    edit.SetSel(0, 2);
    int start = -1;
    int end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 2);
    DWORD first = 0;
    DWORD last = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, 2u);

    edit.ReplaceSel(L"수동");
    EXPECT_EQ(WindowText(edit), L"수동 백업 파일");

    edit.LimitText(5);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 5);
    EXPECT_TRUE(edit.SetReadOnly());
    EXPECT_NE(edit.GetStyle() & ES_READONLY, 0u);
    EXPECT_TRUE(edit.SetReadOnly(FALSE));
    EXPECT_EQ(edit.GetStyle() & ES_READONLY, 0u);
}

TEST_F(ControlsTest, CheckBoxesReportTheirStateBothWays)
{
    CButton smooth;
    ASSERT_TRUE(smooth.Create(L"부드러운 화면 전환 사용", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 250, 30), &parent, 1000));
    EXPECT_EQ(WindowText(smooth), L"부드러운 화면 전환 사용");
    EXPECT_EQ(smooth.GetCheck(), BST_UNCHECKED);
    smooth.SetCheck(BST_CHECKED);
    EXPECT_EQ(SendMessageW(smooth, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(smooth, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(smooth.GetCheck(), BST_UNCHECKED);

    SendMessageW(smooth, BM_CLICK, 0, 0);
    EXPECT_EQ(smooth.GetCheck(), BST_CHECKED);
    EXPECT_EQ(parent.clicks, 1);
}

TEST_F(ControlsTest, HeadersReadAndChangeTheirItems)
{
    ASSERT_TRUE(AfxInitCommonControls());
    CHeaderCtrl header;
    ASSERT_TRUE(header.Create(WS_VISIBLE | HDS_HORZ, CRect(0, 0, 380, 24), &parent, 7));
    for (int i = 0; i < 2; ++i) {
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = const_cast<LPWSTR>(i == 0 ? L"이름" : L"CPU");
        item.cxy = i == 0 ? 120 : 40;
        item.fmt = HDF_LEFT | HDF_STRING;
        SendMessageW(header, HDM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    EXPECT_EQ(header.GetItemCount(), 2);

    wchar_t text[32] = {};
    HDITEMW item = {};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = 32;
    ASSERT_TRUE(header.GetItem(1, &item));
    EXPECT_STREQ(text, L"CPU");
    item.mask = HDI_FORMAT;
    item.fmt = HDF_RIGHT | HDF_STRING;
    EXPECT_TRUE(header.SetItem(1, &item));
    HDITEMW read = {};
    read.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&read));
    EXPECT_EQ(read.fmt & HDF_JUSTIFYMASK, HDF_RIGHT);

    CRect second;
    ASSERT_TRUE(header.GetItemRect(1, &second));
    EXPECT_EQ(second.left, 120);
    EXPECT_FALSE(header.GetItem(0, nullptr));
}

}  // namespace
