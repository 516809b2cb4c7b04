// Mapping a video's colours onto another palette: the nearest-colour search, the target
// layouts, and the mapped indexes that decoding then gives.
#include <gtest/gtest.h>

#include "playback/color_remap.h"
#include "playback/tests/coded_video.h"
#include "playback/tests/played_frames.h"
#include "playback/tests/test_video.h"
#include "playback/vant.h"

namespace {

using VideoColors = uint8_t[256][3];

void ToVideoColors(const ColorTable& table, VideoColors& colors) {
  for (int i = 0; i < 256; ++i) {
    for (int c = 0; c < 3; ++c) colors[i][c] = table[i][c];
  }
}

// Writes colours into a target palette of the given layout.
std::vector<uint8_t> Target(const std::vector<std::array<uint8_t, 3>>& colors, uint32_t flags) {
  uint32_t size = (flags & VANT_COLORS_4_BYTES) ? 4 : 3;
  uint32_t offset[3] = {0, 1, 2};
  if ((flags & VANT_COLORS_4_BYTES) && (flags & VANT_COLORS_SKIP_FIRST)) offset[0] = 1, offset[1] = 2, offset[2] = 3;
  if (flags & VANT_COLORS_BGR) std::swap(offset[0], offset[2]);
  const uint32_t scale = (flags & VANT_COLORS_16_BIT) ? 2 : 1;
  std::vector<uint8_t> bytes(colors.size() * size * scale, 0x77);
  for (size_t e = 0; e < colors.size(); ++e) {
    for (int c = 0; c < 3; ++c) bytes[(e * size + offset[c]) * scale] = colors[e][c];
  }
  return bytes;
}

std::array<uint8_t, 256> Translate(const VideoColors& video, const std::vector<uint8_t>& target, uint32_t count,
                                   uint32_t flags) {
  std::array<uint8_t, 256> table;
  BuildColorTranslation(video, target.data(), count, flags, table.data());
  return table;
}

TEST(ColorRemap, AnEqualPaletteMapsEveryColourToItself) {
  const ColorTable palette = TestPalette();
  VideoColors video;
  ToVideoColors(palette, video);
  const std::vector<std::array<uint8_t, 3>> same(palette.begin(), palette.end());
  // Also when the video has one colour many times over: the entry of its own index wins.
  VideoColors grey{};
  for (uint32_t flags : {0u, 4u, 4u | 8u, 2u, 4u | 2u, 1u, 4u | 8u | 2u | 1u}) {
    SCOPED_TRACE(flags);
    const std::array<uint8_t, 256> table = Translate(video, Target(same, flags), 256, flags);
    const std::array<uint8_t, 256> greys =
        Translate(grey, Target(std::vector<std::array<uint8_t, 3>>(256, {0, 0, 0}), flags), 256, flags);
    for (int i = 0; i < 256; ++i) {
      ASSERT_EQ(table[i], i);
      ASSERT_EQ(greys[i], i);
    }
  }
}

TEST(ColorRemap, FewerTargetEntriesAreSearchedFromIndexModuloCount) {
  VideoColors video{};
  for (int i = 0; i < 256; ++i) video[i][0] = static_cast<uint8_t>(i);  // reds 0 to 255
  // Eight targets: pairs of equal colours 0, 0, 80, 80, 160, 160, 240, 240.
  std::vector<std::array<uint8_t, 3>> colors;
  for (int e = 0; e < 8; ++e) colors.push_back({static_cast<uint8_t>(e / 2 * 80), 0, 0});
  // Only the eight entries exist: anything read past them would be a fault.
  std::vector<uint8_t> target = Target(colors, 0);
  const std::array<uint8_t, 256> table = Translate(video, target, 8, 0);
  for (int i = 0; i < 256; ++i) {
    if (i % 80 == 40) continue;  // as near to two colours: not the point here
    const int pair = std::min(3, (i + 40) / 80);
    // Of the equal pair, the search from entry i mod 8 meets the second first only when it
    // starts there.
    const int expected = i % 8 == 2 * pair + 1 ? 2 * pair + 1 : 2 * pair;
    ASSERT_EQ(table[i], expected) << "red " << i;
  }
}

TEST(ColorRemap, TheNearestColourWinsAndTiesGoToTheFirstEntryMet) {
  VideoColors video{};
  video[0][0] = 100;                        // nearest to 98 (entry 1) rather than 104 (entry 2)
  video[1][0] = 101, video[1][2] = 1;       // as near to 98 as to 104: entry 1 comes first
  video[2][0] = 101, video[2][2] = 1;       // from entry 2 on, 104 comes first
  video[3][1] = 50;                         // exact match at entry 0, met after wrapping
  const std::vector<std::array<uint8_t, 3>> colors = {{0, 50, 0}, {98, 0, 0}, {104, 0, 0}};
  const std::array<uint8_t, 256> table = Translate(video, Target(colors, 0), 3, 0);
  EXPECT_EQ(table[0], 1);
  EXPECT_EQ(table[1], 1);
  EXPECT_EQ(table[2], 2);
  EXPECT_EQ(table[3], 0);
}

TEST(ColorRemap, DecodingGivesTheMappedIndexes) {
  ScratchDirectory dir;
  CodedVideoSpec spec;
  spec.pictures = ChangingPictures(16, 8, 3, 8);
  spec.palettes.assign(3, TestPalette());
  spec.keyFrames = true;  // every pixel drawn anew in each frame
  const CodedVideo coded = WriteCodedVideo(dir.File("c.vnt"), spec);
  VantVideo* video = VantOpen(coded.path.c_str(), 0, VANT_EXTRA_BUFFER_AUTO);
  ASSERT_NE(video, nullptr);
  GuardedBuffer buffer(16, 8);
  VantToBuffer(video, 0, 0, 16, 8, buffer.Data(), 0);

  // The target holds the video's colours in reverse order, 4-byte blue-green-red entries.
  std::vector<std::array<uint8_t, 3>> reversed;
  for (int i = 255; i >= 0; --i) reversed.push_back(coded.palettes[0][i]);
  const std::vector<uint8_t> target = Target(reversed, VANT_COLORS_4_BYTES | VANT_COLORS_BGR);
  EXPECT_EQ(VantColorRemap(video, target.data(), 256, VANT_COLORS_4_BYTES | VANT_COLORS_BGR), 1);
  VantDoFrame(video);
  for (uint32_t y = 0; y < 8; ++y) {
    for (uint32_t x = 0; x < 16; ++x) ASSERT_EQ(buffer.At8(x, y), 255 - coded.pictures[0].At(x, y));
  }
  VantNextFrame(video);

  // A caller's table replaces the mapping.
  uint8_t table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i ^ 0x55);
  EXPECT_EQ(VantColorTrans(video, table), 1);
  VantDoFrame(video);
  for (uint32_t y = 0; y < 8; ++y) {
    for (uint32_t x = 0; x < 16; ++x) ASSERT_EQ(buffer.At8(x, y), coded.pictures[1].At(x, y) ^ 0x55);
  }
  EXPECT_EQ(VantColorRemap(video, target.data(), 0, 0), 0);
  VantClose(video);
}

}  // namespace
