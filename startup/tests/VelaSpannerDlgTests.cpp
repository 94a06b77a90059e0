// The startup manager's window driven as the user drives it, over scratch registrations: Run
// values of the machine and of the user, both Startup folders (one holding a shortcut), a store
// and backups in a temporary data folder, and program information from a loopback server.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <sddl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Environment.h"
#include "framework/CWinApp.h"
#include "html/Node.h"
#include "html/Page.h"
#include "startup/BackupManager.h"
#include "startup/ProgramInfoLoader.h"
#include "startup/SpannerSettings.h"
#include "startup/StartupEntryInfo.h"
#include "startup/addon/CBackupDlg.h"
#include "startup/addon/CRestoreDlg.h"
#include "startup/addon/CVelaSpannerDlg.h"
#include "startup/addon/StartupListRules.h"
#include "testing/HostPath.h"
#include "testing/HttpServer.h"
#include "testing/MessagePump.h"
#include "testing/ScratchRegistryKey.h"
#include "testing/TempFolder.h"
#include "testing/WindowScreenshot.h"
#include "vdwin32/Autorun.h"

using System::String;
using TestSupport::PumpPending;
using TestSupport::PumpUntil;
using namespace Vela::Win32::Autoruns;

namespace {

const char kInformation[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><autoruns>"
    "<item><name>ctfmon</name><rating>2</rating><description>입력기를 실행합니다.</description></item>"
    "<item><name>PopupAdAgent</name><rating>-1</rating><description>광고 창을 띄웁니다.</description></item>"
    "<item><name>QuickLaunchHelper</name><rating>1</rating><description>미리 읽어 둡니다.</description></item>"
    "<item><name>DemoUpdater</name><rating>0</rating><description>업데이트를 확인합니다.</description></item>"
    "</autoruns>";

String SystemProgram(const wchar_t* name) { return System::Environment::GetFolderPath(System::Environment::System) + L"\\" + name; }

// A key under HKEY_LOCAL_MACHINE\Software\Vela\Tests, deleted with the object.
class MachineScratchKey {
public:
    MachineScratchKey()
    {
        path_ = L"Software\\Vela\\Tests\\Spanner" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount64());
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr),
                  ERROR_SUCCESS);
    }
    ~MachineScratchKey()
    {
        RegCloseKey(key_);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, path_.c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, path_.c_str());
    }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
    HKEY key_ = nullptr;
};

// The "Logon" group over scratch places.
class ScratchLogon : public Autorun {
public:
    ScratchLogon(const std::wstring& machineKey, const std::wstring& userKey, const std::wstring& folder)
        : Autorun(L"Logon", {Values(L"Logon.AllUser.Registry.Run", HKEY_LOCAL_MACHINE, machineKey + L"\\Run"),
                             Values(L"Logon.CurrentUser.Registry.Run", HKEY_CURRENT_USER, userKey + L"\\Run"),
                             Folder(L"Logon.AllUser.Startup", folder + L"\\Common"),
                             Folder(L"Logon.CurrentUser.Startup", folder + L"\\User")})
    {
    }

private:
    static AutorunLocation Values(const wchar_t* domain, HKEY root, const std::wstring& subKey)
    {
        AutorunLocation location;
        location.kind = AutorunLocation::RegistryKeyValues;
        location.domain = domain;
        location.root = root;
        location.subKey = subKey.c_str();
        return location;
    }
    static AutorunLocation Folder(const wchar_t* domain, const std::wstring& path)
    {
        AutorunLocation location;
        location.kind = AutorunLocation::Folder;
        location.domain = domain;
        location.folder = path.c_str();
        return location;
    }
};

class TestSpannerDlg : public CVelaSpannerDlg {
public:
    TestSpannerDlg(Autorun* group, const std::wstring& dataFolder, const std::wstring& url, const std::wstring& cache)
        : CVelaSpannerDlg(nullptr), group_(group), dataFolder_(dataFolder), url_(url), cache_(cache)
    {
    }
    std::vector<std::wstring> messages;
    std::function<INT_PTR(CDialog&)> runDialog;

protected:
    StartupStore* CreateStore() override { return new StartupStore(dataFolder_.c_str(), group_); }
    void LoadProgramInformation() override { ProgramInfoLoader::Load(url_.c_str(), cache_.c_str()); }
    int ShowMessage(const String& text, UINT) override
    {
        messages.push_back(text.GetStdString());
        return IDOK;
    }
    INT_PTR RunDialog(CDialog& dialog) override { return runDialog ? runDialog(dialog) : IDCANCEL; }

private:
    Autorun* group_;
    std::wstring dataFolder_;
    std::wstring url_;
    std::wstring cache_;
};

class VelaSpannerDlgTest : public ::testing::Test {
protected:
    VelaSpannerDlgTest() : logon_(machine_.Path(), user_.Path(), folder_.Path())
    {
        CreateDirectoryW((folder_ / L"Common").c_str(), nullptr);
        CreateDirectoryW((folder_ / L"User").c_str(), nullptr);
        CreateDirectoryW(DataFolder().c_str(), nullptr);
        previousNotice_ = ProgramInfoLoader::SetFailureNotice([this](const String& text, const String&) {
            notices_.push_back(text.GetStdString());
        });
        TestSupport::HttpServer::Response response;
        response.body = kInformation;
        response.contentType = "text/xml";
        server_.Serve("/net/getAutoruns.aspx", response);
        SetRun(true, L"PopupAdAgent", SystemProgram(L"cmd.exe") + L" /c exit");
        SetRun(true, L"QuickLaunchHelper", SystemProgram(L"hostname.exe"));
        SetRun(false, L"ctfmon", SystemProgram(L"notepad.exe"));
        ShortcutData link;
        link.targetPath = SystemProgram(L"notepad.exe");
        ShortcutAutorunEntry(L"Logon.CurrentUser.Startup", (folder_ / L"User").c_str(), L"DemoUpdater.lnk", link).Register();
        folder_.WriteFile(L"Common\\helper.bat", "@exit\r\n");
    }
    ~VelaSpannerDlgTest() override
    {
        dialog_.reset();
        SetMachineRunReadOnly(false);
        ProgramInfoLoader::SetFailureNotice(previousNotice_);
        ProgramInfoTable::Clear();
    }

    std::wstring DataFolder() const { return folder_ / L"data"; }
    // Everyone may read the machine's Run key, and with readOnly set nobody may change it.
    void SetMachineRunReadOnly(bool readOnly)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, RunKey(true).c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(readOnly ? L"D:P(A;;KR;;;WD)" : L"D:P(A;;KA;;;WD)",
                                                                         SDDL_REVISION_1, &descriptor, nullptr));
        EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
        LocalFree(descriptor);
        RegCloseKey(key);
    }
    std::wstring RunKey(bool machine) const { return (machine ? machine_.Path() : user_.Path()) + L"\\Run"; }
    void SetRun(bool machine, const std::wstring& name, const String& data)
    {
        ASSERT_EQ(RegSetKeyValueW(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, RunKey(machine).c_str(), name.c_str(),
                                  REG_SZ, data.GetBuffer(), static_cast<DWORD>((data.GetLength() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    bool HasRun(bool machine, const std::wstring& name) const
    {
        return RegGetValueW(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, RunKey(machine).c_str(), name.c_str(),
                            RRF_RT_REG_SZ, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }
    // The names the store holds, read as a fresh window would.
    std::vector<std::wstring> StoredNames()
    {
        StartupStore store(DataFolder().c_str(), &logon_);
        System::List<StartupEntry*> stored(32);
        store.AddDisabledEntries(L"Logon", stored);
        std::vector<std::wstring> names;
        for (StartupEntry* entry : stored) names.push_back(entry->GetName().GetStdString());
        DestroyEntries(stored);
        return names;
    }

    TestSpannerDlg& Open(const std::wstring& url = std::wstring())
    {
        dialog_ = std::make_unique<TestSpannerDlg>(&logon_, DataFolder(), url.empty() ? server_.Url("/net/getAutoruns.aspx") : url,
                                                   folder_ / L"vasui.xml");
        EXPECT_TRUE(dialog_->Create(CVelaSpannerDlg::TemplateId));
        dialog_->ShowWindow(SW_SHOW);
        EXPECT_TRUE(PumpUntil([&] { return dialog_->IsDocumentLoaded(); }));
        PumpPending();
        return *dialog_;
    }
    std::vector<std::wstring> Rows()
    {
        std::vector<std::wstring> names;
        for (int row = 0; row < dialog_->GetList().GetItemCount(); ++row)
            names.push_back(dialog_->GetEntry(row)->GetName().GetStdString());
        return names;
    }
    int Row(const wchar_t* name) { return dialog_->FindRow(name); }
    void Click(const wchar_t* id)
    {
        dialog_->GetPage()->Update();
        Html::Node* element = dialog_->GetElement(id);
        ASSERT_NE(element, nullptr);
        Html::Rect box = element->Box().border;
        LPARAM at = MAKELPARAM(box.x + box.width / 2, box.y + box.height / 2);
        dialog_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        dialog_->SendMessage(WM_LBUTTONUP, 0, at);
    }
    void Select(std::initializer_list<const wchar_t*> names)
    {
        CColoredListCtrl& list = dialog_->GetList();
        list.SetItemState(-1, 0, LVIS_SELECTED);
        for (const wchar_t* name : names) list.SetItemState(Row(name), LVIS_SELECTED, LVIS_SELECTED);
    }
    std::vector<std::wstring> Selected()
    {
        std::vector<std::wstring> names;
        CColoredListCtrl& list = dialog_->GetList();
        POSITION position = list.GetFirstSelectedItemPosition();
        while (position) names.push_back(dialog_->GetEntry(list.GetNextSelectedItem(position))->GetName().GetStdString());
        return names;
    }
    CRect ChildRect(CWnd& window)
    {
        CRect rect;
        window.GetWindowRect(&rect);
        dialog_->ScreenToClient(&rect);
        return rect;
    }

    TestSupport::ScratchRegistryKey user_;
    MachineScratchKey machine_;
    TestSupport::TempFolder folder_;
    ScratchLogon logon_;
    TestSupport::HttpServer server_;
    std::vector<std::wstring> notices_;
    ProgramInfoLoader::FailureNotice previousNotice_;
    std::unique_ptr<TestSpannerDlg> dialog_;
};

}  // namespace

TEST_F(VelaSpannerDlgTest, StartsWithEveryProgramRatedAndAnAutomaticBackup)
{
    TestSpannerDlg& dialog = Open();
    EXPECT_TRUE(dialog.IsListReady());
    EXPECT_EQ(Rows().size(), 5u);
    for (const wchar_t* name : {L"PopupAdAgent", L"QuickLaunchHelper", L"ctfmon", L"DemoUpdater", L"helper.bat"})
        EXPECT_GE(Row(name), 0) << String(name).ToUtf8();
    EXPECT_EQ(dialog.GetEntry(Row(L"ctfmon"))->GetRatingText(), String(L"필수"));
    EXPECT_EQ(dialog.GetList().GetItemText(Row(L"PopupAdAgent"), StartupListRules::RatingColumn), CString(L"위험"));
    EXPECT_EQ(dialog.GetList().GetItemText(Row(L"DemoUpdater"), StartupListRules::CategoryColumn), CString(L"현재 사용자/시작 폴더"));
    EXPECT_TRUE(notices_.empty());
    EXPECT_TRUE(dialog.GetInfoPane().IsItemShown()) << "row 0 is selected and shown";
    CString caption;
    dialog.GetListPane().GetDlgItemText(IDC_CATEGORY_CAPTION, caption);
    EXPECT_EQ(caption, CString(L"전체"));
    EXPECT_EQ(BackupManager(*dialog.GetStore()).LoadBackups().GetLength(), 1);
    DestroyBackups(BackupManager(*dialog.GetStore()).LoadBackups());
    for (bool machine : {true, false}) EXPECT_TRUE(HasRun(machine, machine ? L"PopupAdAgent" : L"ctfmon"));
    EXPECT_TRUE(StoredNames().empty()) << "filling the list disables nothing";
}

TEST_F(VelaSpannerDlgTest, UntickingDisablesTickingEnablesAndTheRowTurnsGrey)
{
    TestSpannerDlg& dialog = Open();
    CColoredListCtrl& list = dialog.GetList();
    list.SetCheck(Row(L"PopupAdAgent"), FALSE);
    EXPECT_FALSE(HasRun(true, L"PopupAdAgent")) << "the value leaves the machine's Run key";
    EXPECT_EQ(StoredNames(), std::vector<std::wstring>{L"PopupAdAgent"});
    int row = Row(L"PopupAdAgent");
    EXPECT_EQ(dialog.GetEntry(row)->GetEnabled(), 0);
    EXPECT_EQ(StartupListRules::TextColor(list, row, list.GetItemData(row)), RGB(190, 190, 190));

    // The same through a shortcut of the Startup folder.
    list.SetCheck(Row(L"DemoUpdater"), FALSE);
    EXPECT_EQ(GetFileAttributesW((folder_ / L"User\\DemoUpdater.lnk").c_str()), INVALID_FILE_ATTRIBUTES);

    // A refresh lists the disabled ones from the store, unticked, and changes nothing.
    Click(L"LnkRefreshTxt");
    EXPECT_FALSE(list.GetCheck(Row(L"PopupAdAgent")));
    EXPECT_FALSE(list.GetCheck(Row(L"DemoUpdater")));
    EXPECT_EQ(StoredNames().size(), 2u);

    list.SetCheck(Row(L"PopupAdAgent"), TRUE);
    list.SetCheck(Row(L"DemoUpdater"), TRUE);
    EXPECT_TRUE(HasRun(true, L"PopupAdAgent"));
    EXPECT_NE(GetFileAttributesW((folder_ / L"User\\DemoUpdater.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(StoredNames().empty());
    EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(VelaSpannerDlgTest, DeletesSelectedRowsBottomUpAndARefreshKeepsTheSelection)
{
    TestSpannerDlg& dialog = Open();
    dialog.GetList().SetCheck(Row(L"QuickLaunchHelper"), FALSE);
    ASSERT_EQ(StoredNames(), std::vector<std::wstring>{L"QuickLaunchHelper"});

    Select({L"ctfmon", L"PopupAdAgent"});
    Click(L"LnkRefreshTxt");
    EXPECT_EQ(Selected().size(), 2u);
    Select({L"ctfmon"});
    Click(L"LnkRefreshImg");
    EXPECT_EQ(Selected(), std::vector<std::wstring>{L"ctfmon"}) << "the same program, read anew, is selected again";
    CString name;
    dialog.GetInfoPane().GetDlgItemText(CProgInfoPane::NameId, name);
    EXPECT_EQ(name, CString(L"ctfmon"));

    // Rows apart from each other, one of them disabled: a top-down pass would delete the wrong ones.
    Select({L"PopupAdAgent", L"QuickLaunchHelper", L"helper.bat"});
    Click(L"LnkRemoveTxt");
    EXPECT_TRUE(dialog.messages.empty());
    std::vector<std::wstring> rows = Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"DemoUpdater", L"ctfmon"}));
    EXPECT_FALSE(HasRun(true, L"PopupAdAgent"));
    EXPECT_EQ(GetFileAttributesW((folder_ / L"Common\\helper.bat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(StoredNames().empty()) << "the deleted disabled entry leaves the store";
    EXPECT_TRUE(HasRun(false, L"ctfmon"));
}

TEST_F(VelaSpannerDlgTest, HideEssentialAndTheCategoryTreeFilterTheList)
{
    TestSpannerDlg& dialog = Open();
    dialog.GetList().SetCheck(Row(L"ctfmon"), FALSE);
    // A click on the toggle's picture reaches the window through the pane.
    dialog.GetListPane().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_HIDE_ESSENTIAL_PICTURE, STN_CLICKED),
                                     reinterpret_cast<LPARAM>(dialog.GetListPane().GetDlgItem(IDC_HIDE_ESSENTIAL_PICTURE)->m_hWnd));
    EXPECT_TRUE(dialog.IsHideEssential());
    EXPECT_EQ(Row(L"ctfmon"), -1) << "an essential program is hidden, disabled or not";
    EXPECT_EQ(Rows().size(), 4u);
    // The hidden disabled entry survives a store rewrite made while it is hidden.
    dialog.GetList().SetCheck(Row(L"PopupAdAgent"), FALSE);
    std::vector<std::wstring> stored = StoredNames();
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, (std::vector<std::wstring>{L"PopupAdAgent", L"ctfmon"}));
    dialog.GetListPane().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_HIDE_ESSENTIAL_LABEL, STN_CLICKED),
                                     reinterpret_cast<LPARAM>(dialog.GetListPane().GetDlgItem(IDC_HIDE_ESSENTIAL_LABEL)->m_hWnd));
    EXPECT_FALSE(dialog.IsHideEssential());
    EXPECT_GE(Row(L"ctfmon"), 0);

    CDomainPane& pane = dialog.GetDomainPane();
    HTREEITEM machineRegistry = pane.FindCategory(L"Logon.AllUser.Registry");
    ASSERT_NE(machineRegistry, nullptr);
    pane.GetTree().SelectItem(machineRegistry);
    EXPECT_EQ(dialog.GetCategory(), String(L"Logon.AllUser.Registry"));
    std::vector<std::wstring> rows = Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"PopupAdAgent", L"QuickLaunchHelper"}));
    CString caption;
    dialog.GetListPane().GetDlgItemText(IDC_CATEGORY_CAPTION, caption);
    EXPECT_EQ(caption, CString(L"모든 사용자/레지스트리"));
    // Enabling inside a category keeps the store's entries of the others.
    dialog.GetList().SetCheck(Row(L"PopupAdAgent"), TRUE);
    EXPECT_EQ(StoredNames(), std::vector<std::wstring>{L"ctfmon"});

    pane.GetTree().SelectItem(pane.FindCategory(L"Logon.CurrentUser.Startup"));
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"DemoUpdater"});
}

TEST_F(VelaSpannerDlgTest, AFailedDownloadStillGivesAWorkingUnratedList)
{
    TestSpannerDlg& dialog = Open(L"http://127.0.0.1:" + std::to_wstring(TestSupport::HttpServer::UnusedPort()) + L"/net/getAutoruns.aspx");
    EXPECT_EQ(notices_.size(), 1u) << "the failure is told once";
    ASSERT_EQ(Rows().size(), 5u);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(dialog.GetList().GetItemText(row, StartupListRules::RatingColumn), CString(L"지정되지 않음"));
    dialog.GetList().SetCheck(Row(L"ctfmon"), FALSE);
    EXPECT_FALSE(HasRun(false, L"ctfmon"));
}

TEST_F(VelaSpannerDlgTest, ARefusedChangeIsExplainedAndLosesNothing)
{
    TestSpannerDlg& dialog = Open();
    SetMachineRunReadOnly(true);
    CColoredListCtrl& list = dialog.GetList();
    list.SetCheck(Row(L"PopupAdAgent"), FALSE);
    ASSERT_EQ(dialog.messages.size(), 1u);
    EXPECT_NE(dialog.messages[0].find(L"'PopupAdAgent'"), std::wstring::npos);
    EXPECT_NE(dialog.messages[0].find(L"접근이 거부되었습니다"), std::wstring::npos);
    EXPECT_TRUE(list.GetCheck(Row(L"PopupAdAgent"))) << "the box shows the entry's real state";
    EXPECT_EQ(dialog.GetEntry(Row(L"PopupAdAgent"))->GetEnabled(), 1);
    EXPECT_TRUE(HasRun(true, L"PopupAdAgent"));
    EXPECT_TRUE(StoredNames().empty()) << "a program still registered is not in the store";

    Select({L"PopupAdAgent"});
    Click(L"LnkRemoveTxt");
    ASSERT_EQ(dialog.messages.size(), 2u);
    EXPECT_NE(dialog.messages[1].find(L"'PopupAdAgent' 프로그램을 삭제하지 못했습니다."), std::wstring::npos);
    EXPECT_GE(Row(L"PopupAdAgent"), 0);

    // A damaged store: the registered programs are still listed, and the user is told.
    HANDLE store = CreateFileW(dialog.GetStore()->GetStorePath().GetBuffer(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(store, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(store, "\x05\x00\x00\x00\x01", 5, &written, nullptr);
    CloseHandle(store);
    Click(L"LnkRefreshTxt");
    ASSERT_EQ(dialog.messages.size(), 3u);
    EXPECT_NE(dialog.messages[2].find(L"손상"), std::wstring::npos);
    EXPECT_EQ(Rows().size(), 5u);
}

TEST_F(VelaSpannerDlgTest, BackupWritesAFileAndRestoreBringsBackTheSetOfThatTime)
{
    TestSpannerDlg& dialog = Open();
    dialog.runDialog = [&](CDialog& shown) -> INT_PTR {
        auto* backup = dynamic_cast<CBackupDlg*>(&shown);
        EXPECT_NE(backup, nullptr);
        if (!backup || !backup->Create(IDD_BACKUP, &dialog)) return IDCANCEL;
        CString caption;
        backup->GetWindowText(caption);
        EXPECT_EQ(caption, CString(L"시작 프로그램 백업"));
        backup->SetDlgItemText(IDC_BACKUP_DESCRIPTION, L"정리 전");
        backup->OnOK();
        backup->DestroyWindow();
        return IDOK;
    };
    Click(L"LnkBackupTxt");
    std::vector<std::wstring> files;
    {
        BackupManager backups(*dialog.GetStore());
        System::Array<BackupEntry*> loaded = backups.LoadBackups();
        ASSERT_EQ(loaded.GetLength(), 2);
        EXPECT_EQ(loaded[1]->GetDescription(), String(L"정리 전"));
        EXPECT_TRUE(loaded[1]->GetFileName().EndsWith(L".vsb"));
        EXPECT_EQ(loaded[1]->GetEntries().GetCount(), 5);
        DestroyBackups(loaded);
    }

    // Since the backup: one program removed, one added.
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, RunKey(true).c_str(), L"QuickLaunchHelper");
    SetRun(false, L"NewcomerApp", SystemProgram(L"notepad.exe"));
    Click(L"LnkRefreshTxt");
    ASSERT_GE(Row(L"NewcomerApp"), 0);

    dialog.runDialog = [&](CDialog& shown) -> INT_PTR {
        auto* restore = dynamic_cast<CRestoreDlg*>(&shown);
        EXPECT_NE(restore, nullptr);
        if (!restore || !restore->Create(IDD_RESTORE, &dialog)) return IDCANCEL;
        CListCtrl& backups = restore->GetBackupList();
        EXPECT_EQ(backups.GetItemCount(), 2);
        EXPECT_EQ(backups.GetItemText(0, 1), CString(L"정리 전")) << "newest on top";
        NMITEMACTIVATE click = {};
        click.hdr = {backups.m_hWnd, IDC_STARTUP_LIST, static_cast<UINT>(NM_CLICK)};
        click.iItem = 0;
        restore->SendMessage(WM_NOTIFY, IDC_STARTUP_LIST, reinterpret_cast<LPARAM>(&click));
        EXPECT_EQ(restore->GetEntryList().GetItemCount(), 5);
        std::wstring screenshot = TestSupport::HostPath(STARTUP_BUILD_DIR) + L"\\screenshots\\vtsm_restore.png";
        restore->ShowWindow(SW_SHOW);
        TestSupport::SaveWindowImage(restore->m_hWnd, screenshot);
        backups.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        restore->OnOK();
        restore->DestroyWindow();
        return IDOK;
    };
    Click(L"LnkRestoreTxt");
    EXPECT_TRUE(dialog.messages.empty());
    EXPECT_TRUE(HasRun(true, L"QuickLaunchHelper")) << "the removed program is back";
    EXPECT_FALSE(HasRun(false, L"NewcomerApp")) << "the one added since is gone";
    EXPECT_EQ(Row(L"NewcomerApp"), -1) << "the list was refilled";
    EXPECT_GE(Row(L"QuickLaunchHelper"), 0);
    // What the restore replaced was backed up first.
    BackupManager backups(*dialog.GetStore());
    System::Array<BackupEntry*> loaded = backups.LoadBackups();
    EXPECT_EQ(loaded.GetLength(), 3);
    if (loaded.GetLength() == 3) {
        EXPECT_TRUE(loaded[2]->GetDescription().Contains(L"NewcomerApp 추가"));
    }
    DestroyBackups(loaded);
}

TEST_F(VelaSpannerDlgTest, PanesFollowTheClientSizeAndTheSettingsFileIsRewrittenWhole)
{
    std::wstring settings = SpannerSettings::PathIn(DataFolder().c_str()).GetStdString();
    folder_.WriteFile(L"data\\velaspanner.cfg", std::string(5, '\x7f'));
    TestSpannerDlg& dialog = Open();
    CRect window;
    dialog.GetWindowRect(&window);
    for (int height : {window.Height() - 29, window.Height() + 200}) {
        int width = height > window.Height() ? window.Width() + 300 : window.Width();
        dialog.SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        CRect client;
        dialog.GetClientRect(&client);
        CRect splitter = ChildRect(dialog.GetCategorySplitter());
        EXPECT_EQ(splitter, CRect(2, 45, client.right - 4, client.bottom - 46)) << "height " << height;
        CRect list = ChildRect(dialog.GetList());
        EXPECT_EQ(list.right, splitter.right) << "the list reaches the right edge";
        CRect info = ChildRect(dialog.GetInfoPane());
        EXPECT_EQ(info.bottom, splitter.bottom);
        EXPECT_EQ(info.left, splitter.left);
        EXPECT_EQ(info.Height(), dialog.GetInfoPane().m_sizeDefault.cy) << "the information pane keeps its height";
    }
    Click(L"LnkShowCategoryTxt");
    EXPECT_TRUE(dialog.IsCategoryShown());
    EXPECT_TRUE(dialog.GetDomainPane().IsWindowVisible());
    EXPECT_EQ(dialog.GetElement(L"LayerShowCategory")->StyleDisplay(), L"none");
    CRect tree = ChildRect(dialog.GetDomainPane());
    CRect info = ChildRect(dialog.GetInfoPane());
    EXPECT_EQ(tree.left, 2);
    EXPECT_GT(info.left, tree.right) << "the list side moves right of the tree";

    dialog.GetList().SetItemState(-1, 0, LVIS_SELECTED);
    dialog.GetList().SetItemState(Row(L"PopupAdAgent"), LVIS_SELECTED, LVIS_SELECTED);
    NMITEMACTIVATE click = {};
    click.hdr = {dialog.GetList().m_hWnd, IDC_STARTUP_LIST, static_cast<UINT>(NM_CLICK)};
    click.iItem = Row(L"PopupAdAgent");
    dialog.GetListPane().SendMessage(WM_NOTIFY, IDC_STARTUP_LIST, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(dialog.GetInfoPane().GetRating(), -1);
    TestSupport::SaveWindowImage(dialog.m_hWnd, TestSupport::HostPath(STARTUP_BUILD_DIR) + L"\\screenshots\\vtsm_category_pane.png");
    Click(L"LnkHideCategoryTxt");
    EXPECT_FALSE(dialog.GetDomainPane().IsWindowVisible());
    TestSupport::SaveWindowImage(dialog.m_hWnd, TestSupport::HostPath(STARTUP_BUILD_DIR) + L"\\screenshots\\vtsm_list_rated.png");

    dialog_.reset();
    TestSupport::TempFolder unused;
    EXPECT_EQ(folder_.ReadFile(L"data\\velaspanner.cfg"), std::string(4, '\0')) << "the damaged file read as 0";
    EXPECT_EQ(SpannerSettings::Read(settings.c_str()), 0);
}

TEST_F(VelaSpannerDlgTest, AFailedRestoreIsExplainedAndTheReplacedSetIsKeptInABackup)
{
    TestSpannerDlg& dialog = Open();
    SetRun(false, L"NewcomerApp", SystemProgram(L"notepad.exe"));
    SetMachineRunReadOnly(true);
    dialog.runDialog = [&](CDialog& shown) -> INT_PTR {
        auto* restore = dynamic_cast<CRestoreDlg*>(&shown);
        if (!restore || !restore->Create(IDD_RESTORE, &dialog)) return IDCANCEL;
        // Without a chosen backup nothing happens but a hint.
        restore->OnOK();
        EXPECT_EQ(dialog.messages.size(), 1u);
        EXPECT_EQ(restore->GetBackupList().GetItemCount(), 1) << "the dialog stays as it was";
        restore->GetBackupList().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        restore->OnOK();
        restore->DestroyWindow();
        return IDOK;
    };
    Click(L"LnkRestoreTxt");
    ASSERT_EQ(dialog.messages.size(), 2u);
    EXPECT_NE(dialog.messages[1].find(L"복원하지 못했습니다"), std::wstring::npos);
    EXPECT_NE(dialog.messages[1].find(L"접근이 거부되었습니다"), std::wstring::npos);
    EXPECT_TRUE(HasRun(true, L"PopupAdAgent"));
    BackupManager backups(*dialog.GetStore());
    System::Array<BackupEntry*> loaded = backups.LoadBackups();
    ASSERT_EQ(loaded.GetLength(), 2) << "the set being replaced was backed up first";
    EXPECT_TRUE(loaded[1]->GetDescription().Contains(L"NewcomerApp 추가"));
    DestroyBackups(loaded);
}
