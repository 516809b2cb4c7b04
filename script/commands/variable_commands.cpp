// Variables: set, delete, list, save and restore them.
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/screen/listing.h"
#include "script/language/params.h"
#include "script/language/script_error.h"
#include "script/language/trace.h"

namespace script {

namespace {

// The bare names up to the end of the command's parameters (a comment or a further command
// may follow). A character that starts no name ends the list; the run loop then refuses it.
std::vector<std::string> TakeNames(CommandContext& context) {
  std::vector<std::string> names;
  while (!ParamsAtEnd(context)) {
    std::string name = TakeVariable(context);
    if (name.empty()) break;
    names.push_back(std::move(name));
  }
  return names;
}

// One line per variable, NAME=value.
void ListVariables(CommandContext& context) {
  std::vector<std::string> lines;
  for (const ScriptVariables::Entry& entry : context.variables.Entries()) lines.push_back(entry.name + "=" + entry.value);
  ListLines(context, context.screen, lines);
}

void CommandVarSet(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  std::string value = TakeText(context);
  if (value == "=") value = TakeText(context);
  SetVariable(context, variable, value);
}

void CommandVarFree(CommandContext& context) {
  for (const std::string& name : TakeNames(context)) SetVariable(context, name, "");
}

void CommandVarList(CommandContext& context) {
  SkipLeadingBlanks(context);
  ListVariables(context);
}

void CommandVarPush(CommandContext& context) {
  VariableStack::Group group;
  for (std::string& name : TakeNames(context)) {
    std::string value = GetVariable(context, name);
    group.emplace_back(std::move(name), std::move(value));
  }
  if (!context.pushed.Push(std::move(group))) {
    ScriptError(context, "  Variable stack full in command:\r\n    ", context.run.lineBuffer, "\r\n");
  }
}

void CommandVarPop(CommandContext& context) {
  SkipLeadingBlanks(context);
  std::optional<VariableStack::Group> group = context.pushed.Pop();
  if (!group) return;
  for (auto entry = group->rbegin(); entry != group->rend(); ++entry) {
    SetVariable(context, entry->first, entry->second);
  }
}

constexpr CommandEntry kEntries[] = {
    {"VARFREE", CommandVarFree},
    {"VARLIST", CommandVarList},
    {"VARPOP", CommandVarPop},
    {"VARPUSH", CommandVarPush},
    {"VARSET", CommandVarSet},
};

}  // namespace

std::span<const CommandEntry> VariableCommands() { return kEntries; }

}  // namespace script
