#include "bench/video_playing.h"

#include <gtest/gtest.h>

#include <random>

#include "playback/tests/coded_video.h"
#include "testsupport/scratch_directory.h"

namespace speedbench {
namespace {

constexpr uint32_t kWidth = 160, kHeight = 120, kFrames = 12;

// Noisy key frames: large enough that the library streams the file through its ring.
CodedVideo WriteNoisyVideo(const std::string& path) {
  std::mt19937 random(5);
  CodedVideoSpec spec;
  spec.keyFrames = true;
  spec.frameRate = -10000;
  for (uint32_t f = 0; f < kFrames; ++f) {
    Picture picture(kWidth, kHeight);
    for (uint8_t& pixel : picture.pixels) pixel = static_cast<uint8_t>(random() % 251);
    spec.pictures.push_back(std::move(picture));
    spec.palettes.push_back(TestPalette(f / 4));
  }
  return WriteCodedVideo(path, spec);
}

uint16_t Rgb565(const std::array<uint8_t, 3>& c) {
  return static_cast<uint16_t>((c[0] >> 3) << 11 | (c[1] >> 2) << 5 | c[2] >> 3);
}

TEST(PlayVideo, DecodesEveryFrameStreamedIntoEachOutput) {
  testsupport::ScratchDirectory folder;
  ASSERT_TRUE(folder.Made());
  const CodedVideo video = WriteNoisyVideo(folder.File("noise.vnt"));
  const Picture& last = video.pictures.at(kFrames - 1);
  std::vector<uint8_t> buffer;

  std::vector<bool> marks;
  PlayFigures figures = PlayVideo(video.path, VideoOutput::kIndexes8, buffer, [&](bool starting) { marks.push_back(starting); });
  EXPECT_EQ(marks, (std::vector<bool>{true, false}));
  EXPECT_EQ(figures.frames, int(kFrames));
  EXPECT_TRUE(figures.streamed);
  EXPECT_GT(figures.ringBytes, 0u);
  EXPECT_GT(figures.frameBufferBytes, 0u);
  EXPECT_GE(figures.handlePeakMemory, figures.frameBufferBytes + figures.ringBytes);
  ASSERT_EQ(buffer.size(), last.pixels.size());
  EXPECT_EQ(buffer, last.pixels);

  figures = PlayVideo(video.path, VideoOutput::kRgb565, buffer);
  EXPECT_EQ(figures.frames, int(kFrames));
  ASSERT_GE(buffer.size(), 2 * last.pixels.size());
  const auto& palette = video.palettes.at(kFrames - 1);
  size_t wrong = 0;
  for (size_t i = 0; i < last.pixels.size(); ++i) {
    const uint16_t pixel = static_cast<uint16_t>(buffer[2 * i] | buffer[2 * i + 1] << 8);
    wrong += pixel != Rgb565(palette[last.pixels[i]]);
  }
  EXPECT_EQ(wrong, 0u);

  figures = PlayVideo(video.path, VideoOutput::kRowsDoubled, buffer);
  EXPECT_EQ(figures.frames, int(kFrames));
  EXPECT_EQ(figures.rows, 2 * kHeight);
  ASSERT_GE(buffer.size(), size_t{kWidth} * 2 * kHeight);
  for (uint32_t y = 0; y < 2 * kHeight; ++y) {
    const auto row = buffer.begin() + std::ptrdiff_t{y} * kWidth;
    const auto shown = last.pixels.begin() + std::ptrdiff_t{y / 2} * kWidth;
    ASSERT_TRUE(std::equal(row, row + kWidth, shown)) << "row " << y;
  }
}

TEST(PlayVideo, MissingFileDecodesNothing) {
  std::vector<uint8_t> buffer;
  EXPECT_EQ(PlayVideo("/nonexistent/none.vnt", VideoOutput::kIndexes8, buffer).frames, -1);
  EXPECT_TRUE(buffer.empty());
}

}  // namespace
}  // namespace speedbench
