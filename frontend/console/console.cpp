#include "frontend/console/console.h"

#include <sys/stat.h>

#include <optional>

#include "frontend/console/console_commands.h"
#include "frontend/core/basic_console.h"
#include "frontend/core/front_end.h"
#include "frontend/core/help.h"
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/tab_page.h"
#include "frontend/core/text_format.h"
#include "frontend/files/file_finder.h"
#include "platform/system/wildcard.h"

namespace frontend {
namespace {

enum class Builtin {
  ChDir, MkDir, RmDir, Dir, Delete, Tune, Help, Edit, ListEdit, Type, Attrib, Rename, Copy,
  Clear, Find, Exit, SaveHistory, Remark
};

struct CommandWord {
  const char* word;
  Builtin command;
};

const CommandWord kCommandWords[] = {
    {"cd", Builtin::ChDir},        {"chdir", Builtin::ChDir},     {"md", Builtin::MkDir},
    {"mkdir", Builtin::MkDir},     {"rd", Builtin::RmDir},        {"rmdir", Builtin::RmDir},
    {"dir", Builtin::Dir},         {"del", Builtin::Delete},      {"erase", Builtin::Delete},
    {"delete", Builtin::Delete},   {"vnttune", Builtin::Tune},    {"help", Builtin::Help},
    {"edit", Builtin::Edit},       {"listedit", Builtin::ListEdit}, {"type", Builtin::Type},
    {"display", Builtin::Type},    {"attr", Builtin::Attrib},     {"attrib", Builtin::Attrib},
    {"ren", Builtin::Rename},      {"rename", Builtin::Rename},   {"move", Builtin::Rename},
    {"rendir", Builtin::Rename},   {"copy", Builtin::Copy},       {"cls", Builtin::Clear},
    {"clear", Builtin::Clear},     {"find", Builtin::Find},       {"ff", Builtin::Find},
    {"wh", Builtin::Find},         {"filefind", Builtin::Find},   {"whereis", Builtin::Find},
    {"exit", Builtin::Exit},       {"savehist", Builtin::SaveHistory}, {"rem", Builtin::Remark},
    {"echo", Builtin::Remark},
};

std::optional<Builtin> CommandOfWord(const std::string& word) {
  const std::string lower = LowerCase(word);
  for (const CommandWord& entry : kCommandWords) {
    if (lower == entry.word) return entry.command;
  }
  return std::nullopt;
}

// "cd..", "md.x", "rd/tmp/x": the two letters run into their argument; "D:" changes the drive.
std::optional<std::pair<Builtin, std::string>> RunTogetherForm(const std::string& command) {
  if (command.size() == 2 && command[1] == ':') return std::pair{Builtin::ChDir, command};
  if (command.size() < 3) return std::nullopt;
  const char next = command[2];
  if (next != ' ' && next != '\t' && next != '.' && next != '/' && next != '\\') return std::nullopt;
  const std::optional<Builtin> found = CommandOfWord(command.substr(0, 2));
  if (!found || (*found != Builtin::ChDir && *found != Builtin::MkDir && *found != Builtin::RmDir)) {
    return std::nullopt;
  }
  return std::pair{*found, TrimBlanks(command.substr(2))};
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void NotAvailable(FrontEnd& frontEnd, const std::string& window) {
  frontEnd.console.Append("  The " + window + " is not available.");
}

void Carry(FrontEnd& frontEnd, AnalysisWindows& analysis, Builtin command, const std::string& typed,
           const std::string& argument) {
  ConsoleLines& console = frontEnd.console;
  switch (command) {
    case Builtin::ChDir: ConsoleChDir(frontEnd, argument); return;
    case Builtin::MkDir: ConsoleMkDir(frontEnd, argument); return;
    case Builtin::RmDir: ConsoleRmDir(frontEnd, argument); return;
    case Builtin::Dir: ConsoleDir(frontEnd, argument); return;
    case Builtin::Delete: ConsoleDelete(frontEnd, argument); return;
    case Builtin::Rename:
    case Builtin::Copy: {
      const auto [source, target] = SplitFirstWord(argument);
      if (command == Builtin::Rename) {
        ConsoleRename(frontEnd, source, target);
      } else {
        ConsoleCopy(frontEnd, source, target);
      }
      return;
    }
    case Builtin::Exit:
      console.AppendToLastLine("Exit");
      frontEnd.requests.Post(kRequestClose);
      return;
    case Builtin::Clear: console.Clear(); return;
    default: break;
  }
  console.AppendToLastLine(typed);
  const std::string name = Unquoted(argument);
  switch (command) {
    case Builtin::Type: ConsoleType(frontEnd, argument); return;
    case Builtin::Attrib: ConsoleAttrib(frontEnd, argument); return;
    case Builtin::SaveHistory: ConsoleSaveHistory(frontEnd, argument); return;
    case Builtin::Find: FindFiles(frontEnd, ConsolePath(frontEnd, name), &console); return;
    case Builtin::Help: ShowTabHelp(frontEnd); return;
    case Builtin::Tune:
      analysis.Open(name.empty() ? name : ConsolePath(frontEnd, name), frontEnd.mainWindow);
      return;
    case Builtin::Edit:
      if (!frontEnd.dialogs.editTextFile) return NotAvailable(frontEnd, "text editor");
      frontEnd.dialogs.editTextFile(name);
      return;
    case Builtin::ListEdit:
      if (!frontEnd.dialogs.editListFile) return NotAvailable(frontEnd, "list editor");
      frontEnd.dialogs.editListFile(name);
      return;
    default: return;  // REM and ECHO only echo
  }
}

}  // namespace

std::string FindBatchFile(const FrontEnd& frontEnd, const std::string& firstWord) {
  const std::string name = Unquoted(firstWord);
  if (name.empty() || platform::HasWildcard(name)) return "";
  const std::string extension = platform::SplitName(name).extension;
  std::vector<std::string> spellings;
  if (extension.empty()) {
    spellings = {name + ".sbt", name + ".SBT"};
  } else if (EqualIgnoringCase(extension, "sbt")) {
    spellings = {name};
  }
  for (const std::string& spelling : spellings) {
    const std::string here = ConsolePath(frontEnd, spelling);
    if (IsRegularFile(here)) return here;
  }
  if (!DirectoryPart(name).empty()) return "";
  for (const std::string& spelling : spellings) {
    const std::string there = frontEnd.ProgramDirectory() + spelling;
    if (IsRegularFile(there)) return there;
  }
  return "";
}

bool Console::RunBuiltinCommand(FrontEnd& frontEnd, const std::string& given) {
  std::string command = TrimBlanks(given);
  if (!command.empty() && command[0] == '@') command = TrimBlanks(command.substr(1));
  if (command.empty()) return false;
  if (const auto form = RunTogetherForm(command)) {
    Carry(frontEnd, analysis_, form->first, command, form->second);
    return false;
  }
  const auto [word, rest] = SplitFirstWord(command);
  if (const std::optional<Builtin> found = CommandOfWord(word)) {
    Carry(frontEnd, analysis_, *found, command, rest);
    return false;
  }
  const std::string batch = FindBatchFile(frontEnd, word);
  if (batch.empty()) return true;
  if (frontEnd.dialogs.runBatchFile) {
    frontEnd.dialogs.runBatchFile(batch, rest);
  } else {
    frontEnd.console.AppendToLastLine(command);
    NotAvailable(frontEnd, "batch runner");
  }
  return false;
}

bool CommandTabActive(const FrontEnd& frontEnd) {
  return frontEnd.shownTab && frontEnd.shownTab() == kCommandTab;
}

void ReportError(FrontEnd& frontEnd, const std::string& text) {
  frontEnd.console.Append("  " + text);
  if (!CommandTabActive(frontEnd)) ErrorBox(frontEnd, "Error, " + text);
}

}  // namespace frontend
