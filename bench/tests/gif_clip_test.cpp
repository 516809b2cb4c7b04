#include "bench/gif_clip.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <fstream>

#include "testsupport/file_contents.h"
#include "testsupport/scratch_directory.h"

namespace speedbench {
namespace {

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Four frames of 20 x 12: a box that moves, a frame that changes nothing, a change in one corner.
Clip SmallClip() {
  Clip clip;
  clip.width = 20;
  clip.height = 12;
  for (int i = 0; i < 256; ++i) clip.palette[3 * i] = static_cast<uint8_t>(i);
  std::vector<uint8_t> frame(20 * 12);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i % 7);
  clip.frames.push_back(frame);
  for (uint32_t y = 3; y < 6; ++y) {
    for (uint32_t x = 5; x < 9; ++x) frame[y * 20 + x] = 200;
  }
  clip.frames.push_back(frame);
  clip.frames.push_back(frame);
  frame[11 * 20 + 19] = 201;
  clip.frames.push_back(frame);
  return clip;
}

TEST(ChangedRect, BoundsEveryDifferenceAndIsOnePixelWhenNothingChanged) {
  std::vector<uint8_t> before(8 * 6, 1), after = before;
  EXPECT_EQ(ChangedRect(before.data(), after.data(), 8, 6), (PixelRect{0, 0, 1, 1}));
  after[5 * 8 + 7] = 2;  // the last pixel
  EXPECT_EQ(ChangedRect(before.data(), after.data(), 8, 6), (PixelRect{7, 5, 1, 1}));
  after[1 * 8 + 2] = 2;  // a second change up and to the left widens the box both ways
  EXPECT_EQ(ChangedRect(before.data(), after.data(), 8, 6), (PixelRect{2, 1, 6, 5}));
  after[3 * 8 + 0] = 2;  // a change in a middle row moves only the left edge
  EXPECT_EQ(ChangedRect(before.data(), after.data(), 8, 6), (PixelRect{0, 1, 8, 5}));
}

TEST(CroppedGif, StoresChangedRectanglesAndComposesBackToEveryFrame) {
  testsupport::ScratchDirectory folder;
  ASSERT_TRUE(folder.Made());
  const Clip clip = SmallClip();
  const std::string path = folder.File("clip.gif");
  ASSERT_TRUE(WriteCroppedGif(path, clip, 7));

  // What giflib itself reads back: a full first frame, then only the rectangles that changed.
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  ASSERT_EQ(gif->ImageCount, 4);
  auto rect = [&](int i) {
    const GifImageDesc& d = gif->SavedImages[i].ImageDesc;
    return PixelRect{uint32_t(d.Left), uint32_t(d.Top), uint32_t(d.Width), uint32_t(d.Height)};
  };
  EXPECT_EQ(rect(0), (PixelRect{0, 0, 20, 12}));
  EXPECT_EQ(rect(1), (PixelRect{5, 3, 4, 3}));
  EXPECT_EQ(rect(2), (PixelRect{0, 0, 1, 1}));
  EXPECT_EQ(rect(3), (PixelRect{19, 11, 1, 1}));
  GraphicsControlBlock control{};
  ASSERT_EQ(DGifSavedExtensionToGCB(gif, 3, &control), GIF_OK);
  EXPECT_EQ(control.DelayTime, 7);
  EXPECT_EQ(control.TransparentColor, NO_TRANSPARENT_COLOR);
  EXPECT_EQ(gif->SColorMap->Colors[200].Red, 200);
  DGifCloseFile(gif, &error);

  std::vector<uint8_t> canvas;
  std::vector<std::vector<uint8_t>> shown;
  EXPECT_EQ(DecodeGif(path, canvas, [&](const std::vector<uint8_t>& picture) { shown.push_back(picture); }), 4);
  EXPECT_EQ(shown, clip.frames);
}

struct TestImage {
  PixelRect rect;
  std::vector<uint8_t> pixels;
  int transparent = NO_TRANSPARENT_COLOR;
  int disposal = DISPOSE_DO_NOT;
};

// A GIF of a 4 x 3 screen with background colour 7, as an optimiser may store one.
void WriteComposedGif(const std::string& path, const std::vector<TestImage>& images) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  ASSERT_NE(gif, nullptr);
  ColorMapObject* map = GifMakeMapObject(256, nullptr);
  EGifSetGifVersion(gif, true);
  ASSERT_EQ(EGifPutScreenDesc(gif, 4, 3, 8, 7, map), GIF_OK);
  for (const TestImage& image : images) {
    GraphicsControlBlock control{};
    control.DisposalMode = image.disposal;
    control.TransparentColor = image.transparent;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    ASSERT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension), GIF_OK);
    const PixelRect& r = image.rect;
    ASSERT_EQ(EGifPutImageDesc(gif, int(r.left), int(r.top), int(r.width), int(r.height), false, nullptr), GIF_OK);
    std::vector<GifPixelType> pixels(image.pixels.begin(), image.pixels.end());
    ASSERT_EQ(EGifPutLine(gif, pixels.data(), int(pixels.size())), GIF_OK);
  }
  ASSERT_EQ(EGifCloseFile(gif, &error), GIF_OK);
  GifFreeMapObject(map);
}

TEST(ComposedGif, TransparentPixelsShowThroughAndDisposalsUndoTheImageBeforeTheNext) {
  testsupport::ScratchDirectory folder;
  ASSERT_TRUE(folder.Made());
  const std::vector<uint8_t> first = {1, 1, 1, 1, 1, 2, 2, 1, 1, 1, 1, 1};
  // The second image covers the middle 2 x 2, its colour 9 transparent; the third one pixel.
  const std::vector<uint8_t> second = {1, 1, 1, 1, 1, 5, 2, 1, 1, 5, 5, 1};
  struct Case {
    int disposal;
    std::vector<uint8_t> third;  // the screen after the third image
  };
  const Case cases[] = {
      {DISPOSE_DO_NOT, {3, 1, 1, 1, 1, 5, 2, 1, 1, 5, 5, 1}},
      {DISPOSE_BACKGROUND, {3, 1, 1, 1, 1, 7, 7, 1, 1, 7, 7, 1}},
      {DISPOSE_PREVIOUS, {3, 1, 1, 1, 1, 2, 2, 1, 1, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.disposal);
    const std::string path = folder.File("composed.gif");
    WriteComposedGif(path, {{{0, 0, 4, 3}, first},
                            {{1, 1, 2, 2}, {5, 9, 5, 5}, 9, c.disposal},
                            {{0, 0, 1, 1}, {3}}});
    std::vector<uint8_t> canvas;
    std::vector<std::vector<uint8_t>> shown;
    ASSERT_EQ(DecodeGif(path, canvas, [&](const std::vector<uint8_t>& picture) { shown.push_back(picture); }), 3);
    EXPECT_EQ(shown, (std::vector<std::vector<uint8_t>>{first, second, c.third}));
    EXPECT_EQ(GifGlobalColors(path).size(), 768u);
  }
}

TEST(CroppedGif, PlayerRefusesDamagedFilesAndImagesOutsideTheScreen) {
  testsupport::ScratchDirectory folder;
  ASSERT_TRUE(folder.Made());
  const std::string good = folder.File("good.gif");
  ASSERT_TRUE(WriteCroppedGif(good, SmallClip(), 7));
  const std::vector<uint8_t> bytes = testsupport::ReadFileBytes(good);
  std::vector<uint8_t> canvas;

  // Header 6, screen 7, colour table 768, frame delay 8: the first image descriptor, whose width
  // follows its separator, left and top.
  constexpr size_t kFirstImage = 6 + 7 + 768 + 8;
  ASSERT_EQ(bytes.at(kFirstImage), 0x2C);
  std::vector<uint8_t> wide = bytes;
  wide[kFirstImage + 5] = 21;  // 21 pixels wide on a 20-pixel screen
  WriteBytes(folder.File("wide.gif"), wide);
  EXPECT_EQ(DecodeGif(folder.File("wide.gif"), canvas), -1);

  std::vector<uint8_t> interlaced = bytes;
  interlaced[kFirstImage + 9] |= 0x40;
  WriteBytes(folder.File("interlaced.gif"), interlaced);
  EXPECT_EQ(DecodeGif(folder.File("interlaced.gif"), canvas), -1);

  WriteBytes(folder.File("cut.gif"), std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(bytes.size() / 2)));
  EXPECT_EQ(DecodeGif(folder.File("cut.gif"), canvas), -1);
  EXPECT_EQ(DecodeGif(folder.File("missing.gif"), canvas), -1);
}

}  // namespace
}  // namespace speedbench
