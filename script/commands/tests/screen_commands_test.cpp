// The screen and text commands in scripts run in this process on the offscreen platform: the
// window settings, the window's buffer and offsets, text output and the print file, and what
// happens to videos and bitmaps when the window or a bitmap goes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QWidget>
#include <map>

#include "playback/tests/coded_video.h"
#include "platform/gui/window.h"
#include "player/player_window.h"
#include "script/language/script_error.h"
#include "script/commands/slot_numbers.h"
#include "script/tests/script_runner.h"

namespace {

uint8_t BufferPixel(const script::CommandContext& context, int32_t x, int32_t y) {
  return script::GetPixel(context.screen.window.Canvas(), x, y);
}

TEST(ScriptScreen, SettingsForTheNextWindow) {
  struct SettingsCase {
    const char* script;
    uint32_t options;
  };
  const SettingsCase cases[] = {
      {"", 0x2000},
      {"screensettings 0", 0x2018},
      {"screensettings 1", 0x2116},
      {"screensettings 2", 0x2117},
      {"screensettings 4", 0x2119},
      {"screensettings 2\nscreensettings 7\nscreensettings -1", 0x2117},
      {"screenwindowborder 1", 0xE000},
      {"screenwindowborder 1\nscreenwindowborder 0", 0x2000},
      {"screenwindowborder 2\nscreenwindowborder 9", 0x6200},
      {"screenwindowtitle \"\"", 0x2200},
      {"screenwindowtitle \"\"\nscreenwindowtitle \"Show\"", 0x2000},
  };
  ScriptRunner runner;
  for (const SettingsCase& c : cases) {
    SCOPED_TRACE(c.script);
    const ScriptRun run = runner.Run(c.script);
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(run.context->screen.settings.options, c.options);
  }
  SetPlayerProgramTitle("VantScript");
  EXPECT_EQ(runner.Run("").context->screen.settings.fadeStepMs, 15);
  EXPECT_EQ(runner.Run("screenfadespeed -5").context->screen.settings.fadeStepMs, 0);
}

TEST(ScriptScreen, WindowSizesOffsetsAndRefusedWindows) {
  ScriptRunner runner;
  ScriptRun run = runner.Run(
      "screenwidth w0\nscreenheight h0\nscreeninfo i0\nvarset i0 \"none\"\nscreeninfo i0\n"
      "screengraphics ok 64 48\nscreenwidth w\nscreenheight h\nscreeninfo i\n"
      "screenfilledbox 0 0 64 48 9\n"
      "screengraphics bad -64 48\nscreengraphics huge 32767 32767\nscreengraphics wide 70000 4\n"
      "screengetpixel p 63 47\nscreenwidth w2\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(run.Variable("W0"), "80");
  EXPECT_EQ(run.Variable("H0"), "25");
  EXPECT_EQ(run.Variable("I0"), "");  // deleted without a window
  EXPECT_EQ(run.Variable("OK"), "1");
  EXPECT_EQ(run.Variable("W"), "64");
  EXPECT_EQ(run.Variable("H"), "48");
  EXPECT_EQ(run.Variable("I"), "CreateDIBSection");
  // Refused windows leave the one there as it was.
  EXPECT_EQ(run.Variable("BAD"), "0");
  EXPECT_EQ(run.Variable("HUGE"), "0");
  EXPECT_EQ(run.Variable("WIDE"), "0");
  EXPECT_EQ(run.Variable("P"), "9");
  EXPECT_EQ(run.Variable("W2"), "64");

  // A 320 x 200 picture in a full-screen buffer of 320 x 240 sits in its middle.
  runner.RunIn(run,
               "screensettings 1\nscreengraphics full 320 240\nscreengraphics ok 320 200\n"
               "screensetpixel 0 0 5\nscreengetpixel p 0 0\ntextx tx\ntexty ty\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(run.Variable("FULL"), "1");
  ASSERT_EQ(run.context->screen.window.Height(), 240);
  EXPECT_EQ(BufferPixel(*run.context, 0, 20), 5);
  EXPECT_EQ(BufferPixel(*run.context, 0, 0), 0);
  EXPECT_EQ(run.Variable("P"), "5");
  EXPECT_EQ(run.Variable("TX"), "0");
  EXPECT_EQ(run.Variable("TY"), "0");
  const script::Screen& screen = run.context->screen;
  EXPECT_EQ(script::PlaceInWindow(screen.window, screen.settings, -1, -1, 100, 96), std::make_pair(110, 72));
  EXPECT_EQ(script::PlaceInWindow(screen.window, screen.settings, 5, 7, 100, 96), std::make_pair(4, 27));
  EXPECT_EQ(script::PlaceCentered(screen.window, screen.settings, -1, -1, 100, 96), std::make_pair(110, 52));
}

TEST(ScriptScreen, TextGoesToTheWindowOrThePrintFile) {
  ScriptRunner runner;
  ScriptRun run = runner.Run(
      "screengraphics ok 160 64\nscreenadjustxy 5 5\ntextsetxy 10 20\ntextx x\ntexty y\n"
      "text \"\"\ntexty y2\ntextnocr \"ab\"\ntextx x2\ntextcolor 300\ntextsetxy 0 48\n"
      "text \"z\"\ntexty y3\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(run.Variable("X"), "10");
  EXPECT_EQ(run.Variable("Y"), "20");
  EXPECT_EQ(run.Variable("Y2"), "36");  // one glyph height down
  EXPECT_EQ(run.Variable("X2"), "16");  // back at the offset's x, then two glyphs on
  EXPECT_EQ(run.context->screen.text.colors.text, 44);
  EXPECT_EQ(run.Variable("Y3"), "48");  // no room for another line: the cursor stays
  // "ab" went to (5, 41) in colour 7, "z" to (5, 53) in colour 44: a pixel of each glyph's middle row.
  EXPECT_EQ(BufferPixel(*run.context, 5 + 2, 41 + 6), 7);
  EXPECT_EQ(BufferPixel(*run.context, 5 + 1, 53 + 6), 44);

  // With a print file open, text goes there and the window is still needed.
  const std::string printed = runner.File("print.txt");
  run.context->system.print.slot = run.context->files.Open(printed, script::SlotMode::kCreate);
  ASSERT_NE(run.context->system.print.slot, script::kNoSlot);
  runner.RunIn(run,
               "varset name \"Ann\"\ntext \"one\"\ntextnocr \"two\"\ntextbegin\n"
               "Hello %NAME%, and %NONE%you\n\n# kept\n  textend, x\ntext \"after\"\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(runner.Read("print.txt"), "one\r\ntwoHello Ann, and you\r\n\r\n# kept\r\nafter\r\n");

  // A block without its end runs to the end of the script and leaves it.
  run.context->system.print.slot = run.context->files.Open(printed, script::SlotMode::kCreate);
  runner.RunIn(run, "call \"" + runner.Write("block.ss", "textbegin\nlast\n") + "\"\nvarset back 1\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(runner.Read("print.txt"), "last\r\n");
  EXPECT_EQ(run.Variable("BACK"), "1");
  run.context->system.print.slot = script::kNoSlot;

  runner.RunIn(run, "screentext\ntext \"x\"\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.LastBox().find("A window hasn't been created yet"), std::string::npos);
}

TEST(ScriptScreen, FontsFromBitmapsAreCheckedAndKeepTheFontWhenRefused) {
  ScriptRunner runner;
  ScriptRun run = runner.Run("screengraphics ok 64 48\n");
  const int slot = run.context->screen.bitmaps.Alloc(16, 16);
  ASSERT_EQ(slot, 0);
  std::fill_n(run.context->screen.bitmaps.Get(slot)->pixels.get(), 256, 1);
  struct FontCase {
    const char* script;
    int width;  // of the font afterwards
  };
  const FontCase cases[] = {
      {"textfontfrombitmap 9000 4 4 65 90", 4},
      {"textfontfrombitmap 9000 2 2 70 69", 4},   // last < first: the font stays
      {"textfontfrombitmap 9000 0 2 65 70", 4},   // no width
      {"textfontfrombitmap 9000 2 2 65 300", 4},  // a code past 255
      {"textfontfrombitmap 0 1 1 1 1", 8},        // the built-in font again
  };
  for (const FontCase& c : cases) {
    SCOPED_TRACE(c.script);
    runner.RunIn(run, c.script);
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(run.context->screen.text.CurrentFont().Width(), c.width);
  }
  runner.RunIn(run, "textfontfrombitmap 0\n");
  EXPECT_NE(run.LastBox().find("Needed a parameter in command"), std::string::npos);
  runner.RunIn(run, "textfontfrombitmap 9001 4 4 65 90\n");
  EXPECT_NE(run.LastBox().find("Bad frame parameter"), std::string::npos);
}

// Frames of 16 x 8 pixels of one colour each: 1, 2, 3.
CodedVideo ThreeFrames(const std::string& path) {
  CodedVideoSpec spec;
  for (uint8_t color : {1, 2, 3}) spec.pictures.emplace_back(16, 8, color);
  spec.palettes.assign(3, TestPalette());
  return WriteCodedVideo(path, spec);
}

std::string AdvanceError(script::CommandContext& context, int slot) {
  try {
    script::AdvanceAnimation(context, context.screen, slot, true);
  } catch (const script::ScriptFailure& failure) {
    return failure.what();
  }
  return "";
}

TEST(ScriptScreen, VideosLetGoOfWindowsAndBitmapsThatGo) {
  ScriptRunner runner;
  const std::string video = ThreeFrames(runner.File("three.vnt")).path;
  ScriptRun run = runner.Run("screengraphics ok 64 48\n");
  script::CommandContext& context = *run.context;

  // Into a bitmap: frames 1, 2, 3; the last stays current until the next advance starts again.
  const int intoBitmap = context.screen.animations.Open(video.substr(0, video.size() - 4), 0);
  ASSERT_EQ(intoBitmap, 0);
  EXPECT_EQ(context.screen.animations.Get(intoBitmap)->baseName, "three");
  const int bitmap = context.screen.bitmaps.Alloc(16, 8);
  ASSERT_TRUE(script::AnimationToBitmap(context.screen.animations, context.screen.bitmaps, intoBitmap, bitmap));
  std::string shown;
  for (int i = 0; i < 5; ++i) {
    script::AdvanceAnimation(context, context.screen, intoBitmap, true);
    shown += std::to_string(context.screen.bitmaps.Get(bitmap)->pixels[0]);
  }
  EXPECT_EQ(shown, "12312");
  EXPECT_FALSE(context.screen.bitmaps.Get(bitmap)->palette);  // frame 2 brought none
  script::FreeBitmap(context.screen, bitmap);
  EXPECT_NE(AdvanceError(context, intoBitmap).find("Bad frame parameter"), std::string::npos);
  EXPECT_EQ(context.screen.bitmaps.Alloc(4, 4), bitmap);  // the same slot, a new bitmap
  EXPECT_NE(AdvanceError(context, intoBitmap).find("Bad frame parameter"), std::string::npos);

  // Into the window, which is then replaced and then closed.
  const int intoWindow = context.screen.animations.Open(video, 0);
  ASSERT_TRUE(script::AnimationToWindow(context.screen.animations, context.screen.window, intoWindow, 8, 4));
  EXPECT_EQ(AdvanceError(context, intoWindow), "");
  EXPECT_EQ(BufferPixel(context, 8, 4), 1);
  EXPECT_EQ(BufferPixel(context, 7, 4), 0);
  runner.RunIn(run, "screengraphics ok 32 24\n");
  ASSERT_EQ(run.Variable("OK"), "1");
  EXPECT_EQ(AdvanceError(context, intoWindow), "");  // decodes nowhere
  EXPECT_EQ(BufferPixel(context, 8, 4), 0);
  ASSERT_TRUE(script::AnimationToWindow(context.screen.animations, context.screen.window, intoWindow, 0, 0));
  // The lists go into the trace file while one is open.
  context.debugSlot = context.files.Open(runner.File("trace.txt"), script::SlotMode::kCreate);
  script::ListAnimations(context);
  script::ListBitmaps(context);
  context.files.Close(context.debugSlot);
  EXPECT_EQ(runner.Read("trace.txt"),
            "\r\nNumber: 3000  Name: three  Width: 16  Height: 8\r\n"
            "Number: 3001  Name: three  Width: 16  Height: 8\r\n\r\nNumber: 9000  Width: 4  Height: 4\r\n");
  context.debugSlot = script::kNoSlot;

  script::CloseScriptWindow(context.screen);
  EXPECT_NE(AdvanceError(context, intoWindow).find("A window hasn't been created yet"), std::string::npos);
  EXPECT_FALSE(script::AnimationToWindow(context.screen.animations, context.screen.window, intoWindow, 0, 0));
}

// Boxes, a line and text, as the window shows them.
TEST(ScriptScreen, AScriptsDrawingShowsInItsWindow) {
  ScriptRunner runner;
  ScriptRun run = runner.Run(
      "screengraphics ok 64 48\nscreenclear 0\nscreenfilledbox 4 4 10 6 70\n"
      "screenbox 20 4 12 8 140\nscreenline 0 47 63 30 200\ntextcolor 63\ntextsetxy 40 4\n"
      "text \"Hi\"\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(PlayerWindow()->Widget()->cursor().shape(), Qt::BlankCursor);
  const QImage shown = PlayerWindow()->Grab();
  ASSERT_EQ(shown.size(), QSize(64, 48));
  // The colours of a new window's palette: red, green and blue ramps of 64 steps from 64 on.
  const std::map<int, QRgb> colors = {{0, qRgb(0, 0, 0)},        {63, qRgb(255, 255, 255)},
                                      {70, qRgb(24, 0, 0)},      {140, qRgb(0, 48, 0)},
                                      {200, qRgb(0, 0, 32)}};
  const script::Font& font = script::Font::BuiltIn();
  int linePixels = 0;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
      const QRgb pixel = shown.pixel(x, y) | 0xFF000000u;
      int expected = 0;
      if (x >= 4 && x < 14 && y >= 4 && y < 10) expected = 70;
      const bool boxColumn = (x == 20 || x == 31) && y >= 4 && y <= 11;
      const bool boxRow = (y == 4 || y == 11) && x >= 20 && x <= 31;
      if (boxColumn || boxRow) expected = 140;
      if (x >= 40 && x < 56 && y >= 4 && y < 20) {
        expected = font.Pixel(x < 48 ? 'H' : 'i', (x - 40) % 8, y - 4) ? 63 : 0;
      }
      if (y >= 30 && pixel == colors.at(200) && expected == 0) {
        ++linePixels;  // the line's own pixels are golden-tested on canvases
        continue;
      }
      ASSERT_EQ(pixel, colors.at(expected));
    }
  }
  EXPECT_EQ(linePixels, 64);  // one a column from (0, 47) to (63, 30)
  EXPECT_EQ(shown.pixel(0, 47) | 0xFF000000u, colors.at(200));
  EXPECT_EQ(shown.pixel(63, 30) | 0xFF000000u, colors.at(200));
}

TEST(ScriptScreen, FileExistsAsksTheFileSystem) {
  ScriptRunner runner;
  const std::string file = runner.Write("here.txt", "x");
  ASSERT_EQ(mkdir(runner.File("folder").c_str(), 0755), 0);
  script::FileSlots busy;
  while (busy.Open(file, script::SlotMode::kRead) != script::kNoSlot) {
  }
  EXPECT_TRUE(script::FileExists(file));  // with every slot taken
  EXPECT_FALSE(script::FileExists(runner.File("folder")));
  EXPECT_FALSE(script::FileExists(runner.File("missing.txt")));
  busy.CloseAll();
}

}  // namespace
