#pragma once
// The GIF side of the comparison: a clip written as an animated GIF the way GIF optimisers store
// animations (each frame after the first cropped to the rectangle that changed), and a player
// that decodes it record by record into one 8-bit canvas.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bench/speed_clips.h"

namespace speedbench {

struct PixelRect {
  uint32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};

// The smallest rectangle that holds every pixel where the two pictures differ; a 1 x 1
// rectangle at the origin when they are equal (a GIF frame cannot be empty).
PixelRect ChangedRect(const uint8_t* before, const uint8_t* after, uint32_t width, uint32_t height);

// Writes the clip with its palette as the global colour table, every frame shown for
// `delayCentiseconds` and left in place. False when the file cannot be written.
bool WriteCroppedGif(const std::string& path, const Clip& clip, int delayCentiseconds);

// Decodes every image of the GIF straight into `canvas` (resized to the logical screen and
// filled with its background colour first), so that each frame is composed over the one before,
// with its transparent colour and the disposal the image before asked for; onFrame sees the
// canvas after each image. Returns the frames decoded, or -1 when the file cannot be read or
// holds what this player does not compose (interlaced images, images outside the screen).
// Colours are the indexes as stored: local colour tables are not applied.
// The GIF's global colour table as red, green, blue bytes; empty when it has none or cannot be
// read. An optimiser may reorder the table, so the indexes of two GIFs compare only through it.
std::vector<uint8_t> GifGlobalColors(const std::string& path);

int DecodeGif(const std::string& path, std::vector<uint8_t>& canvas,
              const std::function<void(const std::vector<uint8_t>&)>& onFrame = {});

}  // namespace speedbench
