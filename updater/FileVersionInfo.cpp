#include "updater/FileVersionInfo.h"

#include <memory>

#include "core/UniqueResource.h"
#include "framework/CException.h"

CFileVersionInfo::CFileVersionInfo(const CString& path)
{
    System::UniqueHandle file(CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    m_exists = file.IsValid() || GetLastError() == ERROR_ACCESS_DENIED;
    if (!m_exists) return;
    file.Reset();

    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return;
    std::unique_ptr<BYTE[]> block(new BYTE[size]);
    if (!GetFileVersionInfoW(path, 0, size, block.get())) AfxThrowUserException();

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.get(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) ||
        length < sizeof(Translation)) {
        AfxThrowUserException();
    }
    CString query;
    query.Format(L"\\StringFileInfo\\%04X%04X\\FileVersion", translations[0].language, translations[0].codePage);
    LPWSTR version = nullptr;
    if (VerQueryValueW(block.get(), query, reinterpret_cast<void**>(&version), &length) && version) {
        m_fileVersion = version;
    }
}
