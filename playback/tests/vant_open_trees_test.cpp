// VantOpen builds the decoder's trees from the file, and refuses a file whose trees are damaged.
#include <gtest/gtest.h>

#include "playback/frame_coding.h"
#include "playback/frame_decoder.h"
#include "playback/tests/hand_video.h"
#include "playback/tests/test_video.h"
#include "playback/vant.h"
#include "playback/video_file_writer.h"

namespace {

std::string WriteVideo(const ScratchDirectory& dir, const std::vector<uint8_t>& treeData, std::array<uint32_t, 4> treeSizes,
                       const std::vector<uint8_t>& videoData) {
  std::string path = dir.File("trees.vnt");
  vntfile::VideoFileWriter writer;
  EXPECT_TRUE(writer.Begin(path, 1, false, treeData));
  vntfile::FrameBlocks frame;
  frame.video = videoData;
  EXPECT_TRUE(writer.AddFrame(frame));
  VideoFileHeader header{};
  header.width = 8;
  header.height = 4;
  for (int t = 0; t < 4; ++t) header.treeSizes[t] = treeSizes[t];
  EXPECT_TRUE(writer.Finish(header));
  return path;
}

TEST(VantOpenTrees, TheOpenedVideoDecodesWithTheFilesTrees) {
  ScratchDirectory dir;
  const uint16_t solid = TypeRunSymbol(SolidBlock, 0, 0x21), two = TypeRunSymbol(TwoColorBlock, 0, 0);
  hand::VideoTrees shapes;
  shapes.shapes = {"0x000F", "0x0807", "", "(" + std::to_string(solid) + " " + std::to_string(two) + ")"};
  hand::FrameBits frame(shapes);
  frame.Put(TypeRunTree, two).Put(TypeRunTree, solid);
  std::string path = WriteVideo(dir, shapes.Description(), shapes.Sizes(), frame.Chunk());

  VantVideo* video = VantOpen(path.c_str(), 0, VANT_EXTRA_BUFFER_AUTO);
  ASSERT_NE(video, nullptr);
  ASSERT_NE(video->treeBlock, nullptr);
  hand::GuardedPicture picture(8, 4);
  DestinationDescriptor destination;
  ASSERT_TRUE(DescribeMemoryDestination(picture.Whole(8, 4), destination));
  DecodeVideoFrame(video->videoChunk, video->currentFrameSize - video->chunksBeforeVideo, *video->treeBlock,
                   destination);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(picture.At(x, y), x >= 4 ? 0x21 : y == 0 ? 8 : 7) << x << "," << y;
  }
  VantClose(video);
}

TEST(VantOpenTrees, DamagedTreesFailTheOpenAndLeaveNothingOpen) {
  ScratchDirectory dir;
  hand::VideoTrees shapes;
  shapes.shapes = {"(1 (2 3))", "", "", "0"};
  std::array<uint32_t, 4> tooSmall = shapes.Sizes();
  tooSmall[MaskTree] = 16;  // room for one node, not five
  int descriptors = OpenDescriptorCount();
  for (const std::string& path : {WriteVideo(dir, shapes.Description(), tooSmall, {}),
                                  WriteVideo(dir, {0xFF, 0xFF, 0xFF, 0xFF}, shapes.Sizes(), {})}) {
    EXPECT_EQ(VantOpen(path.c_str(), 0, VANT_EXTRA_BUFFER_AUTO), nullptr);
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
  }
}

}  // namespace
