#pragma once
// The graphics output (FLC file or picture series) as the encoder's picture output.
#include <vector>

#include "compressor/encode_pass.h"
#include "toolsupport/picture/graphics_output.h"

namespace compressor {

class GraphicsOutputFrames : public FrameOutput {
 public:
  explicit GraphicsOutputFrames(GraphicsOutput& output) : output_(output) {}
  // Frames of another row step or height are copied to the output's own (rows it lacks black).
  // False when the output could not write the frame.
  bool WriteFrame(const uint8_t* palette, const uint8_t* pixels, size_t pitch, uint32_t width,
                  uint32_t height) override;
  std::string FailureText() const override { return output_.errorText; }

 private:
  GraphicsOutput& output_;
  std::vector<uint8_t> scratch_;
};

}  // namespace compressor
