#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/HttpServer.h"
#include "testing/TempFolder.h"
#include "updater/FileVersionInfo.h"
#include "updater/Updater.h"
#include "testing/FileBytes.h"
#include "updater/tests/helpers/TestFiles.h"
#include "updater/tests/helpers/ZipWriter.h"

using TestSupport::HttpServer;
using UpdaterTests::FileExists;
using UpdaterTests::ProgramFolder;
using TestSupport::ReadFileBytes;

namespace {

struct Recorder : CUpdaterEventHandler {
    void OnProgress(int percent, CString text) override { progress.emplace_back(percent, std::wstring(text)); }
    void OnComplete(BOOL success) override { results.push_back(success); }
    std::vector<std::pair<int, std::wstring>> progress;
    std::vector<BOOL> results;
};

HttpServer::Response Body(const std::string& body, int status = 200)
{
    HttpServer::Response response;
    response.body = body;
    response.status = status;
    return response;
}

std::string Manifest(const std::string& objects, const std::string& actions = "", const std::string& url = "")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><update><url>" + url + "</url><objects>" + objects +
           "</objects><actions>" + actions + "</actions></update>";
}

// Escapes a path for an XML attribute written from UTF-16.
std::string Utf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(size - 1));
    return bytes;
}

class UpdaterTest : public ::testing::Test {
protected:
    UpdaterTest()
    {
        updater_.SetDirectory(target_.Path().c_str());
        updater_.SetUrl(server_.Url("/app/update.xml").c_str());
        updater_.SetHandler(&recorder_);
        v1_ = ReadFileBytes(ProgramFolder() + L"\\updater_test_v1.dll");
        v2_ = ReadFileBytes(ProgramFolder() + L"\\updater_test_v2.dll");
    }
    void ServeManifest(const std::string& manifest) { server_.Serve("/app/update.xml", Body(manifest)); }
    bool Requested(const std::string& path) const
    {
        for (const auto& request : server_.Requests()) {
            if (request.path == path) return true;
        }
        return false;
    }
    BOOL Succeeded() const { return recorder_.results.size() == 1 && recorder_.results[0]; }

    HttpServer server_;
    TestSupport::TempFolder target_;
    Recorder recorder_;
    CUpdater updater_;
    std::string v1_;
    std::string v2_;
};

TEST(ResolveUrl, KeepsAbsoluteJoinsServerRootedAndRelativeNames)
{
    const CString base = L"http://host:8080/app/update.xml";
    EXPECT_EQ(CString(L"https://other/x.dll"), CUpdater::ResolveUrl(L"https://other/x.dll", base));
    EXPECT_EQ(CString(L"http://host:8080/other/b.dll"), CUpdater::ResolveUrl(L"/other/b.dll", base));
    EXPECT_EQ(CString(L"http://host:8080/app/pkg/a.zip"), CUpdater::ResolveUrl(L"pkg/a.zip", base));
    EXPECT_EQ(CString(L"http://host:8080/app/dir/a.dll"), CUpdater::ResolveUrl(L"a.dll", L"http://host:8080/app/dir/"));
    EXPECT_EQ(CString(L"http://host/b.dll"), CUpdater::ResolveUrl(L"/b.dll", L"http://host"));
}

TEST_F(UpdaterTest, CheckFindsMissingOrOutdatedFilesOnly)
{
    ServeManifest(Manifest("<file name=\"lib.dll\" fileVersion=\"2.0.0.2\"/>"));
    EXPECT_TRUE(updater_.Check()) << "missing file";
    // A fresh address for each check: the URL cache answers a repeated one only after a long wait.
    target_.WriteFile(L"lib.dll", v1_);
    updater_.SetUrl(server_.Url("/app/update.xml?old").c_str());
    EXPECT_TRUE(updater_.Check()) << "older version";
    target_.WriteFile(L"lib.dll", v2_);
    updater_.SetUrl(server_.Url("/app/update.xml?current").c_str());
    EXPECT_FALSE(updater_.Check()) << "current version";

    ServeManifest(Manifest("<file name=\"lib.dll\" fileVersion=\"2,0,0,2\"/>"));
    updater_.SetUrl(server_.Url("/app/update.xml?commas").c_str());
    EXPECT_TRUE(updater_.Check()) << "the same version written with commas differs";

    ServeManifest(Manifest("<file name=\"lib.dll\"/><registry name=\"missing\"/>"));
    updater_.SetUrl(server_.Url("/app/update.xml?noversion").c_str());
    EXPECT_FALSE(updater_.Check()) << "existing file without wanted version, other kinds ignored";
}

TEST_F(UpdaterTest, CheckAnswersFalseWhenTheManifestCannotBeFetched)
{
    server_.Serve("/app/update.xml", Body(Manifest("<file name=\"lib.dll\"/>"), 404));
    EXPECT_FALSE(updater_.Check());
}

TEST_F(UpdaterTest, UpdateDownloadsMissingAndOutdatedFilesAndSkipsCurrentOnes)
{
    target_.WriteFile(L"current.dll", v2_);
    target_.WriteFile(L"old.dll", v1_);
    ServeManifest(Manifest("<file name=\"current.dll\" fileVersion=\"2.0.0.2\"/>"
                           "<file name=\"old.dll\" fileVersion=\"2.0.0.2\" url=\"/other/lib2.dll\"/>"
                           "<file name=\"new.txt\"/>"));
    server_.Serve("/other/lib2.dll", Body(v2_));
    server_.Serve("/app/new.txt", Body("new file"));
    updater_.Update();

    ASSERT_TRUE(Succeeded());
    EXPECT_FALSE(Requested("/app/current.dll"));
    EXPECT_EQ(CString(L"2.0.0.2"), CFileVersionInfo((target_ / L"old.dll").c_str()).GetFileVersion());
    EXPECT_EQ("new file", target_.ReadFile(L"new.txt"));
    ASSERT_GE(recorder_.progress.size(), 4u);
    EXPECT_EQ(0, recorder_.progress[0].first);
    EXPECT_EQ(std::wstring(), recorder_.progress[0].second);
    EXPECT_EQ(std::make_pair(0, std::wstring(L"current.dll")), recorder_.progress[1]);
    EXPECT_EQ(std::make_pair(16, std::wstring(L"old.dll")), recorder_.progress[2]);
    EXPECT_EQ(std::make_pair(33, std::wstring(L"new.txt")), recorder_.progress[3]);
    EXPECT_EQ(50, recorder_.progress[4].first) << "copies start after every object counted once";
}

TEST_F(UpdaterTest, ZippedObjectIsFetchedRelativeToTheManifestAndUnpacked)
{
    UpdaterTests::ZipWriter writer;
    writer.AddFile("a.dll", v2_);
    writer.AddFile("docs/readme.txt", "read me");
    server_.Serve("/app/pkg/a.zip", Body(writer.Build()));
    ServeManifest(Manifest("<file name=\"a.dll\" url=\"pkg/a.zip\" zipped=\"true\" fileVersion=\"2.0.0.2\"/>"));
    updater_.Update();

    ASSERT_TRUE(Succeeded());
    EXPECT_TRUE(Requested("/app/pkg/a.zip"));
    EXPECT_EQ(v2_, target_.ReadFile(L"a.dll"));
}

TEST_F(UpdaterTest, ArchiveEntryClimbingTwoLevelsUpLandsInsideTheWorkDirectory)
{
    // The work directory lies in the temporary folder: two levels above it is the folder's parent.
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
    const std::wstring outside = std::wstring(temp) + L"..\\a.dll";
    ASSERT_FALSE(FileExists(outside));
    UpdaterTests::ZipWriter writer;
    writer.AddFile("../../a.dll", v2_);
    server_.Serve("/app/a.zip", Body(writer.Build()));
    ServeManifest(Manifest("<file name=\"a.dll\" url=\"a.zip\" zipped=\"true\"/>"));
    updater_.Update();

    ASSERT_TRUE(Succeeded()) << "the entry became the work file a.dll";
    EXPECT_EQ(v2_, target_.ReadFile(L"a.dll"));
    EXPECT_FALSE(FileExists(outside));
}

TEST_F(UpdaterTest, ZippedValueOtherThanLowerCaseTrueIsAPlainFile)
{
    server_.Serve("/app/a.dll", Body("PK not unpacked"));
    ServeManifest(Manifest("<file name=\"a.dll\" zipped=\"True\"/>"));
    updater_.Update();
    ASSERT_TRUE(Succeeded());
    EXPECT_EQ("PK not unpacked", target_.ReadFile(L"a.dll"));
}

TEST_F(UpdaterTest, HttpErrorOrCorruptArchiveFailsTheRunAndInstallsNothing)
{
    target_.WriteFile(L"a.dll", v1_);
    ServeManifest(Manifest("<file name=\"a.dll\" fileVersion=\"2.0.0.2\"/>"));
    server_.Serve("/app/a.dll", Body("<html>not found</html>", 404));
    updater_.Update();
    ASSERT_EQ(1u, recorder_.results.size());
    EXPECT_FALSE(recorder_.results[0]);
    EXPECT_EQ(v1_, target_.ReadFile(L"a.dll"));

    UpdaterTests::ZipWriter writer;
    UpdaterTests::ZipWriter::Entry damaged;
    damaged.name = "a.dll";
    damaged.data = v2_;
    damaged.wrongCrc = true;
    writer.Add(damaged);
    server_.Serve("/app/a.zip", Body(writer.Build()));
    ServeManifest(Manifest("<file name=\"a.dll\" url=\"a.zip\" zipped=\"true\" fileVersion=\"2.0.0.2\"/>"));
    updater_.SetUrl(server_.Url("/app/update.xml").c_str());
    updater_.Update();
    ASSERT_EQ(2u, recorder_.results.size());
    EXPECT_FALSE(recorder_.results[1]);
    EXPECT_EQ(v1_, target_.ReadFile(L"a.dll"));
}

TEST_F(UpdaterTest, UpdateExpandsEnvironmentReferencesButCheckDoesNot)
{
    SetEnvironmentVariableW(L"VAPUP_TEST_TARGET", target_.Path().c_str());
    target_.WriteFile(L"env.txt", "present");
    ServeManifest(Manifest("<file name=\"env.txt\" directory=\"%VAPUP_TEST_TARGET%\"/>"));
    EXPECT_TRUE(updater_.Check());
    updater_.Update();
    EXPECT_TRUE(Succeeded());
    EXPECT_FALSE(Requested("/app/env.txt"));
    SetEnvironmentVariableW(L"VAPUP_TEST_TARGET", nullptr);
}

TEST_F(UpdaterTest, ManifestWithoutObjectsRunsItsActions)
{
    std::wstring marker = target_ / L"action.txt";
    ServeManifest(Manifest("", "<shell file=\"" + Utf8(ProgramFolder() + L"\\updater_test_marker.exe") +
                                   "\" parameters=\"&quot;" + Utf8(marker) + "&quot;\" directory=\"" +
                                   Utf8(target_.Path()) + "\" showCmd=\"0\"/><run file=\"ignored\"/>"));
    updater_.Update();
    ASSERT_TRUE(Succeeded());
    ASSERT_EQ(1u, recorder_.progress.size()) << "only the starting report";
    EXPECT_TRUE(UpdaterTests::WaitForFile(marker, 10000));
}

TEST_F(UpdaterTest, ManifestUrlReplacesTheBaseAddress)
{
    ServeManifest(Manifest("<file name=\"b.txt\"/>", "", Utf8(server_.Url("/mirror/"))));
    server_.Serve("/mirror/b.txt", Body("mirrored"));
    updater_.Update();
    ASSERT_TRUE(Succeeded());
    EXPECT_EQ("mirrored", target_.ReadFile(L"b.txt"));
}

TEST_F(UpdaterTest, FailedCopyKeepsEarlierCopiesAndReportsFailure)
{
    std::string objects;
    for (int i = 0; i < 6; ++i) {
        std::string name = "f" + std::to_string(i) + ".txt";
        objects += "<file name=\"" + name + "\"/>";
        server_.Serve("/app/" + name, Body("new " + name));
    }
    objects += "<file name=\"g.txt\" directory=\"" + Utf8(target_ / L"missing") + "\"/>";
    server_.Serve("/app/g.txt", Body("new g"));
    ServeManifest(Manifest(objects));
    updater_.Update();

    ASSERT_EQ(1u, recorder_.results.size());
    EXPECT_FALSE(recorder_.results[0]);
    // Copies are reported before they are made; the failing one is reported last.
    std::vector<std::wstring> copied;
    for (const auto& step : recorder_.progress) {
        if (step.first >= 50) copied.push_back(step.second);
    }
    ASSERT_FALSE(copied.empty());
    EXPECT_EQ(target_ / L"missing\\g.txt", copied.back());
    for (size_t i = 0; i + 1 < copied.size(); ++i) EXPECT_TRUE(FileExists(copied[i])) << copied[i].c_str();
    EXPECT_EQ(6u + 1u - copied.size(), [&] {
        size_t missing = 0;
        for (int i = 0; i < 6; ++i) missing += FileExists(target_ / (L"f" + std::to_wstring(i) + L".txt")) ? 0 : 1;
        return missing;
    }()) << "copies after the failing one are not made";
}

TEST_F(UpdaterTest, AnInstalledFileThatCannotBeReplacedKeepsItsBytesAndTheNextRunUpdatesIt)
{
    std::wstring installed = target_.WriteFile(L"old.dll", v1_);
    ServeManifest(Manifest("<file name=\"old.dll\" fileVersion=\"2.0.0.2\" url=\"/other/lib2.dll\"/>"));
    server_.Serve("/other/lib2.dll", Body(v2_));
    // Open for reading and writing by others but not for deletion: a rename over it fails, while a
    // copy into it would overwrite it in place.
    HANDLE held = CreateFileW(installed.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    updater_.Update();
    CloseHandle(held);
    EXPECT_FALSE(Succeeded());
    EXPECT_TRUE(target_.ReadFile(L"old.dll") == v1_) << "the installed file changed";
    EXPECT_FALSE(FileExists(installed + L".new"));

    recorder_.results.clear();
    updater_.Update();
    EXPECT_TRUE(Succeeded());
    EXPECT_EQ(CString(L"2.0.0.2"), CFileVersionInfo(installed.c_str()).GetFileVersion());
    EXPECT_FALSE(FileExists(installed + L".new"));
}

}  // namespace
