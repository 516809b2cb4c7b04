#pragma once
// The Scriptor's script, held by the front end while other tabs are shown.
#include <string>
#include <vector>

namespace frontend {

struct EditedText {
  std::string fileName;  // full name; empty for a text never saved
  std::vector<std::string> lines;
  bool modified = false;
};

struct ScriptorState {
  EditedText script;
  int caret = 0;  // position in the text, restored when the page is made again
  int page = 0;   // 0 the file page, 1 the editing page
};

}  // namespace frontend
