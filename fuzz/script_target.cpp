// A whole script compiled as the script player compiles a file before running it: records,
// labels and TEXTBEGIN blocks. A script error ends the compile, as it ends a run.
#include "fuzz/fuzz_targets.h"
#include "fuzz/input_file.h"
#include "script/commands/command_families.h"
#include "script/language/compiler.h"
#include "script/language/script_context.h"
#include "script/language/script_error.h"
#include "toolsupport/io/buffered_file.h"

namespace fuzz {

int FuzzScript(const uint8_t* data, size_t size) {
  const std::string& path = WriteInputFile(data, size, ".ss");
  toolsupport::BufferedFile file;
  if (path.empty() || !file.Open(path.c_str())) return 0;
  script::ScriptContext context(script::ScriptCommands().Table());
  script::CompiledScript compiled;
  try {
    script::CompileScript(context, file, compiled);
  } catch (const script::ScriptFailure&) {
  }
  file.Close();
  return 0;
}

}  // namespace fuzz
