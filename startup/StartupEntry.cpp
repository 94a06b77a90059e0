#include "startup/StartupEntry.h"

#include <memory>

#include "core/BinaryReader.h"
#include "core/BinaryWriter.h"
#include "core/FileInfo.h"
#include "startup/CVersion.h"
#include "startup/StartupEntryInfo.h"
#include "startup/StartupTexts.h"

using System::String;
using Vela::Win32::Autoruns::AutorunEntry;

namespace {

// Version resources left at a project template's placeholder say nothing about the program.
String UnlessPlaceholder(const String& text, const String& name) { return text.Contains(L"TODO:") ? name : text; }

}  // namespace

StartupEntry::StartupEntry(const String& domain, const String& name, const String& manufacturer,
                           const String& description, int32_t rating, const String& commandLine,
                           const String& imagePath, int32_t enabled, AutorunEntry* autorunEntry)
    : domain_(domain), name_(name), manufacturer_(manufacturer), description_(description), rating_(rating),
      commandLine_(commandLine), imagePath_(imagePath), enabled_(enabled), autorunEntry_(autorunEntry)
{
}

StartupEntry::~StartupEntry() { delete autorunEntry_; }

StartupEntry* StartupEntry::FromAutorunEntry(AutorunEntry* entry, int32_t enabled)
{
    std::unique_ptr<AutorunEntry> owned(entry);
    if (!entry) throw new System::ArgumentNullException(L"entry");
    String name = entry->GetName();
    String commandLine = entry->GetCommandLineW();
    String imagePath = entry->GetImagePath();
    CVersion version(imagePath);
    // A damaged stored record may hold a NUL in its path, which names no file at all.
    bool exists = !imagePath.IsEmpty() && imagePath.IndexOf(L'\0') < 0 && System::IO::FileInfo(imagePath).Exists();

    String manufacturer;
    String description;
    if (exists && version.Load()) {
        manufacturer = UnlessPlaceholder(version.GetFileVersionInfoText(L"CompanyName"), name);
        description = UnlessPlaceholder(version.GetFileVersionInfoText(L"Comments"), name);
    } else if (exists) {
        manufacturer = name;
        description = name;
    } else {
        manufacturer = StartupTexts::Unspecified;
        description = StartupTexts::MissingEntry;
        commandLine = StartupTexts::MissingEntry;
    }
    auto* result = new StartupEntry(entry->GetDomain(), name, manufacturer, description, -3, commandLine, imagePath,
                                    enabled, entry);
    owned.release();
    return result;
}

StartupEntry* StartupEntry::Deserialize(System::IO::Stream* stream)
{
    System::IO::BinaryReader reader(stream);
    int32_t enabled = reader.ReadInt32();
    return FromAutorunEntry(AutorunEntry::DeserializeObject(stream), enabled);
}

void StartupEntry::Serialize(System::IO::Stream* stream) const
{
    System::IO::BinaryWriter writer(stream);
    writer.WriteInt32(enabled_);
    autorunEntry_->SerializeObject(stream);
}

int StartupEntry::Disable()
{
    enabled_ = 0;
    autorunEntry_->Unregister();
    return 0;
}

int StartupEntry::Enable()
{
    autorunEntry_->Register();
    enabled_ = 1;
    return 0;
}

int StartupEntry::Remove()
{
    autorunEntry_->Unregister();
    return 0;
}

int StartupEntry::Reinstate()
{
    autorunEntry_->Register();
    return 0;
}

bool StartupEntry::IsSameEntry(const StartupEntry* a, const StartupEntry* b)
{
    return a->imagePath_ == b->imagePath_ && a->name_ == b->name_;
}

String StartupEntry::GetRatingText(int32_t rating)
{
    switch (rating) {
    case -3:
        return StartupTexts::Unspecified;
    case -2:
        return L"매우 위험";
    case -1:
        return L"위험";
    case 0:
        return L"보통";
    case 1:
        return L"안전";
    case 2:
        return L"필수";
    default:
        return String();
    }
}

void StartupEntry::ApplyProgramInfo()
{
    const StartupEntryInfo* info = ProgramInfoTable::Find(name_);
    if (!info) return;
    rating_ = info->GetRating();
    description_ = info->GetDescription();
}
