#include "startup/BackupManager.h"

#include <windows.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

#include "core/BinaryReader.h"
#include "core/BinaryWriter.h"
#include "core/DirectoryInfo.h"
#include "core/ExceptionGuard.h"
#include "core/FileInfo.h"
#include "core/FileStream.h"
#include "core/WholeFile.h"

using System::Array;
using System::String;
using System::IO::FileStream;

namespace {

const int Share = System::IO::FileShare::Delete;

String TimeName(__time64_t time)
{
    tm local = {};
    if (_localtime64_s(&local, &time) != 0) throw new System::ArgumentOutOfRangeException(L"The clock's time cannot be converted.");
    wchar_t text[32] = {};
    wcsftime(text, sizeof text / sizeof text[0], L"%Y%m%d%H%M%S", &local);
    return text;
}

bool Exists(const String& path) { return GetFileAttributesW(path.GetBuffer()) != INVALID_FILE_ATTRIBUTES; }

bool HasPartner(StartupEntry* entry, const Array<StartupEntry*>& others)
{
    for (StartupEntry* other : others)
        if (StartupEntry::IsSameEntry(entry, other)) return true;
    return false;
}

void AppendChange(String& changes, const String& name, const wchar_t* what)
{
    if (!changes.IsEmpty()) changes += L", ";
    changes += name + what;
}

}  // namespace

BackupManager::BackupManager(StartupStore& store) : store_(store) {}

String BackupManager::CreateBackup(const String& description, const Array<StartupEntry*>& entries)
{
    String folder = store_.GetBackupFolder();
    System::IO::DirectoryInfo(folder).Create();
    __time64_t now = _time64(nullptr);
    String path;
    do {
        path = folder + L"\\" + TimeName(now++) + L".vsb";
    } while (Exists(path));

    // A half-written backup would be taken for the newest one, and would stop every later read.
    System::IO::WriteFileWhole(path, [&](System::IO::Stream& file) {
        System::IO::BinaryWriter writer(&file);
        writer.WriteInt64(System::DateTime::GetNow().GetTicks());
        writer.Write(description);
        writer.WriteInt32(entries.GetLength());
        for (StartupEntry* entry : entries) entry->Serialize(&file);
    });
    return path;
}

BackupEntry* BackupManager::LoadBackupFile(const String& fileName, const String& fullPath)
{
    std::unique_ptr<BackupEntry> backup(new BackupEntry(fileName, fullPath));
    FileStream file(fullPath, System::IO::FileMode::Open, System::IO::FileAccess::Read, Share, 4096);
    if (file.GetLength() != 0) {
        System::IO::BinaryReader reader(&file);
        int64_t ticks = reader.ReadInt64();
        if (ticks < 0 || ticks > System::DateTime::MaxTicks)
            throw new System::FormatException(String::Format(L"%s holds the time %I64d.", fullPath.GetBuffer(), ticks));
        backup->SetTime(System::DateTime(ticks, System::DateTime::Utc));
        backup->SetDescription(reader.ReadString());
        int32_t count = reader.ReadInt32();
        if (count < 0)
            throw new System::FormatException(String::Format(L"%s announces %d records.", fullPath.GetBuffer(), count));
        for (int32_t i = 0; i < count; ++i) backup->GetEntries().Add(StartupEntry::Deserialize(&file));
    }
    return backup.release();
}

Array<System::IO::FileInfo> BackupManager::ListBackupFiles() const
{
    System::IO::DirectoryInfo folder(store_.GetBackupFolder());
    if (!folder.Exists()) return Array<System::IO::FileInfo>();
    Array<System::IO::FileInfo> files = folder.GetFiles(L"*.vsb");
    // Names are timestamps; sorting makes the order oldest first on every file system.
    std::vector<System::IO::FileInfo> sorted(files.begin(), files.end());
    std::sort(sorted.begin(), sorted.end(), [](const System::IO::FileInfo& a, const System::IO::FileInfo& b) {
        return String::Compare(a.GetName(), b.GetName(), true) < 0;
    });
    return Array<System::IO::FileInfo>(std::move(sorted));
}

Array<BackupEntry*> BackupManager::LoadBackups()
{
    std::vector<std::unique_ptr<BackupEntry>> loaded;
    for (const System::IO::FileInfo& file : ListBackupFiles())
        loaded.emplace_back(LoadBackupFile(file.GetName(), file.GetFullName()));
    std::vector<BackupEntry*> backups;
    for (auto& backup : loaded) backups.push_back(backup.release());
    return Array<BackupEntry*>(std::move(backups));
}

void BackupManager::PruneBackups()
{
    System::IO::DirectoryInfo folder(store_.GetBackupFolder());
    if (!folder.Exists()) {
        folder.Create();
        return;
    }
    Array<System::IO::FileInfo> files = ListBackupFiles();
    if (files.GetLength() > MaxKept) System::IO::FileInfo(files[0].GetFullName()).Delete();
}

bool BackupManager::SameEntrySet(const Array<StartupEntry*>& a, const Array<StartupEntry*>& b)
{
    if (a.GetLength() != b.GetLength()) return false;
    for (StartupEntry* entry : a)
        if (!HasPartner(entry, b)) return false;
    return true;
}

bool BackupManager::CompareWithLatestBackup(const Array<StartupEntry*>& current, String& changes)
{
    Array<BackupEntry*> backups = LoadBackups();
    if (backups.GetLength() == 0) return false;
    bool same = false;
    try {
        Array<StartupEntry*> newest = backups[backups.GetLength() - 1]->GetEntries().ToArray();
        same = SameEntrySet(current, newest);
        if (!same) {
            for (StartupEntry* entry : current)
                if (!HasPartner(entry, newest)) AppendChange(changes, entry->GetName(), L" 추가");
            for (StartupEntry* entry : newest)
                if (!HasPartner(entry, current)) AppendChange(changes, entry->GetName(), L" 삭제");
        }
    } catch (...) {
        DestroyBackups(backups);
        throw;
    }
    DestroyBackups(backups);
    return same;
}

int BackupManager::AutoBackup(const String& description, bool force)
{
    Array<StartupEntry*> entries = store_.GetStartupEntries(L"Logon");
    try {
        String changes;
        if (!CompareWithLatestBackup(entries, changes) || force) {
            PruneBackups();
            CreateBackup(changes.IsEmpty() ? description : description + L": " + changes, entries);
        }
    } catch (...) {
        DestroyEntries(entries);
        throw;
    }
    DestroyEntries(entries);
    return 0;
}

bool BackupManager::RestoreBackup(const BackupEntry* backup)
{
    if (!backup) return false;
    Array<StartupEntry*> current = store_.GetStartupEntries(L"Logon");
    try {
        for (StartupEntry* entry : current) entry->Remove();
    } catch (...) {
        DestroyEntries(current);
        throw;
    }
    DestroyEntries(current);
    // Every registration is attempted and the store written before a failure is reported, so
    // one bad entry does not cost the others.
    System::ExceptionHolder firstFailure;
    System::List<StartupEntry*> disabled(32);
    for (StartupEntry* entry : backup->GetEntries()) {
        if (entry->GetEnabled() != 1) {
            disabled.Add(entry);
            continue;
        }
        try {
            entry->Reinstate();
        } catch (System::Exception* caught) {
            System::ExceptionHolder failure(caught);
            System::Diagnostics::Trace::WriteLine(L"Restoring " + entry->GetName() + L": " + failure->ToString());
            if (!firstFailure) firstFailure = std::move(failure);
        }
    }
    store_.SaveDisabledEntries(disabled);
    if (firstFailure) throw firstFailure.release();
    return true;
}

void DestroyBackups(const Array<BackupEntry*>& backups)
{
    for (BackupEntry* backup : backups) delete backup;
}
