#include "script/commands/command_families.h"

#include <algorithm>
#include <string_view>

namespace script {

namespace {

std::vector<CommandEntry> EveryEntry() {
  std::vector<CommandEntry> entries;
  for (const std::span<const CommandEntry> family :
       {AnimationCommands(), BitmapCommands(), DebugCommands(), DriveCommands(), FileCommands(), FileSearchCommands(),
        FlowCommands(), InputCommands(), PrintCommands(), ScreenCommands(), StringCommands(), SystemCommands(),
        TextCommands(), VariableCommands()}) {
    entries.insert(entries.end(), family.begin(), family.end());
  }
  std::sort(entries.begin(), entries.end(), [](const CommandEntry& a, const CommandEntry& b) {
    return std::string_view(a.word) < std::string_view(b.word);
  });
  return entries;
}

std::vector<const char*> WordsOf(const std::vector<CommandEntry>& entries) {
  std::vector<const char*> words;
  for (const CommandEntry& entry : entries) words.push_back(entry.word);
  return words;
}

}  // namespace

CommandFamilies::CommandFamilies() : entries_(EveryEntry()), table_(WordsOf(entries_)) {}

const CommandFamilies& ScriptCommands() {
  static const CommandFamilies families;
  return families;
}

}  // namespace script
