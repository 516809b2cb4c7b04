// The bitmap commands in scripts: allocating, drawing, the copies between bitmaps and with the
// window, and palettes with their values.
#include <gtest/gtest.h>

#include "script/tests/script_runner.h"

namespace {

// The bitmap's rows: '.' for 0, else the colour's last digit.
std::vector<std::string> Rows(const ScriptRun& run, int number) {
  const script::Bitmap* bitmap = run.context->screen.bitmaps.Get(number - script::kBitmapNumberBase);
  std::vector<std::string> rows;
  if (bitmap == nullptr) return rows;
  for (int32_t y = 0; y < bitmap->height; ++y) {
    std::string row;
    for (int32_t x = 0; x < bitmap->width; ++x) {
      const uint8_t pixel = script::GetPixel(bitmap->Canvas(), x, y);
      row += pixel == 0 ? '.' : static_cast<char>('0' + pixel % 10);
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(ScriptBitmaps, DrawingAndCopyingBetweenBitmaps) {
  // D is 5 x 4 and cleared; S is 3 x 2 of 1 2 3 / 4 5 6; L is 6 x 5 counting 1 to 9 by column;
  // M is a mask of D's size with 7 in its top row.
  const std::string setup =
      "bitmapalloc d 5 4\nbitmapclear d 0\nbitmapalloc s 3 2\n"
      "bitmapsetpixel s 0 0 1\nbitmapsetpixel s 1 0 2\nbitmapsetpixel s 2 0 3\n"
      "bitmapsetpixel s 0 1 4\nbitmapsetpixel s 1 1 5\nbitmapsetpixel s 2 1 6\n"
      "bitmapalloc l 6 5\n"
      "varset x 0\n:column\ncompute c x + 1\nbitmapline l x 0 x 4 c\ncompute x x + 1\nif x < 6 goto \"column\"\n"
      "bitmapalloc m 5 4\nbitmapclear m 0\nbitmapline m 0 0 4 0 7\nbitmapalloc small 2 2\n";
  struct DrawCase {
    const char* script;
    std::vector<std::string> rows;  // of D afterwards
  };
  const DrawCase cases[] = {
      {"bitmaptobitmap s d 1 1", {".....", ".123.", ".456.", "....."}},
      {"bitmaptobitmap s d 3 3", {".....", ".....", ".....", "...12"}},
      {"bitmaptobitmap s d 5 0", {".....", ".....", ".....", "....."}},
      {"bitmaptobitmap l d 2 1", {"3456.", "3456.", "3456.", "3456."}},  // filled from L at (2, 1)
      {"bitmaptobitmap l d 6 0", {".....", ".....", ".....", "....."}},
      {"bitmaptobitmaptrans s d 0 0 5", {"123..", "4.6..", ".....", "....."}},
      {"bitmaptobitmapmask s d m 1 0 7", {".....", ".456.", ".....", "....."}},
      {"bitmaptobitmapmask s d small 1 0 7", {".....", ".....", ".....", "....."}},
      {"bitmapbox d 1 1 2 1 3", {".....", ".333.", ".333.", "....."}},
      {"bitmapbox d -1 -1 6 4 3", {".....", ".....", ".....", "33333"}},  // only the bottom edge is inside
      {"bitmapfilledbox d 3 2 9 9 4", {".....", ".....", "...44", "...44"}},
      {"bitmapsetpixel d 1000 -1 6", {".....", ".....", ".....", "....6"}},
      {"bitmapclear d 2\nbitmapsetpixel d 0 0 1\nbitmapchangecolor d 2 8", {"18888", "88888", "88888", "88888"}},
  };
  ScriptRunner runner;
  for (const DrawCase& c : cases) {
    SCOPED_TRACE(c.script);
    const ScriptRun run = runner.Run(setup + c.script + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    ASSERT_EQ(run.Variable("D"), "9000");
    EXPECT_EQ(Rows(run, 9000), c.rows);
  }

  const ScriptRun read = runner.Run(setup + "bitmapgetpixel p s 1000 1000\nbitmapgetpixel q s -3 0\n"
                                    "bitmapwidth w l\nbitmapheight h l\n");
  EXPECT_EQ(read.Variable("P") + read.Variable("Q"), "63");
  EXPECT_EQ(read.Variable("W") + "x" + read.Variable("H"), "6x5");

  // Text in the text colours, cut at the bitmap's edge, the cursor where it was.
  const ScriptRun text = runner.Run(
      "bitmapalloc t 12 16\nbitmapclear t 0\ntextcolor 1\ntextbackcolor 2\ntextsetxy 3 4\n"
      "bitmaptext t 4 0 \"HH\"\ntextx x\ntexty y\n");
  ASSERT_EQ(text.exitCode, 0) << text.LastBox();
  const std::vector<std::string> rows = Rows(text, 9000);
  const script::Font& font = script::Font::BuiltIn();
  for (int32_t x = 0; x < 12; ++x) {
    EXPECT_EQ(rows[8][static_cast<size_t>(x)], x < 4 ? '.' : font.Pixel('H', (x - 4) % 8, 8) ? '1' : '2') << x;
  }
  EXPECT_EQ(text.Variable("X") + "," + text.Variable("Y"), "3,4");
}

TEST(ScriptBitmaps, SlotsSizesAndFreeing) {
  ScriptRunner runner;
  std::string script = "bitmapalloc b 64 32\nbitmapwidth w b\nbitmapalloc neg -4 4\nbitmapalloc big 70000 70000\n"
                       "bitmapalloc none 0 5\nbitmapfree b\nbitmapalloc again 2 2\n";
  for (int i = 0; i < 127; ++i) script += "bitmapalloc x 1 1\n";
  script += "bitmapalloc last 1 1\n";
  ScriptRun run = runner.Run(script);
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(run.Variable("W"), "64");
  EXPECT_EQ(run.Variable("NEG") + run.Variable("BIG"), "00");
  EXPECT_EQ(run.Variable("NONE"), "9001");  // no pixels, still a bitmap
  EXPECT_EQ(run.Variable("B"), "");         // freed: the variable is gone
  EXPECT_EQ(run.Variable("AGAIN"), "9000");
  EXPECT_EQ(run.Variable("LAST"), "0");     // the 129th

  runner.RunIn(run, "bitmapfree again\nbitmapwidth w 9000\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.LastBox().find("Bad frame parameter"), std::string::npos);
  runner.RunIn(run, "bitmapclear 0 1\n");
  EXPECT_NE(run.LastBox().find("Bad frame parameter"), std::string::npos);  // never the screen
}

TEST(ScriptBitmaps, PalettesAndTheirValues) {
  struct ValueCase {
    const char* script;  // after B (4 x 4, no palette) and C (1 x 1) are made; V is read
    const char* value;
  };
  const ValueCase cases[] = {
      {"bitmapgetpalettevalue v b 5", "0"},
      {"bitmapgetdarkestpaletteindex v b", "0"},
      {"bitmapsetpalettevalue b 5 255\nbitmapgetpalettevalue v b 5", "255"},  // pure red
      {"bitmapsetpalettevalue b 3 1193046\nbitmapgetpalettevalue v b 3", "1193046"},
      {"bitmapsetpalettevalue b 5 255\nbitmapgetpalettevalue v b 256", "0"},
      {"bitmapsetpalettevalue b 0 0\nbitmapgetbrightestpaletteindex v b", "255"},  // all black
      {"bitmapsetpalettevalue b 5 255\nbitmapgetbrightestpaletteindex v b", "5"},
      {"bitmapsetpalettevalue b 7 16777215\nbitmapsetpalettevalue b 9 -1\nbitmapgetbrightestpaletteindex v b", "9"},
      {"bitmapsetpalettevalue b 3 7\nbitmappalettetopalette c b\nbitmapgetpalettevalue v c 3", "7"},
      {"bitmapsetpalettevalue c 3 7\nbitmappalettetopalette c b\nbitmapgetpalettevalue v c 3", "0"},
  };
  ScriptRunner runner;
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.script);
    const ScriptRun run = runner.Run(std::string("bitmapalloc b 4 4\nbitmapalloc c 1 1\n") + c.script + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(run.Variable("V"), c.value);
  }
  // Entries outside 0 to 255 are neither set nor made.
  const ScriptRun outside = runner.Run("bitmapalloc b 4 4\nbitmapsetpalettevalue b 256 255\nbitmapsetpalettevalue b -1 255\n");
  EXPECT_FALSE(outside.context->screen.bitmaps.Get(0)->palette);
}

TEST(ScriptBitmaps, CopiesWithTheWindow) {
  ScriptRunner runner;
  const ScriptRun early = runner.Run("bitmapalloc b 1 1\nbitmaptoscreen b 0 0\n");
  EXPECT_NE(early.LastBox().find("A window hasn't been created yet"), std::string::npos);

  const ScriptRun run = runner.Run(
      "screengraphics ok 32 16\nscreenclear 0\nscreenadjustxy 2 1\n"
      "bitmapalloc b 3 2\nbitmapclear b 4\nbitmapsetpixel b 1 0 5\n"
      "bitmapalloc m 3 2\nbitmapclear m 0\nbitmapsetpixel m 0 1 1\n"
      "bitmaptoscreen b 0 0\nbitmaptoscreentrans b 4 0 4\nbitmaptoscreenmask b m 8 0 0\n"
      "bitmaptoscreen b 29 14\nbitmapalloc f 11 2\nbitmapfromscreen f 0 0\n"
      "bitmapgetpalette f\nbitmapsetpalettevalue f 4 16711680\nbitmapsetpalette f\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(Rows(run, 9002), (std::vector<std::string>{"454..5.....", "444.....4.."}));
  EXPECT_EQ(script::GetPixel(run.context->screen.window.Canvas(), 31, 15), 4);  // cut at the window's edges
  script::Palette expected = script::StartPalette();  // with entry 4 pure blue
  expected[12] = expected[13] = 0;
  expected[14] = 255;
  EXPECT_TRUE(run.context->screen.palette.Colors() == expected);
}

}  // namespace
