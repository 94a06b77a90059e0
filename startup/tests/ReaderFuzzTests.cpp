#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/Environment.h"
#include "core/FileStream.h"
#include "startup/BackupManager.h"
#include "startup/NetMemoryStream.h"
#include "startup/ProgramInfoLoader.h"
#include "startup/SpannerSettings.h"
#include "startup/tests/StartupTestSupport.h"
#include "testing/FileBytes.h"
#include "testing/FuzzRun.h"

using StartupTestSupport::OwnedEntries;
using System::String;
using TestSupport::FuzzReport;

namespace {

// The library exceptions that the readers of these files document for damaged records.
const std::set<std::string> RecordFailures = {"System.IO.EndOfStreamException", "System.FormatException",
                                               "System.NotSupportedException"};

const char ProgramInfo[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<items>\n"
    "  <item><name>Tray</name><rating>1</rating><description>\xED\x8A\xB8\xEB\xA0\x88\xEC\x9D\xB4</description></item>\n"
    "  <item><name>Word</name><rating>-2</rating><description><![CDATA[a & b]]></description></item>\n"
    "</items>\n";

class ReaderFuzzTests : public ::testing::Test {
protected:
    ReaderFuzzTests() : store_(logon_.DataFolder().c_str(), logon_.Group()), backups_(store_)
    {
        String system = System::Environment::GetFolderPath(System::Environment::System);
        logon_.SetRun(false, L"메모장", L"\"" + system + L"\\notepad.exe\" /a");
        logon_.SetRun(true, L"Calc", system + L"\\calc.exe");
        OwnedEntries entries(store_.GetStartupEntries(L"Logon"));
        entries.List()[0]->SetEnabled(0);
        store_.SaveDisabledEntries(entries.List());
        backup_ = backups_.CreateBackup(L"자동 백업", entries.List().ToArray()).GetStdString();
    }

    // Reads with read, which gives the success's name; a documented record failure is named, any
    // other escapes to the run as unexpected.
    template <class Read>
    static std::string RecordOutcome(Read read)
    {
        try {
            return read();
        } catch (System::Exception* caught) {
            std::wstring type = caught->GetTypeName().GetBuffer();
            std::string name(type.begin(), type.end());
            if (!RecordFailures.count(name)) throw;
            delete caught;
            return name;
        }
    }

    StartupTestSupport::ProgramInfoScope info_;
    StartupTestSupport::IsolatedLogon logon_;
    StartupStore store_;
    BackupManager backups_;
    std::wstring backup_;
};

}  // namespace

TEST_F(ReaderFuzzTests, DisabledEntryStoreAndAutorunRecords)
{
    std::string store = TestSupport::ReadFileBytes(store_.GetStorePath().GetStdString());
    ASSERT_GT(store.size(), 8u);
    FuzzReport stored = TestSupport::RunFuzz("disabled-entry store", {store}, TestSupport::FuzzInputs(300),
                                             TestSupport::FuzzSeed(21), [&](const std::string& bytes) {
                                                 EXPECT_TRUE(TestSupport::WriteFileBytes(store_.GetStorePath().GetStdString(), bytes));
                                                 return RecordOutcome([&] {
                                                     OwnedEntries read(store_.GetStartupEntries(L"Logon"));
                                                     return std::string("read");
                                                 });
                                             });
    TestSupport::ExpectSeveralDocumentedOutcomes(stored);

    // The first record alone: the count and the enabled flag stand before it.
    std::wstring recordPath = logon_.DataFolder() + L"\\record.bin";
    FuzzReport records = TestSupport::RunFuzz(
        "autorun record", {store.substr(8)}, TestSupport::FuzzInputs(300), TestSupport::FuzzSeed(22),
        [&](const std::string& bytes) {
            EXPECT_TRUE(TestSupport::WriteFileBytes(recordPath, bytes));
            return RecordOutcome([&] {
                System::IO::FileStream file(recordPath.c_str(), System::IO::FileMode::Open, System::IO::FileAccess::Read);
                std::unique_ptr<Vela::Win32::Autoruns::AutorunEntry> entry(
                    Vela::Win32::Autoruns::AutorunEntry::DeserializeObject(&file));
                return std::string("read");
            });
        });
    TestSupport::ExpectSeveralDocumentedOutcomes(records);
}

TEST_F(ReaderFuzzTests, BackupFiles)
{
    std::string backup = TestSupport::ReadFileBytes(backup_);
    ASSERT_GT(backup.size(), 16u);
    FuzzReport report = TestSupport::RunFuzz("backup file", {backup}, TestSupport::FuzzInputs(300),
                                             TestSupport::FuzzSeed(23), [&](const std::string& bytes) {
                                                 EXPECT_TRUE(TestSupport::WriteFileBytes(backup_, bytes));
                                                 return RecordOutcome([&] {
                                                     std::unique_ptr<BackupEntry> loaded(
                                                         backups_.LoadBackupFile(L"b.vsb", backup_.c_str()));
                                                     return std::string("read");
                                                 });
                                             });
    TestSupport::ExpectSeveralDocumentedOutcomes(report);
}

TEST_F(ReaderFuzzTests, ProgramInformationCacheFrameAndDocument)
{
    std::string document = ProgramInfo;
    std::string frame = std::string("\0\0\0\0", 4) + document;
    frame[0] = static_cast<char>(document.size());
    std::wstring cache = logon_.DataFolder() + L"\\vasui.xml";
    FuzzReport frames = TestSupport::RunFuzz("program information cache", {frame}, TestSupport::FuzzInputs(300),
                                             TestSupport::FuzzSeed(24), [&](const std::string& bytes) {
                                                 EXPECT_TRUE(TestSupport::WriteFileBytes(cache, bytes));
                                                 return RecordOutcome([&] {
                                                     int length = ProgramInfoLoader::ReadCache(cache.c_str()).GetLength();
                                                     return std::string(length ? "read" : "empty");
                                                 });
                                             });
    TestSupport::ExpectSeveralDocumentedOutcomes(frames);

    FuzzReport documents = TestSupport::RunFuzz(
        "program information document", {document}, TestSupport::FuzzInputs(300), TestSupport::FuzzSeed(25),
        [&](const std::string& bytes) {
            ProgramInfoTable::Clear();
            std::unique_ptr<NetMemoryStream, void (*)(NetMemoryStream*)> stream(
                new NetMemoryStream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                [](NetMemoryStream* s) { s->Release(); });
            int items = ProgramInfoLoader::Parse(stream.get());
            return items == 2 ? std::string("all items") : items ? std::string("some items") : std::string("no item");
        });
    TestSupport::ExpectSeveralDocumentedOutcomes(documents);
}

TEST_F(ReaderFuzzTests, StartupWindowSettings)
{
    String path = SpannerSettings::PathIn(store_.GetDataFolder());
    SpannerSettings::Write(path, 0x01020304);
    std::string settings = TestSupport::ReadFileBytes(path.GetStdString());
    FuzzReport report = TestSupport::RunFuzz("velaspanner.cfg", {settings}, TestSupport::FuzzInputs(300),
                                             TestSupport::FuzzSeed(26), [&](const std::string& bytes) {
                                                 EXPECT_TRUE(TestSupport::WriteFileBytes(path.GetStdString(), bytes));
                                                 return RecordOutcome([&] {
                                                     int32_t value = SpannerSettings::Read(path);
                                                     if (value == 0x01020304) return std::string("stored value");
                                                     return std::string(value ? "other value" : "0");
                                                 });
                                             });
    TestSupport::ExpectSeveralDocumentedOutcomes(report);
}

// Inputs the runs found: each once ended in an undocumented failure.
TEST_F(ReaderFuzzTests, RegressionInputsEndInDocumentedFailures)
{
    // A backup whose time field has its top bit flipped: once an ArgumentOutOfRangeException.
    std::string backup = TestSupport::ReadFileBytes(backup_);
    backup[7] = static_cast<char>(backup[7] ^ 0x80);
    EXPECT_TRUE(TestSupport::WriteFileBytes(backup_, backup));
    EXPECT_EQ(RecordOutcome([&] {
                  delete backups_.LoadBackupFile(L"b.vsb", backup_.c_str());
                  return std::string("read");
              }),
              "System.FormatException");

    // A store whose program path starts with a NUL: once a Win32Exception from making a full path.
    std::string store = TestSupport::ReadFileBytes(store_.GetStorePath().GetStdString());
    size_t path = store.find("notepad.exe");
    ASSERT_NE(path, std::string::npos);
    path = store.rfind(":\\", path) - 1;
    store[path] = '\0';
    EXPECT_TRUE(TestSupport::WriteFileBytes(store_.GetStorePath().GetStdString(), store));
    EXPECT_EQ(RecordOutcome([&] {
                  OwnedEntries read(store_.GetStartupEntries(L"Logon"));
                  return read.Find(L"메모장") ? std::string("read") : std::string("lost");
              }),
              "read");

    // A document with NUL bytes inside its declaration: once aborted the process in Wine's XmlLite.
    std::string document = ProgramInfo;
    document.replace(4, 4, std::string(4, '\0'));
    std::unique_ptr<NetMemoryStream, void (*)(NetMemoryStream*)> stream(
        new NetMemoryStream(reinterpret_cast<const uint8_t*>(document.data()), document.size()),
        [](NetMemoryStream* s) { s->Release(); });
    EXPECT_EQ(ProgramInfoLoader::Parse(stream.get()), 0);
}
