// Flics made by the writer, read back by the flic reader and by the picture input; and the
// whole chain from true-colour pictures through palette making to a flic.
#include <gtest/gtest.h>

#include <set>

#include "toolsupport/picture/flic_reader.h"
#include "toolsupport/tests/flic_test_support.h"
#include "toolsupport/picture/flic_writer.h"
#include "toolsupport/picture/graphics_output.h"
#include "toolsupport/picture/graphics_source.h"

namespace {

using namespace flictest;
using toolsupport::GraphicsSource;
using toolsupport::GraphicsSwitches;

void Write(const std::string& name, int w, int h, const std::vector<Frame>& frames,
           const std::vector<Palette>& palettes, int32_t rate) {
  FlicWriter writer;
  FlicWriterInit(writer);
  ASSERT_TRUE(CreateFlic(writer, name, w, h, rate));
  for (size_t i = 0; i < frames.size(); ++i) ASSERT_TRUE(WriteFlicFrame(writer, palettes[i].data(), frames[i].data()));
  CloseFlic(writer);
  FlicWriterFree(writer);
}

TEST(FlicRoundTrip, ReaderGivesBackEveryFramesPixelsAndPalette) {
  ScratchDirectory dir;
  for (const Clip& clip : Clips()) {
    SCOPED_TRACE(clip.name);
    std::vector<Palette> palettes;
    for (size_t i = 0; i < clip.frames.size(); ++i) palettes.push_back(Ramp(i % 3 == 2 ? 5 : 1));
    std::string name = dir.File(clip.name);
    Write(name, clip.width, clip.height, clip.frames, palettes, -6667);

    toolsupport::FlicReader reader;
    ASSERT_TRUE(toolsupport::OpenFlic(reader, name));
    EXPECT_EQ(reader.frames, static_cast<int32_t>(clip.frames.size()));
    EXPECT_EQ(reader.frameRate, -6667);
    const int pitch = reader.paddedWidth;
    EXPECT_EQ(pitch, (clip.width + 3) & ~3);
    std::vector<uint8_t> buffer(static_cast<size_t>(pitch) * reader.paddedHeight);
    for (size_t f = 0; f < clip.frames.size(); ++f) {
      const toolsupport::FlicFrame result = toolsupport::DecodeFlicFrame(reader, buffer.data());
      EXPECT_EQ(result, f == 0 || palettes[f] != palettes[f - 1] ? toolsupport::FlicFrame::PaletteChanged
                                                                 : toolsupport::FlicFrame::Decoded)
          << f;
      EXPECT_EQ(reader.palette, palettes[f]) << f;
      for (int y = 0; y < clip.height; ++y)
        ASSERT_TRUE(std::equal(&clip.frames[f][y * clip.width], &clip.frames[f][y * clip.width + clip.width],
                               &buffer[y * pitch]))
            << "frame " << f << " row " << y;
    }
    toolsupport::CloseFlicReader(reader);
  }
}

std::unique_ptr<GraphicsSource> OpenInput(const std::string& name, GraphicsSwitches switches = {}) {
  return toolsupport::OpenGraphicsInput({}, "", switches, name).Take();
}

TEST(FlicRoundTrip, EightBitFlicPassesThroughThePictureInputUnchanged) {
  ScratchDirectory dir;
  const int w = 16, h = 8;
  std::vector<Frame> frames;
  std::vector<Palette> palettes;
  for (int i = 0; i < 6; ++i) {
    frames.push_back(Noise(w, h, i));
    palettes.push_back(Ramp(i / 2));
  }
  Write(dir.File("pass.flc"), w, h, frames, palettes, 70);
  auto source = OpenInput(dir.File("pass.flc"));
  ASSERT_TRUE(source);
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(toolsupport::NextGraphicsFrame(*source));
    EXPECT_FALSE(source->paletteState.newPalette);
    EXPECT_EQ(source->outputPalette, palettes[i]) << i;
    for (int y = 0; y < h; ++y)
      EXPECT_TRUE(std::equal(&frames[i][y * w], &frames[i][y * w + w], &source->outputFrame[y * source->outputPitch]))
          << i;
  }
}

// With /P2 a new palette is made exactly where the input's palette changes, and every
// output pixel shows its input colour.
TEST(FlicRoundTrip, NewPaletteAtTheFrameWhereTheFlicPaletteChanges) {
  ScratchDirectory dir;
  const int w = 12, h = 6;
  Palette before = Ramp(1), after;
  for (int i = 0; i < 768; ++i) after[i] = static_cast<uint8_t>(255 - before[i]);
  std::vector<Frame> frames;
  std::vector<Palette> palettes;
  for (int i = 0; i < 60; ++i) {
    frames.push_back(Noise(w, h, 100 + i));
    palettes.push_back(i < 30 ? before : after);
  }
  Write(dir.File("change.flc"), w, h, frames, palettes, 70);
  GraphicsSwitches switches;
  switches.paletteMode = 2;
  switches.systemColours = 2;
  auto source = OpenInput(dir.File("change.flc"), switches);
  ASSERT_TRUE(source);
  for (int i = 0; i < 60; ++i) {
    ASSERT_TRUE(toolsupport::NextGraphicsFrame(*source));
    EXPECT_EQ(source->paletteState.newPalette, i == 0 || i == 30) << i;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t want = PaletteKey(palettes[i].data(), frames[i][y * w + x]);
        uint32_t got = PaletteKey(source->outputPalette.data(), source->outputFrame[y * source->outputPitch + x]);
        ASSERT_EQ(got, want) << "frame " << i << " at " << x << "," << y;
      }
  }
}

// True-colour pictures written as a TGA series, read as a numbered series, reduced to a
// palette and written as a flic: the flic holds what the picture input delivered.
TEST(FlicRoundTrip, TrueColourSeriesBecomesAFlicOfTheDeliveredFrames) {
  ScratchDirectory dir;
  const int w = 10, h = 6, frames = 3;
  Palette colours;
  for (int i = 0; i < 256; ++i)
    colours[i * 3] = static_cast<uint8_t>(i * 4), colours[i * 3 + 1] = static_cast<uint8_t>(i * 8),
    colours[i * 3 + 2] = static_cast<uint8_t>(255 - i);
  {
    auto tga = CreateGraphicsOutput(0, nullptr, 100, w, h, w, frames, dir.File("t.tga")).Take();
    ASSERT_TRUE(tga);
    for (int f = 0; f < frames; ++f) {
      Frame px(w * h);
      for (int i = 0; i < w * h; ++i) px[i] = static_cast<uint8_t>((i + f * 7) % 40);  // 40 colours
      WriteGraphicsFrame(*tga, colours.data(), px.data());
    }
    ASSERT_FALSE(tga->error);
    CloseGraphicsOutput(std::move(tga));
  }
  auto source = OpenInput(dir.File("t?.tga*0-2"));
  ASSERT_TRUE(source);
  ASSERT_EQ(source->frames, frames);
  EXPECT_EQ(source->inputBitsPerPixel, 24);
  auto flc = CreateGraphicsOutput(0, nullptr, source->frameRate, source->outputPitch, source->outputHeight,
                                  source->outputWidth, source->frames, dir.File("out"))
                 .Take();
  ASSERT_TRUE(flc);
  std::vector<Frame> delivered;
  std::vector<Palette> deliveredPalettes;
  while (!source->atEnd && toolsupport::NextGraphicsFrame(*source)) {
    // Every pixel keeps its colour: 40 colours fit the palette.
    for (int i = 0; i < w * h; ++i) {
      int index = source->outputFrame[i / w * source->outputPitch + i % w];
      EXPECT_EQ(PaletteKey(source->outputPalette.data(), index),
                PaletteKey(colours.data(), (i + static_cast<int>(delivered.size()) * 7) % 40));
    }
    WriteGraphicsFrame(*flc, source->outputPalette.data(), source->outputFrame.data());
    delivered.push_back(source->outputFrame);
    deliveredPalettes.push_back(source->outputPalette);
  }
  ASSERT_EQ(delivered.size(), 3u);
  EXPECT_FALSE(flc->error);
  CloseGraphicsOutput(std::move(flc));

  toolsupport::FlicReader reader;
  ASSERT_TRUE(toolsupport::OpenFlic(reader, dir.File("out.flc")));
  ASSERT_EQ(reader.frames, 3);
  ASSERT_EQ(reader.paddedWidth, source->outputPitch);
  std::vector<uint8_t> buffer(static_cast<size_t>(reader.paddedWidth) * reader.paddedHeight);
  for (int f = 0; f < 3; ++f) {
    toolsupport::DecodeFlicFrame(reader, buffer.data());
    EXPECT_EQ(reader.palette, deliveredPalettes[f]);
    for (int y = 0; y < h; ++y)
      EXPECT_TRUE(std::equal(&buffer[y * reader.paddedWidth], &buffer[y * reader.paddedWidth + w],
                             &delivered[f][y * source->outputPitch]))
          << f;
  }
  toolsupport::CloseFlicReader(reader);
}

}  // namespace
