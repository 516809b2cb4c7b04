#pragma once
// The 64 file slots of a script run. Script files while they compile, the trace file and the
// files a script opens each take one; scripts name slot i by the number 5000 + i.
#include <array>
#include <memory>
#include <string>

#include "platform/system/file_replacement.h"
#include "toolsupport/io/buffered_file.h"

namespace script {

inline constexpr int kFileSlotCount = 64;
inline constexpr int kFileNumberBase = 5000;
inline constexpr int kNoSlot = 255;
inline constexpr int32_t kFileSlotBufferSize = 3072;

enum class SlotMode {
  kRead = 0,
  kCreate = 1,
  kReadWrite = 2,
  kOpenOrCreate,  // kReadWrite, or a new empty file when there is none: never empties a file
};

// A file name as a script writes it, made a Linux name: '\' is read as '/', and a drive word at
// the start ("D:", "D:\") names the root directory.
std::string NativeFileName(const std::string& name);

// True when the name is an existing file that can be read (a directory is not a file). Asks
// the file system, so it needs no free slot.
bool FileExists(const std::string& name);

class FileSlots {
 public:
  // Opens the file into the first free slot: kRead an existing file, kCreate a new or emptied
  // one, kReadWrite an existing one without emptying it. kNoSlot when no slot is free or the
  // file cannot be opened. A created file is written under a temporary name beside it and takes
  // its name when it is closed, so that a file it replaces stays whole until then.
  int Open(const std::string& name, SlotMode mode);
  // Flushes and closes the file; a free slot is left alone. Empty, or for a file whose writes
  // failed "<name>: <the system's reason>": a created file then replaces nothing.
  std::string Close(int slot);
  // Closes every slot; the first failure, as Close says it.
  std::string CloseAll();
  // The open file of the slot, null for a free or invalid slot.
  toolsupport::BufferedFile* File(int slot);
  // The failure of the slot's writes so far, as Close would say it; empty when there is none.
  std::string WriteFailure(int slot);

 private:
  struct Slot {
    toolsupport::BufferedFile file{kFileSlotBufferSize};
    platform::FileReplacement replacement;  // a created file's temporary name
    std::string name;                       // as the script gave it
  };
  std::array<std::unique_ptr<Slot>, kFileSlotCount> slots_;
};

}  // namespace script
