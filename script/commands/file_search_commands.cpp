// Files by name: finding them, copying, renaming and deleting them by wildcard, full paths and
// their pieces, temporary names and attributes.
#include <sys/stat.h>

#include <random>

#include "platform/system/directory_search.h"
#include "platform/system/dos_attributes.h"
#include "platform/system/file_operations.h"
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/system/file_workers.h"
#include "script/language/params.h"
#include "toolsupport/base/paths.h"

namespace script {

namespace {

// The next match of the search with its directory; the variable is deleted when none is left.
void StoreNextMatch(CommandContext& context, const std::string& variable) {
  FileSearch& search = context.system.search;
  std::string match;
  if (search.next < search.names.size()) match = search.directory + search.names[search.next++];
  SetVariable(context, variable, match);
}

void ApplyToFiles(CommandContext& context, FileOperation operation) {
  const std::string variable = TakeVariable(context);
  const std::string source = TakeNonEmptyText(context);
  const std::string destination = operation == FileOperation::kDelete ? std::string() : TakeNonEmptyText(context);
  SetVariableNumber(context, variable, ApplyToMatchingFiles(source, destination, operation) ? 1 : 0);
}

// A name that is free now: the prefix and six letters or digits.
std::string UnusedName(std::mt19937& generator, const std::string& prefix) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string name;
  struct stat info {};
  do {
    name = prefix;
    for (int i = 0; i < 6; ++i) name += kLetters[pick(generator)];
  } while (lstat(name.c_str(), &info) == 0);
  return name;
}

void CommandFileFind(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const std::string pattern = NativeFileName(TakeText(context));
  const platform::SearchResult found = platform::FindMatches(pattern.empty() ? "*.*" : pattern);
  FileSearch& search = context.system.search;
  search = {found.directory, {}, 0};
  for (const platform::FoundEntry& entry : found.entries) search.names.push_back(entry.name);
  StoreNextMatch(context, variable);
}

void CommandFileFindNext(CommandContext& context) { StoreNextMatch(context, TakeVariable(context)); }

void CommandFileCopy(CommandContext& context) { ApplyToFiles(context, FileOperation::kCopy); }
void CommandFileRename(CommandContext& context) { ApplyToFiles(context, FileOperation::kRename); }
void CommandFileDelete(CommandContext& context) { ApplyToFiles(context, FileOperation::kDelete); }

void CommandFileFullPath(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  std::string path = NativeFileName(TakeNonEmptyText(context));
  MakeFullPath(path);
  SetVariable(context, variable, path);
}

// A path naming a directory has the name and extension "*.*" here.
void CommandFilePieces(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const bool drive = TakeNumber(context) != 0;
  const bool directory = TakeNumber(context) != 0;
  const bool name = TakeNumber(context) != 0;
  const bool extension = TakeNumber(context) != 0;
  std::string path = NativeFileName(TakeNonEmptyText(context));
  if (platform::IsDirectory(path)) {
    AddPathSeparator(path);
    path += "*.*";
  }
  ReducePath(extension, name, directory, drive, path);
  SetVariable(context, variable, path);
}

// Only the name is made; no file is created.
void CommandFileTemp(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const std::string pattern = NativeFileName(TakeNonEmptyText(context));
  std::string directory = pattern, name = pattern;
  ReducePath(false, false, true, true, directory);
  ReducePath(false, true, false, false, name);
  SetVariable(context, variable, UnusedName(context.system.tempNames, directory + name.substr(0, 3)));
}

// A file that does not exist has no attributes: 0.
void CommandFileGetAttrib(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable,
                    platform::GetDosAttributes(NativeFileName(TakeNonEmptyText(context))).value_or(0));
}

// What Linux cannot carry, and a file that is not there, change nothing.
void CommandFileSetAttrib(CommandContext& context) {
  const std::string name = NativeFileName(TakeNonEmptyText(context));
  platform::SetDosAttributes(name, static_cast<uint32_t>(TakeNumber(context)));
}

constexpr CommandEntry kEntries[] = {
    {"FILECOPY", CommandFileCopy},
    {"FILEDELETE", CommandFileDelete},
    {"FILEFIND", CommandFileFind},
    {"FILEFINDNEXT", CommandFileFindNext},
    {"FILEFULLPATH", CommandFileFullPath},
    {"FILEGETATTRIB", CommandFileGetAttrib},
    {"FILEPIECES", CommandFilePieces},
    {"FILERENAME", CommandFileRename},
    {"FILESETATTRIB", CommandFileSetAttrib},
    {"FILETEMP", CommandFileTemp},
};

}  // namespace

std::span<const CommandEntry> FileSearchCommands() { return kEntries; }

}  // namespace script
