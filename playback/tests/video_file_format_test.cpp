#include "playback/video_file_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace vntfile;

namespace {

VideoFileHeader SampleHeader() {
  VideoFileHeader header{};
  std::memcpy(header.magic, kMagic, 4);
  header.width = 320;
  header.height = 200;
  header.frames = 0x01020304;
  header.frameRate = -6667;
  header.flags = kFlagRingFrame | kFlagDoubled;
  for (uint32_t t = 0; t < 7; ++t) header.audioSizes[t] = 1000 + t;
  header.treeDataSize = 0xA1B2C3D4;
  for (uint32_t k = 0; k < 4; ++k) header.treeSizes[k] = 12 + k;
  for (uint32_t t = 0; t < 7; ++t) header.soundRates[t] = 0xC0000000u | (11025 * (t + 1));
  header.reserved = 0;
  return header;
}

void FillPalette(Palette& palette, uint32_t seed) {
  std::mt19937 random(seed);
  for (auto& entry : palette)
    for (auto& c : entry) c = static_cast<uint8_t>(random());
}

// The palette a reader holds for an encoder palette: each component kept to 6 bits and widened.
void ExpectReaderPalette(const Palette& decoded, const Palette& source) {
  for (int e = 0; e < 256; ++e)
    for (int c = 0; c < 3; ++c)
      ASSERT_EQ(decoded[e][c], Widen6To8(source[e][c] >> 2)) << "entry " << e << " component " << c;
}

}  // namespace

TEST(VideoFileHeaderTest, FieldsSitAtTheirOffsetsLittleEndianAndRoundTrip) {
  const VideoFileHeader header = SampleHeader();
  uint8_t bytes[kHeaderSize];
  SerializeHeader(header, bytes);
  EXPECT_EQ(0, std::memcmp(bytes, "VNT2", 4));
  EXPECT_EQ(bytes[12], 0x04);  // frames, low byte first
  EXPECT_EQ(bytes[15], 0x01);
  EXPECT_EQ(LoadLE32(bytes + 16), uint32_t(-6667));
  EXPECT_EQ(LoadLE32(bytes + 24), 1000u);      // audio size of track 0
  EXPECT_EQ(LoadLE32(bytes + 48), 1006u);      // audio size of track 6
  EXPECT_EQ(LoadLE32(bytes + 52), 0xA1B2C3D4u);  // tree data size
  EXPECT_EQ(LoadLE32(bytes + 56), 12u);
  EXPECT_EQ(LoadLE32(bytes + 72), 0xC0000000u | 11025);
  EXPECT_EQ(LoadLE32(bytes + 96), 0xC0000000u | 11025 * 7);

  const VideoFileHeader back = ParseHeader(bytes);
  EXPECT_TRUE(HasMagic(back));
  EXPECT_EQ(0, std::memcmp(&back, &header, sizeof(header)));
  bytes[3] = '1';
  EXPECT_FALSE(HasMagic(ParseHeader(bytes)));
}

TEST(VideoFileHeaderTest, StoredFramesAndOffsetsCountTheRingFrameIn64Bits) {
  VideoFileHeader header{};
  header.frames = 0xFFFFFFFF;
  header.flags = kFlagRingFrame;
  header.treeDataSize = 0xFFFFFFFF;
  EXPECT_EQ(StoredFrameCount(header), 0x100000000ull);
  EXPECT_EQ(FirstFrameOffset(header), 104 + 5 * 0x100000000ull + 0xFFFFFFFFull);

  const std::vector<uint32_t> sizes = {0xFFFFFFFC, 0xFFFFFFFC, 8};
  EXPECT_EQ(FrameOffset(512, sizes, 0), 512u);
  EXPECT_EQ(FrameOffset(512, sizes, 2), 512 + 2 * 0xFFFFFFFCull);
  EXPECT_EQ(FrameOffset(512, sizes, 3), 512 + 2 * 0xFFFFFFFCull + 8);
}

TEST(VideoFileHeaderTest, TrackBytesPerSecondFromRateWord) {
  EXPECT_EQ(TrackBytesPerSecond(kRatePresent | 22050), 22050u);
  EXPECT_EQ(TrackBytesPerSecond(kRatePresent | kRate16Bit | kRateStereo | 44100), 176400u);
  EXPECT_EQ(TrackBytesPerSecond(kRate16Bit | 0xFFFFFF), 2ull * 0xFFFFFF);
  EXPECT_EQ(Widen6To8(0), 0);
  EXPECT_EQ(Widen6To8(63), 255);
  EXPECT_EQ(Widen6To8(32), 130);
}

TEST(PaletteChunkTest, OneNewEntryAtIndex200) {
  Palette previous{}, next{};
  for (int e = 0; e < 256; ++e) previous[e][0] = next[e][0] = static_cast<uint8_t>(e % 100);
  next[200][0] = 252;  // a colour found nowhere in the previous palette
  next[200][1] = 128;
  next[200][2] = 4;
  std::vector<uint8_t> out = {0xAA};  // earlier bytes of the frame stay untouched
  ASSERT_TRUE(WritePaletteChunk(out, next, previous, false));
  const std::vector<uint8_t> expected = {0xAA, 2, 0xFF, 0xC7, 63, 32, 1, 0xB6, 0};
  EXPECT_EQ(out, expected);
  EXPECT_EQ(0, std::memcmp(previous, next, sizeof(Palette)));
}

TEST(PaletteChunkTest, UnchangedPaletteWritesNothing) {
  Palette previous, next;
  FillPalette(previous, 3);
  std::memcpy(next, previous, sizeof(Palette));
  std::vector<uint8_t> out = {1, 2, 3};
  EXPECT_FALSE(WritePaletteChunk(out, next, previous, false));
  EXPECT_EQ(out.size(), 3u);
  Palette zero{}, stillZero{};
  EXPECT_FALSE(WritePaletteChunk(out, zero, stillZero, false));  // frame 0 of an all-black video
}

TEST(PaletteChunkTest, KeyFrameWritesAllEntries) {
  Palette previous, next;
  FillPalette(previous, 5);
  std::memcpy(next, previous, sizeof(Palette));
  next[7][1] ^= 0x40;
  std::vector<uint8_t> out;
  ASSERT_TRUE(WritePaletteChunk(out, next, previous, true));
  ASSERT_EQ(out.size(), 772u);
  EXPECT_EQ(out[0], 193);
  for (int e = 0; e < 256; ++e)
    for (int c = 0; c < 3; ++c) ASSERT_EQ(out[1 + e * 3 + c], next[e][c] >> 2);

  // A player that starts here gets the whole palette whatever it held before.
  Palette reader;
  FillPalette(reader, 99);
  EXPECT_TRUE(DecodePaletteChunk(out.data(), out.size(), reader));
  ExpectReaderPalette(reader, next);
}

TEST(PaletteChunkTest, CopiesAndKeepsLongRuns) {
  Palette previous, next;
  FillPalette(previous, 7);
  std::memcpy(next, previous, sizeof(Palette));
  // Entries 10..149 take the colours of entries 100..239: one copy run of 140 entries.
  for (int e = 10; e < 150; ++e) std::memcpy(next[e], previous[e + 90], 3);
  std::vector<uint8_t> out;
  Palette written;
  std::memcpy(written, previous, sizeof(Palette));
  ASSERT_TRUE(WritePaletteChunk(out, next, written, false));
  const std::vector<uint8_t> expected = {3,    0x89, 0x7F, 100, 0x7F, 164,
                                         0x4B, 228,  0xE9, 0,   0,    0};
  EXPECT_EQ(out, expected);  // keep 10, copy 64 + 64 + 12, keep 106
}

TEST(PaletteChunkTest, ReaderRebuildsEverySequenceOfPalettes) {
  std::mt19937 random(11);
  Palette source{}, written{}, reader{};
  for (int frame = 0; frame < 300; ++frame) {
    if (frame == 0 || random() % 10 == 0) {
      FillPalette(source, random());
    } else {
      const int changes = 1 + random() % 6;
      for (int i = 0; i < changes; ++i) {
        const uint32_t at = random() % 256, length = 1 + random() % 80, from = random() % 256;
        for (uint32_t e = at; e < 256 && e < at + length; ++e) {
          if (random() % 3 == 0) {
            source[e][random() % 3] = static_cast<uint8_t>(random());
          } else {
            std::memcpy(source[e], source[(from + e - at) % 256], 3);
          }
        }
      }
    }
    const bool keyFrame = frame > 0 && random() % 7 == 0;
    std::vector<uint8_t> chunk;
    if (WritePaletteChunk(chunk, source, written, keyFrame)) {
      ASSERT_EQ(chunk.size() % 4, 0u);
      ASSERT_EQ(chunk.size(), chunk[0] * 4u);
      ASSERT_LE(chunk[0], 193);
      ASSERT_TRUE(DecodePaletteChunk(chunk.data(), chunk.size(), reader));
    }
    ExpectReaderPalette(reader, source);
  }
}

TEST(PaletteChunkTest, DamagedChunksStayInsideTheirBytesAndThePalette) {
  Palette palette;
  FillPalette(palette, 1);
  Palette before;
  std::memcpy(before, palette, sizeof(Palette));

  // Keep 250, then copy 64 entries from 252: only 6 fit, and of those only 4 have a source.
  const uint8_t copyPastEnd[] = {2, 0xFF, 0xF9, 0x7F, 252, 0, 0, 0};
  EXPECT_TRUE(DecodePaletteChunk(copyPastEnd, sizeof(copyPastEnd), palette));
  for (int e = 250; e < 254; ++e) EXPECT_EQ(0, std::memcmp(palette[e], before[e + 2], 3)) << e;
  for (int e = 254; e < 256; ++e) EXPECT_EQ(0, std::memcmp(palette[e], before[e], 3)) << e;
  std::memcpy(palette, before, sizeof(Palette));

  // Records that end before 256 entries (the chunk ends inside a new entry).
  const uint8_t shortChunk[] = {1, 0x80, 5, 6};
  EXPECT_FALSE(DecodePaletteChunk(shortChunk, sizeof(shortChunk), palette));
  EXPECT_EQ(0, std::memcmp(palette[1], before[1], 3));

  // Components above 63 are kept to six bits.
  const uint8_t wide[] = {2, 10, 0xFF, 0xC0, 0xFF, 0xFF, 0x80 | 126, 0};
  EXPECT_TRUE(DecodePaletteChunk(wide, sizeof(wide), palette));
  EXPECT_EQ(palette[0][0], Widen6To8(10));
  EXPECT_EQ(palette[0][1], 255);
  EXPECT_EQ(palette[0][2], 0);
}
