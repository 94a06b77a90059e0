#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <functional>
#include <string>

#include "core/BinaryReader.h"
#include "core/BinaryWriter.h"
#include "core/Exception.h"
#include "core/FileStream.h"
#include "core/UniqueResource.h"
#include "testing/LibraryAssertions.h"
#include "testing/TempFolder.h"

using System::Array;
using System::String;
using System::IO::BinaryReader;
using System::IO::BinaryWriter;
using System::IO::FileAccess;
using System::IO::FileMode;
using System::IO::FileStream;
using TestSupport::ExpectThrows;

namespace {

class BinaryFormatTest : public ::testing::Test {
protected:
    // Writes with a BinaryWriter over a FileStream, as the settings and store files are written.
    std::string WriteRecord(const std::function<void(BinaryWriter&)>& write)
    {
        FileStream stream(Path(), FileMode::Create, FileAccess::Write, 4, 4096);
        BinaryWriter writer(&stream);
        write(writer);
        writer.Flush();
        stream.Close();
        return folder.ReadFile(L"레코드.bin");
    }

    // Stores raw bytes, then hands a BinaryReader over them to read.
    void ReadRecord(const std::string& bytes, const std::function<void(BinaryReader&)>& read)
    {
        folder.WriteFile(L"레코드.bin", bytes);
        FileStream stream(Path(), FileMode::Open, FileAccess::Read, 4, 4096);
        BinaryReader reader(&stream);
        read(reader);
    }

    String Path() const { return String(folder / L"레코드.bin"); }

    TestSupport::TempFolder folder;
};

String Repeat(const wchar_t* piece, int count)
{
    std::wstring text;
    for (int i = 0; i < count; ++i) text += piece;
    return String(text);
}

TEST_F(BinaryFormatTest, EveryPrimitiveReadsBackAsWritten)
{
    const String strings[] = {
        L"",
        Repeat(L"a", 127),                    // the longest one-byte length
        Repeat(L"a", 128),                    // the shortest two-byte length
        Repeat(L"b", 16383),
        Repeat(L"c", 16384),                  // the shortest three-byte length
        Repeat(L"가", 6666) + L"ab",          // 20,000 UTF-8 bytes
        L"벨라 툴박스 – 자동 백업 파일: 메신저 추가",
    };
    ASSERT_EQ(strings[5].ToUtf8().size(), 20000u);
    const uint8_t block[] = {0, 1, 0x7F, 0x80, 0xFF};

    WriteRecord([&](BinaryWriter& writer) {
        writer.WriteByte(0);
        writer.WriteByte(255);
        writer.WriteBoolean(true);
        writer.WriteBoolean(false);
        for (int32_t value : {0, 1, -1, INT32_MIN, INT32_MAX}) writer.WriteInt32(value);
        for (int64_t value : {int64_t{0}, int64_t{-1}, INT64_MIN, INT64_MAX, int64_t{634000000000000000}}) writer.WriteInt64(value);
        writer.Write(block, 5);
        writer.Write(Array<uint8_t>{9, 8, 7});
        writer.Write(Array<uint8_t>());
        for (const String& text : strings) writer.Write(text);
    });

    folder.WriteFile(L"복사.bin", folder.ReadFile(L"레코드.bin"));
    FileStream stream(String(folder / L"복사.bin"), FileMode::Open, FileAccess::Read, 4, 4096);
    {
        BinaryReader reader(&stream);
        EXPECT_EQ(reader.ReadByte(), 0);
        EXPECT_EQ(reader.ReadByte(), 255);
        EXPECT_TRUE(reader.ReadBoolean());
        EXPECT_FALSE(reader.ReadBoolean());
        for (int32_t value : {0, 1, -1, INT32_MIN, INT32_MAX}) EXPECT_EQ(reader.ReadInt32(), value);
        for (int64_t value : {int64_t{0}, int64_t{-1}, INT64_MIN, INT64_MAX, int64_t{634000000000000000}})
            EXPECT_EQ(reader.ReadInt64(), value);
        EXPECT_EQ(reader.ReadBytes(5), (Array<uint8_t>{0, 1, 0x7F, 0x80, 0xFF}));
        EXPECT_EQ(reader.ReadBytes(3), (Array<uint8_t>{9, 8, 7}));
        for (const String& text : strings) EXPECT_EQ(reader.ReadString(), text);
        EXPECT_EQ(reader.ReadBytes(10).GetLength(), 0);
        ExpectThrows<System::IO::EndOfStreamException>([&] { reader.ReadByte(); });
    }
    // The reader leaves its stream to the caller.
    EXPECT_TRUE(stream.CanRead());
    EXPECT_EQ(stream.GetPosition(), stream.GetLength());
}

TEST_F(BinaryFormatTest, LayoutIsLittleEndianWithSevenBitEncodedUtf8Lengths)
{
    std::string bytes = WriteRecord([](BinaryWriter& writer) {
        writer.WriteInt32(0x01020304);
        writer.WriteInt32(-2);
        writer.WriteInt64(0x0102030405060708);
        writer.WriteBoolean(true);
        writer.Write(String(L"A"));
        writer.Write(String(L"가"));
    });
    EXPECT_EQ(bytes, std::string("\x04\x03\x02\x01"
                                 "\xFE\xFF\xFF\xFF"
                                 "\x08\x07\x06\x05\x04\x03\x02\x01"
                                 "\x01"
                                 "\x01"
                                 "A"
                                 "\x03\xEA\xB0\x80",
                                 23));

    EXPECT_EQ(WriteRecord([](BinaryWriter& writer) { writer.Write(Repeat(L"a", 128)); }).substr(0, 3), "\x80\x01" "a");
    EXPECT_EQ(WriteRecord([](BinaryWriter& writer) { writer.Write(Repeat(L"a", 16384)); }).substr(0, 4), "\x80\x80\x01" "a");
}

TEST_F(BinaryFormatTest, AStreamCutAnywhereInsideARecordRaisesEndOfStream)
{
    std::string record = WriteRecord([](BinaryWriter& writer) {
        writer.WriteInt32(3);
        writer.WriteBoolean(true);
        writer.WriteInt64(-5);
        writer.Write(Repeat(L"시작 프로그램 ", 20));
        writer.Write(Array<uint8_t>{1, 2, 3, 4, 5});
        writer.WriteByte(7);
    });
    for (size_t cut = 0; cut < record.size(); ++cut) {
        SCOPED_TRACE(cut);
        ReadRecord(record.substr(0, cut), [](BinaryReader& reader) {
            ExpectThrows<System::IO::EndOfStreamException>([&] {
                reader.ReadInt32();
                reader.ReadBoolean();
                reader.ReadInt64();
                reader.ReadString();
                reader.ReadBytes(5);
                reader.ReadByte();
            });
        });
    }
    ReadRecord(record, [](BinaryReader& reader) {
        EXPECT_EQ(reader.ReadInt32(), 3);
        EXPECT_TRUE(reader.ReadBoolean());
        EXPECT_EQ(reader.ReadInt64(), -5);
        EXPECT_EQ(reader.ReadString(), Repeat(L"시작 프로그램 ", 20));
        EXPECT_EQ(reader.ReadBytes(5).GetLength(), 5);
        EXPECT_EQ(reader.ReadByte(), 7);
    });
}

TEST_F(BinaryFormatTest, MalformedStringLengthsRaiseFormatException)
{
    for (const char* length : {"\x80\x80\x80\x80\x80\x01",  // six bytes
                               "\xFF\xFF\xFF\xFF\x0F",      // 2^32 - 1
                               "\xFF\xFF\xFF\xFF\x08"}) {   // 2^31 + 2^28 - 1
        ReadRecord(std::string(length) + "abc", [](BinaryReader& reader) {
            ExpectThrows<System::FormatException>([&] { reader.ReadString(); });
        });
    }
}

// The largest resident set this process has had, in bytes.
size_t PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    EXPECT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters));
    return counters.PeakWorkingSetSize;
}

TEST_F(BinaryFormatTest, AbsurdLengthsReadWhatIsThereWithoutAllocatingThem)
{
    const size_t peakBefore = PeakWorkingSet();
    ReadRecord("0123456789", [](BinaryReader& reader) {
        ExpectThrows<System::ArgumentOutOfRangeException>([&] { reader.ReadBytes(-1); });
        EXPECT_EQ(reader.ReadBytes(0).GetLength(), 0);
        Array<uint8_t> bytes = reader.ReadBytes(2000000000);
        EXPECT_EQ(bytes.GetLength(), 10);
        EXPECT_EQ(bytes[9], '9');
    });
    // INT32_MAX, then 2,000,000,000: both far beyond the three bytes that follow.
    for (const char* length : {"\xFF\xFF\xFF\xFF\x07", "\x80\xA8\xD6\xB9\x07"}) {
        ReadRecord(std::string(length) + "abc", [](BinaryReader& reader) {
            String text = ExpectThrows<System::IO::EndOfStreamException>([&] { reader.ReadString(); });
            EXPECT_TRUE(text.Contains(L"3 bytes remain")) << text.ToUtf8();
        });
    }
    EXPECT_LT(PeakWorkingSet() - peakBefore, size_t{256} << 20);
}

TEST_F(BinaryFormatTest, AnAbsurdStringLengthOnAStreamThatCannotSeekEndsWithoutAllocatingIt)
{
    // A pipe cannot tell how much is left: the reader must still not trust the length.
    String pipeName = String::Format(L"\\\\.\\pipe\\vela-binaryreader-%lu", GetCurrentProcessId());
    System::UniqueHandle server(CreateNamedPipeW(pipeName.GetBuffer(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                                 4096, 4096, 0, nullptr));
    ASSERT_TRUE(server.IsValid()) << GetLastError();
    FileStream stream(pipeName, FileMode::Open, FileAccess::Read, 0, 4096);
    ASSERT_FALSE(stream.CanSeek());
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(server.Get(), "\x80\xA8\xD6\xB9\x07" "abc", 8, &written, nullptr));
    server.Reset();

    const size_t peakBefore = PeakWorkingSet();
    BinaryReader reader(&stream);
    String text = ExpectThrows<System::IO::EndOfStreamException>([&] { reader.ReadString(); });
    EXPECT_TRUE(text.Contains(L"after 3 of the 2000000000 bytes")) << text.ToUtf8();
    EXPECT_LT(PeakWorkingSet() - peakBefore, size_t{256} << 20);
}

TEST_F(BinaryFormatTest, InvalidUtf8DecodesToReplacementCharacters)
{
    ReadRecord(std::string("\x03" "A\xFF" "B" "\x02\xEA\xB0", 7), [](BinaryReader& reader) {
        EXPECT_EQ(reader.ReadString(), String(L"A\uFFFDB"));
        EXPECT_EQ(reader.ReadString(), String(L"\uFFFD"));
    });
}

TEST_F(BinaryFormatTest, BadArgumentsRaiseLibraryExceptions)
{
    ExpectThrows<System::ArgumentNullException>([] { BinaryReader reader(nullptr); });
    ExpectThrows<System::ArgumentNullException>([] { BinaryWriter writer(nullptr); });
    WriteRecord([](BinaryWriter& writer) {
        uint8_t byte = 0;
        ExpectThrows<System::ArgumentNullException>([&] { writer.Write(nullptr, 1); });
        ExpectThrows<System::ArgumentOutOfRangeException>([&] { writer.Write(&byte, -1); });
        writer.Write(nullptr, 0);
    });
}

}  // namespace
