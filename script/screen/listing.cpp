#include "script/screen/listing.h"

#include "script/language/script_context.h"
#include "script/language/trace.h"
#include "script/screen/screen.h"

namespace script {

void ListLines(ScriptContext& context, Screen& screen, const std::vector<std::string>& lines) {
  RequireWindow(context, screen.window);
  DebugNewLine(context);
  for (const std::string& line : lines) {
    if (context.Tracing()) {
      DebugWrite(context, line);
    } else {
      PrintText(screen.window, screen.pointer, screen.text, screen.settings, line);
      PrintText(screen.window, screen.pointer, screen.text, screen.settings, "\n");
    }
  }
}

}  // namespace script
