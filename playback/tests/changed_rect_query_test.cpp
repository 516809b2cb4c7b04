// The rectangles a decoded frame changed, as VantToBufferRect gives them in each mode, and the
// merging rule behind mode 0.
#include <gtest/gtest.h>

#include <deque>

#include "playback/tests/coded_video.h"
#include "playback/rect_merging.h"
#include "playback/tests/test_video.h"
#include "playback/vant.h"

namespace {

struct Merged {
  RectBox box;
  bool heldBack;
  RectBox held;
};

Merged Merge(bool all, RectBox first, std::deque<RectBox> rest) {
  Merged out{first, false, {}};
  out.heldBack = MergeChangedRects(all, out.box, out.held, [&](RectBox& next) {
    if (rest.empty()) return false;
    next = rest.front();
    rest.pop_front();
    return true;
  });
  return out;
}

TEST(RectMerging, TwoTenByTenRectanglesMergeWhileTheBoxCoversNoMoreThanTheirAllowance) {
  // Each counts as 125 pixels: together 250.
  const RectBox a{0, 0, 10, 10};
  struct Case {
    const char* what;
    RectBox b;
    bool merged;
  };
  const Case cases[] = {
      {"side by side: box 200", {10, 0, 20, 10}, true},
      {"box 25 x 10 = 250", {15, 0, 25, 10}, true},
      {"box 26 x 10 = 260", {16, 0, 26, 10}, false},
      {"box 10 x 25 = 250", {0, 15, 10, 25}, true},
      {"diagonal neighbours: box 20 x 20 = 400", {10, 10, 20, 20}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Merged m = Merge(false, a, {c.b});
    if (c.merged) {
      EXPECT_FALSE(m.heldBack);
      EXPECT_EQ(m.box, (RectBox{0, 0, std::max<int64_t>(10, c.b.right), std::max<int64_t>(10, c.b.bottom)}));
    } else {
      EXPECT_TRUE(m.heldBack);
      EXPECT_EQ(m.box, a);
      EXPECT_EQ(m.held, c.b);
    }
  }
}

TEST(RectMerging, TheAllowanceAccumulatesAndTheFirstMisfitIsHeldForTheNextBox) {
  // Three 4 x 4 blocks in a row with gaps of 1: each merge stays within the allowance (20 per
  // rectangle); a far one is held back and the one after it is never fetched.
  Merged m = Merge(false, {0, 0, 4, 4}, {{5, 0, 9, 4}, {10, 0, 14, 4}, {40, 40, 44, 44}, {50, 50, 54, 54}});
  EXPECT_EQ(m.box, (RectBox{0, 0, 14, 4}));
  EXPECT_TRUE(m.heldBack);
  EXPECT_EQ(m.held, (RectBox{40, 40, 44, 44}));

  Merged all = Merge(true, {8, 0, 12, 4}, {{0, 4, 4, 8}, {20, 12, 24, 16}});
  EXPECT_FALSE(all.heldBack);
  EXPECT_EQ(all.box, (RectBox{0, 0, 24, 16}));
}

// Left, top, width, height.
using Rects = std::vector<std::array<int32_t, 4>>;

// A 128 x 24 video whose frames change chosen areas. Changes are tracked in groups of 16
// blocks: here the left and the right half of each block row.
constexpr uint32_t kWidth = 128, kHeight = 24;

struct RectVideo {
  ScratchDirectory dir;
  CodedVideo coded;
  VantVideo* video = nullptr;
  std::vector<uint8_t> pixels;

  RectVideo(uint32_t flags, int32_t left, int32_t top) {
    CodedVideoSpec spec;
    Picture first(kWidth, kHeight, 1);
    Picture second = first;
    second.Fill(4, 0, 4, 4, 2);     // the block at (4, 0)
    second.Fill(84, 12, 8, 8, 3);   // four blocks at (84..91, 12..19)
    Picture third = second;         // nothing changes, but the palette does
    Picture fourth = second;        // nothing at all changes
    spec.pictures = {first, second, third, fourth};
    spec.palettes = {TestPalette(0), TestPalette(0), TestPalette(9), TestPalette(9)};
    spec.flags = flags;
    coded = WriteCodedVideo(dir.File("r.vnt"), spec);
    video = VantOpen(coded.path.c_str(), 0, VANT_EXTRA_BUFFER_AUTO);
    EXPECT_NE(video, nullptr);
    const int32_t rows = int32_t(video->header.height) + top;
    pixels.assign(size_t(kWidth + left) * rows, 0);
    EXPECT_EQ(VantToBuffer(video, left, top, kWidth + left, rows, pixels.data(), 0), 1);
  }
  ~RectVideo() { VantClose(video); }

  // Decodes the current frame and steps on; returns the rectangles of the mode.
  Rects Play(int32_t mode) {
    VantDoFrame(video);
    Rects rects;
    while (VantToBufferRect(video, mode)) {
      const VantRect& r = video->lastRect;
      rects.push_back({r.left, r.top, r.width, r.height});
      if (rects.size() > 100) break;
    }
    VantNextFrame(video);
    return rects;
  }
};


TEST(ChangedRectQuery, EachModeGivesTheChangesOfTheFrame) {
  {
    RectVideo v(0, 0, 0);
    EXPECT_EQ(v.Play(VANT_RECT_MERGE), (Rects{{0, 0, 128, 24}}));
    // Two far apart areas stay apart; the two rows of the second one join.
    EXPECT_EQ(v.Play(VANT_RECT_MERGE), (Rects{{0, 0, 64, 4}, {64, 12, 64, 8}}));
  }
  {
    RectVideo v(0, 0, 0);
    v.Play(VANT_RECT_BOUNDING);
    EXPECT_EQ(v.Play(VANT_RECT_BOUNDING), (Rects{{0, 0, 128, 20}}));
  }
  {
    RectVideo v(0, 0, 0);
    v.Play(VANT_RECT_BOUNDING_END);
    EXPECT_EQ(v.Play(VANT_RECT_BOUNDING_END), (Rects{{0, 0, 128, 20}, {0, 0, 0, 0}}));
  }
  {
    RectVideo v(0, 0, 0);
    EXPECT_EQ(v.Play(VANT_RECT_NONE), Rects{});
    EXPECT_EQ(v.Play(VANT_RECT_NONE), Rects{});
  }
}

TEST(ChangedRectQuery, UnchangedFramesGiveAnEmptyRectangleOnlyForANewPalette) {
  RectVideo v(0, 0, 0);
  v.Play(VANT_RECT_MERGE);
  v.Play(VANT_RECT_MERGE);
  EXPECT_EQ(v.Play(VANT_RECT_MERGE), (Rects{{0, 0, 0, 0}}));  // palette only
  EXPECT_EQ(v.Play(VANT_RECT_MERGE), Rects{});                // nothing
}

TEST(ChangedRectQuery, RectanglesAreInBufferCoordinates) {
  {
    RectVideo v(0, 8, 5);
    v.Play(VANT_RECT_BOUNDING);
    EXPECT_EQ(v.Play(VANT_RECT_BOUNDING), (Rects{{8, 5, 128, 20}}));
  }
  for (uint32_t scaling : {2u, 4u}) {  // interlaced, doubled: twice the rows
    RectVideo v(scaling, 8, 5);
    EXPECT_EQ(v.Play(VANT_RECT_MERGE), (Rects{{8, 5, 128, 48}}));
    EXPECT_EQ(v.Play(VANT_RECT_MERGE), (Rects{{8, 5, 64, 8}, {72, 29, 64, 16}}));
  }
}

TEST(ChangedRectQuery, NothingIsGivenBeforeAFrameIsDecoded) {
  RectVideo v(0, 0, 0);
  EXPECT_EQ(VantToBufferRect(v.video, VANT_RECT_MERGE), 0);
  EXPECT_EQ(VantToBufferRect(v.video, VANT_RECT_BOUNDING_END), 0);
}

}  // namespace
