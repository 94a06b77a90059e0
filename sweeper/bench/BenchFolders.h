#pragma once

#include <string>

// The folder tree both sweeper benchmarks walk: 2,000 folders of ten small files each.
namespace BenchFolders {

constexpr int TopFolders = 40;
constexpr int SubfoldersEach = 49;
constexpr int FilesPerFolder = 10;
constexpr int FolderCount = TopFolders * (SubfoldersEach + 1);
constexpr int FileCount = FolderCount * FilesPerFolder;

// Fills root, which must exist and be empty; false (with the last error set) on any failure.
bool Build(const std::wstring& root);

}  // namespace BenchFolders
