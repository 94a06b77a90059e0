#pragma once

#include "core/Dictionary.h"
#include "core/String.h"

// The version-resource texts of one file (CompanyName, Comments, FileVersion, ...).
class CVersion {
public:
    explicit CVersion(const System::String& path);

    // Reads the texts of the file's first translation; a key missing under that code page is
    // looked up under code pages 1250 to 1258 with the same language. False, with nothing
    // stored, when the file cannot be read or has no version resource or translation table.
    bool Load();
    // The stored text for key, or empty.
    System::String GetFileVersionInfoText(const System::String& key) const;

    const System::String& GetPath() const { return path_; }

private:
    System::String path_;
    System::Dictionary<System::String, System::String> texts_;
};
