#pragma once

#include <cstdint>

#include "core/CoreApi.h"
#include "core/Object.h"

namespace System {
namespace IO {

// Origins of Stream::Seek.
struct SeekOrigin {
    enum { Begin = 0, Current = 1, End = 2 };
};

// A sequence of bytes that can be read, written and positioned. A base-class destructor
// cannot reach a derived Close, so every concrete stream closes itself in its own destructor.
class VAPCORE_API Stream : public Object {
public:
    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Reads up to count bytes; fewer only at the end of the stream, 0 there.
    virtual int Read(uint8_t* buffer, int count) = 0;
    virtual void Write(const uint8_t* buffer, int count) = 0;
    // origin is a SeekOrigin value; returns the new position.
    virtual int64_t Seek(int64_t offset, int origin) = 0;
    virtual int64_t GetLength() = 0;
    virtual int64_t GetPosition() = 0;
    virtual void Flush() = 0;
    // Writes what is buffered and releases the stream; a failure to write raises after the
    // release. Closing twice does nothing.
    virtual void Close() = 0;
    virtual bool CanRead() const = 0;
    virtual bool CanWrite() const = 0;
    virtual bool CanSeek() const = 0;
};

}  // namespace IO
}  // namespace System
