#pragma once

#include <windows.h>

// What a test add-on tells the host's tests about the dialog objects it made. Each test add-on
// compiles AddonProbe.cpp, so every library counts for itself.
namespace AddonProbe {

// Called by the test dialogs' constructors, destructors and OnInitDialog.
void DialogConstructed();
void DialogDestroyed();
void RecordResourceHandleAtInit();

}  // namespace AddonProbe

// Looked up by the tests with GetProcAddress.
extern "C" {
__declspec(dllexport) LONG AddonProbeConstructed();
__declspec(dllexport) LONG AddonProbeDestroyed();
// Also counts destructions into *counter, which outlives the library.
__declspec(dllexport) void AddonProbeWatchDestruction(LONG* counter);
// The framework's resource handle while the last dialog was initialised.
__declspec(dllexport) HINSTANCE AddonProbeResourceHandleAtInit();
}
