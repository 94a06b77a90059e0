#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "core/Array.h"
#include "core/Object.h"
#include "core/String.h"

// Input and output of one file-name query on a worker thread.
class FWHandleToNameInfo : public System::Object {
public:
    static constexpr int32_t TimedOut = static_cast<int32_t>(0xC0000001);

    explicit FWHandleToNameInfo(HANDLE handle) : handle_(handle) {}
    HANDLE GetHandle() const { return handle_; }
    int32_t GetStatus() const { return status_; }
    const System::String& GetName() const { return name_; }
    void SetResult(int32_t status, const System::String& name)
    {
        status_ = status;
        name_ = name;
    }

private:
    HANDLE handle_;
    int32_t status_ = TimedOut;
    System::String name_;
};

// Queries the name of the file behind the info's handle (the path within its volume).
void QueryFileName(FWHandleToNameInfo& info);

// Runs on a worker thread for each file handle; QueryFileName outside tests.
using FileNameQuery = std::function<void(FWHandleToNameInfo&)>;

struct HandleNameOptions {
    FileNameQuery query = QueryFileName;
    int timeoutMilliseconds = 1000;
    // Once this many queries had to be abandoned, further file handles are skipped, so a process
    // full of blocking handles cannot keep the window waiting a second for each of them.
    int maxAbandonedQueries = 5;
};

// Names of the files, directories and registry keys the process holds open, in the order of the
// system handle table. A file whose name query does not answer within the time is left out.
System::Array<System::String> GetProcessHandleNames(uint32_t processId, const HandleNameOptions& options = {});
