#pragma once

#include <cstdint>

#include "core/Object.h"
#include "core/Stream.h"
#include "core/String.h"
#include "vdwin32/Autorun.h"

// One program that Windows starts at logon, as the startup manager shows it. It owns its
// registration object.
class StartupEntry : public System::Object {
public:
    StartupEntry(const System::String& domain, const System::String& name, const System::String& manufacturer,
                 const System::String& description, int32_t rating, const System::String& commandLine,
                 const System::String& imagePath, int32_t enabled, Vela::Win32::Autoruns::AutorunEntry* autorunEntry);
    ~StartupEntry() override;
    StartupEntry(const StartupEntry&) = delete;
    StartupEntry& operator=(const StartupEntry&) = delete;

    // Builds the entry and its texts from the program's version information; takes ownership
    // of entry, also when it raises.
    static StartupEntry* FromAutorunEntry(Vela::Win32::Autoruns::AutorunEntry* entry, int32_t enabled);
    // One record: Int32 enabled, then the registration's own record.
    static StartupEntry* Deserialize(System::IO::Stream* stream);
    void Serialize(System::IO::Stream* stream) const;

    // enabled := 0, then the registration leaves the system.
    int Disable();
    // The registration is written back, then enabled := 1.
    int Enable();
    // The registration leaves the system; the flag stays.
    int Remove();
    // The registration is written back; the flag stays.
    int Reinstate();

    // Same program file and same registration name (ordinal).
    static bool IsSameEntry(const StartupEntry* a, const StartupEntry* b);
    // The column text of a rating (-3 to 2); empty for any other value.
    static System::String GetRatingText(int32_t rating);

    System::String GetDomain() const { return domain_; }
    System::String GetName() const { return name_; }
    System::String GetManufacturer() const { return manufacturer_; }
    System::String GetDescription() const { return description_; }
    int32_t GetRating() const { return rating_; }
    System::String GetRatingText() const { return GetRatingText(rating_); }
    bool IsEssential() const { return rating_ == 2; }
    System::String GetCommandLineW() const { return commandLine_; }
    System::String GetImagePath() const { return imagePath_; }
    int32_t GetEnabled() const { return enabled_; }
    Vela::Win32::Autoruns::AutorunEntry* GetAutorunEntry() const { return autorunEntry_; }

    void SetRating(int32_t rating) { rating_ = rating; }
    void SetDescription(const System::String& description) { description_ = description; }
    // Only the flag; the registration is left as it is.
    void SetEnabled(int32_t enabled) { enabled_ = enabled; }
    // Copies rating and description from the program information table when it knows the name.
    void ApplyProgramInfo();

private:
    System::String domain_;
    System::String name_;
    System::String manufacturer_;
    System::String description_;
    int32_t rating_;
    System::String commandLine_;
    System::String imagePath_;
    int32_t enabled_;
    Vela::Win32::Autoruns::AutorunEntry* autorunEntry_;
};
