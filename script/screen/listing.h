#pragma once
// The lists of VARLIST, FILELIST and the other slot lists: they need the window, and go into the
// trace file when one is open, else onto the screen.
#include <string>
#include <vector>

namespace script {

class ScriptContext;
struct Screen;

// The no-window error without a window; else a line end in the trace, then one line per entry.
void ListLines(ScriptContext& context, Screen& screen, const std::vector<std::string>& lines);

}  // namespace script
