#include "startup/BackupEntry.h"

#include "startup/StartupStore.h"

BackupEntry::BackupEntry(const System::String& fileName, const System::String& fullPath)
    : fileName_(fileName), fullPath_(fullPath), entries_(32)
{
}

BackupEntry::~BackupEntry() { DestroyEntries(entries_); }

System::String BackupEntry::GetTimeText() const
{
    return System::String::Format(L"%4d-%02d-%02d %02d시 %02d분 %02d초", time_.GetYear(), time_.GetMonth(),
                                  time_.GetDay(), time_.GetHour(), time_.GetMinute(), time_.GetSecond());
}
