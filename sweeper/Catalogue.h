#pragma once

#include "core/String.h"
#include "sweeper/Sweeper.h"

// The root of the sweep tree: five categories and their items in the order the user sees them.
// The caller owns the root. "Disk.Temp" is left out when the Temp variable names a folder that
// must not be emptied (see IsSweepableTempFolder).
Sweeper* BuildCatalogue();

// False for a Temp value that is not a full path, names a drive or share root, or names any of
// the user's or the system's special folders or a folder above one of them. Paths are compared
// normalised (full path, no trailing backslash) and without regard to case.
bool IsSweepableTempFolder(const System::String& path);
