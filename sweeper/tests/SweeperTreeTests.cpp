#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "core/Environment.h"
#include "core/ExceptionGuard.h"
#include "core/Trace.h"
#include "sweeper/Catalogue.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"
#include "testing/LibraryAssertions.h"

using System::String;

namespace {

// A leaf that handles `items` items, each inside its own guard, raising Progress after each.
class CountingLeaf : public Sweeper {
public:
    CountingLeaf(const String& name, int items, std::vector<String>* log) : Sweeper(name), items_(items), log_(log) {}

    void Reset(bool keepFindings) override
    {
        Sweeper::Reset(keepFindings);
        counters.Reset(keepFindings);
    }
    void Run(bool sweep) override
    {
        counters.Reset(true);
        SetDone(false);
        log_->push_back(GetFullName() + L" started");
        counters.AddToProcess(items_);
        for (int i = 0; i < items_; ++i) {
            System::TraceExceptions([&] { counters.Count(sweep, 100); });
            counters.AddProcessed();
            RaiseProgress();
        }
        log_->push_back(GetFullName() + L" ended");
        SetDone(true);
        RaiseCompleted();
    }
    int64_t GetSize() const override { return counters.GetFoundBytes(); }
    int32_t GetCount() const override { return counters.GetFound(); }
    int GetProgress() const override { return progressOverride >= 0 ? progressOverride : counters.GetProgress(IsDone()); }

    SweepCounters counters;
    int progressOverride = -1;

private:
    int items_;
    std::vector<String>* log_;
};

// Collects trace lines for the life of the object.
class TraceCapture : public System::Diagnostics::TraceListener {
public:
    void WriteLine(const String& message) override { lines.push_back(message); }
    std::vector<String> lines;
};

class CapturedTrace {
public:
    CapturedTrace() : listener_(new TraceCapture) { System::Diagnostics::Trace::Listeners()->Add(listener_); }
    ~CapturedTrace() { System::Diagnostics::Trace::Listeners()->Remove(listener_); }
    const std::vector<String>& Lines() const { return listener_->lines; }

private:
    TraceCapture* listener_;
};

void Count(System::Object* target, System::Object*) { ++*static_cast<int*>(static_cast<void*>(target)); }

class SweeperTreeTest : public ::testing::Test {
protected:
    SweeperTreeTest() : root(new Sweeper(String()))
    {
        first = new Sweeper(L"First");
        second = new Sweeper(L"Second");
        root->AddChild(first);
        root->AddChild(second);
        a = new CountingLeaf(L"A", 4, &log);
        b = new CountingLeaf(L"B", 2, &log);
        c = new CountingLeaf(L"C", 3, &log);
        first->AddChild(a);
        first->AddChild(b);
        second->AddChild(c);
    }
    void SelectAll()
    {
        for (Sweeper* node : {static_cast<Sweeper*>(first), static_cast<Sweeper*>(second), static_cast<Sweeper*>(a),
                              static_cast<Sweeper*>(b), static_cast<Sweeper*>(c)})
            node->SetSelected(true);
    }

    std::vector<String> log;
    std::unique_ptr<Sweeper> root;
    Sweeper* first;
    Sweeper* second;
    CountingLeaf* a;
    CountingLeaf* b;
    CountingLeaf* c;
};

}  // namespace

TEST_F(SweeperTreeTest, NamesChildrenByFullNameInTheOrderAdded)
{
    EXPECT_EQ(root->GetFullName(), String());
    EXPECT_EQ(first->GetFullName(), String(L"First"));
    EXPECT_EQ(b->GetFullName(), String(L"First.B"));
    System::Array<Sweeper*> children = first->GetChildren();
    ASSERT_EQ(children.GetLength(), 2);
    EXPECT_EQ(children[0], a);
    EXPECT_EQ(children[1], b);
}

TEST_F(SweeperTreeTest, RefusesNullDuplicateAndAlreadyOwnedChildren)
{
    TestSupport::ExpectThrows<System::ArgumentNullException>([&] { first->AddChild(nullptr); });
    auto duplicate = std::make_unique<Sweeper>(L"A");
    TestSupport::ExpectThrows<System::ArgumentException>([&] { first->AddChild(duplicate.get()); });
    TestSupport::ExpectThrows<System::ArgumentException>([&] { second->AddChild(a); });
    EXPECT_EQ(first->GetChildren().GetLength(), 2);
    EXPECT_EQ(second->GetChildren().GetLength(), 1);
    EXPECT_EQ(a->GetParent(), first);
}

TEST_F(SweeperTreeTest, RunsOnlySelectedItemsOfSelectedCategoriesAndSumsThem)
{
    SelectAll();
    first->SetSelected(false);
    CapturedTrace trace;
    root->Reset(false);
    root->Run(false);
    EXPECT_EQ(log, (std::vector<String>{L"Second.C started", L"Second.C ended"}));
    EXPECT_EQ(trace.Lines(), (std::vector<String>{L"Sweeping Second", L"Sweeping Second.C"}));
    EXPECT_EQ(root->GetCount(), 3);
    EXPECT_EQ(root->GetSize(), 300);
    EXPECT_TRUE(root->IsDone());
    EXPECT_EQ(root->GetProgress(), 100);
}

TEST_F(SweeperTreeTest, PassWithNothingSelectedRaisesProgressTracesNothingAndEndsDone)
{
    int progress = 0, completed = 0;
    root->Progress.AddHandler(reinterpret_cast<System::Object*>(&progress), &Count);
    root->Completed.AddHandler(reinterpret_cast<System::Object*>(&completed), &Count);
    CapturedTrace trace;
    root->Reset(false);
    root->Run(false);
    EXPECT_EQ(progress, 1);
    EXPECT_EQ(completed, 1);
    EXPECT_TRUE(trace.Lines().empty());
    EXPECT_EQ(root->GetProgress(), 100);
    EXPECT_EQ(root->GetSize(), 0);
    EXPECT_EQ(root->GetCount(), 0);
}

TEST_F(SweeperTreeTest, ProgressTruncatesEachSelectedChildsShareBeforeAdding)
{
    SelectAll();
    a->progressOverride = 50;
    b->progressOverride = 0;
    EXPECT_EQ(first->GetProgress(), 25);
    auto third = new CountingLeaf(L"D", 1, &log);
    first->AddChild(third);
    third->SetSelected(true);
    third->progressOverride = 50;
    EXPECT_EQ(first->GetProgress(), 16 + 0 + 16);  // 50/3 + 0/3 + 50/3
    b->SetSelected(false);
    EXPECT_EQ(first->GetProgress(), 50);
    first->SetSelected(false);
    EXPECT_EQ(root->GetProgress(), 0);
}

TEST_F(SweeperTreeTest, RootProgressOfCategoriesAtHundredAndThirtyThreeIsSixtySix)
{
    SelectAll();
    a->progressOverride = 100;
    b->progressOverride = 100;
    c->progressOverride = 33;
    EXPECT_EQ(first->GetProgress(), 100);
    EXPECT_EQ(second->GetProgress(), 33);
    EXPECT_EQ(root->GetProgress(), 50 + 16);
}

TEST_F(SweeperTreeTest, SweepCountsFindingsDownAfterAnalysis)
{
    SelectAll();
    root->Reset(false);
    root->Run(false);
    EXPECT_EQ(root->GetCount(), 9);
    root->Reset(true);
    EXPECT_EQ(root->GetCount(), 9);
    EXPECT_EQ(root->GetProgress(), 0);
    root->Run(true);
    EXPECT_EQ(root->GetCount(), 0);
    EXPECT_EQ(root->GetSize(), 0);
    root->Reset(false);
    EXPECT_EQ(a->GetCount(), 0);
}

TEST_F(SweeperTreeTest, StopLandsAtTheFirstProgressOutsideAnItemGuard)
{
    SelectAll();
    // The stop arrives while A handles its second item.
    struct Stopper {
        Sweeper* root;
        int seen = 0;
    } stopper{root.get()};
    a->Progress.AddHandler(reinterpret_cast<System::Object*>(&stopper), [](System::Object* target, System::Object*) {
        auto* self = reinterpret_cast<Stopper*>(target);
        if (++self->seen == 2) self->root->SetStopRequested(true);
    });
    int completed = 0;
    root->Completed.AddHandler(reinterpret_cast<System::Object*>(&completed), &Count);
    CapturedTrace trace;
    root->Reset(false);
    root->Run(false);

    // A's next Progress, raised outside its item guard, carries the stop to the root: nothing
    // after it starts, and the items already handled stay handled.
    EXPECT_EQ(log, (std::vector<String>{L"First.A started"}));
    EXPECT_EQ(a->counters.GetProcessed(), 3);
    EXPECT_EQ(a->GetCount(), 3);
    EXPECT_EQ(completed, 1);
    EXPECT_FALSE(root->IsDone());
    EXPECT_LT(root->GetProgress(), 100);
    EXPECT_EQ(trace.Lines().back(), String(L"Sweep stopped"));
}

TEST_F(SweeperTreeTest, StopBetweenCategoriesThrowsAtTheNextCategorysFirstProgress)
{
    SelectAll();
    b->Completed.AddHandler(root.get(), [](System::Object* target, System::Object*) {
        static_cast<Sweeper*>(target)->SetStopRequested(true);
    });
    CapturedTrace trace;
    root->Reset(false);
    root->Run(false);
    EXPECT_EQ(log, (std::vector<String>{L"First.A started", L"First.A ended", L"First.B started", L"First.B ended"}));
    EXPECT_EQ(trace.Lines(), (std::vector<String>{L"Sweeping First", L"Sweeping First.A", L"Sweeping First.B", L"Sweeping Second",
                                                  L"Sweep stopped"}));
}

TEST_F(SweeperTreeTest, WorkerThreadRunsThePassAndRefusesASecondWhileRunning)
{
    SelectAll();
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(release, nullptr);
    // Holds the worker inside its first Progress event until released.
    root->Progress.AddHandler(reinterpret_cast<System::Object*>(release), [](System::Object* target, System::Object*) {
        WaitForSingleObject(reinterpret_cast<HANDLE>(target), 5000);
    });
    root->Reset(false);
    root->StartThread(1);
    TestSupport::ExpectThrows<System::InvalidOperationException>([&] { root->StartThread(1); });
    SetEvent(release);
    ASSERT_TRUE(root->WaitForThread(5000));
    CloseHandle(release);
    EXPECT_TRUE(root->IsDone());
    EXPECT_EQ(a->GetCount(), -4);  // a sweep without analysis counts removals below zero
}

TEST(CatalogueTest, HoldsFiveCategoriesAndTwentyEightItemsInOrder)
{
    String temp = System::Environment::GetEnvironmentVariable(L"Temp");
    ASSERT_TRUE(IsSweepableTempFolder(temp)) << temp.ToUtf8();
    std::unique_ptr<Sweeper> root(BuildCatalogue());
    std::vector<String> keys;
    for (Sweeper* category : root->GetChildren()) {
        keys.push_back(category->GetFullName());
        for (Sweeper* item : category->GetChildren()) keys.push_back(item->GetFullName());
        EXPECT_FALSE(category->IsSelected());
    }
    std::vector<String> expected{
        L"Disk", L"Disk.RecycleBin", L"Disk.Temp", L"Disk.WindowsTemp", L"Disk.IECache", L"Disk.IECookie", L"Disk.FFCache",
        L"Disk.FFCookie", L"Registry", L"Registry.CLSID", L"Registry.ProgID", L"Registry.SharedDll", L"Registry.AppPath", L"History",
        L"History.CommonOpenMRU", L"History.CommonSaveAsMRU", L"History.ExplorerRecent", L"History.ExplorerRunMRU", L"History.IEHistory",
        L"History.IETypedURLs", L"History.IESiteVisited", L"History.TSCMRU", L"ApplicationHistory",
        L"ApplicationHistory.WMPRecentFileList", L"ApplicationHistory.WMPRecentURLList", L"ApplicationHistory.FFDownloadHistory",
        L"ApplicationHistory.FFHistory", L"Privacy", L"Privacy.Credential", L"Privacy.IEAutoCompletePassword",
        L"Privacy.NateOnPassword", L"Privacy.GoogleTalkPassword", L"Privacy.FFFormHistory"};
    EXPECT_EQ(keys, expected);
    auto duplicate = std::make_unique<Sweeper>(L"CLSID");
    TestSupport::ExpectThrows<System::ArgumentException>([&] { root->GetChildren()[1]->AddChild(duplicate.get()); });
}

TEST(CatalogueTest, LeavesOutTempWhenItNamesAFolderThatMustNotBeEmptied)
{
    String saved = System::Environment::GetEnvironmentVariable(L"Temp");
    String windows = System::Environment::GetFolderPath(System::Environment::Windows);
    String profile = System::Environment::GetFolderPath(System::Environment::UserProfile);
    String documents = System::Environment::GetFolderPath(System::Environment::Personal);
    std::vector<String> hostile{profile, profile + L"\\", windows.ToUpper(), windows.ToLower() + L"\\", L"C:\\", L"c:",
                                documents, profile.Substring(0, profile.LastIndexOf(L'\\')), windows + L"\\system32\\..",
                                L"", L"Temp", L"\\Temp", L"\\\\server\\share"};
    for (const String& value : hostile) {
        SCOPED_TRACE(value.ToUtf8());
        EXPECT_FALSE(IsSweepableTempFolder(value));
        ASSERT_TRUE(SetEnvironmentVariableW(L"Temp", value.GetBuffer()));
        std::unique_ptr<Sweeper> root(BuildCatalogue());
        Sweeper* disk = root->GetChildren()[0];
        EXPECT_EQ(disk->GetChildren().GetLength(), 6);
        for (Sweeper* item : disk->GetChildren()) EXPECT_NE(item->GetName(), String(L"Temp"));
    }
    SetEnvironmentVariableW(L"Temp", saved.GetBuffer());
    EXPECT_TRUE(IsSweepableTempFolder(profile + L"\\AppData\\Local\\Temp"));
    EXPECT_TRUE(IsSweepableTempFolder(windows + L"\\Temp"));
}
