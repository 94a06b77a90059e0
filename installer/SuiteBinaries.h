#pragma once

#include <string>
#include <vector>

// Programs and libraries of the suite recognised by their version resource, so that the
// uninstaller also removes those the live updater added after the setup ran, and nothing else.
namespace Setup {

// True when the file's version resource names product as its ProductName and company as its
// CompanyName (in the string table of its first translation).
bool IsSuiteBinary(const std::wstring& path, const std::wstring& product, const std::wstring& company);

// Deletes the suite's .exe and .dll files directly inside folder; other files stay. Returns the
// names of suite files that could not be deleted.
std::vector<std::wstring> RemoveSuiteBinariesIn(const std::wstring& folder, const std::wstring& product,
                                                const std::wstring& company);

}  // namespace Setup
