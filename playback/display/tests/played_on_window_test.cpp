// A coded video played the way the player plays it: decoded into a display buffer, its palette
// taken when a frame brings one, and only the changed rectangles blitted to the window. After
// every frame the window must show exactly the frame's picture through the frame's palette.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>

#include "playback/display/tests/buffer_test_support.h"
#include "playback/tests/coded_video.h"
#include "playback/tests/test_video.h"
#include "playback/display/vant_display.h"

namespace {

struct BufferDeleter {
  void operator()(VantBuffer* buffer) const { VantBufferClose(buffer); }
};
struct VideoDeleter {
  void operator()(VantVideo* video) const { VantClose(video); }
};

// Moving squares over a still background, with a palette that changes halfway.
CodedVideoSpec MovingSquares() {
  CodedVideoSpec spec;
  Picture background(96, 64);
  for (uint32_t y = 0; y < background.height; ++y) {
    for (uint32_t x = 0; x < background.width; ++x) background.At(x, y) = static_cast<uint8_t>((x / 8 + y / 8) * 9);
  }
  for (uint32_t frame = 0; frame < 12; ++frame) {
    Picture picture = background;
    picture.Fill(4 + frame * 6, 8, 16, 12, static_cast<uint8_t>(200 + frame));
    picture.Fill(60, 4 + frame * 4, 8, 8, 17);
    spec.pictures.push_back(picture);
    spec.palettes.push_back(TestPalette(frame < 6 ? 0 : 40));
  }
  return spec;
}

TEST(PlayedOnWindow, BlittedRectanglesShowEveryDecodedFrameThroughItsPalette) {
  auto window = buffer_test::ShownWindow(200, 150);
  ASSERT_NE(window, nullptr);
  ScratchDirectory dir;
  const CodedVideo coded = WriteCodedVideo(dir.File("squares.vnt"), MovingSquares());
  std::unique_ptr<VantVideo, VideoDeleter> video(VantOpen(coded.path.c_str(), 0, 0));
  ASSERT_NE(video, nullptr);
  const int width = static_cast<int>(video->header.width);
  const int height = static_cast<int>(video->header.height);
  std::unique_ptr<VantBuffer, BufferDeleter> buffer(
      VantBufferOpen(window->Handle(), VANT_BLITTER_AUTOMATIC, width, height, 0, 0));
  ASSERT_NE(buffer, nullptr);
  ASSERT_EQ(VantToBuffer(video.get(), 0, 0, buffer->pitch, buffer->height, buffer->pixels,
                         static_cast<uint32_t>(buffer->destinationFlags)),
            1);

  int rectanglesBlitted = 0;
  for (uint32_t frame = 0; frame < video->header.frames; ++frame) {
    if (video->paletteChanged) VantBufferNewPalette(buffer.get(), video->palette, 0);
    VantDoFrame(video.get());
    while (VantToBufferRect(video.get(), buffer->rectMode) != 0) {
      const VantRect rect = video->lastRect;
      VantBufferBlit(buffer.get(), nullptr, 0, 0, rect.left, rect.top, rect.width, rect.height);
      ++rectanglesBlitted;
    }
    const Picture& picture = coded.pictures[frame];
    const ColorTable& palette = coded.palettes[frame];
    const QImage shown = window->Grab();
    const int wrong = buffer_test::CountWrongPixels(shown, QRect(0, 0, width, height), [&](int x, int y) {
      const auto& color = palette[picture.At(static_cast<uint32_t>(x), static_cast<uint32_t>(y))];
      return qRgb(color[0], color[1], color[2]);
    });
    EXPECT_EQ(wrong, 0) << "frame " << frame;
    VantNextFrame(video.get());
  }
  EXPECT_GE(rectanglesBlitted, 12);  // every frame changed something
}

}  // namespace
