#pragma once
// Videos for the player's tests, made of real coded frames (pictures that change a few
// rectangles at a time, and a new palette every third frame), and what a window should show.
#include <QImage>
#include <cstdint>
#include <string>

#include "playback/tests/coded_video.h"
#include "testsupport/scratch_directory.h"

struct TestVideo {
  CodedVideo coded;  // path, pictures and palettes per frame
  uint32_t width = 0;
  uint32_t height = 0;

  const std::string& path() const { return coded.path; }
  size_t frames() const { return coded.pictures.size(); }
  // Frame i as the colours it shows.
  QImage Picture(size_t frame) const;
};

// Writes `frames` frames of width x height (multiples of 4) at 10 ms a frame; `seed` makes
// videos differ. The path is empty when writing failed.
TestVideo WriteTestVideo(const std::string& path, uint32_t width, uint32_t height, uint32_t frames,
                         uint32_t seed);

using testsupport::ScratchDirectory;

// The pixels of `shown` that differ from `expected` (both compared as opaque colours).
int CountDifferentPixels(const QImage& shown, const QImage& expected);
