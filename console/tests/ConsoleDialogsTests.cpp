#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "console/AboutDlg.h"
#include "console/OptionDlg.h"
#include "console/res/resource.h"
#include "core/Application.h"
#include "core/Exception.h"
#include "framework/CWinApp.h"
#include "html/Node.h"
#include "html/Page.h"
#include "testing/LibraryAssertions.h"
#include "testing/MessagePump.h"
#include "testing/TempFolder.h"

namespace {

using TestSupport::PumpUntil;

using System::String;

class SmoothSwitchFileTest : public ::testing::Test {
protected:
    String Path() const { return String(path_.c_str()); }
    TestSupport::TempFolder folder_;
    std::wstring path_ = folder_ / L"vacon.cfg";
};

TEST_F(SmoothSwitchFileTest, MissingFileIsCreatedAndMeansOn)
{
    EXPECT_TRUE(COptionDlg::ReadSmoothSwitch(Path()));
    EXPECT_NE(GetFileAttributesW(path_.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(folder_.ReadFile(L"vacon.cfg"), std::string());
}

TEST_F(SmoothSwitchFileTest, EmptyFileMeansOn)
{
    folder_.WriteFile(L"vacon.cfg", "");
    EXPECT_TRUE(COptionDlg::ReadSmoothSwitch(Path()));
}

TEST_F(SmoothSwitchFileTest, StoredValueDecides)
{
    folder_.WriteFile(L"vacon.cfg", std::string("\0\0\0\0", 4));
    EXPECT_FALSE(COptionDlg::ReadSmoothSwitch(Path()));
    folder_.WriteFile(L"vacon.cfg", std::string("\x07\0\0\0", 4));
    EXPECT_TRUE(COptionDlg::ReadSmoothSwitch(Path()));
    folder_.WriteFile(L"vacon.cfg", std::string("\0\0\0\x01", 4));
    EXPECT_TRUE(COptionDlg::ReadSmoothSwitch(Path())) << "any non-zero value is on";
}

TEST_F(SmoothSwitchFileTest, WritesOneLittleEndianInteger)
{
    COptionDlg::WriteSmoothSwitch(Path(), false);
    EXPECT_EQ(folder_.ReadFile(L"vacon.cfg"), std::string("\0\0\0\0", 4));
    COptionDlg::WriteSmoothSwitch(Path(), true);
    EXPECT_EQ(folder_.ReadFile(L"vacon.cfg"), std::string("\x01\0\0\0", 4));
    EXPECT_TRUE(COptionDlg::ReadSmoothSwitch(Path()));
}

TEST_F(SmoothSwitchFileTest, TruncatedValueIsAnError)
{
    folder_.WriteFile(L"vacon.cfg", std::string("\x01\0", 2));
    TestSupport::ExpectThrows<System::IO::EndOfStreamException>([&] { COptionDlg::ReadSmoothSwitch(Path()); });
}

TEST_F(SmoothSwitchFileTest, UnwritableLocationIsAnError)
{
    String inMissingFolder(folder_.Path().c_str());
    inMissingFolder += L"\\no such folder\\vacon.cfg";
    TestSupport::ExpectThrows<System::Exception>([&] { COptionDlg::WriteSmoothSwitch(inMissingFolder, false); });
    TestSupport::ExpectThrows<System::Exception>([&] { COptionDlg::ReadSmoothSwitch(inMissingFolder); });
}

TEST(OptionDialogTest, CheckBoxShowsAndTakesTheSetting)
{
    COptionDlg options;
    options.m_smoothSwitch = 0;
    ASSERT_TRUE(options.Create(IDD_OPTION));
    CString caption;
    options.GetWindowText(caption);
    EXPECT_EQ(caption, CString(L"환경 설정"));
    EXPECT_EQ(options.IsDlgButtonChecked(IDC_SMOOTH_SWITCH), static_cast<UINT>(BST_UNCHECKED));
    options.CheckDlgButton(IDC_SMOOTH_SWITCH, BST_CHECKED);
    EXPECT_TRUE(options.UpdateData(TRUE));
    EXPECT_EQ(options.m_smoothSwitch, 1);
    options.DestroyWindow();
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override { com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override
    {
        if (com_) CoUninitialize();
    }

private:
    bool com_ = false;
};

TEST_F(AboutBoxTest, ShowsTheVersionAtItsSizeAndCloses)
{
    AboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUT));
    about.ShowWindow(SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return !about.GetElementText(L"TxtVersion").IsEmpty(); }));

    String expected = System::Application::GetProductVersion().Replace(L", ", L".");
    EXPECT_EQ(about.GetElementText(L"TxtVersion"), CString(expected.GetBuffer()));
    EXPECT_EQ(about.GetVersionText(), CString(L"3.0.0.0")) << "the version of the program's own resource";
    CRect window;
    about.GetWindowRect(&window);
    EXPECT_EQ(window.Size(), CSize(291, 181));

    Html::Node* close = about.GetElement(L"BtnClose");
    ASSERT_NE(close, nullptr);
    about.GetPage()->Update();
    Html::Rect box = close->Box().border;
    LPARAM at = MAKELPARAM(box.x + box.width / 2, box.y + box.height / 2);
    about.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    about.SendMessage(WM_LBUTTONUP, 0, at);
    EXPECT_FALSE(about.IsWindowVisible());
    about.DestroyWindow();
}

}  // namespace
