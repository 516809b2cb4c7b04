#include <gtest/gtest.h>

#include "playback/display/tests/buffer_test_support.h"
#include "playback/display/display_buffer_system.h"
#include "playback/display/full_screen_view.h"
#include "playback/display/vant_display.h"

namespace {

using buffer_test::ColorAt;
using buffer_test::PixelAt;
using playback::LayOutFullScreen;

TEST(FullScreenLayout, TheModeFillsTheScreenWithItsAspectAndThePictureSitsInItsMiddle) {
  struct Case {
    QSize screen, mode, picture;
    QRect mode_area, placed;
  };
  const Case cases[] = {
      // A wide screen: bars left and right; 204 rows in the middle of 240.
      {{1920, 1080}, {320, 240}, {320, 204}, {240, 0, 1440, 1080}, {240, 81, 1440, 918}},
      // A square screen: bars above and below; a small picture in the middle.
      {{800, 800}, {320, 200}, {160, 100}, {0, 150, 800, 500}, {200, 275, 400, 250}},
      // The mode's own size: nothing scaled.
      {{320, 200}, {320, 200}, {320, 200}, {0, 0, 320, 200}, {0, 0, 320, 200}},
      // Uneven scales round each edge down, so odd sizes stay inside the area.
      {{1366, 768}, {320, 240}, {301, 221}, {171, 0, 1024, 768}, {199, 28, 964, 708}},
  };
  for (const Case& c : cases) {
    playback::FullScreenLayout layout = LayOutFullScreen(c.screen, c.mode, c.picture);
    EXPECT_EQ(layout.mode_area, c.mode_area) << c.screen.width() << "x" << c.screen.height();
    EXPECT_EQ(layout.picture, c.placed) << c.screen.width() << "x" << c.screen.height();
  }
}

struct BufferDeleter {
  void operator()(VantBuffer* buffer) const { VantBufferClose(buffer); }
};
using Buffer = std::unique_ptr<VantBuffer, BufferDeleter>;

class FullScreenBuffer : public testing::Test {
 protected:
  void SetUp() override { window_ = buffer_test::ShownWindow(320, 240); }

  Buffer Open(int32_t kind, int width, int height) {
    Buffer buffer(VantBufferOpen(window_->Handle(), kind, width, height, 0, 0));
    platform::ProcessWindowEvents();
    return buffer;
  }

  static platform::Window& View(VantBuffer& buffer) { return buffer.system->view->window(); }

  // Compares the centre of every buffer pixel as the view shows it.
  static int WrongPixels(VantBuffer& buffer, const QImage& shown, QSize mode) {
    QImage read = buffer_test::PictureOnScreen(shown, mode, QSize(buffer.width, buffer.height));
    int wrong = 0;
    for (int y = 0; y < buffer.height; ++y) {
      for (int x = 0; x < buffer.width; ++x) {
        if (read.pixel(x, y) != ColorAt(buffer, x, y)) ++wrong;
      }
    }
    return wrong;
  }

  // A direct buffer's pixels show at the view's next refresh: waits for it and gives the pixels
  // the view shows wrongly then.
  static int WrongPixelsOnceRefreshed(VantBuffer& buffer) {
    int wrong = 0;
    buffer_test::EventsUntil([&] {
      wrong = WrongPixels(buffer, View(buffer).Grab(), QSize(320, 200));
      return wrong == 0;
    });
    return wrong;
  }

  std::unique_ptr<platform::Window> window_;
};

TEST_F(FullScreenBuffer, TakesTheScreenAndShowsTheBlittedPictureScaled) {
  Buffer buffer = Open(VANT_BLITTER_FULL_SCREEN_320X200, 160, 100);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->kind, VANT_BLITTER_FULL_SCREEN_320X200);
  EXPECT_EQ(buffer->fullScreen, 1);
  EXPECT_EQ(buffer->destinationFlags, 1);
  EXPECT_EQ(buffer->rectMode, 1);
  EXPECT_EQ(buffer->height, 100);
  EXPECT_EQ(buffer->usableColors, 256);
  EXPECT_TRUE(window_->IsMinimized());
  platform::Window& view = View(*buffer);
  EXPECT_TRUE(view.IsVisible());
  EXPECT_EQ(view.Surface().size(), view.ClientRect().size());
  EXPECT_NE(VantBufferFocused(buffer.get()), 0);

  std::vector<uint8_t> palette = buffer_test::DistinctPalette(17);
  VantBufferNewPalette(buffer.get(), palette.data(), 0);
  buffer_test::FillPattern(*buffer, 2);
  EXPECT_EQ(VantBufferBlit(buffer.get(), nullptr, 0, 0, 10, 10, 1, 1), 0);
  QImage shown = view.Grab();
  EXPECT_EQ(WrongPixels(*buffer, shown, QSize(320, 200)), 0);
  // Outside the picture the screen is black.
  playback::FullScreenLayout layout = LayOutFullScreen(shown.size(), QSize(320, 200), QSize(160, 100));
  EXPECT_EQ(shown.pixel(layout.picture.left() - 1, layout.picture.top()) | 0xFF000000u, qRgb(0, 0, 0));
  EXPECT_EQ(shown.pixel(0, 0) | 0xFF000000u, qRgb(0, 0, 0));

  // A new palette shows at once, as the display's own palette would.
  std::vector<uint8_t> other = buffer_test::DistinctPalette(90);
  VantBufferNewPalette(buffer.get(), other.data(), 0);
  EXPECT_EQ(WrongPixels(*buffer, view.Grab(), QSize(320, 200)), 0);
  EXPECT_EQ(VantBufferSetPalette(buffer.get()), 0);
}

TEST_F(FullScreenBuffer, TheDirectKindIsTheDisplaysMemoryAndShowsWithoutBlits) {
  Buffer buffer = Open(VANT_BLITTER_FULL_SCREEN_DIRECT, 160, 100);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->kind, VANT_BLITTER_FULL_SCREEN_DIRECT);
  EXPECT_EQ(buffer->fullScreen, 1);
  // The whole mode, top row first, and no rectangles to blit.
  EXPECT_EQ(buffer->width, 320);
  EXPECT_EQ(buffer->height, 200);
  EXPECT_EQ(buffer->pitch, 320);
  EXPECT_EQ(buffer->destinationFlags, 0);
  EXPECT_EQ(buffer->rectMode, VANT_RECT_NONE);
  EXPECT_EQ(buffer->usableColors, 256);
  EXPECT_TRUE(window_->IsMinimized());
  platform::Window& view = View(*buffer);
  EXPECT_TRUE(view.IsVisible());

  std::vector<uint8_t> palette = buffer_test::DistinctPalette(5);
  VantBufferNewPalette(buffer.get(), palette.data(), 0);
  buffer_test::FillPattern(*buffer, 3);  // written, never blitted
  EXPECT_EQ(WrongPixelsOnceRefreshed(*buffer), 0);
  EXPECT_EQ(VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 320, 200), 0);

  // The display's palette colours its memory at once.
  std::vector<uint8_t> other = buffer_test::DistinctPalette(77);
  VantBufferNewPalette(buffer.get(), other.data(), 0);
  EXPECT_EQ(WrongPixels(*buffer, view.Grab(), QSize(320, 200)), 0);

  // What was written while the view was away shows when it comes back.
  auto elsewhere = platform::Window::Create("other");
  elsewhere->Show();
  elsewhere->Activate();
  platform::ProcessWindowEvents();
  EXPECT_EQ(VantBufferFocused(buffer.get()), 0);
  buffer_test::FillPattern(*buffer, 90);
  view.Activate();
  platform::ProcessWindowEvents();
  EXPECT_NE(VantBufferFocused(buffer.get()), 0);
  EXPECT_EQ(WrongPixels(*buffer, view.Grab(), QSize(320, 200)), 0);
}

TEST_F(FullScreenBuffer, The320x240ModeGivesShortPictures204Rows) {
  Buffer buffer = Open(VANT_BLITTER_FULL_SCREEN_320X240, 320, 200);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->height, 204);
  EXPECT_EQ(buffer->pitch, 320);
  std::vector<uint8_t> palette = buffer_test::DistinctPalette(3);
  VantBufferNewPalette(buffer.get(), palette.data(), 0);
  buffer_test::FillPattern(*buffer, 1);
  VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 320, 204);
  EXPECT_EQ(WrongPixels(*buffer, View(*buffer).Grab(), QSize(320, 240)), 0);
}

TEST_F(FullScreenBuffer, FocusFollowsTheViewAndComingBackSendsThePictureAgain) {
  Buffer buffer = Open(VANT_BLITTER_FULL_SCREEN_320X200, 320, 200);
  ASSERT_NE(buffer, nullptr);
  std::vector<uint8_t> palette = buffer_test::DistinctPalette();
  VantBufferNewPalette(buffer.get(), palette.data(), 0);
  VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 320, 200);

  auto other = platform::Window::Create("other");
  other->Show();
  other->Activate();
  platform::ProcessWindowEvents();
  EXPECT_EQ(VantBufferFocused(buffer.get()), 0);

  buffer_test::FillPattern(*buffer, 40);  // decoded meanwhile, not blitted
  View(*buffer).Activate();
  platform::ProcessWindowEvents();
  EXPECT_NE(VantBufferFocused(buffer.get()), 0);
  EXPECT_EQ(WrongPixels(*buffer, View(*buffer).Grab(), QSize(320, 200)), 0);

  // Restoring the caller's window goes to the view instead.
  window_->ShowNormal();
  platform::ProcessWindowEvents();
  EXPECT_TRUE(window_->IsMinimized());
  EXPECT_NE(VantBufferFocused(buffer.get()), 0);
}

TEST_F(FullScreenBuffer, OneBufferHoldsTheScreenAndClosingGivesTheWindowBack) {
  Buffer first = Open(VANT_BLITTER_FULL_SCREEN_320X200, 320, 200);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Open(VANT_BLITTER_FULL_SCREEN_320X240, 320, 240), nullptr);
  Buffer windowed = Open(VANT_BLITTER_AUTOMATIC, 320, 200);
  EXPECT_NE(windowed, nullptr);
  windowed.reset();

  first.reset();
  EXPECT_FALSE(window_->IsMinimized());
  Buffer second = Open(VANT_BLITTER_FULL_SCREEN_320X240, 320, 240);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->height, 240);
}

TEST_F(FullScreenBuffer, ClosingAfterTheCallersWindowIsGoneIsHarmless) {
  Buffer buffer = Open(VANT_BLITTER_FULL_SCREEN_320X200, 64, 64);
  ASSERT_NE(buffer, nullptr);
  window_.reset();
  EXPECT_EQ(VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 64, 64), 0);
  buffer.reset();
  platform::ProcessWindowEvents();
}

}  // namespace
