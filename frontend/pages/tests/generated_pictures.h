#pragma once
// Pictures the front end's tests make for the tools to work on.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/image/image.h"

namespace frontend_testing {

// Numbered 8-bit pictures whose square moves a little from frame to frame.
inline void WritePictures(const std::string& folder, int first, int last) {
  std::filesystem::create_directories(folder);
  for (int n = first; n <= last; ++n) {
    platform::Image image;
    ASSERT_EQ(platform::AllocateImage(image, 32, 24, 8), platform::ImageStatus::Ok);
    for (int i = 0; i < 256; ++i) {
      image.palette[4 * i] = static_cast<uint8_t>(i);
      image.palette[4 * i + 1] = static_cast<uint8_t>(255 - i);
      image.palette[4 * i + 2] = static_cast<uint8_t>(i * 7);
    }
    image.coloursUsed = 256;
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 32; ++x) {
        const bool square = x >= 4 + 2 * n && x < 12 + 2 * n && y >= 6 && y < 14;
        image.RowFromTop(y)[x] = static_cast<uint8_t>(square ? 200 : (x + y) % 16);
      }
    }
    char name[64];
    std::snprintf(name, sizeof name, "/frame%03d.bmp", n);
    ASSERT_EQ(platform::SaveImage(platform::ImageFormat::Bmp, folder + name, image, 0), platform::ImageStatus::Ok);
  }
}

}  // namespace frontend_testing
