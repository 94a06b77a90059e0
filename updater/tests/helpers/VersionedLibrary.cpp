#include <windows.h>

// Only the version resource matters; the export keeps the library from being empty.
extern "C" __declspec(dllexport) int VersionedLibraryMarker() { return 1; }
