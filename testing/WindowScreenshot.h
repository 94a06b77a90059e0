#pragma once

#include <windows.h>

#include <string>

namespace TestSupport {

// Saves what the window shows now, frame and child windows included, as a PNG file, so that a
// person can look at it after the run. Pending painting is done first; folders missing from the
// path are made. False, with the failing step on stderr, when the image cannot be taken or written.
bool SaveWindowImage(HWND window, const std::wstring& pngPath);

// Saves what the screen shows where the window is, the windows it owns above it included (a tool
// laid over the console).
bool SaveScreenImage(HWND window, const std::wstring& pngPath);

}  // namespace TestSupport
