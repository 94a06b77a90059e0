#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/FileInfo.h"
#include "core/String.h"
#include "startup/BackupEntry.h"
#include "startup/StartupEntry.h"
#include "startup/StartupStore.h"

// The backup files ("*.vsb" in the store's backup folder, named by the local time of writing),
// the automatic backup, and the restore. Arrays of BackupEntry pointers handed out belong to
// the caller.
class BackupManager {
public:
    // Backups never kept beyond this many before a new one is written.
    static const int MaxKept = 10;

    explicit BackupManager(StartupStore& store);

    // Writes one backup of entries, named by the current local time (a later second when a file
    // of that name exists, so a backup never replaces another). Returns its full path.
    System::String CreateBackup(const System::String& description, const System::Array<StartupEntry*>& entries);
    // A zero-length file is an empty backup. A damaged file stops the read with the library's
    // exception (the partly read backup is destroyed).
    BackupEntry* LoadBackupFile(const System::String& fileName, const System::String& fullPath);
    // Every backup file, oldest first (by name); empty when the folder does not exist.
    System::Array<BackupEntry*> LoadBackups();
    // Makes room before a new backup: with more than MaxKept files the oldest one is deleted.
    // Creates the folder when it is missing.
    void PruneBackups();
    // Same length, and every entry of a has a partner in b (StartupEntry::IsSameEntry).
    static bool SameEntrySet(const System::Array<StartupEntry*>& a, const System::Array<StartupEntry*>& b);
    // True when the newest backup holds the same set as current; otherwise appends to changes
    // "<name> 추가" for each current entry it lacks and "<name> 삭제" for each it has in excess,
    // separated by ", ".
    bool CompareWithLatestBackup(const System::Array<StartupEntry*>& current, System::String& changes);
    // Backs up every startup entry when the set differs from the newest backup, or when force
    // is set; the change list is appended to description after ": ". Returns 0.
    int AutoBackup(const System::String& description, bool force);
    // Replaces the current set with backup's: every current registration is removed, the
    // backup's enabled entries are registered again, and its disabled ones become the store.
    // Without a backup nothing changes and false is returned.
    bool RestoreBackup(const BackupEntry* backup);

private:
    System::Array<System::IO::FileInfo> ListBackupFiles() const;

    StartupStore& store_;
};

// Destroys every backup of an array.
void DestroyBackups(const System::Array<BackupEntry*>& backups);
