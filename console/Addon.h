#pragma once

#include <windows.h>

#include "core/Object.h"
#include "core/String.h"
#include "core/UniqueResource.h"

class CWnd;

// One tool of the catalogue: an add-on library the console embeds, or an outside program it starts.
class Addon : public System::Object {
public:
    Addon(const System::String& id, const System::String& name, const System::String& category,
          const System::String& description, const System::String& imageFileName,
          const System::String& moduleFileName, const System::String& downloadUrl, bool external);
    // Deletes the tool's dialog, then frees its library: the dialog's code lives in that library.
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

    // The add-on library's dialog, made by its VtCreateDialog export with parent as owner on the
    // first call and kept for the rest of the run. InvalidOperationException for an outside
    // program; Win32Exception when the library cannot be loaded (the next call tries again), or
    // when it has no VtCreateDialog or that made no window (the library stays loaded).
    CWnd* GetDialog(CWnd* parent);
    // The library and the dialog made so far; null before GetDialog loaded or made them.
    HMODULE GetModule() const { return module_.Get(); }
    CWnd* GetCreatedDialog() const { return dialog_; }

    // Whether the outside program's file, with environment references expanded, exists.
    bool IsInstalled() const;
    // Starts the outside program through the shell; InvalidOperationException for an add-on library.
    void Run() const;
    // Opens the outside program's download address; InvalidOperationException for an add-on library.
    void OpenDownloadPage() const;

private:
    void RequireExternal(const wchar_t* operation) const;
    System::String GetExpandedModulePath() const;

    System::String id_;
    System::String name_;
    System::String category_;
    System::String description_;
    System::String imageFileName_;
    System::String moduleFileName_;
    System::String downloadUrl_;
    bool external_;
    System::UniqueLibrary module_;
    CWnd* dialog_ = nullptr;
    int width_ = -1;
    int height_ = -1;
};
