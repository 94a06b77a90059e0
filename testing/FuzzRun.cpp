#include "testing/FuzzRun.h"

#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <sstream>
#include <thread>

#include "core/Exception.h"
#include "testing/Mutator.h"

namespace TestSupport {

namespace {

const auto InputTimeLimit = std::chrono::seconds(5);
const int UnexpectedKept = 8;

uint64_t PeakCommitted()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.PeakPagefileUsage;
}

uint64_t Committed()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.PagefileUsage;
}

void SaveInput(const char* what, const std::string& reader, const std::string& bytes)
{
    wchar_t folder[MAX_PATH] = {};
    if (!GetTempPathW(MAX_PATH, folder)) return;
    std::string name = std::string("vela-fuzz-") + what + "-" + reader + ".bin";
    std::wstring path = std::wstring(folder) + std::wstring(name.begin(), name.end());
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

// Ends the process when one input runs past the limit.
class Watchdog {
public:
    explicit Watchdog(const std::string& reader) : reader_(reader), thread_([this] { Watch(); }) {}
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    void Start(const std::string* input, const char* kind)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        input_ = input;
        kind_ = kind;
        deadline_ = std::chrono::steady_clock::now() + InputTimeLimit;
        changed_.notify_all();
    }

    void Stop()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        input_ = nullptr;
        changed_.notify_all();
    }

private:
    void Watch()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stop_) {
            if (!input_) {
                changed_.wait(lock);
                continue;
            }
            if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && input_ &&
                std::chrono::steady_clock::now() >= deadline_) {
                SaveInput("hang", reader_, *input_);
                std::fprintf(stderr, "%s: an input (%s) ran past 5 s and is saved as vela-fuzz-hang-%s.bin\n",
                             reader_.c_str(), kind_, reader_.c_str());
                std::fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 3);
            }
        }
    }

    std::string reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const std::string* input_ = nullptr;
    const char* kind_ = "";
    std::chrono::steady_clock::time_point deadline_;
    bool stop_ = false;
    std::thread thread_;
};

// The whole text of a library exception, for the report of an unexpected outcome.
std::string Describe(const std::exception_ptr& thrown)
{
    try {
        std::rethrow_exception(thrown);
    } catch (System::Exception* caught) {
        std::wstring text = caught->ToString().GetBuffer();
        delete caught;
        int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(size > 0 ? static_cast<size_t>(size) : 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], size, nullptr, nullptr);
        utf8.resize(utf8.size() - 1);
        return utf8;
    } catch (...) {
        return ExceptionOutcome(std::current_exception());
    }
}

}  // namespace

std::string FuzzReport::ToString() const
{
    std::ostringstream text;
    text << reader << ": " << inputs << " inputs;";
    for (const auto& outcome : outcomes) text << " " << outcome.first << " " << outcome.second << ";";
    text << " unexpected " << unexpected.size() << "; worst " << static_cast<int>(worstSeconds * 1000) << " ms, "
         << worstMemoryBytes / 1024 << " KB";
    return text.str();
}

std::string ExceptionOutcome(const std::exception_ptr& thrown)
{
    try {
        std::rethrow_exception(thrown);
    } catch (System::Exception* caught) {
        std::wstring name = caught->GetTypeName().GetBuffer();
        delete caught;
        return std::string(name.begin(), name.end());
    } catch (const std::exception& caught) {
        return caught.what();
    } catch (...) {
        return "unknown exception";
    }
}

FuzzReport RunFuzz(const std::string& reader, const std::vector<std::string>& samples, int inputs, uint64_t seed,
                   const FuzzReader& read)
{
    FuzzReport report;
    report.reader = reader;
    if (samples.empty()) return report;
    Mutator mutator(seed);
    Watchdog watchdog(reader);
    bool keepLast = std::getenv("VELA_FUZZ_KEEP_LAST") != nullptr;
    for (int i = 0; i < inputs; ++i) {
        std::string input = mutator.Mutate(samples[static_cast<size_t>(i) % samples.size()]);
        uint64_t before = Committed();
        uint64_t peakBefore = PeakCommitted();
        auto start = std::chrono::steady_clock::now();
        // A reader that aborts the process leaves the input that did it behind.
        if (keepLast) SaveInput("last", reader, input);
        watchdog.Start(&input, mutator.LastKind());
        std::string outcome;
        try {
            outcome = read(input);
            ++report.outcomes[outcome];
        } catch (...) {
            outcome = Describe(std::current_exception());
            if (report.unexpected.size() < UnexpectedKept)
                report.unexpected.push_back(outcome + " after " + mutator.LastKind() + " of input " + std::to_string(i));
            else
                report.unexpected.back() = "... and more";
        }
        watchdog.Stop();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        report.worstSeconds = std::max(report.worstSeconds, seconds);
        uint64_t peak = PeakCommitted();
        if (peak > peakBefore && peak > before) report.worstMemoryBytes = std::max(report.worstMemoryBytes, peak - before);
        ++report.inputs;
    }
    return report;
}

int FuzzInputs(int count)
{
    const char* text = std::getenv("VELA_FUZZ_INPUTS");
    int value = text ? std::atoi(text) : 0;
    return value > 0 ? value : count;
}

uint64_t FuzzSeed(uint64_t seed)
{
    const char* text = std::getenv("VELA_FUZZ_SEED");
    return text && *text ? std::strtoull(text, nullptr, 10) : seed;
}

void ExpectSeveralDocumentedOutcomes(const FuzzReport& report)
{
    std::cout << report.ToString() << std::endl;
    EXPECT_TRUE(report.unexpected.empty()) << report.unexpected.front();
    EXPECT_GT(report.outcomes.size(), 1u) << report.ToString();
    EXPECT_LT(report.worstMemoryBytes, 64u << 20) << report.ToString();
}

}  // namespace TestSupport
