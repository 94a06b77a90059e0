#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/CoreApi.h"
#include "core/Object.h"
#include "core/Stream.h"
#include "core/String.h"

namespace System {
namespace IO {

// Reads what BinaryWriter writes from a stream it does not own: the caller closes and deletes
// the stream. A stream that ends inside a value raises EndOfStreamException; a malformed string
// length raises FormatException. Nothing is allocated for a length the stream cannot hold.
class VAPCORE_API BinaryReader : public Object {
public:
    explicit BinaryReader(Stream* stream);

    uint8_t ReadByte();
    bool ReadBoolean();
    int32_t ReadInt32();
    int64_t ReadInt64();
    // Up to count bytes: fewer when the stream ends first.
    Array<uint8_t> ReadBytes(int count);
    // Invalid UTF-8 decodes to replacement characters.
    String ReadString();

private:
    void ReadExactly(uint8_t* buffer, int count);
    int32_t Read7BitEncodedInt();

    Stream* stream_;
};

}  // namespace IO
}  // namespace System
