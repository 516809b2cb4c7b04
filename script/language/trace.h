#pragma once
// The trace file that DEBUGFILE opens: one line per command run, with the indent of its level,
// its line number and the command line; what commands add; blank lines at jumps and returns.
// Line ends are "\r\n". Everything is a no-op while no trace file is open.
#include <string>

namespace script {

class ScriptContext;

// indent, prefix, the line number left-aligned in 7 columns ("7:     "), the line buffer; no
// line end. The prefix is empty for a record, " -> " for a command run from the rest of a line.
void TraceCommand(ScriptContext& context, const std::string& prefix);
// The text as it stands, no line end.
void TraceText(ScriptContext& context, const std::string& text);
void DebugNewLine(ScriptContext& context);
// The text, a line end, and everything written so far is put into the file.
void DebugWrite(ScriptContext& context, const std::string& text);

}  // namespace script
