// Start-up time of the console, as ratios against starting a minimal window program in the same run.
//
//     console_bench.exe [runs]
//
// vtcon.exe, console_bench_window.exe and the test add-on console_test_addon.dll are taken from
// this program's folder. A copy of vtcon.exe runs in a temporary folder beside a catalogue of eight
// tools in three categories (the deployment's icons when the source tree is at hand), with the test
// add-on's id on its command line; without the add-on only the home page is measured. Every
// program reports its moments through VTCON_MOMENTS_FILE (see console/ConsoleDlg.h), timed from
// just before it is started. The console's update check finds no updater in the temporary folder
// and costs nothing; the add-on moment includes the switch animation when smooth switching is on.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/UniqueResource.h"

namespace {

const wchar_t kAddonFile[] = L"console_test_addon.dll";
const wchar_t kAddonId[] = L"01";
constexpr DWORD kMomentTimeoutMs = 60000;

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return L".";
    return Folder(path);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Utf8(const std::wstring& text)
{
    int length = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    System::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string ReadWholeFile(const std::wstring& path)
{
    System::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

// The counters of the moments reported so far, by name.
std::map<std::string, long long> ReadMoments(const std::wstring& path)
{
    std::map<std::string, long long> moments;
    std::string text = ReadWholeFile(path);
    size_t position = 0;
    while (position < text.size()) {
        size_t end = text.find('\n', position);
        if (end == std::string::npos) break;
        std::string line = text.substr(position, end - position);
        size_t space = line.find(' ');
        if (space != std::string::npos) moments[line.substr(0, space)] = std::stoll(line.substr(space + 1));
        position = end + 1;
    }
    return moments;
}

// The icons of the deployment's catalogue, copied into the folder as icons\<n>.png.
std::vector<std::wstring> CopyIcons(const std::wstring& folder)
{
    std::vector<std::wstring> names;
#ifdef CONSOLE_DEPLOY_DIR
    std::string source = CONSOLE_DEPLOY_DIR "/icons";
    std::wstring from(source.begin(), source.end());
    if (!from.empty() && from[0] == L'/') from = L"Z:" + from;
    std::replace(from.begin(), from.end(), L'/', L'\\');
    WIN32_FIND_DATAW found;
    System::UniqueFindHandle search(FindFirstFileW((from + L"\\*.png").c_str(), &found));
    if (!search) return names;
    CreateDirectoryW((folder + L"\\icons").c_str(), nullptr);
    do {
        std::wstring name = L"icons\\" + std::wstring(found.cFileName);
        if (CopyFileW((from + L"\\" + found.cFileName).c_str(), (folder + L"\\" + name).c_str(), FALSE))
            names.push_back(name);
    } while (FindNextFileW(search.Get(), &found));
#else
    (void)folder;
#endif
    return names;
}

std::string Catalogue(const std::wstring& addonPath, const std::vector<std::wstring>& icons)
{
    struct Tool {
        const wchar_t* id;
        const wchar_t* name;
        const wchar_t* category;
        const wchar_t* module;
        int external;
    };
    const Tool tools[] = {
        {kAddonId, L"시험 도구", L"시스템 관리", nullptr, 0},
        {L"02", L"PC 청소", L"시스템 관리", L"vtsw.dll", 0},
        {L"03", L"시작 프로그램", L"시스템 관리", L"vtsm.dll", 0},
        {L"04", L"패치 관리", L"보안", L"vtpm.dll", 0},
        {L"05", L"ActiveX 관리", L"보안", L"vtaxm.dll", 0},
        {L"06", L"프로세스 관리", L"시스템 관리", L"vtpsm.dll", 0},
        {L"07", L"시스템 정보", L"", L"vtsv.dll", 0},
        {L"08", L"메모장", L"", L"%SystemRoot%\\system32\\notepad.exe", 1},
    };
    std::wstring xml = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><addons>";
    size_t index = 0;
    for (const Tool& tool : tools) {
        std::wstring icon = icons.empty() ? L"icons\\none.png" : icons[index++ % icons.size()];
        xml += L"<item><id>" + std::wstring(tool.id) + L"</id><name>" + tool.name + L"</name><category>" +
               tool.category + L"</category><description>" + tool.name + L"</description><imageFileName>" + icon +
               L"</imageFileName><moduleFileName>" + (tool.module ? tool.module : addonPath.c_str()) +
               L"</moduleFileName><downloadUrl>http://127.0.0.1/</downloadUrl><external>" +
               std::to_wstring(tool.external) + L"</external></item>";
    }
    return Utf8(xml + L"</addons>");
}

BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM processId)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

class Bench {
public:
    Bench() { QueryPerformanceFrequency(&frequency_); }

    // Starts the program and waits for each named moment; fills milliseconds from the start to each.
    // False, with the reason on stderr, when the program cannot start or a moment never comes.
    bool Run(const std::wstring& program, const std::wstring& arguments, const std::vector<std::string>& names,
             std::vector<double>& milliseconds)
    {
        DeleteFileW(momentsPath_.c_str());
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            fwprintf(stderr, L"%ls cannot be started (error %lu)\n", program.c_str(), GetLastError());
            return false;
        }
        System::UniqueHandle processHandle(process.hProcess);
        System::UniqueHandle threadHandle(process.hThread);

        bool complete = false;
        DWORD waited = 0;
        std::map<std::string, long long> moments;
        while (waited < kMomentTimeoutMs) {
            moments = ReadMoments(momentsPath_);
            complete = std::all_of(names.begin(), names.end(),
                                   [&](const std::string& name) { return moments.count(name) != 0; });
            if (complete) break;
            if (WaitForSingleObject(processHandle.Get(), 2) == WAIT_OBJECT_0) break;
            waited += 2;
        }
        EnumWindows(CloseWindowsOf, static_cast<LPARAM>(process.dwProcessId));
        if (WaitForSingleObject(processHandle.Get(), 10000) != WAIT_OBJECT_0) TerminateProcess(processHandle.Get(), 1);
        if (!complete) {
            fwprintf(stderr, L"%ls did not report all its moments\n", program.c_str());
            return false;
        }
        milliseconds.clear();
        for (const std::string& name : names)
            milliseconds.push_back(static_cast<double>(moments[name] - start.QuadPart) * 1000.0 /
                                   static_cast<double>(frequency_.QuadPart));
        return true;
    }

    void SetMomentsPath(const std::wstring& path) { momentsPath_ = path; }

private:
    LARGE_INTEGER frequency_;
    std::wstring momentsPath_;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    System::UniqueFindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (search) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search.Get(), &found));
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    int runs = argc > 1 ? _wtoi(argv[1]) : 5;
    if (runs < 1) runs = 1;
    std::wstring bin = ProgramFolder();
    std::wstring console = bin + L"\\vtcon.exe";
    std::wstring baseline = bin + L"\\console_bench_window.exe";
    std::wstring addon = bin + L"\\" + kAddonFile;
    if (!Exists(console) || !Exists(baseline)) {
        fwprintf(stderr, L"vtcon.exe and console_bench_window.exe must be beside this program\n");
        return 2;
    }
    bool withAddon = Exists(addon);

    wchar_t temp[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, temp)) {
        fwprintf(stderr, L"no temporary folder (error %lu)\n", GetLastError());
        return 2;
    }
    std::wstring folder = std::wstring(temp) + L"vtcon_bench_" + std::to_wstring(GetCurrentProcessId());
    if (!CreateDirectoryW(folder.c_str(), nullptr)) {
        fwprintf(stderr, L"%ls cannot be made (error %lu)\n", folder.c_str(), GetLastError());
        return 2;
    }
    std::wstring copy = folder + L"\\vtcon.exe";
    bool ready = CopyFileW(console.c_str(), copy.c_str(), FALSE) &&
                 WriteWholeFile(folder + L"\\vtaddons3.xml", Catalogue(addon, CopyIcons(folder)));
    if (!ready) {
        fwprintf(stderr, L"the console's folder cannot be prepared (error %lu)\n", GetLastError());
        RemoveTree(folder);
        return 2;
    }

    // The copy finds the suite's libraries in the build folder.
    wchar_t path[32767];
    DWORD length = GetEnvironmentVariableW(L"PATH", path, 32767);
    std::wstring searchPath = bin + (length > 0 && length < 32767 ? L";" + std::wstring(path) : L"");
    SetEnvironmentVariableW(L"PATH", searchPath.c_str());
    std::wstring moments = folder + L"\\moments.txt";
    SetEnvironmentVariableW(L"VTCON_MOMENTS_FILE", moments.c_str());

    Bench bench;
    bench.SetMomentsPath(moments);
    std::vector<double> shown, home, tool;
    std::vector<std::string> consoleMoments = {"home"};
    if (withAddon) consoleMoments.push_back("tool");
    bool ok = true;
    for (int run = 0; run < runs && ok; ++run) {
        std::vector<double> times;
        ok = bench.Run(baseline, L"", {"shown"}, times);
        if (!ok) break;
        shown.push_back(times[0]);
        ok = bench.Run(copy, withAddon ? kAddonId : L"", consoleMoments, times);
        if (!ok) break;
        home.push_back(times[0]);
        if (withAddon) tool.push_back(times[1]);
    }
    RemoveTree(folder);
    if (!ok) return 1;

    double base = Median(shown);
    wprintf(L"median of %d runs\n", runs);
    wprintf(L"minimal window program shown:  %8.1f ms\n", base);
    wprintf(L"vtcon home page filled:        %8.1f ms  (%.2f x)\n", Median(home), Median(home) / base);
    if (withAddon) {
        wprintf(L"vtcon first add-on shown:      %8.1f ms  (%.2f x)\n", Median(tool), Median(tool) / base);
    } else {
        wprintf(L"vtcon first add-on shown: not measured (%ls is missing)\n", kAddonFile);
    }
    return 0;
}
