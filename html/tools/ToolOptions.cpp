#include "html/tools/ToolOptions.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

bool ToolOptions::Parse(int argc, wchar_t** argv, size_t fileCount, const wchar_t* usage)
{
    for (int index = 1; index < argc; ++index) {
        std::wstring argument = argv[index];
        if ((argument == L"--width" || argument == L"--height") && index + 1 < argc) {
            wchar_t* end = nullptr;
            long value = wcstol(argv[++index], &end, 10);
            if (*end != 0 || value <= 0 || value > 16384) {
                fwprintf(stderr, L"Not a size in pixels: %ls\n%ls\n", argv[index], usage);
                return false;
            }
            (argument == L"--width" ? width : height) = static_cast<int>(value);
        } else if (argument.compare(0, 2, L"--") == 0) {
            fwprintf(stderr, L"Unknown option %ls\n%ls\n", argument.c_str(), usage);
            return false;
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() != fileCount) {
        fwprintf(stderr, L"%ls\n", usage);
        return false;
    }
    return true;
}

ComApartment::ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComApartment::~ComApartment()
{
    if (ok_) CoUninitialize();
}
