#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/Object.h"
#include "core/String.h"

// One module loaded in a process: its full path and base name.
class ProcessModuleInfo : public System::Object {
public:
    ProcessModuleInfo(const System::String& path, const System::String& name) : path_(path), name_(name) {}
    const System::String& GetPath() const { return path_; }
    const System::String& GetName() const { return name_; }

private:
    System::String path_;
    System::String name_;
};

// The modules of the process, empty when it cannot be opened; the caller deletes the entries.
System::Array<ProcessModuleInfo*> GetProcessModules(uint32_t processId);
