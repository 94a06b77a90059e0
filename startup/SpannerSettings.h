#pragma once

#include <cstdint>

#include "core/String.h"

// "velaspanner.cfg": the startup manager window's one Int32 setting.
class SpannerSettings {
public:
    // The file in a data folder.
    static System::String PathIn(const System::String& dataFolder);
    // The stored value; 0 for a missing, empty or damaged file (any length but four bytes).
    static int32_t Read(const System::String& path);
    // Writes the value whole beside the file, then puts it in the file's place.
    static void Write(const System::String& path, int32_t value);
};
