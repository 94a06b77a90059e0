#include <gtest/gtest.h>

#include <iostream>
#include <stdexcept>
#include <string>

#include "framework/CException.h"
#include "testing/FuzzRun.h"
#include "testing/TempFolder.h"
#include "updater/UpdateInfo.h"
#include "updater/ZipArchive.h"
#include "updater/tests/helpers/ZipWriter.h"

namespace {

const char Manifest[] = R"(<?xml version="1.0" encoding="utf-8"?>
<update>
  <name>Vela Toolbox</name><version>3.0.0</version>
  <description>)" "\xEB\x8D\xB0\xEB\xAA\xA8" R"(</description>
  <url>http://127.0.0.1/app/vt/</url>
  <objects>
    <file name="vtcon.exe" fileVersion="3.0.0.1" zipped="true"/>
    <file name="vapcore.dll" directory="%TEMP%"/>
  </objects>
  <actions><shell file="vtcon.exe" operation="open" showCmd="3"/></actions>
</update>
)";

// The updater's readers raise the framework's exceptions; a user exception is their documented
// failure for a malformed file. Anything else escapes as unexpected.
template <class Read>
std::string FrameworkOutcome(Read read)
{
    try {
        read();
        return "read";
    } catch (CException* error) {
        bool documented = dynamic_cast<CUserException*>(error) != nullptr;
        error->Delete();
        if (!documented) throw std::runtime_error("an exception other than CUserException");
        return "malformed";
    }
}

void Report(const TestSupport::FuzzReport& report)
{
    std::cout << report.ToString() << std::endl;
    EXPECT_TRUE(report.unexpected.empty()) << report.unexpected.front();
    EXPECT_EQ(report.outcomes.size(), 2u) << report.ToString();
    EXPECT_LT(report.worstMemoryBytes, 64u << 20) << report.ToString();
}

}  // namespace

TEST(UpdaterReaderFuzz, DamagedManifestsEndReadOrMalformed)
{
    TestSupport::TempFolder folder;
    TestSupport::FuzzReport report = TestSupport::RunFuzz(
        "update manifest", {Manifest}, TestSupport::FuzzInputs(300), TestSupport::FuzzSeed(91),
        [&](const std::string& bytes) {
            CString path = folder.WriteFile(L"update.xml", bytes).c_str();
            return FrameworkOutcome([&] { CUpdateInfo info(path); });
        });
    Report(report);
}

TEST(UpdaterReaderFuzz, DamagedZipArchivesUnpackOrFailAndNeverLeaveTheFolder)
{
    TestSupport::TempFolder folder;
    UpdaterTests::ZipWriter writer;
    writer.AddFile("vtcon.exe", std::string(3000, 'v') + "console", true);
    writer.AddFile("sub/readme.txt", "plain bytes", false);
    UpdaterTests::ZipWriter::Entry described;
    described.name = "described.bin";
    described.data = std::string(500, 'd');
    described.descriptor = true;
    writer.Add(described);
    std::wstring out = folder / L"out";
    TestSupport::FuzzReport report = TestSupport::RunFuzz(
        "zip archive", {writer.Build()}, TestSupport::FuzzInputs(300), TestSupport::FuzzSeed(92),
        [&](const std::string& bytes) {
            CString path = folder.WriteFile(L"update.zip", bytes).c_str();
            TestSupport::DeleteTree(out);
            CreateDirectoryW(out.c_str(), nullptr);
            return FrameworkOutcome([&] {
                CZipArchive archive(path);
                archive.ExtractTo(out.c_str());
            });
        });
    Report(report);
    // Only the archive and the unpacking folder: no entry name reached outside "out".
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder / L"*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    int names = 0;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        ++names;
        EXPECT_TRUE(name == L"out" || name == L"update.zip") << std::string(name.begin(), name.end());
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(names, 2);
}
