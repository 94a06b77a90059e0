#pragma once

#include <windows.h>

#include <string>

#include "html/HtmlApi.h"

namespace Html {

// Supplies the bytes of a page's style sheets and images, named by their path relative to the
// page ("css/style.css", "images/arrow_left.gif").
class HTML_API ResourceLoader {
public:
    virtual ~ResourceLoader() = default;
    // False when there is no such resource.
    virtual bool Load(const std::wstring& path, std::string& bytes) = 0;
};

// RT_HTML resources of a module, named by relative path; the page itself has a numeric id.
class HTML_API ModuleResourceLoader : public ResourceLoader {
public:
    explicit ModuleResourceLoader(HMODULE module) : module_(module) {}
    bool Load(const std::wstring& path, std::string& bytes) override;
    // The page resource; false when the module has none with that id.
    bool LoadPage(UINT id, std::string& bytes) const;

private:
    HMODULE module_;
};

// Files relative to a folder.
class HTML_API FileResourceLoader : public ResourceLoader {
public:
    explicit FileResourceLoader(std::wstring folder) : folder_(std::move(folder)) {}
    bool Load(const std::wstring& path, std::string& bytes) override;

private:
    std::wstring folder_;
};

// Reads a whole file. False when it does not exist; other failures throw Win32Exception.
HTML_API bool ReadWholeFile(const std::wstring& path, std::string& bytes);

// Resolves a reference against the path of the resource that made it ("../images/a.gif" from
// "css/style.css" gives "images/a.gif"). file:// addresses and absolute ones stay as they are.
HTML_API std::wstring ResolveUrl(const std::wstring& base, const std::wstring& reference);

// Loads a resolved address: file:// addresses from disk, anything else through the loader.
HTML_API bool LoadUrl(ResourceLoader& loader, const std::wstring& url, std::string& bytes);

}  // namespace Html
