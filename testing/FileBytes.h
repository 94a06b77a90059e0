#pragma once

#include <string>

namespace TestSupport {

// The whole file, read while others may write or delete it; empty when it cannot be opened.
std::string ReadFileBytes(const std::wstring& path);

// Creates or replaces the file with exactly these bytes; false when that fails.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace TestSupport
