#include "framework/CException.h"

#include <cwchar>

CException::CException(BOOL autoDelete) : m_bAutoDelete(autoDelete) {}

CException::~CException() = default;

void CException::Delete()
{
    if (m_bAutoDelete) delete this;
}

BOOL CException::GetErrorMessage(LPWSTR error, UINT maxError, PUINT helpContext) const
{
    if (helpContext) *helpContext = 0;
    if (error && maxError > 0) *error = L'\0';
    return FALSE;
}

BOOL CException::CopyMessage(LPCWSTR message, LPWSTR error, UINT maxError, PUINT helpContext)
{
    if (helpContext) *helpContext = 0;
    if (!error || maxError == 0) return FALSE;
    size_t count = wcslen(message);
    if (count >= maxError) count = maxError - 1;
    wmemcpy(error, message, count);
    error[count] = L'\0';
    return TRUE;
}

BOOL CMemoryException::GetErrorMessage(LPWSTR error, UINT maxError, PUINT helpContext) const
{
    return CopyMessage(L"Out of memory.", error, maxError, helpContext);
}

BOOL CInvalidArgException::GetErrorMessage(LPWSTR error, UINT maxError, PUINT helpContext) const
{
    return CopyMessage(L"An argument was not valid.", error, maxError, helpContext);
}

namespace {

struct OsErrorCause {
    DWORD osError;
    int cause;
};

// The classic library's reading of the operating system's error codes.
const OsErrorCause osErrorCauses[] = {
    {NO_ERROR, CFileException::none},
    {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
    {ERROR_PATH_NOT_FOUND, CFileException::badPath},
    {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
    {ERROR_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_INVALID_HANDLE, CFileException::fileNotFound},
    {ERROR_BAD_FORMAT, CFileException::invalidFile},
    {ERROR_INVALID_ACCESS, CFileException::accessDenied},
    {ERROR_INVALID_DRIVE, CFileException::badPath},
    {ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
    {ERROR_NOT_SAME_DEVICE, CFileException::badPath},
    {ERROR_NO_MORE_FILES, CFileException::fileNotFound},
    {ERROR_WRITE_PROTECT, CFileException::accessDenied},
    {ERROR_BAD_UNIT, CFileException::hardIO},
    {ERROR_NOT_READY, CFileException::hardIO},
    {ERROR_BAD_COMMAND, CFileException::hardIO},
    {ERROR_CRC, CFileException::hardIO},
    {ERROR_BAD_LENGTH, CFileException::badSeek},
    {ERROR_SEEK, CFileException::badSeek},
    {ERROR_NOT_DOS_DISK, CFileException::invalidFile},
    {ERROR_SECTOR_NOT_FOUND, CFileException::badSeek},
    {ERROR_WRITE_FAULT, CFileException::accessDenied},
    {ERROR_READ_FAULT, CFileException::badSeek},
    {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
    {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
    {ERROR_WRONG_DISK, CFileException::badPath},
    {ERROR_SHARING_BUFFER_EXCEEDED, CFileException::tooManyOpenFiles},
    {ERROR_HANDLE_EOF, CFileException::endOfFile},
    {ERROR_HANDLE_DISK_FULL, CFileException::diskFull},
    {ERROR_DUP_NAME, CFileException::badPath},
    {ERROR_BAD_NETPATH, CFileException::badPath},
    {ERROR_NETWORK_BUSY, CFileException::accessDenied},
    {ERROR_DEV_NOT_EXIST, CFileException::badPath},
    {ERROR_ADAP_HDW_ERR, CFileException::hardIO},
    {ERROR_BAD_NET_RESP, CFileException::accessDenied},
    {ERROR_UNEXP_NET_ERR, CFileException::hardIO},
    {ERROR_BAD_REM_ADAP, CFileException::invalidFile},
    {ERROR_NO_SPOOL_SPACE, CFileException::directoryFull},
    {ERROR_NETNAME_DELETED, CFileException::accessDenied},
    {ERROR_NETWORK_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_BAD_NET_NAME, CFileException::badPath},
    {ERROR_TOO_MANY_NAMES, CFileException::tooManyOpenFiles},
    {ERROR_SHARING_PAUSED, CFileException::badPath},
    {ERROR_REQ_NOT_ACCEP, CFileException::accessDenied},
    {ERROR_FILE_EXISTS, CFileException::accessDenied},
    {ERROR_CANNOT_MAKE, CFileException::accessDenied},
    {ERROR_ALREADY_ASSIGNED, CFileException::badPath},
    {ERROR_INVALID_PASSWORD, CFileException::accessDenied},
    {ERROR_NET_WRITE_FAULT, CFileException::hardIO},
    {ERROR_DISK_CHANGE, CFileException::fileNotFound},
    {ERROR_DRIVE_LOCKED, CFileException::lockViolation},
    {ERROR_BUFFER_OVERFLOW, CFileException::badPath},
    {ERROR_DISK_FULL, CFileException::diskFull},
    {ERROR_NO_MORE_SEARCH_HANDLES, CFileException::tooManyOpenFiles},
    {ERROR_INVALID_TARGET_HANDLE, CFileException::invalidFile},
    {ERROR_INVALID_CATEGORY, CFileException::hardIO},
    {ERROR_INVALID_NAME, CFileException::badPath},
    {ERROR_INVALID_LEVEL, CFileException::badPath},
    {ERROR_NO_VOLUME_LABEL, CFileException::badPath},
    {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
    {ERROR_SEEK_ON_DEVICE, CFileException::badSeek},
    {ERROR_DIR_NOT_ROOT, CFileException::badPath},
    {ERROR_DIR_NOT_EMPTY, CFileException::removeCurrentDir},
    {ERROR_LABEL_TOO_LONG, CFileException::badPath},
    {ERROR_BAD_PATHNAME, CFileException::badPath},
    {ERROR_LOCK_FAILED, CFileException::lockViolation},
    {ERROR_BUSY, CFileException::accessDenied},
    {ERROR_INVALID_ORDINAL, CFileException::invalidFile},
    {ERROR_ALREADY_EXISTS, CFileException::accessDenied},
    {ERROR_INVALID_EXE_SIGNATURE, CFileException::invalidFile},
    {ERROR_BAD_EXE_FORMAT, CFileException::invalidFile},
    {ERROR_FILENAME_EXCED_RANGE, CFileException::badPath},
    {ERROR_META_EXPANSION_TOO_LONG, CFileException::badPath},
    {ERROR_DIRECTORY, CFileException::badPath},
    {ERROR_OPERATION_ABORTED, CFileException::hardIO},
    {ERROR_IO_INCOMPLETE, CFileException::hardIO},
    {ERROR_IO_PENDING, CFileException::hardIO},
    {ERROR_SWAPERROR, CFileException::accessDenied},
};

LPCWSTR CauseText(int cause)
{
    switch (cause) {
    case CFileException::none: return L"No error occurred";
    case CFileException::fileNotFound: return L"The file was not found";
    case CFileException::badPath: return L"All or part of the path is not valid";
    case CFileException::tooManyOpenFiles: return L"Too many files are open";
    case CFileException::accessDenied: return L"Access to the file was denied";
    case CFileException::invalidFile: return L"The file handle is not valid";
    case CFileException::removeCurrentDir: return L"The current directory cannot be removed";
    case CFileException::directoryFull: return L"There is no room left in the directory";
    case CFileException::badSeek: return L"The file position could not be set";
    case CFileException::hardIO: return L"A hardware error occurred";
    case CFileException::sharingViolation: return L"The file is in use by another process";
    case CFileException::lockViolation: return L"A locked region of the file was accessed";
    case CFileException::diskFull: return L"The disk is full";
    case CFileException::endOfFile: return L"The end of the file was reached";
    default: return L"The file operation failed";
    }
}

CMemoryException& SharedMemoryException()
{
    static CMemoryException exception(FALSE);
    return exception;
}

}  // namespace

CFileException::CFileException(int cause, LONG osError, LPCWSTR fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
}

BOOL CFileException::GetErrorMessage(LPWSTR error, UINT maxError, PUINT helpContext) const
{
    CString message = CauseText(m_cause);
    if (!m_strFileName.IsEmpty()) message += L": " + m_strFileName;
    if (m_lOsError > 0) message.AppendFormat(L" (error %ld)", m_lOsError);
    return CopyMessage(message, error, maxError, helpContext);
}

int CFileException::OsErrorToException(LONG osError)
{
    for (const OsErrorCause& entry : osErrorCauses) {
        if (entry.osError == static_cast<DWORD>(osError)) return entry.cause;
    }
    return genericException;
}

void CFileException::ThrowOsError(LONG osError, LPCWSTR fileName)
{
    int cause = osError == NO_ERROR ? genericException : OsErrorToException(osError);
    AfxThrowFileException(cause, osError, fileName);
}

void AfxThrowFileException(int cause, LONG osError, LPCWSTR fileName)
{
    throw new CFileException(cause, osError, fileName);
}

void AfxThrowUserException() { throw new CUserException; }

void AfxThrowMemoryException() { throw &SharedMemoryException(); }

void AfxThrowInvalidArgException() { throw new CInvalidArgException; }
