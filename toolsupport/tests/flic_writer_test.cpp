#include "toolsupport/picture/flic_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

#include "toolsupport/picture/flic_encode.h"
#include "toolsupport/tests/flic_test_support.h"
#include "testsupport/file_contents.h"

namespace {

using namespace flictest;
// Writes the frames (one palette for all unless given per frame) and returns the file's bytes.
std::vector<uint8_t> WriteFlic(const std::string& name, int w, int h, const std::vector<Frame>& frames,
                               const std::vector<Palette>& palettes = {}, int32_t rate = 70) {
  FlicWriter writer;
  FlicWriterInit(writer);
  EXPECT_TRUE(CreateFlic(writer, name, w, h, rate));
  Palette one = Ramp(1);
  for (size_t i = 0; i < frames.size(); ++i)
    EXPECT_TRUE(WriteFlicFrame(writer, palettes.empty() ? one.data() : palettes[i].data(), frames[i].data()));
  int64_t size = CloseFlic(writer);
  EXPECT_FALSE(writer.error);
  FlicWriterFree(writer);
  std::vector<uint8_t> bytes = ReadFileBytes(name);
  EXPECT_EQ(size, static_cast<int64_t>(bytes.size()));
  return bytes;
}

TEST(FlicWriter, HeaderHoldsSizeCountsExactRateAndFrameOffsets) {
  ScratchDirectory dir;
  FlicWriter writer;
  FlicWriterInit(writer);
  ASSERT_TRUE(CreateFlic(writer, dir.File("clip"), 64, 48, -6667));  // ".flc" is added
  Palette p = Ramp(1);
  for (uint32_t i = 0; i < 3; ++i) ASSERT_TRUE(WriteFlicFrame(writer, p.data(), Noise(64, 48, i).data()));
  CloseFlic(writer);
  FlicWriterFree(writer);
  std::vector<uint8_t> file = ReadFileBytes(dir.File("clip.flc"));
  ASSERT_GE(file.size(), 128u);
  EXPECT_EQ(Le32(file, 0), file.size());
  EXPECT_EQ(Le16(file, 4), 0xAF12u);
  EXPECT_EQ(Le16(file, 6), 3u);
  EXPECT_EQ(Le16(file, 8), 64u);
  EXPECT_EQ(Le16(file, 10), 48u);
  EXPECT_EQ(Le16(file, 12), 8u);
  EXPECT_EQ(Le16(file, 14), 3u);
  EXPECT_EQ(Le32(file, 16), 66u);
  EXPECT_EQ(static_cast<int32_t>(Le32(file, 26)), -6667);
  EXPECT_EQ(Le16(file, 38), 1u);
  EXPECT_EQ(Le16(file, 40), 1u);
  std::vector<FrameInfo> frames = WalkFrames(file);
  ASSERT_EQ(frames.size(), 4u);  // three and the ring frame
  EXPECT_EQ(Le32(file, 80), 128u);
  EXPECT_EQ(Le32(file, 84), frames[1].offset);
  EXPECT_EQ(frames.back().offset + frames.back().size, file.size());

  std::vector<uint8_t> classic = WriteFlic(dir.File("c.flc"), 320, 200, {Flat(320, 200, 1)}, {}, 50);
  EXPECT_EQ(Le32(classic, 16), 50u);
  EXPECT_EQ(Le32(classic, 26), 0u);
  EXPECT_EQ(Le16(classic, 38), 6u);
  EXPECT_EQ(Le16(classic, 40), 5u);
}

TEST(FlicWriter, RefusesSizesItCannotWrite) {
  ScratchDirectory dir;
  FlicWriter writer;
  FlicWriterInit(writer);
  EXPECT_FALSE(CreateFlic(writer, dir.File("odd.flc"), 63, 48, 70));
  EXPECT_FALSE(CreateFlic(writer, dir.File("zero.flc"), 64, 0, 70));
  EXPECT_FALSE(CreateFlic(writer, dir.File("wide.flc"), 65536, 2, 70));
  EXPECT_FALSE(CreateFlic(writer, dir.File("missing/dir.flc"), 64, 48, 70));
  EXPECT_FALSE(std::filesystem::exists(dir.File("odd.flc")));
  FlicWriterFree(writer);
}

TEST(FlicWriter, UnchangedFramesAreEmptyAndPaletteChunksCarryOnlyChanges) {
  ScratchDirectory dir;
  Palette first = Ramp(1), changed = first;
  changed[5 * 3] ^= 0xFF;
  changed[200 * 3 + 1] ^= 0xFF;
  changed[201 * 3 + 2] ^= 0xFF;
  Frame f = Gradient(64, 48);
  std::vector<uint8_t> file = WriteFlic(dir.File("p.flc"), 64, 48, {f, f, f}, {first, first, changed});
  std::vector<FrameInfo> frames = WalkFrames(file);
  ASSERT_EQ(frames.size(), 4u);
  // First frame: every palette entry in one packet, then the pixels.
  ASSERT_EQ(frames[0].chunks.size(), 2u);
  EXPECT_EQ(frames[0].chunks[0].type, kFlicColour256);
  size_t c = frames[0].chunks[0].dataOffset;
  EXPECT_EQ(Le16(file, c), 1u);
  EXPECT_EQ(file[c + 2], 0);
  EXPECT_EQ(file[c + 3], 0);  // 256 entries
  EXPECT_TRUE(frames[1].chunks.empty());
  // Third frame: packets for entry 5 and entries 200-201 only, no pixels.
  ASSERT_EQ(frames[2].chunks.size(), 1u);
  c = frames[2].chunks[0].dataOffset;
  EXPECT_EQ(Le16(file, c), 2u);
  EXPECT_EQ(file[c + 2], 5);
  EXPECT_EQ(file[c + 3], 1);
  EXPECT_EQ(file[c + 7], 194);  // skipped from entry 6 to 200
  EXPECT_EQ(file[c + 8], 2);
  EXPECT_EQ(file[c + 10], changed[200 * 3 + 1]);
}

// Applies the palette packets of a colour chunk.
void ApplyColourChunk(const std::vector<uint8_t>& file, const ChunkInfo& chunk, Palette& palette) {
  size_t at = chunk.dataOffset + 2;
  int entry = 0;
  for (uint32_t p = 0; p < Le16(file, chunk.dataOffset); ++p) {
    entry += file[at];
    int count = file[at + 1] ? file[at + 1] : 256;
    std::copy_n(&file[at + 2], count * 3, &palette[entry * 3]);
    entry += count;
    at += 2 + count * 3;
  }
}

TEST(FlicWriter, RingFrameRestoresTheFirstPalette) {
  ScratchDirectory dir;
  Palette first = Ramp(1), second = Ramp(7);
  std::vector<uint8_t> file =
      WriteFlic(dir.File("r.flc"), 64, 48, {Gradient(64, 48), Noise(64, 48, 3)}, {first, second});
  std::vector<FrameInfo> frames = WalkFrames(file);
  ASSERT_EQ(frames.size(), 3u);
  Palette shown{};
  for (const FrameInfo& f : frames)
    for (const ChunkInfo& c : f.chunks)
      if (c.type == kFlicColour256) ApplyColourChunk(file, c, shown);
  EXPECT_EQ(shown, first);
  EXPECT_EQ(frames[2].chunks.size(), 2u);
}

TEST(FlicWriter, NoFramesMakeAHeaderOnly) {
  ScratchDirectory dir;
  std::vector<uint8_t> file = WriteFlic(dir.File("empty.flc"), 64, 48, {});
  EXPECT_EQ(file.size(), 128u);
  EXPECT_EQ(Le32(file, 0), 128u);
  EXPECT_EQ(Le16(file, 6), 0u);
}

TEST(FlicWriter, StopsWithAWriteErrorBeyondTheLargestFrameCount) {
  ScratchDirectory dir;
  FlicWriter writer;
  FlicWriterInit(writer);
  ASSERT_TRUE(CreateFlic(writer, dir.File("long.flc"), 2, 1, 10));
  Palette p = Ramp(0);
  const uint8_t pixels[2][2] = {{1, 2}, {3, 4}};
  for (uint32_t i = 0; i < kMaxFlicFrames; ++i) ASSERT_TRUE(WriteFlicFrame(writer, p.data(), pixels[i % 2]));
  EXPECT_FALSE(writer.error);
  EXPECT_FALSE(WriteFlicFrame(writer, p.data(), pixels[0]));
  EXPECT_TRUE(writer.error);
  CloseFlic(writer);
  FlicWriterFree(writer);
  std::vector<uint8_t> file = ReadFileBytes(dir.File("long.flc"));
  EXPECT_EQ(Le16(file, 6), 65535u);
  EXPECT_EQ(WalkFrames(file).size(), 65536u);
}

TEST(FlicWriter, WriteFailureWhileClosingIsReported) {
  ScratchDirectory dir;
  std::filesystem::create_symlink("/dev/full", dir.File("full.flc"));  // every write fails
  FlicWriter writer;
  FlicWriterInit(writer);
  ASSERT_TRUE(CreateFlic(writer, dir.File("full.flc"), 8, 2, 70));  // the header waits in the buffer
  Palette p = Ramp(0);
  EXPECT_TRUE(WriteFlicFrame(writer, p.data(), Flat(8, 2, 1).data()));
  CloseFlic(writer);
  EXPECT_TRUE(writer.error);
  FlicWriterFree(writer);
}

TEST(FlicWriter, IndependentReaderSeesTheSamePixels) {
  std::string python = PythonWithImaging();
  if (python.empty()) GTEST_SKIP() << "no python3 with the imaging library";
  ScratchDirectory dir;
  std::set<uint16_t> types;
  for (const Clip& clip : Clips()) {
    SCOPED_TRACE(clip.name);
    std::string name = dir.File(std::string(clip.name) + ".flc");
    std::vector<uint8_t> file = WriteFlic(name, clip.width, clip.height, clip.frames);
    for (const FrameInfo& f : WalkFrames(file))
      for (const ChunkInfo& c : f.chunks) types.insert(c.type);
    Frame expected;
    for (const Frame& f : clip.frames) expected.insert(expected.end(), f.begin(), f.end());
    Frame seen;
    ASSERT_TRUE(ReadWithImaging(python, name, dir.File(clip.name), seen));
    ASSERT_EQ(seen.size(), expected.size());
    EXPECT_TRUE(seen == expected);

    // Counting the ring frame too, the reader shows the first frame again at the end.
    file[6] = static_cast<uint8_t>(clip.frames.size() + 1);
    std::string ring = dir.File(std::string(clip.name) + "-ring.flc");
    std::ofstream(ring, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    ASSERT_TRUE(ReadWithImaging(python, ring, dir.File(clip.name), seen));
    ASSERT_EQ(seen.size(), expected.size() + clip.frames[0].size());
    EXPECT_TRUE(std::equal(clip.frames[0].begin(), clip.frames[0].end(), seen.end() - clip.frames[0].size()));
  }
  EXPECT_EQ(types, (std::set<uint16_t>{kFlicColour256, kFlicDeltaFlc, kFlicDeltaFli, kFlicByteRun, kFlicCopy}));
}

}  // namespace
