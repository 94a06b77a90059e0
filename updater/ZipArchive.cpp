#include "updater/ZipArchive.h"

#include <zlib.h>

#include <memory>

#include "framework/CException.h"
#include "updater/FileSystem.h"

namespace {

constexpr DWORD kLocalHeaderSignature = 0x04034b50;
constexpr DWORD kCentralHeaderSignature = 0x02014b50;
constexpr DWORD kEndSignature = 0x06054b50;
constexpr DWORD kDescriptorSignature = 0x08074b50;
constexpr DWORD kLocalHeaderSize = 30;
constexpr DWORD kCentralHeaderSize = 46;
constexpr DWORD kEndSize = 22;
constexpr DWORD kReadBlock = 65536;
// Forces the next read to seek.
constexpr ULONGLONG kUnknownPosition = ~0ULL;
// Output is checksummed while still in the cache and written whole: inflate also runs faster with
// room for many blocks, and one large write costs far less than many small ones.
constexpr DWORD kOutputBlock = 256 * 1024;

constexpr WORD kFlagEncrypted = 0x0001;
constexpr WORD kFlagDescriptor = 0x0008;
constexpr WORD kFlagUtf8 = 0x0800;
constexpr WORD kStored = 0;
constexpr WORD kDeflated = 8;

WORD Read16(const BYTE* bytes) { return static_cast<WORD>(bytes[0] | bytes[1] << 8); }
DWORD Read32(const BYTE* bytes)
{
    return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 | static_cast<DWORD>(bytes[2]) << 16 |
           static_cast<DWORD>(bytes[3]) << 24;
}

void Trace(LPCWSTR format, const CString& name)
{
    CString line;
    line.Format(format, name.GetString());
    OutputDebugStringW(line + L"\n");
}

[[noreturn]] void ThrowCorrupt(LPCWSTR what, const CString& name)
{
    Trace(what, name);
    AfxThrowUserException();
}

CString DecodeName(const BYTE* bytes, int length, BOOL utf8)
{
    if (length == 0) return CString();
    UINT codePage = CP_UTF8;
    DWORD flags = utf8 ? 0 : MB_ERR_INVALID_CHARS;
    int size = MultiByteToWideChar(codePage, flags, reinterpret_cast<LPCSTR>(bytes), length, nullptr, 0);
    if (size == 0) {
        // Names without the UTF-8 flag that are not UTF-8 come from the OEM code page.
        codePage = CP_OEMCP;
        flags = 0;
        size = MultiByteToWideChar(codePage, flags, reinterpret_cast<LPCSTR>(bytes), length, nullptr, 0);
        if (size == 0) return CString();
    }
    CString name;
    MultiByteToWideChar(codePage, flags, reinterpret_cast<LPCSTR>(bytes), length, name.GetBufferSetLength(size), size);
    name.ReleaseBuffer(size);
    return name;
}

// Deletes the file being written unless the entry was written whole.
class PartialFile {
public:
    PartialFile(const CString& path, HANDLE handle) : m_path(path), m_handle(handle) {}
    ~PartialFile()
    {
        if (m_handle.IsValid()) {
            m_handle.Reset();
            DeleteFileW(m_path);
        }
    }
    HANDLE Get() const { return m_handle.Get(); }
    // Closes the finished file and keeps it.
    void Keep() { m_handle.Reset(); }
    BOOL Write(const BYTE* data, DWORD count)
    {
        DWORD written = 0;
        return WriteFile(m_handle.Get(), data, count, &written, nullptr) && written == count;
    }

private:
    CString m_path;
    System::UniqueHandle m_handle;
};

class Inflater {
public:
    Inflater()
    {
        if (inflateInit2(&m_stream, -MAX_WBITS) != Z_OK) AfxThrowMemoryException();
    }
    ~Inflater() { inflateEnd(&m_stream); }
    z_stream* operator->() { return &m_stream; }
    z_stream* Get() { return &m_stream; }

private:
    z_stream m_stream = {};
};

}  // namespace

BOOL CZipEntry::IsDirectory() const
{
    if (!name.IsEmpty() && (name[name.GetLength() - 1] == L'/' || name[name.GetLength() - 1] == L'\\')) return TRUE;
    return (GetFileAttributes() & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DWORD CZipEntry::GetFileAttributes() const
{
    BYTE host = static_cast<BYTE>(versionMadeBy >> 8);
    DWORD unixMode = externalAttributes >> 16;
    // Unix and macOS archivers keep the file mode in the high half.
    if ((host == 3 || host == 19) && unixMode != 0) {
        DWORD attributes = 0;
        if (!(unixMode & 0200)) attributes |= FILE_ATTRIBUTE_READONLY;
        if ((unixMode & 0170000) == 0040000) attributes |= FILE_ATTRIBUTE_DIRECTORY;
        return attributes;
    }
    return externalAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                 FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
}

CZipArchive::CZipArchive(const CString& path)
    : m_file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                         nullptr))
{
    if (!m_file) CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), path);
    LARGE_INTEGER length;
    if (!GetFileSizeEx(m_file.Get(), &length)) CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), path);
    m_length = static_cast<ULONGLONG>(length.QuadPart);
    ReadCentralDirectory();
}

void CZipArchive::ReadAt(ULONGLONG offset, void* buffer, DWORD count)
{
    if (offset > m_length || count > m_length - offset) AfxThrowUserException();
    // Entry data is read in order: seeking only when the offset jumps keeps each read a plain one,
    // which costs far less than a read at an explicit offset.
    if (offset != m_position) {
        LARGE_INTEGER target;
        target.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(m_file.Get(), target, nullptr, FILE_BEGIN)) {
            CFileException::ThrowOsError(static_cast<LONG>(GetLastError()));
        }
        m_position = offset;
    }
    DWORD read = 0;
    if (!ReadFile(m_file.Get(), buffer, count, &read, nullptr)) {
        DWORD error = GetLastError();
        m_position = kUnknownPosition;
        CFileException::ThrowOsError(static_cast<LONG>(error));
    }
    m_position += read;
    if (read != count) AfxThrowUserException();
}

void CZipArchive::ReadCentralDirectory()
{
    const CString archive(L"archive");
    if (m_length < kEndSize) ThrowCorrupt(L"Not a zip archive: %s too short", archive);
    DWORD tailSize = static_cast<DWORD>(m_length < 0xFFFF + kEndSize ? m_length : 0xFFFF + kEndSize);
    std::unique_ptr<BYTE[]> tail(new BYTE[tailSize]);
    ReadAt(m_length - tailSize, tail.get(), tailSize);
    const BYTE* end = nullptr;
    for (DWORD at = tailSize - kEndSize + 1; at-- > 0;) {
        if (Read32(tail.get() + at) == kEndSignature && at + kEndSize + Read16(tail.get() + at + 20) == tailSize) {
            end = tail.get() + at;
            break;
        }
    }
    if (!end) ThrowCorrupt(L"Not a zip archive: no end of %s found", archive);
    ULONGLONG endOffset = m_length - tailSize + static_cast<ULONGLONG>(end - tail.get());
    WORD entriesHere = Read16(end + 8);
    WORD entryCount = Read16(end + 10);
    DWORD directorySize = Read32(end + 12);
    m_centralDirectoryOffset = Read32(end + 16);
    if (Read16(end + 4) != 0 || Read16(end + 6) != 0 || entriesHere != entryCount) {
        ThrowCorrupt(L"Multi-part %s not supported", archive);
    }
    if (entryCount == 0xFFFF || directorySize == 0xFFFFFFFF || m_centralDirectoryOffset == 0xFFFFFFFF) {
        ThrowCorrupt(L"Zip64 %s not supported", archive);
    }
    if (m_centralDirectoryOffset + directorySize > endOffset) ThrowCorrupt(L"Central directory of %s out of bounds", archive);

    std::unique_ptr<BYTE[]> directory(new BYTE[directorySize ? directorySize : 1]);
    ReadAt(m_centralDirectoryOffset, directory.get(), directorySize);
    DWORD at = 0;
    for (WORD index = 0; index < entryCount; ++index) {
        const BYTE* header = directory.get() + at;
        if (directorySize - at < kCentralHeaderSize || Read32(header) != kCentralHeaderSignature) {
            ThrowCorrupt(L"Central directory of %s is damaged", archive);
        }
        DWORD variable = static_cast<DWORD>(Read16(header + 28)) + Read16(header + 30) + Read16(header + 32);
        if (directorySize - at - kCentralHeaderSize < variable) ThrowCorrupt(L"Central directory of %s is damaged", archive);
        CZipEntry entry;
        entry.versionMadeBy = Read16(header + 4);
        entry.flags = Read16(header + 8);
        entry.method = Read16(header + 10);
        entry.dosTime = Read16(header + 12);
        entry.dosDate = Read16(header + 14);
        entry.crc = Read32(header + 16);
        entry.compressedSize = Read32(header + 20);
        entry.uncompressedSize = Read32(header + 24);
        entry.externalAttributes = Read32(header + 38);
        entry.localHeaderOffset = Read32(header + 42);
        entry.name = DecodeName(header + kCentralHeaderSize, Read16(header + 28), (entry.flags & kFlagUtf8) != 0);
        if (static_cast<ULONGLONG>(entry.localHeaderOffset) + kLocalHeaderSize + entry.compressedSize >
            m_centralDirectoryOffset) {
            ThrowCorrupt(L"Entry %s lies outside the archive's data", entry.name);
        }
        m_entries.Add(entry);
        at += kCentralHeaderSize + variable;
    }
}

CString CZipArchive::CleanEntryName(const CString& name)
{
    CString rest = name;
    if (rest.GetLength() >= 2 && rest[1] == L':') rest = rest.Mid(2);
    CString clean;
    int start = 0;
    for (;;) {
        CString part = rest.Tokenize(L"\\/", start);
        if (start < 0) break;
        if (part == L".") continue;
        if (part == L"..") {
            clean.Empty();
            continue;
        }
        if (part.Find(L':') >= 0) return CString();
        if (!clean.IsEmpty()) clean += L'\\';
        clean += part;
    }
    return clean;
}

void CZipArchive::ExtractTo(const CString& directory)
{
    for (INT_PTR index = 0; index < m_entries.GetSize(); ++index) {
        const CZipEntry& entry = m_entries[index];
        CString clean = CleanEntryName(entry.name);
        if (clean.IsEmpty()) {
            Trace(L"Skipping the entry %s: no usable name", entry.name);
            continue;
        }
        CString path = directory + L"\\" + clean;
        if (entry.IsDirectory()) {
            if (!CreateDirectories(path)) Trace(L"Cannot create the directory %s", path);
            continue;
        }
        CreateDirectories(ParentPath(path));
        ExtractFile(entry, path);
    }
}

void CZipArchive::ExtractFile(const CZipEntry& entry, const CString& path)
{
    if (entry.flags & kFlagEncrypted) ThrowCorrupt(L"Entry %s is encrypted", entry.name);
    if (entry.method != kStored && entry.method != kDeflated) ThrowCorrupt(L"Entry %s has an unknown method", entry.name);
    if (entry.method == kStored && entry.compressedSize != entry.uncompressedSize) {
        ThrowCorrupt(L"Stored entry %s has sizes that differ", entry.name);
    }

    BYTE header[kLocalHeaderSize];
    ReadAt(entry.localHeaderOffset, header, kLocalHeaderSize);
    if (Read32(header) != kLocalHeaderSignature) ThrowCorrupt(L"Entry %s has no local header", entry.name);
    ULONGLONG dataOffset = static_cast<ULONGLONG>(entry.localHeaderOffset) + kLocalHeaderSize + Read16(header + 26) +
                           Read16(header + 28);
    ULONGLONG dataEnd = dataOffset + entry.compressedSize;
    if (dataEnd > m_centralDirectoryOffset) ThrowCorrupt(L"Entry %s runs past the archive's data", entry.name);
    if (entry.flags & kFlagDescriptor) {
        BYTE descriptor[16] = {};
        DWORD available = static_cast<DWORD>(m_centralDirectoryOffset - dataEnd < 16 ? m_centralDirectoryOffset - dataEnd : 16);
        if (available < 12) ThrowCorrupt(L"Entry %s lacks its data descriptor", entry.name);
        ReadAt(dataEnd, descriptor, available);
        const BYTE* values = descriptor;
        if (Read32(descriptor) == kDescriptorSignature && available == 16) values += 4;
        if (Read32(values) != entry.crc || Read32(values + 4) != entry.compressedSize ||
            Read32(values + 8) != entry.uncompressedSize) {
            ThrowCorrupt(L"Data descriptor of %s disagrees with the directory", entry.name);
        }
    }

    HANDLE handle = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        Trace(L"Cannot create %s; entry skipped", path);
        return;
    }
    PartialFile file(path, handle);
    if (!m_input) m_input.reset(new BYTE[kReadBlock]);
    if (!m_output) m_output.reset(new BYTE[kOutputBlock]);
    BYTE* input = m_input.get();
    BYTE* output = m_output.get();

    ULONGLONG position = dataOffset;
    DWORD left = entry.compressedSize;
    DWORD produced = 0;
    uLong crc = crc32(0, nullptr, 0);
    if (entry.method == kStored) {
        while (left > 0) {
            DWORD count = left < kOutputBlock ? left : kOutputBlock;
            ReadAt(position, output, count);
            position += count;
            left -= count;
            crc = crc32(crc, output, count);
            if (!file.Write(output, count)) {
                Trace(L"Cannot write %s; entry skipped", path);
                return;
            }
        }
        produced = entry.compressedSize;
    } else {
        Inflater inflater;
        int status = Z_OK;
        while (status != Z_STREAM_END) {
            inflater->next_out = output;
            inflater->avail_out = kOutputBlock;
            while (status != Z_STREAM_END && inflater->avail_out > 0) {
                if (inflater->avail_in == 0) {
                    if (left == 0) ThrowCorrupt(L"Entry %s is truncated", entry.name);
                    DWORD count = left < kReadBlock ? left : kReadBlock;
                    ReadAt(position, input, count);
                    position += count;
                    left -= count;
                    inflater->next_in = input;
                    inflater->avail_in = count;
                }
                status = inflate(inflater.Get(), Z_NO_FLUSH);
                if (status != Z_OK && status != Z_STREAM_END) ThrowCorrupt(L"Entry %s holds damaged data", entry.name);
            }
            DWORD count = kOutputBlock - inflater->avail_out;
            if (count > entry.uncompressedSize - produced) ThrowCorrupt(L"Entry %s is longer than recorded", entry.name);
            produced += count;
            crc = crc32(crc, output, count);
            if (!file.Write(output, count)) {
                Trace(L"Cannot write %s; entry skipped", path);
                return;
            }
        }
        if (left != 0 || inflater->avail_in != 0) ThrowCorrupt(L"Entry %s has data past its end", entry.name);
    }
    if (produced != entry.uncompressedSize) ThrowCorrupt(L"Entry %s is shorter than recorded", entry.name);
    if (crc != entry.crc) ThrowCorrupt(L"Entry %s fails its CRC check", entry.name);

    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(1980 + (entry.dosDate >> 9));
    local.wMonth = static_cast<WORD>((entry.dosDate >> 5) & 0x0F);
    local.wDay = static_cast<WORD>(entry.dosDate & 0x1F);
    local.wHour = static_cast<WORD>(entry.dosTime >> 11);
    local.wMinute = static_cast<WORD>((entry.dosTime >> 5) & 0x3F);
    local.wSecond = static_cast<WORD>((entry.dosTime & 0x1F) * 2);
    FILETIME localTime;
    FILETIME universalTime;
    if (SystemTimeToFileTime(&local, &localTime) && LocalFileTimeToFileTime(&localTime, &universalTime)) {
        SetFileTime(file.Get(), &universalTime, &universalTime, &universalTime);
    }
    file.Keep();
    DWORD attributes = entry.GetFileAttributes() & ~FILE_ATTRIBUTE_DIRECTORY;
    SetFileAttributesW(path, attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}
