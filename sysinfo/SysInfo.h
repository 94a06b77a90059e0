#pragma once

#include <windows.h>

#include <cstdint>

#include "core/String.h"

// The summary values that come in one pass: operating system, processor, memory and user. One
// object per collection; nothing refreshes later.
class CSysInfo {
public:
    // Operating system, processor, memory, then user. A value whose source fails stays empty (or
    // 0) and the others are still read.
    void Collect();

    // Names the system from a version record, as Collect does with the running system's.
    void SetOperatingSystem(const OSVERSIONINFOEXW& record);

    bool IsNT() const { return isNT_; }
    const System::String& GetOSName() const { return osName_; }
    int GetMajor() const { return major_; }
    int GetMinor() const { return minor_; }
    int GetBuild() const { return build_; }
    // 0 to 9.
    int GetServicePack() const { return servicePack_; }
    const System::String& GetProcessorName() const { return processorName_; }
    uint64_t GetTotalPhysicalMemory() const { return totalPhysical_; }
    uint64_t GetTotalPageFile() const { return totalPageFile_; }
    const System::String& GetUserNameText() const { return userName_; }

    // "<name> Build <build> <major>.<minor>".
    System::String GetOSText() const;
    // The processor name without its leading blanks.
    System::String GetProcessorText() const;

private:
    void CollectOperatingSystem();
    void CollectProcessor();
    void CollectMemory();
    void CollectUserName();

    bool isNT_ = false;
    System::String osName_;
    int major_ = 0;
    int minor_ = 0;
    int build_ = 0;
    int servicePack_ = 0;
    System::String processorName_;
    uint64_t totalPhysical_ = 0;
    uint64_t totalPageFile_ = 0;
    System::String userName_;
};
