#pragma once
// What the file controls show of a directory, and the places they offer in place of drives.
#include <cstdint>
#include <string>
#include <vector>

#include "frontend/core/file_mask.h"

namespace frontend {

struct DirectoryListing {
  bool readable = false;
  std::vector<std::string> files;        // matching the mask, names only
  std::vector<std::string> directories;  // sub-directories, names only
};

// Names that begin with '.' are hidden and not listed; names are sorted ignoring case (then
// exactly, so names differing in case keep a fixed order).
DirectoryListing ListDirectory(const std::string& directory, const FileMask& mask);

// The root, the home directory and the mounted file systems (without the system's own
// pseudo file systems), each once, the root first.
std::vector<std::string> DriveRoots();

// The entry of the list that holds the path: the longest one that is the path or one of its
// parents.
std::string DriveOf(const std::string& path, const std::vector<std::string>& drives);

// The directory of the path (the path itself when it is one) and its parents up to the root,
// root first: what the directory list shows above the sub-directories.
std::vector<std::string> DirectoryChain(const std::string& directory);

struct DirectorySummary {
  int64_t files = 0;  // hidden and read-only ones included
  int64_t bytes = 0;
  int64_t subdirectories = 0;
};
DirectorySummary SummariseDirectory(const std::string& directory);


}  // namespace frontend
