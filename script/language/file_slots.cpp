#include "script/language/file_slots.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace script {

std::string NativeFileName(const std::string& name) {
  std::string native = name;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  if (native.size() >= 2 && std::isalpha(static_cast<unsigned char>(native[0])) && native[1] == ':') {
    native.erase(0, 2);
    if (native.empty() || native[0] != '/') native = "/" + native;
  }
  return native;
}

namespace {

// Makes the file when it is missing; one that is there (perhaps made a moment ago) keeps what it
// holds.
bool MakeIfMissing(const std::string& name) {
  const int handle = open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (handle < 0) return false;
  close(handle);
  return true;
}

}  // namespace

bool FileExists(const std::string& name) {
  const std::string native = NativeFileName(name);
  struct stat info {};
  return stat(native.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && access(native.c_str(), R_OK) == 0;
}

int FileSlots::Open(const std::string& name, SlotMode mode) {
  for (int slot = 0; slot < kFileSlotCount; ++slot) {
    if (slots_[slot] != nullptr) continue;
    auto opened = std::make_unique<Slot>();
    toolsupport::BufferedFile& file = opened->file;
    const std::string native = NativeFileName(name);
    opened->name = native;
    bool done = false;
    switch (mode) {
      case SlotMode::kRead:
        done = file.Open(native.c_str(), toolsupport::FileAccess::Read);
        break;
      case SlotMode::kCreate:
        done = opened->replacement.Begin(native) == 0 && file.Create(opened->replacement.Path().c_str());
        break;
      case SlotMode::kReadWrite:
        done = file.Open(native.c_str(), toolsupport::FileAccess::ReadWrite);
        break;
      case SlotMode::kOpenOrCreate:
        done = file.Open(native.c_str(), toolsupport::FileAccess::ReadWrite) ||
               (MakeIfMissing(native) && file.Open(native.c_str(), toolsupport::FileAccess::ReadWrite));
        break;
    }
    if (!done) return kNoSlot;
    slots_[slot] = std::move(opened);
    return slot;
  }
  return kNoSlot;
}

std::string FileSlots::WriteFailure(int slot) {
  if (slot < 0 || slot >= kFileSlotCount || slots_[slot] == nullptr) return {};
  const toolsupport::BufferedFile& file = slots_[slot]->file;
  if (!file.WriteError()) return {};
  const int error = file.WriteErrorNumber();
  return slots_[slot]->name + ": " + std::strerror(error != 0 ? error : EIO);
}

std::string FileSlots::Close(int slot) {
  if (slot < 0 || slot >= kFileSlotCount || slots_[slot] == nullptr) return {};
  Slot& closing = *slots_[slot];
  closing.file.Close();
  std::string failure = WriteFailure(slot);
  if (failure.empty() && closing.replacement.Pending()) {
    if (const int error = closing.replacement.Commit(); error != 0) {
      failure = closing.name + ": " + std::strerror(error);
    }
  }
  slots_[slot].reset();  // a replacement not committed leaves the old file as it was
  return failure;
}

std::string FileSlots::CloseAll() {
  std::string first;
  for (int slot = 0; slot < kFileSlotCount; ++slot) {
    const std::string failure = Close(slot);
    if (first.empty()) first = failure;
  }
  return first;
}

toolsupport::BufferedFile* FileSlots::File(int slot) {
  if (slot < 0 || slot >= kFileSlotCount || slots_[slot] == nullptr) return nullptr;
  return &slots_[slot]->file;
}

}  // namespace script
