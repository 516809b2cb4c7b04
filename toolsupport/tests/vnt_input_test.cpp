#include <gtest/gtest.h>

#include "coded_video.h"
#include "graphics_source.h"
#include "media_test_files.h"

namespace toolsupport {
namespace {

TEST(GraphicsSource, VntFramesAndPalettesThroughThePlaybackLibrary) {
  testing_files::ScratchDir dir;
  CodedVideoSpec spec;
  spec.frameRate = -6667;
  for (uint32_t f = 0; f < 10; ++f) {
    Picture picture(8, 4, static_cast<uint8_t>(f));
    picture.Fill(f % 4, 1, 4, 2, static_cast<uint8_t>(100 + f));
    spec.pictures.push_back(picture);
    spec.palettes.push_back(TestPalette(f < 6 ? 0 : 1));  // a new palette from the seventh frame
  }
  CodedVideo video = WriteCodedVideo(dir / "clip.vnt", spec);

  std::string command = "/S5 /E7";
  auto source = OpenGraphicsInput(nullptr, "", ParseGraphicsSwitches(command), dir / "clip");
  ASSERT_TRUE(source);
  EXPECT_EQ(source->kind, kGraphicsVnt);
  EXPECT_EQ(source->name, dir / "clip.vnt");
  EXPECT_EQ(source->frameRate, -6667);
  EXPECT_EQ(source->inputWidth, 8);
  EXPECT_EQ(source->frames, 3);
  auto readAll = [&] {
    std::vector<bool> changes;
    for (uint32_t f = 4; f < 7; ++f) {
      changes.push_back(ReadGraphicsFrame(*source));
      for (uint32_t y = 0; y < 4; ++y) {
        for (uint32_t x = 0; x < 8; ++x) {
          ASSERT_EQ(source->currentPixels[source->currentPitch * y + x], video.pictures[f].At(x, y))
              << "frame " << f << " at " << x << "," << y;
        }
      }
      for (int i = 0; i < 256; ++i) {
        for (int c = 0; c < 3; ++c) ASSERT_EQ(source->inputPalette[i * 3 + c], video.palettes[f][i][c]);
      }
      EXPECT_EQ(source->frameDataSize, video.frameSizes[f]);
    }
    EXPECT_EQ(changes, (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(source->atEnd);
  };
  readAll();
  RewindGraphicsInput(*source);
  readAll();
}

}  // namespace
}  // namespace toolsupport
