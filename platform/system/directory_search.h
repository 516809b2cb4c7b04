#pragma once
// Directory searches with DOS-style masks: one directory (the script player's FILEFIND and
// wildcard FILE commands, the console's DIR, DEL, REN, COPY and ATTR) and a whole tree (the
// front end's file finder). Every match is collected before the caller acts on any of them, so
// renaming or creating files never changes what a search returns.
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace platform {

struct FoundEntry {
  std::string name;
  uint64_t size = 0;
  timespec accessTime{};
  timespec modifyTime{};
  mode_t mode = 0;  // type and permission bits
  bool isDirectory = false;
  bool isHidden = false;  // the name begins with '.'
  bool isLink = false;    // a symbolic link; the other facts are those of what it points to
                          // (or of the link itself when that is missing)
};

// The order of every listing: names compared without regard to case, then byte by byte, so it
// never depends on the order in which the file system hands out its entries.
bool ComesBefore(const FoundEntry& a, const FoundEntry& b);

struct SearchPattern {
  std::string directory;  // empty for the current directory, else ending in '/'
  std::string mask;
};

// Splits a search pattern into its directory and mask. An empty pattern, one ending in '/' and
// one that names an existing directory search that directory with "*.*".
SearchPattern SplitSearchPattern(const std::string& pattern);

struct SearchResult {
  std::string directory;  // as in SearchPattern: directory + name is each match's path
  int error = 0;          // errno when the directory could not be read (entries then may be few)
  std::vector<FoundEntry> entries;
};

// Every entry of the directory ("." and ".." left out) whose name matches the mask, in the order
// of ComesBefore.
SearchResult ListDirectory(const std::string& directory, const std::string& mask);

// SplitSearchPattern, then ListDirectory.
SearchResult FindMatches(const std::string& pattern);

// What a tree walk tells its caller; a callback that returns false stops the walk.
struct TreeWalkEvents {
  // A directory (ending in '/') is about to be searched; `searched` counts it.
  std::function<bool(const std::string& directory, size_t searched)> enteredDirectory;
  // A file (anything but a directory) whose name matches the mask.
  std::function<bool(const std::string& directory, const FoundEntry& file)> foundFile;
  // A directory that could not be read, with the errno; ELOOP for one already searched.
  std::function<void(const std::string& directory, int error)> skipped;
};

// Searches the tree depth first: in each directory its matching files, then its subdirectories
// in the order of ComesBefore. Links to directories and subdirectories whose names begin with '.'
// are not entered, and no directory is searched twice, so the walk always ends. Returns false
// when a callback stopped it.
bool WalkTree(const std::string& root, const std::string& mask, const TreeWalkEvents& events);

}  // namespace platform
