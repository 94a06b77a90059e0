#pragma once

#include <string>

namespace TestSupport {

// A new, empty folder under the temporary folder; it and everything in it go with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    // Path of name inside the folder.
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
    // Writes bytes to a file inside the folder and returns its path.
    std::wstring WriteFile(const std::wstring& name, const std::string& bytes) const;
    std::string ReadFile(const std::wstring& name) const;

private:
    std::wstring path_;
};

// Deletes a folder and everything below it, without following links.
void DeleteTree(const std::wstring& path);

}  // namespace TestSupport
