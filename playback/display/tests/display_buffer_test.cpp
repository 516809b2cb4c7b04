#include <gtest/gtest.h>

#include <QPainter>
#include <cstring>
#include <string>

#include "playback/display/tests/buffer_test_support.h"
#include "platform/gui/window.h"
#include "playback/display/vant_display.h"

namespace {

using buffer_test::ColorAt;
using buffer_test::CountWrongPixels;
using buffer_test::DistinctPalette;
using buffer_test::FillPattern;
using buffer_test::PixelAt;

struct BufferDeleter {
  void operator()(VantBuffer* buffer) const { VantBufferClose(buffer); }
};
using Buffer = std::unique_ptr<VantBuffer, BufferDeleter>;

constexpr QRgb kUntouched = qRgb(1, 254, 3);  // painted where the buffer must not draw

std::string KindName(int32_t kind) {
  char text[VANT_BUFFER_STRING_SIZE];
  return VantBufferString(text, kind);
}

TEST(DisplayBufferOpen, ChoosesTheKindAndDescribesItForTheDecoder) {
  auto window = buffer_test::ShownWindow();
  void* handle = window->Handle();

  Buffer automatic(VantBufferOpen(handle, VANT_BLITTER_AUTOMATIC, 321, 100, 0, 0));
  ASSERT_NE(automatic, nullptr);
  EXPECT_EQ(automatic->kind, VANT_BLITTER_DIB_SECTION);
  EXPECT_EQ(KindName(automatic->kind), "CreateDIBSection");
  EXPECT_EQ(automatic->destinationFlags, 0);  // the image keeps its top row first
  EXPECT_EQ(automatic->rectMode, 0);
  EXPECT_EQ(automatic->pitch, 324);
  EXPECT_EQ(automatic->stretched, 0);
  EXPECT_EQ(automatic->fullScreen, 0);
  EXPECT_EQ(automatic->displayWidth, 321);
  EXPECT_EQ(automatic->window, handle);
  // A true-colour screen: every entry is usable.
  EXPECT_EQ(automatic->screenColors, 1 << 24);
  EXPECT_EQ(automatic->paletteEntries, 256);
  EXPECT_EQ(automatic->firstUsable, 0);
  EXPECT_EQ(automatic->endUsable, 256);
  EXPECT_EQ(automatic->usableColors, 256);
  EXPECT_EQ(automatic->colorLayout, 6);

  Buffer standard(VantBufferOpen(handle, VANT_BLITTER_STANDARD_DIBS | 0x70000, 64, 48, 0, 0));
  ASSERT_NE(standard, nullptr);
  EXPECT_EQ(standard->kind, VANT_BLITTER_STANDARD_DIBS);
  EXPECT_EQ(KindName(standard->kind), "Standard Windows DIBs");
  EXPECT_EQ(standard->destinationFlags, 1);
  EXPECT_EQ(standard->rectMode, 1);

  // Merged rectangles only when the display size is a whole multiple of a quarter of the buffer.
  Buffer even(VantBufferOpen(handle, VANT_BLITTER_DIB_SECTION, 100, 80, 150, 100));
  ASSERT_NE(even, nullptr);
  EXPECT_EQ(even->stretched, 1);
  EXPECT_EQ(even->rectMode, 0);
  Buffer uneven(VantBufferOpen(handle, VANT_BLITTER_DIB_SECTION, 100, 80, 150, 130));
  ASSERT_NE(uneven, nullptr);
  EXPECT_EQ(uneven->rectMode, 1);
}

TEST(DisplayBufferOpen, RefusesWhatItCannotShow) {
  auto window = buffer_test::ShownWindow();
  void* handle = window->Handle();
  // Sizes that are not positive (a zero size would divide by zero in the quarter test).
  EXPECT_EQ(VantBufferOpen(handle, 0, 0, 100, 0, 0), nullptr);
  EXPECT_EQ(VantBufferOpen(handle, 0, 100, 0, 0, 0), nullptr);
  EXPECT_EQ(VantBufferOpen(handle, 5, 0, 100, 200, 200), nullptr);
  EXPECT_EQ(VantBufferOpen(handle, 4, -8, 100, 0, 0), nullptr);
  EXPECT_EQ(VantBufferOpen(handle, 0, 100, 100, -1, 0), nullptr);
  EXPECT_EQ(VantBufferOpen(handle, 0, 40000, 10, 0, 0), nullptr);
  // Kinds that are not available or do not exist.
  EXPECT_EQ(VantBufferOpen(handle, VANT_BLITTER_FULL_SCREEN_DIRECT, 320, 201, 0, 0), nullptr);
  EXPECT_EQ(VantBufferOpen(handle, VANT_BLITTER_FULL_SCREEN_DIRECT, 321, 200, 0, 0), nullptr);
  EXPECT_EQ(VantBufferOpen(handle, VANT_BLITTER_FULL_SCREEN_DIRECT, 160, 100, 320, 200), nullptr);
  EXPECT_EQ(VantBufferOpen(handle, 6, 64, 64, 0, 0), nullptr);
  EXPECT_EQ(VantBufferOpen(handle, VANT_BLITTER_FULL_SCREEN_320X200, 320, 201, 0, 0), nullptr);
  EXPECT_EQ(VantBufferOpen(handle, VANT_BLITTER_FULL_SCREEN_320X240, 320, 240, 640, 480), nullptr);
  // Something that is not a window, or no longer one.
  int not_a_window = 0;
  EXPECT_EQ(VantBufferOpen(&not_a_window, 0, 64, 64, 0, 0), nullptr);
  window.reset();
  EXPECT_EQ(VantBufferOpen(handle, 0, 64, 64, 0, 0), nullptr);
}

TEST(DisplayBufferNames, EveryKindHasItsNameAndLargeKindsReadAsTheLast) {
  EXPECT_EQ(KindName(0), "Automatic");
  EXPECT_EQ(KindName(1), "Full screen 320x240");
  EXPECT_EQ(KindName(2), "Full screen 320x200");
  EXPECT_EQ(KindName(3), "Full screen 320x200 direct");
  EXPECT_EQ(KindName(9), "CreateDIBSection");
  EXPECT_EQ(KindName(-1), "CreateDIBSection");
  EXPECT_EQ(VantBufferString(nullptr, 1), nullptr);
}

TEST(DisplayBufferClear, FillsEveryRowAndLeavesTheRowPaddingAlone) {
  auto window = buffer_test::ShownWindow();
  Buffer buffer(VantBufferOpen(window->Handle(), VANT_BLITTER_STANDARD_DIBS, 5, 3, 0, 0));
  ASSERT_NE(buffer, nullptr);
  ASSERT_EQ(buffer->pitch, 8);
  for (int row = 0; row < 3; ++row) {
    for (int i = 0; i < 8; ++i) EXPECT_EQ(buffer->pixels[row * 8 + i], 0) << row << "," << i;
    buffer->pixels[row * 8 + 6] = 0xEE;
  }
  VantBufferClear(buffer.get(), 0x1C3);  // only the low byte is an index
  for (int row = 0; row < 3; ++row) {
    for (int i = 0; i < 5; ++i) EXPECT_EQ(buffer->pixels[row * 8 + i], 0xC3);
    EXPECT_EQ(buffer->pixels[row * 8 + 6], 0xEE);
  }
}

// Both window kinds draw the same picture, each from its own row order.
class DisplayBufferBlit : public testing::TestWithParam<int32_t> {
 protected:
  void SetUp() override { window_ = buffer_test::ShownWindow(); }

  Buffer Open(int width, int height, int display_width = 0, int display_height = 0) {
    Buffer buffer(VantBufferOpen(window_->Handle(), GetParam(), width, height, display_width,
                                 display_height));
    EXPECT_NE(buffer, nullptr);
    if (buffer == nullptr) return buffer;
    EXPECT_EQ(buffer->kind, GetParam());
    std::vector<uint8_t> palette = DistinctPalette();
    VantBufferNewPalette(buffer.get(), palette.data(), 0);
    return buffer;
  }

  void MarkClientArea() {
    window_->Surface().fill(kUntouched);
    window_->ShowSurface(window_->Surface().rect());
  }

  std::unique_ptr<platform::Window> window_;
};

TEST_P(DisplayBufferBlit, ChangedRectanglesShowTheNewPixelsThroughThePalette) {
  Buffer buffer = Open(64, 48);
  ASSERT_NE(buffer, nullptr);
  FillPattern(*buffer);
  EXPECT_EQ(VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 64, 48), 256);  // new palette
  EXPECT_EQ(buffer->shown, 1);
  QImage shown = window_->Grab();
  auto picture = [&](int x, int y) { return ColorAt(*buffer, x, y); };
  EXPECT_EQ(CountWrongPixels(shown, QRect(0, 0, 64, 48), picture), 0);

  // Frames that change a few blocks each; only the changed rectangles are blitted.
  struct Change {
    QRect rect;
    uint8_t index;
  };
  const std::vector<std::vector<Change>> frames = {
      {{QRect(0, 0, 8, 8), 7}, {QRect(32, 16, 16, 12), 200}},
      {{QRect(60, 44, 4, 4), 1}},
      {{QRect(4, 20, 20, 4), 99}, {QRect(8, 0, 4, 48), 250}, {QRect(40, 40, 24, 8), 13}},
  };
  for (const auto& frame : frames) {
    for (const Change& change : frame) {
      for (int y = change.rect.top(); y <= change.rect.bottom(); ++y) {
        for (int x = change.rect.left(); x <= change.rect.right(); ++x) *PixelAt(*buffer, x, y) = change.index;
      }
    }
    for (const Change& change : frame) {
      const QRect& r = change.rect;
      EXPECT_EQ(VantBufferBlit(buffer.get(), nullptr, 0, 0, r.x(), r.y(), r.width(), r.height()), 0);
    }
    shown = window_->Grab();
    EXPECT_EQ(CountWrongPixels(shown, QRect(0, 0, 64, 48), picture), 0);
  }

  // A change that is not blitted does not show.
  *PixelAt(*buffer, 30, 30) = 77;
  EXPECT_EQ(VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 8, 8), 0);
  EXPECT_NE(window_->Grab().pixel(30, 30) | 0xFF000000u, ColorAt(*buffer, 30, 30));
}

TEST_P(DisplayBufferBlit, DrawsAtTheWindowPositionGiven) {
  Buffer buffer = Open(16, 8);
  ASSERT_NE(buffer, nullptr);
  FillPattern(*buffer, 11);
  MarkClientArea();
  VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 0, 0);  // takes the due repaint
  MarkClientArea();
  EXPECT_EQ(VantBufferBlit(buffer.get(), nullptr, 100, 50, 4, 2, 8, 4), 0);
  QImage shown = window_->Grab();
  auto expected = [&](int x, int y) {
    QRect drawn(104, 52, 8, 4);
    return drawn.contains(x, y) ? ColorAt(*buffer, x - 100, y - 50) : kUntouched;
  };
  EXPECT_EQ(CountWrongPixels(shown, QRect(90, 40, 40, 30), expected), 0);
}

TEST_P(DisplayBufferBlit, SourceRectanglesAreClippedToTheBuffer) {
  Buffer buffer = Open(32, 24);
  ASSERT_NE(buffer, nullptr);
  FillPattern(*buffer, 5);
  VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 0, 0);  // takes the due repaint
  MarkClientArea();
  auto only_inside = [&](const QRect& drawn) {
    return [&buffer, drawn](int x, int y) {
      return drawn.contains(x, y) ? ColorAt(*buffer, x, y) : kUntouched;
    };
  };

  EXPECT_EQ(VantBufferBlit(buffer.get(), nullptr, 0, 0, 20, 16, 100, 100), 0);
  EXPECT_EQ(CountWrongPixels(window_->Grab(), QRect(0, 0, 80, 60), only_inside(QRect(20, 16, 12, 8))), 0);

  MarkClientArea();
  VantBufferBlit(buffer.get(), nullptr, 0, 0, -10, -5, 20, 10);
  EXPECT_EQ(CountWrongPixels(window_->Grab(), QRect(0, 0, 80, 60), only_inside(QRect(0, 0, 10, 5))), 0);

  // Rectangles wholly outside, or with sizes that would overflow, draw nothing out of place.
  MarkClientArea();
  VantBufferBlit(buffer.get(), nullptr, 0, 0, 32, 0, 10, 10);
  VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 24, 10, 10);
  VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 0, 24);
  VantBufferBlit(buffer.get(), nullptr, 0, 0, 30, 20, INT32_MAX, INT32_MAX);
  EXPECT_EQ(CountWrongPixels(window_->Grab(), QRect(0, 0, 80, 60), only_inside(QRect(30, 20, 2, 4))), 0);
}

TEST_P(DisplayBufferBlit, StretchedRectanglesScaleAndMeetWithoutGaps) {
  // Twice the size: every buffer pixel becomes a 2 x 2 square.
  Buffer doubled = Open(40, 30, 80, 60);
  ASSERT_NE(doubled, nullptr);
  FillPattern(*doubled, 3);
  VantBufferBlit(doubled.get(), nullptr, 0, 0, 0, 0, 0, 0);
  auto scaled = [&](int x, int y) { return ColorAt(*doubled, x / 2, y / 2); };
  EXPECT_EQ(CountWrongPixels(window_->Grab(), QRect(0, 0, 80, 60), scaled), 0);
  doubled.reset();

  // An uneven scale: rectangles next to each other in the buffer meet on the screen too.
  Buffer uneven = Open(10, 10, 15, 15);
  ASSERT_NE(uneven, nullptr);
  VantBufferBlit(uneven.get(), nullptr, 0, 0, 0, 0, 0, 0);
  MarkClientArea();
  for (int x = 0; x < 10; x += 3) VantBufferBlit(uneven.get(), nullptr, 0, 0, x, 0, 3, 10);
  // The buffer is cleared to index 0, which the palette makes (0, 255, 0).
  ASSERT_EQ(ColorAt(*uneven, 0, 0), qRgb(0, 255, 0));
  auto covered = [](int, int) { return qRgb(0, 255, 0); };
  EXPECT_EQ(CountWrongPixels(window_->Grab(), QRect(0, 0, 15, 15), covered), 0);
  EXPECT_EQ(window_->Grab().pixel(15, 7) | 0xFF000000u, kUntouched);
}

TEST_P(DisplayBufferBlit, ANewPaletteRepaintsTheWholeBufferOnce) {
  Buffer buffer = Open(24, 16);
  ASSERT_NE(buffer, nullptr);
  FillPattern(*buffer, 9);
  VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 24, 16);

  std::vector<uint8_t> other = DistinctPalette(100);
  VantBufferNewPalette(buffer.get(), other.data(), 0);
  EXPECT_EQ(buffer->fullRepaintDue, 1);
  EXPECT_EQ(VantBufferBlit(buffer.get(), nullptr, 0, 0, 2, 2, 1, 1), 256);
  auto picture = [&](int x, int y) { return ColorAt(*buffer, x, y); };
  EXPECT_EQ(CountWrongPixels(window_->Grab(), QRect(0, 0, 24, 16), picture), 0);
  EXPECT_EQ(buffer->colors[5].blue, 5 * 7 + 100);
  EXPECT_EQ(VantBufferBlit(buffer.get(), nullptr, 0, 0, 2, 2, 1, 1), 0);
}

INSTANTIATE_TEST_SUITE_P(WindowKinds, DisplayBufferBlit,
                         testing::Values(VANT_BLITTER_STANDARD_DIBS, VANT_BLITTER_DIB_SECTION),
                         [](const testing::TestParamInfo<int32_t>& kind) {
                           return kind.param == VANT_BLITTER_STANDARD_DIBS ? "StandardDibs" : "DibSection";
                         });

TEST(DisplayBufferPalette, ReadsEveryLayoutOfTheCallersPalette) {
  auto window = buffer_test::ShownWindow();
  Buffer buffer(VantBufferOpen(window->Handle(), 0, 8, 8, 0, 0));
  ASSERT_NE(buffer, nullptr);
  std::vector<uint8_t> rgb = DistinctPalette(42);

  std::vector<uint8_t> bgr0(1024), xrgb(1024), wide(1536), wide_bgr0(2048);
  for (int i = 0; i < 256; ++i) {
    uint8_t red = rgb[3 * i], green = rgb[3 * i + 1], blue = rgb[3 * i + 2];
    bgr0[4 * i] = blue, bgr0[4 * i + 1] = green, bgr0[4 * i + 2] = red, bgr0[4 * i + 3] = 0x55;
    xrgb[4 * i] = 0x66, xrgb[4 * i + 1] = red, xrgb[4 * i + 2] = green, xrgb[4 * i + 3] = blue;
    wide[6 * i] = red, wide[6 * i + 2] = green, wide[6 * i + 4] = blue;
    wide[6 * i + 1] = wide[6 * i + 3] = wide[6 * i + 5] = 0x77;
    wide_bgr0[8 * i] = blue, wide_bgr0[8 * i + 2] = green, wide_bgr0[8 * i + 4] = red;
  }
  struct Layout {
    const uint8_t* palette;
    int32_t flags;
  };
  for (Layout layout : {Layout{rgb.data(), 0}, Layout{bgr0.data(), 6}, Layout{xrgb.data(), 12},
                        Layout{wide.data(), 1}, Layout{wide_bgr0.data(), 7}}) {
    std::memset(buffer->colors, 0, sizeof buffer->colors);
    VantBufferNewPalette(buffer.get(), layout.palette, layout.flags);
    int wrong = 0;
    for (int i = 0; i < 256; ++i) {
      const VantBufferColor& color = buffer->colors[i];
      if (color.red != rgb[3 * i] || color.green != rgb[3 * i + 1] || color.blue != rgb[3 * i + 2] ||
          color.zero != 0) {
        ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0) << "layout flags " << layout.flags;
  }
  // No palette at all changes nothing.
  VantBufferColor before = buffer->colors[10];
  VantBufferNewPalette(buffer.get(), nullptr, 0);
  EXPECT_EQ(buffer->colors[10].red, before.red);
}

// Counts the owner's paint requests.
struct PaintCounter : platform::WindowEvents {
  int paints = 0;
  void Paint(platform::Window&) override { ++paints; }
};

TEST(DisplayBufferPalette, SetPaletteAsksAShownBufferToBeDrawnAgain) {
  auto window = buffer_test::ShownWindow();
  PaintCounter owner;
  window->SetEvents(&owner);
  Buffer buffer(VantBufferOpen(window->Handle(), 0, 8, 8, 0, 0));
  ASSERT_NE(buffer, nullptr);
  platform::ProcessWindowEvents();
  owner.paints = 0;

  EXPECT_EQ(VantBufferSetPalette(buffer.get()), 256);
  platform::ProcessWindowEvents();
  EXPECT_EQ(owner.paints, 0);  // nothing shown yet

  VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 8, 8);
  EXPECT_EQ(VantBufferSetPalette(buffer.get()), 256);
  platform::ProcessWindowEvents();
  EXPECT_EQ(owner.paints, 1);
  window->SetEvents(nullptr);
}

TEST(DisplayBufferWindow, FocusFollowsTheActiveWindow) {
  auto window = buffer_test::ShownWindow();
  Buffer buffer(VantBufferOpen(window->Handle(), 0, 8, 8, 0, 0));
  ASSERT_NE(buffer, nullptr);
  window->Activate();
  platform::ProcessWindowEvents();
  EXPECT_NE(VantBufferFocused(buffer.get()), 0);

  auto other = platform::Window::Create("other");
  other->Show();
  other->Activate();
  platform::ProcessWindowEvents();
  EXPECT_EQ(VantBufferFocused(buffer.get()), 0);
}

TEST(DisplayBufferWindow, ABufferOutlivingItsWindowStaysHarmless) {
  auto window = buffer_test::ShownWindow();
  Buffer buffer(VantBufferOpen(window->Handle(), VANT_BLITTER_DIB_SECTION, 16, 16, 0, 0));
  ASSERT_NE(buffer, nullptr);
  window.reset();
  FillPattern(*buffer);
  EXPECT_EQ(VantBufferBlit(buffer.get(), nullptr, 0, 0, 0, 0, 16, 16), 0);
  EXPECT_EQ(VantBufferFocused(buffer.get()), 0);
  EXPECT_EQ(VantBufferSetPalette(buffer.get()), 256);
  buffer.reset();  // closing touches no window
  EXPECT_EQ(VantBufferBlit(nullptr, nullptr, 0, 0, 0, 0, 1, 1), 0);
  VantBufferClose(nullptr);
}

TEST(DisplayResolution, OnlyTheDesktopsOwnModeSucceeds) {
  EXPECT_EQ(VantSetSystemRes(0), 1);
  for (int32_t mode : {1, 2, 3, 4, 5, -1}) EXPECT_EQ(VantSetSystemRes(mode), 0) << mode;
}

}  // namespace
