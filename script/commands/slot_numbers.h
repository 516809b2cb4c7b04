#pragma once
// The numbers scripts give for slots, checked and turned into slot indexes: animations 3000 to
// 3031, bitmaps 9000 to 9127 (0 for the screen where a command allows it), files 5000 to 5063.
// A number that names no open slot is a script error. Also the lists of the open slots.
#include <cstdint>

namespace script {

class CommandContext;

// The bitmap number that means the screen.
inline constexpr int kScreenBitmap = -1;

// The slot a number names, or kScreenBitmap for 0 where the screen is allowed.
int BitmapSlotOf(CommandContext& context, int32_t number, bool screenAllowed);
int AnimationSlotOf(CommandContext& context, int32_t number);
int FileSlotOf(CommandContext& context, int32_t number);

// A number parameter taken and checked as above.
int TakeBitmapSlot(CommandContext& context, bool screenAllowed = false);
int TakeAnimationSlot(CommandContext& context);
int TakeFileSlot(CommandContext& context);

// One line per open slot, on the screen, or into the trace file while one is open; the
// window is needed either way.
void ListAnimations(CommandContext& context);
void ListBitmaps(CommandContext& context);
void ListFileSlots(CommandContext& context);

}  // namespace script
