// The print file: PRINTBEGIN opens it, PRINTPAGEADV starts a new page in it, PRINTEND closes it.
#include "script/commands/command_handlers.h"
#include "script/language/params.h"
#include "script/system/print_file.h"
#include "script/language/script_context.h"
#include "script/language/script_error.h"

namespace script {

// The name is taken as written (a bare word is the name itself) also while a print file is open,
// so that a second PRINTBEGIN keeps the first file and the line still runs on.
void CommandPrintBegin(ScriptContext& context) {
  std::string name;
  NextParam(context, name, false);
  BeginPrinting(context, name);
  SkipLeadingBlanks(context);
}

void CommandPrintEnd(ScriptContext& context) {
  if (const std::string failure = EndPrinting(context); !failure.empty()) ErrorWriting(context, failure);
  SkipLeadingBlanks(context);
}

void CommandPrintPageAdv(ScriptContext& context) {
  WritePrintText(context, "\x0C");
  SkipLeadingBlanks(context);
}

}  // namespace script
