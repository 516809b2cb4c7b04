#include "script/language/file_slots.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

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
    auto file = std::make_unique<toolsupport::BufferedFile>(kFileSlotBufferSize);
    const std::string native = NativeFileName(name);
    bool opened = false;
    switch (mode) {
      case SlotMode::kRead:
        opened = file->Open(native.c_str(), toolsupport::FileAccess::Read);
        break;
      case SlotMode::kCreate:
        opened = file->Create(native.c_str());
        break;
      case SlotMode::kReadWrite:
        opened = file->Open(native.c_str(), toolsupport::FileAccess::ReadWrite);
        break;
      case SlotMode::kOpenOrCreate:
        opened = file->Open(native.c_str(), toolsupport::FileAccess::ReadWrite) ||
                 (MakeIfMissing(native) &&
                  file->Open(native.c_str(), toolsupport::FileAccess::ReadWrite));
        break;
    }
    if (!opened) return kNoSlot;
    slots_[slot] = std::move(file);
    return slot;
  }
  return kNoSlot;
}

void FileSlots::Close(int slot) {
  if (slot < 0 || slot >= kFileSlotCount || slots_[slot] == nullptr) return;
  slots_[slot]->Close();
  slots_[slot].reset();
}

void FileSlots::CloseAll() {
  for (int slot = 0; slot < kFileSlotCount; ++slot) Close(slot);
}

toolsupport::BufferedFile* FileSlots::File(int slot) {
  if (slot < 0 || slot >= kFileSlotCount) return nullptr;
  return slots_[slot].get();
}

}  // namespace script
