#pragma once

#include "core/CoreApi.h"

// Starts the library for the calling (user-interface) thread: COM in a single-threaded apartment.
// Calls nest; each needs its PoFinalize.
VAPCORE_API void PoInitialize();
// Ends what the matching PoInitialize started; the last one also closes every trace listener,
// so that log files are complete when the program ends.
VAPCORE_API void PoFinalize();
