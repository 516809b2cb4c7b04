#pragma once
// The picture input as the encoder's frame provider.
#include "compressor/frame_fetch.h"
#include "toolsupport/picture/graphics_source.h"

namespace compressor {

class GraphicsSourceInput : public EncoderInput {
 public:
  explicit GraphicsSourceInput(toolsupport::GraphicsSource& source) : source_(source) {}
  toolsupport::Status NextFrame() override { return toolsupport::NextGraphicsFrame(source_); }
  void Rewind() override { toolsupport::RewindGraphicsInput(source_); }
  const uint8_t* Pixels() const override { return source_.outputFrame.data(); }
  size_t Pitch() const override { return static_cast<size_t>(source_.outputPitch); }
  size_t Rows() const override {
    return source_.outputPitch > 0 ? source_.outputFrame.size() / Pitch() : 0;
  }
  const uint8_t* Palette() const override { return source_.outputPalette.data(); }
  uint64_t FrameDataSize() const override {
    return static_cast<uint64_t>(source_.frameDataSize > 0 ? source_.frameDataSize : 0);
  }

 private:
  toolsupport::GraphicsSource& source_;
};

}  // namespace compressor
