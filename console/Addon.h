#pragma once

#include <windows.h>

#include "core/Object.h"
#include "core/String.h"

// One tool of the catalogue: an add-on library the console embeds, or an outside program it starts.
class Addon : public System::Object {
public:
    Addon(const System::String& id, const System::String& name, const System::String& category,
          const System::String& description, const System::String& imageFileName,
          const System::String& moduleFileName, const System::String& downloadUrl, bool external);
    // Frees the library when the launcher loaded one.
    ~Addon() override;
    Addon(const Addon&) = delete;
    Addon& operator=(const Addon&) = delete;

    System::String GetId() const { return id_; }
    System::String GetName() const { return name_; }
    System::String GetCategory() const { return category_; }
    System::String GetDescription() const { return description_; }
    System::String GetImageFileName() const { return imageFileName_; }
    System::String GetModuleFileName() const { return moduleFileName_; }
    System::String GetDownloadUrl() const { return downloadUrl_; }
    bool IsExternal() const { return external_; }
    // -1 until the tool's dialog exists; then the dialog window's outer size as created.
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }

private:
    System::String id_;
    System::String name_;
    System::String category_;
    System::String description_;
    System::String imageFileName_;
    System::String moduleFileName_;
    System::String downloadUrl_;
    bool external_;
    HMODULE module_ = nullptr;
    int width_ = -1;
    int height_ = -1;
};
