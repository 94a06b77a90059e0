#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <set>

#include "core/Event.h"
#include "core/Exception.h"
#include "core/TextWriterTraceListener.h"
#include "core/Thread.h"
#include "core/Trace.h"
#include "testing/LibraryAssertions.h"
#include "testing/TempFolder.h"

namespace {

using namespace System;
using System::Threading::Thread;
using TestSupport::ExpectThrows;

TEST(ThreadTest, RunsEntryWithArgumentAndJoins)
{
    std::atomic<int> seen{0};
    Thread thread([&](void* argument) { seen = *static_cast<int*>(argument); });
    int value = 17;
    thread.Start(&value);
    EXPECT_TRUE(thread.Join(-1));
    EXPECT_EQ(seen, 17);
    EXPECT_FALSE(thread.IsAlive());
    ExpectThrows<InvalidOperationException>([&] { thread.Start(); });
}

TEST(ThreadTest, JoinTimesOutWhileTheThreadRuns)
{
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Thread thread([&](void*) { WaitForSingleObject(release, INFINITE); });
    ExpectThrows<InvalidOperationException>([&] { thread.Join(0); });
    thread.Start();
    EXPECT_FALSE(thread.Join(50));
    EXPECT_TRUE(thread.IsAlive());
    SetEvent(release);
    EXPECT_TRUE(thread.Join(-1));
    CloseHandle(release);
}

TEST(ThreadTest, AbortEndsAThreadBlockedInTheSystem)
{
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> returned{false};
    Thread thread([&](void*) {
        WaitForSingleObject(never, INFINITE);
        returned = true;
    });
    thread.Start();
    EXPECT_FALSE(thread.Join(20));
    thread.Abort();
    EXPECT_TRUE(thread.Join(0));
    EXPECT_FALSE(returned);
    thread.Abort();
    CloseHandle(never);
}

TEST(ThreadTest, ExceptionInEntryIsTracedNotFatal)
{
    std::vector<String> lines;
    struct Listener : Diagnostics::TraceListener {
        std::vector<String>* lines;
        void WriteLine(const String& message) override { lines->push_back(message); }
    };
    auto* listener = new Listener;
    listener->lines = &lines;
    Diagnostics::Trace::Listeners()->Add(listener);
    Thread thread([](void*) { throw new ApplicationException(L"worker failed"); });
    thread.Start();
    EXPECT_TRUE(thread.Join(-1));
    Diagnostics::Trace::Listeners()->Remove(listener);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], String(L"System.ApplicationException: worker failed"));
}

struct Counter : Object {
    int calls = 0;
    Object* lastSender = nullptr;
};

void Count(Object* target, Object* sender)
{
    auto* counter = static_cast<Counter*>(target);
    ++counter->calls;
    counter->lastSender = sender;
}

void Refuse(Object*, Object*) { throw new ApplicationException(); }

TEST(EventTest, RunsHandlersInOrderWithTheirTargets)
{
    Event event;
    Counter first, second;
    Object sender;
    event.AddHandler(&first, &Count);
    event.AddHandler(&second, &Count);
    event.RaiseEvent(&sender);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 1);
    EXPECT_EQ(first.lastSender, &sender);
    EXPECT_TRUE(event.RemoveHandler(&first, &Count));
    EXPECT_FALSE(event.RemoveHandler(&first, &Count));
    event.RaiseEvent(nullptr);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 2);
}

TEST(EventTest, HandlerExceptionReachesTheRaiserAndStopsLaterHandlers)
{
    Event event;
    Counter before, after;
    event.AddHandler(&before, &Count);
    event.AddHandler(nullptr, &Refuse);
    event.AddHandler(&after, &Count);
    ExpectThrows<ApplicationException>([&] { event.RaiseEvent(nullptr); });
    EXPECT_EQ(before.calls, 1);
    EXPECT_EQ(after.calls, 0);
}

TEST(EventTest, HandlerRunsOnTheRaisingThread)
{
    Event event;
    static DWORD handlerThread;
    event.AddHandler(nullptr, [](Object*, Object*) { handlerThread = GetCurrentThreadId(); });
    DWORD workerThread = 0;
    Thread thread([&](void*) {
        workerThread = GetCurrentThreadId();
        event.RaiseEvent(nullptr);
    });
    thread.Start();
    ASSERT_TRUE(thread.Join(-1));
    EXPECT_EQ(handlerThread, workerThread);
    EXPECT_NE(handlerThread, GetCurrentThreadId());
}

TEST(TraceTest, FileListenerKeepsWholeUtf8LinesFromSeveralThreads)
{
    TestSupport::TempFolder folder;
    std::wstring path = folder / L"vtcon.exe.log";
    auto* listener = new Diagnostics::TextWriterTraceListener(path.c_str(), L"log");
    ASSERT_TRUE(listener->IsOpen());
    Diagnostics::Trace::Listeners()->Add(listener);

    constexpr int Threads = 4;
    constexpr int LinesEach = 250;
    std::vector<std::unique_ptr<Thread>> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.push_back(std::make_unique<Thread>([t](void*) {
            for (int i = 0; i < LinesEach; ++i)
                Diagnostics::Trace::WriteLine(String::Format(L"스레드 %d 줄 %d 끝", t, i));
        }));
        threads.back()->Start();
    }
    for (auto& thread : threads) ASSERT_TRUE(thread->Join(-1));
    Diagnostics::Trace::Listeners()->Remove(listener);

    std::string content = folder.ReadFile(L"vtcon.exe.log");
    std::set<std::string> lines;
    size_t begin = 0;
    while (begin < content.size()) {
        size_t end = content.find("\r\n", begin);
        ASSERT_NE(end, std::string::npos) << "the last line is not ended";
        lines.insert(content.substr(begin, end - begin));
        begin = end + 2;
    }
    EXPECT_EQ(lines.size(), static_cast<size_t>(Threads * LinesEach));
    for (int t = 0; t < Threads; ++t)
        for (int i = 0; i < LinesEach; ++i)
            EXPECT_EQ(lines.count(String::Format(L"스레드 %d 줄 %d 끝", t, i).ToUtf8()), 1u);
}

TEST(TraceTest, FileListenerAppendsAndSurvivesAnUnwritablePath)
{
    TestSupport::TempFolder folder;
    folder.WriteFile(L"a.log", "old\r\n");
    {
        Diagnostics::TextWriterTraceListener listener((folder / L"a.log").c_str(), L"a");
        listener.WriteLine(L"new");
    }
    EXPECT_EQ(folder.ReadFile(L"a.log"), "old\r\nnew\r\n");

    Diagnostics::TextWriterTraceListener nowhere((folder / L"missing\\b.log").c_str(), L"b");
    EXPECT_FALSE(nowhere.IsOpen());
    nowhere.WriteLine(L"dropped");
}

}  // namespace
