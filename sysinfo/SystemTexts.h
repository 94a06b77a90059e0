#pragma once

#include <cstdint>

#include "core/String.h"

// Single display values of the system summary. Each gives an empty text when its source fails.

// "<x>.<y> GB" from 1 GiB up, else "<x>.<y> MB".
System::String FormatSize(uint64_t bytes);
System::String GetComputerNameText();
System::String GetWindowsFolder();
System::String GetSystemFolder();
// The English country name of the current keyboard layout's language.
System::String GetKeyboardCountry();
// The name of the system's default language.
System::String GetSystemLanguage();
// The display adapters' names joined with "\t\n".
System::String GetDisplayAdapters();
