#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "core/UniqueResource.h"
#include "testing/HttpServer.h"
#include "testing/TempFolder.h"
#include "testing/FileBytes.h"
#include "updater/tests/helpers/TestFiles.h"
#include "updater/tests/helpers/ZipWriter.h"

using TestSupport::HttpServer;
using UpdaterTests::FileExists;
using UpdaterTests::ProgramFolder;
using TestSupport::ReadFileBytes;

namespace {

constexpr DWORD kRunLimitMs = 60000;
// OutputDebugString reaches a debugger as this exception on some systems.
constexpr DWORD kPrintException = 0x40010006;

// A trace line the updater wrote, or none when the watcher is only polled.
using Watcher = std::function<bool(const std::wstring* line)>;

std::wstring ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info)
{
    size_t unit = info.fUnicode ? sizeof(wchar_t) : 1;
    std::string bytes(info.nDebugStringLength * unit, '\0');
    SIZE_T read = 0;
    if (bytes.empty() || !ReadProcessMemory(process, info.lpDebugStringData, &bytes[0], bytes.size(), &read)) return L"";
    bytes.resize(read);
    if (info.fUnicode) return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
    return text;
}

// Runs a program as the debugger of it, so that it stands still at each trace line it writes.
// watch sees each line and is polled every 20 ms; when it answers true the program is terminated
// right there. Returns "killed", "exit <code>" or why the run failed.
std::string RunWatched(std::wstring commandLine, const Watcher& watch)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                        &startup, &started)) {
        return "CreateProcess failed with error " + std::to_string(GetLastError());
    }
    System::UniqueHandle process(started.hProcess);
    System::UniqueHandle thread(started.hThread);
    bool killed = false;
    bool timedOut = false;
    auto kill = [&] { killed = TerminateProcess(process.Get(), 9) != FALSE; };
    const ULONGLONG deadline = GetTickCount64() + kRunLimitMs;
    for (;;) {
        DEBUG_EVENT event = {};
        if (!WaitForDebugEvent(&event, 20)) {
            if (GetTickCount64() > deadline + kRunLimitMs) return "the debugged program never ended";
            if (killed || timedOut) continue;
            if (GetTickCount64() > deadline) {
                timedOut = TerminateProcess(process.Get(), 9) != FALSE;
            } else if (watch(nullptr)) {
                kill();
            }
            continue;
        }
        DWORD answer = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT: {
            std::wstring line = ReadDebugString(process.Get(), event.u.DebugString);
            if (!killed && !timedOut && watch(&line)) kill();
            break;
        }
        case EXCEPTION_DEBUG_EVENT: {
            DWORD code = event.u.Exception.ExceptionRecord.ExceptionCode;
            if (code != EXCEPTION_BREAKPOINT && code != kPrintException) answer = DBG_EXCEPTION_NOT_HANDLED;
            break;
        }
        case EXIT_PROCESS_DEBUG_EVENT: {
            DWORD code = event.u.ExitProcess.dwExitCode;
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
            if (timedOut) return "did not end within " + std::to_string(kRunLimitMs) + " ms";
            return killed ? "killed" : "exit " + std::to_string(code);
        }
        default:
            break;
        }
        if (!ContinueDebugEvent(event.dwProcessId, event.dwThreadId, answer)) {
            return "ContinueDebugEvent failed with error " + std::to_string(GetLastError());
        }
    }
}

// The steps the updater traces, in the order an update takes them.
bool IsStep(const std::wstring& line)
{
    for (const wchar_t* step : {L"Downloaded ", L"Written beside ", L"Replaced "}) {
        if (line.compare(0, wcslen(step), step) == 0) return true;
    }
    return false;
}

// Where a run is killed: when the server has sent stallBytes of the object at path (and waits for
// ever), or at the step-th traced step.
struct Moment {
    std::string path;
    int64_t stallBytes = -1;
    int step = 0;
};

class KilledUpdateTest : public ::testing::Test {
protected:
    KilledUpdateTest()
    {
        v1_ = ReadFileBytes(ProgramFolder() + L"\\updater_test_v1.dll");
        v2_ = ReadFileBytes(ProgramFolder() + L"\\updater_test_v2.dll");
        UpdaterTests::ZipWriter writer;
        writer.AddFile("b.dll", v2_);
        zip_ = writer.Build();
        // The program deletes itself when it ends: it runs from a copy, as the hand-over runs it.
        updater_ = programs_ / L"vapup.exe";
        CopyFileW((ProgramFolder() + L"\\vapup.exe").c_str(), updater_.c_str(), FALSE);
    }

    static std::string Manifest()
    {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?><update><objects>"
               "<file name=\"a.dll\" fileVersion=\"2.0.0.2\"/>"
               "<file name=\"b.dll\" fileVersion=\"2.0.0.2\" url=\"pkg/b.zip\" zipped=\"true\"/>"
               "<file name=\"c.dll\" fileVersion=\"2.0.0.2\"/>"
               "<file name=\"d.dll\" fileVersion=\"2.0.0.2\"/>"
               "</objects></update>";
    }

    // A new server each run: a stalled answer holds its connection until the server goes.
    void Serve(HttpServer& server, const Moment& moment) const
    {
        auto serve = [&](const std::string& path, const std::string& body) {
            HttpServer::Response response;
            response.body = body;
            if (path == moment.path) response.stallAfter = moment.stallBytes;
            server.Serve(path, response);
        };
        serve("/app/update.xml", Manifest());
        serve("/app/a.dll", v2_);
        serve("/app/pkg/b.zip", zip_);
        serve("/app/c.dll", v2_);
        serve("/app/d.dll", v2_);
    }

    std::string Run(const Moment& moment)
    {
        HttpServer server;
        Serve(server, moment);
        std::wstring commandLine = L"\"" + updater_ + L"\" /_update \"" + server.Url("/app/update.xml") + L"\" \"" +
                                   install_.Path() + L"\" \"\"";
        if (!FileExists(updater_)) CopyFileW((ProgramFolder() + L"\\vapup.exe").c_str(), updater_.c_str(), FALSE);
        int steps = 0;
        return RunWatched(commandLine, [&](const std::wstring* line) {
            if (moment.stallBytes >= 0) return server.Stalls() > 0;
            if (!line || !IsStep(*line)) return false;
            return ++steps == moment.step;
        });
    }

    // Every installed file is the old version or the new one, byte for byte; d.dll is new.
    ::testing::AssertionResult InstalledFilesWhole(int& updated) const
    {
        updated = 0;
        for (const wchar_t* name : {L"a.dll", L"b.dll", L"c.dll", L"d.dll"}) {
            std::wstring path = install_ / name;
            bool isNew = std::wstring(name) == L"d.dll";
            if (isNew && !FileExists(path)) continue;
            std::string bytes = ReadFileBytes(path);
            if (bytes == v2_) {
                ++updated;
            } else if (isNew || bytes != v1_) {
                return ::testing::AssertionFailure()
                       << "damaged: " << std::string(name, name + wcslen(name)) << " holds " << bytes.size() << " bytes";
            }
        }
        return ::testing::AssertionSuccess();
    }

    std::set<std::wstring> InstalledNames() const
    {
        std::set<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((install_ / L"*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L"..")) names.insert(data.cFileName);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return names;
    }

    void InstallOldVersion()
    {
        TestSupport::DeleteTree(install_.Path());
        CreateDirectoryW(install_.Path().c_str(), nullptr);
        for (const wchar_t* name : {L"a.dll", L"b.dll", L"c.dll"}) install_.WriteFile(name, v1_);
    }

    TestSupport::TempFolder programs_;
    TestSupport::TempFolder install_;
    std::wstring updater_;
    std::string v1_;
    std::string v2_;
    std::string zip_;
};

TEST_F(KilledUpdateTest, KilledAtTwentyMomentsEveryFileStaysWholeAndTheNextRunCompletes)
{
    ASSERT_FALSE(v1_.empty());
    ASSERT_NE(v1_, v2_);
    const int64_t size = static_cast<int64_t>(v2_.size());
    const int64_t zipSize = static_cast<int64_t>(zip_.size());
    std::vector<Moment> moments = {
        {"/app/update.xml", static_cast<int64_t>(Manifest().size() / 2)},
        {"/app/a.dll", 0},
        {"/app/a.dll", size / 2},
        {"/app/a.dll", size - 1},
        {"/app/pkg/b.zip", 1},
        {"/app/pkg/b.zip", zipSize / 2},
        {"/app/c.dll", size / 3},
        {"/app/d.dll", size - 1},
    };
    // Four downloads, then for each file its copy written beside it and its replacement.
    for (int step = 1; step <= 12; ++step) moments.push_back({"", -1, step});

    int survived = 0;
    int partialUpdates = 0;
    for (const Moment& moment : moments) {
        std::string where = moment.step ? "step " + std::to_string(moment.step)
                                        : moment.path + " after " + std::to_string(moment.stallBytes) + " bytes";
        InstallOldVersion();
        ASSERT_EQ("killed", Run(moment)) << where;
        int updated = 0;
        ASSERT_TRUE(InstalledFilesWhole(updated)) << "after the kill at " << where;
        if (updated > 0 && updated < 4) ++partialUpdates;

        ASSERT_EQ("exit 0", Run(Moment())) << "the run after the kill at " << where;
        ASSERT_TRUE(InstalledFilesWhole(updated)) << "after the run that followed the kill at " << where;
        EXPECT_EQ(4, updated) << "the run after the kill at " << where << " completes the update";
        EXPECT_EQ((std::set<std::wstring>{L"a.dll", L"b.dll", L"c.dll", L"d.dll"}), InstalledNames())
            << "nothing beside the installed files after the kill at " << where;
        ++survived;
    }
    EXPECT_GE(partialUpdates, 3) << "some kills fell between two replacements";
    std::cout << "killed updates: " << survived << " of " << moments.size()
              << " kills survived (every file old or new, byte for byte; the next run completed the update); "
              << partialUpdates << " kills fell between replacements" << std::endl;
}

}  // namespace
