#pragma once

#include <cstdint>

#include "core/Object.h"
#include "core/String.h"

// What the information server says about one program, keyed by its registration name.
class StartupEntryInfo : public System::Object {
public:
    StartupEntryInfo(const System::String& name, int32_t rating, const System::String& description)
        : name_(name), rating_(rating), description_(description)
    {
    }

    System::String GetName() const { return name_; }
    int32_t GetRating() const { return rating_; }
    System::String GetDescription() const { return description_; }

private:
    System::String name_;
    int32_t rating_;
    System::String description_;
};

// The process-wide table of program information, by name (ordinal). It owns its entries.
class ProgramInfoTable {
public:
    // Stores info under its name; an earlier entry of that name is destroyed, so the last wins.
    static void Add(StartupEntryInfo* info);
    // Null when the table holds nothing for name.
    static const StartupEntryInfo* Find(const System::String& name);
    static int GetCount();
    // Destroys every entry.
    static void Clear();
};
