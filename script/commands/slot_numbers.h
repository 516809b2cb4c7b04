#pragma once
// The numbers scripts give for slots, checked and turned into slot indexes: animations 3000 to
// 3031, bitmaps 9000 to 9127 (0 for the screen where a command allows it), files 5000 to 5063.
// A number that names no open slot is a script error. Also the lists of the open slots.
#include <cstdint>

namespace script {

class ScriptContext;

// The bitmap number that means the screen.
inline constexpr int kScreenBitmap = -1;

// "  Bad frame parameter:", "  Bad animation parameter:", "  Bad file parameter:" with the line.
[[noreturn]] void ErrorBadFrame(ScriptContext& context);
[[noreturn]] void ErrorBadAnimation(ScriptContext& context);
[[noreturn]] void ErrorBadFile(ScriptContext& context);

// The slot a number names, or kScreenBitmap for 0 where the screen is allowed.
int BitmapSlotOf(ScriptContext& context, int32_t number, bool screenAllowed);
int AnimationSlotOf(ScriptContext& context, int32_t number);
int FileSlotOf(ScriptContext& context, int32_t number);

// A number parameter taken and checked as above.
int TakeBitmapSlot(ScriptContext& context, bool screenAllowed = false);
int TakeAnimationSlot(ScriptContext& context);
int TakeFileSlot(ScriptContext& context);

// Frees the bitmap; the videos that decode into it let go of it.
void FreeBitmap(ScriptContext& context, int slot);

// One line per open slot, on the screen, or into the trace file while one is open; the
// window is needed either way.
void ListAnimations(ScriptContext& context);
void ListBitmaps(ScriptContext& context);
void ListFileSlots(ScriptContext& context);

}  // namespace script
