#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/CWinApp.h"
#include "testing/HttpServer.h"
#include "testing/MessagePump.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"
#include "testing/WindowScreenshot.h"
#include "updater/BDialog.h"
#include "updater/UpdateDlg.h"
#include "updater/res/resource.h"

using TestSupport::HttpServer;

namespace {

using TestSupport::PumpUntil;

constexpr INT_PTR kHungRun = -2;
constexpr UINT kRunLimitMs = 30000;
constexpr DWORD kMessageBoxWaitMs = 20000;
const wchar_t kFailureText[] = L"업데이트 중 오류가 발생하였습니다. 잠시 후 다시 실행해 주시기 바랍니다.";

// The pixels of a bitmap as 32-bit values, top row first; empty when it cannot be read.
std::vector<DWORD> Pixels(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return {};
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return rows == info.bmHeight ? pixels : std::vector<DWORD>();
}

// The 22 progress frames of the program's resources, in frame order, as pixels.
const std::vector<std::vector<DWORD>>& FramePixels()
{
    static const std::vector<std::vector<DWORD>> frames = [] {
        std::vector<UINT> ids;
        for (UINT id = IDB_FRAME_FIRST; id < IDB_FRAME_FIRST + 18; ++id) ids.push_back(id);
        ids.insert(ids.end(), {IDB_FRAME_18, IDB_FRAME_19, IDB_FRAME_DONE, IDB_FRAME_FAILED});
        std::vector<std::vector<DWORD>> pixels;
        for (UINT id : ids) {
            HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
            pixels.push_back(Pixels(bitmap));
            DeleteObject(bitmap);
        }
        return pixels;
    }();
    return frames;
}

HBITMAP ShownBitmap(HWND dialog)
{
    return reinterpret_cast<HBITMAP>(SendDlgItemMessageW(dialog, IDC_PROGRESS_BITMAP, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

// Which frame the progress picture shows, told by its pixels; -1 when it is none of them.
int ShownFrame(HWND dialog)
{
    std::vector<DWORD> shown = Pixels(ShownBitmap(dialog));
    const auto& frames = FramePixels();
    for (size_t frame = 0; frame < frames.size(); ++frame) {
        if (!shown.empty() && frames[frame] == shown) return static_cast<int>(frame);
    }
    return -1;
}

std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, id, text, _countof(text));
    return text;
}

// What the window shows under its status text, read back from the window.
std::vector<DWORD> StatusPixels(HWND dialog)
{
    RECT area;
    GetWindowRect(GetDlgItem(dialog, IDC_STATUS_TEXT), &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC window = GetDC(dialog);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP target = CreateDIBSection(window, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<DWORD> pixels;
    if (memory && target) {
        HGDIOBJ previous = SelectObject(memory, target);
        if (BitBlt(memory, 0, 0, width, height, window, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            const DWORD* first = static_cast<const DWORD*>(bits);
            pixels.assign(first, first + static_cast<size_t>(width) * static_cast<size_t>(height));
        }
        SelectObject(memory, previous);
    }
    if (target) DeleteObject(target);
    if (memory) DeleteDC(memory);
    ReleaseDC(dialog, window);
    return pixels;
}

// True when the status text on screen is what a complete repaint of the window draws.
bool StatusDrawnClean(HWND dialog)
{
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::vector<DWORD> shown = StatusPixels(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return !shown.empty() && shown == StatusPixels(dialog);
}

// The update window, with a record of what it shows after each message from the engine and each
// of its timers.
class WatchedUpdateDlg : public CUpdateDlg {
public:
    using CUpdateDlg::CUpdateDlg;

    struct Step {
        int percent = -1;
        int frame = -1;
        std::wstring text;
        bool visible = false;
        // Only judged while the window is visible.
        bool drawnClean = true;
    };
    struct Tick {
        UINT_PTR id;
        bool visibleAfter;
    };

    std::vector<Step> progress;
    std::vector<Step> completion;
    std::vector<Tick> ticks;
    // Runs on the window's thread after the first progress message is shown, while the engine waits.
    std::function<void(WatchedUpdateDlg&)> onFirstProgress;
    std::wstring screenshot;

    void OnProgress(int percent, CString text) override
    {
        m_reportedPercent = percent;
        CUpdateDlg::OnProgress(percent, text);
    }

protected:
    LRESULT OnProgressShown(WPARAM wParam, LPARAM lParam)
    {
        LRESULT result = OnUpdateProgress(wParam, lParam);
        progress.push_back(Look(m_reportedPercent));
        if (progress.size() == 1 && onFirstProgress) onFirstProgress(*this);
        return result;
    }
    LRESULT OnCompleteShown(WPARAM wParam, LPARAM lParam)
    {
        LRESULT result = OnUpdateComplete(wParam, lParam);
        completion.push_back(Look(-1));
        if (!screenshot.empty()) TestSupport::SaveWindowImage(m_hWnd, screenshot);
        return result;
    }
    void OnTimer(UINT_PTR id)
    {
        CUpdateDlg::OnTimer(id);
        ticks.push_back({id, IsWindowVisible() != FALSE});
    }
    DECLARE_MESSAGE_MAP()

private:
    Step Look(int percent)
    {
        Step step;
        step.percent = percent;
        step.frame = ShownFrame(m_hWnd);
        step.text = ItemText(m_hWnd, IDC_STATUS_TEXT);
        step.visible = IsWindowVisible() != FALSE;
        if (step.visible) step.drawnClean = StatusDrawnClean(m_hWnd);
        return step;
    }

    int m_reportedPercent = -1;
};

BEGIN_MESSAGE_MAP(WatchedUpdateDlg, CUpdateDlg)
ON_MESSAGE(CUpdateDlg::WM_UPDATE_PROGRESS, OnProgressShown)
ON_MESSAGE(CUpdateDlg::WM_UPDATE_COMPLETE, OnCompleteShown)
ON_WM_TIMER()
END_MESSAGE_MAP()

WatchedUpdateDlg* runningDialog = nullptr;

void CALLBACK EndHungRun(HWND, UINT, UINT_PTR, DWORD)
{
    if (runningDialog) runningDialog->EndDialog(static_cast<int>(kHungRun));
}

// Runs the dialog modally; a run that has not ended after kRunLimitMs ends with kHungRun.
INT_PTR RunModal(WatchedUpdateDlg& dialog)
{
    runningDialog = &dialog;
    UINT_PTR limit = SetTimer(nullptr, 0, kRunLimitMs, &EndHungRun);
    INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, limit);
    runningDialog = nullptr;
    return result;
}

// Waits on its own thread for this process's message box with the caption, keeps its texts and
// presses its OK button.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::wstring caption)
        : m_caption(std::move(caption)), m_thread([this] { Answer(); })
    {
    }
    ~MessageBoxAnswerer() { Join(); }
    // The texts of the box's static controls; empty when no box came.
    const std::vector<std::wstring>& Texts()
    {
        Join();
        return m_texts;
    }

private:
    void Join()
    {
        if (m_thread.joinable()) m_thread.join();
    }
    void Answer()
    {
        for (ULONGLONG deadline = GetTickCount64() + kMessageBoxWaitMs; GetTickCount64() < deadline; Sleep(20)) {
            HWND box = FindWindowW(L"#32770", m_caption.c_str());
            DWORD process = 0;
            if (!box || !GetWindowThreadProcessId(box, &process) || process != GetCurrentProcessId()) continue;
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                wchar_t className[32] = {};
                GetClassNameW(child, className, _countof(className));
                wchar_t text[256] = {};
                if (_wcsicmp(className, L"Static") == 0 && GetWindowTextW(child, text, _countof(text)) > 0) {
                    m_texts.push_back(text);
                }
            }
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return;
        }
    }

    std::wstring m_caption;
    std::vector<std::wstring> m_texts;
    std::thread m_thread;
};

HttpServer::Response Body(const std::string& body, int status = 200)
{
    HttpServer::Response response;
    response.body = body;
    response.status = status;
    return response;
}

class UpdateWindowTest : public ::testing::Test {
protected:
    UpdateWindowTest()
    {
        updater_.SetUrl(server_.Url("/app/update.xml").c_str());
        updater_.SetDirectory(target_.Path().c_str());
    }
    // A manifest of present files without versions: nothing is fetched, each file is reported.
    void ServePresentFiles(int count)
    {
        std::string objects;
        for (int i = 0; i < count; ++i) {
            std::string name = "f" + std::to_string(i) + ".txt";
            target_.WriteFile(std::wstring(name.begin(), name.end()), "present");
            objects += "<file name=\"" + name + "\"/>";
        }
        server_.Serve("/app/update.xml", Body("<update><objects>" + objects + "</objects></update>"));
    }

    HttpServer server_;
    TestSupport::TempFolder target_;
    CUpdater updater_;
};

const WatchedUpdateDlg::Step* StepAt(const std::vector<WatchedUpdateDlg::Step>& steps, int percent)
{
    for (const auto& step : steps) {
        if (step.percent == percent) return &step;
    }
    return nullptr;
}

TEST_F(UpdateWindowTest, ShowsTheFrameOfEachPercentageThenTheDoneFrameFadesOutAndEndsWithOk)
{
    // Twelve objects: the second one is reported at 1 * 100 / 24 = 4 percent.
    ServePresentFiles(12);
    WatchedUpdateDlg dialog(updater_);
    dialog.screenshot = L"screenshots\\UpdateDlg_Done.png";
    HWND hwnd = nullptr;
    dialog.onFirstProgress = [&hwnd](WatchedUpdateDlg& window) {
        hwnd = window.m_hWnd;
        static_cast<CUpdaterEventHandler&>(window).OnProgress(100, L"");
        // None of these may end the window while the engine still reports to it.
        window.SendMessage(WM_COMMAND, IDCANCEL);
        window.SendMessage(WM_COMMAND, IDOK);
        window.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    };
    EXPECT_EQ(IDOK, RunModal(dialog));

    ASSERT_GE(dialog.progress.size(), 3u);
    const auto* start = &dialog.progress[0];
    EXPECT_EQ(0, start->frame);
    EXPECT_EQ(L"업데이트 중...0%", start->text);
    const auto* full = StepAt(dialog.progress, 100);
    ASSERT_NE(nullptr, full);
    EXPECT_EQ(CUpdateDlg::kFrameDone, full->frame);
    EXPECT_EQ(L"업데이트 중...100%", full->text);
    const auto* four = StepAt(dialog.progress, 4);
    ASSERT_NE(nullptr, four) << "the engine's report of the second object";
    EXPECT_EQ(0, four->frame);
    EXPECT_EQ(L"업데이트 중...4%", four->text);
    const auto* eight = StepAt(dialog.progress, 8);
    ASSERT_NE(nullptr, eight);
    EXPECT_EQ(1, eight->frame);
    EXPECT_EQ(9, dialog.progress.back().frame) << "the last object at 45 percent";
    for (const auto& step : dialog.progress) EXPECT_TRUE(step.drawnClean) << "old text shows under " << step.percent;

    ASSERT_EQ(1u, dialog.completion.size()) << "Escape, Enter or Close ended the window before the update did";
    const auto& done = dialog.completion[0];
    EXPECT_EQ(CUpdateDlg::kFrameDone, done.frame);
    EXPECT_EQ(L"불러오는 중...", done.text);
    EXPECT_TRUE(done.visible) << "the window is shown until it fades";
    EXPECT_TRUE(done.drawnClean);

    ASSERT_EQ(2u, dialog.ticks.size());
    EXPECT_EQ(0u, dialog.ticks[0].id);
    EXPECT_FALSE(dialog.ticks[0].visibleAfter) << "the fade ends hidden";
    EXPECT_EQ(1u, dialog.ticks[1].id);
    EXPECT_FALSE(IsWindow(hwnd)) << "the faded window is gone, not left hidden";
}

TEST_F(UpdateWindowTest, FailedUpdateShowsTheFailureFrameAndMessageThenEndsWithCancel)
{
    server_.Serve("/app/update.xml", Body("<html>not found</html>", 404));
    WatchedUpdateDlg dialog(updater_);
    dialog.screenshot = L"screenshots\\UpdateDlg_Failed.png";
    MessageBoxAnswerer answerer(L"벨라 업데이트");
    EXPECT_EQ(IDCANCEL, RunModal(dialog));

    std::vector<std::wstring> texts = answerer.Texts();
    ASSERT_FALSE(texts.empty()) << "no message box";
    EXPECT_EQ(kFailureText, texts.back());
    ASSERT_EQ(1u, dialog.completion.size());
    EXPECT_EQ(CUpdateDlg::kFrameFailed, dialog.completion[0].frame);
    EXPECT_EQ(L"업데이트 실패", dialog.completion[0].text);
    ASSERT_EQ(2u, dialog.ticks.size());
    EXPECT_FALSE(dialog.ticks[0].visibleAfter);
}

// One modeless window from creation until its update completed, then inspected and destroyed;
// returns the frame bitmap it showed last, or null when it could not be created.
HBITMAP CreateRunAndDestroy(const std::wstring& url, const std::wstring& directory, bool* completed,
                            const std::function<void(WatchedUpdateDlg&)>& inspect = nullptr)
{
    CUpdater updater;
    updater.SetUrl(url.c_str());
    updater.SetDirectory(directory.c_str());
    WatchedUpdateDlg dialog(updater);
    if (!dialog.Create(IDD_UPDATE)) return nullptr;
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    dialog.UpdateWindow();
    *completed = PumpUntil([&] { return !dialog.completion.empty(); }, kRunLimitMs);
    if (inspect) inspect(dialog);
    HBITMAP shown = ShownBitmap(dialog.m_hWnd);
    dialog.DestroyWindow();
    AfxDeleteTempMaps();
    return shown;
}

TEST_F(UpdateWindowTest, HasItsSizeShapeTitleAndIcon)
{
    ServePresentFiles(1);
    bool completed = false;
    CreateRunAndDestroy(server_.Url("/app/update.xml"), target_.Path(), &completed, [](WatchedUpdateDlg& window) {
        RECT bounds;
        window.GetWindowRect(&bounds);
        EXPECT_EQ(136, bounds.right - bounds.left);
        EXPECT_EQ(136, bounds.bottom - bounds.top);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(COMPLEXREGION, GetWindowRgn(window.m_hWnd, region)) << "rounded corners";
        DeleteObject(region);
        wchar_t title[64] = {};
        GetWindowTextW(window.m_hWnd, title, _countof(title));
        EXPECT_STREQ(L"벨라 업데이터", title);
        EXPECT_NE(0, window.SendMessage(WM_GETICON, ICON_BIG));
        EXPECT_NE(0, window.SendMessage(WM_GETICON, ICON_SMALL));
        EXPECT_TRUE(window.GetExStyle() & WS_EX_APPWINDOW) << "shown in the task bar";
    });
    EXPECT_TRUE(completed);
}

TEST_F(UpdateWindowTest, CreateAndDestroyLeaveNoGdiObjects)
{
    ServePresentFiles(2);
    const std::wstring url = server_.Url("/app/update.xml");
    bool completed = false;
    HBITMAP shown = CreateRunAndDestroy(url, target_.Path(), &completed);
    ASSERT_TRUE(completed);
    ASSERT_NE(nullptr, shown);
    EXPECT_EQ(0u, GetObjectType(shown)) << "the frames go with the window";

    DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0 && TestSupport::IsWine()) {
        GTEST_SKIP() << "Wine does not count GDI objects (GetGuiResources answers 0); the shown frame's "
                        "bitmap was checked to be deleted instead";
    }
    for (int i = 0; i < 5; ++i) {
        CreateRunAndDestroy(url, target_.Path(), &completed);
        ASSERT_TRUE(completed);
    }
    EXPECT_EQ(before, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
}

// The background drawn into a memory image of the dialog's client size, as erasing draws it.
class BackgroundTest : public ::testing::Test {
protected:
    static constexpr int kSize = 300;

    BackgroundTest()
    {
        EXPECT_TRUE(dialog_.Create(IDD_UPDATE));
        dialog_.SetWindowPos(nullptr, 0, 0, kSize, kSize, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ~BackgroundTest() override { dialog_.DestroyWindow(); }

    std::vector<DWORD> Erase()
    {
        RECT client;
        dialog_.GetClientRect(&client);
        width_ = client.right;
        BITMAPINFO format = {};
        format.bmiHeader.biSize = sizeof(format.bmiHeader);
        format.bmiHeader.biWidth = client.right;
        format.bmiHeader.biHeight = -client.bottom;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HDC memory = CreateCompatibleDC(nullptr);
        HBITMAP image = CreateDIBSection(memory, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        std::vector<DWORD> pixels;
        if (memory && image) {
            HGDIOBJ previous = SelectObject(memory, image);
            dialog_.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory));
            GdiFlush();
            const DWORD* first = static_cast<const DWORD*>(bits);
            pixels.assign(first, first + static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom));
            SelectObject(memory, previous);
        }
        if (image) DeleteObject(image);
        if (memory) DeleteDC(memory);
        return pixels;
    }
    DWORD At(const std::vector<DWORD>& pixels, int x, int y) const
    {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] & 0xFFFFFF;
    }

    // The background bitmap is 136 pixels square, a gradient of eight bands from top to bottom.
    static constexpr DWORD kTopBand = 0x1E3A5F;
    static constexpr DWORD kBottomBand = 0x9CBCE0;

    CBDialog dialog_{IDD_UPDATE};
    int width_ = 0;
};

TEST_F(BackgroundTest, TilesTheBitmapInTileMode)
{
    ASSERT_TRUE(dialog_.SetBackground(IDB_BACKGROUND, CBDialog::Tile));
    std::vector<DWORD> pixels = Erase();
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(kTopBand, At(pixels, 10, 4));
    EXPECT_EQ(kBottomBand, At(pixels, 10, 130));
    EXPECT_EQ(kTopBand, At(pixels, 10, 140)) << "the second tile starts again at the top band";
    EXPECT_EQ(kTopBand, At(pixels, 280, 280));
}

TEST_F(BackgroundTest, StretchesTheBitmapInStretchMode)
{
    ASSERT_TRUE(dialog_.SetBackground(IDB_BACKGROUND, CBDialog::Stretch));
    std::vector<DWORD> pixels = Erase();
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(kTopBand, At(pixels, 10, 4));
    EXPECT_EQ(kBottomBand, At(pixels, 280, kSize - 4));
    EXPECT_NE(kTopBand, At(pixels, 10, 140));
    EXPECT_NE(kBottomBand, At(pixels, 10, 140));
}

TEST_F(BackgroundTest, MissingBitmapLeavesTheSystemBackground)
{
    EXPECT_FALSE(dialog_.SetBackground(9999, CBDialog::Stretch));
    std::vector<DWORD> pixels = Erase();
    ASSERT_FALSE(pixels.empty());
    COLORREF face = GetSysColor(COLOR_3DFACE);
    DWORD expected = static_cast<DWORD>(GetRValue(face)) << 16 | static_cast<DWORD>(GetGValue(face)) << 8 | GetBValue(face);
    EXPECT_EQ(expected, At(pixels, 10, 140));
}

}  // namespace
