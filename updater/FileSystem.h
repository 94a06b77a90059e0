#pragma once

#include <windows.h>

#include "framework/CString.h"

// Creates a directory and every missing directory above it; FALSE when it does not exist after.
BOOL CreateDirectories(const CString& path);
// The path up to its last separator, or an empty text when it has none.
CString ParentPath(const CString& path);
// Deletes a directory and everything below it, read-only files included, without following
// links; FALSE when something stayed.
BOOL DeleteTree(const CString& path);
