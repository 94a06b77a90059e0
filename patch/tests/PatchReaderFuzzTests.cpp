// The patch manager's readers of downloaded and stored data fed damaged inputs: the
// redistributable catalogue's cabinet, the catalogue inside it, and vapm.cfg, which is also
// rewritten with a write failing at every byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "patch/AgentCheck.h"
#include "patch/addon/PatchManagerDlg.h"
#include "testing/FileBytes.h"
#include "testing/FuzzRun.h"
#include "testing/HostPath.h"
#include "testing/InterruptedRewrite.h"
#include "testing/TempFolder.h"

using TestSupport::FuzzReport;
using TestSupport::TempFolder;

namespace {

const char Catalogue[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<wuredist>\n"
    "  <architecture name=\"x86\" clientVersion=\"7.6.7600.256\" downloadUrl=\"http://127.0.0.1/x86/installer.exe\"/>\n"
    "  <architecture name=\"x64\" clientVersion=\"7.6.7600.256\" downloadUrl=\"http://127.0.0.1/x64/installer.exe\"/>\n"
    "</wuredist>\n";

void Put(std::string& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i));
}

// An uncompressed cabinet of one file, made in memory (header, folder, file, data blocks without
// checksums), so that every damaged catalogue arrives in a well-formed cabinet.
std::string Cabinet(const std::string& name, const std::string& data)
{
    std::string blocks;
    uint16_t count = 0;
    for (size_t at = 0; at < data.size() || count == 0; at += 32768, ++count) {
        std::string block = data.substr(at, 32768);
        Put(blocks, 0, 4);
        Put(blocks, static_cast<uint32_t>(block.size()), 2);
        Put(blocks, static_cast<uint32_t>(block.size()), 2);
        blocks += block;
    }
    const uint32_t filesAt = 36 + 8;
    const uint32_t dataAt = filesAt + 16 + static_cast<uint32_t>(name.size()) + 1;
    std::string cabinet = "MSCF";
    Put(cabinet, 0, 4);
    Put(cabinet, dataAt + static_cast<uint32_t>(blocks.size()), 4);
    Put(cabinet, 0, 4);
    Put(cabinet, filesAt, 4);
    Put(cabinet, 0, 4);
    Put(cabinet, 0x0103, 2);  // version 1.3
    Put(cabinet, 1, 2);       // folders
    Put(cabinet, 1, 2);       // files
    Put(cabinet, 0, 2);       // flags
    Put(cabinet, 0, 2);       // set id
    Put(cabinet, 0, 2);       // cabinet number
    Put(cabinet, dataAt, 4);
    Put(cabinet, count, 2);
    Put(cabinet, 0, 2);  // stored
    Put(cabinet, static_cast<uint32_t>(data.size()), 4);
    Put(cabinet, 0, 4);
    Put(cabinet, 0, 2);
    Put(cabinet, (40 << 9) | (6 << 5) | 15, 2);
    Put(cabinet, 12 << 11, 2);
    Put(cabinet, FILE_ATTRIBUTE_ARCHIVE, 2);
    cabinet += name;
    cabinet += '\0';
    return cabinet + blocks;
}

// The files below folder, with their paths relative to it.
void ListFiles(const std::wstring& folder, const std::wstring& relative, std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + relative + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListFiles(folder, relative + L"\\" + name, files);
        } else {
            files.push_back(relative + L"\\" + name);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

class ComScope {
public:
    ComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComScope() { CoUninitialize(); }
};

}  // namespace

TEST(PatchReaderFuzz, CabinetExtractionStaysInsideItsFolder)
{
    std::string hostile = TestSupport::ReadFileBytes(TestSupport::HostPath(PATCH_TEST_DATA) + L"\\hostile.cab");
    std::string both = TestSupport::ReadFileBytes(TestSupport::HostPath(PATCH_TEST_DATA) + L"\\both.cab");
    ASSERT_GT(hostile.size(), 36u);
    ASSERT_GT(both.size(), 36u);
    TempFolder outer;
    const std::wstring target = outer / L"target";
    const std::wstring cabinet = outer / L"wuredist.cab";
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    FuzzReport report = TestSupport::RunFuzz(
        "redistributable cabinet", {both, hostile, Cabinet("wuredist.xml", Catalogue)}, TestSupport::FuzzInputs(300),
        TestSupport::FuzzSeed(71), [&](const std::string& bytes) {
            EXPECT_TRUE(TestSupport::WriteFileBytes(cabinet, bytes));
            std::vector<std::wstring> extracted;
            int result = AgentCheck::ExtractCabinet(cabinet, target, extracted);
            std::vector<std::wstring> outside;
            ListFiles(outer.Path(), L"", outside);
            std::vector<std::wstring> inside;
            ListFiles(target, L"", inside);
            std::string outcome = result == 0 ? (extracted.empty() ? "no file" : "files") : "not a cabinet (-4)";
            if (outside.size() != inside.size() + 1) outcome = "a file outside the folder";
            for (const std::wstring& file : extracted) {
                if (file.compare(0, target.size() + 1, target + L"\\") != 0) outcome = "a file outside the folder";
            }
            for (const std::wstring& file : inside) DeleteFileW((target + file).c_str());
            return outcome;
        });
    TestSupport::ExpectSeveralDocumentedOutcomes(report);
    EXPECT_EQ(report.outcomes.count("a file outside the folder"), 0u) << report.ToString();
}

TEST(PatchReaderFuzz, CatalogueInsideAWellFormedCabinet)
{
    ComScope com;
    TempFolder server;
    TempFolder temp;
    ASSERT_TRUE(CreateDirectoryW((server / L"redist").c_str(), nullptr));
    AgentCheck check;
    // The catalogue comes through the same download as from a server, from a file address.
    std::wstring url = L"file:///" + server.Path();
    for (wchar_t& c : url) c = c == L'\\' ? L'/' : c;
    check.SetRedistributableServer(url);
    check.SetTempFolder(temp.Path() + L"\\");
    check.SetArchitecture(L"x64");
    EXPECT_TRUE(TestSupport::WriteFileBytes(server / L"redist\\wuredist.cab", Cabinet("wuredist.xml", Catalogue)));
    ASSERT_EQ(check.GetRedistInfo(), 0);
    ASSERT_EQ(check.GetClientVersion(), L"7.6.7600.256");

    FuzzReport report = TestSupport::RunFuzz(
        "redistributable catalogue", {Catalogue}, TestSupport::FuzzInputs(300), TestSupport::FuzzSeed(72),
        [&](const std::string& bytes) {
            EXPECT_TRUE(TestSupport::WriteFileBytes(server / L"redist\\wuredist.cab", Cabinet("wuredist.xml", bytes)));
            int result = check.GetRedistInfo();
            std::vector<std::wstring> left;
            ListFiles(temp.Path(), L"", left);
            if (!left.empty()) return std::string("files left in the temporary folder");
            if (result != 0) return std::string("no agent information (-1)");
            return std::string(check.GetDownloadUrl().find(L"/x64/") != std::wstring::npos ? "x64 entry" : "other entry");
        });
    TestSupport::ExpectSeveralDocumentedOutcomes(report);
    EXPECT_EQ(report.outcomes.count("files left in the temporary folder"), 0u) << report.ToString();
}

TEST(PatchReaderFuzz, NoticeSettingReadsAnyBytesAndARewriteFailingAtEveryByteKeepsTheOldOne)
{
    TempFolder folder;
    const std::wstring path = folder / L"vapm.cfg";
    ASSERT_TRUE(PatchManagerDlg::WriteNoticeSetting(path, false));
    FuzzReport report = TestSupport::RunFuzz("vapm.cfg", {TestSupport::ReadFileBytes(path)}, TestSupport::FuzzInputs(300),
                                             TestSupport::FuzzSeed(73), [&](const std::string& bytes) {
                                                 EXPECT_TRUE(TestSupport::WriteFileBytes(path, bytes));
                                                 return std::string(PatchManagerDlg::ReadNoticeSetting(path) ? "show" : "hide");
                                             });
    TestSupport::ExpectSeveralDocumentedOutcomes(report);

    ASSERT_TRUE(PatchManagerDlg::WriteNoticeSetting(path, false));
    TestSupport::InterruptedRewrites rewrites = TestSupport::InterruptEveryByte(
        path, [&] { return PatchManagerDlg::WriteNoticeSetting(path, true); },
        [&] { return TestSupport::ReadFileBytes(path).size() == 4; });
    EXPECT_EQ(rewrites.problem, "");
    EXPECT_EQ(rewrites.interrupted, 4);
    EXPECT_TRUE(PatchManagerDlg::ReadNoticeSetting(path));
    std::cout << "vapm.cfg: " << rewrites.interrupted << " interrupted rewrites, previous setting intact each time"
              << std::endl;
}
