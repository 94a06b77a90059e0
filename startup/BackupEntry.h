#pragma once

#include "core/DateTime.h"
#include "core/List.h"
#include "core/Object.h"
#include "core/String.h"
#include "startup/StartupEntry.h"

// One backup file of the whole set of startup programs. It owns its entries.
class BackupEntry : public System::Object {
public:
    BackupEntry(const System::String& fileName, const System::String& fullPath);
    ~BackupEntry() override;
    BackupEntry(const BackupEntry&) = delete;
    BackupEntry& operator=(const BackupEntry&) = delete;

    System::String GetDescription() const { return description_; }
    void SetDescription(const System::String& description) { description_ = description; }
    System::String GetFileName() const { return fileName_; }
    System::String GetFullPath() const { return fullPath_; }
    System::DateTime GetTime() const { return time_; }
    void SetTime(const System::DateTime& time) { time_ = time; }
    // "2024-03-05 14시 07분 09초"
    System::String GetTimeText() const;
    System::List<StartupEntry*>& GetEntries() { return entries_; }
    const System::List<StartupEntry*>& GetEntries() const { return entries_; }

private:
    System::String description_;
    System::String fileName_;
    System::DateTime time_;
    System::String fullPath_;
    System::List<StartupEntry*> entries_;
};
