#pragma once

#include <windows.h>

#include "framework/CException.h"
#include "framework/CObject.h"
#include "framework/CString.h"
#include "framework/FrameworkApi.h"

// A file opened through the operating system. Every failed operation raises CFileException with
// the cause and the operating system's error code; only Open reports failure by its result.
class VTFRAMEWORK_API CFile : public CObject {
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        // Without a share flag the file is opened exclusively.
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        // Keeps the handle out of child processes, which otherwise inherit it.
        modeNoInherit = 0x0080,
        // Creates the file, emptying an existing one unless modeNoTruncate is given too.
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        // Accepted for compatibility; a CFile is always binary.
        typeBinary = 0x8000
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

    // The value of m_hFile while no file is open.
    static const HANDLE hFileNull;

    CFile();
    // Opens the file or raises CFileException.
    CFile(LPCWSTR fileName, UINT openFlags);
    // Closes an open file; a failure to close is not reported here.
    ~CFile() override;

    // FALSE when the file cannot be opened; error, when given, then receives the cause, the
    // operating system's error code and the name. An open file is closed first.
    virtual BOOL Open(LPCWSTR fileName, UINT openFlags, CFileException* error = nullptr);
    // Returns the number of bytes read: fewer than count at the end of the file, 0 past it.
    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    // Returns the new position from the start of the file.
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin();
    ULONGLONG SeekToEnd();
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    // Cuts or extends the file; the position moves to the new length.
    virtual void SetLength(ULONGLONG newLength);
    virtual void Flush();
    virtual void Close();
    // Closes without raising anything.
    virtual void Abort();
    // The full path of the open file.
    virtual CString GetFilePath() const;

    static void Remove(LPCWSTR fileName);
    static void Rename(LPCWSTR oldName, LPCWSTR newName);

    HANDLE m_hFile;

protected:
    CString m_strFileName;

private:
    void CheckOpen() const;
};
