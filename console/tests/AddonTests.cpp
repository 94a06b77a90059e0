#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "console/Addon.h"
#include "console/AddonManager.h"
#include "core/Win32Exception.h"
#include "framework/CDHtmlDialog.h"
#include "framework/CWinApp.h"
#include "framework/CWnd.h"
#include "framework/ModuleState.h"
#include "html/Node.h"
#include "html/Page.h"
#include "shell/CDHtmlDialogEx.h"
#include "testing/HostPath.h"
#include "testing/LibraryAssertions.h"
#include "testing/MessagePump.h"
#include "testing/TempFolder.h"

namespace {

using TestSupport::PumpPending;

using System::String;

const wchar_t HtmlAddonFile[] = L"console_test_addon.dll";
const wchar_t StateAddonFile[] = L"console_test_addon_state.dll";
const wchar_t NullAddonFile[] = L"console_test_addon_null.dll";
const wchar_t NoExportAddonFile[] = L"console_test_addon_noexport.dll";
const wchar_t MissingAddonFile[] = L"console_test_addon_missing.dll";

std::unique_ptr<Addon> MakeTool(const String& moduleFileName, bool external)
{
    return std::make_unique<Addon>(L"90", L"시험 도구", L"시험", L"시험용", L"icons\\test.png", moduleFileName,
                                   L"http://127.0.0.1/download", external);
}

// The error code of the Win32Exception that work raises; 0 (and a failure) for anything else.
template <class Work>
uint32_t Win32ErrorOf(Work&& work)
{
    try {
        work();
    } catch (System::Exception* caught) {
        std::unique_ptr<System::Exception> exception(caught);
        auto* win32 = dynamic_cast<Microsoft::Win32::Win32Exception*>(caught);
        EXPECT_NE(win32, nullptr) << caught->ToString().ToUtf8();
        return win32 ? win32->GetNativeErrorCode() : 0;
    }
    ADD_FAILURE() << "expected a Win32Exception, nothing was thrown";
    return 0;
}

// The counters a test add-on keeps about its dialog objects.
struct AddonProbe {
    explicit AddonProbe(HMODULE module)
        : constructed(Lookup<LONG (*)()>(module, "AddonProbeConstructed")),
          destroyed(Lookup<LONG (*)()>(module, "AddonProbeDestroyed")),
          watchDestruction(Lookup<void (*)(LONG*)>(module, "AddonProbeWatchDestruction")),
          resourceHandleAtInit(Lookup<HINSTANCE (*)()>(module, "AddonProbeResourceHandleAtInit"))
    {
    }

    template <class Function>
    static Function Lookup(HMODULE module, const char* name)
    {
        FARPROC address = module ? GetProcAddress(module, name) : nullptr;
        EXPECT_NE(address, nullptr) << name;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
    }

    LONG (*constructed)();
    LONG (*destroyed)();
    void (*watchDestruction)(LONG*);
    HINSTANCE (*resourceHandleAtInit)();
};

// The console's main window as far as a tool sees it: the owner its back arrow reports to.
class ConsoleStandIn : public CWnd {
public:
    int backs = 0;
    WPARAM backWParam = 1;
    LPARAM backLParam = 1;

protected:
    LRESULT OnAddonBack(WPARAM wParam, LPARAM lParam)
    {
        ++backs;
        backWParam = wParam;
        backLParam = lParam;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ConsoleStandIn, CWnd)
ON_MESSAGE(WM_ADDON_BACK, OnAddonBack)
END_MESSAGE_MAP()

class AddonLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(console_.CreateEx(0, nullptr, L"콘솔", WS_POPUP, CRect(0, 0, 640, 480), nullptr, 0));
    }
    void TearDown() override { console_.DestroyWindow(); }

    ConsoleStandIn console_;
};

TEST_F(AddonLibraryTest, LoadsTheLibraryOnceAndCallsTheExportOnce)
{
    auto tool = MakeTool(StateAddonFile, false);
    CWnd* first = tool->GetDialog(&console_);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(tool->GetDialog(&console_), first);
    EXPECT_EQ(tool->GetCreatedDialog(), first);
    EXPECT_EQ(::GetWindow(first->GetSafeHwnd(), GW_OWNER), console_.GetSafeHwnd());
    EXPECT_EQ(tool->GetModule(), GetModuleHandleW(StateAddonFile));
    EXPECT_EQ(AddonProbe(tool->GetModule()).constructed(), 1);

    tool.reset();
    // One FreeLibrary unloads it only when it was loaded once.
    EXPECT_EQ(GetModuleHandleW(StateAddonFile), nullptr);
}

TEST_F(AddonLibraryTest, DeletesTheDialogBeforeFreeingItsLibrary)
{
    auto tool = MakeTool(StateAddonFile, false);
    HWND window = tool->GetDialog(&console_)->GetSafeHwnd();
    LONG destroyed = 0;
    AddonProbe(tool->GetModule()).watchDestruction(&destroyed);

    // Had the library gone first, the dialog's destructor would run in unmapped code.
    tool.reset();
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(GetModuleHandleW(StateAddonFile), nullptr);
}

TEST_F(AddonLibraryTest, SwitchesToTheAddonsResourcesForTheCallOnly)
{
    AFX_MODULE_STATE* stateBefore = AfxGetModuleState();
    HINSTANCE resourcesBefore = AfxGetResourceHandle();
    auto tool = MakeTool(StateAddonFile, false);
    tool->GetDialog(&console_);
    // The template exists only in the add-on, so its dialog could only be made from there.
    EXPECT_EQ(AddonProbe(tool->GetModule()).resourceHandleAtInit(), tool->GetModule());
    EXPECT_EQ(AfxGetModuleState(), stateBefore);
    EXPECT_EQ(AfxGetResourceHandle(), resourcesBefore);
}

TEST_F(AddonLibraryTest, WidthAndHeightAreTheDialogsSizeRightAfterCreation)
{
    auto tool = MakeTool(StateAddonFile, false);
    EXPECT_EQ(tool->GetWidth(), -1);
    EXPECT_EQ(tool->GetHeight(), -1);
    CWnd* dialog = tool->GetDialog(&console_);
    RECT created;
    ASSERT_TRUE(::GetWindowRect(dialog->GetSafeHwnd(), &created));
    EXPECT_GT(created.right - created.left, 0);
    EXPECT_EQ(tool->GetWidth(), created.right - created.left);
    EXPECT_EQ(tool->GetHeight(), created.bottom - created.top);

    dialog->MoveWindow(10, 10, tool->GetWidth() + 50, tool->GetHeight() + 30);
    tool->GetDialog(&console_);
    EXPECT_EQ(tool->GetWidth(), created.right - created.left);
    EXPECT_EQ(tool->GetHeight(), created.bottom - created.top);
}

TEST_F(AddonLibraryTest, MissingLibraryFailsTheSameWayEveryTimeAndKeepsNothing)
{
    auto tool = MakeTool(MissingAddonFile, false);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(Win32ErrorOf([&] { tool->GetDialog(&console_); }), static_cast<uint32_t>(ERROR_MOD_NOT_FOUND))
            << "attempt " << attempt;
        EXPECT_EQ(tool->GetModule(), nullptr);
        EXPECT_EQ(tool->GetCreatedDialog(), nullptr);
        EXPECT_EQ(tool->GetWidth(), -1);
    }
    String text = TestSupport::ExpectThrows<Microsoft::Win32::Win32Exception>([&] { tool->GetDialog(&console_); });
    EXPECT_TRUE(text.Contains(MissingAddonFile)) << text.ToUtf8();
}

TEST_F(AddonLibraryTest, LibraryWithoutTheExportFailsAndStaysLoadedOnce)
{
    auto tool = MakeTool(NoExportAddonFile, false);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(Win32ErrorOf([&] { tool->GetDialog(&console_); }), static_cast<uint32_t>(ERROR_PROC_NOT_FOUND))
            << "attempt " << attempt;
        EXPECT_EQ(tool->GetModule(), GetModuleHandleW(NoExportAddonFile));
        EXPECT_NE(tool->GetModule(), nullptr);
        EXPECT_EQ(tool->GetCreatedDialog(), nullptr);
        EXPECT_EQ(tool->GetHeight(), -1);
    }
    tool.reset();
    EXPECT_EQ(GetModuleHandleW(NoExportAddonFile), nullptr);
}

TEST_F(AddonLibraryTest, ExportThatMakesNoDialogFailsLikeAMissingOne)
{
    HINSTANCE resourcesBefore = AfxGetResourceHandle();
    auto tool = MakeTool(NullAddonFile, false);
    uint32_t error = Win32ErrorOf([&] { tool->GetDialog(&console_); });
    EXPECT_NE(error, static_cast<uint32_t>(ERROR_SUCCESS));
    ASSERT_NE(tool->GetModule(), nullptr);
    EXPECT_EQ(tool->GetCreatedDialog(), nullptr);
    EXPECT_EQ(tool->GetWidth(), -1);
    // The export deleted the dialog object it could not create, and gave the caller its resources back.
    AddonProbe probe(tool->GetModule());
    EXPECT_EQ(probe.constructed(), 1);
    EXPECT_EQ(probe.destroyed(), 1);
    EXPECT_EQ(AfxGetResourceHandle(), resourcesBefore);
}

// The HTML add-on, shown and laid out as the console shows its tools.
class HtmlAddonTest : public AddonLibraryTest {
protected:
    void SetUp() override
    {
        AddonLibraryTest::SetUp();
        resourcesBefore_ = AfxGetResourceHandle();
        tool_ = MakeTool(HtmlAddonFile, false);
        dialog_ = dynamic_cast<CDHtmlDialog*>(tool_->GetDialog(&console_));
        ASSERT_NE(dialog_, nullptr);
        dialog_->ShowWindow(SW_SHOWNOACTIVATE);
        PumpPending();
        ASSERT_TRUE(dialog_->IsDocumentLoaded());
    }
    void TearDown() override
    {
        tool_.reset();
        AddonLibraryTest::TearDown();
    }

    // Presses and releases the left button over the middle of an element of the page.
    void Click(const wchar_t* id)
    {
        Html::Node* element = dialog_->GetElement(id);
        ASSERT_NE(element, nullptr) << id;
        Html::Rect box = dialog_->GetPage()->VisibleBox(*element);
        ASSERT_FALSE(box.IsEmpty()) << id;
        LPARAM point = MAKELPARAM(box.x + box.width / 2, box.y + box.height / 2);
        dialog_->SendMessage(WM_MOUSEMOVE, 0, point);
        dialog_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, point);
        dialog_->SendMessage(WM_LBUTTONUP, 0, point);
    }

    HINSTANCE resourcesBefore_ = nullptr;
    std::unique_ptr<Addon> tool_;
    CDHtmlDialog* dialog_ = nullptr;
};

TEST_F(HtmlAddonTest, ShowsItsOwnPageWithTheResourcesOfItsLibrary)
{
    EXPECT_EQ(AddonProbe(tool_->GetModule()).resourceHandleAtInit(), tool_->GetModule());
    EXPECT_EQ(AfxGetResourceHandle(), resourcesBefore_);
    EXPECT_EQ(dialog_->GetElementText(L"txtTitle"), CString(L"시험 도구"));
    EXPECT_NE(dialog_->GetElement(L"BtnPrevious"), nullptr);
    EXPECT_EQ(::GetWindow(dialog_->GetSafeHwnd(), GW_OWNER), console_.GetSafeHwnd());
}

TEST_F(HtmlAddonTest, BackArrowSendsAddonBackToTheConsole)
{
    Click(L"BtnPrevious");
    EXPECT_EQ(console_.backs, 1);
    EXPECT_EQ(console_.backWParam, static_cast<WPARAM>(0));
    EXPECT_EQ(console_.backLParam, static_cast<LPARAM>(0));
}

TEST_F(HtmlAddonTest, TypedTextReachesTheInputOfThePage)
{
    HWND edit = FindWindowExW(dialog_->GetSafeHwnd(), nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    for (wchar_t typed : std::wstring(L"홍길동 7")) PostMessageW(edit, WM_CHAR, typed, 1);
    PumpPending();
    CString value;
    CDataExchange exchange(dialog_, TRUE);
    DDX_DHtml_ElementValue(&exchange, L"TxtName", value);
    EXPECT_EQ(value, CString(L"홍길동 7"));
}

TEST_F(AddonLibraryTest, OutsideProgramHasNoDialog)
{
    auto tool = MakeTool(StateAddonFile, true);
    TestSupport::ExpectThrows<System::InvalidOperationException>([&] { tool->GetDialog(&console_); });
    EXPECT_EQ(tool->GetModule(), nullptr);
    EXPECT_EQ(GetModuleHandleW(StateAddonFile), nullptr);
}

TEST(AddonLibraryKindTest, CannotBeRunOrDownloadedLikeAnOutsideProgram)
{
    auto tool = MakeTool(StateAddonFile, false);
    TestSupport::ExpectThrows<System::InvalidOperationException>([&] { tool->Run(); });
    TestSupport::ExpectThrows<System::InvalidOperationException>([&] { tool->OpenDownloadPage(); });
    EXPECT_EQ(tool->GetModule(), nullptr);
}

class OutsideProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetEnvironmentVariableW(Variable, folder_.Path().c_str())); }
    void TearDown() override { SetEnvironmentVariableW(Variable, nullptr); }

    static constexpr const wchar_t* Variable = L"VELA_TEST_TOOLS";
    TestSupport::TempFolder folder_;
};

TEST_F(OutsideProgramTest, IsInstalledWhenTheExpandedPathIsAFile)
{
    auto tool = MakeTool(L"%VELA_TEST_TOOLS%\\tool.exe", true);
    EXPECT_FALSE(tool->IsInstalled());
    folder_.WriteFile(L"tool.exe", "MZ");
    EXPECT_TRUE(tool->IsInstalled());

    ASSERT_TRUE(CreateDirectoryW((folder_ / L"folder.exe").c_str(), nullptr));
    EXPECT_FALSE(MakeTool(L"%VELA_TEST_TOOLS%\\folder.exe", true)->IsInstalled());
}

TEST_F(OutsideProgramTest, WithoutAProgramFileIsNotInstalled)
{
    EXPECT_FALSE(MakeTool(L"", true)->IsInstalled());
    EXPECT_FALSE(MakeTool(L"%VELA_UNSET_VARIABLE%\\tool.exe", true)->IsInstalled());
}

TEST_F(OutsideProgramTest, RunsTheProgramAtItsExpandedPath)
{
    folder_.WriteFile(L"tool.cmd", "@echo started> \"%~dp0started.txt\"\r\n");
    auto tool = MakeTool(L"%VELA_TEST_TOOLS%\\tool.cmd", true);
    ASSERT_TRUE(tool->IsInstalled());
    tool->Run();
    // The shell starts the program asynchronously; allow a slow machine plenty of time.
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    for (int wait = 0; wait < 300 && attributes == INVALID_FILE_ATTRIBUTES; ++wait) {
        Sleep(50);
        attributes = GetFileAttributesW((folder_ / L"started.txt").c_str());
    }
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
}

// The catalogue and the icons that are installed beside vtcon.exe.
class DeployedCatalogueTest : public ::testing::Test {
protected:
    static std::wstring DeployFolder()
    {
        return TestSupport::HostPath(CONSOLE_DEPLOY_DIR);
    }

    void SetUp() override
    {
        // Hiding the outside programs would hide half of what this checks.
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Vela\\Toolbox", L"HideExternal");
        manager_ = std::make_unique<AddonManager>(DeployFolder().c_str());
    }

    std::unique_ptr<AddonManager> manager_;
};

// Width and height of a PNG file, or 0 by 0 when it is not one.
SIZE PngSize(const std::wstring& path)
{
    SIZE size = {0, 0};
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return size;
    unsigned char header[24] = {};
    DWORD read = 0;
    BOOL ok = ReadFile(file, header, sizeof header, &read, nullptr);
    CloseHandle(file);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!ok || read != sizeof header || memcmp(header, signature, 8) != 0 || memcmp(header + 12, "IHDR", 4) != 0)
        return size;
    auto bigEndian = [&](int at) {
        return static_cast<LONG>(header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3]);
    };
    size.cx = bigEndian(16);
    size.cy = bigEndian(20);
    return size;
}

TEST_F(DeployedCatalogueTest, ListsTheSixAddonLibrariesWithThePatchManagerAs04)
{
    std::set<std::wstring> libraries;
    for (Addon* tool : manager_->GetAddons()) {
        if (!tool->IsExternal()) libraries.insert(tool->GetModuleFileName().GetBuffer());
    }
    EXPECT_EQ(libraries, (std::set<std::wstring>{L"vtsm.dll", L"vtsw.dll", L"vtaxm.dll", L"vtpsm.dll", L"vtpm.dll",
                                                 L"vtsv.dll"}));
    Addon* patchManager = manager_->GetAddon(L"04");
    EXPECT_EQ(patchManager->GetModuleFileName(), String(L"vtpm.dll"));
    EXPECT_FALSE(patchManager->IsExternal());
}

TEST_F(DeployedCatalogueTest, OffersWindowsProgramsWithADownloadAddress)
{
    int outsidePrograms = 0;
    for (Addon* tool : manager_->GetAddons()) {
        if (!tool->IsExternal()) continue;
        ++outsidePrograms;
        EXPECT_TRUE(tool->GetModuleFileName().StartsWith(L"%SystemRoot%\\")) << tool->GetId().ToUtf8();
        EXPECT_TRUE(tool->GetDownloadUrl().StartsWith(L"http://")) << tool->GetId().ToUtf8();
    }
    EXPECT_GE(outsidePrograms, 2);
}

TEST_F(DeployedCatalogueTest, EveryToolHasAUniqueTwoDigitIdTextsAndA48PixelIcon)
{
    auto tools = manager_->GetAddons();
    ASSERT_GE(tools.GetLength(), 8);
    std::set<std::wstring> ids;
    for (Addon* tool : tools) {
        String id = tool->GetId();
        EXPECT_TRUE(id.GetLength() == 2 && iswdigit(id[0]) && iswdigit(id[1])) << id.ToUtf8();
        EXPECT_TRUE(ids.insert(id.GetBuffer()).second) << "id " << id.ToUtf8() << " twice";
        // Whitespace between the elements would have replaced these texts.
        for (const String& text : {tool->GetName(), tool->GetCategory(), tool->GetDescription()}) {
            EXPECT_FALSE(text.IsEmpty()) << id.ToUtf8();
            EXPECT_EQ(text.Trim(), text) << id.ToUtf8();
        }
        std::wstring icon = DeployFolder() + L"\\" + tool->GetImageFileName().GetBuffer();
        SIZE size = PngSize(icon);
        EXPECT_EQ(size.cx, 48) << String(icon.c_str()).ToUtf8();
        EXPECT_EQ(size.cy, 48) << String(icon.c_str()).ToUtf8();
    }
}

}  // namespace
