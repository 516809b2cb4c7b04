#include "compressor/graphics_input.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "compressor/encode_pass.h"
#include "compressor/graphics_output_frames.h"
#include "testsupport/scratch_directory.h"

namespace compressor {
namespace {

void PutLong(std::ofstream& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.put(static_cast<char>(v >> (8 * i)));
}

// A raw frame file of three 10 x 6 frames (not whole blocks: the input pads them), grey palette.
std::string WriteRawFrames(const testsupport::ScratchDirectory& scratch) {
  const std::string name = scratch / "encoder_input_test.raw";
  std::ofstream out(name, std::ios::binary);
  out.write("RAWB", 4);
  PutLong(out, 3);
  PutLong(out, 10);
  PutLong(out, 6);
  PutLong(out, 6667);
  PutLong(out, 0);
  for (int i = 0; i < 256; ++i) {
    for (int k = 0; k < 3; ++k) out.put(static_cast<char>(i));
  }
  for (int f = 0; f < 3; ++f) {
    PutLong(out, 1);
    for (int p = 0; p < 60; ++p) out.put(static_cast<char>(p < 30 ? 20 + f * 40 : 200));
  }
  return name;
}

TEST(GraphicsSourceInput, ThePassEncodesFramesOfThePictureInput) {
  testsupport::ScratchDirectory scratch;
  std::string name = WriteRawFrames(scratch);
  auto source = toolsupport::OpenGraphicsInput({}, "Vanting", toolsupport::GraphicsSwitches{}, name).Take();
  ASSERT_TRUE(source);
  GraphicsSourceInput input(*source);
  StoredGeometry geometry = StoredFrameGeometry(static_cast<uint32_t>(input.Pitch()),
                                                static_cast<uint32_t>(source->outputHeight), 0);
  EXPECT_EQ(geometry.width, 12u);
  EXPECT_EQ(geometry.height, 8u);

  EncoderSettings settings;
  settings.width = geometry.width;
  settings.height = geometry.height;
  settings.frames = static_cast<uint32_t>(source->frames);
  settings.input = {static_cast<uint64_t>(source->fileSize), settings.frames, source->frameRate};
  settings.regularTarget = settings.keyTarget = 0;
  FrameHints hints;
  hints.Reset(settings.frames);
  EncoderPorts ports;
  ports.input = &input;
  FrameEncoder encoder(settings, hints, ports);
  ASSERT_TRUE(encoder.Start());
  for (uint32_t f = 0; f < settings.frames; ++f) {
    ASSERT_TRUE(encoder.EncodeFrame(f));
    // Decoded exactly: the first three rows of the picture hold the frame's grey.
    const std::vector<uint8_t>& decoded = encoder.DecodedBlocks();
    EXPECT_EQ(decoded[0], 20 + f * 40);
    EXPECT_EQ(decoded[4 * 2 + 1], 20 + f * 40);  // row 2 of block 0
    EXPECT_EQ(decoded[4 * 3], 200);              // row 3 of block 0
  }
  // Rewinding gives the first frame again, as the second pass and the ring frame need.
  input.Rewind();
  ASSERT_TRUE(input.NextFrame());
  EXPECT_EQ(input.Pixels()[0], 20);
  EXPECT_GE(input.Rows(), 8u);
  source.reset();
  std::remove(name.c_str());
}

TEST(GraphicsOutputFrames, TheCodedFramesBecomeAFlic) {
  testsupport::ScratchDirectory scratch;
  std::string raw = WriteRawFrames(scratch);
  std::string flc = scratch / "encoder_output_test.flc";
  auto source = toolsupport::OpenGraphicsInput({}, "Vanting", toolsupport::GraphicsSwitches{}, raw).Take();
  ASSERT_TRUE(source);
  GraphicsSourceInput input(*source);
  auto output = CreateGraphicsOutput(kOutputOverwrite, {}, source->frameRate, 12, 8, 12, 3, flc).Take();
  ASSERT_TRUE(output);
  GraphicsOutputFrames frames(*output);

  EncoderSettings settings;
  settings.width = 12;
  settings.height = 8;
  settings.frames = 3;
  settings.input = {100, 3, source->frameRate};
  settings.mixOriginals = true;
  FrameHints hints;
  hints.Reset(3);
  EncoderPorts ports;
  ports.input = &input;
  ports.output = &frames;
  ASSERT_TRUE(EncodePass(settings, hints, ports).ok());
  EXPECT_FALSE(output->error);
  // A frame of another row step is copied into the output's rows.
  std::vector<uint8_t> wide(20 * 4, 7);
  EXPECT_TRUE(frames.WriteFrame(source->outputPalette.data(), wide.data(), 20, 12, 4));
  EXPECT_GT(CloseGraphicsOutput(std::move(output)), 128);
  source.reset();
  std::remove(raw.c_str());
  std::remove(flc.c_str());
}

}  // namespace
}  // namespace compressor
