#include "startup/StartupStore.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "core/BinaryReader.h"
#include "core/BinaryWriter.h"
#include "core/ExceptionGuard.h"
#include "core/FileStream.h"
#include "core/Trace.h"
#include "core/WholeFile.h"
#include "core/Win32Exception.h"

using System::List;
using System::String;
using System::IO::FileStream;
using Vela::Win32::Autoruns::AutorunEntry;

namespace {

const int Share = System::IO::FileShare::Delete;

// Owns the entries of a list until they are handed over.
struct EntryListGuard {
    List<StartupEntry*>& list;
    ~EntryListGuard() { DestroyEntries(list); }
};

int32_t ReadCount(System::IO::BinaryReader& reader, const String& path)
{
    int32_t count = reader.ReadInt32();
    if (count < 0)
        throw new System::FormatException(String::Format(L"%s announces %d records.", path.GetBuffer(), count));
    return count;
}

}  // namespace

StartupStore::StartupStore(const String& dataFolder, Vela::Win32::Autoruns::Autorun* autorun)
    : dataFolder_(dataFolder), autorun_(autorun)
{
    if (!autorun) throw new System::ArgumentNullException(L"autorun");
}

String StartupStore::GetStorePath() const { return dataFolder_ + L"\\disabledentry.vsd"; }

String StartupStore::GetBackupFolder() const { return dataFolder_ + L"\\backup"; }

System::Array<StartupEntry*> StartupStore::GetStartupEntries(const String& category)
{
    List<StartupEntry*> list(32);
    try {
        AddListedEntries(category, list);
        AddDisabledEntries(category, list);
    } catch (...) {
        DestroyEntries(list);
        throw;
    }
    return list.ToArray();
}

void StartupStore::AddListedEntries(const String& category, List<StartupEntry*>& list)
{
    System::Array<AutorunEntry*> registrations = autorun_->GetEntries();
    int next = 0;
    try {
        for (; next < registrations.GetLength(); ++next) {
            AutorunEntry* registration = registrations[next];
            String domain = registration->GetDomain();
            if (domain.Contains(L"Logon.AllUser.Registry.UserInit") || domain.Contains(L"Logon.AllUser.Registry.Shell") ||
                !domain.StartsWith(category)) {
                delete registration;
                continue;
            }
            StartupEntry* entry = StartupEntry::FromAutorunEntry(registration, 1);
            entry->ApplyProgramInfo();
            list.Add(entry);
        }
    } catch (...) {
        for (int i = next + 1; i < registrations.GetLength(); ++i) delete registrations[i];
        throw;
    }
}

void StartupStore::AddDisabledEntries(const String& category, List<StartupEntry*>& list)
{
    int listed = list.GetCount();
    FileStream file(GetStorePath(), System::IO::FileMode::OpenOrCreate, System::IO::FileAccess::Read, Share, 4096);
    if (file.GetLength() == 0) return;
    System::IO::BinaryReader reader(&file);
    int32_t count = ReadCount(reader, GetStorePath());
    for (int32_t i = 0; i < count; ++i) {
        std::unique_ptr<StartupEntry> entry(StartupEntry::Deserialize(&file));
        bool registeredAgain = false;
        for (int j = 0; j < listed && !registeredAgain; ++j)
            registeredAgain = StartupEntry::IsSameEntry(list[j], entry.get());
        if (registeredAgain || !entry->GetDomain().StartsWith(category)) continue;
        entry->ApplyProgramInfo();
        list.Add(entry.release());
    }
}

List<StartupEntry*> StartupStore::ReadStore(bool tolerant)
{
    List<StartupEntry*> records(32);
    try {
        FileStream file(GetStorePath(), System::IO::FileMode::OpenOrCreate, System::IO::FileAccess::Read, Share, 4096);
        if (file.GetLength() == 0) return records;
        System::IO::BinaryReader reader(&file);
        int32_t count = ReadCount(reader, GetStorePath());
        for (int32_t i = 0; i < count; ++i) {
            StartupEntry* entry = StartupEntry::Deserialize(&file);
            entry->ApplyProgramInfo();
            records.Add(entry);
        }
    } catch (System::Exception* caught) {
        if (!tolerant) {
            DestroyEntries(records);
            throw;
        }
        System::ExceptionHolder exception(caught);
        System::Diagnostics::Trace::WriteLine(L"Keeping the readable part of " + GetStorePath() + L": " +
                                              exception->ToString());
    } catch (...) {
        DestroyEntries(records);
        throw;
    }
    return records;
}

void StartupStore::SaveDisabledEntries(const List<StartupEntry*>& entries)
{
    System::IO::WriteFileWhole(GetStorePath(), [&](System::IO::Stream& file) {
        System::IO::BinaryWriter writer(&file);
        writer.WriteInt32(entries.GetCount());
        for (StartupEntry* entry : entries) entry->Serialize(&file);
    });
}

void StartupStore::SaveStoreFromList(const List<StartupEntry*>& shown, const String& category, bool hideEssential)
{
    List<StartupEntry*> stored = ReadStore(true);
    EntryListGuard guard{stored};
    List<StartupEntry*> kept(stored.GetCount() + shown.GetCount());
    for (StartupEntry* entry : stored)
        if (!entry->GetDomain().StartsWith(category) || (hideEssential && entry->IsEssential())) kept.Add(entry);
    for (StartupEntry* entry : shown)
        if (entry->GetEnabled() == 0) kept.Add(entry);
    SaveDisabledEntries(kept);
}

void StartupStore::DisableEntry(StartupEntry* entry, const List<StartupEntry*>& shown, const String& category,
                                bool hideEssential)
{
    if (entry->GetEnabled() == 0) return;
    // Stored first: a registration that has left the system is then always in the store.
    entry->SetEnabled(0);
    try {
        SaveStoreFromList(shown, category, hideEssential);
    } catch (...) {
        entry->SetEnabled(1);
        throw;
    }
    try {
        entry->Remove();
    } catch (...) {
        entry->SetEnabled(1);
        System::TraceExceptions([&] { SaveStoreFromList(shown, category, hideEssential); });
        throw;
    }
}

void StartupStore::EnableEntry(StartupEntry* entry, const List<StartupEntry*>& shown, const String& category,
                               bool hideEssential)
{
    entry->Enable();
    SaveStoreFromList(shown, category, hideEssential);
}

void StartupStore::DeleteEntries(List<StartupEntry*>& shown, std::vector<int> indexes, const String& category,
                                 bool hideEssential, const std::function<void(int)>& removedRow)
{
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    for (auto index = indexes.rbegin(); index != indexes.rend(); ++index) {
        StartupEntry* entry = shown[*index];
        if (entry->GetEnabled() != 0) {
            entry->Remove();
            shown.RemoveAt(*index);
        } else {
            shown.RemoveAt(*index);
            try {
                SaveStoreFromList(shown, category, hideEssential);
            } catch (...) {
                shown.Insert(*index, entry);
                throw;
            }
        }
        if (removedRow) removedRow(*index);
        delete entry;
    }
}
