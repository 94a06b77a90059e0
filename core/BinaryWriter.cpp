#include "core/BinaryWriter.h"

#include <string>

#include "core/Exception.h"

namespace System {
namespace IO {

BinaryWriter::BinaryWriter(Stream* stream) : stream_(stream)
{
    if (!stream) throw new ArgumentNullException(L"stream");
}

void BinaryWriter::WriteByte(uint8_t value) { stream_->Write(&value, 1); }

void BinaryWriter::WriteBoolean(bool value) { WriteByte(value ? 1 : 0); }

void BinaryWriter::WriteInt32(int32_t value)
{
    uint32_t bits = static_cast<uint32_t>(value);
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    stream_->Write(bytes, 4);
}

void BinaryWriter::WriteInt64(int64_t value)
{
    uint64_t bits = static_cast<uint64_t>(value);
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    stream_->Write(bytes, 8);
}

void BinaryWriter::Write(const uint8_t* bytes, int count)
{
    if (count < 0) throw new ArgumentOutOfRangeException(L"count: must not be negative.");
    if (!bytes && count > 0) throw new ArgumentNullException(L"bytes");
    stream_->Write(bytes, count);
}

void BinaryWriter::Write(const Array<uint8_t>& bytes) { stream_->Write(bytes.GetData(), bytes.GetLength()); }

void BinaryWriter::Write(const String& text)
{
    std::string utf8 = text.ToUtf8();
    Write7BitEncodedInt(static_cast<uint32_t>(utf8.size()));
    stream_->Write(reinterpret_cast<const uint8_t*>(utf8.data()), static_cast<int>(utf8.size()));
}

void BinaryWriter::Flush() { stream_->Flush(); }

void BinaryWriter::Write7BitEncodedInt(uint32_t value)
{
    uint8_t bytes[5];
    int count = 0;
    while (value >= 0x80) {
        bytes[count++] = static_cast<uint8_t>(value | 0x80);
        value >>= 7;
    }
    bytes[count++] = static_cast<uint8_t>(value);
    stream_->Write(bytes, count);
}

}  // namespace IO
}  // namespace System
