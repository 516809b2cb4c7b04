#include "toolsupport/ui/tool_memory.h"

#include "toolsupport/ui/status_window.h"

void* AllocAligned(size_t size) {
  void* block = AlignedAlloc(size == 0 ? 1 : size);
  if (block == nullptr) ShowMessage(true, "Error: ran out of memory!");
  return block;
}
