#include "toolsupport/ui/tool_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/face/dialogs.h"
#include "toolsupport/ui/status_window.h"

namespace {

TEST(ToolMemory, AlignedBlocksAndTheOutOfMemoryMessage) {
  ResetStatusWindowForTesting();
  platform::ScriptedDialogs dialogs;
  for (size_t size : {size_t{0}, size_t{1}, size_t{100}, size_t{4096}}) {
    auto* block = static_cast<uint8_t*>(AllocAligned(size));
    ASSERT_NE(block, nullptr) << size;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 16, 0u);
    std::memset(block, 0xAB, size);
    AlignedFree(block);
  }
  EXPECT_TRUE(dialogs.asked().empty());

  EXPECT_EQ(AllocAligned(SIZE_MAX - 1), nullptr);
  ASSERT_EQ(dialogs.asked().size(), 1u);
  EXPECT_EQ(dialogs.asked()[0].text, "Error: ran out of memory!");
  EXPECT_EQ(dialogs.asked()[0].icon, platform::DialogIcon::Error);
  AlignedFree(nullptr);
}

}  // namespace
