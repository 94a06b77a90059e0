#pragma once

#include <windows.h>

#include <memory>

#include "framework/CArray.h"
#include "framework/CString.h"
#include "core/UniqueResource.h"

// One entry of a zip archive's central directory.
struct CZipEntry {
    CString name;
    WORD versionMadeBy = 0;
    WORD flags = 0;
    WORD method = 0;
    WORD dosTime = 0;
    WORD dosDate = 0;
    DWORD crc = 0;
    DWORD compressedSize = 0;
    DWORD uncompressedSize = 0;
    DWORD externalAttributes = 0;
    DWORD localHeaderOffset = 0;

    BOOL IsDirectory() const;
    // The file attributes the entry carries, from MS-DOS or Unix style external attributes.
    DWORD GetFileAttributes() const;
};

// A zip archive on disk, read on zlib's inflate: stored and deflated entries, data descriptors and
// UTF-8 names. Every entry's data is checked against its sizes and CRC.
class CZipArchive {
public:
    // Reads the central directory; raises CFileException when the file cannot be opened and
    // CUserException when the archive is not a well-formed single-part zip archive.
    explicit CZipArchive(const CString& path);

    INT_PTR GetEntryCount() const { return m_entries.GetSize(); }
    const CZipEntry& GetEntry(INT_PTR index) const { return m_entries[index]; }

    // Unpacks every entry under directory, in archive order. An entry whose file cannot be created
    // or written is skipped. Corrupt data raises CUserException and leaves no file for that entry.
    void ExtractTo(const CString& directory);

    // The entry name made safe to join to a directory: drive prefix, leading separators, "." parts
    // and everything up to the last ".." part are dropped, separators become "\". Empty when
    // nothing is left or a part holds a colon (a stream or device name).
    static CString CleanEntryName(const CString& name);

private:
    void ReadCentralDirectory();
    void ExtractFile(const CZipEntry& entry, const CString& path);
    // Reads exactly count bytes at offset, or raises CUserException.
    void ReadAt(ULONGLONG offset, void* buffer, DWORD count);

    System::UniqueHandle m_file;
    ULONGLONG m_length = 0;
    // The file pointer's offset, so that reads in order need no seek.
    ULONGLONG m_position = 0;
    // Where the central directory starts: every entry's data must end before it.
    ULONGLONG m_centralDirectoryOffset = 0;
    CArray<CZipEntry> m_entries;
    std::unique_ptr<BYTE[]> m_input;
    std::unique_ptr<BYTE[]> m_output;
};
