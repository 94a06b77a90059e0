#include "installer/SuiteBinaries.h"

#include <windows.h>

namespace Setup {

namespace {

std::wstring VersionText(const std::vector<BYTE>& block, WORD language, WORD codePage, const wchar_t* name)
{
    wchar_t query[96];
    swprintf(query, 96, L"\\StringFileInfo\\%04X%04X\\%ls", language, codePage, name);
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&text), &length) || !text || length == 0)
        return std::wstring();
    // The length counts the terminating NUL when there is one.
    return std::wstring(text, wcsnlen(text, length));
}

bool HasBinaryExtension(const std::wstring& name)
{
    if (name.size() < 4) return false;
    const wchar_t* extension = name.c_str() + name.size() - 4;
    return _wcsicmp(extension, L".exe") == 0 || _wcsicmp(extension, L".dll") == 0;
}

}  // namespace

bool IsSuiteBinary(const std::wstring& path, const std::wstring& product, const std::wstring& company)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<BYTE> block(size);
    WORD* translation = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        !translation || length < 2 * sizeof(WORD))
        return false;
    return VersionText(block, translation[0], translation[1], L"ProductName") == product &&
           VersionText(block, translation[0], translation[1], L"CompanyName") == company;
}

std::vector<std::wstring> RemoveSuiteBinariesIn(const std::wstring& folder, const std::wstring& product,
                                                const std::wstring& company)
{
    std::vector<std::wstring> kept;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return kept;
    do {
        std::wstring name = found.cFileName;
        // Links and folders are never followed or removed.
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        if (!HasBinaryExtension(name)) continue;
        std::wstring path = folder + L"\\" + name;
        if (IsSuiteBinary(path, product, company) && !DeleteFileW(path.c_str())) kept.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return kept;
}

}  // namespace Setup
