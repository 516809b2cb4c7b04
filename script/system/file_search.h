#pragma once
// The one file search of a script run: FILEFIND finds every match at once, FILEFINDNEXT hands
// out the next of them.
#include <cstddef>
#include <string>
#include <vector>

namespace script {

struct FileSearch {
  std::string directory;           // put before each name: the pattern's directory part
  std::vector<std::string> names;  // the matches in the order of the directory search
  size_t next = 0;                 // the match FILEFINDNEXT hands out next
};

}  // namespace script
