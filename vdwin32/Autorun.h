#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/Array.h"
#include "core/Object.h"
#include "core/Stream.h"
#include "core/String.h"
#include "vdwin32/Vdwin32Api.h"

namespace Vela {
namespace Win32 {
namespace Autoruns {

// One registration that makes the system start a program. It keeps everything needed to write
// the registration back, so it can be removed and registered again; deleting the object never
// touches the system.
class VDWIN32_API AutorunEntry : public System::Object {
public:
    ~AutorunEntry() override;
    AutorunEntry(const AutorunEntry&) = delete;
    AutorunEntry& operator=(const AutorunEntry&) = delete;

    // Writes the registration to its location, replacing one of the same name.
    virtual void Register() = 0;
    // Removes the registration from its location; one that is already gone is not an error.
    virtual void Unregister() = 0;
    // Writes one self-delimiting record at the stream's position, so records can follow one
    // another in one stream.
    virtual void SerializeObject(System::IO::Stream* stream) = 0;
    // Reads one record written by SerializeObject; the caller owns the result. A truncated or
    // malformed record raises a library exception (IOException, FormatException,
    // NotSupportedException) without allocating what its lengths announce.
    static AutorunEntry* DeserializeObject(System::IO::Stream* stream);

    System::String GetDomain() const { return domain_; }
    System::String GetName() const { return name_; }
    // Empty when the program file cannot be determined.
    System::String GetImagePath() const { return imagePath_; }
    System::String GetCommandLineW() const { return commandLine_; }

protected:
    AutorunEntry(const System::String& domain, const System::String& name, const System::String& imagePath,
                 const System::String& commandLine);

    // Kinds of record, written after the format version.
    enum RecordKind { RegistryValueRecord = 1, ShortcutRecord = 2, FolderFileRecord = 3 };
    // Frames the kind-specific body as version, kind, length, common texts and body.
    void WriteRecord(System::IO::Stream* stream, int kind, const std::vector<uint8_t>& body) const;

private:
    System::String domain_;
    System::String name_;
    System::String imagePath_;
    System::String commandLine_;
};

// A program started by a string value of a registry key (Run, or one Winlogon value).
class VDWIN32_API RegistryAutorunEntry : public AutorunEntry {
public:
    // root is HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER; view is 0, KEY_WOW64_64KEY or
    // KEY_WOW64_32KEY; valueKind is REG_SZ or REG_EXPAND_SZ.
    RegistryAutorunEntry(const System::String& domain, HKEY root, const System::String& subKey, REGSAM view,
                         const System::String& valueName, uint32_t valueKind, const System::String& data);

    void Register() override;
    void Unregister() override;
    void SerializeObject(System::IO::Stream* stream) override;

    HKEY GetRoot() const { return root_; }
    System::String GetSubKey() const { return subKey_; }
    REGSAM GetView() const { return view_; }
    uint32_t GetValueKind() const { return valueKind_; }
    // The value's data as stored, before %variables% are expanded.
    System::String GetData() const { return data_; }

private:
    HKEY root_;
    System::String subKey_;
    REGSAM view_;
    uint32_t valueKind_;
    System::String data_;
};

// What a shell link holds, enough to create it again.
struct ShortcutData {
    System::String targetPath;
    System::String arguments;
    System::String workingDirectory;
    System::String description;
    System::String iconPath;
    int32_t iconIndex = 0;
    int32_t showCommand = SW_SHOWNORMAL;
};

// A shortcut (.lnk) in a Startup folder; its name is the file name without ".lnk".
class VDWIN32_API ShortcutAutorunEntry : public AutorunEntry {
public:
    ShortcutAutorunEntry(const System::String& domain, const System::String& folder, const System::String& fileName,
                         const ShortcutData& link);

    // Reads the shortcut at folder\fileName through the shell; raises COMException or
    // Win32Exception when it cannot be read.
    static ShortcutAutorunEntry* FromFile(const System::String& domain, const System::String& folder,
                                          const System::String& fileName);

    void Register() override;
    void Unregister() override;
    void SerializeObject(System::IO::Stream* stream) override;

    System::String GetFolder() const { return folder_; }
    System::String GetFileName() const { return fileName_; }
    const ShortcutData& GetShortcut() const { return link_; }

private:
    System::String folder_;
    System::String fileName_;
    ShortcutData link_;
};

// Any other file placed in a Startup folder (a program or script). Its bytes are taken before
// Unregister deletes it, so Register can write it back.
class VDWIN32_API FolderFileAutorunEntry : public AutorunEntry {
public:
    // Larger files are refused by Unregister and SerializeObject rather than lost.
    static constexpr int64_t MaxKeptLength = 16 * 1024 * 1024;

    FolderFileAutorunEntry(const System::String& domain, const System::String& folder, const System::String& fileName);

    void Register() override;
    void Unregister() override;
    void SerializeObject(System::IO::Stream* stream) override;

    System::String GetFolder() const { return folder_; }
    System::String GetFileName() const { return fileName_; }

private:
    friend class AutorunEntry;
    FolderFileAutorunEntry(const System::String& domain, const System::String& folder, const System::String& fileName,
                           std::vector<uint8_t> content);
    // Reads the file into content_ unless that was done before.
    void KeepContent();

    System::String folder_;
    System::String fileName_;
    bool contentKept_ = false;
    std::vector<uint8_t> content_;
};

// One place the system reads registrations from, labelled with the domain its entries carry.
struct AutorunLocation {
    enum Kind {
        // Every string value of a key.
        RegistryKeyValues,
        // One named string value of a key.
        RegistryValue,
        // Every file of a folder but desktop.ini.
        Folder,
    };
    Kind kind = RegistryKeyValues;
    System::String domain;
    HKEY root = nullptr;
    System::String subKey;
    REGSAM view = 0;
    System::String valueName;
    System::String folder;
};

// A named group of registration locations.
class VDWIN32_API Autorun : public System::Object {
public:
    Autorun(const System::String& name, std::vector<AutorunLocation> locations);

    // The library's group for name; only "Logon" exists: the Run keys of the machine (and its
    // 32-bit view on a 64-bit system) and of the user, the Winlogon Shell and Userinit values,
    // and the common and per-user Startup folders. Owned by the library. Another name raises
    // ArgumentException.
    static Autorun* GetAutorun(const System::String& name);

    // Every registration of the group, location by location; the caller owns each element.
    // A missing key or folder has none; other failures raise.
    virtual System::Array<AutorunEntry*> GetEntries();

    System::String GetName() const { return name_; }
    const std::vector<AutorunLocation>& GetLocations() const { return locations_; }

private:
    System::String name_;
    std::vector<AutorunLocation> locations_;
};

// The program file a command line starts: the quoted first part, or else the longest run of
// space-separated words that names an existing file (also tried with ".exe"), searched on the
// system's path when it has no folder. %variables% are expanded first. When nothing exists, the
// first word; empty for an empty line.
VDWIN32_API System::String ImagePathFromCommandLine(const System::String& commandLine);

}  // namespace Autoruns
}  // namespace Win32
}  // namespace Vela
