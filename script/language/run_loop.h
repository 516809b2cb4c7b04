#pragma once
// The run loop: loads, compiles and runs one script level; labels and jumps.
#include <optional>
#include <string>

namespace script {

class ScriptContext;

// Runs the script file to its end (or from the start label on), as a new level with labels of
// its own on the shared GOSUB stack. ".ss" is added to the name (in place) when it has no
// extension. False only when the file cannot be opened. A level beyond the GOSUB stack is the
// "Too many GOSUBs." error.
bool RunScript(ScriptContext& context, std::string& name, const std::string* startLabel = nullptr);

// The label among the innermost level's, the last defined first. The name is upper-cased and
// cut to the label length in place.
std::optional<size_t> FindLabel(ScriptContext& context, std::string& name);

// Continues at the label; "Label not found" when the level has none of that name.
void JumpToLabel(ScriptContext& context, std::string name);

}  // namespace script
