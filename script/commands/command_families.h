#pragma once
// The command families of the script language: each contributes the entries of its own words,
// and together they make the language's command table and run its commands.
#include <cstddef>
#include <span>
#include <vector>

#include "script/language/command_table.h"

namespace script {

class CommandContext;

// A command word, upper case, and its handler. A handler runs with the parameter text of its
// command in the context, takes its parameters from the front of it and leaves the rest
// (nothing, a comment, or ';' and a further command).
struct CommandEntry {
  const char* word;
  void (*handler)(CommandContext& context);
};

// The families, each in a file of its own.
std::span<const CommandEntry> AnimationCommands();
std::span<const CommandEntry> BitmapCommands();
std::span<const CommandEntry> DebugCommands();       // the trace file
std::span<const CommandEntry> DriveCommands();       // directories, drives and the environment
std::span<const CommandEntry> FileCommands();        // files through the file slots
std::span<const CommandEntry> FileSearchCommands();  // files by name
std::span<const CommandEntry> FlowCommands();        // flow control, arithmetic, delays, programs
std::span<const CommandEntry> InputCommands();       // keys, the mouse and questions
std::span<const CommandEntry> PrintCommands();
std::span<const CommandEntry> ScreenCommands();
std::span<const CommandEntry> StringCommands();
std::span<const CommandEntry> SystemCommands();      // system queries, sound and media
std::span<const CommandEntry> TextCommands();
std::span<const CommandEntry> VariableCommands();

// Every family's entries in the order of the table's words.
class CommandFamilies {
 public:
  CommandFamilies();
  CommandFamilies(const CommandFamilies&) = delete;
  CommandFamilies& operator=(const CommandFamilies&) = delete;

  const CommandTable& Table() const { return table_; }
  const CommandEntry& At(size_t index) const { return entries_[index]; }

 private:
  std::vector<CommandEntry> entries_;
  CommandTable table_;
};

// The commands of the script player, put together once.
const CommandFamilies& ScriptCommands();

}  // namespace script
