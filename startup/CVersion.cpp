#include "startup/CVersion.h"

#include <windows.h>

#include <vector>

using System::String;

namespace {

const wchar_t* const Keys[] = {L"CompanyName",     L"Comments",         L"FileVersion", L"InternalName",
                               L"LegalCopyright", L"OriginalFilename", L"ProductName", L"ProductVersion"};

bool QueryText(const std::vector<uint8_t>& block, int language, int codePage, const wchar_t* key, String& text)
{
    String query = String::Format(L"\\StringFileInfo\\%04X%04X\\%s", language, codePage, key);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query.GetBuffer(), &value, &length) || !value) return false;
    const wchar_t* characters = static_cast<const wchar_t*>(value);
    int count = 0;
    while (count < static_cast<int>(length) && characters[count] != L'\0') ++count;
    text = String(characters, count);
    return true;
}

}  // namespace

CVersion::CVersion(const String& path) : path_(path), texts_(16) {}

bool CVersion::Load()
{
    texts_.Clear();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path_.GetBuffer(), &ignored);
    if (size == 0) return false;
    std::vector<uint8_t> block(size);
    if (!GetFileVersionInfoW(path_.GetBuffer(), 0, size, block.data())) return false;

    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) || !value ||
        length < sizeof(Translation))
        return false;
    Translation first = *static_cast<const Translation*>(value);

    for (const wchar_t* key : Keys) {
        String text;
        bool found = QueryText(block, first.language, first.codePage, key, text);
        for (int codePage = 1250; !found && codePage <= 1258; ++codePage)
            found = QueryText(block, first.language, codePage, key, text);
        if (found) texts_.Set(key, text);
    }
    return true;
}

String CVersion::GetFileVersionInfoText(const String& key) const
{
    String text;
    texts_.TryGetValue(key, text);
    return text;
}
