// The drawing primitives against golden pixel sets, on top-down and bottom-up canvases, with
// guard bytes all around that no primitive may touch.
#include <gtest/gtest.h>

#include <functional>

#include "script/screen/bitmaps.h"
#include "script/screen/font.h"
#include "script/screen/pixels.h"

namespace {

using script::PixelCanvas;

constexpr uint8_t kGuard = 0xEE;

// width x height pixels inside a frame of guard bytes: a guard row above and below, and three
// guard bytes at the end of every row (where a padded pitch would be).
class GuardedCanvas {
 public:
  GuardedCanvas(int32_t width, int32_t height, bool bottomUp)
      : pitch_(width + 3), memory_(static_cast<size_t>((height + 2) * pitch_), kGuard) {
    canvas_ = {memory_.data() + pitch_, width, height, pitch_, bottomUp};
    script::ClearCanvas(canvas_, 0);
  }
  const PixelCanvas& canvas() const { return canvas_; }

  // The picture top row first: '.' for 0, else the colour's digit.
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < canvas_.height; ++y) {
      std::string row;
      for (int32_t x = 0; x < canvas_.width; ++x) {
        const uint8_t pixel = script::GetPixel(canvas_, x, y);
        row += pixel == 0 ? '.' : static_cast<char>('0' + pixel % 10);
      }
      rows.push_back(row);
    }
    return rows;
  }

  // Every byte outside the picture still holds the guard.
  bool GuardsKept() const {
    for (size_t i = 0; i < memory_.size(); ++i) {
      const int64_t offset = static_cast<int64_t>(i) - pitch_;
      const bool inside = offset >= 0 && offset / pitch_ < canvas_.height && offset % pitch_ < canvas_.width;
      if (!inside && memory_[i] != kGuard) return false;
    }
    return true;
  }

 private:
  int64_t pitch_;
  std::vector<uint8_t> memory_;
  PixelCanvas canvas_;
};

// A 3 x 3 source: 1 2 3 / 4 5 6 / 7 8 9.
std::unique_ptr<script::Bitmap> Counting() {
  auto bitmap = script::MakeBitmap(3, 3);
  for (int i = 0; i < 9; ++i) bitmap->pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(i + 1);
  return bitmap;
}

struct DrawCase {
  const char* name;
  std::function<void(const PixelCanvas&)> draw;
  std::vector<std::string> expected;  // 8 x 5
};

TEST(ScriptPixels, PrimitivesDrawTheirGoldenPixelsAndClipAtEveryEdge) {
  const auto source = Counting();
  auto mask = script::MakeBitmap(3, 3);
  for (int i = 0; i < 9; ++i) mask->pixels[static_cast<size_t>(i)] = i % 2 == 0 ? 0 : 1;
  const PixelCanvas from = source->Canvas(), masking = mask->Canvas();

  const std::vector<DrawCase> cases = {
      {"filled box inside", [](auto& c) { script::FillBox(c, 2, 1, 3, 2, 1); },
       {"........", "..111...", "..111...", "........", "........"}},
      {"filled box over the right and bottom edges", [](auto& c) { script::FillBox(c, 6, 3, 5, 5, 2); },
       {"........", "........", "........", "......22", "......22"}},
      {"filled box over the left and top edges", [](auto& c) { script::FillBox(c, -2, -1, 4, 3, 3); },
       {"33......", "33......", "........", "........", "........"}},
      {"filled box beyond the right edge", [](auto& c) { script::FillBox(c, 8, 0, 2, 2, 4); },
       {"........", "........", "........", "........", "........"}},
      {"filled box of the largest sizes", [](auto& c) { script::FillBox(c, 7, 4, INT32_MAX, INT32_MAX, 5); },
       {"........", "........", "........", "........", ".......5"}},
      {"shallow line", [](auto& c) { script::DrawLine(c, 0, 0, 7, 2, 1); },
       {"11......", "..1111..", "......11", "........", "........"}},
      {"steep line drawn from its lower end", [](auto& c) { script::DrawLine(c, 3, 4, 1, 0, 2); },
       {".2......", "..2.....", "..2.....", "...2....", "...2...."}},
      {"line ends pulled into the picture", [](auto& c) { script::DrawLine(c, -5, -5, 30, 2, 3); },
       {"33......", "..3333..", "......33", "........", "........"}},
      {"outline", [](auto& c) { script::DrawOutline(c, 1, 1, 5, 3, 4); },
       {"........", ".44444..", ".4...4..", ".44444..", "........"}},
      {"outline whose edges lie outside", [](auto& c) { script::DrawOutline(c, -2, 2, 10, 9, 5); },
       {"........", "........", "55555555", "........", "........"}},
      {"copy over the top left corner", [&](auto& c) { script::CopyPixels(from, 0, 0, c, -1, -1, 3, 3); },
       {"56......", "89......", "........", "........", "........"}},
      {"copy over the bottom right corner", [&](auto& c) { script::CopyPixels(from, 0, 0, c, 6, 3, 3, 3); },
       {"........", "........", "........", "......12", "......45"}},
      {"copy from outside the source", [&](auto& c) { script::CopyPixels(from, 2, -1, c, 0, 0, 4, 4); },
       {"........", "3.......", "6.......", "9.......", "........"}},
      {"transparent copy", [&](auto& c) {
         script::CopyPixels(from, 0, 0, c, 1, 1, 3, 3, {script::CopyMode::kTransparent, 5});
       },
       {"........", ".123....", ".4.6....", ".789....", "........"}},
      {"masked copy", [&](auto& c) {
         script::CopyPixels(from, 0, 0, c, 5, 2, 3, 3, {script::CopyMode::kMasked, 1, &masking, true});
       },
       {"........", "........", ".....1.3", "......5.", ".....7.9"}},
  };
  for (const bool bottomUp : {false, true}) {
    for (const DrawCase& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (bottomUp ? ", bottom-up" : ""));
      GuardedCanvas canvas(8, 5, bottomUp);
      c.draw(canvas.canvas());
      EXPECT_EQ(canvas.Rows(), c.expected);
      EXPECT_TRUE(canvas.GuardsKept());
    }
  }
}

TEST(ScriptPixels, TextCellsOverTheEdgesStayInThePicture) {
  const script::Font& font = script::Font::BuiltIn();
  const script::TextColors colors{1, 2, 128};
  struct Where {
    int64_t x, y;
  };
  for (const Where at : {Where{6, 2}, Where{-5, -9}, Where{9, 9}, Where{-7, 4}}) {
    SCOPED_TRACE(std::to_string(at.x) + "," + std::to_string(at.y));
    GuardedCanvas canvas(10, 12, true);
    script::DrawText(canvas.canvas(), at.x, at.y, "AW", font, colors);
    EXPECT_TRUE(canvas.GuardsKept());
    for (int32_t y = 0; y < 12; ++y) {
      for (int32_t x = 0; x < 10; ++x) {
        const int64_t along = x - at.x, down = y - at.y;
        uint8_t expected = 0;
        if (along >= 0 && along < 16 && down >= 0 && down < 16) {
          const char glyph = along < 8 ? 'A' : 'W';
          expected = font.Pixel(glyph, static_cast<int32_t>(along % 8), static_cast<int32_t>(down)) ? 1 : 2;
        }
        ASSERT_EQ(script::GetPixel(canvas.canvas(), x, y), expected) << x << "," << y;
      }
    }
  }
}

TEST(ScriptPixels, TextColoursChooseWhatIsDrawn) {
  struct ColorCase {
    script::TextColors colors;
    uint8_t glyph, background;  // what ends up there over a picture of 9
  };
  const ColorCase cases[] = {
      {{1, 2, 128}, 1, 2},
      {{128, 2, 128}, 9, 2},  // text in the transparent colour: only the background
      {{1, 128, 128}, 1, 9},  // background in the transparent colour: only the glyph
  };
  const script::Font& font = script::Font::BuiltIn();
  for (const ColorCase& c : cases) {
    GuardedCanvas canvas(8, 16, false);
    script::ClearCanvas(canvas.canvas(), 9);
    script::DrawText(canvas.canvas(), 0, 0, "H", font, c.colors);
    for (int32_t y = 0; y < 16; ++y) {
      for (int32_t x = 0; x < 8; ++x) {
        EXPECT_EQ(script::GetPixel(canvas.canvas(), x, y), font.Pixel('H', x, y) ? c.glyph : c.background);
      }
    }
  }
}

TEST(ScriptPixels, FontsFromBitmapsAndTheirRefusals) {
  // 3 x 2 cells in a 7 wide bitmap: the third cell starts at x 6 and sticks out; the fourth
  // would start past the edge and goes to the next cell row.
  auto bitmap = script::MakeBitmap(7, 3);
  std::fill_n(bitmap->pixels.get(), 21, 0);
  bitmap->pixels[0] = 5;       // glyph 'a' (0, 0)
  bitmap->pixels[3 + 7] = 1;   // glyph 'b' (0, 1)
  bitmap->pixels[6] = 3;       // glyph 'c' (0, 0)
  bitmap->pixels[14 + 2] = 9;  // glyph 'd' (2, 0)
  const auto font = script::Font::FromBitmap(*bitmap, 'a', 3, 2, 'd');
  ASSERT_TRUE(font);
  EXPECT_TRUE(font->Pixel('a', 0, 0));
  EXPECT_FALSE(font->Pixel('a', 1, 0));
  EXPECT_TRUE(font->Pixel('b', 0, 1));
  EXPECT_TRUE(font->Pixel('c', 0, 0));
  EXPECT_FALSE(font->Pixel('c', 1, 0));  // outside the bitmap: unset
  EXPECT_TRUE(font->Pixel('d', 2, 0));
  EXPECT_FALSE(font->Pixel('d', 2, 1));  // the cell row below the bitmap's last row
  EXPECT_FALSE(font->Pixel('e', 0, 0));  // outside the font: a blank cell

  struct Refused {
    int first;
    int32_t width, height;
    int last;
  };
  for (const Refused r : {Refused{66, 3, 2, 65}, Refused{65, 0, 2, 70}, Refused{65, 3, -1, 70},
                          Refused{-1, 3, 2, 70}, Refused{65, 3, 2, 256}, Refused{65, 5000, 2, 70}}) {
    EXPECT_FALSE(script::Font::FromBitmap(*bitmap, r.first, r.width, r.height, r.last));
  }
  // A bitmap without pixels gives a font of blank glyphs.
  const auto empty = script::MakeBitmap(0, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_TRUE(script::Font::FromBitmap(*empty, 32, 8, 8, 127));
}

TEST(ScriptPixels, BitmapToBitmapPlacesASmallerSourceAndCutsFromALargerOne) {
  auto Rows = [](const script::Bitmap& bitmap) {
    std::string rows;
    for (int32_t i = 0; i < bitmap.width * bitmap.height; ++i) {
      if (i > 0 && i % bitmap.width == 0) rows += '/';
      rows += static_cast<char>('0' + bitmap.pixels[static_cast<size_t>(i)]);
    }
    return rows;
  };
  auto Blank = [](int32_t width, int32_t height) {
    auto bitmap = script::MakeBitmap(width, height);
    std::fill_n(bitmap->pixels.get(), width * height, 0);
    return bitmap;
  };
  const auto source = Counting();
  auto wide = Blank(4, 3);
  script::CopyBitmap(*source, *wide, 2, 1);  // narrower: placed at (2, 1), cut at the edges
  EXPECT_EQ(Rows(*wide), "0000/0012/0045");
  auto small = Blank(2, 2);
  script::CopyBitmap(*source, *small, 1, 0);  // larger: the destination filled from (1, 0)
  EXPECT_EQ(Rows(*small), "23/56");
  script::CopyBitmap(*source, *small, 2, 2);  // cut at the source's edges
  EXPECT_EQ(Rows(*small), "93/56");
  auto mask = Blank(2, 2);
  mask->pixels[0] = 1;
  script::CopyBitmap(*source, *small, 0, 0, script::CopyMode::kMasked, 1, mask.get());
  EXPECT_EQ(Rows(*small), "92/45");
  script::CopyBitmap(*source, *small, 0, 0, script::CopyMode::kMasked, 1, source.get());
  EXPECT_EQ(Rows(*small), "92/45");  // a mask of another size does nothing
  // From (-1, -1) only the source's first pixel, a 1, reaches the destination, at (1, 1).
  script::CopyBitmap(*source, *small, -1, -1, script::CopyMode::kTransparent, 1);
  EXPECT_EQ(Rows(*small), "92/45");
  script::CopyBitmap(*source, *small, -1, -1, script::CopyMode::kTransparent, 2);
  EXPECT_EQ(Rows(*small), "92/41");
}

TEST(ScriptPixels, BitmapsOfNoPixelsAndRefusedSizes) {
  const auto empty = script::MakeBitmap(0, 40);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->pixels, nullptr);
  script::FillBox(empty->Canvas(), 0, 0, 10, 10, 1);  // nothing to do, nothing written
  script::SetPixel(empty->Canvas(), 0, 0, 1);
  EXPECT_EQ(script::GetPixel(empty->Canvas(), 0, 0), 0);
  EXPECT_EQ(script::MakeBitmap(-1, 5), nullptr);
  EXPECT_EQ(script::MakeBitmap(65536, 65536), nullptr);  // 2^32 pixels: past the limit, refused
  EXPECT_EQ(script::MakeBitmap(INT64_C(1) << 40, 1), nullptr);
}

TEST(ScriptPixels, BrightestAndDarkestEntries) {
  struct PaletteCase {
    const char* name;
    std::vector<std::pair<int, std::array<uint8_t, 3>>> entries;  // over an all-black palette
    int brightest, darkest;
  };
  const std::vector<PaletteCase> cases = {
      {"all black", {}, 255, 0},
      {"the greatest smallest component wins", {{10, {200, 90, 200}}, {20, {100, 100, 100}}}, 20, 0},
      {"then the greatest sum", {{10, {100, 100, 250}}, {20, {100, 100, 100}}}, 10, 0},
      {"darkest: the smallest greatest component, then the smallest sum",
       {{0, {9, 9, 9}}, {1, {9, 1, 1}}, {2, {9, 0, 0}}}, 255, 2},
  };
  for (const PaletteCase& c : cases) {
    SCOPED_TRACE(c.name);
    script::Palette palette{};
    if (c.name != std::string("all black")) {
      for (int i = 0; i < 256; ++i) {
        palette[static_cast<size_t>(i) * 3] = palette[static_cast<size_t>(i) * 3 + 1] =
            palette[static_cast<size_t>(i) * 3 + 2] = 50;
      }
    }
    for (const auto& [index, rgb] : c.entries) std::copy(rgb.begin(), rgb.end(), palette.begin() + index * 3);
    EXPECT_EQ(script::BrightestIndex(palette), c.brightest);
    EXPECT_EQ(script::DarkestIndex(palette), c.darkest);
  }
}

}  // namespace
