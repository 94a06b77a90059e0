#include "framework/CFile.h"

#include <utility>
#include <vector>

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

CFile::CFile() : m_hFile(INVALID_HANDLE_VALUE) {}

CFile::CFile(LPCWSTR fileName, UINT openFlags) : m_hFile(INVALID_HANDLE_VALUE)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error)) AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile() { CFile::Abort(); }

BOOL CFile::Open(LPCWSTR fileName, UINT openFlags, CFileException* error)
{
    if (m_hFile != INVALID_HANDLE_VALUE) Abort();
    auto fail = [&](DWORD osError) {
        if (error) {
            error->m_cause = CFileException::OsErrorToException(static_cast<LONG>(osError));
            error->m_lOsError = static_cast<LONG>(osError);
            error->m_strFileName = fileName;
        }
        return FALSE;
    };

    DWORD access = 0;
    switch (openFlags & 0x3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default: return fail(ERROR_INVALID_PARAMETER);
    }
    DWORD share = 0;
    switch (openFlags & 0x70) {
    case shareCompat:
    case shareExclusive: share = 0; break;
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: return fail(ERROR_INVALID_PARAMETER);
    }
    DWORD creation = OPEN_EXISTING;
    if (openFlags & modeCreate) creation = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    if (!fileName || !*fileName) return fail(ERROR_PATH_NOT_FOUND);
    DWORD needed = GetFullPathNameW(fileName, 0, nullptr, nullptr);
    if (needed == 0) return fail(GetLastError());
    std::vector<wchar_t> fullPath(needed);
    DWORD length = GetFullPathNameW(fileName, needed, fullPath.data(), nullptr);
    if (length == 0 || length >= needed) return fail(length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE);

    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, (openFlags & modeNoInherit) == 0};
    HANDLE file = CreateFileW(fullPath.data(), access, share, &security, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return fail(GetLastError());
    m_hFile = file;
    m_strFileName = CString(fullPath.data(), static_cast<int>(length));
    return TRUE;
}

void CFile::CheckOpen() const
{
    if (m_hFile == INVALID_HANDLE_VALUE) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE);
}

UINT CFile::Read(void* buffer, UINT count)
{
    CheckOpen();
    if (count == 0) return 0;
    if (!buffer) AfxThrowInvalidArgException();
    DWORD read = 0;
    if (!ReadFile(m_hFile, buffer, count, &read, nullptr)) CFileException::ThrowOsError(GetLastError(), m_strFileName);
    return read;
}

void CFile::Write(const void* buffer, UINT count)
{
    CheckOpen();
    if (count == 0) return;
    if (!buffer) AfxThrowInvalidArgException();
    DWORD written = 0;
    if (!WriteFile(m_hFile, buffer, count, &written, nullptr)) {
        CFileException::ThrowOsError(GetLastError(), m_strFileName);
    }
    if (written != count) AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    CheckOpen();
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile, distance, &position, from)) {
        CFileException::ThrowOsError(GetLastError(), m_strFileName);
    }
    return static_cast<ULONGLONG>(position.QuadPart);
}

void CFile::SeekToBegin() { Seek(0, begin); }

ULONGLONG CFile::SeekToEnd() { return Seek(0, end); }

ULONGLONG CFile::GetPosition() const
{
    CheckOpen();
    LARGE_INTEGER distance = {};
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile, distance, &position, FILE_CURRENT)) {
        CFileException::ThrowOsError(GetLastError(), m_strFileName);
    }
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    CheckOpen();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size)) CFileException::ThrowOsError(GetLastError(), m_strFileName);
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG newLength)
{
    Seek(static_cast<LONGLONG>(newLength), begin);
    if (!SetEndOfFile(m_hFile)) CFileException::ThrowOsError(GetLastError(), m_strFileName);
}

void CFile::Flush()
{
    if (m_hFile == INVALID_HANDLE_VALUE) return;
    if (!FlushFileBuffers(m_hFile)) CFileException::ThrowOsError(GetLastError(), m_strFileName);
}

void CFile::Close()
{
    bool failed = false;
    DWORD osError = NO_ERROR;
    if (m_hFile != INVALID_HANDLE_VALUE && !CloseHandle(m_hFile)) {
        failed = true;
        osError = GetLastError();
    }
    m_hFile = INVALID_HANDLE_VALUE;
    CString name(std::move(m_strFileName));
    if (failed) CFileException::ThrowOsError(static_cast<LONG>(osError), name);
}

void CFile::Abort()
{
    if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFileName.Empty();
}

CString CFile::GetFilePath() const { return m_strFileName; }

void CFile::Remove(LPCWSTR fileName)
{
    if (!DeleteFileW(fileName ? fileName : L"")) CFileException::ThrowOsError(GetLastError(), fileName);
}

void CFile::Rename(LPCWSTR oldName, LPCWSTR newName)
{
    if (!MoveFileW(oldName ? oldName : L"", newName ? newName : L"")) {
        CFileException::ThrowOsError(GetLastError(), oldName);
    }
}
