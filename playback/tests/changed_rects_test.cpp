#include "changed_rects.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "frame_coding.h"
#include "hand_video.h"

namespace {

DestinationDescriptor Picture(std::vector<uint8_t>& pixels, uint32_t width, uint32_t height) {
  pixels.assign(size_t{width} * height, 0);
  MemoryDestination where;
  where.buffer = pixels.data();
  where.pitch = width;
  where.rows = height;
  where.width = width;
  where.codedHeight = height;
  DestinationDescriptor destination;
  EXPECT_TRUE(DescribeMemoryDestination(where, destination));
  return destination;
}

using Rect = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;

std::vector<Rect> AllRects(DestinationDescriptor& destination) {
  std::vector<Rect> rects;
  ChangedRect rect;
  while (NextChangedRect(destination, rect)) {
    rects.emplace_back(rect.x, rect.y, rect.width, rect.height);
    if (rects.size() > 100000) break;
  }
  return rects;
}

// The rectangles a map stands for, pixel by pixel: in each block row, the longest stretches of
// pixels whose block lies in a changed group.
std::vector<Rect> BruteForce(const std::vector<uint8_t>& map, uint32_t width, uint32_t height) {
  std::vector<Rect> rects;
  uint32_t perRow = width / 4;
  for (uint32_t y = 0; y < height; y += 4) {
    uint32_t x = 0;
    while (x < width) {
      auto changed = [&](uint32_t px) { return map[(y / 4 * perRow + px / 4) / 16] != 0; };
      if (!changed(x)) {
        ++x;
        continue;
      }
      uint32_t end = x;
      while (end < width && changed(end)) ++end;
      rects.emplace_back(x, y, end - x, 4);
      x = end;
    }
  }
  return rects;
}

TEST(NextChangedRect, MatchesTheMapOnEveryWidth) {
  std::mt19937 random(11);
  for (uint32_t width : {4u, 32u, 48u, 64u, 100u, 160u, 320u, 328u, 640u}) {
    for (uint32_t height : {4u, 12u, 40u}) {
      for (int trial = 0; trial < 40; ++trial) {
        std::vector<uint8_t> pixels;
        DestinationDescriptor destination = Picture(pixels, width, height);
        int density = trial % 4;  // none, sparse, half, most
        for (uint8_t& group : destination.changedGroupMap) {
          group = density != 0 && random() % 4 < static_cast<unsigned>(density) ? 1 : 0;
        }
        destination.rects = {};
        std::vector<Rect> expected = BruteForce(destination.changedGroupMap, width, height);
        ASSERT_EQ(AllRects(destination), expected) << width << "x" << height << " trial " << trial;
        ChangedRect rect;
        EXPECT_EQ(NextChangedRect(destination, rect), 0);  // and stays done
      }
    }
  }
}

// Narrow pictures put one group over several block rows: no rectangle may come out empty.
TEST(NextChangedRect, GroupsWiderThanARowGiveOneRectanglePerRow) {
  for (uint32_t width : {32u, 48u}) {
    std::vector<uint8_t> pixels;
    DestinationDescriptor destination = Picture(pixels, width, 32);
    destination.changedGroupMap[0] = 1;  // the first 16 blocks
    std::vector<Rect> rects = AllRects(destination);
    if (width == 32) {
      EXPECT_EQ(rects, (std::vector<Rect>{{0, 0, 32, 4}, {0, 4, 32, 4}}));
    } else {
      EXPECT_EQ(rects, (std::vector<Rect>{{0, 0, 48, 4}, {0, 4, 16, 4}}));
    }
  }
}

// The map comes from the decoder, which also starts the rectangles afresh for every frame.
TEST(NextChangedRect, FollowsEachDecodedFrame) {
  hand::VideoTrees shapes;
  const uint16_t keep = TypeRunSymbol(UnchangedBlock, RunCode(32), 0);
  const uint16_t solid = TypeRunSymbol(SolidBlock, RunCode(8), 1);
  const uint16_t keepAll = TypeRunSymbol(UnchangedBlock, RunCode(128), 0);
  shapes.shapes[TypeRunTree] = "((" + std::to_string(keep) + " " + std::to_string(solid) + ") " +
                               std::to_string(keepAll) + ")";
  auto trees = shapes.Build();
  ASSERT_TRUE(trees);
  std::vector<uint8_t> pixels;
  DestinationDescriptor destination = Picture(pixels, 160, 16);  // 40 blocks a row

  // Blocks 32 to 39 end row 0 and share group 2 with blocks 0 to 7 of row 1.
  hand::FrameBits frame(shapes);
  frame.Put(TypeRunTree, keep).Put(TypeRunTree, solid).Put(TypeRunTree, keepAll);
  std::vector<uint8_t> chunk = frame.Chunk();
  DecodeVideoFrame(chunk.data(), chunk.size(), *trees, destination);
  EXPECT_EQ(AllRects(destination), (std::vector<Rect>{{128, 0, 32, 4}, {0, 4, 32, 4}}));

  hand::FrameBits still(shapes);
  still.Put(TypeRunTree, keepAll);
  chunk = still.Chunk();
  DecodeVideoFrame(chunk.data(), chunk.size(), *trees, destination);
  EXPECT_TRUE(AllRects(destination).empty());
}

}  // namespace
