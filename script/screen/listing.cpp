#include "script/screen/listing.h"

#include "script/language/script_context.h"
#include "script/screen/script_window.h"
#include "script/screen/text_output.h"
#include "script/language/trace.h"

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
