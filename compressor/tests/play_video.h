#pragma once
// Frames played through the playback library's calls, as a player shows them.
#include <cstdint>
#include <string>
#include <vector>

#include "playback/vant.h"

namespace compressor::testing {

// What a player shows: each frame's picture and palette, played with VantDoFrame and
// VantNextFrame. `count` may pass the last frame; the video then starts again (through its ring
// frame when it has one).
struct PlayedFrame {
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> palette;  // 768 bytes
};

inline std::vector<PlayedFrame> PlayVideo(const std::string& path, size_t count) {
  std::vector<PlayedFrame> frames;
  VantVideo* video = VantOpen(path.c_str(), 0, VANT_EXTRA_BUFFER_AUTO);
  if (!video) return frames;
  const uint32_t width = video->header.width, height = video->header.height;
  std::vector<uint8_t> picture(size_t{width} * height, 0);
  if (VantToBuffer(video, 0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height), picture.data(), 0)) {
    for (size_t i = 0; i < count; ++i) {
      VantDoFrame(video);
      const uint8_t* palette = &video->palette[0][0];
      frames.push_back({picture, std::vector<uint8_t>(palette, palette + 768)});
      VantNextFrame(video);
    }
  }
  VantClose(video);
  return frames;
}

}  // namespace compressor::testing
