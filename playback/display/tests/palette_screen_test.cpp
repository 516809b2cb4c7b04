// Display buffers on palette screens, described to the window layer by the tests.
#include <gtest/gtest.h>

#include "playback/display/tests/buffer_test_support.h"
#include "platform/gui/screen.h"
#include "playback/display/vant_display.h"

namespace {

// The system colour of entry i: red i, green 0x20, blue 255 - i.
constexpr uint32_t StaticColor(int i) { return uint32_t(i) << 16 | 0x2000u | uint32_t(255 - i); }

platform::ScreenInfo PaletteScreen(int bits, int reserved, bool static_colors_off = false) {
  platform::ScreenInfo screen;
  screen.width = 640;
  screen.height = 480;
  screen.bits_per_pixel = bits;
  screen.reserved_palette_entries = reserved;
  screen.static_colors_off = static_colors_off;
  for (int i = 0; i < 256; ++i) screen.system_palette[static_cast<size_t>(i)] = StaticColor(i);
  return screen;
}

class PaletteScreenBuffer : public testing::Test {
 protected:
  void SetUp() override { window_ = buffer_test::ShownWindow(); }
  void TearDown() override { platform::SetScreenForTesting(std::nullopt); }

  VantBuffer* Open() {
    VantBuffer* buffer = VantBufferOpen(window_->Handle(), 0, 16, 16, 0, 0);
    EXPECT_NE(buffer, nullptr);
    return buffer;
  }

  std::unique_ptr<platform::Window> window_;
};

bool HasSystemColor(const VantBuffer& buffer, int i) {
  uint32_t rgb = StaticColor(i);
  const VantBufferColor& color = buffer.colors[i];
  return color.red == (rgb >> 16 & 0xFF) && color.green == (rgb >> 8 & 0xFF) && color.blue == (rgb & 0xFF);
}

TEST_F(PaletteScreenBuffer, StaticColorsStayAndPaletteColorsAvoidThem) {
  platform::SetScreenForTesting(PaletteScreen(8, 20));
  VantBuffer* buffer = Open();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->screenColors, 256);
  EXPECT_EQ(buffer->paletteEntries, 256);
  EXPECT_EQ(buffer->firstUsable, 10);
  EXPECT_EQ(buffer->endUsable, 246);
  EXPECT_EQ(buffer->usableColors, 236);
  for (int i = 0; i < 256; ++i) EXPECT_TRUE(HasSystemColor(*buffer, i)) << i;

  std::vector<uint8_t> palette = buffer_test::DistinctPalette();
  auto put = [&](int entry, uint32_t rgb) {
    palette[3 * entry] = rgb >> 16 & 0xFF;
    palette[3 * entry + 1] = rgb >> 8 & 0xFF;
    palette[3 * entry + 2] = rgb & 0xFF;
  };
  put(100, StaticColor(250));  // red 250: low bits 10, nudged up
  put(101, StaticColor(251));  // red 251: low bits 11, nudged down
  put(102, StaticColor(3));    // one of the bottom static colours: taken as it is
  VantBufferNewPalette(buffer, palette.data(), 0);

  for (int i = 0; i < 10; ++i) EXPECT_TRUE(HasSystemColor(*buffer, i)) << i;
  for (int i = 246; i < 256; ++i) EXPECT_TRUE(HasSystemColor(*buffer, i)) << i;
  EXPECT_EQ(buffer->colors[100].red, 251);
  EXPECT_EQ(buffer->colors[100].green, 0x20);
  EXPECT_EQ(buffer->colors[100].blue, 5);
  EXPECT_EQ(buffer->colors[101].red, 250);
  EXPECT_TRUE(HasSystemColor(*buffer, 3));
  EXPECT_EQ(buffer->colors[102].red, 3);
  EXPECT_EQ(buffer->colors[200].red, 200);
  EXPECT_EQ(buffer->colors[200].green, 55);
  // Palette screens change the colours of what is shown by themselves: no repaint is due.
  EXPECT_EQ(buffer->fullRepaintDue, 0);
  VantBufferClose(buffer);
}

TEST_F(PaletteScreenBuffer, WithoutStaticColorsOnlyBlackAndWhiteStay) {
  platform::SetScreenForTesting(PaletteScreen(8, 20, true));
  VantBuffer* buffer = Open();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->firstUsable, 1);
  EXPECT_EQ(buffer->endUsable, 255);
  EXPECT_EQ(buffer->usableColors, 254);
  VantBufferClose(buffer);
}

TEST_F(PaletteScreenBuffer, ScreensOfFewerColorsKeepTheirPalette) {
  platform::SetScreenForTesting(PaletteScreen(4, 20));
  VantBuffer* buffer = Open();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->screenColors, 16);
  EXPECT_EQ(buffer->paletteEntries, 16);
  EXPECT_EQ(buffer->firstUsable, 0);
  EXPECT_EQ(buffer->usableColors, 16);
  std::vector<uint8_t> palette = buffer_test::DistinctPalette();
  VantBufferNewPalette(buffer, palette.data(), 0);
  EXPECT_EQ(buffer->shown, 1);
  for (int i = 0; i < 16; ++i) EXPECT_TRUE(HasSystemColor(*buffer, i)) << i;
  VantBufferClose(buffer);
}

TEST_F(PaletteScreenBuffer, TrueColorScreensCountAtMost24Bits) {
  platform::SetScreenForTesting(PaletteScreen(16, 20));
  VantBuffer* buffer = Open();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->screenColors, 65536);
  EXPECT_EQ(buffer->usableColors, 256);
  VantBufferClose(buffer);
  platform::SetScreenForTesting(PaletteScreen(32, 20));
  buffer = Open();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->screenColors, 1 << 24);
  VantBufferClose(buffer);
}

}  // namespace
