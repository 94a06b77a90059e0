#pragma once

#include <windows.h>

#include "framework/CString.h"

// Whether a file exists and the FileVersion string of its version resource.
class CFileVersionInfo {
public:
    // Raises CUserException when the file has a version resource that cannot be read or that has
    // no translation table.
    explicit CFileVersionInfo(const CString& path);

    // True when the file opens for no access, or when opening it is refused.
    BOOL Exists() const { return m_exists; }
    // Empty when the file has no version resource or no FileVersion string.
    const CString& GetFileVersion() const { return m_fileVersion; }

private:
    BOOL m_exists = FALSE;
    CString m_fileVersion;
};
