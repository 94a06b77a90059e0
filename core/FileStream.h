#pragma once

#include <cstdint>
#include <vector>

#include "core/CoreApi.h"
#include "core/Stream.h"
#include "core/String.h"
#include "core/UniqueResource.h"

namespace System {
namespace IO {

// Values of FileStream's mode, access and share arguments.
struct FileMode {
    enum { Create = 1, Open = 3, OpenOrCreate = 4, Truncate = 5 };
};
struct FileAccess {
    enum { Read = 1, Write = 2, ReadWrite = 3 };
};
struct FileShare {
    enum { None = 0, Read = 1, Write = 2, Delete = 4 };
};

// A file opened with CreateFileW, with one buffer used either for reading or for writing.
class VAPCORE_API FileStream : public Stream {
public:
    // share holds FILE_SHARE_* bits, options FILE_FLAG_* bits for CreateFileW. Create replaces
    // an existing file; Truncate empties an existing one. bufferSize <= 1 means unbuffered.
    // A failed open raises Win32Exception with the OS code and the path.
    FileStream(const String& path, int mode, int access, int share = 1, int bufferSize = 4096, int options = 0);
    // Closes; a write failure at that point can only be traced, so call Close to learn of it.
    ~FileStream() override;

    // From now on every file stream of the process fails as a full disk does once bytes more bytes
    // have reached files; a negative value lifts the limit. Tests interrupt rewrites with it.
    static void SetWriteLimitForTesting(int64_t bytes);

    int Read(uint8_t* buffer, int count) override;
    void Write(const uint8_t* buffer, int count) override;
    int64_t Seek(int64_t offset, int origin) override;
    int64_t GetLength() override;
    int64_t GetPosition() override;
    void Flush() override;
    void Close() override;
    bool CanRead() const override;
    bool CanWrite() const override;
    bool CanSeek() const override;

private:
    void CheckOpen() const;
    void CheckSeekable() const;
    void FlushWriteBuffer();
    void DiscardReadBuffer();
    int ReadFromFile(uint8_t* buffer, int count);
    void WriteToFile(const uint8_t* buffer, int count);
    void MoveFilePointer(int64_t position);

    String path_;
    UniqueHandle handle_;
    int access_;
    bool seekable_ = false;
    // Empty when unbuffered.
    std::vector<uint8_t> buffer_;
    int readPosition_ = 0;
    int readLength_ = 0;
    int writeLength_ = 0;
    // Where the operating system's file pointer stands.
    int64_t filePosition_ = 0;
};

}  // namespace IO
}  // namespace System
