#pragma once
// The compiler: turns a whole script file into records (line number, command, parameter text)
// and labels before anything of it runs.
#include <string>

#include "toolsupport/io/buffered_file.h"

namespace script {

class ScriptContext;
struct CompiledScript;

// Moves the command word off the front of the text: it ends at a blank or a comma, and the
// blanks and one comma after it go with it. The rest is trimmed.
std::string TakeCommandWord(std::string& text);

// Compiles the file from its current position to its end. Labels go into the context's label
// table after the labels of the calling levels. A line whose command is TEXTBEGIN starts a
// block of text records, which ends with the first line whose first word is TEXTEND. Script
// errors: a command word that is not in the table, the 513th label, a line longer than the
// text limit.
void CompileScript(ScriptContext& context, toolsupport::BufferedFile& file, CompiledScript& compiled);

}  // namespace script
