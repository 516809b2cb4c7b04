// The print file: PRINTBEGIN opens it, PRINTPAGEADV starts a new page in it, PRINTEND closes it.
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/params.h"
#include "script/system/print_file.h"
#include "script/language/script_error.h"

namespace script {

namespace {

// The name is taken as written (a bare word is the name itself) also while a print file is open,
// so that a second PRINTBEGIN keeps the first file and the line still runs on.
void CommandPrintBegin(CommandContext& context) {
  std::string name;
  NextParam(context, name, false);
  BeginPrinting(context.files, context.system.print, name);
  SkipLeadingBlanks(context);
}

void CommandPrintEnd(CommandContext& context) {
  if (const std::string failure = EndPrinting(context.files, context.system.print); !failure.empty()) {
    ErrorWriting(context, failure);
  }
  SkipLeadingBlanks(context);
}

void CommandPrintPageAdv(CommandContext& context) {
  WritePrintText(context.files, context.system.print, "\x0C");
  SkipLeadingBlanks(context);
}

constexpr CommandEntry kEntries[] = {
    {"PRINTBEGIN", CommandPrintBegin},
    {"PRINTEND", CommandPrintEnd},
    {"PRINTPAGEADV", CommandPrintPageAdv},
};

}  // namespace

std::span<const CommandEntry> PrintCommands() { return kEntries; }

}  // namespace script
