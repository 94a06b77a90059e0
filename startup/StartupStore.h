#pragma once

#include <functional>
#include <vector>

#include "core/Application.h"
#include "core/Array.h"
#include "core/List.h"
#include "core/String.h"
#include "startup/StartupEntry.h"
#include "vdwin32/Autorun.h"

// The startup programs of one autorun group and the disabled-entry store that keeps the
// registrations of disabled ones ("disabledentry.vsd" in the data folder). Lists of
// StartupEntry pointers handed out belong to the caller, who destroys the entries.
class StartupStore {
public:
    // The production store lives in the suite's data folder and lists the "Logon" group; tests
    // pass their own folder and group. The group is not owned.
    explicit StartupStore(const System::String& dataFolder = System::Application::GetCommonAppDataPath(),
                          Vela::Win32::Autoruns::Autorun* autorun = Vela::Win32::Autoruns::Autorun::GetAutorun(L"Logon"));

    const System::String& GetDataFolder() const { return dataFolder_; }
    System::String GetStorePath() const;
    System::String GetBackupFolder() const;

    // The registered entries under category followed by the disabled ones under it.
    System::Array<StartupEntry*> GetStartupEntries(const System::String& category);
    // Appends the registered entries under category, never the Winlogon Shell or Userinit
    // value, with program information applied.
    void AddListedEntries(const System::String& category, System::List<StartupEntry*>& list);
    // Appends the stored disabled entries under category, except those registered again (same
    // program file and name, StartupEntry::IsSameEntry) among the entries already in list; a
    // disabled entry that merely shares its program with an active one stays listed, so the
    // next store rewrite cannot drop it. A damaged record stops the read with
    // the library's exception; the entries appended before it stay in list.
    void AddDisabledEntries(const System::String& category, System::List<StartupEntry*>& list);
    // Replaces the store with exactly entries, in order. The new store is written beside the old
    // one and takes its place only when complete, so a failed write leaves the old one intact.
    void SaveDisabledEntries(const System::List<StartupEntry*>& entries);

    // Rewrites the store from what the window's list shows (entries under category, essential
    // programs left out when hideEssential is set): its disabled entries replace the stored
    // ones it shows, and stored entries it does not show are kept unchanged.
    void SaveStoreFromList(const System::List<StartupEntry*>& shown, const System::String& category,
                           bool hideEssential);
    // Disables one shown entry. The store holds it before its registration leaves the system,
    // so a failure at any step never loses the registration.
    void DisableEntry(StartupEntry* entry, const System::List<StartupEntry*>& shown, const System::String& category,
                      bool hideEssential);
    // Enables one shown entry: the registration is written back, then the store is rewritten.
    void EnableEntry(StartupEntry* entry, const System::List<StartupEntry*>& shown, const System::String& category,
                     bool hideEssential);
    // Deletes the shown entries at indexes, from the highest index down: an enabled entry's
    // registration is removed, a disabled one is dropped from the store; then it leaves shown,
    // removedRow is told its index, and it is destroyed. A failure leaves that entry in shown.
    void DeleteEntries(System::List<StartupEntry*>& shown, std::vector<int> indexes, const System::String& category,
                       bool hideEssential, const std::function<void(int)>& removedRow = nullptr);

private:
    // Every stored record with program information applied. With tolerant set, a damaged
    // record is traced and the records before it are returned.
    System::List<StartupEntry*> ReadStore(bool tolerant);

    System::String dataFolder_;
    Vela::Win32::Autoruns::Autorun* autorun_;
};

// Destroys every entry of a list or array of StartupEntry pointers.
template <class Entries>
void DestroyEntries(const Entries& entries)
{
    for (StartupEntry* entry : entries) delete entry;
}
