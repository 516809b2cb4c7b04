#include "compressor/graphics_output_frames.h"

#include <algorithm>
#include <cstring>

namespace compressor {

bool GraphicsOutputFrames::WriteFrame(const uint8_t* palette, const uint8_t* pixels, size_t pitch,
                                      uint32_t width, uint32_t height) {
  size_t outPitch = static_cast<size_t>(std::max(output_.sourcePitch, 0));
  size_t outRows = static_cast<size_t>(std::max(output_.height, 0));
  if (pitch != outPitch || height < outRows) {
    scratch_.assign(outPitch * outRows, 0);
    size_t rows = std::min<size_t>(height, outRows);
    size_t bytes = std::min<size_t>(width, outPitch);
    for (size_t y = 0; y < rows; ++y) std::memcpy(&scratch_[y * outPitch], pixels + y * pitch, bytes);
    pixels = scratch_.data();
  }
  WriteGraphicsFrame(output_, palette, pixels);
  return !output_.error;
}

}  // namespace compressor
