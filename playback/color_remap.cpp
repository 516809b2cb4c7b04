// VantColorRemap and VantColorTrans: colour translation of the decoded pixels.
#include "playback/color_remap.h"

#include <algorithm>

#include "playback/library_state.h"
#include "playback/palette_layout.h"
#include "playback/tree_tables.h"
#include "playback/vant.h"

namespace {

uint32_t SquaredDistance(const uint8_t color[3], const uint8_t* entry, const playback::PaletteLayout& layout) {
  const int dr = int{color[0]} - entry[layout.red];
  const int dg = int{color[1]} - entry[layout.green];
  const int db = int{color[2]} - entry[layout.blue];
  return static_cast<uint32_t>(dr * dr + dg * dg + db * db);
}

int32_t TranslateTreeColors(VantVideo* video, const uint8_t table[256]) {
  if (video->treeBlock == nullptr) return 0;
  return RemapTreeColors(*video->treeBlock, table);
}

}  // namespace

void BuildColorTranslation(const uint8_t video[256][3], const uint8_t* target, uint32_t count,
                           uint32_t layoutFlags, uint8_t table[256]) {
  const playback::PaletteLayout layout = playback::PaletteLayoutFromFlags(static_cast<int32_t>(layoutFlags));
  for (uint32_t i = 0; i < 256; ++i) {
    const uint32_t start = i % count;
    uint32_t best = start;
    uint32_t bestDistance = UINT32_MAX;
    for (uint32_t step = 0; step < count; ++step) {
      const uint32_t entry = (start + step) % count;
      const uint32_t distance = SquaredDistance(video[i], target + size_t{entry} * layout.entry_size, layout);
      if (distance < bestDistance) {
        bestDistance = distance;
        best = entry;
        if (distance == 0) break;
      }
    }
    table[i] = static_cast<uint8_t>(best);
  }
}

int32_t VantColorRemap(VantVideo* video, const void* palette, int32_t count, int32_t flags) {
  if (video == nullptr) return 0;
  RunSoundService();
  if (palette == nullptr || count <= 0) return 0;
  uint8_t table[256];
  BuildColorTranslation(video->palette, static_cast<const uint8_t*>(palette),
                        static_cast<uint32_t>(std::min(count, 256)), static_cast<uint32_t>(flags), table);
  return TranslateTreeColors(video, table);
}

int32_t VantColorTrans(VantVideo* video, const uint8_t table[256]) {
  if (video == nullptr) return 0;
  RunSoundService();
  const int32_t result = table == nullptr ? 0 : TranslateTreeColors(video, table);
  RunSoundService();
  return result;
}
