#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "framework/CException.h"
#include "testing/TempFolder.h"
#include "updater/ZipArchive.h"
#include "updater/tests/helpers/TestFiles.h"
#include "updater/tests/helpers/ZipWriter.h"

using UpdaterTests::FileExists;
using UpdaterTests::ZipWriter;

namespace {

class ZipArchiveTest : public ::testing::Test {
protected:
    // Unpacks the archive into the folder "out"; false when unpacking raised CUserException.
    bool Unpack(const std::string& archive)
    {
        CString path = folder_.WriteFile(L"archive.zip", archive).c_str();
        CreateDirectoryW(Out().c_str(), nullptr);
        try {
            CZipArchive(path).ExtractTo(Out().c_str());
            return true;
        } catch (CUserException* error) {
            error->Delete();
            return false;
        }
    }
    std::wstring Out() const { return folder_ / L"out"; }
    std::wstring Out(const std::wstring& name) const { return Out() + L"\\" + name; }
    // The archive of one damaged entry fails to unpack and leaves no file of it.
    bool FailsWithoutFile(ZipWriter::Entry entry)
    {
        ZipWriter writer;
        entry.name = "payload.dll";
        writer.Add(entry);
        return !Unpack(writer.Build()) && !FileExists(Out(L"payload.dll"));
    }

    TestSupport::TempFolder folder_;
};

std::string Pattern(size_t size)
{
    std::string data;
    for (size_t i = 0; data.size() < size; ++i) data += "line " + std::to_string(i * 7 % 1000) + "\n";
    data.resize(size);
    return data;
}

// Bytes that deflate hardly shrinks, so that the compressed data spans many reads too.
std::string Noise(size_t size)
{
    std::string data(size, '\0');
    uint32_t seed = 2166136261u;
    for (char& byte : data) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<char>(seed >> 24);
    }
    return data;
}

TEST_F(ZipArchiveTest, UnpacksStoredDeflatedDescribedUtf8AndDirectoryEntries)
{
    ZipWriter writer;
    writer.AddFile("stored.txt", "plain bytes", false);
    writer.AddFile("sub/deflated.bin", Pattern(100000));
    ZipWriter::Entry described;
    described.name = "described.txt";
    described.data = Pattern(40000);
    described.descriptor = true;
    writer.Add(described);
    ZipWriter::Entry korean;
    korean.name = "\xEC\x97\x85\xEB\x8D\xB0\xEC\x9D\xB4\xED\x8A\xB8.txt";  // 업데이트.txt
    korean.data = "utf-8 name";
    korean.utf8Flag = true;
    writer.Add(korean);
    writer.AddDirectory("empty/");
    writer.AddFile("empty.bin", "", true);
    ASSERT_TRUE(Unpack(writer.Build()));

    EXPECT_EQ("plain bytes", folder_.ReadFile(L"out\\stored.txt"));
    EXPECT_EQ(Pattern(100000), folder_.ReadFile(L"out\\sub\\deflated.bin"));
    EXPECT_EQ(Pattern(40000), folder_.ReadFile(L"out\\described.txt"));
    EXPECT_EQ("utf-8 name", folder_.ReadFile(L"out\\업데이트.txt"));
    EXPECT_TRUE(GetFileAttributesW(Out(L"empty").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(FileExists(Out(L"empty.bin")));
}

TEST_F(ZipArchiveTest, AppliesAttributesAndLocalTimesOfEntries)
{
    ZipWriter writer;
    ZipWriter::Entry dos;
    dos.name = "hidden.txt";
    dos.data = "h";
    dos.externalAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    writer.Add(dos);
    ZipWriter::Entry unixReadOnly;
    unixReadOnly.name = "readonly.txt";
    unixReadOnly.data = "r";
    unixReadOnly.versionMadeBy = (3 << 8) | 30;
    unixReadOnly.externalAttributes = 0100444u << 16;
    writer.Add(unixReadOnly);
    ASSERT_TRUE(Unpack(writer.Build()));

    EXPECT_TRUE(GetFileAttributesW(Out(L"hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(GetFileAttributesW(Out(L"readonly.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(Out(L"readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);

    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(Out(L"hidden.txt").c_str(), GetFileExInfoStandard, &data));
    FILETIME local;
    SYSTEMTIME time;
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &time);
    EXPECT_EQ(2020, time.wYear);
    EXPECT_EQ(6, time.wMonth);
    EXPECT_EQ(15, time.wDay);
    EXPECT_EQ(12, time.wHour);
    EXPECT_EQ(30, time.wMinute);
}

TEST_F(ZipArchiveTest, CleanedNamesStayInsideTheTargetDirectory)
{
    EXPECT_EQ(CString(L"b.dll"), CZipArchive::CleanEntryName(L"a/../../b.dll"));
    EXPECT_EQ(CString(L"evil.dll"), CZipArchive::CleanEntryName(L"../evil.dll"));
    EXPECT_EQ(CString(L"evil.dll"), CZipArchive::CleanEntryName(L"..\\evil.dll"));
    EXPECT_EQ(CString(L"Windows\\evil.dll"), CZipArchive::CleanEntryName(L"C:\\Windows\\evil.dll"));
    EXPECT_EQ(CString(L"evil.dll"), CZipArchive::CleanEntryName(L"C:..\\evil.dll"));
    EXPECT_EQ(CString(L"etc\\evil"), CZipArchive::CleanEntryName(L"/etc/evil"));
    EXPECT_EQ(CString(L"server\\share\\x"), CZipArchive::CleanEntryName(L"\\\\server\\share\\x"));
    EXPECT_EQ(CString(L"sub\\x.txt"), CZipArchive::CleanEntryName(L"./sub//./x.txt"));
    EXPECT_EQ(CString(), CZipArchive::CleanEntryName(L"sub/.."));
    EXPECT_EQ(CString(), CZipArchive::CleanEntryName(L"x.txt:stream"));

    ZipWriter writer;
    writer.AddFile("a/../../b.dll", "climbed");
    writer.AddFile("../../../outside.txt", "escaped");
    ASSERT_TRUE(Unpack(writer.Build()));
    EXPECT_EQ("climbed", folder_.ReadFile(L"out\\b.dll"));
    EXPECT_EQ("escaped", folder_.ReadFile(L"out\\outside.txt"));
    EXPECT_FALSE(FileExists(folder_ / L"outside.txt"));
    EXPECT_FALSE(FileExists(folder_ / L"b.dll"));
}

TEST_F(ZipArchiveTest, CorruptEntriesFailAndLeaveNoFile)
{
    auto failsWithoutFile = [&](ZipWriter::Entry entry) {
        if (entry.data.empty()) entry.data = Pattern(50000);
        return FailsWithoutFile(entry);
    };
    ZipWriter::Entry badCrc;
    badCrc.wrongCrc = true;
    EXPECT_TRUE(failsWithoutFile(badCrc));
    ZipWriter::Entry storedBadCrc;
    storedBadCrc.deflate = false;
    storedBadCrc.wrongCrc = true;
    EXPECT_TRUE(failsWithoutFile(storedBadCrc));
    ZipWriter::Entry tooShort;
    tooShort.uncompressedSizeDelta = 10;
    EXPECT_TRUE(failsWithoutFile(tooShort));
    ZipWriter::Entry tooLong;
    tooLong.uncompressedSizeDelta = -10;
    EXPECT_TRUE(failsWithoutFile(tooLong));
    ZipWriter::Entry storedSizes;
    storedSizes.deflate = false;
    storedSizes.uncompressedSizeDelta = 1;
    EXPECT_TRUE(failsWithoutFile(storedSizes));
}

TEST_F(ZipArchiveTest, EntriesOfManyBlocksUnpackWholeAndAreCheckedToTheEnd)
{
    const std::string noise = Noise(700000);
    const std::string text = Pattern(1500000);
    ZipWriter writer;
    writer.AddFile("noise.bin", noise);
    writer.AddFile("stored.bin", noise, false);
    writer.AddFile("text.txt", text);
    writer.AddFile("after.txt", "after");
    ASSERT_TRUE(Unpack(writer.Build()));
    EXPECT_TRUE(folder_.ReadFile(L"out\\noise.bin") == noise);
    EXPECT_TRUE(folder_.ReadFile(L"out\\stored.bin") == noise);
    EXPECT_TRUE(folder_.ReadFile(L"out\\text.txt") == text);
    EXPECT_EQ("after", folder_.ReadFile(L"out\\after.txt"));

    ZipWriter::Entry badCrc;
    badCrc.data = noise;
    badCrc.wrongCrc = true;
    EXPECT_TRUE(FailsWithoutFile(badCrc));
    badCrc.deflate = false;
    EXPECT_TRUE(FailsWithoutFile(badCrc));
    ZipWriter::Entry tooLong;
    tooLong.data = text;
    tooLong.uncompressedSizeDelta = -1;
    EXPECT_TRUE(FailsWithoutFile(tooLong)) << "one byte more than recorded, in the last block";
    ZipWriter::Entry tooShort;
    tooShort.data = text;
    tooShort.uncompressedSizeDelta = 1;
    EXPECT_TRUE(FailsWithoutFile(tooShort));
}

TEST_F(ZipArchiveTest, TruncatedOrDamagedArchivesFail)
{
    ZipWriter writer;
    writer.AddFile("payload.dll", Pattern(50000));
    std::string archive = writer.Build();
    EXPECT_FALSE(Unpack(archive.substr(0, archive.size() / 2)));
    EXPECT_FALSE(Unpack("this is an error page, not an archive"));

    // The central directory claims more data than lies before it.
    std::string damaged = archive;
    size_t directory = damaged.rfind(std::string("PK\x01\x02", 4));
    damaged[directory + 20] = static_cast<char>(0xFF);
    damaged[directory + 21] = static_cast<char>(0xFF);
    EXPECT_FALSE(Unpack(damaged));

    // Flipped bits inside the deflated data.
    std::string flipped = archive;
    for (size_t i = 100; i < 140; ++i) flipped[i] = static_cast<char>(flipped[i] ^ 0x55);
    EXPECT_FALSE(Unpack(flipped));
    EXPECT_FALSE(FileExists(Out(L"payload.dll")));
}

}  // namespace
