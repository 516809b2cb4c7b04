#include "frontend/core/launcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>

#include "frontend/core/busy_cursor.h"
#include "frontend/core/front_end.h"
#include "frontend/core/ini_file.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/name_parts.h"
#include "frontend/core/settings_file.h"
#include "frontend/core/text_format.h"
#include "platform/face/frame_guard.h"

namespace frontend {
namespace {

struct ToolAlias {
  std::array<const char*, 5> words;
  const char* program;
};

// The toolkit delivers vantcw, vantmiw, vantplw, vantscw, picprw, audprw and vntcompi; the
// other programs are not part of it and are only started when someone put them there.
const ToolAlias kToolAliases[] = {
    {{"vantc", "vantcw"}, "vantcw"},
    {{"vantmix", "vantmiw"}, "vantmiw"},
    {{"vantply", "vantplw"}, "vantplw"},
    {{"vantscr", "vantscw"}, "vantscw"},
    {{"toflic", "toflicw", "toflicw6", "picprw", "picpr"}, "picprw"},
    {{"towav", "towavw", "audprw", "audpr"}, "audprw"},
    {{"vnt2flc", "vnt2flcw"}, "vnt2flcw"},
    {{"vantunm", "vantunw"}, "vantunw"},
    {{"vntinfo", "vntinfow", "mminfo", "mminfow"}, "vntinfow"},
    {{"kdxsi", "kdxsiw"}, "kdxsiw"},
    {{"vantfr", "vantfrw"}, "vantfrw"},
    {{"vntcompi"}, "vntcompi"},
};

// The process's current directory for a while, put back however the while ends.
class CurrentDirectoryKeeper {
 public:
  CurrentDirectoryKeeper() : fd_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
  ~CurrentDirectoryKeeper() {
    if (fd_ < 0) return;
    if (fchdir(fd_) != 0) {
      // Nothing better to do: the directory we came from is gone.
    }
    close(fd_);
  }
  CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
  CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

 private:
  int fd_;
};

bool IsUserAction(CommandOrigin origin) {
  return origin == CommandOrigin::Page || origin == CommandOrigin::Typed;
}

}  // namespace

std::pair<std::string, std::string> SplitFirstWord(const std::string& given) {
  const std::string text = TrimBlanks(given);
  size_t end = 0;
  if (!text.empty() && text[0] == '"') {
    const size_t close = text.find('"', 1);
    end = close == std::string::npos ? text.size() : close + 1;
  } else {
    while (end < text.size() && static_cast<unsigned char>(text[end]) > ' ') ++end;
  }
  return {TrimBlanks(text.substr(0, end)), TrimBlanks(text.substr(end))};
}

std::string QuoteRelativeName(const std::string& given, const std::string& directory) {
  const std::string name = TrimBlanks(given);
  if (name.empty()) return name;
  const std::string own = DirectoryPart(name);
  const bool sameDirectory =
      !own.empty() && !directory.empty() && WithSeparator(own) == WithSeparator(directory);
  return Quoted(sameDirectory ? NamePart(name) : name);
}

std::string ExpandBatchParams(const std::string& command, const std::string& parameters) {
  std::array<std::string, 9> words;
  std::string rest = parameters;
  for (std::string& word : words) {
    auto [first, remaining] = SplitFirstWord(rest);
    word = first;
    rest = remaining;
  }
  std::string out;
  for (size_t i = 0; i < command.size(); ++i) {
    if (command[i] == '%' && i + 1 < command.size() && command[i + 1] >= '1' &&
        command[i + 1] <= '9') {
      out += words[static_cast<size_t>(command[i + 1] - '1')];
      ++i;
    } else {
      out += command[i];
    }
  }
  return out;
}

std::string ToolProgramName(const std::string& firstWord) {
  std::string word = NamePart(Unquoted(firstWord));
  if (word.size() > 4 && LowerCase(word.substr(word.size() - 4)) == ".exe") {
    word.resize(word.size() - 4);
  }
  word = LowerCase(word);
  for (const ToolAlias& alias : kToolAliases) {
    for (const char* name : alias.words) {
      if (name && word == name) return alias.program;
    }
  }
  return "";
}

bool MapToolCommand(const FrontEnd& frontEnd, std::string& command, bool closeAtOnce) {
  const auto [first, rest] = SplitFirstWord(command);
  const std::string program = ToolProgramName(first);
  if (program.empty()) return false;
  // The program directory always goes in front: a tool beside the front end starts whatever
  // the console directory is.
  std::string mapped = Quoted(frontEnd.ProgramDirectory() + program);
  if (!rest.empty()) mapped += " " + rest;
  mapped += " /#" + std::to_string(frontEnd.notifyTargets.Current());
  if (closeAtOnce) mapped += "/#";
  command = mapped;
  return true;
}

RunOutcome RunCommand(FrontEnd& frontEnd, const std::string& directory, const std::string& command,
                      CommandOrigin origin) {
  RunOutcome outcome;
  // A failing file operation of a built-in command ends the command, never the front end.
  platform::RunGuarded("The command " + Quoted(TrimBlanks(command)), [&] {
    BusyCursor busy;
    CurrentDirectoryKeeper keeper;
    std::string text = TrimBlanks(ExpandBatchParams(command, frontEnd.batchParameters));
    if (text.empty()) return;
    if (IsUserAction(origin) && frontEnd.shiftHeld && frontEnd.shiftHeld()) text = "Rem " + text;

    const std::string folder = WithoutSeparator(TrimBlanks(directory));
    if (!folder.empty() && folder != frontEnd.ConsoleDirectory()) {
      frontEnd.interpreter().RunBuiltinCommand(frontEnd, "CD " + Quoted(folder));
      frontEnd.ShowPrompt();
    }
    const std::string consoleDirectory = frontEnd.ConsoleDirectory();
    if (chdir(consoleDirectory.c_str()) != 0) {
      // The start below reports the failure: the program cannot start there either.
    }
    if (origin != CommandOrigin::Batch) AddToRecentList(frontEnd.settings.recentCommands, text);

    if (frontEnd.interpreter().RunBuiltinCommand(frontEnd, text)) {
      frontEnd.console.AppendToLastLine(text);
      std::string started = text;
      const bool closeAtOnce = origin == CommandOrigin::Typed || origin == CommandOrigin::Batch;
      const bool mapped = MapToolCommand(frontEnd, started, closeAtOnce);
      const platform::ProgramStart start = frontEnd.starter().Start(started, consoleDirectory);
      if (start.started) {
        outcome.processId = start.processId;
        outcome.toolStarted = mapped;
      } else {
        outcome.startError = start.error;
        frontEnd.console.Append("  Command not found.");
      }
    }
    frontEnd.ShowPrompt();
  });
  return outcome;
}

void RunProgramForPage(FrontEnd& frontEnd, const std::string& directory, const std::string& command) {
  const RunOutcome outcome = RunCommand(frontEnd, directory, command);
  if (outcome.startError == 0) return;
  ErrorBox(frontEnd, "Error, the program " + SplitFirstWord(command).first + " could not be started: " +
                         std::strerror(outcome.startError) + ".");
}

void OpenFileByType(FrontEnd& frontEnd, const std::string& given) {
  const std::string file = AbsoluteIn(frontEnd.ConsoleDirectory(), given);
  if (file.empty()) return;
  const std::string directory = DirectoryPart(file);
  const std::string extension = LowerCase(ExtensionOf(file));
  if (extension == ".exe") {
    RunCommand(frontEnd, directory, Quoted(file));
    frontEnd.requests.Post(kRequestRefreshFiles);
  } else if (extension == ".lst") {
    RunCommand(frontEnd, directory, "ListEdit " + QuoteRelativeName(file, directory));
    frontEnd.requests.Post(kRequestRefreshFiles);
  } else if (extension == ".vnt") {
    RunCommand(frontEnd, directory, "VantPlW " + QuoteRelativeName(file, directory));
  } else if (!frontEnd.viewImageFile || !frontEnd.viewImageFile(file)) {
    // No picture we can show: the desktop's own program for the file.
    RunCommand(frontEnd, directory, "xdg-open " + QuoteRelativeName(file, directory));
  }
}

void SetPermanentFrameRate(FrontEnd& frontEnd, const std::string& given, const std::string& rate) {
  const std::optional<int32_t> number = ParseInteger(rate);
  if (!number || *number == 0) {
    ErrorBox(frontEnd, "Error, a frame rate number must be entered.");
    return;
  }
  const std::string file = AbsoluteIn(frontEnd.ConsoleDirectory(), given);
  if (file.empty()) {
    ErrorBox(frontEnd, "Error, no file is highlighted.");
    return;
  }
  if (!YesNoBox(frontEnd, "Are you sure you want to change the frame rate permanently?", kNo)) return;
  const std::string directory = DirectoryPart(file);
  RunProgramForPage(frontEnd, directory, "VantFR " + QuoteRelativeName(file, directory) + " /f" + std::to_string(*number));
}

}  // namespace frontend
