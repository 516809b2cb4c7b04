// Playing coded videos through VantToBuffer, VantDoFrame, VantNextFrame and VantGoto into
// memory buffers of every kind, and comparing the buffers with the pictures the files hold.
#include <gtest/gtest.h>

#include "playback/tests/coded_video.h"
#include "playback/tests/played_frames.h"
#include "playback/tests/test_video.h"
#include "playback/vant.h"

namespace {

constexpr uint8_t kFill = 0xEE;
constexpr uint32_t kWidth = 32, kHeight = 24, kFrames = 7;

enum class Scaling : uint32_t { None = 0, Interlaced = 2, Doubled = 4 };

struct Layout {
  uint32_t flags = 0;  // VantToBuffer flags
  Scaling scaling = Scaling::None;
  int32_t left = 0, top = 0;
  bool Is16Bit() const { return (flags & VANT_BUFFER_16_BIT) != 0; }
  bool BottomUp() const { return (flags & VANT_BUFFER_BOTTOM_UP) != 0; }
  int32_t Lines() const { return scaling == Scaling::None ? kHeight : 2 * kHeight; }
};

uint16_t Pixel16(const std::array<uint8_t, 3>& c, uint32_t flags) {
  if ((flags >> 24) == 0x80) return static_cast<uint16_t>((c[0] >> 3) << 10 | (c[1] >> 3) << 5 | c[2] >> 3);
  return static_cast<uint16_t>((c[0] >> 3) << 11 | (c[1] >> 2) << 5 | c[2] >> 3);
}

// Every picture line lands where the layout puts it; the lines in between of interlaced
// pictures, and everything around the picture, keep the fill.
void ExpectBufferShows(const GuardedBuffer& buffer, const Layout& layout, const Picture& picture,
                       const ColorTable& palette) {
  ASSERT_TRUE(buffer.GuardsIntact());
  const int32_t bpp = layout.Is16Bit() ? 2 : 1;
  for (int32_t line = 0; line < buffer.Rows(); ++line) {
    const int32_t stored = layout.BottomUp() ? buffer.Rows() - 1 - line : line;
    const int32_t inPicture = line - layout.top;
    int32_t y = -1;  // the picture row this line shows, -1 for none
    if (inPicture >= 0 && inPicture < layout.Lines()) {
      if (layout.scaling == Scaling::None) y = inPicture;
      if (layout.scaling == Scaling::Doubled) y = inPicture / 2;
      if (layout.scaling == Scaling::Interlaced && inPicture % 2 == 0) y = inPicture / 2;
    }
    for (int32_t x = 0; x < buffer.Pitch() / bpp; ++x) {
      const int32_t px = x - layout.left;
      const bool inside = y >= 0 && px >= 0 && px < int32_t(kWidth);
      uint32_t want = layout.Is16Bit() ? kFill * 0x101u : kFill;
      if (inside) {
        const uint8_t index = picture.At(px, y);
        want = layout.Is16Bit() ? Pixel16(palette[index], layout.flags) : index;
      }
      const uint32_t got = layout.Is16Bit() ? buffer.At16(x, stored) : buffer.At8(x, stored);
      ASSERT_EQ(got, want) << "line " << line << " x " << x;
    }
  }
}

CodedVideoSpec ChangingVideo(bool keyFrames, Scaling scaling = Scaling::None, bool ring = true) {
  CodedVideoSpec spec;
  spec.pictures = ChangingPictures(kWidth, kHeight, kFrames, 5);
  for (uint32_t f = 0; f < kFrames; ++f) spec.palettes.push_back(TestPalette(f < 3 ? 0 : f < 5 ? 40 : 90));
  spec.keyFrames = keyFrames;
  spec.ringFrame = ring;
  spec.flags = static_cast<uint32_t>(scaling);
  return spec;
}

TEST(FrameStepping, EveryFrameArrivesInEveryKindOfBuffer) {
  ScratchDirectory dir;
  for (Scaling scaling : {Scaling::None, Scaling::Doubled, Scaling::Interlaced}) {
    for (uint32_t flags : {0u, VANT_BUFFER_BOTTOM_UP, VANT_BUFFER_RGB555, VANT_BUFFER_RGB565 | VANT_BUFFER_BOTTOM_UP,
                           0xE0000000u}) {
      Layout layout{flags, scaling, 4, 3};
      SCOPED_TRACE(testing::Message() << "scaling " << int(scaling) << " flags " << std::hex << flags);
      // 16-bit pixels of blocks a frame leaves alone keep their old colours; key frames redraw
      // every block, so the whole picture shows the frame's palette.
      const CodedVideo coded = WriteCodedVideo(dir.File("v.vnt"), ChangingVideo(layout.Is16Bit(), scaling));
      VantVideo* video = VantOpen(coded.path.c_str(), 0, 8192);
      ASSERT_NE(video, nullptr);
      const int32_t bpp = layout.Is16Bit() ? 2 : 1;
      GuardedBuffer buffer((kWidth + 9) * bpp, layout.Lines() + 5, kFill);
      ASSERT_EQ(VantToBuffer(video, layout.left, layout.top, buffer.Pitch(), buffer.Rows(), buffer.Data(), flags), 1);
      // Past the last frame, through the ring frame and round again.
      for (uint32_t step = 0; step < kFrames + 4; ++step) {
        const uint32_t frame = video->currentFrame;
        SCOPED_TRACE(testing::Message() << "step " << step << " frame " << frame);
        ASSERT_EQ(VantDoFrame(video), 0);
        ASSERT_EQ(0, std::memcmp(video->palette, coded.palettes[frame].data(), 768));
        ExpectBufferShows(buffer, layout, coded.pictures[frame], coded.palettes[frame]);
        VantNextFrame(video);
      }
      EXPECT_EQ(video->currentFrame, 4u);  // 0..6, the ring frame 7, then 1, 2, 3 played
      VantClose(video);
    }
  }
}

TEST(FrameStepping, PreloadedAndStreamedVideosPlayAlike) {
  ScratchDirectory dir;
  const CodedVideo coded = WriteCodedVideo(dir.File("v.vnt"), ChangingVideo(false, Scaling::None, false));
  for (uint32_t openFlags : {uint32_t{VANT_OPEN_PRELOAD}, 0u}) {
    for (uint32_t extra : {0u, 8192u, VANT_EXTRA_BUFFER_AUTO}) {
      VantVideo* video = VantOpen(coded.path.c_str(), openFlags, extra);
      ASSERT_NE(video, nullptr);
      GuardedBuffer buffer(kWidth, kHeight, kFill);
      ASSERT_EQ(VantToBuffer(video, 0, 0, kWidth, kHeight, buffer.Data(), 0), 1);
      for (uint32_t step = 0; step < 2 * kFrames; ++step) {
        const uint32_t frame = video->currentFrame;
        VantDoFrame(video);
        ASSERT_NO_FATAL_FAILURE(ExpectBufferShows(buffer, Layout{}, coded.pictures[frame], coded.palettes[frame]))
            << "flags " << openFlags << " extra " << extra << " step " << step;
        VantNextFrame(video);
        ASSERT_EQ(video->readFailed, 0u);
      }
      VantClose(video);
    }
  }
}

TEST(FrameStepping, GotoTakesOneBasedNumbersAndClampsThemToTheFrames) {
  ScratchDirectory dir;
  const CodedVideo coded = WriteCodedVideo(dir.File("v.vnt"), ChangingVideo(true));
  VantVideo* video = VantOpen(coded.path.c_str(), 0, 8192);
  ASSERT_NE(video, nullptr);
  GuardedBuffer buffer(kWidth, kHeight, kFill);
  ASSERT_EQ(VantToBuffer(video, 0, 0, kWidth, kHeight, buffer.Data(), 0), 1);

  struct Case {
    int32_t number;
    uint32_t frame;
  };
  // Numbers past the end stop at the last frame, never at the ring frame behind it.
  for (Case c : {Case{5, 4}, Case{0, 0}, Case{3, 2}, Case{1, 0}, Case{kFrames + 1, kFrames - 1}, Case{2, 1},
                 Case{1000, kFrames - 1}, Case{-3, 0}, Case{INT32_MAX, kFrames - 1}}) {
    SCOPED_TRACE(c.number);
    VantGoto(video, c.number);
    ASSERT_EQ(video->currentFrame, c.frame);
    VantDoFrame(video);
    ExpectBufferShows(buffer, Layout{}, coded.pictures[c.frame], coded.palettes[c.frame]);
  }

  // Going to the frame already there reads nothing.
  const uint64_t read = video->foregroundBytes;
  VantGoto(video, kFrames);
  EXPECT_EQ(video->foregroundBytes, read);
  VantClose(video);
}

TEST(FrameStepping, ABufferThePictureDoesNotFitIsRefusedAndNothingIsDrawn) {
  ScratchDirectory dir;
  const CodedVideo coded = WriteCodedVideo(dir.File("v.vnt"), ChangingVideo(false));
  const CodedVideo doubled = WriteCodedVideo(dir.File("d.vnt"), ChangingVideo(false, Scaling::Doubled));
  struct Case {
    const char* what;
    const CodedVideo* video;
    int32_t left, top, pitch, rows;
    uint32_t flags;
  };
  const Case cases[] = {
      {"pitch below the width", &coded, 0, 0, kWidth - 1, kHeight, 0},
      {"picture runs past the right edge", &coded, 2, 0, kWidth + 1, kHeight, 0},
      {"too few rows", &coded, 0, 0, kWidth, kHeight - 1, 0},
      {"picture runs past the last row", &coded, 0, 1, kWidth, kHeight, 0},
      {"bottom-up, too few rows", &coded, 0, 1, kWidth, kHeight, VANT_BUFFER_BOTTOM_UP},
      {"16-bit pixels need twice the pitch", &coded, 0, 0, 2 * kWidth - 2, kHeight, VANT_BUFFER_RGB565},
      {"doubled rows need twice the rows", &doubled, 0, 0, kWidth, 2 * kHeight - 1, 0},
      {"left of the buffer", &coded, -4, 0, 2 * kWidth, kHeight, 0},
      {"above the buffer", &coded, 0, -1, kWidth, 2 * kHeight, 0},
      {"no pitch", &coded, 0, 0, 0, kHeight, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VantVideo* video = VantOpen(c.video->path.c_str(), 0, 8192);
    ASSERT_NE(video, nullptr);
    const uint64_t memoryBefore = video->memoryInUse;
    // A destination that was fine before is dropped too: the caller meant the new one.
    GuardedBuffer good(kWidth, 2 * kHeight, kFill);
    ASSERT_EQ(VantToBuffer(video, 0, 0, kWidth, 2 * kHeight, good.Data(), 0), 1);
    GuardedBuffer small(std::max(c.pitch, 1), std::max(c.rows, 1), kFill);
    EXPECT_EQ(VantToBuffer(video, c.left, c.top, c.pitch, c.rows, small.Data(), c.flags), 0);
    EXPECT_EQ(video->destination, nullptr);
    EXPECT_EQ(video->memoryInUse, memoryBefore);
    EXPECT_EQ(VantDoFrame(video), 0);
    EXPECT_EQ(VantToBufferRect(video, VANT_RECT_BOUNDING), 0);
    const std::vector<uint8_t> untouched(size_t(good.Pitch()) * good.Rows(), kFill);
    EXPECT_EQ(good.Contents(), untouched);
    EXPECT_TRUE(small.GuardsIntact());
    for (uint8_t byte : small.Contents()) ASSERT_EQ(byte, kFill);
    VantClose(video);
  }
}

TEST(FrameStepping, ReleasedOrScreenDestinationsDecodeNothing) {
  ScratchDirectory dir;
  const CodedVideo coded = WriteCodedVideo(dir.File("v.vnt"), ChangingVideo(false));
  VantVideo* video = VantOpen(coded.path.c_str(), 0, 8192);
  ASSERT_NE(video, nullptr);
  const uint64_t memoryBefore = video->memoryInUse;
  GuardedBuffer buffer(kWidth, kHeight, kFill);
  const std::vector<uint8_t> untouched = buffer.Contents();
  for (int way = 0; way < 2; ++way) {
    ASSERT_EQ(VantToBuffer(video, 0, 0, kWidth, kHeight, buffer.Data(), 0), 1);
    EXPECT_GT(video->memoryInUse, memoryBefore);
    EXPECT_EQ(way == 0 ? VantToBuffer(video, 0, 0, kWidth, kHeight, nullptr, 0)
                       : VantToScreen(video, 0, 0, 320, buffer.Data(), nullptr, 0),
              0);
    EXPECT_EQ(video->memoryInUse, memoryBefore);
    VantDoFrame(video);
    EXPECT_EQ(buffer.Contents(), untouched);
  }
  VantClose(video);
}

TEST(FrameStepping, NullVideosAreIgnored) {
  uint8_t pixels[16] = {};
  VantSummaryInfo info{};
  EXPECT_EQ(VantToBuffer(nullptr, 0, 0, 4, 4, pixels, 0), 0);
  EXPECT_EQ(VantToScreen(nullptr, 0, 0, 320, pixels, nullptr, 0), 0);
  EXPECT_EQ(VantDoFrame(nullptr), 0);
  EXPECT_EQ(VantToBufferRect(nullptr, 0), 0);
  EXPECT_EQ(VantNextFrame(nullptr), 0);
  EXPECT_EQ(VantGoto(nullptr, 1), 0);
  EXPECT_EQ(VantWait(nullptr), 0);
  EXPECT_EQ(VantColorRemap(nullptr, pixels, 4, 0), 0);
  EXPECT_EQ(VantColorTrans(nullptr, pixels), 0);
  EXPECT_EQ(VantSummary(nullptr, &info), 0);
}

}  // namespace
