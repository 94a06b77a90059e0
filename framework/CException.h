#pragma once

#include <windows.h>

#include "framework/CObject.h"
#include "framework/CString.h"
#include "framework/FrameworkApi.h"

// Base of the framework's exceptions. They are thrown as heap objects (throw new ...), caught as
// CException* and released by the catcher with Delete(), never with delete.
class VTFRAMEWORK_API CException : public CObject {
public:
    explicit CException(BOOL autoDelete = TRUE);
    ~CException() override = 0;

    // Frees the object unless it is a shared one that must outlive the catch.
    void Delete();
    // Copies a description of the error, truncated to maxError characters with the zero; FALSE when
    // there is none.
    virtual BOOL GetErrorMessage(LPWSTR error, UINT maxError, PUINT helpContext = nullptr) const;

    BOOL m_bAutoDelete;

protected:
    static BOOL CopyMessage(LPCWSTR message, LPWSTR error, UINT maxError, PUINT helpContext);
};

// Out of memory. AfxThrowMemoryException throws one shared object, since allocating a new one could
// fail too; Delete() leaves it alone.
class VTFRAMEWORK_API CMemoryException : public CException {
public:
    explicit CMemoryException(BOOL autoDelete = TRUE) : CException(autoDelete) {}
    BOOL GetErrorMessage(LPWSTR error, UINT maxError, PUINT helpContext = nullptr) const override;
};

// An operation was stopped on purpose; the thrower has already reported what went wrong, if anything.
class VTFRAMEWORK_API CUserException : public CException {
public:
    explicit CUserException(BOOL autoDelete = TRUE) : CException(autoDelete) {}
};

// An argument, index or position a framework operation cannot accept.
class VTFRAMEWORK_API CInvalidArgException : public CException {
public:
    explicit CInvalidArgException(BOOL autoDelete = TRUE) : CException(autoDelete) {}
    BOOL GetErrorMessage(LPWSTR error, UINT maxError, PUINT helpContext = nullptr) const override;
};

// A failed file operation: its cause, the operating system's error code (-1 when there is none) and
// the file's name.
class VTFRAMEWORK_API CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG osError = -1, LPCWSTR fileName = nullptr);
    BOOL GetErrorMessage(LPWSTR error, UINT maxError, PUINT helpContext = nullptr) const override;

    // The cause that an operating-system error code stands for.
    static int OsErrorToException(LONG osError);
    // Throws the file exception for an operating-system error code; a code of 0 still throws, as a
    // generic failure, because it is only ever passed for an operation that failed.
    [[noreturn]] static void ThrowOsError(LONG osError, LPCWSTR fileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

[[noreturn]] VTFRAMEWORK_API void AfxThrowFileException(int cause, LONG osError = -1, LPCWSTR fileName = nullptr);
[[noreturn]] VTFRAMEWORK_API void AfxThrowUserException();
[[noreturn]] VTFRAMEWORK_API void AfxThrowMemoryException();
[[noreturn]] VTFRAMEWORK_API void AfxThrowInvalidArgException();
