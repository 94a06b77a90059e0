// Loading a feed of 5,000 controls from the cache, reloading and refilling the window's list with
// it, and refiltering those rows by a search text (in the engine alone and through the window's
// list), each as a ratio against parsing the same feed alone, all measured in the same run. The
// search runs on every keystroke within a 100 ms poll, so its absolute times are printed too.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "activex/ActiveXFeed.h"
#include "activex/ActiveXListFilter.h"
#include "activex/addon/ActiveXManagerDlg.h"
#include "core/ComPtr.h"
#include "startup/NetMemoryStream.h"

namespace {

// Rounds alternate between the measurements, so that a busy machine slows them alike.
constexpr int Rounds = 5;
constexpr int Controls = 5000;

// The window without its questions: nothing here can be blocked, and nobody answers.
class BenchManagerDlg : public ActiveXManagerDlg {
public:
    using ActiveXManagerDlg::ActiveXManagerDlg;

protected:
    INT_PTR RunDialog(CDialog&) override { return IDCANCEL; }
};

double Seconds()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Document()
{
    // ASCII texts: Wine's XmlLite stops with 0xC00CEE25 some 150 KB into a UTF-8 document full of
    // multi-byte characters, which would end the parse early and measure nothing.
    const char* types[] = {"general", "security", "media", "ads", "tools"};
    std::string feed = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss><channel>\n";
    for (int i = 0; i < Controls; ++i) {
        char clsid[40];
        std::snprintf(clsid, sizeof clsid, "{%08X-0000-4000-8000-000000000000}", i);
        feed += "<item><title>Control " + std::to_string(i) + "</title><description>Description " + std::to_string(i) +
                "</description><author>Maker</author><name>Control" + std::to_string(i) + (i % 7 ? ".ocx" : "Flash.cab") +
                "</name><clsid>" + clsid + "</clsid><dscr>Short</dscr><type>" + types[i % 5] + "</type><rating>" +
                std::to_string(i % 5 - 2) + "</rating><updated>" + std::to_string(638000000000000000LL + i * 1000000000LL) +
                "</updated></item>\n";
    }
    return feed + "</channel></rss>\n";
}

}  // namespace

int wmain()
{
    wchar_t temp[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        std::fprintf(stderr, "No temporary folder (error %lu)\n", GetLastError());
        return 1;
    }
    std::wstring cache = std::wstring(temp) + L"vaaxm-bench-" + std::to_wstring(GetCurrentProcessId()) + L".dat";
    std::string body = Document();
    std::string frame(4, '\0');
    uint32_t size = static_cast<uint32_t>(body.size());
    for (int i = 0; i < 4; ++i) frame[i] = static_cast<char>(size >> (8 * i));
    frame += body;
    HANDLE file = CreateFileW(cache.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool wrote = file != INVALID_HANDLE_VALUE && WriteFile(file, frame.data(), static_cast<DWORD>(frame.size()), &written, nullptr) &&
                 written == frame.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!wrote) {
        std::fprintf(stderr, "Cannot write %ls (error %lu)\n", cache.c_str(), GetLastError());
        DeleteFileW(cache.c_str());
        return 1;
    }

    // Entries look for kill bits under a key that does not exist, as on a machine without them.
    KillBits nowhere(L"SOFTWARE\\Vela\\Bench\\NoSuchCompatibilityKey");
    ActiveXManagerDlg::Places places;
    places.feedUrl = L"http://127.0.0.1:9/net/ActiveXRSS.aspx";
    places.cachePath = cache.c_str();
    places.settingsPath = (cache + L".cfg").c_str();
    places.killBits = &nowhere;
    BenchManagerDlg window(nullptr, places);
    if (!window.Create(ActiveXManagerDlg::TemplateId)) {
        std::fprintf(stderr, "Cannot create the window (error %lu)\n", GetLastError());
        DeleteFileW(cache.c_str());
        return 1;
    }
    window.SetWindowPos(nullptr, 0, 0, 900, 640, SWP_NOZORDER | SWP_NOMOVE);

    double parse = 1e9, load = 1e9, filter = 1e9, reload = 1e9, refilter = 1e9;
    size_t shown = 0;
    int rows = 0;
    for (int round = 0; round < Rounds; ++round) {
        ActiveXFeed parsed(nowhere);
        NetMemoryStream* stream = new NetMemoryStream(reinterpret_cast<const uint8_t*>(body.data()), body.size());
        System::ComPtr<NetMemoryStream> holder;
        holder.Attach(stream);
        double start = Seconds();
        int count = parsed.Parse(stream, L"c:\\temp");
        parse = std::min(parse, Seconds() - start);

        ActiveXFeed loaded(nowhere);
        start = Seconds();
        count = std::min(count, loaded.Load(L"http://127.0.0.1:9/net/ActiveXRSS.aspx", cache.c_str()));
        load = std::min(load, Seconds() - start);

        start = Seconds();
        shown = ActiveXListFilter(ActiveXFeed::AllCategory, L"FLASH").Apply(loaded.GetEntries()).size();
        filter = std::min(filter, Seconds() - start);
        start = Seconds();
        window.Reload();
        reload = std::min(reload, Seconds() - start);
        start = Seconds();
        window.Refill(L"FLASH");
        refilter = std::min(refilter, Seconds() - start);
        rows = window.GetList().GetItemCount();
        window.Refill(L"");
        if (count != Controls) {
            std::fprintf(stderr, "Read %d of %d controls\n", count, Controls);
            DeleteFileW(cache.c_str());
            return 1;
        }
    }
    window.DestroyWindow();
    DeleteFileW(cache.c_str());
    DeleteFileW((cache + L".cfg").c_str());
    std::printf("controls: %d, rows matching the search: %zu (window: %d)\n", Controls, shown, rows);
    std::printf("parse alone (baseline): %.1f ms\n", parse * 1000);
    std::printf("load from the cache / parse: %.2f\n", load / parse);
    std::printf("window reload (load, danger check, tree, refill) / parse: %.2f (%.1f ms)\n", reload / parse, reload * 1000);
    std::printf("refilter by a search text, engine alone / parse: %.3f (%.2f ms, poll 100 ms)\n", filter / parse, filter * 1000);
    std::printf("refilter by a search text, window's list / parse: %.3f (%.2f ms, poll 100 ms)\n", refilter / parse, refilter * 1000);
    return 0;
}
