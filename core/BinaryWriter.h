#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/CoreApi.h"
#include "core/Object.h"
#include "core/Stream.h"
#include "core/String.h"

namespace System {
namespace IO {

// Writes little-endian primitives and length-prefixed UTF-8 strings to a stream it does not own:
// the caller closes and deletes the stream.
class VAPCORE_API BinaryWriter : public Object {
public:
    explicit BinaryWriter(Stream* stream);

    void WriteByte(uint8_t value);
    void WriteBoolean(bool value);
    void WriteInt32(int32_t value);
    void WriteInt64(int64_t value);
    void Write(const uint8_t* bytes, int count);
    void Write(const Array<uint8_t>& bytes);
    // The UTF-8 byte count as a 7-bit encoded integer, then the UTF-8 bytes.
    void Write(const String& text);
    void Flush();

private:
    void Write7BitEncodedInt(uint32_t value);

    Stream* stream_;
};

}  // namespace IO
}  // namespace System
