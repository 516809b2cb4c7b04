#include "player/tests/test_videos.h"

#include <cstdlib>
#include <filesystem>

#include "playback/tests/played_frames.h"

QImage TestVideo::Picture(size_t frame) const {
  const ::Picture& picture = coded.pictures[frame];
  const ColorTable& palette = coded.palettes[frame];
  QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const auto& color = palette[picture.At(x, y)];
      image.setPixel(static_cast<int>(x), static_cast<int>(y), qRgb(color[0], color[1], color[2]));
    }
  }
  return image;
}

TestVideo WriteTestVideo(const std::string& path, uint32_t width, uint32_t height, uint32_t frames,
                         uint32_t seed) {
  CodedVideoSpec spec;
  spec.pictures = ChangingPictures(width, height, frames, seed);
  for (uint32_t frame = 0; frame < frames; ++frame) spec.palettes.push_back(TestPalette(seed * 5 + frame / 3));
  spec.frameRate = -1000;
  TestVideo video;
  video.coded = WriteCodedVideo(path, spec);
  video.width = width;
  video.height = height;
  return video;
}

int CountDifferentPixels(const QImage& shown, const QImage& expected) {
  if (shown.size() != expected.size()) return expected.width() * expected.height() + 1;
  int different = 0;
  for (int y = 0; y < expected.height(); ++y) {
    for (int x = 0; x < expected.width(); ++x) {
      if ((shown.pixel(x, y) | 0xFF000000u) != (expected.pixel(x, y) | 0xFF000000u)) ++different;
    }
  }
  return different;
}
