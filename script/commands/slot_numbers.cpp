#include "script/commands/slot_numbers.h"

#include "script/screen/listing.h"
#include "script/language/params.h"
#include "script/commands/command_context.h"
#include "script/language/script_error.h"

namespace script {

namespace {

// The slot of `number` among `count` from `base`, or -1.
int SlotInRange(int32_t number, int base, int count) {
  return number >= base && number < base + count ? number - base : -1;
}

}  // namespace

int BitmapSlotOf(CommandContext& context, int32_t number, bool screenAllowed) {
  if (screenAllowed && number == 0) return kScreenBitmap;
  const int slot = SlotInRange(number, kBitmapNumberBase, kBitmapSlotCount);
  if (context.screen.bitmaps.Get(slot) == nullptr) ErrorBadFrame(context);
  return slot;
}

int AnimationSlotOf(CommandContext& context, int32_t number) {
  const int slot = SlotInRange(number, kAnimationNumberBase, kAnimationSlotCount);
  if (context.screen.animations.Get(slot) == nullptr) ErrorBadAnimation(context);
  return slot;
}

int FileSlotOf(CommandContext& context, int32_t number) {
  const int slot = SlotInRange(number, kFileNumberBase, kFileSlotCount);
  if (context.files.File(slot) == nullptr) ErrorBadFile(context);
  return slot;
}

int TakeBitmapSlot(CommandContext& context, bool screenAllowed) {
  return BitmapSlotOf(context, TakeNumber(context), screenAllowed);
}

int TakeAnimationSlot(CommandContext& context) { return AnimationSlotOf(context, TakeNumber(context)); }

int TakeFileSlot(CommandContext& context) { return FileSlotOf(context, TakeNumber(context)); }

void ListAnimations(CommandContext& context) {
  std::vector<std::string> lines;
  for (int slot = 0; slot < kAnimationSlotCount; ++slot) {
    const AnimationSlot* animation = context.screen.animations.Get(slot);
    if (animation == nullptr) continue;
    lines.push_back("Number: " + std::to_string(kAnimationNumberBase + slot) + "  Name: " +
                    animation->baseName + "  Width: " + std::to_string(animation->video->header.width) +
                    "  Height: " + std::to_string(animation->video->header.height));
  }
  ListLines(context, context.screen, lines);
}

void ListBitmaps(CommandContext& context) {
  std::vector<std::string> lines;
  for (int slot = 0; slot < kBitmapSlotCount; ++slot) {
    const Bitmap* bitmap = context.screen.bitmaps.Get(slot);
    if (bitmap == nullptr) continue;
    lines.push_back("Number: " + std::to_string(kBitmapNumberBase + slot) + "  Width: " +
                    std::to_string(bitmap->width) + "  Height: " + std::to_string(bitmap->height));
  }
  ListLines(context, context.screen, lines);
}

void ListFileSlots(CommandContext& context) {
  std::vector<std::string> lines;
  for (int slot = 0; slot < kFileSlotCount; ++slot) {
    const toolsupport::BufferedFile* file = context.files.File(slot);
    if (file == nullptr) continue;
    const char* name = file->Name();
    lines.push_back("Number: " + std::to_string(kFileNumberBase + slot) + "  File: " + (name != nullptr ? name : ""));
  }
  ListLines(context, context.screen, lines);
}

}  // namespace script
