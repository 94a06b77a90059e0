#pragma once

#include <cstdint>

#include "core/DateTime.h"
#include "core/String.h"

// vaaxm.cfg: the reference time (Int64 ticks at offset 0) and the flag that stops the note after a
// change (Int32 at offset 8), little-endian.
class AxmSettings {
public:
    // "vaaxm.cfg" in the suite's data folder.
    static System::String GetDefaultPath();

    // The stored time; now when the file holds none (or a tick count outside the calendar).
    static System::DateTime ReadReferenceTime(const System::String& path);
    // 1 when the note is not to be shown again; 0 when the file is shorter than 9 bytes.
    static int32_t ReadNoNoteFlag(const System::String& path);
    // Stores the flag and keeps the reference time (eight zero bytes in a new file). The file is
    // written whole beside the old one and then replaces it.
    static void WriteNoNoteFlag(const System::String& path, int32_t flag);
};
