#include "core/FileStream.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "core/Win32Exception.h"

namespace System {
namespace IO {

namespace {

// Bytes that may still reach files before writes fail; negative: no limit.
std::atomic<int64_t> writeLimit{-1};

DWORD CreationDisposition(int mode)
{
    switch (mode) {
    case FileMode::Create: return CREATE_ALWAYS;
    case FileMode::Open: return OPEN_EXISTING;
    case FileMode::OpenOrCreate: return OPEN_ALWAYS;
    case FileMode::Truncate: return TRUNCATE_EXISTING;
    default: throw new ArgumentOutOfRangeException(String::Format(L"mode: %d is not a file mode.", mode));
    }
}

DWORD DesiredAccess(int access)
{
    switch (access) {
    case FileAccess::Read: return GENERIC_READ;
    case FileAccess::Write: return GENERIC_WRITE;
    case FileAccess::ReadWrite: return GENERIC_READ | GENERIC_WRITE;
    default: throw new ArgumentOutOfRangeException(String::Format(L"access: %d is not a file access.", access));
    }
}

void CheckBufferArguments(const uint8_t* buffer, int count)
{
    if (count < 0) throw new ArgumentOutOfRangeException(L"count: must not be negative.");
    if (!buffer && count > 0) throw new ArgumentNullException(L"buffer");
}

}  // namespace

FileStream::FileStream(const String& path, int mode, int access, int share, int bufferSize, int options)
    : path_(path), access_(access)
{
    if (path.IsEmpty()) throw new ArgumentException(L"path: the path is empty.");
    DWORD disposition = CreationDisposition(mode);
    DWORD desiredAccess = DesiredAccess(access);
    if (share & ~(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        throw new ArgumentOutOfRangeException(String::Format(L"share: %d holds unknown bits.", share));
    if (bufferSize < 0) throw new ArgumentOutOfRangeException(L"bufferSize: must not be negative.");
    // Every read and write here is synchronous; an overlapped handle would need an OVERLAPPED each time.
    if (static_cast<DWORD>(options) & FILE_FLAG_OVERLAPPED)
        throw new ArgumentException(L"options: asynchronous file handles are not supported.");
    if ((mode == FileMode::Create || mode == FileMode::Truncate) && !(access & FileAccess::Write))
        throw new ArgumentException(String::Format(L"Mode %d empties the file and needs write access.", mode));

    handle_.Reset(CreateFileW(path.GetBuffer(), desiredAccess, static_cast<DWORD>(share), nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL | static_cast<DWORD>(options), nullptr));
    if (!handle_) Microsoft::Win32::Win32Exception::ThrowLastError(String::Format(L"Cannot open \"%s\"", path.GetBuffer()));
    seekable_ = GetFileType(handle_.Get()) == FILE_TYPE_DISK;
    if (bufferSize > 1) buffer_.resize(static_cast<size_t>(bufferSize));
}

FileStream::~FileStream()
{
    TraceExceptions([this] { Close(); });
}

int FileStream::Read(uint8_t* buffer, int count)
{
    CheckBufferArguments(buffer, count);
    CheckOpen();
    if (!CanRead()) throw new NotSupportedException(L"The file stream was not opened for reading.");
    if (count == 0) return 0;
    FlushWriteBuffer();

    int total = 0;
    while (total < count) {
        int buffered = readLength_ - readPosition_;
        if (buffered > 0) {
            int n = std::min(buffered, count - total);
            std::memcpy(buffer + total, buffer_.data() + readPosition_, static_cast<size_t>(n));
            readPosition_ += n;
            total += n;
            continue;
        }
        int remaining = count - total;
        // Large requests go straight to the caller's memory rather than through the buffer.
        if (remaining >= static_cast<int>(buffer_.size())) {
            int n = ReadFromFile(buffer + total, remaining);
            if (n == 0) break;
            total += n;
        } else {
            readPosition_ = 0;
            readLength_ = ReadFromFile(buffer_.data(), static_cast<int>(buffer_.size()));
            if (readLength_ == 0) break;
        }
    }
    return total;
}

void FileStream::Write(const uint8_t* buffer, int count)
{
    CheckBufferArguments(buffer, count);
    CheckOpen();
    if (!CanWrite()) throw new NotSupportedException(L"The file stream was not opened for writing.");
    if (count == 0) return;
    DiscardReadBuffer();

    int capacity = static_cast<int>(buffer_.size());
    if (capacity - writeLength_ >= count) {
        std::memcpy(buffer_.data() + writeLength_, buffer, static_cast<size_t>(count));
        writeLength_ += count;
        return;
    }
    FlushWriteBuffer();
    if (count >= capacity) {
        WriteToFile(buffer, count);
    } else {
        std::memcpy(buffer_.data(), buffer, static_cast<size_t>(count));
        writeLength_ = count;
    }
}

int64_t FileStream::Seek(int64_t offset, int origin)
{
    CheckOpen();
    if (origin < SeekOrigin::Begin || origin > SeekOrigin::End)
        throw new ArgumentException(String::Format(L"origin: %d is not a seek origin.", origin));
    CheckSeekable();
    FlushWriteBuffer();

    int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? GetPosition() : GetLength();
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0)
        throw new IOException(String::Format(L"Cannot seek to %I64d from %I64d in \"%s\".", offset, base, path_.GetBuffer()));
    int64_t target = base + offset;

    // A target inside the bytes already read keeps the buffer.
    int64_t bufferStart = filePosition_ - readLength_;
    if (readLength_ > 0 && target >= bufferStart && target <= filePosition_) {
        readPosition_ = static_cast<int>(target - bufferStart);
        return target;
    }
    readPosition_ = readLength_ = 0;
    MoveFilePointer(target);
    return target;
}

int64_t FileStream::GetLength()
{
    CheckOpen();
    CheckSeekable();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_.Get(), &size))
        Microsoft::Win32::Win32Exception::ThrowLastError(String::Format(L"Cannot read the length of \"%s\"", path_.GetBuffer()));
    return std::max<int64_t>(size.QuadPart, filePosition_ + writeLength_);
}

int64_t FileStream::GetPosition()
{
    CheckOpen();
    CheckSeekable();
    return filePosition_ - (readLength_ - readPosition_) + writeLength_;
}

void FileStream::Flush()
{
    CheckOpen();
    FlushWriteBuffer();
}

void FileStream::Close()
{
    if (!handle_) return;
    Exception* failure = nullptr;
    try {
        FlushWriteBuffer();
    } catch (Exception* caught) {
        failure = caught;
    }
    handle_.Reset();
    readPosition_ = readLength_ = writeLength_ = 0;
    if (failure) throw failure;
}

bool FileStream::CanRead() const { return handle_.IsValid() && (access_ & FileAccess::Read); }

bool FileStream::CanWrite() const { return handle_.IsValid() && (access_ & FileAccess::Write); }

bool FileStream::CanSeek() const { return handle_.IsValid() && seekable_; }

void FileStream::CheckOpen() const
{
    if (!handle_) throw new InvalidOperationException(String::Format(L"The file stream of \"%s\" is closed.", path_.GetBuffer()));
}

void FileStream::CheckSeekable() const
{
    if (!seekable_) throw new NotSupportedException(String::Format(L"\"%s\" is not a seekable file.", path_.GetBuffer()));
}

void FileStream::FlushWriteBuffer()
{
    if (writeLength_ == 0) return;
    // The bytes leave the buffer whatever happens: on failure the exception reports their loss,
    // and a later Close or flush must not write them a second time.
    int count = writeLength_;
    writeLength_ = 0;
    WriteToFile(buffer_.data(), count);
}

void FileStream::DiscardReadBuffer()
{
    int unread = readLength_ - readPosition_;
    if (unread > 0) {
        if (!seekable_) throw new NotSupportedException(String::Format(L"Cannot write to \"%s\" after a partial read.", path_.GetBuffer()));
        MoveFilePointer(filePosition_ - unread);
    }
    readPosition_ = readLength_ = 0;
}

int FileStream::ReadFromFile(uint8_t* buffer, int count)
{
    DWORD read = 0;
    if (!ReadFile(handle_.Get(), buffer, static_cast<DWORD>(count), &read, nullptr)) {
        DWORD error = GetLastError();
        // The writer of a pipe has gone: that is its end.
        if (error == ERROR_BROKEN_PIPE) return 0;
        Microsoft::Win32::Win32Exception::Throw(error, String::Format(L"Cannot read \"%s\"", path_.GetBuffer()));
    }
    filePosition_ += read;
    return static_cast<int>(read);
}

void FileStream::SetWriteLimitForTesting(int64_t bytes) { writeLimit = bytes < 0 ? -1 : bytes; }

void FileStream::WriteToFile(const uint8_t* buffer, int count)
{
    while (count > 0) {
        DWORD wanted = static_cast<DWORD>(count);
        int64_t limit = writeLimit;
        if (limit == 0)
            Microsoft::Win32::Win32Exception::Throw(ERROR_DISK_FULL, String::Format(L"Cannot write \"%s\"", path_.GetBuffer()));
        if (limit > 0 && limit < count) wanted = static_cast<DWORD>(limit);
        DWORD written = 0;
        if (!WriteFile(handle_.Get(), buffer, wanted, &written, nullptr))
            Microsoft::Win32::Win32Exception::ThrowLastError(String::Format(L"Cannot write \"%s\"", path_.GetBuffer()));
        if (written == 0)
            throw new IOException(String::Format(L"Writing \"%s\" made no progress.", path_.GetBuffer()));
        if (limit > 0) writeLimit -= written;
        filePosition_ += written;
        buffer += written;
        count -= static_cast<int>(written);
    }
}

void FileStream::MoveFilePointer(int64_t position)
{
    LARGE_INTEGER distance;
    distance.QuadPart = position;
    LARGE_INTEGER result;
    if (!SetFilePointerEx(handle_.Get(), distance, &result, FILE_BEGIN))
        Microsoft::Win32::Win32Exception::ThrowLastError(String::Format(L"Cannot seek in \"%s\"", path_.GetBuffer()));
    filePosition_ = result.QuadPart;
}

}  // namespace IO
}  // namespace System
