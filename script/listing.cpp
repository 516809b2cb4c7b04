#include "script/listing.h"

#include "script/script_context.h"
#include "script/script_window.h"
#include "script/text_output.h"
#include "script/trace.h"

namespace script {

void ListLines(ScriptContext& context, const std::vector<std::string>& lines) {
  RequireWindow(context);
  DebugNewLine(context);
  for (const std::string& line : lines) {
    if (context.Tracing()) {
      DebugWrite(context, line);
    } else {
      PrintLine(context, line);
    }
  }
}

}  // namespace script
