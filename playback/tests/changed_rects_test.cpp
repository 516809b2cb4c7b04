#include "playback/changed_rects.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "playback/frame_coding.h"
#include "playback/tests/hand_video.h"

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

// Whether the pixel (x, y) lies in a block of a changed group.
bool PixelChanged(const std::vector<uint8_t>& map, uint32_t width, uint32_t x, uint32_t y) {
  return map[(y / 4 * (width / 4) + x / 4) / 16] != 0;
}

// Every changed pixel lies in exactly one rectangle; the rectangles come in raster order, each a
// non-empty part of one block row inside the picture.
TEST(NextChangedRect, RectanglesCoverEveryChangeOnceInRasterOrder) {
  std::mt19937 random(11);
  for (uint32_t width : {4u, 32u, 48u, 64u, 100u, 160u, 320u, 328u, 640u}) {
    for (uint32_t height : {4u, 12u, 40u}) {
      for (int trial = 0; trial < 40; ++trial) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " trial " + std::to_string(trial));
        std::vector<uint8_t> pixels;
        DestinationDescriptor destination = Picture(pixels, width, height);
        int density = trial % 4;  // none, sparse, half, most
        for (uint8_t& group : destination.changedGroupMap) {
          group = density != 0 && random() % 4 < static_cast<unsigned>(density) ? 1 : 0;
        }
        destination.rects = {};
        const std::vector<uint8_t> map = destination.changedGroupMap;
        std::vector<int> covered(size_t{width} * height, 0);
        uint64_t last = 0;
        for (const auto& [x, y, w, h] : AllRects(destination)) {
          ASSERT_EQ(h, 4u);
          ASSERT_EQ(y % 4, 0u);
          ASSERT_GT(w, 0u);
          ASSERT_LE(x + w, width);
          ASSERT_LT(y, height);
          ASSERT_GE(uint64_t{y} * width + x, last);  // raster order, no overlap
          last = uint64_t{y} * width + x + w;
          for (uint32_t row = y; row < y + 4; ++row) {
            for (uint32_t col = x; col < x + w; ++col) ++covered[size_t{row} * width + col];
          }
        }
        for (uint32_t y = 0; y < height; ++y) {
          for (uint32_t x = 0; x < width; ++x) {
            if (PixelChanged(map, width, x, y)) {
              ASSERT_EQ(covered[size_t{y} * width + x], 1) << x << "," << y;
            }
          }
        }
        ChangedRect rect;
        EXPECT_EQ(NextChangedRect(destination, rect), 0);  // and stays done
      }
    }
  }
}

// Maps worked through by hand: a group runs on into the next row; there a single unchanged
// group between changed ones is taken into the rectangle that goes on from the row above.
TEST(NextChangedRect, ARectangleFromTheRowAboveTakesInASingleUnchangedGroup) {
  struct Case {
    uint32_t width, height;
    std::vector<uint8_t> groups;
    std::vector<Rect> expected;
  };
  const Case cases[] = {
      {160, 8, {0, 0, 1, 0, 1}, {{128, 0, 32, 4}, {0, 4, 160, 4}}},
      {160, 8, {0, 0, 1, 1, 0}, {{128, 0, 32, 4}, {0, 4, 96, 4}}},
      {160, 8, {0, 0, 1, 0, 0}, {{128, 0, 32, 4}, {0, 4, 32, 4}}},
      {160, 8, {1, 1, 1, 1, 1}, {{0, 0, 160, 4}, {0, 4, 160, 4}}},
      {160, 8, {0, 1, 0, 0, 1}, {{64, 0, 64, 4}, {96, 4, 64, 4}}},
      {160, 12, {0, 0, 1, 0, 0, 1, 0, 1}, {{128, 0, 32, 4}, {0, 4, 32, 4}, {0, 8, 64, 4}, {128, 8, 32, 4}}},
      {160, 16, {0, 0, 0, 0, 0, 0, 0, 1, 0, 1}, {{128, 8, 32, 4}, {0, 12, 160, 4}}},
      {320, 8, {0, 1, 0, 0, 0, 1, 1, 0, 0, 0}, {{64, 0, 64, 4}, {0, 4, 128, 4}}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> pixels;
    DestinationDescriptor destination = Picture(pixels, c.width, c.height);
    std::fill(destination.changedGroupMap.begin(), destination.changedGroupMap.end(), 0);
    std::copy(c.groups.begin(), c.groups.end(), destination.changedGroupMap.begin());
    destination.rects = {};
    EXPECT_EQ(AllRects(destination), c.expected) << c.width << " wide, map of " << c.groups.size();
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
