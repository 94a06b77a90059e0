#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testing/TempFolder.h"

namespace FrameworkTesting {

// A copy of the running test program with resources the test adds, loaded as a data file, to be
// made the framework's current resource module.
class TestResourceModule {
public:
    TestResourceModule() : path_(folder_ / L"resources.dll") {}
    ~TestResourceModule()
    {
        if (module_) FreeLibrary(module_);
    }
    TestResourceModule(const TestResourceModule&) = delete;
    TestResourceModule& operator=(const TestResourceModule&) = delete;

    void Add(LPCWSTR type, UINT id, std::vector<BYTE> data) { resources_.push_back({type, id, std::move(data)}); }

    // Writes the resources into the copy and loads it; null (with a test failure) when that fails.
    HINSTANCE Load()
    {
        wchar_t program[MAX_PATH];
        DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
        if (length == 0 || length == MAX_PATH || !CopyFileW(program, path_.c_str(), FALSE)) {
            ADD_FAILURE() << "cannot copy the test program, error " << GetLastError();
            return nullptr;
        }
        HANDLE update = BeginUpdateResourceW(path_.c_str(), FALSE);
        if (!update) {
            ADD_FAILURE() << "BeginUpdateResource failed, error " << GetLastError();
            return nullptr;
        }
        for (auto& resource : resources_) {
            if (!UpdateResourceW(update, resource.type, MAKEINTRESOURCEW(resource.id), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                 resource.data.data(), static_cast<DWORD>(resource.data.size()))) {
                ADD_FAILURE() << "UpdateResource failed, error " << GetLastError();
                EndUpdateResourceW(update, TRUE);
                return nullptr;
            }
        }
        if (!EndUpdateResourceW(update, FALSE)) {
            ADD_FAILURE() << "EndUpdateResource failed, error " << GetLastError();
            return nullptr;
        }
        module_ = LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module_) ADD_FAILURE() << "cannot load the resource copy, error " << GetLastError();
        return module_;
    }

private:
    struct Resource {
        LPCWSTR type;
        UINT id;
        std::vector<BYTE> data;
    };

    TestSupport::TempFolder folder_;
    std::wstring path_;
    std::vector<Resource> resources_;
    HMODULE module_ = nullptr;
};

// A bitmap resource (header and pixels, no file header) of one colour, 24 bits per pixel.
inline std::vector<BYTE> SolidBitmapResource(int width, int height, COLORREF color)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    std::vector<BYTE> data(sizeof header + stride * static_cast<size_t>(height));
    std::memcpy(data.data(), &header, sizeof header);
    for (int row = 0; row < height; ++row) {
        BYTE* pixel = data.data() + sizeof header + stride * static_cast<size_t>(row);
        for (int column = 0; column < width; ++column, pixel += 3) {
            pixel[0] = GetBValue(color);
            pixel[1] = GetGValue(color);
            pixel[2] = GetRValue(color);
        }
    }
    return data;
}

// Builds a menu template: Popup opens a sub-menu, Item adds a command (id 0 and no text: a
// separator), End closes the current level.
class MenuTemplate {
public:
    MenuTemplate()
    {
        Word(0);
        Word(0);
    }

    MenuTemplate& Popup(const std::wstring& text, bool last = false)
    {
        Word(MF_POPUP | (last ? MF_END : 0));
        Text(text);
        return *this;
    }
    MenuTemplate& Item(UINT id, const std::wstring& text, bool last = false)
    {
        Word(last ? MF_END : 0);
        Word(id);
        Text(text);
        return *this;
    }
    std::vector<BYTE> Bytes() const { return bytes_; }

private:
    void Word(UINT value)
    {
        bytes_.push_back(static_cast<BYTE>(value & 0xFF));
        bytes_.push_back(static_cast<BYTE>((value >> 8) & 0xFF));
    }
    void Text(const std::wstring& text)
    {
        for (wchar_t character : text) Word(character);
        Word(0);
    }

    std::vector<BYTE> bytes_;
};

}  // namespace FrameworkTesting
