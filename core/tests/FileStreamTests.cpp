#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/FileStream.h"
#include "core/UniqueResource.h"
#include "core/Win32Exception.h"
#include "testing/LibraryAssertions.h"
#include "testing/TempFolder.h"

using System::String;
using System::IO::FileAccess;
using System::IO::FileMode;
using System::IO::FileShare;
using System::IO::FileStream;
using System::IO::SeekOrigin;
using TestSupport::ExpectThrows;
using TestSupport::ExpectWin32Error;

namespace {

void WriteText(FileStream& stream, const std::string& text)
{
    stream.Write(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()));
}

std::string ReadText(FileStream& stream, int count)
{
    std::string text(static_cast<size_t>(count), '\0');
    int read = stream.Read(reinterpret_cast<uint8_t*>(&text[0]), count);
    text.resize(static_cast<size_t>(read));
    return text;
}

// 0, 1, ..., 255, 0, 1, ...: every offset holds a known byte.
std::string Pattern(int length)
{
    std::string bytes;
    for (int i = 0; i < length; ++i) bytes.push_back(static_cast<char>(i % 251));
    return bytes;
}

class FileStreamTest : public ::testing::Test {
protected:
    String PathOf(const wchar_t* name) const { return String(folder / name); }

    TestSupport::TempFolder folder;
};

TEST_F(FileStreamTest, CreateModeReplacesAnExistingFileAndMakesAMissingOne)
{
    folder.WriteFile(L"캐시.dat", "old content that is longer than the new one");
    {
        FileStream stream(PathOf(L"캐시.dat"), FileMode::Create, FileAccess::Write, FileShare::Delete, 4096);
        WriteText(stream, "새 내용");
        stream.Close();
    }
    EXPECT_EQ(folder.ReadFile(L"캐시.dat"), "새 내용");

    FileStream created(PathOf(L"새파일.dat"), FileMode::Create, FileAccess::Write, FileShare::Delete, 4096);
    created.Close();
    EXPECT_EQ(folder.ReadFile(L"새파일.dat"), "");
}

TEST_F(FileStreamTest, OpenModeReadsAnExistingFileAndRaisesForAMissingOneWithTheOsCode)
{
    folder.WriteFile(L"설정.cfg", "abc");
    FileStream stream(PathOf(L"설정.cfg"), FileMode::Open, FileAccess::Read, FileShare::Delete, 4096);
    EXPECT_EQ(ReadText(stream, 10), "abc");
    EXPECT_EQ(stream.Read(nullptr, 0), 0);

    String missing = PathOf(L"없는파일.cfg");
    EXPECT_EQ(ExpectWin32Error(missing, [&] { FileStream(missing, FileMode::Open, FileAccess::Read, FileShare::Delete); }),
              static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    String missingFolder = PathOf(L"없는폴더\\a.cfg");
    EXPECT_EQ(ExpectWin32Error(missingFolder, [&] { FileStream(missingFolder, FileMode::Truncate, FileAccess::Write); }),
              static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
}

TEST_F(FileStreamTest, OpenOrCreateModeMakesAnEmptyFileAndKeepsAnExistingOne)
{
    {
        FileStream stream(PathOf(L"vacon.cfg"), FileMode::OpenOrCreate, FileAccess::Read, FileShare::Delete, 4096);
        EXPECT_EQ(stream.GetLength(), 0);
        EXPECT_EQ(ReadText(stream, 1), "");
    }
    EXPECT_EQ(folder.ReadFile(L"vacon.cfg"), "");

    folder.WriteFile(L"vacon.cfg", "1234");
    FileStream stream(PathOf(L"vacon.cfg"), FileMode::OpenOrCreate, FileAccess::Write, FileShare::Delete, 4096);
    WriteText(stream, "9");
    stream.Close();
    EXPECT_EQ(folder.ReadFile(L"vacon.cfg"), "9234");
}

TEST_F(FileStreamTest, TruncateModeEmptiesAnExistingFileAndRaisesForAMissingOne)
{
    folder.WriteFile(L"disabledentry.vsd", "three records");
    FileStream stream(PathOf(L"disabledentry.vsd"), FileMode::Truncate, FileAccess::Write, FileShare::Delete, 4096);
    EXPECT_EQ(stream.GetLength(), 0);
    WriteText(stream, "1");
    stream.Close();
    EXPECT_EQ(folder.ReadFile(L"disabledentry.vsd"), "1");

    String missing = PathOf(L"없음.vsd");
    EXPECT_EQ(ExpectWin32Error(missing, [&] { FileStream(missing, FileMode::Truncate, FileAccess::Write); }),
              static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileStreamTest, InvalidArgumentsAreRejectedBeforeTouchingTheFile)
{
    String path = PathOf(L"a.bin");
    for (int mode : {0, 2, 6, 7})
        ExpectThrows<System::ArgumentOutOfRangeException>([&] { FileStream(path, mode, FileAccess::Write); });
    for (int access : {0, 4})
        ExpectThrows<System::ArgumentOutOfRangeException>([&] { FileStream(path, FileMode::Create, access); });
    ExpectThrows<System::ArgumentOutOfRangeException>([&] { FileStream(path, FileMode::Create, FileAccess::Write, 8); });
    ExpectThrows<System::ArgumentOutOfRangeException>([&] { FileStream(path, FileMode::Create, FileAccess::Write, 4, -1); });
    ExpectThrows<System::ArgumentException>([&] { FileStream(path, FileMode::Create, FileAccess::Read); });
    ExpectThrows<System::ArgumentException>([&] { FileStream(path, FileMode::Truncate, FileAccess::Read); });
    ExpectThrows<System::ArgumentException>([&] { FileStream(path, FileMode::Create, FileAccess::Write, 4, 4096, FILE_FLAG_OVERLAPPED); });
    ExpectThrows<System::ArgumentException>([&] { FileStream(L"", FileMode::Create, FileAccess::Write); });
    EXPECT_EQ(GetFileAttributesW(path.GetBuffer()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileStreamTest, OptionsReachTheOperatingSystem)
{
    String path = PathOf(L"임시.tmp");
    {
        FileStream stream(path, FileMode::Create, FileAccess::Write, FileShare::Delete, 4096, FILE_FLAG_DELETE_ON_CLOSE);
        WriteText(stream, "x");
        EXPECT_NE(GetFileAttributesW(path.GetBuffer()), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_EQ(GetFileAttributesW(path.GetBuffer()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileStreamTest, WritesAcrossTheBufferSizeArriveInOrderForEveryBufferSize)
{
    const std::string content = Pattern(1000);
    for (int bufferSize : {0, 1, 2, 16, 4096}) {
        SCOPED_TRACE(bufferSize);
        {
            FileStream stream(PathOf(L"쓰기.bin"), FileMode::Create, FileAccess::Write, FileShare::Delete, bufferSize);
            size_t offset = 0;
            // Pieces smaller than, equal to and larger than a 16-byte buffer, filling it partly.
            for (int size : {1, 7, 15, 16, 17, 40, 3, 16, 100, 785}) {
                WriteText(stream, content.substr(offset, static_cast<size_t>(size)));
                offset += static_cast<size_t>(size);
                EXPECT_EQ(stream.GetPosition(), static_cast<int64_t>(offset));
                EXPECT_EQ(stream.GetLength(), static_cast<int64_t>(offset));
            }
            ASSERT_EQ(offset, content.size());
        }
        EXPECT_EQ(folder.ReadFile(L"쓰기.bin"), content);
    }
}

TEST_F(FileStreamTest, BufferedBytesReachTheFileOnFlushAndInTheDestructor)
{
    String path = PathOf(L"버퍼.bin");
    {
        FileStream stream(path, FileMode::Create, FileAccess::Write, FileShare::Read | FileShare::Write | FileShare::Delete, 4096);
        WriteText(stream, "0123456789");
        EXPECT_EQ(folder.ReadFile(L"버퍼.bin"), "");
        stream.Flush();
        EXPECT_EQ(folder.ReadFile(L"버퍼.bin"), "0123456789");
        WriteText(stream, "끝");
    }
    EXPECT_EQ(folder.ReadFile(L"버퍼.bin"), "0123456789끝");
}

TEST_F(FileStreamTest, ReadsThroughTheBufferAndSeeksFromEveryOrigin)
{
    const std::string content = Pattern(10000);
    folder.WriteFile(L"읽기.bin", content);
    FileStream stream(PathOf(L"읽기.bin"), FileMode::Open, FileAccess::Read, FileShare::Delete, 64);
    EXPECT_TRUE(stream.CanSeek());
    EXPECT_EQ(ReadText(stream, 10), content.substr(0, 10));
    EXPECT_EQ(stream.GetPosition(), 10);

    EXPECT_EQ(stream.Seek(5000, SeekOrigin::Begin), 5000);
    EXPECT_EQ(ReadText(stream, 4), content.substr(5000, 4));
    // Back inside the bytes just buffered, then forward past them.
    EXPECT_EQ(stream.Seek(-3, SeekOrigin::Current), 5001);
    EXPECT_EQ(ReadText(stream, 100), content.substr(5001, 100));
    EXPECT_EQ(stream.Seek(-1, SeekOrigin::End), 9999);
    EXPECT_EQ(ReadText(stream, 10), content.substr(9999));
    EXPECT_EQ(ReadText(stream, 1), "");

    EXPECT_EQ(stream.Seek(0, SeekOrigin::Begin), 0);
    EXPECT_EQ(ReadText(stream, 20000), content);
    EXPECT_EQ(stream.Seek(50, SeekOrigin::End), 10050);
    EXPECT_EQ(ReadText(stream, 1), "");

    ExpectThrows<System::IO::IOException>([&] { stream.Seek(-1, SeekOrigin::Begin); });
    ExpectThrows<System::ArgumentException>([&] { stream.Seek(0, 3); });
    EXPECT_EQ(stream.GetPosition(), 10050);
}

TEST_F(FileStreamTest, WriteAfterAPartialReadLandsAtTheReadPosition)
{
    folder.WriteFile(L"혼합.bin", "abcdefghij");
    {
        FileStream stream(PathOf(L"혼합.bin"), FileMode::Open, FileAccess::ReadWrite, FileShare::Delete, 4096);
        EXPECT_EQ(ReadText(stream, 3), "abc");
        WriteText(stream, "XY");
        EXPECT_EQ(stream.GetPosition(), 5);
        EXPECT_EQ(ReadText(stream, 10), "fghij");
        stream.Seek(0, SeekOrigin::Begin);
        EXPECT_EQ(ReadText(stream, 10), "abcXYfghij");
        WriteText(stream, "++");
        EXPECT_EQ(stream.GetLength(), 12);
    }
    EXPECT_EQ(folder.ReadFile(L"혼합.bin"), "abcXYfghij++");
}

TEST_F(FileStreamTest, AccessAndClosingAreEnforced)
{
    folder.WriteFile(L"a.bin", "abc");
    FileStream reader(PathOf(L"a.bin"), FileMode::Open, FileAccess::Read, FileShare::Read | FileShare::Delete);
    EXPECT_TRUE(reader.CanRead());
    EXPECT_FALSE(reader.CanWrite());
    ExpectThrows<System::NotSupportedException>([&] { WriteText(reader, "x"); });
    uint8_t byte = 0;
    ExpectThrows<System::ArgumentOutOfRangeException>([&] { reader.Read(&byte, -1); });
    ExpectThrows<System::ArgumentNullException>([&] { reader.Read(nullptr, 1); });

    FileStream writer(PathOf(L"b.bin"), FileMode::Create, FileAccess::Write, FileShare::Delete);
    ExpectThrows<System::NotSupportedException>([&] { writer.Read(&byte, 1); });

    reader.Close();
    reader.Close();
    EXPECT_FALSE(reader.CanRead());
    EXPECT_FALSE(reader.CanSeek());
    ExpectThrows<System::InvalidOperationException>([&] { reader.Read(&byte, 1); });
    ExpectThrows<System::InvalidOperationException>([&] { reader.GetPosition(); });
}

TEST_F(FileStreamTest, AFailedWriteOfBufferedBytesRaisesOnFlushAndOnClose)
{
    // A pipe whose reading end has gone refuses every write; each client needs its own instance.
    String pipeName = String::Format(L"\\\\.\\pipe\\vela-filestream-%lu", GetCurrentProcessId());
    auto makeServer = [&] {
        return System::UniqueHandle(CreateNamedPipeW(pipeName.GetBuffer(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                                     2, 4096, 4096, 0, nullptr));
    };
    System::UniqueHandle firstServer = makeServer();
    System::UniqueHandle secondServer = makeServer();
    ASSERT_TRUE(firstServer.IsValid() && secondServer.IsValid()) << GetLastError();

    FileStream flushed(pipeName, FileMode::Open, FileAccess::Write, FileShare::None, 4096);
    FileStream closed(pipeName, FileMode::Open, FileAccess::Write, FileShare::None, 4096);
    EXPECT_FALSE(flushed.CanSeek());
    ExpectThrows<System::NotSupportedException>([&] { flushed.GetLength(); });
    firstServer.Reset();
    secondServer.Reset();

    WriteText(flushed, "lost");
    ExpectWin32Error(pipeName, [&] { flushed.Flush(); });
    WriteText(closed, "lost");
    ExpectWin32Error(pipeName, [&] { closed.Close(); });
    EXPECT_FALSE(closed.CanWrite());
}

}  // namespace
