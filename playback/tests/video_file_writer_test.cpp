#include "playback/video_file_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "playback/tests/test_video.h"
#include "playback/video_file_format.h"
#include "testsupport/file_contents.h"

using namespace vntfile;

namespace {

std::vector<uint8_t> Audio(uint32_t length, uint8_t fill) {
  std::vector<uint8_t> chunk(length, fill);
  StoreLE32(chunk.data(), length);
  return chunk;
}

// Frames with every mix of chunks: palette only, audio of tracks 0 and 5, video of odd lengths.
std::vector<FrameBlocks> SampleFrames() {
  std::vector<FrameBlocks> frames(4);
  Palette previous{}, next{};
  next[3][0] = 200;
  WritePaletteChunk(frames[0].palette, next, previous, false);
  frames[0].video = {1, 2, 3, 4, 5};
  frames[1].audio[0] = Audio(12, 0x11);
  frames[1].audio[5] = Audio(8, 0x55);
  frames[1].video = {9};
  // frame 2: nothing at all
  next[4][2] = 7;
  WritePaletteChunk(frames[3].palette, next, previous, false);
  frames[3].audio[6] = Audio(16, 0x66);
  frames[3].video = std::vector<uint8_t>(1000, 0xEE);
  return frames;
}

}  // namespace

TEST(VideoFileWriterTest, LaysOutHeaderTablesTreeDataAndFrames) {
  ScratchDirectory dir;
  const std::string path = dir.File("layout.vnt");
  for (bool ring : {false, true}) {
    const std::vector<FrameBlocks> frames = SampleFrames();
    const uint32_t frameCount = ring ? 3 : 4;
    const std::vector<uint8_t> tree = {0xA5, 0x5A, 0x33};
    VideoFileWriter writer;
    ASSERT_TRUE(writer.Begin(path, frameCount, ring, tree));
    for (const FrameBlocks& frame : frames) ASSERT_TRUE(writer.AddFrame(frame));
    VideoFileHeader header{};
    header.width = 320;
    header.height = 240;
    header.frameRate = 66;
    header.flags = kFlagInterlaced | kFlagRingFrame;  // the writer decides the ring bit itself
    ASSERT_TRUE(writer.Finish(header));

    const std::vector<uint8_t> file = testsupport::ReadFileBytes(path);
    const VideoFileHeader back = ParseHeader(file.data());
    EXPECT_TRUE(HasMagic(back));
    EXPECT_EQ(back.frames, frameCount);
    EXPECT_EQ(back.flags, kFlagInterlaced | (ring ? kFlagRingFrame : 0));
    EXPECT_EQ(back.frameRate, 66);
    EXPECT_EQ(StoredFrameCount(back), 4u);

    const uint64_t treeStart = kHeaderSize + 5 * 4;
    EXPECT_EQ(0, std::memcmp(file.data() + treeStart, tree.data(), tree.size()));
    const uint64_t first = FirstFrameOffset(back);
    EXPECT_EQ(first, 512u);
    for (uint64_t i = treeStart + tree.size(); i < first; ++i) ASSERT_EQ(file[i], 0) << i;

    const std::vector<uint32_t> expectedSizes = {8 + 8, 24, 0, 8 + 16 + 1000};
    const std::vector<uint8_t> expectedTypes = {kTypePalette, uint8_t(TypeAudio(0) | TypeAudio(5)), 0,
                                                uint8_t(kTypePalette | TypeAudio(6))};
    uint64_t offset = first;
    for (uint32_t i = 0; i < 4; ++i) {
      EXPECT_EQ(LoadLE32(file.data() + kHeaderSize + 4 * i), expectedSizes[i]) << i;
      EXPECT_EQ(file[kHeaderSize + 16 + i], expectedTypes[i]) << i;
      // Chunks in order, then the video data, then zeros to the frame's end.
      std::vector<uint8_t> content = frames[i].palette;
      for (const auto& chunk : frames[i].audio) content.insert(content.end(), chunk.begin(), chunk.end());
      content.insert(content.end(), frames[i].video.begin(), frames[i].video.end());
      ASSERT_LE(content.size(), expectedSizes[i]);
      if (!content.empty()) {
        EXPECT_EQ(0, std::memcmp(file.data() + offset, content.data(), content.size())) << i;
      }
      for (uint64_t b = content.size(); b < expectedSizes[i]; ++b) ASSERT_EQ(file[offset + b], 0);
      offset += expectedSizes[i];
    }
    EXPECT_EQ(offset, file.size());
  }
}

TEST(VideoFileWriterTest, FirstFrameStartsAtA512Multiple) {
  ScratchDirectory dir;
  // 104 + 5 * 10 = 154 bytes before the tree data: 870 bytes of it end exactly at 1024.
  for (uint32_t treeBytes : {0u, 1u, 357u, 358u, 359u, 870u, 871u, 1894u}) {
    VideoSpec spec;
    spec.treeBytes = treeBytes;
    const WrittenVideo video = WriteTestVideo(dir.File("align.vnt"), spec);
    const uint64_t first = FirstFrameOffset(video.header);
    EXPECT_EQ(first % 512, 0u) << treeBytes;
    EXPECT_GE(video.header.treeDataSize, treeBytes);
    EXPECT_LT(video.header.treeDataSize, treeBytes + 512);
    if (treeBytes == 870) {
      EXPECT_EQ(video.header.treeDataSize, 870u);
    }
    for (uint32_t size : video.sizes) EXPECT_EQ(size % 4, 0u);
  }
}

TEST(VideoFileWriterTest, RefusesInconsistentBlocksAndDeletesUnfinishedFiles) {
  ScratchDirectory dir;
  const std::string path = dir.File("bad.vnt");
  {
    VideoFileWriter writer;
    ASSERT_TRUE(writer.Begin(path, 2, false, {}));
    FrameBlocks frame;
    frame.palette = {2, 0x80, 0, 0, 0};  // length byte says 8, block holds 5
    EXPECT_FALSE(writer.AddFrame(frame));
    frame.palette.clear();
    frame.audio[2] = Audio(12, 1);
    frame.audio[2][0] = 16;  // length word disagrees with the block
    EXPECT_FALSE(writer.AddFrame(frame));
    frame.audio[2] = {0, 0};  // shorter than its own length word
    EXPECT_FALSE(writer.AddFrame(frame));
    frame.audio[2].clear();
    EXPECT_TRUE(writer.AddFrame(frame));
    EXPECT_FALSE(writer.Finish(VideoFileHeader{}));  // one frame short
    EXPECT_TRUE(writer.AddFrame(frame));
    EXPECT_FALSE(writer.AddFrame(frame));  // one frame too many
    EXPECT_EQ(access(path.c_str(), F_OK), 0);
  }
  EXPECT_NE(access(path.c_str(), F_OK), 0);  // destroyed unfinished: gone

  VideoFileWriter writer;
  EXPECT_FALSE(writer.Begin(path, 0, true, {}));
  EXPECT_FALSE(writer.Begin(dir.File("no/such/dir.vnt"), 1, false, {}));
}
