#include "core/BinaryReader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/Exception.h"

namespace System {
namespace IO {

namespace {

// Lengths read from a file are not trusted: memory grows with what actually arrives.
const int ChunkSize = 64 * 1024;

}  // namespace

BinaryReader::BinaryReader(Stream* stream) : stream_(stream)
{
    if (!stream) throw new ArgumentNullException(L"stream");
}

uint8_t BinaryReader::ReadByte()
{
    uint8_t value;
    ReadExactly(&value, 1);
    return value;
}

bool BinaryReader::ReadBoolean() { return ReadByte() != 0; }

int32_t BinaryReader::ReadInt32()
{
    uint8_t bytes[4];
    ReadExactly(bytes, 4);
    uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | bytes[i];
    return static_cast<int32_t>(bits);
}

int64_t BinaryReader::ReadInt64()
{
    uint8_t bytes[8];
    ReadExactly(bytes, 8);
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes[i];
    return static_cast<int64_t>(bits);
}

Array<uint8_t> BinaryReader::ReadBytes(int count)
{
    if (count < 0) throw new ArgumentOutOfRangeException(L"count: must not be negative.");
    std::vector<uint8_t> bytes;
    while (static_cast<int>(bytes.size()) < count) {
        int wanted = std::min(ChunkSize, count - static_cast<int>(bytes.size()));
        size_t start = bytes.size();
        bytes.resize(start + static_cast<size_t>(wanted));
        int read = stream_->Read(bytes.data() + start, wanted);
        bytes.resize(start + static_cast<size_t>(read));
        if (read == 0) break;
    }
    return Array<uint8_t>(std::move(bytes));
}

String BinaryReader::ReadString()
{
    int32_t length = Read7BitEncodedInt();
    if (length == 0) return String();
    if (stream_->CanSeek()) {
        int64_t remaining = stream_->GetLength() - stream_->GetPosition();
        if (length > remaining)
            throw new EndOfStreamException(String::Format(
                L"A string of %d bytes is announced, but only %I64d bytes remain in the stream.", length, remaining));
    }
    Array<uint8_t> bytes = ReadBytes(length);
    if (bytes.GetLength() < length)
        throw new EndOfStreamException(
            String::Format(L"The stream ended after %d of the %d bytes of a string.", bytes.GetLength(), length));
    return String::FromUtf8(reinterpret_cast<const char*>(bytes.GetData()), length);
}

void BinaryReader::ReadExactly(uint8_t* buffer, int count)
{
    int total = 0;
    while (total < count) {
        int read = stream_->Read(buffer + total, count - total);
        if (read == 0)
            throw new EndOfStreamException(
                String::Format(L"The stream ended after %d of the %d bytes of a value.", total, count));
        total += read;
    }
}

int32_t BinaryReader::Read7BitEncodedInt()
{
    // Four bytes carry 28 bits; a fifth may add only the 3 bits that keep the value within INT32_MAX.
    uint32_t value = 0;
    for (int shift = 0; shift < 28; shift += 7) {
        uint8_t byte = ReadByte();
        value |= static_cast<uint32_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) return static_cast<int32_t>(value);
    }
    uint8_t last = ReadByte();
    if (last > 0x07)
        throw new FormatException(String::Format(
            L"A string length is malformed: its fifth byte 0x%02X makes it longer than 5 bytes or above 2147483647.", last));
    return static_cast<int32_t>(value | (static_cast<uint32_t>(last) << 28));
}

}  // namespace IO
}  // namespace System
