#include <gtest/gtest.h>

#include "playback/tests/coded_video.h"
#include "toolsupport/picture/graphics_source.h"
#include "toolsupport/tests/media_test_files.h"
#include "testsupport/file_contents.h"

namespace toolsupport {
namespace {

TEST(GraphicsSource, VntFramesAndPalettesThroughThePlaybackLibrary) {
  testing_files::ScratchDirectory dir;
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
  auto source = OpenGraphicsInput({}, "", ParseGraphicsSwitches(command), dir / "clip").Take();
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

CodedVideo WriteSmallVideo(const std::string& path, uint32_t frames) {
  CodedVideoSpec spec;
  for (uint32_t f = 0; f < frames; ++f) {
    Picture picture(8, 4, static_cast<uint8_t>(f));
    picture.Fill(f % 4, 1, 4, 2, static_cast<uint8_t>(100 + f));
    spec.pictures.push_back(picture);
    spec.palettes.push_back(TestPalette());
  }
  spec.keyFrames = true;
  return WriteCodedVideo(path, spec);
}

// A file cut inside its frames delivers the frames it holds; the next one is an error that says
// where the video ends.
TEST(GraphicsSource, VntCutShortEndsInAnErrorThatSaysWhere) {
  testing_files::ScratchDirectory dir;
  CodedVideo video = WriteSmallVideo(dir / "whole.vnt", 6);
  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(dir / "whole.vnt");
  bytes.resize(bytes.size() - video.frameSizes.back() - video.frameSizes[4] / 2);  // inside frame 5
  testing_files::WriteBytes(dir / "cut.VNT", bytes);
  auto source = OpenGraphicsInput({}, "", GraphicsSwitches{}, dir / "cut").Take();  // ".vnt", then ".VNT"
  ASSERT_TRUE(source);
  EXPECT_EQ(source->name, dir / "cut.VNT");
  EXPECT_EQ(source->frames, 6);
  for (uint32_t f = 0; f < 4; ++f) {
    ASSERT_TRUE(NextGraphicsFrame(*source)) << f;
    EXPECT_EQ(source->outputFrame[8 + 1 + f % 4], 100 + f) << f;
  }
  const Status cut = NextGraphicsFrame(*source);
  EXPECT_EQ(cut.messages(), std::vector<std::string>{"Error reading: " + dir / "cut.VNT (it ends after 4 of its 6 frames)."});
}

// The decode buffer of the header's size is as large as the image layer lets a picture be.
TEST(GraphicsSource, VntPicturesBeyondTheLimitsAreRefused) {
  testing_files::ScratchDirectory dir;
  WriteSmallVideo(dir / "small.vnt", 2);
  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(dir / "small.vnt");
  for (int at : {4, 8}) {  // width and height
    bytes[at] = 0;
    bytes[at + 1] = 0x80;  // 32768
  }
  testing_files::WriteBytes(dir / "huge.vnt", bytes);
  EXPECT_FALSE(OpenGraphicsInput({}, "", GraphicsSwitches{}, dir / "huge.vnt"));
}

}  // namespace
}  // namespace toolsupport
