// Files through the file slots: open, create, append, close, read and write lines, the end, the
// list of open slots, sizes and whether a file exists.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system/drives.h"
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/params.h"
#include "script/system/print_file.h"
#include "script/language/script_error.h"
#include "script/commands/slot_numbers.h"

namespace script {

namespace {

// FILEREAD's line buffer: a longer line comes in pieces of one byte less.
constexpr size_t kReadLineLimit = 256;

// The slot a number names when it is an open slot's number; else nothing (no error).
int OpenSlotOf(CommandContext& context, int32_t number) {
  const int64_t slot = int64_t{number} - kFileNumberBase;
  if (slot < 0 || slot >= kFileSlotCount) return kNoSlot;
  return context.files.File(static_cast<int>(slot)) != nullptr ? static_cast<int>(slot) : kNoSlot;
}

toolsupport::BufferedFile& TakeFile(CommandContext& context) { return *context.files.File(TakeFileSlot(context)); }

void StoreSlotNumber(CommandContext& context, const std::string& variable, int slot) {
  SetVariableNumber(context, variable, slot == kNoSlot ? 0 : kFileNumberBase + slot);
}

void OpenInto(CommandContext& context, SlotMode mode) {
  const std::string variable = TakeVariable(context);
  const std::string name = TakeNonEmptyText(context);
  StoreSlotNumber(context, variable, context.files.Open(name, mode));
}

// The size of a file by its name; 0 when it cannot be opened or is no regular file.
uint64_t SizeOfNamedFile(const std::string& name) {
  const int handle = open(NativeFileName(name).c_str(), O_RDONLY | O_CLOEXEC);
  if (handle < 0) return 0;
  struct stat info {};
  const bool regular = fstat(handle, &info) == 0 && S_ISREG(info.st_mode);
  close(handle);
  return regular ? static_cast<uint64_t>(info.st_size) : 0;
}

void CommandFileOpen(CommandContext& context) { OpenInto(context, SlotMode::kRead); }

void CommandFileCreate(CommandContext& context) { OpenInto(context, SlotMode::kCreate); }

// An existing file is never emptied: it opens as it is (or not at all), and only a missing one
// is made.
void CommandFileAppend(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const std::string name = TakeNonEmptyText(context);
  const int slot = context.files.Open(name, SlotMode::kOpenOrCreate);
  if (toolsupport::BufferedFile* file = context.files.File(slot)) {
    file->Seek(file->Size());
  }
  StoreSlotNumber(context, variable, slot);
}

// Closing the trace file's or the print file's slot also ends tracing or printing, so that
// nothing writes into a slot that another file may take next.
void CommandFileClose(CommandContext& context) {
  SystemServices& system = context.system;
  const std::string variable = TakeVariable(context);
  const int slot = FileSlotOf(context, TextToNumber(GetVariable(context, variable)));
  const std::string failure =
      slot == system.print.slot ? EndPrinting(context.files, system.print) : context.files.Close(slot);
  if (slot == context.debugSlot) context.debugSlot = kNoSlot;
  SetVariable(context, variable, "");
  if (!failure.empty()) ErrorWriting(context, failure);
}

void CommandFileRead(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  toolsupport::BufferedFile& file = TakeFile(context);
  char line[kReadLineLimit];
  file.ReadLine(line, sizeof line);
  SetVariable(context, variable, line);
}

void CommandFileWrite(CommandContext& context) {
  const int slot = TakeFileSlot(context);
  const std::string text = TakeText(context) + "\r\n";
  context.files.File(slot)->WriteRaw(text.data(), text.size());
  if (const std::string failure = context.files.WriteFailure(slot); !failure.empty()) ErrorWriting(context, failure);
}

void CommandFileEof(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, TakeFile(context).AtEnd() ? 1 : 0);
}

void CommandFileList(CommandContext& context) { ListFileSlots(context); }

// Sizes beyond 32 bits stop at 2147483647.
void CommandFileSize(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const std::string name = TakeNonEmptyText(context);
  const int slot = IsNumericText(name) ? OpenSlotOf(context, TextToNumber(name)) : kNoSlot;
  const uint64_t size = slot != kNoSlot
                            ? static_cast<uint64_t>(context.files.File(slot)->Size())
                            : SizeOfNamedFile(name);
  SetVariableNumber(context, variable, platform::SaturatedInt32(size));
}

void CommandFileExists(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, FileExists(TakeNonEmptyText(context)) ? 1 : 0);
}

constexpr CommandEntry kEntries[] = {
    {"FILEAPPEND", CommandFileAppend},
    {"FILECLOSE", CommandFileClose},
    {"FILECREATE", CommandFileCreate},
    {"FILEEOF", CommandFileEof},
    {"FILEEXISTS", CommandFileExists},
    {"FILELIST", CommandFileList},
    {"FILEOPEN", CommandFileOpen},
    {"FILEREAD", CommandFileRead},
    {"FILESIZE", CommandFileSize},
    {"FILEWRITE", CommandFileWrite},
};

}  // namespace

std::span<const CommandEntry> FileCommands() { return kEntries; }

}  // namespace script
